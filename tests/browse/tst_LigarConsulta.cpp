// The panel and the document commands wired into the main window: commands 3, 6 and 7, the
// legend and the release of the document; and the tool writing a stored request's PDF.
#include "AmostraConsulta.h"
#include "ComandosDocumento.h"
#include "DialogosRoteirizados.h"
#include "FerramentasPdf.h"
#include "PreviewDocumento.h"
#include "frmPrinc.h"
#include "ufrmCadaGraf.h"
#include "upnlAIDF.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void ligarConsulta(lumaro::TfrmPrincipal &, lumaro::TdmPrinc &);

using namespace lumaro;

namespace {

class LigacaoConsulta : public ::testing::Test
{
protected:
    amostra::Base b;
    teste::DialogosRoteirizados dialogos;
    QTemporaryDir pasta;
    std::unique_ptr<TfrmPrincipal> janela;
    int finalizacoes = 0;
    int pref = 0;
    int idPrefeitura() const { return pref; }

    void SetUp() override
    {
        pref = b.prefeitura(QStringLiteral("Prefeitura de Campinas"));
        const int alfa = b.empresa(QStringLiteral("Alfa Ltda"), QStringLiteral("11222333000181"));
        b.solicitacao({.numero = 123, .prefeitura = pref, .responsavel = alfa, .solicitante = alfa,
                       .status = QStringLiteral("1")});
        b.solicitacao({.numero = 456789, .prefeitura = pref, .responsavel = alfa, .solicitante = alfa,
                       .status = QStringLiteral("5")});
        janela = std::make_unique<TfrmPrincipal>(b.dm(), pasta.path());
        ligarConsulta(*janela, b.dm());
        janela->operacoes.FinalizarAIDF = [this] { ++finalizacoes; };
        b.dm().cdsGraf.abrir();
        b.dm().cdsSoliGera.abrir();
    }
    void TearDown() override { definirEscolhaImpressora({}); }

    TpnlAIDF *painel() { return janela->areaTrabalho()->findChild<TpnlAIDF *>(QStringLiteral("pnlAIDF")); }
};

} // namespace

TEST_F(LigacaoConsulta, SalvarAntesDaConsultaPedeUmaAidf)
{
    ASSERT_NE(painel(), nullptr);
    EXPECT_TRUE(painel()->isHidden());
    janela->executarComando(7);
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_EQ(dialogos.mostradas[0].texto, QStringLiteral("Escolha a A.I.D.F. à ser Salva."));
    EXPECT_EQ(dialogos.mostradas[0].titulo, QStringLiteral("Aviso"));
    EXPECT_TRUE(dialogos.escolhas.isEmpty());
    // Printing without a document shows nothing and prints nothing.
    dialogos.limpar();
    janela->executarComando(6);
    EXPECT_TRUE(dialogos.mostradas.isEmpty());
    EXPECT_EQ(janela->textoStatus(), QStringLiteral(" Aguardando..."));
}

TEST_F(LigacaoConsulta, SalvarPropoeONumeroComZeros)
{
    janela->executarComando(3);
    ASSERT_FALSE(painel()->isHidden());
    ASSERT_EQ(b.dm().cdsSoliGera.valor(QStringLiteral("NUMERO_AIDF_PREF")).toInt(), 123);
    const QString destino = pasta.filePath(QStringLiteral("escolhido"));
    dialogos.arquivosSalvar << destino;
    janela->executarComando(7);
    ASSERT_EQ(dialogos.escolhas.size(), 1);
    EXPECT_EQ(dialogos.escolhas[0].nomeProposto, QStringLiteral("000000123"));
    EXPECT_EQ(dialogos.escolhas[0].titulo, QStringLiteral("Salvar Arquivo"));
    const QString texto = pdf::texto(destino + QStringLiteral(".pdf"));
    EXPECT_TRUE(texto.contains(QStringLiteral("000000123"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("Prefeitura de Campinas")));

    // The next row: its own number, and the document follows it.
    b.dm().cdsSoliGera.proximo();
    dialogos.arquivosSalvar << pasta.filePath(QStringLiteral("segundo.pdf"));
    janela->executarComando(7);
    EXPECT_EQ(dialogos.escolhas[1].nomeProposto, QStringLiteral("000456789"));
    EXPECT_TRUE(pdf::texto(pasta.filePath(QStringLiteral("segundo.pdf"))).contains(QStringLiteral("000456789")));

    // A file that cannot be written reaches the error display.
    dialogos.limpar();
    dialogos.arquivosSalvar << pasta.filePath(QStringLiteral("nao/existe/x.pdf"));
    janela->executarComando(7);
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Erro);

    // Closing the window frees the document.
    janela->operacoes.LiberarDocumento();
    EXPECT_EQ(painel()->Prev->documento(), nullptr);
}

TEST_F(LigacaoConsulta, ImprimirPorStatus)
{
    QString impresso;
    definirEscolhaImpressora([&](QPrinter &p, QWidget *) {
        impresso = pasta.filePath(QStringLiteral("impresso.pdf"));
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(impresso);
        return true;
    });
    janela->executarComando(3);
    // Status "1": the acceptance is offered instead; No does nothing, Yes runs it.
    const struct { Botao resposta; int finalizacoes; } casos[] = {{Nao, 0}, {Sim, 1}};
    for (const auto &c : casos) {
        dialogos.limpar();
        dialogos.respostas << c.resposta;
        janela->executarComando(6);
        ASSERT_EQ(dialogos.mostradas.size(), 1);
        EXPECT_EQ(dialogos.mostradas[0].titulo, QStringLiteral("Pergunrta"));
        EXPECT_EQ(finalizacoes, c.finalizacoes);
        EXPECT_TRUE(impresso.isEmpty());
        EXPECT_EQ(janela->textoStatus(), QStringLiteral(" Aguardando..."));
    }
    // Status "5" prints the current document.
    b.dm().cdsSoliGera.proximo();
    dialogos.limpar();
    janela->executarComando(6);
    EXPECT_TRUE(dialogos.mostradas.isEmpty()) << dialogos.textos().join(u'|').toStdString();
    ASSERT_FALSE(impresso.isEmpty());
    EXPECT_TRUE(pdf::texto(impresso).contains(QStringLiteral("000456789")));
}

TEST_F(LigacaoConsulta, ConsultaFechaOCadastroEMontaLegenda)
{
    QPointer<QWidget> cadastro = AbrirCadastroGrafica(b.dm(), janela->areaTrabalho());
    ASSERT_FALSE(cadastro.isNull());
    ASSERT_EQ(cadastroGraficaAberto(), cadastro.data());
    janela->executarComando(3);
    EXPECT_EQ(cadastroGraficaAberto(), nullptr);
    EXPECT_TRUE(cadastro.isNull() || cadastro->isHidden());
    EXPECT_FALSE(painel()->isHidden());
    janela->operacoes.MontarLegenda();
    EXPECT_EQ(painel()->pmLege->actions().size(), 5);
}

// lumaro-pacote pdf writes the document of a stored request without the window.
TEST_F(LigacaoConsulta, FerramentaGravaPdf)
{
    b.dm().desconectar();
    const QString ferramenta = QStringLiteral(LUMARO_BIN_DIR "/lumaro-pacote");
    auto rodar = [&](const QStringList &args, QString *erro = nullptr) {
        QProcess p;
        p.start(ferramenta, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        if (erro)
            *erro = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    const QString saida = pasta.filePath(QStringLiteral("doc.pdf"));
    QString erro;
    ASSERT_EQ(rodar({QStringLiteral("pdf"), QStringLiteral("--base"), b.mt.base().caminho(), QStringLiteral("123"),
                     QString::number(idPrefeitura()), saida}, &erro), 0) << erro.toStdString();
    const QString texto = pdf::texto(saida);
    EXPECT_TRUE(texto.contains(QStringLiteral("000000123"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("NÃO DEFINIDA")) || texto.contains(QStringLiteral("Alfa Ltda")));

    const struct { QStringList args; int codigo; } falhas[] = {
        {{QStringLiteral("pdf"), QStringLiteral("--base"), b.mt.base().caminho(), QStringLiteral("999"),
          QString::number(idPrefeitura()), saida}, 1},
        {{QStringLiteral("pdf"), QStringLiteral("--base"), b.mt.base().caminho(), QStringLiteral("123")}, 2},
        {{QStringLiteral("pdf"), QStringLiteral("--base"), b.mt.base().caminho(), QStringLiteral("x"),
          QStringLiteral("1"), saida}, 2},
        {{QStringLiteral("pdf"), QStringLiteral("--base"), pasta.filePath(QStringLiteral("nada.fdb")),
          QStringLiteral("123"), QStringLiteral("1"), saida}, 1},
    };
    for (const auto &f : falhas)
        EXPECT_EQ(rodar(f.args), f.codigo) << f.args.join(u' ').toStdString();

    // Without --base the database is the one Lumaro.INI beside the program names.
    QTemporaryDir programa;
    const QString copia = programa.filePath(QStringLiteral("lumaro-pacote"));
    ASSERT_TRUE(QFile::copy(ferramenta, copia));
    QFile::setPermissions(copia, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        QSettings ini(programa.filePath(QStringLiteral("Lumaro.INI")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("GERAL/BD"), b.mt.base().caminho());
    }
    QProcess p;
    const QString saida2 = pasta.filePath(QStringLiteral("pelo-ini"));
    p.start(copia, {QStringLiteral("pdf"), QStringLiteral("456789"), QString::number(idPrefeitura()), saida2});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(pdf::texto(saida2 + QStringLiteral(".pdf")).contains(QStringLiteral("000456789")));
}
