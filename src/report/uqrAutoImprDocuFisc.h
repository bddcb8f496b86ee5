#pragma once

#include "uqrPadraoForte.h"

#include <QImage>
#include <QVariant>
#include <QVariantMap>

namespace lumaro {

// The authorization document of one AIDF request.
//
// Its data are two records given by column name: `aidf` the row of VW_SOLIC_AIDF being printed
// (with CNPJ_RESP_FORM and CNPJ_SOLI_FORM already formatted, BRASAO and ASSINATURA as bytes) and
// `graf` the print shop's row of cdsGraf. An invalid or null QVariant is a NULL.
//
// Use: definirDados, preparar (decodes the images, with a message for each damaged one), then
// paint it as often as needed through the base's desenharPagina, salvarPdf, imprimir or
// renderizarImagem. A change made afterwards (definirCarimbo) shows at the next painting.
class TqrAutoImprDocuFisc : public TqrPadraoQrFortes
{
    Q_OBJECT

public:
    static constexpr qreal AlturaRLBand3 = 890;
    // Approver line RLDBText42, in RLBand3.
    static constexpr qreal EsquerdaLinhaAprovador = 347;
    static constexpr qreal TopoLinhaAprovador = 810;
    static constexpr qreal LarguraLinhaAprovador = 360;
    // The signature's left edge: design position 368 plus a quarter of the line's width.
    static constexpr qreal EsquerdaAssinatura = 368 + 360 / 2 / 2;

    explicit TqrAutoImprDocuFisc(QObject *pai = nullptr);
    ~TqrAutoImprDocuFisc() override;

    void definirDados(const QVariantMap &aidf, const QVariantMap &graf);
    const QVariantMap &aidf() const { return m_aidf; }
    const QVariantMap &graf() const { return m_graf; }

    // Prepares the document for its row: coat of arms, stamp by STATUS, signature, heading number.
    // A damaged image is reported ("Informação") and left out; preparing goes on.
    void preparar();
    bool preparado() const { return m_preparado; }

    // The stamp RLAngleLabel1; empty: no stamp.
    QString carimbo() const { return m_carimbo; }
    void definirCarimbo(const QString &texto) { m_carimbo = texto; }
    static QString carimboPorStatus(const QVariant &status);

    // lblNume: NUMERO_AIDF_PREF left-filled with "0" to 9 digits.
    QString numeroCabecalho() const { return m_numero; }

    bool temBrasao() const { return !m_brasao.isNull(); }
    bool temAssinatura() const { return !m_assinatura.isNull(); }
    bool temLinhaAprovador() const;
    // Where the signature goes, in RLBand3's coordinates: its bottom on the approver line.
    QRectF areaAssinatura() const;

    // The text a data-bound label prints for a value: integers and strings as stored,
    // timestamps in the short date and long time format, nothing for a NULL.
    static QString textoCampo(const QVariant &valor);
    // A value through an edit mask such as "99999-999" (digits into the 9s, literals added).
    static QString aplicarMascara(const QString &mascara, const QVariant &valor);

protected:
    void desenharRLPanel1(QPainter &p) const override;
    void desenharBandas(QPainter &p) const override;

private:
    void qrFortePadraoBeforePrint();
    void RLPanel1BeforePrint();
    void desenharRLBand3(QPainter &p) const;

    QString campo(const char *nome) const;
    QString campoGraf(const char *nome) const;

    QVariantMap m_aidf;
    QVariantMap m_graf;
    bool m_preparado = false;
    QString m_carimbo;
    QString m_numero;
    QImage m_brasao;
    QImage m_assinatura;
};

} // namespace lumaro
