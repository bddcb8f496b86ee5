#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lumaro {

// The zip container of the AIDF and return packages: traditional PKWARE encryption with a fixed
// password, deflate at the highest level, members stored without folders.
// Every failure is thrown as Erro with a text for the operator.
namespace ArquivoZip {

inline constexpr char kSenha[] = "ZOWK";
// A member larger than this is refused: the packages hold one record and two small images.
inline constexpr qint64 kTamanhoMaximoMembro = qint64(256) * 1024 * 1024;

struct Membro
{
    QString nome;        // as stored, folders included
    qint64 tamanho = 0;  // uncompressed size as the archive declares it
    bool cifrado = false;
};

// The file name part of a stored member name: what follows the last '/' or '\'. Empty when that
// part is empty, "." or "..", which are never extracted.
QString nomeSemPasta(const QString &nomeMembro);

QList<Membro> membros(const QString &arquivo);

// Extracts every member straight into the folder (which must exist), whatever folders the archive
// names, and overwrites files of the same name. Returns the names written, in archive order.
// Nothing is ever written outside the folder; a member that cannot be read leaves the file that
// was there untouched.
QStringList extrairTudo(const QString &arquivo, const QString &pasta, const QByteArray &senha = kSenha);

// The content of the member whose name, without folders, equals nomeMembro (letter case ignored).
QByteArray lerMembro(const QString &arquivo, const QString &nomeMembro, const QByteArray &senha = kSenha);

// Adds a member, encrypted and compressed at level 9, to the archive, which is created when
// missing. A member of the same name (letter case ignored) is replaced; the others are kept.
void adicionar(const QString &arquivo, const QString &nomeMembro, const QByteArray &conteudo,
               const QByteArray &senha = kSenha);
// The same with the content of a file, stored under the file's own name.
void adicionarArquivo(const QString &arquivo, const QString &caminhoArquivo, const QByteArray &senha = kSenha);

} // namespace ArquivoZip

} // namespace lumaro
