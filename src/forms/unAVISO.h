#pragma once

// The start-up notice: read the help before using the program; it can be switched off.

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace lumaro {

class TAVISO : public QDialog
{
    Q_OBJECT
public:
    // naoApresentar writes the setting that turns the notice off; it throws when it cannot.
    explicit TAVISO(std::function<void()> naoApresentar, QWidget *pai = nullptr);

    static QString texto();

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QCheckBox *CB = nullptr;

    void BitBtn1Click();

private:
    std::function<void()> m_naoApresentar;
};

// Shows the notice modally.
void MostrarAviso(std::function<void()> naoApresentar, QWidget *pai = nullptr);

} // namespace lumaro
