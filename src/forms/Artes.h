#pragma once

// The program's own pictures, drawn once and kept: the bar buttons, the notice's sign and the
// about picture.

#include <QPixmap>

namespace lumaro::artes {

QPixmap botaoFechar();     // 53 x 53
QPixmap botaoSalvar();     // 53 x 53
QPixmap botaoCancelar();   // 53 x 53
QPixmap sinalAviso();      // 53 x 52, transparent background
QPixmap quadroSobre();     // 535 x 349

} // namespace lumaro::artes
