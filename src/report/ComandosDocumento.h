#pragma once

#include "PreviewDocumento.h"

#include <QColor>
#include <QVariant>
#include <QVariantMap>
#include <functional>

class QPrinter;
class QWidget;

namespace lumaro {

// The main window's operations on the current document. They take what they need from the
// request list and the status line as arguments, so that they do not depend on the window.

// PrepararDocumento: frees the current document of `prev`, builds the one of the request `aidf`
// (a row of VW_SOLIC_AIDF with CNPJ_RESP_FORM and CNPJ_SOLI_FORM) for the print shop `graf`
// (the row of cdsGraf), and shows it.
TqrAutoImprDocuFisc &PrepararDocumento(PreviewDocumento &prev, const QVariantMap &aidf,
                                       const QVariantMap &graf);

// The printer dialog: sets up `impressora` (printer, copies) and answers whether to print.
using EscolhaImpressora = std::function<bool(QPrinter &impressora, QWidget *pai)>;
// Replaces the printer dialog (tests, tools); an empty function restores Qt's print dialog.
void definirEscolhaImpressora(EscolhaImpressora escolha);

struct ContextoImpressao
{
    bool listaVazia = true;   // the request list has no rows
    QVariant status;          // STATUS of the request list's current row
    // AtualizarStatus of the main window: text, background, letters.
    std::function<void(const QString &texto, const QColor &fundo, const QColor &letra)> atualizarStatus;
    // FinalizarAIDF: acceptance of the current request.
    std::function<void()> finalizarAidf;
};

// ImprimirAIDF (command 6 and the print offer after acceptance). Returns true when the document
// went to a printer. A printer error escapes as Erro, after the status line is back to idle.
bool ImprimirAIDF(PreviewDocumento &prev, const ContextoImpressao &contexto);

// "Salvar em Disco" (command 7): asks for a file name, proposing `numeroAidfPref` of the request
// list's current row zero-filled, and writes the current document as PDF. Returns the file
// written, or an empty text. A writing error escapes as Erro.
QString SalvarAIDFEmDisco(PreviewDocumento &prev, const QVariant &numeroAidfPref);

} // namespace lumaro
