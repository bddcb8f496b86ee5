#pragma once

// Reading a written PDF back with poppler's tools.

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pdf {

// Runs a tool and returns what it wrote; an empty text with `ok` false when it failed.
inline QString executar(const QString &programa, const QStringList &args, bool *ok = nullptr)
{
    QProcess proc;
    proc.start(programa, args);
    const bool terminou = proc.waitForFinished(30000);
    const bool certo = terminou && proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
    if (ok)
        *ok = certo;
    return certo ? QString::fromUtf8(proc.readAllStandardOutput()) : QString();
}

inline QString texto(const QString &arquivo)
{
    return executar(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), arquivo, QStringLiteral("-")});
}

inline QString info(const QString &arquivo)
{
    return executar(QStringLiteral("pdfinfo"), {arquivo});
}

// Number of pictures in the file.
inline int imagens(const QString &arquivo)
{
    bool ok = false;
    const QStringList linhas =
        executar(QStringLiteral("pdfimages"), {QStringLiteral("-list"), arquivo}, &ok)
            .split(u'\n', Qt::SkipEmptyParts);
    return ok ? int(linhas.size()) - 2 : -1;  // two heading lines
}

// One word as poppler found it, in points from the page's top left corner.
struct Palavra
{
    QString texto;
    QRectF caixa;
};

inline QList<Palavra> palavras(const QString &arquivo)
{
    const QString html = executar(QStringLiteral("pdftotext"),
                                  {QStringLiteral("-bbox"), arquivo, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Palavra> r;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString t = m.captured(5);
        t.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        r.append({t, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return r;
}

// Report units (1/96 inch) to points.
constexpr double pontos(double unidades)
{
    return unidades * 72.0 / 96.0;
}

} // namespace pdf
