#include "unAVISO.h"

#include "Artes.h"
#include "Dialogos.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace lumaro {

QString TAVISO::texto()
{
    return QStringLiteral("Antes de utilizar o Sistema. Leia atentamente \r\n"
                          "o arquivo de Ajuda que se encontra no menu \r\n"
                          "Ajuda, ou através da tecla \" F1 \" em qualquer\r\n"
                          "tela do Sistema.");
}

TAVISO::TAVISO(std::function<void()> naoApresentar, QWidget *pai)
    : QDialog(pai), m_naoApresentar(std::move(naoApresentar))
{
    setObjectName(QStringLiteral("AVISO"));
    setWindowTitle(QStringLiteral("ATENÇÂO"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(301, 128);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(artes::sinalAviso());
    Image1->setGeometry(4, 4, 53, 52);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(tahoma);
    // The label breaks lines on LF alone.
    Label1->setText(QString(texto()).remove(u'\r'));
    Label1->setGeometry(62, 6, 236, 60);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    QFont negrito(QStringLiteral("Tahoma"));
    negrito.setPixelSize(12);
    negrito.setBold(true);
    BitBtn1->setFont(negrito);
    BitBtn1->setGeometry((301 - 97) / 2, 72, 97, 26);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { protegido([this] { BitBtn1Click(); }); });

    CB = new QCheckBox(QStringLiteral("Não apresentar essa mensagem novamente."), this);
    CB->setObjectName(QStringLiteral("CB"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(11);
    CB->setFont(arial);
    CB->setGeometry(6, 106, 290, 18);
}

void TAVISO::BitBtn1Click()
{
    if (CB->isChecked() && m_naoApresentar)
        m_naoApresentar();
    close();
}

void MostrarAviso(std::function<void()> naoApresentar, QWidget *pai)
{
    (new TAVISO(std::move(naoApresentar), pai))->exec();
}

} // namespace lumaro
