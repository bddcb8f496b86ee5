#pragma once

#include <QDate>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QRectF>
#include <QString>

class QPainter;
class QPrinter;

namespace lumaro {

// The type faces the report layouts name. The machine may lack them; fonteRelatorio picks the
// closest one available (Tahoma from wine's fonts, DejaVu Sans for Verdana).
enum class Fonte { Tahoma, Verdana, SmallFonts };

// A font whose size is a letter height in report units (1/96 inch; 16 units = 12 pt). Pixel
// sizes in the painter's logical units keep the letters the same on every device.
QFont fonteRelatorio(Fonte fonte, qreal altura, bool negrito = false);

// The family that stands in for a layout's type face on this machine.
QString familiaFonte(Fonte fonte);

// A one-line label: `area` gives left, top and width (a height of 0 takes the font's); the text
// is aligned inside it. With `recortar` it is cut at the area's edges, as a fixed-size label is.
void escreverRotulo(QPainter &p, const QRectF &area, const QFont &fonte, const QString &texto,
                    Qt::Alignment alinhamento = Qt::AlignLeft, bool recortar = false);

// Base of the program's reports: an A4 portrait page with 10 mm margins, a title band holding the
// panel RLPanel1 (report title and date of printing) and the footer band at the bottom of the
// page. Derived reports fill the panel and the bands between title and footer.
// All positions are report units of 1/96 inch: the page is 794 x 1123 units.
class TqrPadraoQrFortes : public QObject
{
    Q_OBJECT

public:
    static constexpr qreal LarguraPagina = 794;
    static constexpr qreal AlturaPagina = 1123;
    static constexpr qreal Margem = 38;          // 10 mm
    static constexpr qreal LarguraBanda = 718;
    static constexpr qreal AlturaRLBand1 = 138;
    static constexpr qreal TopoRLPanel1 = 2;
    static constexpr qreal AlturaRLPanel1 = 133;
    static constexpr qreal AlturaRLBand2 = 16;
    // Top of the first band after the title band.
    static constexpr qreal TopoDetalhe = Margem + AlturaRLBand1;
    static constexpr qreal TopoRLBand2 = AlturaPagina - Margem - AlturaRLBand2;

    explicit TqrPadraoQrFortes(QObject *pai = nullptr);
    ~TqrPadraoQrFortes() override;

    QString titulo() const { return m_titulo; }
    void definirTitulo(const QString &titulo) { m_titulo = titulo; }

    // The date printed in the heading; today's when none was set.
    QDate dataImpressao() const;
    void definirDataImpressao(const QDate &data) { m_dataImpressao = data; }

    // Paints the whole page into `pagina` (in the painter's coordinates), scaled to fit its width.
    // Preview, printing, PDF and pictures all go through here, so they never differ.
    void desenharPagina(QPainter &p, const QRectF &pagina) const;

    // The page as a picture at the given resolution (96 = one pixel per report unit).
    QImage renderizarImagem(qreal pontosPorPolegada = 96) const;

    // Writes the page as a one-page A4 PDF. Throws Erro when the file cannot be written.
    void salvarPdf(const QString &caminho) const;

    // Prints the page on a printer the caller has already set up (printer dialog included).
    // Throws Erro when the printer refuses to start.
    void imprimir(QPrinter &impressora) const;

    // "nome" with ".pdf" added when it has no extension.
    static QString completarExtensaoPdf(const QString &nome);

    // The system's long date format, in Portuguese whatever the machine's language.
    static QString dataPorExtenso(const QDate &data);

protected:
    // Panel RLPanel1, in panel coordinates (718 x 133).
    virtual void desenharRLPanel1(QPainter &p) const;
    // The bands between the title and the footer, in page coordinates.
    virtual void desenharBandas(QPainter &p) const;

private:
    void desenharRLBand2(QPainter &p) const;

    QString m_titulo;
    QDate m_dataImpressao;
};

} // namespace lumaro
