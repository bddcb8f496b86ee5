#pragma once

#include "PacoteDados.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// What the exchange tests share: paths, running programs, the reference decoder as an oracle.
namespace apoio {

QString pastaFixtures();
QStringList fixtures();   // every .cds of the shared fixtures, full paths
QString ferramenta();     // build/bin/lumaro-pacote

QByteArray ler(const QString &caminho);
void gravar(const QString &caminho, const QByteArray &dados);

struct Execucao
{
    int codigo = -1;
    QByteArray saida;
    QByteArray erro;
};
Execucao executar(const QString &programa, const QStringList &args, const QString &pasta = {});

// The reference decoder's reading of each file, keyed by file name (see oraculo_cds.py).
QJsonObject oraculo(const QStringList &arquivos);
// Runs another sub-command of oraculo_cds.py; fails the test when it does.
void oraculoGerar(const QStringList &args);

// Checks one of our values against the oracle's representation; returns an empty text when equal.
QString diferenca(const lumaro::CampoPacote &campo, const QVariant &nosso, const QJsonObject &oraculo);

// A small real JPEG image.
QByteArray jpeg(int largura, int altura, unsigned rgb);

} // namespace apoio
