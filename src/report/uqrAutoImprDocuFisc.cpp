#include "uqrAutoImprDocuFisc.h"

#include "Dialogos.h"
#include "uFuncoes.h"

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>

namespace lumaro {

namespace {

const QString TituloDocumento = QStringLiteral("AUTORIZAÇÃO DE IMPRESSÃO DE DOCUMENTOS FISCAIS");
const QString MascaraCep = QStringLiteral("99999-999");
const QString MascaraCnpj = QStringLiteral("99.999.999/9999-99");

bool nulo(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

// The blobs hold JPEG pictures; anything else counts as damaged, as it would for the JPEG
// class the images were made for.
QImage decodificarJpeg(const QByteArray &dados)
{
    QBuffer buffer;
    buffer.setData(dados);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader leitor(&buffer, "jpeg");
    leitor.setAutoDetectImageFormat(false);
    leitor.setDecideFormatFromContent(false);
    QImage imagem;
    if (!leitor.read(&imagem))
        return {};
    return imagem;
}

// The layout of one of the three company boxes; positions relative to the box.
struct CaixaEmpresa
{
    QRectF caixa;                     // in RLBand3
    qreal topos[6];                   // rows: name, registrations, address, district, city, phone
    qreal topoCep;
    qreal esquerdaValor;
    qreal larguraEndereco;
    qreal larguraCidade;
    qreal esquerdaRotuloCep;
    qreal esquerdaCep;
    qreal larguraCep;
};

struct DadosEmpresa
{
    QString nome, cnpj, im, ie, endereco, bairro, cidade, cep, fone, email;
};

} // namespace

TqrAutoImprDocuFisc::TqrAutoImprDocuFisc(QObject *pai) : TqrPadraoQrFortes(pai)
{
    definirTitulo(TituloDocumento);
}

TqrAutoImprDocuFisc::~TqrAutoImprDocuFisc() = default;

void TqrAutoImprDocuFisc::definirDados(const QVariantMap &aidf, const QVariantMap &graf)
{
    m_aidf = aidf;
    m_graf = graf;
    m_preparado = false;
}

QString TqrAutoImprDocuFisc::textoCampo(const QVariant &valor)
{
    if (nulo(valor))
        return {};
    switch (valor.typeId()) {
    case QMetaType::QDateTime:
        return valor.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case QMetaType::QDate:
        return valor.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return valor.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
        return QString::number(valor.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
        return QString::number(valor.toULongLong());
    default:
        return valor.toString();
    }
}

QString TqrAutoImprDocuFisc::aplicarMascara(const QString &mascara, const QVariant &valor)
{
    const QString texto = textoCampo(valor);
    if (texto.isEmpty())
        return texto;
    QString r;
    qsizetype i = 0;
    for (const QChar c : mascara) {
        if (i >= texto.size())
            break;
        if (c == u'9') {
            r += texto.at(i++);
        } else {
            r += c;
            // A value that already carries the punctuation keeps it only once.
            if (texto.at(i) == c)
                ++i;
        }
    }
    return r + texto.mid(i);
}

QString TqrAutoImprDocuFisc::carimboPorStatus(const QVariant &status)
{
    const QString s = nulo(status) ? QString() : status.toString();
    if (s == u"3")
        return QStringLiteral("GRÁFICA RECUSOU");
    if (s == u"2")
        return QString();
    if (s == u"5")
        return QStringLiteral("APROVADA");
    return QStringLiteral("NÃO DEFINIDA");
}

void TqrAutoImprDocuFisc::preparar()
{
    qrFortePadraoBeforePrint();
    RLPanel1BeforePrint();
    m_preparado = true;
}

void TqrAutoImprDocuFisc::qrFortePadraoBeforePrint()
{
    m_brasao = QImage();
    const QVariant brasao = m_aidf.value(QStringLiteral("BRASAO"));
    if (!nulo(brasao)) {
        m_brasao = decodificarJpeg(brasao.toByteArray());
        if (m_brasao.isNull())
            dialogos().aviso(QStringLiteral("Informação"),
                             QStringLiteral("A imagem que contém o brasão está danificado e por "
                                            "isso não será impresso na A.I.D.F."),
                             Icone::Informacao, false);
    }

    m_carimbo = carimboPorStatus(m_aidf.value(QStringLiteral("STATUS")));

    m_assinatura = QImage();
    const QVariant assinatura = m_aidf.value(QStringLiteral("ASSINATURA"));
    if (!nulo(assinatura)) {
        m_assinatura = decodificarJpeg(assinatura.toByteArray());
        if (m_assinatura.isNull())
            dialogos().aviso(QStringLiteral("Informação"),
                             QStringLiteral("A imagem que contém a assinatura de ") + u'"'
                                 + campo("NOME_DE_QUEM_APROVOU") + u'"'
                                 + QStringLiteral(" está danificado e por isso não será "
                                                  "impresso na A.I.D.F."),
                             Icone::Informacao, false);
    }
}

void TqrAutoImprDocuFisc::RLPanel1BeforePrint()
{
    m_numero = CompletarZeros(campo("NUMERO_AIDF_PREF"), 9);
}

bool TqrAutoImprDocuFisc::temLinhaAprovador() const
{
    return !nulo(m_aidf.value(QStringLiteral("NOME_DE_QUEM_APROVOU")));
}

QRectF TqrAutoImprDocuFisc::areaAssinatura() const
{
    const QSizeF tamanho = m_assinatura.size();
    return QRectF(QPointF(EsquerdaAssinatura, TopoLinhaAprovador - tamanho.height()), tamanho);
}

QString TqrAutoImprDocuFisc::campo(const char *nome) const
{
    return textoCampo(m_aidf.value(QString::fromLatin1(nome)));
}

QString TqrAutoImprDocuFisc::campoGraf(const char *nome) const
{
    return textoCampo(m_graf.value(QString::fromLatin1(nome)));
}

void TqrAutoImprDocuFisc::desenharRLPanel1(QPainter &p) const
{
    if (!m_brasao.isNull())
        p.drawImage(QRectF(9, 32, 102, 98), m_brasao);
    TqrPadraoQrFortes::desenharRLPanel1(p);
    if (m_aidf.isEmpty())
        return;
    escreverRotulo(p, QRectF(0, 42, LarguraBanda, 0), fonteRelatorio(Fonte::Tahoma, 13, true),
                   campo("PREFEITURA"), Qt::AlignHCenter);
    escreverRotulo(p, QRectF(0, 58, LarguraBanda, 0), fonteRelatorio(Fonte::Tahoma, 12, true),
                   campo("NOMEDEPARTAMENTO"), Qt::AlignHCenter);
    escreverRotulo(p, QRectF(0, 96, LarguraBanda, 0), fonteRelatorio(Fonte::Tahoma, 16, true), m_numero,
                   Qt::AlignHCenter);
}

void TqrAutoImprDocuFisc::desenharBandas(QPainter &p) const
{
    // The detail band prints once per row of the request; without one there is none.
    if (m_aidf.isEmpty())
        return;
    p.save();
    p.translate(Margem, TopoDetalhe);
    desenharRLBand3(p);
    p.restore();
}

namespace {

void desenharEmpresa(QPainter &p, const CaixaEmpresa &c, const DadosEmpresa &d)
{
    const QFont rotulo = fonteRelatorio(Fonte::Tahoma, 11, true);
    const QFont valor = fonteRelatorio(Fonte::Tahoma, 11);
    const qreal h = QFontMetricsF(valor).height();

    p.drawRect(c.caixa);
    p.save();
    p.translate(c.caixa.topLeft());

    auto rotuloEsq = [&](int linha, const QString &t) {
        escreverRotulo(p, QRectF(0, c.topos[linha], 81, h), rotulo, t, Qt::AlignRight, false);
    };
    auto rot = [&](qreal esq, qreal topo, const QString &t) {
        escreverRotulo(p, QRectF(esq, topo, 0, h), rotulo, t, Qt::AlignLeft, false);
    };
    auto val = [&](qreal esq, qreal topo, qreal largura, const QString &t) {
        escreverRotulo(p, QRectF(esq, topo, largura, h), valor, t, Qt::AlignLeft, true);
    };

    rotuloEsq(0, QStringLiteral("Razão Social"));
    val(c.esquerdaValor, c.topos[0], 441, d.nome);
    rot(530, c.topos[0], QStringLiteral("C.N.P.J."));
    val(576, c.topos[0], 134, d.cnpj);

    rotuloEsq(1, QStringLiteral("Ins. Municipal"));
    val(c.esquerdaValor, c.topos[1], 217, d.im);
    rot(308, c.topos[1], QStringLiteral("Ins. Estadual"));
    val(388, c.topos[1], 217, d.ie);

    rotuloEsq(2, QStringLiteral("Endereço"));
    val(c.esquerdaValor, c.topos[2], c.larguraEndereco, d.endereco);

    rotuloEsq(3, QStringLiteral("Bairro"));
    val(c.esquerdaValor, c.topos[3], c.larguraEndereco, d.bairro);

    rotuloEsq(4, QStringLiteral("Cidade"));
    val(c.esquerdaValor, c.topos[4], c.larguraCidade, d.cidade);
    rot(c.esquerdaRotuloCep, c.topos[4], QStringLiteral("C.E.P."));
    val(c.esquerdaCep, c.topoCep, c.larguraCep, d.cep);

    rotuloEsq(5, QStringLiteral("Telefone"));
    val(c.esquerdaValor, c.topos[5], 161, d.fone);
    rot(252, c.topos[5], QStringLiteral("e-mail"));
    val(292, c.topos[5], 417, d.email);

    p.restore();
}

} // namespace

void TqrAutoImprDocuFisc::desenharRLBand3(QPainter &p) const
{
    // RLAngleLabel1 first, so that everything else prints over it.
    if (!m_carimbo.isEmpty()) {
        p.save();
        p.translate(LarguraBanda / 2, AlturaRLBand3 / 2);
        p.rotate(-45);
        p.setPen(QColor(192, 192, 192));
        p.setFont(fonteRelatorio(Fonte::Tahoma, 96, true));
        p.drawText(QRectF(-AlturaRLBand3, -AlturaRLBand3 / 2, 2 * AlturaRLBand3, AlturaRLBand3),
                   Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, m_carimbo);
        p.restore();
    }
    p.setPen(QPen(Qt::black, 1));

    const QFont titulo = fonteRelatorio(Fonte::Tahoma, 13, true);
    const QFont rotulo = fonteRelatorio(Fonte::Tahoma, 11, true);
    const QFont valor = fonteRelatorio(Fonte::Tahoma, 11);
    const qreal h = QFontMetricsF(valor).height();

    escreverRotulo(p, QRectF(3, 14, 0, 0), titulo,
                   QStringLiteral("Estabelecimento Responsável pela Solicitação"));
    // Both companies of the request come from the view's columns ending in _RESP or _SOLI.
    auto daSolicitacao = [this](const QString &sufixo) -> DadosEmpresa {
        auto c = [&](const char *coluna) { return textoCampo(m_aidf.value(QLatin1String(coluna) + sufixo)); };
        return {c("NOME_"),
                textoCampo(m_aidf.value(QStringLiteral("CNPJ_") + sufixo + QStringLiteral("_FORM"))),
                c("IM_"), c("IE_"), c("ENDE_"), c("BAIRRO_"), c("CIDADE_"),
                aplicarMascara(MascaraCep, m_aidf.value(QStringLiteral("CEP_") + sufixo)), c("FONE_"), c("EMAIL_")};
    };
    desenharEmpresa(p,
                    {QRectF(1, 30, 717, 110), {9, 24, 40, 56, 72, 88}, 72, 84, 561, 513, 606, 641, 68},
                    daSolicitacao(QStringLiteral("RESP")));

    escreverRotulo(p, QRectF(2, 150, 0, 0), titulo, QStringLiteral("Estabelecimento Solicitante"));
    desenharEmpresa(p,
                    {QRectF(0, 166, 717, 107), {9, 24, 40, 56, 72, 88}, 73, 84, 569, 513, 606, 641, 68},
                    daSolicitacao(QStringLiteral("SOLI")));

    escreverRotulo(p, QRectF(2, 282, 0, 0), titulo, QStringLiteral("Gráfica"));
    desenharEmpresa(p,
                    {QRectF(0, 298, 717, 110), {11, 24, 40, 56, 72, 90}, 72, 83, 561, 506, 596, 634, 74},
                    {campoGraf("RAZAO_SOCIAL"),
                     aplicarMascara(MascaraCnpj, m_graf.value(QStringLiteral("CNPJ"))),
                     campoGraf("INS_MUNICIPAL"), campoGraf("INS_ESTADUAL"), campoGraf("ENDERECO"),
                     campoGraf("BAIRRO"), campoGraf("CIDADE"),
                     aplicarMascara(MascaraCep, m_graf.value(QStringLiteral("CEP"))),
                     campoGraf("TELEFONE"), campoGraf("EMAIL")});

    // The documents to print.
    escreverRotulo(p, QRectF(2, 417, 0, 0), titulo, QStringLiteral("Documento a ser impresso"));
    {
        const QRectF caixa(0, 433, 717, 94);
        p.drawRect(caixa);
        p.save();
        p.translate(caixa.topLeft());
        auto rot = [&](qreal esq, qreal topo, const QString &t) {
            escreverRotulo(p, QRectF(esq, topo, 0, h), rotulo, t);
        };
        auto val = [&](qreal esq, qreal topo, qreal largura, const char *nome) {
            escreverRotulo(p, QRectF(esq, topo, largura, h), valor, campo(nome), Qt::AlignLeft, true);
        };
        rot(30, 14, QStringLiteral("Modelo"));
        val(77, 14, 436, "MODELO_NF");
        rot(518, 14, QStringLiteral("Série/Sub-Série"));
        val(614, 14, 35, "SERIE");
        val(652, 14, 35, "SUB_SERIE");
        rot(6, 32, QStringLiteral("Numeração"));
        val(77, 32, 84, "NUME_INICIAL");
        rot(166, 32, QStringLiteral("à"));
        val(181, 32, 84, "NUME_FINAL");
        rot(288, 32, QStringLiteral("Quantidade"));
        val(362, 32, 103, "QUANTIDADE");
        rot(45, 51, QStringLiteral("Tipo"));
        val(77, 51, 436, "TIPO_NF");
        rot(16, 69, QStringLiteral("Num. vias"));
        val(77, 69, 54, "NUME_VIAS");
        p.restore();
    }

    // mmObse: a fixed box; what does not fit is cut off.
    escreverRotulo(p, QRectF(2, 536, 0, 0), titulo, QStringLiteral("Observação feita pela Prefeitura"));
    {
        const QRectF caixa(1, 555, 715, 89);
        p.drawRect(caixa);
        QString obs = campo("OBSERVACAO_PREF");
        obs.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        if (!obs.isEmpty()) {
            p.save();
            p.setClipRect(caixa.adjusted(1, 1, -1, -1));
            p.setFont(fonteRelatorio(Fonte::Tahoma, 13));
            p.drawText(caixa.adjusted(3, 2, -3, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                       obs);
            p.restore();
        }
    }

    escreverRotulo(p, QRectF(3, 651, 0, 0), titulo,
                   QStringLiteral("Númeração da A.I.D.F. em Conjunto com Estado"));
    p.drawRect(QRectF(3, 669, 320, 23));
    escreverRotulo(p, QRectF(7, 673, 307, h), valor, campo("NUMERO_ESTADO"), Qt::AlignLeft, true);

    // RLImage1 stands on the approver line.
    if (!m_assinatura.isNull())
        p.drawImage(areaAssinatura(), m_assinatura);

    if (temLinhaAprovador()) {
        p.drawLine(QPointF(EsquerdaLinhaAprovador, TopoLinhaAprovador),
                   QPointF(EsquerdaLinhaAprovador + LarguraLinhaAprovador, TopoLinhaAprovador));
        escreverRotulo(p, QRectF(EsquerdaLinhaAprovador, TopoLinhaAprovador + 2, LarguraLinhaAprovador, 0),
                       fonteRelatorio(Fonte::SmallFonts, 9, true), campo("NOME_DE_QUEM_APROVOU"),
                       Qt::AlignHCenter);
    }

    escreverRotulo(p, QRectF(10, 856, 0, 0), rotulo, QStringLiteral("Solicitada em"));
    escreverRotulo(p, QRectF(388, 856, 0, 0), rotulo, QStringLiteral("Aprovada em"));
    escreverRotulo(p, QRectF(10, 870, 312, h), valor, campo("DATA_HORA_CADASTRO"), Qt::AlignLeft, true);
    escreverRotulo(p, QRectF(387, 870, 292, h), valor, campo("DATA_HORA_APROV_REPROV"), Qt::AlignLeft,
                   true);
}

} // namespace lumaro
