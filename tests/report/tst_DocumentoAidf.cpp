// The AIDF document written as PDF (and printed to a PDF printer) and read back with poppler.

#include "AmostraAidf.h"
#include "DialogosRoteirizados.h"
#include "Erros.h"
#include "FerramentasPdf.h"
#include "uqrAutoImprDocuFisc.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLocale>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace lumaro;

namespace {

const QString MsgBrasao = QStringLiteral(
    "A imagem que contém o brasão está danificado e por isso não será impresso na A.I.D.F.");

QString msgAssinatura(const QString &nome)
{
    return QStringLiteral("A imagem que contém a assinatura de \"") + nome
           + QStringLiteral("\" está danificado e por isso não será impresso na A.I.D.F.");
}

QImage solida(int largura, int altura, const QColor &cor)
{
    QImage img(largura, altura, QImage::Format_RGB32);
    img.fill(cor);
    return img;
}

// poppler breaks the diagonal stamp into letters, each on a line of its own in raw order.
QString carimboNoPdf(const QString &arquivo)
{
    const QString raw = pdf::executar(QStringLiteral("pdftotext"),
                                      {QStringLiteral("-raw"), arquivo, QStringLiteral("-")});
    QString letras;
    for (const QString &linha : raw.split(u'\n')) {
        const QString t = linha.trimmed();
        if (t.size() == 1)
            letras += t;
    }
    return letras;
}

// Pixels close to a colour, as a bounding box in the picture.
QRect caixaDaCor(const QImage &img, const QColor &cor, int tolerancia = 40)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (qAbs(c.red() - cor.red()) < tolerancia && qAbs(c.green() - cor.green()) < tolerancia
                && qAbs(c.blue() - cor.blue()) < tolerancia)
                r |= QRect(x, y, 1, 1);
        }
    return r;
}

int pixelsEscuros(const QImage &img, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 110)
                ++n;
    return n;
}

std::optional<pdf::Palavra> palavra(const QList<pdf::Palavra> &ps, const QString &texto, int ordem = 0)
{
    for (const auto &p : ps)
        if (p.texto == texto && ordem-- == 0)
            return p;
    return std::nullopt;
}

class DocumentoAidf : public ::testing::Test
{
protected:
    teste::DialogosRoteirizados dlg;
    QTemporaryDir pasta;

    std::unique_ptr<TqrAutoImprDocuFisc> preparado(const QVariantMap &aidf,
                                                   const QVariantMap &graf = amostra::grafica())
    {
        auto doc = std::make_unique<TqrAutoImprDocuFisc>();
        doc->definirDataImpressao(QDate(2024, 3, 6));
        doc->definirDados(aidf, graf);
        doc->preparar();
        return doc;
    }

    QString pdfDe(const TqrAutoImprDocuFisc &doc, const QString &nome = QStringLiteral("doc.pdf"))
    {
        const QString arq = pasta.filePath(nome);
        doc.salvarPdf(arq);
        return arq;
    }
};

} // namespace

TEST_F(DocumentoAidf, CarimboConformeOStatusEODocumentoCompleto)
{
    struct Caso
    {
        QVariant status;
        QString carimbo;
    };
    const Caso casos[] = {
        {QStringLiteral("2"), QString()},
        {QStringLiteral("3"), QStringLiteral("GRÁFICA RECUSOU")},
        {QStringLiteral("5"), QStringLiteral("APROVADA")},
        {QStringLiteral("4"), QStringLiteral("NÃO DEFINIDA")},
        {QStringLiteral("1"), QStringLiteral("NÃO DEFINIDA")},
        {QVariant(), QStringLiteral("NÃO DEFINIDA")},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.status.isNull() ? std::string("null") : c.status.toString().toStdString());
        QVariantMap aidf = amostra::aidf();
        aidf["STATUS"] = c.status;
        const auto doc = preparado(aidf);
        EXPECT_EQ(doc->carimbo(), c.carimbo);
        const QString arq = pdfDe(*doc);

        EXPECT_EQ(carimboNoPdf(arq), QString(c.carimbo).remove(u' '));
        const QString texto = pdf::texto(arq);
        for (const char *marca : {"APROVADA", "RECUSOU", "DEFINIDA"})
            EXPECT_FALSE(texto.contains(QLatin1String(marca))) << marca;

        for (const QString &esperado : {
                 QStringLiteral("AUTORIZAÇÃO DE IMPRESSÃO DE DOCUMENTOS FISCAIS"),
                 QStringLiteral("PREFEITURA MUNICIPAL DE SÃO JOÃO DO OESTE"),
                 QStringLiteral("Secretaria Municipal da Fazenda"),
                 QStringLiteral("000000123"),
                 QStringLiteral("quarta-feira, 6 de março de 2024"),
                 // responsible and requesting companies, formatted by the data module
                 QStringLiteral("Contabilidade Horizonte Ltda"), QStringLiteral("44.555.666/0001-72"),
                 QStringLiteral("Rua das Acácias, 410"), QStringLiteral("89870-000"),
                 QStringLiteral("contato@horizonte.example"),
                 QStringLiteral("Mercado Pinheirinho Eireli"), QStringLiteral("77.888.999/0001-55"),
                 QStringLiteral("Itapiranga"), QStringLiteral("89870-123"),
                 // the print shop, through its edit masks
                 QStringLiteral("Gráfica Estrela do Sul Ltda"), QStringLiteral("12.345.678/0001-95"),
                 QStringLiteral("254777888"), QStringLiteral("Mondaí"), QStringLiteral("89893-000"),
                 QStringLiteral("orcamentos@estreladosul.example"),
                 // documents
                 QStringLiteral("Nota Fiscal de Serviços Eletrônica"), QStringLiteral("Bloco com talonário"),
                 QStringLiteral("1501"), QStringLiteral("2000"), QStringLiteral("500"),
                 QStringLiteral("EST-2024/000871"),
                 QStringLiteral("Autorizada a confecção conforme solicitado."),
                 QStringLiteral("Marta Regina Kuhn"),
                 QStringLiteral("04/03/2024 09:15:42"), QStringLiteral("05/03/2024 16:02:07"),
                 QStringLiteral("N.O.R.V.E.L."), QStringLiteral("Pag.: 1")})
            EXPECT_TRUE(texto.contains(esperado)) << esperado.toStdString();
        EXPECT_EQ(pdf::imagens(arq), 2);  // coat of arms and signature
    }
    EXPECT_TRUE(dlg.mostradas.isEmpty());
}

TEST_F(DocumentoAidf, PaginaA4UnicaComTitulo)
{
    const QString arq = pdfDe(*preparado(amostra::aidf()));
    const QString info = pdf::info(arq);
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    EXPECT_TRUE(info.contains(QRegularExpression(
        QStringLiteral("Title:\\s+AUTORIZAÇÃO DE IMPRESSÃO DE DOCUMENTOS FISCAIS\\n"))));
}

TEST_F(DocumentoAidf, NumeroDoCabecalhoCompletadoComZerosAteNoveDigitos)
{
    const struct
    {
        QVariant numero;
        QString impresso;
    } casos[] = {
        {123, QStringLiteral("000000123")},
        {987654321, QStringLiteral("987654321")},
        {QVariant::fromValue<qlonglong>(1234567890), QStringLiteral("1234567890")},
    };
    for (const auto &c : casos) {
        QVariantMap aidf = amostra::aidf();
        aidf["NUMERO_AIDF_PREF"] = c.numero;
        aidf["STATUS"] = QStringLiteral("2");
        const auto doc = preparado(aidf);
        EXPECT_EQ(doc->numeroCabecalho(), c.impresso);
        const auto p = palavra(pdf::palavras(pdfDe(*doc)), c.impresso);
        ASSERT_TRUE(p) << c.impresso.toStdString();
        // Centred on the page, at lblNume's top.
        EXPECT_NEAR(p->caixa.center().x(), pdf::pontos(794 / 2.0), 1.0);
        EXPECT_NEAR(p->caixa.top(), pdf::pontos(38 + 2 + 96), 1.5);
    }
}

TEST_F(DocumentoAidf, ElementosNasPosicoesDoLayout)
{
    QVariantMap aidf = amostra::aidf();
    aidf["STATUS"] = QStringLiteral("2");
    const auto ps = pdf::palavras(pdfDe(*preparado(aidf)));
    // Band tops: title 38 (panel 40), detail 176, footer 1069.
    const struct
    {
        QString texto;
        int ordem;
        double esquerda;  // NaN: not checked
        double direita;
        double topo;
    } casos[] = {
        {QStringLiteral("AUTORIZAÇÃO"), 0, qQNaN(), qQNaN(), 40 + 7},
        {QStringLiteral("Secretaria"), 0, qQNaN(), qQNaN(), 40 + 58},
        {QStringLiteral("2024"), 0, qQNaN(), 38 + 718, 40 + 120},  // the date, right-aligned
        {QStringLiteral("Estabelecimento"), 0, 38 + 3, qQNaN(), 176 + 14},
        {QStringLiteral("C.N.P.J."), 0, 38 + 1 + 530, qQNaN(), 176 + 30 + 9},
        {QStringLiteral("Social"), 0, qQNaN(), 38 + 1 + 81, 176 + 30 + 9},
        {QStringLiteral("Solicitante"), 0, qQNaN(), qQNaN(), 176 + 150},
        {QStringLiteral("89870-123"), 0, 38 + 641, qQNaN(), 176 + 166 + 73},
        {QStringLiteral("Gráfica"), 0, 38 + 2, qQNaN(), 176 + 282},
        {QStringLiteral("89893-000"), 0, 38 + 634, qQNaN(), 176 + 298 + 72},
        {QStringLiteral("(49)"), 2, 38 + 83, qQNaN(), 176 + 298 + 90},
        {QStringLiteral("Quantidade"), 0, 38 + 288, qQNaN(), 176 + 433 + 32},
        {QStringLiteral("2000"), 0, 38 + 181, qQNaN(), 176 + 433 + 32},
        {QStringLiteral("EST-2024/000871"), 0, 38 + 7, qQNaN(), 176 + 673},
        {QStringLiteral("Solicitada"), 0, 38 + 10, qQNaN(), 176 + 856},
        {QStringLiteral("05/03/2024"), 0, 38 + 387, qQNaN(), 176 + 870},
        {QStringLiteral("N.O.R.V.E.L."), 0, 38, qQNaN(), 1069 + 2},
        {QStringLiteral("1"), 1, qQNaN(), 38 + 718, 1069 + 2},  // "Pag.: 1"
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.texto.toStdString());
        const auto p = palavra(ps, c.texto, c.ordem);
        ASSERT_TRUE(p);
        if (!qIsNaN(c.esquerda)) {
            EXPECT_NEAR(p->caixa.left(), pdf::pontos(c.esquerda), 1.5);
        }
        if (!qIsNaN(c.direita)) {
            EXPECT_NEAR(p->caixa.right(), pdf::pontos(c.direita), 1.5);
        }
        EXPECT_NEAR(p->caixa.top(), pdf::pontos(c.topo), 1.5);
    }
    // Letter heights: 16 units is 12 pt, whatever the device's resolution.
    const auto numero = palavra(ps, QStringLiteral("000000123"));
    ASSERT_TRUE(numero);
    EXPECT_NEAR(numero->caixa.height(), 12 * 0.971, 0.5);  // poppler's box for Tahoma: 0.971 em
}

TEST_F(DocumentoAidf, ImpressoraDesenhaOMesmoQueOPdf)
{
    const auto doc = preparado(amostra::aidf());
    const auto doPdf = pdf::palavras(pdfDe(*doc));

    // A printer at 1200 dpi, as the print dialog's printers are.
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(pasta.filePath(QStringLiteral("impresso.pdf")));
    impressora.setPageSize(QPageSize(QPageSize::A4));
    doc->imprimir(impressora);
    const auto impressas = pdf::palavras(impressora.outputFileName());

    ASSERT_GT(doPdf.size(), 100);
    ASSERT_EQ(impressas.size(), doPdf.size());
    for (qsizetype i = 0; i < doPdf.size(); ++i) {
        SCOPED_TRACE(doPdf[i].texto.toStdString());
        EXPECT_EQ(impressas[i].texto, doPdf[i].texto);
        EXPECT_NEAR(impressas[i].caixa.left(), doPdf[i].caixa.left(), 0.5);
        EXPECT_NEAR(impressas[i].caixa.top(), doPdf[i].caixa.top(), 0.5);
        EXPECT_NEAR(impressas[i].caixa.width(), doPdf[i].caixa.width(), 0.5);
        EXPECT_NEAR(impressas[i].caixa.height(), doPdf[i].caixa.height(), 0.5);
    }
    EXPECT_TRUE(pdf::info(impressora.outputFileName()).contains(QStringLiteral("(A4)")));
}

TEST_F(DocumentoAidf, AssinaturaELinhaDoAprovadorConformeOsDados)
{
    const QString nome = QStringLiteral("Marta Regina Kuhn");
    const struct
    {
        const char *caso;
        bool assinatura;
        bool nome;
        int imagens;
    } casos[] = {
        {"ambos", true, true, 2},
        {"so o nome", false, true, 1},
        {"nenhum", false, false, 1},
        {"so a assinatura", true, false, 2},
    };
    // The approver line runs along y = 810 of the detail band (page 986) from x 385 to 745.
    const QRect faixaDaLinha(38 + 347 + 5, 176 + 810 - 1, 350, 3);
    for (const auto &c : casos) {
        SCOPED_TRACE(c.caso);
        QVariantMap aidf = amostra::aidf();
        aidf["STATUS"] = QStringLiteral("2");
        if (!c.assinatura)
            aidf["ASSINATURA"] = QVariant();
        if (!c.nome)
            aidf["NOME_DE_QUEM_APROVOU"] = QVariant();
        const auto doc = preparado(aidf);
        EXPECT_EQ(doc->temAssinatura(), c.assinatura);
        EXPECT_EQ(doc->temLinhaAprovador(), c.nome);

        const QString arq = pdfDe(*doc);
        EXPECT_EQ(pdf::imagens(arq), c.imagens);
        EXPECT_EQ(pdf::texto(arq).contains(nome), c.nome);
        const int linha = pixelsEscuros(doc->renderizarImagem(96), faixaDaLinha);
        if (c.nome) {
            EXPECT_GE(linha, 340);
        } else {
            EXPECT_EQ(linha, 0);
        }
    }
    EXPECT_TRUE(dlg.mostradas.isEmpty());
}

TEST_F(DocumentoAidf, ImagensNosSeusLugares)
{
    // Plain colours, so that each picture can be found in the rendered page.
    const QColor vermelho(200, 30, 30), verde(30, 160, 60);
    QVariantMap aidf = amostra::aidf();
    aidf["STATUS"] = QStringLiteral("2");
    aidf["ASSINATURA"] = amostra::codificar(solida(80, 30, vermelho), "JPEG");
    aidf["BRASAO"] = amostra::codificar(solida(50, 40, verde), "JPEG");
    const QImage pagina = preparado(aidf)->renderizarImagem(96);

    // Signature at its natural size, left at 458, bottom on the approver line (810).
    EXPECT_EQ(caixaDaCor(pagina, vermelho), QRect(38 + 458, 176 + 810 - 30, 80, 30));
    // Coat of arms stretched into Img: 9, 32, 102 x 98 in the panel.
    const QRect brasao = caixaDaCor(pagina, verde);
    EXPECT_NEAR(brasao.left(), 38 + 9, 1);
    EXPECT_NEAR(brasao.top(), 40 + 32, 1);
    EXPECT_NEAR(brasao.width(), 102, 1);
    EXPECT_NEAR(brasao.height(), 98, 1);
}

TEST_F(DocumentoAidf, ImagemDanificadaAvisaUmaVezESaiSemEla)
{
    const QByteArray png = amostra::codificar(amostra::brasao(), "PNG");
    const QByteArray lixo = QByteArrayLiteral("\xff\xd8\xff\xe0 isto nao e um jpeg");
    const QString nome = QStringLiteral("Marta Regina Kuhn");
    const struct
    {
        const char *caso;
        QVariant brasao;
        QVariant assinatura;
        QVariant nome;
        QStringList mensagens;
        int imagens;
    } casos[] = {
        {"brasao em png", png, amostra::codificar(amostra::assinatura(), "JPEG"), nome, {MsgBrasao}, 1},
        {"assinatura danificada", amostra::codificar(amostra::brasao(), "JPEG"), lixo, nome,
         {msgAssinatura(nome)}, 1},
        {"as duas", lixo, png, nome, {MsgBrasao, msgAssinatura(nome)}, 0},
        {"assinatura danificada sem nome", QVariant(), lixo, QVariant(), {msgAssinatura(QString())}, 0},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.caso);
        dlg.limpar();
        QVariantMap aidf = amostra::aidf();
        aidf["STATUS"] = QStringLiteral("5");
        aidf["BRASAO"] = c.brasao;
        aidf["ASSINATURA"] = c.assinatura;
        aidf["NOME_DE_QUEM_APROVOU"] = c.nome;
        const auto doc = preparado(aidf);
        const QString arq = pdfDe(*doc);
        doc->renderizarImagem(48);

        // One message per damaged picture, at preparation only.
        EXPECT_EQ(dlg.textos(), c.mensagens);
        for (const Mensagem &m : dlg.mostradas) {
            EXPECT_EQ(m.titulo, QStringLiteral("Informação"));
            EXPECT_EQ(m.icone, Icone::Informacao);
            EXPECT_EQ(m.botoes, int(Ok));
        }
        EXPECT_EQ(pdf::imagens(arq), c.imagens);
        // The rest of the document is there.
        const QString texto = pdf::texto(arq);
        EXPECT_TRUE(texto.contains(QStringLiteral("PREFEITURA MUNICIPAL DE SÃO JOÃO DO OESTE")));
        EXPECT_TRUE(texto.contains(QStringLiteral("000000123")));
        EXPECT_EQ(carimboNoPdf(arq), QStringLiteral("APROVADA"));
        EXPECT_EQ(texto.contains(nome), !c.nome.isNull());
    }
}

TEST_F(DocumentoAidf, CampoNuloNaoImprimeNada)
{
    QVariantMap aidf = amostra::aidf();
    aidf["STATUS"] = QStringLiteral("2");
    // NULLs as the data module gives them: typed or not.
    for (const char *campo : {"NUMERO_ESTADO", "CEP_RESP", "SERIE", "SUB_SERIE", "OBSERVACAO_PREF"})
        aidf[campo] = QVariant();
    aidf["QUANTIDADE"] = QVariant(QMetaType::fromType<short>());
    aidf["DATA_HORA_CADASTRO"] = QVariant(QMetaType::fromType<QDateTime>());
    aidf["NUME_INICIAL"] = QVariant(QMetaType::fromType<int>());
    QVariantMap graf = amostra::grafica();
    graf["CEP"] = QVariant(QMetaType::fromType<QString>());
    const QString arq = pdfDe(*preparado(aidf, graf));
    const QStringList linhas = pdf::texto(arq).split(u'\n');
    auto linhaCom = [&](const QString &t) {
        for (const QString &l : linhas)
            if (l.contains(t))
                return l.trimmed();
        return QString();
    };
    // Headings and captions stay; their values are blank.
    EXPECT_EQ(linhaCom(QStringLiteral("Númeração da A.I.D.F.")),
              QStringLiteral("Númeração da A.I.D.F. em Conjunto com Estado"));
    EXPECT_EQ(linhaCom(QStringLiteral("Observação feita")), QStringLiteral("Observação feita pela Prefeitura"));
    EXPECT_TRUE(linhaCom(QStringLiteral("São João do Oeste  ")).endsWith(QStringLiteral("C.E.P.")));
    EXPECT_TRUE(linhaCom(QStringLiteral("Mondaí")).endsWith(QStringLiteral("C.E.P.")));
    EXPECT_TRUE(linhaCom(QStringLiteral("Série/Sub-Série")).endsWith(QStringLiteral("Série/Sub-Série")));
    EXPECT_TRUE(linhaCom(QStringLiteral("Numeração")).contains(
        QRegularExpression(QStringLiteral("^Numeração\\s+à 2000\\s+Quantidade$"))))
        << linhaCom(QStringLiteral("Numeração")).toStdString();
    EXPECT_TRUE(linhaCom(QStringLiteral("Solicitada em")).contains(QStringLiteral("Aprovada em")));
    const QString datas = linhaCom(QStringLiteral("05/03/2024"));
    EXPECT_TRUE(datas.startsWith(QStringLiteral("05/03/2024"))) << datas.toStdString();
}

TEST(FontesDoRelatorio, TahomaDoWineQuandoInstalada)
{
    if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
        GTEST_SKIP() << "fonts-wine is not installed";
    for (bool negrito : {false, true}) {
        const QFontInfo tahoma(fonteRelatorio(Fonte::Tahoma, 13, negrito));
        EXPECT_EQ(tahoma.family(), QStringLiteral("Tahoma"));
        EXPECT_EQ(tahoma.bold(), negrito);
        EXPECT_EQ(tahoma.pixelSize(), 13);
    }
    EXPECT_FALSE(QFontInfo(fonteRelatorio(Fonte::Verdana, 11)).family().isEmpty());

    // Bold captions print heavier than values.
    auto tinta = [](const QFont &f) {
        QImage img(400, 40, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        escreverRotulo(p, QRectF(4, 4, 0, 0), f, QStringLiteral("Razão Social Ins. Municipal"));
        p.end();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += 255 - qGray(img.pixel(x, y));
        return n;
    };
    EXPECT_GT(tinta(fonteRelatorio(Fonte::Tahoma, 20, true)),
              1.3 * tinta(fonteRelatorio(Fonte::Tahoma, 20, false)));
}

TEST(CamposDoDocumento, ValoresComoOsRotulosOsImprimem)
{
    const struct
    {
        QVariant valor;
        QString mascara;
        QString texto;
    } casos[] = {
        {QVariant(), {}, {}},
        {QVariant(QMetaType::fromType<int>()), {}, {}},
        {QVariant(QMetaType::fromType<QString>()), QStringLiteral("99999-999"), {}},
        {QStringLiteral(""), QStringLiteral("99999-999"), {}},
        {42, {}, QStringLiteral("42")},
        {QVariant::fromValue<short>(-7), {}, QStringLiteral("-7")},
        {QVariant::fromValue<qlonglong>(1234567890123), {}, QStringLiteral("1234567890123")},
        {QStringLiteral("  texto  "), {}, QStringLiteral("  texto  ")},
        {QDateTime(QDate(2024, 3, 5), QTime(16, 2, 7)), {}, QStringLiteral("05/03/2024 16:02:07")},
        {QDateTime(QDate(2024, 12, 25), QTime(0, 0)), {}, QStringLiteral("25/12/2024 00:00:00")},
        {QStringLiteral("89893000"), QStringLiteral("99999-999"), QStringLiteral("89893-000")},
        {QStringLiteral("12345678000195"), QStringLiteral("99.999.999/9999-99"),
         QStringLiteral("12.345.678/0001-95")},
        // Already punctuated values are not punctuated twice; short ones are not padded.
        {QStringLiteral("12.345.678/0001-95"), QStringLiteral("99.999.999/9999-99"),
         QStringLiteral("12.345.678/0001-95")},
        {QStringLiteral("8989"), QStringLiteral("99999-999"), QStringLiteral("8989")},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.valor.toString().toStdString());
        const QString r = c.mascara.isEmpty() ? TqrAutoImprDocuFisc::textoCampo(c.valor)
                                              : TqrAutoImprDocuFisc::aplicarMascara(c.mascara, c.valor);
        EXPECT_EQ(r, c.texto);
    }
}

TEST_F(DocumentoAidf, ObservacaoQuebraDentroDaSuaCaixa)
{
    QVariantMap aidf = amostra::aidf();
    aidf["STATUS"] = QStringLiteral("2");
    QStringList palavras;
    for (int i = 0; i < 150; ++i)
        palavras << QStringLiteral("observação%1").arg(i);
    aidf["OBSERVACAO_PREF"] = palavras.join(u' ');
    const auto doc = preparado(aidf);

    const auto ps = pdf::palavras(pdfDe(*doc));
    const auto primeira = palavra(ps, QStringLiteral("observação0"));
    ASSERT_TRUE(primeira);
    EXPECT_NEAR(primeira->caixa.top(), pdf::pontos(176 + 555), 4);
    QSet<int> linhas;
    for (const auto &p : ps)
        if (p.texto.startsWith(QStringLiteral("observação")) && p.caixa.top() < pdf::pontos(176 + 555 + 89)) {
            EXPECT_GE(p.caixa.left(), pdf::pontos(38 + 1));
            EXPECT_LE(p.caixa.right(), pdf::pontos(38 + 1 + 715));
            linhas.insert(qRound(p.caixa.top()));
        }
    EXPECT_GE(linhas.size(), 4);

    // What does not fit is cut at the box: nothing prints between it and the next heading.
    const QImage pagina = doc->renderizarImagem(96);
    EXPECT_GT(pixelsEscuros(pagina, QRect(42, 176 + 600, 700, 40)), 500);
    // (The next heading's accents reach up to 826.)
    EXPECT_EQ(pixelsEscuros(pagina, QRect(42, 176 + 555 + 89 + 1, 700, 5)), 0);
}

TEST_F(DocumentoAidf, DataPorExtensoEmPortuguesQualquerQueSejaOIdioma)
{
    const QLocale anterior;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto doc = preparado(amostra::aidf());
    doc->definirDataImpressao(QDate(2024, 3, 5));
    const QString texto = pdf::texto(pdfDe(*doc));
    QLocale::setDefault(anterior);
    EXPECT_TRUE(texto.contains(QStringLiteral("terça-feira, 5 de março de 2024"))) << texto.toStdString();
    EXPECT_EQ(TqrAutoImprDocuFisc::dataPorExtenso(QDate(2025, 1, 1)),
              QStringLiteral("quarta-feira, 1 de janeiro de 2025"));
}

TEST_F(DocumentoAidf, CarimboTrocadoDepoisDePreparar)
{
    const auto doc = preparado(amostra::aidf());
    ASSERT_EQ(doc->carimbo(), QStringLiteral("APROVADA"));
    doc->definirCarimbo(QStringLiteral("GRÁFICA RECUSOU"));
    EXPECT_EQ(carimboNoPdf(pdfDe(*doc)), QStringLiteral("GRÁFICARECUSOU"));
}

TEST_F(DocumentoAidf, ArquivoQueNaoPodeSerCriadoEhErro)
{
    const auto doc = preparado(amostra::aidf());
    const QString arq = pasta.filePath(QStringLiteral("nao/existe/doc.pdf"));
    try {
        doc->salvarPdf(arq);
        FAIL() << "no error";
    } catch (const Erro &e) {
        EXPECT_TRUE(e.texto().contains(arq)) << e.texto().toStdString();
    }
    EXPECT_FALSE(QFile::exists(arq));
}

TEST(CompletarExtensaoPdf, SoQuandoNaoHaExtensao)
{
    const struct
    {
        const char *nome;
        const char *esperado;
    } casos[] = {
        {"000000123", "000000123.pdf"},
        {"/tmp/aidf.v2/000000123", "/tmp/aidf.v2/000000123.pdf"},
        {"000000123.pdf", "000000123.pdf"},
        {"000000123.PDF", "000000123.PDF"},
        {"000000123.txt", "000000123.txt"},
        {"000000123.", "000000123.pdf"},
        {"", ""},
    };
    for (const auto &c : casos)
        EXPECT_EQ(TqrAutoImprDocuFisc::completarExtensaoPdf(QString::fromUtf8(c.nome)),
                  QString::fromUtf8(c.esperado)) << c.nome;
}

// A sample to look at: build/test-artifacts/documento-aidf.png (the PDF at 80 dpi).
TEST_F(DocumentoAidf, ArtefatoParaConferir)
{
    const auto doc = preparado(amostra::aidf());
    const QString destino = QStringLiteral(LUMARO_BIN_DIR "/../test-artifacts");
    ASSERT_TRUE(QDir().mkpath(destino));
    const QString arq = destino + QStringLiteral("/documento-aidf.pdf");
    doc->salvarPdf(arq);
    bool ok = false;
    pdf::executar(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                   QStringLiteral("-singlefile"), arq, destino + QStringLiteral("/documento-aidf")},
                  &ok);
    EXPECT_TRUE(ok);
    const QImage png(destino + QStringLiteral("/documento-aidf.png"));
    EXPECT_NEAR(png.width(), 794 * 80 / 96, 1);
    EXPECT_NEAR(png.height(), 1123 * 80 / 96, 1);
}
