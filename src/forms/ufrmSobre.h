#pragma once

// The about box: one picture; a click or a typed key closes it.

#include <QDialog>

class QLabel;

namespace lumaro {

class TfrmSobre : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSobre(QWidget *pai = nullptr);

    QLabel *Img = nullptr;

protected:
    void keyPressEvent(QKeyEvent *e) override;   // FormKeyPress
    bool eventFilter(QObject *o, QEvent *e) override;   // ImgClick
};

// Command 8: shown modally and freed afterwards.
void MostrarSobre(QWidget *pai = nullptr);

} // namespace lumaro
