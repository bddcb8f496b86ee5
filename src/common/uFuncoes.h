#pragma once

#include <QString>

// Shared, stateless text and file operations: taxpayer numbers, e-mail syntax, file names,
// the stored SMTP password's shift and deleting files by mask.
namespace lumaro {

// Check digits of a CNPJ (14 digits) or CPF (11 digits); only the digits of the text count.
// A rejected number is announced in a non-topmost "Aviso" box when avisar is true.
bool ValidarCNPJCPF(const QString &texto, bool avisar);

// The text without every character that is not "0" to "9".
QString SomenteNumeros(const QString &texto);

// 14 characters as 99.999.999/9999-99, anything else (but empty) as 999.999.999-99.
QString FormatarCNPJCPF(const QString &texto);

// The syntax of an e-mail address.
bool ValidarEmail(const QString &texto);

// Leading zeros up to the width; a longer text stays as it is.
QString CompletarZeros(const QString &texto, int largura);

// The file name of a path, without folder and extension.
QString NomeSemExtensao(const QString &caminho);

// Position-dependent shift of the Windows-1252 bytes; the two undo each other.
QString CodificarSenha(const QString &texto);
QString DecodificarSenha(const QString &texto);

// Deletes every file (never a folder) of the folder whose name matches the mask ("*", "?",
// letter case ignored). A missing folder and files that cannot be deleted are passed over.
void ApagarArquivos(const QString &pasta, const QString &mascara);

} // namespace lumaro
