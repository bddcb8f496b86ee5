#include "ufrmSobre.h"

#include "Artes.h"

#include <QKeyEvent>
#include <QLabel>

namespace lumaro {

TfrmSobre::TfrmSobre(QWidget *pai) : QDialog(pai)
{
    setObjectName(QStringLiteral("frmSobre"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(535, 349);
    Img = new QLabel(this);
    Img->setObjectName(QStringLiteral("Img"));
    Img->setPixmap(artes::quadroSobre());
    Img->setGeometry(0, 0, 535, 349);
    Img->installEventFilter(this);
}

void TfrmSobre::keyPressEvent(QKeyEvent *e)
{
    // Keys that type a sign close the box; arrows, shifts and function keys do not.
    const bool sinal = !e->text().isEmpty() || e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return
                       || e->key() == Qt::Key_Enter;
    if (sinal)
        close();
    e->accept();
}

bool TfrmSobre::eventFilter(QObject *o, QEvent *e)
{
    if (o == Img && e->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QDialog::eventFilter(o, e);
}

void MostrarSobre(QWidget *pai)
{
    TfrmSobre f(pai);
    f.exec();
}

} // namespace lumaro
