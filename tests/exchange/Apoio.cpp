#include "Apoio.h"

#include "Win1252.h"

#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTime>

#include <gtest/gtest.h>

using namespace lumaro;

namespace apoio {

namespace {

QString decodificador() { return QStringLiteral(LUMARO_SHARED_DIR "/tools/cds_decode.py"); }
QString scriptOraculo() { return QStringLiteral(LUMARO_SOURCE_DIR "/tests/exchange/oraculo_cds.py"); }

} // namespace

QString pastaFixtures() { return QStringLiteral(LUMARO_SHARED_DIR "/fixtures/cds"); }

QStringList fixtures()
{
    QStringList r;
    const QDir d(pastaFixtures());
    for (const QString &n : d.entryList({QStringLiteral("*.cds")}, QDir::Files, QDir::Name))
        r.append(d.filePath(n));
    return r;
}

QString ferramenta() { return QStringLiteral(LUMARO_BIN_DIR "/lumaro-pacote"); }

QByteArray ler(const QString &caminho)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "não abriu " << caminho.toStdString();
        return {};
    }
    return f.readAll();
}

void gravar(const QString &caminho, const QByteArray &dados)
{
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(dados) != dados.size())
        ADD_FAILURE() << "não gravou " << caminho.toStdString();
}

Execucao executar(const QString &programa, const QStringList &args, const QString &pasta)
{
    QProcess p;
    if (!pasta.isEmpty())
        p.setWorkingDirectory(pasta);
    p.start(programa, args);
    Execucao e;
    if (!p.waitForStarted(10000) || !p.waitForFinished(120000)) {
        ADD_FAILURE() << programa.toStdString() << " não rodou: " << p.errorString().toStdString();
        p.kill();
        p.waitForFinished();
        return e;
    }
    e.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    e.saida = p.readAllStandardOutput();
    e.erro = p.readAllStandardError();
    return e;
}

QJsonObject oraculo(const QStringList &arquivos)
{
    const Execucao e = executar(QStringLiteral("/usr/bin/python3"),
                                QStringList{scriptOraculo(), decodificador(), QStringLiteral("decodificar")} + arquivos);
    EXPECT_EQ(e.codigo, 0) << e.erro.toStdString();
    QJsonParseError erro;
    const QJsonDocument d = QJsonDocument::fromJson(e.saida, &erro);
    EXPECT_EQ(erro.error, QJsonParseError::NoError) << erro.errorString().toStdString();
    return d.object();
}

void oraculoGerar(const QStringList &args)
{
    const Execucao e = executar(QStringLiteral("/usr/bin/python3"), QStringList{scriptOraculo(), decodificador()} + args);
    ASSERT_EQ(e.codigo, 0) << e.erro.toStdString();
}

QString diferenca(const CampoPacote &campo, const QVariant &nosso, const QJsonObject &o)
{
    const QString k = o.value(QStringLiteral("k")).toString();
    if (k == u"nulo")
        return nosso.isNull() ? QString() : QStringLiteral("esperava nulo, veio %1").arg(nosso.toString());
    if (k != u"valor")
        return QStringLiteral("marca inesperada do oráculo: %1").arg(k);
    if (!nosso.isValid() || nosso.isNull())
        return QStringLiteral("veio nulo");
    const QJsonObject v = o.value(QStringLiteral("v")).toObject();
    const QString chave = v.keys().value(0);
    const QJsonValue x = v.value(chave);
    auto igual = [](bool ok, const QString &a, const QString &b) {
        return ok ? QString() : QStringLiteral("esperava %1, veio %2").arg(a, b);
    };
    if (chave == u"i") {
        const QString s = x.toString();
        const QString nossoTexto = campo.tipo == TipoCampo::SemSinal64 || campo.tipo == TipoCampo::SemSinal
                                       ? QString::number(nosso.toULongLong())
                                       : QString::number(nosso.toLongLong());
        return igual(s == nossoTexto, s, nossoTexto);
    }
    if (chave == u"b")
        return igual(nosso.typeId() == QMetaType::Bool && nosso.toBool() == x.toBool(), x.toBool() ? "true" : "false", nosso.toString());
    if (chave == u"f") {
        const double esperado = x.toString().toLatin1().toDouble();
        return igual(nosso.toDouble() == esperado, x.toString(), QString::number(nosso.toDouble(), 'g', 17));
    }
    if (chave == u"d")
        return igual(nosso.toDate().toString(Qt::ISODate) == x.toString(), x.toString(), nosso.toDate().toString(Qt::ISODate));
    if (chave == u"t") {
        const QString n = nosso.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
        return igual(n == x.toString(), x.toString(), n);
    }
    if (chave == u"dt") {
        const QDateTime dt = nosso.toDateTime();
        const QString n = dt.date().toString(Qt::ISODate) + u'T' + dt.time().toString(QStringLiteral("hh:mm:ss.zzz"));
        return igual(n == x.toString(), x.toString(), n);
    }
    if (chave == u"hex") {
        const QByteArray esperado = QByteArray::fromHex(x.toString().toLatin1());
        QByteArray n;
        if (campo.tipo == TipoCampo::Memo)
            n = paraWin1252(nosso.toString());
        else if (campo.tipo == TipoCampo::MemoUnicode) {
            for (QChar c : nosso.toString()) {
                n.append(char(c.unicode() & 0xFF));
                n.append(char(c.unicode() >> 8));
            }
        } else
            n = nosso.toByteArray();
        return igual(n == esperado, QStringLiteral("%1 bytes %2").arg(esperado.size()).arg(QString::fromLatin1(esperado.left(16).toHex())),
                     QStringLiteral("%1 bytes %2").arg(n.size()).arg(QString::fromLatin1(n.left(16).toHex())));
    }
    if (chave == u"s") {
        const QString s = x.toString();
        if (campo.tipo == TipoCampo::DataHoraSql || campo.tipo == TipoCampo::DataHoraFuso) {
            // The oracle prints "YYYY-MM-DD hh:mm:ss.fffffffff[ +hh:mm]" with the stored fraction.
            const QDateTime dt = nosso.toDateTime();
            QString n = dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.")) + QString::number(dt.time().msec()).rightJustified(9, u'0');
            if (campo.tipo == TipoCampo::DataHoraFuso) {
                const int fuso = dt.offsetFromUtc();
                n += QStringLiteral(" %1%2:%3").arg(QChar(fuso < 0 ? u'-' : u'+')).arg(qAbs(fuso) / 3600, 2, 10, QChar(u'0')).arg(qAbs(fuso) % 3600 / 60, 2, 10, QChar(u'0'));
            }
            return igual(n == s, s, n);
        }
        return igual(nosso.toString() == s, s, nosso.toString());
    }
    if (chave == u"linhas") {
        const QJsonArray linhas = x.toArray();
        const QVariantList nossas = nosso.toList();
        if (nossas.size() != linhas.size())
            return QStringLiteral("esperava %1 linhas aninhadas, vieram %2").arg(linhas.size()).arg(nossas.size());
        for (qsizetype r = 0; r < linhas.size(); ++r) {
            const QJsonArray valores = linhas[r].toArray();
            const QVariantList nossa = nossas[r].toList();
            if (nossa.size() != valores.size() || nossa.size() != campo.filhos.size())
                return QStringLiteral("linha aninhada %1 com %2 valores").arg(r).arg(nossa.size());
            for (qsizetype i = 0; i < valores.size(); ++i) {
                const QString d = diferenca(campo.filhos[i], nossa[i], valores[i].toObject());
                if (!d.isEmpty())
                    return QStringLiteral("linha aninhada %1, %2: %3").arg(r).arg(campo.filhos[i].nome, d);
            }
        }
        return {};
    }
    return QStringLiteral("representação desconhecida: %1").arg(chave);
}

QByteArray jpeg(int largura, int altura, unsigned rgb)
{
    QImage i(largura, altura, QImage::Format_RGB32);
    i.fill(QColor::fromRgb(rgb));
    for (int x = 0; x < largura; ++x)
        i.setPixel(x, x % altura, qRgb(x * 7 % 256, 30, 200));
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(i.save(&buf, "JPEG", 90));
    return b;
}

} // namespace apoio
