#pragma once

#include "uqrAutoImprDocuFisc.h"

#include <QPixmap>
#include <QPointer>
#include <QScrollArea>

namespace lumaro {

// The preview pane Prev: shows the current document's page on a grey background, as wide as the
// pane allows. It owns the current document; there is at most one, and a new one replaces it.
class PreviewDocumento : public QScrollArea
{
    Q_OBJECT

public:
    explicit PreviewDocumento(QWidget *pai = nullptr);
    ~PreviewDocumento() override;

    // The current document, or null.
    TqrAutoImprDocuFisc *documento() const { return m_documento; }

    // Frees the current document and makes a new, empty one current (not yet shown).
    TqrAutoImprDocuFisc &novoDocumento();

    // Frees the current document; the pane shows only its background.
    void limpar();

    // Shows the current document again, after a change made to it.
    void atualizar();

    // Screen pixels per report unit of the page as shown now.
    qreal zoom() const;

signals:
    void documentoAlterado();

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    class Pagina;

    void ajustarPagina();

    QPointer<TqrAutoImprDocuFisc> m_documento;
    Pagina *m_pagina;
};

} // namespace lumaro
