#pragma once

#include "Dialogos.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace lumaro::teste {

// A scripted stand-in for the dialogs: records every message and file dialog shown and answers
// from lists prepared by the test. With no scripted answer left a question gets the default
// button (No) and a file dialog is cancelled.
class DialogosRoteirizados : public Dialogos
{
public:
    DialogosRoteirizados();
    ~DialogosRoteirizados() override;

    Botao mostrar(const Mensagem &m) override;
    QStringList abrirArquivos(const EscolhaArquivo &e) override;
    QString salvarArquivo(const EscolhaArquivo &e) override;

    // Scripts.
    QList<Botao> respostas;                 // for messages, in order
    QList<QStringList> arquivosAbrir;       // for open dialogs, in order
    QStringList arquivosSalvar;             // for save dialogs, in order
    std::function<void(const Mensagem &)> aoMostrar; // runs while the box "is open"

    // Records.
    QList<Mensagem> mostradas;
    QList<EscolhaArquivo> escolhas;

    QStringList textos() const;             // texts of every message shown, in order
    void limpar();

private:
    Dialogos *m_anterior = nullptr;
};

} // namespace lumaro::teste
