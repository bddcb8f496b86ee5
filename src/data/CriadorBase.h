#pragma once

#include <QString>
#include <QStringList>

namespace lumaro {

// The program's database account (fixed in the connection's definition).
inline constexpr const char *kUsuarioBanco = "TORVALENCIO";
inline constexpr const char *kSenhaBanco = "plomquez";

struct OpcoesCriacao
{
    bool comOutlook = true;   // false: a database as it was before the OUTLOOK column
};

// The statements of a script, split on the terminator, which "SET TERM" may change.
QStringList dividirScript(const QString &script);

// The schema script built into the program.
QString scriptEsquema();

// Creates a new database file at `banco` and runs the schema script in it.
// Fails (ErroBanco) when the file already exists.
void criarBase(const QString &banco, const OpcoesCriacao &opcoes = {});

} // namespace lumaro
