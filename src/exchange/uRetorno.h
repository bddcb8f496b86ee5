#pragma once

#include <QString>

namespace lumaro {

class TdmPrinc;

// Writes the return package of the request list's current row: program folder +
// "Aidfs/Retorno/" + numero + "GrafRe.Graf". numero is NUMERO_AIDF_PREF zero-filled to 9 digits;
// caminho is the package's path without extension. Every failure is an error (Erro); the result
// is true when the package was written.
bool GerarArquivoRetorno(TdmPrinc &dm, const QString &pastaPrograma, QString &numero, QString &caminho);

} // namespace lumaro
