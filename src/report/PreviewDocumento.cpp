#include "PreviewDocumento.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

namespace lumaro {

namespace {
const QColor Fundo(128, 128, 128);
constexpr int MargemPagina = 10;
} // namespace

// The grey sheet the page lies on. The page is painted once per document and size and kept as a
// picture, so that scrolling costs nothing.
class PreviewDocumento::Pagina : public QWidget
{
public:
    explicit Pagina(PreviewDocumento *preview) : QWidget(preview), m_preview(preview)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void definirZoom(qreal zoom)
    {
        if (qFuzzyCompare(zoom, m_zoom))
            return;
        m_zoom = zoom;
        descartar();
        resize(qCeil(TqrPadraoQrFortes::LarguraPagina * zoom) + 2 * MargemPagina,
               qCeil(TqrPadraoQrFortes::AlturaPagina * zoom) + 2 * MargemPagina);
    }
    qreal zoom() const { return m_zoom; }

    void descartar()
    {
        m_imagem = QPixmap();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Fundo);
        const TqrAutoImprDocuFisc *doc = m_preview->documento();
        if (!doc)
            return;
        const QRect pagina(MargemPagina, MargemPagina, qCeil(TqrPadraoQrFortes::LarguraPagina * m_zoom),
                           qCeil(TqrPadraoQrFortes::AlturaPagina * m_zoom));
        if (m_imagem.isNull()) {
            const qreal dpr = devicePixelRatioF();
            m_imagem = QPixmap(pagina.size() * dpr);
            m_imagem.setDevicePixelRatio(dpr);
            m_imagem.fill(Qt::white);
            QPainter pp(&m_imagem);
            pp.setRenderHint(QPainter::Antialiasing, false);
            doc->desenharPagina(pp, QRectF(QPointF(0, 0), QSizeF(pagina.size())));
        }
        p.fillRect(pagina.translated(3, 3), QColor(64, 64, 64));
        p.drawPixmap(pagina.topLeft(), m_imagem);
    }

private:
    PreviewDocumento *m_preview;
    qreal m_zoom = 0;
    QPixmap m_imagem;
};

PreviewDocumento::PreviewDocumento(QWidget *pai) : QScrollArea(pai), m_pagina(new Pagina(this))
{
    setObjectName(QStringLiteral("Prev"));
    setBackgroundRole(QPalette::Dark);
    QPalette pal = palette();
    pal.setColor(QPalette::Dark, Fundo);
    setPalette(pal);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Fitting the width changes the height; a scroll bar that came and went would change the
    // width again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(m_pagina);
    ajustarPagina();
}

PreviewDocumento::~PreviewDocumento() = default;

TqrAutoImprDocuFisc &PreviewDocumento::novoDocumento()
{
    delete m_documento.data();
    m_documento = new TqrAutoImprDocuFisc(this);
    m_pagina->descartar();
    verticalScrollBar()->setValue(0);
    emit documentoAlterado();
    return *m_documento;
}

void PreviewDocumento::limpar()
{
    if (!m_documento)
        return;
    delete m_documento.data();
    m_pagina->descartar();
    emit documentoAlterado();
}

void PreviewDocumento::atualizar()
{
    m_pagina->descartar();
}

qreal PreviewDocumento::zoom() const
{
    return m_pagina->zoom();
}

void PreviewDocumento::resizeEvent(QResizeEvent *e)
{
    QScrollArea::resizeEvent(e);
    ajustarPagina();
}

void PreviewDocumento::ajustarPagina()
{
    const int largura = viewport()->width() - 2 * MargemPagina;
    m_pagina->definirZoom(qMax<qreal>(0.1, largura / TqrPadraoQrFortes::LarguraPagina));
}

} // namespace lumaro
