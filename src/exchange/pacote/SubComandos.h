#pragma once

#include "Erros.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The sub-commands of lumaro-pacote. Each lives in its own source file and registers itself
// with a static SubComandoRegistrado, so adding one means adding a file to the executable.
namespace lumaro::pacote {

struct SubComando
{
    QString nome;
    QString resumo;   // one line for the list of sub-commands
    QString ajuda;    // the full text of "lumaro-pacote NOME --help"
    // Gets the arguments after the sub-command's name; returns the exit status. Throws Erro for
    // failures (exit status 1) and ErroUso for bad arguments (exit status 2).
    std::function<int(const QStringList &)> executar;
};

class ErroUso : public Erro
{
public:
    using Erro::Erro;
};

const QList<SubComando> &subComandos();

struct SubComandoRegistrado
{
    explicit SubComandoRegistrado(SubComando c);
};

// Output that reaches the terminal as UTF-8, whatever the locale.
void escrever(const QString &texto);
void escreverErro(const QString &texto);

} // namespace lumaro::pacote
