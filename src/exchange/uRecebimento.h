#pragma once

// Receiving AIDF packages: each chosen .PrefGraf is extracted, checked against the print shop's
// CNPJ and stored (municipality, signature, companies, request, observation, state number).

#include "Dialogos.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace lumaro {

class TdmPrinc;

// What the caller gives a run: where the program lives and how to talk to the window.
// Every callback may be left unset.
struct ContextoRecebimento
{
    QString pastaPrograma;        // the working folder is pastaPrograma + "/Aidfs/"
    // GERAL/ARQUIVO_AIDF, when the configuration file has the key.
    bool temPastaInicial = false;
    QString pastaInicial;
    // The file choice; unset: dialogos().abrirArquivos. An empty list cancels the run.
    std::function<QStringList(const EscolhaArquivo &)> escolherArquivos;
    std::function<void(const QString &texto, const QColor &painel, const QColor &letra)> atualizarStatus;
    // "Pacote i de n: NOME" while a package is handled, empty when the run ends.
    std::function<void(const QString &texto)> atualizarProgresso;
    // Writes GERAL/ARQUIVO_AIDF after a run that went through every chosen file.
    std::function<void(const QString &pasta)> gravarPastaArquivos;
    // Keeps the window repainting between packages.
    bool processarEventos = true;
};

struct ResultadoRecebimento
{
    bool escolheu = false;    // false: the file choice was cancelled
    int recebidos = 0;
};

// Runs one receiving operation. A run that stops early (extraction error, empty city or
// neighbourhood, a refused or failed save, any error) has already rolled back and cleaned up
// when it leaves: with Abortar when its message was shown, with the error otherwise.
ResultadoRecebimento ReceberArquivo(TdmPrinc &dm, const ContextoRecebimento &contexto);

// The first column of the first row of a query; null when it returns no row.
QVariant ConsultarGeral(TdmPrinc &dm, const QString &sql, const QVariantList &parametros = {});

// Closes the packet dataset and deletes the extracted packet it came from (a missing file is fine).
void DescartarPacoteExtraido(TdmPrinc &dm, const QString &arquivoDados);
// Renames a package to its base name + ".Imp" in the same folder, replacing a file of that name.
// Failures are not reported.
void MarcarImportado(const QString &caminho);

} // namespace lumaro
