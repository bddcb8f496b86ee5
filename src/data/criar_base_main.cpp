// lumaro-criar-base: creates an empty Lumaro database from the built-in schema script.
#include "BancoFirebird.h"
#include "CriadorBase.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    lumaro::OpcoesCriacao opcoes;
    if (args.removeAll(QStringLiteral("--sem-outlook")))
        opcoes.comOutlook = false;
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "Uso: lumaro-criar-base [--sem-outlook] CAMINHO.fdb\n"
                             "Cria uma base de dados vazia do Lumaro (modo embarcado, ou host/porta:caminho).\n");
        return 2;
    }
    QString caminho = args[0];
    if (!caminho.contains(QLatin1Char(':')))
        caminho = QFileInfo(caminho).absoluteFilePath();
    try {
        lumaro::criarBase(caminho, opcoes);
    } catch (const lumaro::Erro &e) {
        std::fprintf(stderr, "Não foi possível criar a base de dados %s:\n%s\n",
                     qPrintable(caminho), qPrintable(e.texto()));
        return 1;
    }
    std::printf("Base de dados criada: %s\n", qPrintable(caminho));
    return 0;
}
