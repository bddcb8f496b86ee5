#include "Win1252.h"

#include <array>

namespace lumaro {

namespace {

// 0x80..0x9F; 0 marks the five bytes that Windows-1252 leaves undefined (they map to C1 controls).
constexpr std::array<char16_t, 32> kAlto = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

int byteWin1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kAlto[i] == u)
            return 0x80 + i;
    return -1;
}

QByteArray paraWin1252(const QString &texto, bool *tudoConvertido)
{
    QByteArray saida;
    saida.reserve(texto.size());
    bool ok = true;
    for (QChar c : texto) {
        const int b = byteWin1252(c);
        if (b < 0) {
            ok = false;
            saida.append('?');
        } else {
            saida.append(char(b));
        }
    }
    if (tudoConvertido)
        *tudoConvertido = ok;
    return saida;
}

QString deWin1252(const char *bytes, qsizetype tamanho)
{
    QString saida(tamanho, Qt::Uninitialized);
    QChar *p = saida.data();
    for (qsizetype i = 0; i < tamanho; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        p[i] = (b >= 0x80 && b < 0xA0) ? QChar(kAlto[b - 0x80]) : QChar(b);
    }
    return saida;
}

QString deWin1252(const QByteArray &bytes)
{
    return deWin1252(bytes.constData(), bytes.size());
}

} // namespace lumaro
