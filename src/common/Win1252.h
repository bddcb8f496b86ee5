#pragma once

#include <QByteArray>
#include <QString>

namespace lumaro {

// Windows-1252 is the text encoding of the database, the packets and the stored password.
// Characters it cannot hold become '?' on the way out, unless the caller asks to know.
QByteArray paraWin1252(const QString &texto, bool *tudoConvertido = nullptr);
QString deWin1252(const QByteArray &bytes);
QString deWin1252(const char *bytes, qsizetype tamanho);

// The Windows-1252 byte of one character, or -1 when the code page has no such character.
int byteWin1252(QChar c);

} // namespace lumaro
