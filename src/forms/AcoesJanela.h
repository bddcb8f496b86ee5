#pragma once

// The main window's keys that serve the embedded registration: Enter moves through its fields,
// Ctrl+S, F7 and Ctrl+F4 run its save, cancel and close.

#include <QPointer>
#include <functional>

class QAction;
class QWidget;

namespace lumaro {

class TfrmCadaPadrao;

// The next control in the window's tab order that takes the focus by Tab, or null.
QWidget *proximoControle(QWidget *atual);

// actEnterExecute: menu is the tree menu, clicarMenu runs its click.
void actEnterExecute(QWidget *menu, const std::function<void()> &clicarMenu);

// The save, cancel or close action of the registration whose field has the focus; null when
// the focus is elsewhere.
enum class AcaoCadastro { Salvar, Cancelar, Fechar };
QAction *acaoDoCadastroFocado(AcaoCadastro qual);

} // namespace lumaro
