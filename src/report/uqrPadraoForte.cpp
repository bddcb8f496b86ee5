#include "uqrPadraoForte.h"

#include "Erros.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QPrinter>

namespace lumaro {

namespace {

// fonts-wine ships a metric-compatible Tahoma in a folder fontconfig does not scan.
const char *const PastaFontesWine = "/usr/share/wine/fonts";

struct Familias
{
    QString tahoma;
    QString verdana;
    QString small;
    bool tahomaNegritoFalso = false;
};

// wine's Tahoma Bold has the regular outlines on bold widths: it prints thin, spaced-out letters.
bool ehNegritoDoWine(const QString &familia)
{
    QFont f(familia);
    f.setBold(true);
    f.setPixelSize(20);
    const QByteArray nomes = QRawFont::fromFont(f).fontTable("name");
    return nomes.contains("Wine") || nomes.contains(QByteArray("\0W\0i\0n\0e", 8));
}

const Familias &familias()
{
    static const Familias f = [] {
        Familias r;
        QStringList existentes = QFontDatabase::families();
        if (!existentes.contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive)) {
            for (const char *arq : {"tahoma.ttf", "tahomabd.ttf"})
                QFontDatabase::addApplicationFont(QString::fromLatin1(PastaFontesWine) + u'/'
                                                  + QString::fromLatin1(arq));
            existentes = QFontDatabase::families();
        }
        const QString reserva = QStringLiteral("DejaVu Sans");
        const bool temTahoma = existentes.contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive);
        r.tahoma = temTahoma ? QStringLiteral("Tahoma") : reserva;
        r.tahomaNegritoFalso = temTahoma && ehNegritoDoWine(r.tahoma);
        r.verdana = existentes.contains(QStringLiteral("Verdana"), Qt::CaseInsensitive)
                        ? QStringLiteral("Verdana") : reserva;
        // Small Fonts is a bitmap face that a PDF cannot scale; Tahoma is its nearest outline
        // relative.
        r.small = r.tahoma;
        return r;
    }();
    return f;
}

} // namespace

QString familiaFonte(Fonte fonte)
{
    const Familias &f = familias();
    switch (fonte) {
    case Fonte::Tahoma: return f.tahoma;
    case Fonte::Verdana: return f.verdana;
    case Fonte::SmallFonts: return f.small;
    }
    return f.tahoma;
}

QFont fonteRelatorio(Fonte fonte, qreal altura, bool negrito)
{
    QFont f(familiaFonte(fonte));
    f.setPixelSize(qRound(altura));
    f.setBold(negrito);
    // A regular face made bold by the font engine looks right where wine's bold face does not.
    if (negrito && familias().tahomaNegritoFalso && f.family() == familias().tahoma)
        f.setStyleName(QStringLiteral("Regular"));
    // Without shaping there are no ligatures, so a PDF reader finds the words as typed;
    // without hinting, widths do not depend on the device's resolution.
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

TqrPadraoQrFortes::TqrPadraoQrFortes(QObject *pai) : QObject(pai) {}

TqrPadraoQrFortes::~TqrPadraoQrFortes() = default;

QDate TqrPadraoQrFortes::dataImpressao() const
{
    return m_dataImpressao.isValid() ? m_dataImpressao : QDate::currentDate();
}

QString TqrPadraoQrFortes::dataPorExtenso(const QDate &data)
{
    static const QLocale ptBR(QLocale::Portuguese, QLocale::Brazil);
    return ptBR.toString(data, QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
}

QString TqrPadraoQrFortes::completarExtensaoPdf(const QString &nome)
{
    if (nome.isEmpty())
        return nome;
    if (nome.endsWith(u'.'))
        return nome + QStringLiteral("pdf");
    if (QFileInfo(nome).suffix().isEmpty())
        return nome + QStringLiteral(".pdf");
    return nome;
}

void escreverRotulo(QPainter &p, const QRectF &area, const QFont &fonte, const QString &texto,
                    Qt::Alignment alinhamento, bool recortar)
{
    if (texto.isEmpty())
        return;
    QRectF r = area;
    if (r.height() <= 0)
        r.setHeight(QFontMetricsF(fonte).height());
    p.setFont(fonte);
    int flags = int(alinhamento) | Qt::AlignTop | Qt::TextSingleLine;
    if (!recortar)
        flags |= Qt::TextDontClip;
    p.drawText(r, flags, texto);
}

void TqrPadraoQrFortes::desenharPagina(QPainter &p, const QRectF &pagina) const
{
    p.save();
    p.translate(pagina.topLeft());
    const qreal escala = pagina.width() / LarguraPagina;
    p.scale(escala, escala);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);

    // RLBand1 and its panel.
    p.save();
    p.translate(Margem, Margem + TopoRLPanel1);
    desenharRLPanel1(p);
    p.restore();

    desenharBandas(p);
    desenharRLBand2(p);
    p.restore();
}

void TqrPadraoQrFortes::desenharRLPanel1(QPainter &p) const
{
    escreverRotulo(p, QRectF(0, 7, LarguraBanda, 0), fonteRelatorio(Fonte::Verdana, 16, true), m_titulo,
                   Qt::AlignHCenter);
    escreverRotulo(p, QRectF(LarguraBanda - 202, 120, 202, 0), fonteRelatorio(Fonte::Verdana, 11),
                   dataPorExtenso(dataImpressao()), Qt::AlignRight);
}

void TqrPadraoQrFortes::desenharBandas(QPainter &) const {}

void TqrPadraoQrFortes::desenharRLBand2(QPainter &p) const
{
    p.save();
    p.translate(Margem, TopoRLBand2);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.drawLine(QPointF(0, 0), QPointF(LarguraBanda, 0));
    p.setPen(QPen(Qt::black, 1));
    const QFont f = fonteRelatorio(Fonte::Verdana, 11);
    escreverRotulo(p, QRectF(0, 2, LarguraBanda / 2, 0), f, QStringLiteral("N.O.R.V.E.L."));
    // One page per document.
    escreverRotulo(p, QRectF(LarguraBanda / 2, 2, LarguraBanda / 2, 0), f, QStringLiteral("Pag.: 1"),
                   Qt::AlignRight);
    p.restore();
}

QImage TqrPadraoQrFortes::renderizarImagem(qreal pontosPorPolegada) const
{
    const qreal escala = pontosPorPolegada / 96.0;
    QImage img(qRound(LarguraPagina * escala), qRound(AlturaPagina * escala),
               QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(pontosPorPolegada / 0.0254));
    img.setDotsPerMeterY(qRound(pontosPorPolegada / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    desenharPagina(p, QRectF(0, 0, img.width(), img.height()));
    p.end();
    return img;
}

namespace {

// A4 in device pixels: the report's 794 x 1123 units mapped at true size.
QRectF paginaA4(int resolucao)
{
    return QRectF(0, 0, 210.0 / 25.4 * resolucao, 297.0 / 25.4 * resolucao);
}

} // namespace

void TqrPadraoQrFortes::salvarPdf(const QString &caminho) const
{
    QPdfWriter pdf(caminho);
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    pdf.setTitle(m_titulo);
    pdf.setCreator(QStringLiteral("Lumaro"));
    QPainter p;
    if (!p.begin(&pdf))
        throw Erro(QStringLiteral("Não é possível criar o arquivo \"%1\".")
                       .arg(QFileInfo(caminho).absoluteFilePath()));
    desenharPagina(p, paginaA4(pdf.resolution()));
    p.end();
}

void TqrPadraoQrFortes::imprimir(QPrinter &impressora) const
{
    // The page has its own margins; the printer's would shift it.
    impressora.setFullPage(true);
    if (impressora.docName().isEmpty())
        impressora.setDocName(m_titulo);
    QPainter p;
    if (!p.begin(&impressora))
        throw Erro(QStringLiteral("Não foi possível iniciar a impressão em \"%1\".")
                       .arg(impressora.printerName().isEmpty() ? impressora.outputFileName()
                                                               : impressora.printerName()));
    desenharPagina(p, paginaA4(impressora.resolution()));
    p.end();
}

} // namespace lumaro
