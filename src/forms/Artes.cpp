#include "Artes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace lumaro::artes {

namespace {

// A picture of the given size, transparent unless the drawing covers it, drawn with antialiasing.
template <typename Desenho>
QPixmap desenhar(int l, int a, Desenho &&desenho)
{
    QPixmap px(l, a);
    px.fill(Qt::transparent);
    QPainter g(&px);
    g.setRenderHint(QPainter::Antialiasing);
    g.setRenderHint(QPainter::TextAntialiasing);
    desenho(g);
    return px;
}

} // namespace

QPixmap botaoFechar()
{
    static const QPixmap p = desenhar(53, 53, [](QPainter &g) {
        // An open door with an arrow leaving it.
        g.setPen(QPen(QColor(60, 60, 60), 2));
        g.setBrush(QColor(150, 95, 45));
        g.drawRect(12, 8, 20, 36);
        g.setBrush(QColor(205, 150, 90));
        QPolygonF folha;
        folha << QPointF(12, 8) << QPointF(22, 12) << QPointF(22, 48) << QPointF(12, 44);
        g.drawPolygon(folha);
        g.setPen(QPen(QColor(180, 30, 30), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        g.drawLine(QPointF(28, 26), QPointF(46, 26));
        g.drawLine(QPointF(40, 19), QPointF(46, 26));
        g.drawLine(QPointF(40, 33), QPointF(46, 26));
    });
    return p;
}

QPixmap botaoSalvar()
{
    static const QPixmap p = desenhar(53, 53, [](QPainter &g) {
        // A diskette.
        QPainterPath corpo;
        corpo.moveTo(9, 8);
        corpo.lineTo(38, 8);
        corpo.lineTo(45, 15);
        corpo.lineTo(45, 45);
        corpo.lineTo(9, 45);
        corpo.closeSubpath();
        g.setPen(QPen(QColor(20, 40, 90), 2));
        g.setBrush(QColor(40, 80, 160));
        g.drawPath(corpo);
        g.setBrush(QColor(210, 215, 225));
        g.drawRect(15, 8, 20, 12);
        g.setBrush(QColor(40, 80, 160));
        g.setPen(Qt::NoPen);
        g.drawRect(29, 10, 4, 8);
        g.setBrush(Qt::white);
        g.setPen(QPen(QColor(20, 40, 90), 1));
        g.drawRect(14, 27, 26, 15);
        g.setPen(QPen(QColor(150, 150, 160), 1));
        for (int y = 31; y < 41; y += 4)
            g.drawLine(17, y, 37, y);
    });
    return p;
}

QPixmap botaoCancelar()
{
    static const QPixmap p = desenhar(53, 53, [](QPainter &g) {
        // A red circle crossed out.
        QRadialGradient fundo(QPointF(22, 20), 22);
        fundo.setColorAt(0, QColor(255, 120, 110));
        fundo.setColorAt(1, QColor(190, 25, 20));
        g.setPen(QPen(QColor(120, 10, 10), 2));
        g.setBrush(fundo);
        g.drawEllipse(QPointF(26.5, 26.5), 19, 19);
        g.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(19, 19), QPointF(34, 34));
        g.drawLine(QPointF(34, 19), QPointF(19, 34));
    });
    return p;
}

QPixmap sinalAviso()
{
    static const QPixmap p = desenhar(53, 52, [](QPainter &g) {
        // An open book with a question mark: read the help first.
        g.setPen(QPen(QColor(30, 50, 100), 1.5));
        g.setBrush(QColor(245, 245, 235));
        QPolygonF esquerda, direita;
        esquerda << QPointF(4, 20) << QPointF(26, 24) << QPointF(26, 49) << QPointF(4, 45);
        direita << QPointF(27, 24) << QPointF(49, 20) << QPointF(49, 45) << QPointF(27, 49);
        g.drawPolygon(esquerda);
        g.drawPolygon(direita);
        g.setPen(QPen(QColor(150, 150, 150), 1));
        for (int i = 0; i < 4; ++i) {
            g.drawLine(QPointF(8, 28 + 5 * i), QPointF(23, 31 + 5 * i));
            g.drawLine(QPointF(30, 31 + 5 * i), QPointF(45, 28 + 5 * i));
        }
        QRadialGradient bola(QPointF(24, 9), 14);
        bola.setColorAt(0, QColor(90, 160, 240));
        bola.setColorAt(1, QColor(20, 70, 170));
        g.setPen(QPen(QColor(15, 40, 110), 1.5));
        g.setBrush(bola);
        g.drawEllipse(QPointF(26.5, 12), 11, 11);
        QFont f(QStringLiteral("Tahoma"));
        f.setPixelSize(16);
        f.setBold(true);
        g.setFont(f);
        g.setPen(Qt::white);
        g.drawText(QRectF(15.5, 1, 22, 22), Qt::AlignCenter, QStringLiteral("?"));
    });
    return p;
}

QPixmap quadroSobre()
{
    static const QPixmap p = desenhar(535, 349, [](QPainter &g) {
        QLinearGradient fundo(0, 0, 535, 349);
        fundo.setColorAt(0, QColor(22, 44, 74));
        fundo.setColorAt(1, QColor(39, 96, 120));
        g.fillRect(g.window(), fundo);
        // A stack of printed sheets on the right.
        for (int i = 3; i >= 0; --i) {
            const QRectF folha(350 + 10 * i, 60 - 8 * i, 130, 170);
            g.setPen(QPen(QColor(40, 40, 40), 1));
            g.setBrush(i == 0 ? QColor(252, 252, 246) : QColor(225, 225, 218));
            g.drawRect(folha);
        }
        g.setPen(QPen(QColor(120, 130, 150), 2));
        for (int y = 95; y < 200; y += 14)
            g.drawLine(365, y, 465, y);
        g.setPen(QPen(QColor(180, 30, 30), 3));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(QPointF(445, 200), 20, 20);
        QFont selo(QStringLiteral("Tahoma"));
        selo.setPixelSize(10);
        selo.setBold(true);
        g.setFont(selo);
        g.drawText(QRectF(425, 190, 40, 20), Qt::AlignCenter, QStringLiteral("AIDF"));

        QFont titulo(QStringLiteral("Tahoma"));
        titulo.setPixelSize(58);
        titulo.setBold(true);
        g.setFont(titulo);
        g.setPen(QColor(255, 255, 255));
        g.drawText(QRectF(30, 50, 320, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lumaro"));
        QFont sub(QStringLiteral("Tahoma"));
        sub.setPixelSize(15);
        g.setFont(sub);
        g.setPen(QColor(200, 225, 240));
        g.drawText(QRectF(32, 130, 310, 60), Qt::AlignLeft | Qt::TextWordWrap,
                   QStringLiteral("Autorização de Impressão de Documentos Fiscais para gráficas"));
        g.setPen(QColor(255, 210, 90));
        g.drawText(QRectF(32, 195, 300, 24), Qt::AlignLeft, QStringLiteral("Versão 1.19"));
        g.setPen(QColor(60, 120, 150));
        g.drawLine(30, 290, 505, 290);
        QFont rodape(QStringLiteral("Tahoma"));
        rodape.setPixelSize(12);
        g.setFont(rodape);
        g.setPen(QColor(190, 205, 215));
        g.drawText(QRectF(30, 298, 475, 40), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Clique na imagem ou pressione uma tecla para fechar."));
    });
    return p;
}

} // namespace lumaro::artes
