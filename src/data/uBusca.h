#pragma once

// Resolve-or-insert of cities and neighbourhoods by name, shared by receiving packages and the
// print-shop registration.

#include <QString>

namespace lumaro {

class TdmPrinc;

// The id of the city of that name (looked up trimmed) in that state; a missing one is inserted
// through cdsCida with its name as given and a NovoID("CIDADE"). Runs in the active transaction.
int BuscarCidade(TdmPrinc &dm, const QString &nome, const QString &uf);
// The id of the neighbourhood of that name, whatever its city; inserted through cdsBair when missing.
int BuscarBairro(TdmPrinc &dm, const QString &nome);

} // namespace lumaro
