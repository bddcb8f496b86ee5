#include "Dialogos.h"

#include <QCoreApplication>

namespace lumaro {

namespace {
Dialogos *g_dialogos = nullptr;
void (*g_restaurarCursor)() = nullptr;
} // namespace

void Dialogos::aviso(const QString &titulo, const QString &texto, Icone icone, bool topo)
{
    mostrar({titulo, texto, icone, topo, Ok, Ok});
}

bool Dialogos::pergunta(const QString &titulo, const QString &texto, Icone icone, bool topo)
{
    return mostrar({titulo, texto, icone, topo, Sim | Nao, Nao}) == Sim;
}

Dialogos &dialogos()
{
    Q_ASSERT(g_dialogos);
    return *g_dialogos;
}

void definirDialogos(Dialogos *d)
{
    g_dialogos = d;
}

void definirRestauradorCursor(void (*f)())
{
    g_restaurarCursor = f;
}

void exibirErro(const QString &texto)
{
    if (g_restaurarCursor)
        g_restaurarCursor();
    QString titulo = QCoreApplication::applicationName();
    if (titulo.isEmpty())
        titulo = QStringLiteral("Lumaro");
    dialogos().mostrar({titulo, texto, Icone::Erro, false, Ok, Ok});
}

} // namespace lumaro
