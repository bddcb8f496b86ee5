#pragma once

#include <QString>

class QWidget;

namespace lumaro {

// The program's help: HTML pages in the Help folder beside the program, one per help context
// (1 menu, 3 query panel, 4 print-shop registration, 6 observation, 10 parameters; 0 contents).
class Ajuda
{
public:
    static QString pagina(const QString &pastaAjuda, int contexto);
    // Shows the page in the program's own viewer (one window, reused).
    static void abrir(const QString &pastaAjuda, int contexto, QWidget *pai = nullptr);
};

} // namespace lumaro
