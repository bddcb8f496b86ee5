// The preview pane and the main window's operations on the current document: PrepararDocumento,
// ImprimirAIDF (to a PDF printer) and "Salvar em Disco".

#include "AmostraAidf.h"
#include "ComandosDocumento.h"
#include "DialogosRoteirizados.h"
#include "Erros.h"
#include "FerramentasPdf.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

const QString MsgImpressa = QStringLiteral("Escolha a A.I.D.F. à ser Impressa.");
const QString MsgSalva = QStringLiteral("Escolha a A.I.D.F. à ser Salva.");
const QString PerguntaAceitar = QStringLiteral(
    "Você só pode imprimir A.I.D.F. que foi aceita por você. Você deseja Aceitá-la agora?");

QVariantMap aidfCom(const QVariant &status, const QVariant &numero = 123)
{
    QVariantMap m = amostra::aidf();
    m["STATUS"] = status;
    m["NUMERO_AIDF_PREF"] = numero;
    return m;
}

// Pixels of the stamp's silver.
int pixelsPrata(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAbs(qRed(c) - 192) <= 3 && qAbs(qGreen(c) - 192) <= 3 && qAbs(qBlue(c) - 192) <= 3)
                ++n;
        }
    return n;
}

int pixelsBrancos(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xffffff) == 0xffffff)
                ++n;
    return n;
}

class PreviewAidf : public ::testing::Test
{
protected:
    teste::DialogosRoteirizados dlg;
    QTemporaryDir pasta;
    PreviewDocumento prev;

    void SetUp() override
    {
        prev.resize(640, 720);
        prev.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&prev));
    }

    QImage tela() { return prev.grab().toImage(); }
};

} // namespace

TEST_F(PreviewAidf, MostraSempreOUnicoDocumentoAtual)
{
    EXPECT_EQ(prev.documento(), nullptr);
    EXPECT_EQ(pixelsBrancos(tela()), 0);  // the grey background only

    TqrAutoImprDocuFisc &primeiro = PrepararDocumento(prev, aidfCom(QStringLiteral("5")), amostra::grafica());
    QPointer<TqrAutoImprDocuFisc> vigia(&primeiro);
    EXPECT_EQ(prev.documento(), &primeiro);
    EXPECT_EQ(primeiro.parent(), &prev);
    EXPECT_TRUE(primeiro.preparado());
    // As wide as the pane allows.
    EXPECT_NEAR(prev.zoom(), (prev.viewport()->width() - 20) / 794.0, 1e-9);
    const QImage comCarimbo = tela();
    EXPECT_GT(pixelsBrancos(comCarimbo), 100000);
    EXPECT_GT(pixelsPrata(comCarimbo), 5000);

    // The next row replaces the document, and the old one is freed.
    TqrAutoImprDocuFisc &segundo = PrepararDocumento(prev, aidfCom(QStringLiteral("2"), 456), amostra::grafica());
    EXPECT_TRUE(vigia.isNull());
    EXPECT_EQ(prev.documento(), &segundo);
    EXPECT_EQ(segundo.numeroCabecalho(), QStringLiteral("000000456"));
    EXPECT_EQ(prev.findChildren<TqrAutoImprDocuFisc *>().size(), 1);
    EXPECT_LT(pixelsPrata(tela()), 1000);

    // A refusal stamps the document shown and shows it again.
    segundo.definirCarimbo(QStringLiteral("GRÁFICA RECUSOU"));
    prev.atualizar();
    EXPECT_GT(pixelsPrata(tela()), 5000);

    // A wider pane shows a wider page.
    const qreal antes = prev.zoom();
    prev.resize(900, 720);
    QCoreApplication::processEvents();
    EXPECT_GT(prev.zoom(), antes);
    EXPECT_NEAR(prev.zoom(), (prev.viewport()->width() - 20) / 794.0, 1e-9);

    prev.limpar();
    EXPECT_EQ(prev.documento(), nullptr);
    EXPECT_EQ(pixelsBrancos(tela()), 0);
    EXPECT_TRUE(dlg.mostradas.isEmpty());
}

TEST_F(PreviewAidf, ImagemDanificadaAvisaSoAoConstruir)
{
    QVariantMap aidf = aidfCom(QStringLiteral("5"));
    aidf["BRASAO"] = amostra::codificar(amostra::brasao(), "PNG");
    PrepararDocumento(prev, aidf, amostra::grafica());
    tela();
    prev.resize(700, 600);
    QCoreApplication::processEvents();
    tela();
    EXPECT_EQ(dlg.textos(), QStringList{QStringLiteral(
        "A imagem que contém o brasão está danificado e por isso não será impresso na A.I.D.F.")});
    PrepararDocumento(prev, aidf, amostra::grafica());
    EXPECT_EQ(dlg.mostradas.size(), 2);
}

namespace {

class ComandosAidf : public PreviewAidf
{
protected:
    int dialogosImpressora = 0;
    bool aceitarImpressora = true;
    QString saida;
    QStringList status;
    int finalizacoes = 0;

    void SetUp() override
    {
        PreviewAidf::SetUp();
        saida = pasta.filePath(QStringLiteral("impresso.pdf"));
        definirEscolhaImpressora([this](QPrinter &impressora, QWidget *pai) {
            ++dialogosImpressora;
            EXPECT_EQ(pai, prev.window());
            EXPECT_EQ(impressora.pageLayout().pageSize().id(), QPageSize::A4);
            EXPECT_EQ(impressora.pageLayout().orientation(), QPageLayout::Portrait);
            if (!aceitarImpressora)
                return false;
            impressora.setOutputFormat(QPrinter::PdfFormat);
            impressora.setOutputFileName(saida);
            return true;
        });
    }
    void TearDown() override { definirEscolhaImpressora({}); }

    ContextoImpressao contexto(bool listaVazia, const QVariant &statusLinha)
    {
        ContextoImpressao c;
        c.listaVazia = listaVazia;
        c.status = statusLinha;
        c.atualizarStatus = [this](const QString &texto, const QColor &fundo, const QColor &letra) {
            status << QStringLiteral("%1|%2|%3").arg(texto, fundo.name(), letra.name());
        };
        c.finalizarAidf = [this] { ++finalizacoes; };
        return c;
    }
};

const QStringList StatusDaImpressao = {QStringLiteral(" Enviando impressão...|#008000|#ffffff"),
                                       QStringLiteral(" Aguardando...|#e6e6e6|#000080")};

} // namespace

TEST_F(ComandosAidf, ImprimirAIDF)
{
    const struct
    {
        const char *caso;
        bool listaVazia;
        bool comDocumento;
        QVariant status;
        Botao resposta;
        bool aceitarImpressora;
        // expected
        QStringList mensagens;
        int dialogosImpressora;
        bool impresso;
        int finalizacoes;
        QStringList status_;
    } casos[] = {
        {"lista vazia", true, true, QStringLiteral("5"), Nao, true, {MsgImpressa}, 0, false, 0, {}},
        {"sem documento", false, false, QStringLiteral("5"), Nao, true, {}, 0, false, 0, StatusDaImpressao},
        {"finalizada", false, true, QStringLiteral("5"), Nao, true, {}, 1, true, 0, StatusDaImpressao},
        {"aprovada", false, true, QStringLiteral("2"), Nao, true, {}, 1, true, 0, StatusDaImpressao},
        {"recusada", false, true, QStringLiteral("3"), Nao, true, {}, 1, true, 0, StatusDaImpressao},
        {"impressora cancelada", false, true, QStringLiteral("5"), Nao, false, {}, 1, false, 0, StatusDaImpressao},
        {"status 1, nao aceita", false, true, QStringLiteral("1"), Nao, true, {PerguntaAceitar}, 0, false, 0, StatusDaImpressao},
        {"status 1, aceita agora", false, true, QStringLiteral("1"), Sim, true, {PerguntaAceitar}, 0, false, 1, StatusDaImpressao},
        {"status 4", false, true, QStringLiteral("4"), Nao, true, {PerguntaAceitar}, 0, false, 0, StatusDaImpressao},
        {"status nulo", false, true, QVariant(), Sim, true, {PerguntaAceitar}, 0, false, 1, StatusDaImpressao},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.caso);
        dlg.limpar();
        dlg.respostas = {c.resposta};
        status.clear();
        dialogosImpressora = 0;
        finalizacoes = 0;
        aceitarImpressora = c.aceitarImpressora;
        QFile::remove(saida);
        if (c.comDocumento)
            PrepararDocumento(prev, aidfCom(c.status), amostra::grafica());
        else
            prev.limpar();

        EXPECT_EQ(ImprimirAIDF(prev, contexto(c.listaVazia, c.status)), c.impresso);

        EXPECT_EQ(dlg.textos(), c.mensagens);
        for (const Mensagem &m : dlg.mostradas) {
            EXPECT_TRUE(m.topo);
            if (m.texto == PerguntaAceitar) {
                EXPECT_EQ(m.titulo, QStringLiteral("Pergunrta"));
                EXPECT_EQ(m.icone, Icone::Pergunta);
                EXPECT_EQ(m.botoes, Sim | Nao);
                EXPECT_EQ(m.padrao, Nao);
            } else {
                EXPECT_EQ(m.titulo, QStringLiteral("Aviso"));
                EXPECT_EQ(m.icone, Icone::Informacao);
                EXPECT_EQ(m.botoes, int(Ok));
            }
        }
        EXPECT_EQ(dialogosImpressora, c.dialogosImpressora);
        EXPECT_EQ(finalizacoes, c.finalizacoes);
        EXPECT_EQ(status, c.status_);
        EXPECT_EQ(QFile::exists(saida), c.impresso);
        if (c.impresso) {
            EXPECT_TRUE(pdf::texto(saida).contains(QStringLiteral("000000123")));
            EXPECT_TRUE(pdf::info(saida).contains(QStringLiteral("(A4)")));
        }
    }
}

TEST_F(ComandosAidf, ErroDaImpressoraVoltaOStatusAoNormal)
{
    PrepararDocumento(prev, aidfCom(QStringLiteral("5")), amostra::grafica());
    saida = pasta.filePath(QStringLiteral("nao/existe/impresso.pdf"));
    EXPECT_THROW(ImprimirAIDF(prev, contexto(false, QStringLiteral("5"))), Erro);
    EXPECT_EQ(status, StatusDaImpressao);
}

TEST_F(ComandosAidf, SalvarEmDiscoSemDocumentoAvisa)
{
    EXPECT_TRUE(SalvarAIDFEmDisco(prev, 123).isEmpty());
    ASSERT_EQ(dlg.mostradas.size(), 1);
    const Mensagem &m = dlg.mostradas[0];
    EXPECT_EQ(m.texto, MsgSalva);
    EXPECT_EQ(m.titulo, QStringLiteral("Aviso"));
    EXPECT_EQ(m.icone, Icone::Informacao);
    EXPECT_TRUE(m.topo);
    EXPECT_TRUE(dlg.escolhas.isEmpty());
}

TEST_F(ComandosAidf, SalvarEmDiscoPropoeONumeroEGravaOPdf)
{
    PrepararDocumento(prev, aidfCom(QStringLiteral("5")), amostra::grafica());
    const struct
    {
        const char *caso;
        QVariant numero;     // of the request list's current row
        QString nomeDigitado;
        QString proposto;
        QString gravado;     // empty: nothing written
    } casos[] = {
        {"cancelado", 123, {}, QStringLiteral("000000123"), {}},
        {"sem extensao", 123, QStringLiteral("aidf"), QStringLiteral("000000123"), QStringLiteral("aidf.pdf")},
        {"com extensao", 123, QStringLiteral("aidf.pdf"), QStringLiteral("000000123"), QStringLiteral("aidf.pdf")},
        {"dez digitos", QVariant::fromValue<qlonglong>(1234567890), QStringLiteral("x"),
         QStringLiteral("1234567890"), QStringLiteral("x.pdf")},
        {"lista vazia", QVariant(), {}, QStringLiteral("000000000"), {}},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.caso);
        dlg.limpar();
        for (const QString &f : QDir(pasta.path()).entryList(QDir::Files))
            QFile::remove(pasta.filePath(f));
        if (!c.nomeDigitado.isEmpty())
            dlg.arquivosSalvar = {pasta.filePath(c.nomeDigitado)};

        const QString gravado = SalvarAIDFEmDisco(prev, c.numero);

        ASSERT_EQ(dlg.escolhas.size(), 1);
        const EscolhaArquivo &e = dlg.escolhas[0];
        EXPECT_EQ(e.titulo, QStringLiteral("Salvar Arquivo"));
        EXPECT_EQ(e.nomeProposto, c.proposto);
        EXPECT_EQ(e.extensaoPadrao, QStringLiteral("pdf"));
        EXPECT_TRUE(e.filtro.contains(QStringLiteral("*.pdf")));
        EXPECT_TRUE(dlg.mostradas.isEmpty());
        if (c.gravado.isEmpty()) {
            EXPECT_TRUE(gravado.isEmpty());
            EXPECT_TRUE(QDir(pasta.path()).entryList(QDir::Files).isEmpty());
        } else {
            EXPECT_EQ(gravado, pasta.filePath(c.gravado));
            const QString info = pdf::info(gravado);
            EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
            // The document of the preview, as prepared.
            EXPECT_TRUE(pdf::texto(gravado).contains(QStringLiteral("000000123")));
        }
    }
}

TEST_F(ComandosAidf, SalvarEmDiscoNumaPastaQueNaoExisteEhErro)
{
    PrepararDocumento(prev, aidfCom(QStringLiteral("5")), amostra::grafica());
    dlg.arquivosSalvar = {pasta.filePath(QStringLiteral("nao/existe/aidf.pdf"))};
    EXPECT_THROW(SalvarAIDFEmDisco(prev, 123), Erro);
}
