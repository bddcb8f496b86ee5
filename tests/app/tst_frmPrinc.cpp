#include "BaseTemporaria.h"
#include "Ajuda.h"
#include "Configuracao.h"
#include "DialogosRoteirizados.h"
#include "frmPrinc.h"
#include "udmPrinc.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::teste;

namespace {

// A program folder of its own: Lumaro.INI and Dados/Dados.fdb as a fresh install has them.
struct Programa : ::testing::Test
{
    DialogosRoteirizados dialogos;
    BaseTemporaria base;
    QTemporaryDir pasta;
    TdmPrinc dm;
    std::unique_ptr<TfrmPrincipal> janela;
    int avisos = 0;
    QList<int> executados;

    void SetUp() override
    {
        QDir(pasta.path()).mkpath(QStringLiteral("Dados"));
        ASSERT_TRUE(QFile::copy(base.caminho(), banco()));
    }
    QString banco() const { return pasta.filePath(QStringLiteral("Dados/Dados.fdb")); }
    QString ini() const { return pasta.filePath(QStringLiteral("Lumaro.INI")); }

    void criarJanela()
    {
        janela = std::make_unique<TfrmPrincipal>(dm, pasta.path());
        auto &op = janela->operacoes;
        op.mostrarAvisoInicial = [this] { ++avisos; };
        op.AbrirCadastroGrafica = [this] { executados << 1; };
        op.ReceberArquivo = [this] { executados << 2; };
        op.MostrarConsulta = [this] { executados << 3; };
        op.FinalizarAIDF = [this] { executados << 4; };
        op.RecusarAIDF = [this] { executados << 5; };
    }
    void iniciar()
    {
        criarJanela();
        janela->executarInicializacao();
    }
    void pedidoComStatus(const QVariant &status)
    {
        dm.executarGeral(QStringLiteral("insert into CIDADE values (1, 'São Paulo', 'SP')"));
        dm.executarGeral(QStringLiteral("insert into BAIRRO values (1, 'Centro')"));
        dm.executarGeral(QStringLiteral("insert into GRAFICA (ID_GRAFICA, RAZAO_SOCIAL, CNPJ, ENDERECO, ID_BAIRRO, ID_CIDADE, "
                                        "TELEFONE, EMAIL) values (1, 'G', '12345678000195', 'R', 1, 1, 'T', 'e@x.com')"));
        dm.executarGeral(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME) values (1, '1', 'P')"));
        dm.executarGeral(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL) values (1, '11222333000181', 'E')"));
        dm.executarGeral(QStringLiteral("insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, "
                                        "ID_GRAFICA, MODELO_NF, TIPO_NF, NUME_INICIAL, NUME_FINAL, STATUS, ID_SOLIC_AIDF_EMISSOR) "
                                        "values (1, 1, 1, 1, 1, 'M', 'T', 1, 2, ?, 1)"), {status});
    }
};

} // namespace

TEST_F(Programa, PrimeiraExecucaoEscreveAsDuasSecoesEMostraOAviso)
{
    iniciar();
    QSettings s(ini(), QSettings::IniFormat);
    EXPECT_EQ(s.value(QStringLiteral("GERAL/BD")).toString(), pasta.path() + QStringLiteral("/Dados/Dados.fdb"));
    EXPECT_EQ(s.value(QStringLiteral("AVISO/Apresenta")).toString(), QStringLiteral("1"));
    EXPECT_EQ(avisos, 1);
    EXPECT_TRUE(dm.BDPrinc.aberta());
    EXPECT_TRUE(dm.cdsGraf.ativo());
    EXPECT_TRUE(dm.cdsSoliGera.ativo());
    EXPECT_FALSE(janela->textoData().isEmpty());
}

TEST_F(Programa, ValorDeApresentaDecideOAviso)
{
    const struct { const char *valor; int avisos; } casos[] = {{"0", 0}, {"1", 1}, {"yes", 1}, {"", 1}, {"2", 1}};
    for (const auto &c : casos) {
        QFile::remove(ini());
        {
            QSettings s(ini(), QSettings::IniFormat);
            s.setValue(QStringLiteral("GERAL/BD"), banco());
            s.setValue(QStringLiteral("AVISO/Apresenta"), QString::fromLatin1(c.valor));
        }
        avisos = 0;
        iniciar();
        EXPECT_EQ(avisos, c.avisos) << c.valor;
        janela.reset();
        dm.desconectar();
    }
}

TEST_F(Programa, GeralSemBdNaoEscreveNadaEUsaOCaminhoRelativo)
{
    {
        QSettings s(ini(), QSettings::IniFormat);
        s.setValue(QStringLiteral("GERAL/ARQUIVO_AIDF"), QStringLiteral("/tmp/"));
        s.setValue(QStringLiteral("AVISO/Apresenta"), QStringLiteral("0"));
    }
    QFile f(ini());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray antes = f.readAll();
    f.close();

    // The relative default resolves against the working directory, not the program's folder.
    QTemporaryDir trabalho;
    QDir(trabalho.path()).mkpath(QStringLiteral("Dados"));
    ASSERT_TRUE(QFile::copy(base.caminho(), trabalho.filePath(QStringLiteral("Dados/Dados.fdb"))));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(trabalho.path());
    iniciar();
    QDir::setCurrent(cwd);

    EXPECT_EQ(dm.banco, QStringLiteral("./Dados/Dados.fdb"));
    EXPECT_TRUE(dm.BDPrinc.aberta());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), antes);
}

TEST_F(Programa, FalhaDeConexaoMostraOErroEParaAInicializacao)
{
    {
        QSettings s(ini(), QSettings::IniFormat);
        s.setValue(QStringLiteral("GERAL/BD"), pasta.filePath(QStringLiteral("NaoExiste.fdb")));
        s.setValue(QStringLiteral("AVISO/Apresenta"), QStringLiteral("0"));
    }
    iniciar();
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Erro);
    EXPECT_TRUE(dialogos.mostradas[0].texto.contains(QLatin1String("NaoExiste.fdb")));
    EXPECT_FALSE(dm.cdsGraf.ativo());
    EXPECT_TRUE(janela->textoData().isEmpty());
    // Shown without data: the window asks for the registration.
    janela->FormShow();
    EXPECT_EQ(dialogos.mostradas.last().texto, QStringLiteral("Favor preencher o cadastro da sua gráfica."));
    EXPECT_EQ(executados, QList<int>{1});
}

TEST_F(Programa, SemGraficaPedeOCadastroAoMostrar)
{
    iniciar();
    janela->FormShow();
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    const Mensagem &m = dialogos.mostradas[0];
    EXPECT_EQ(m.titulo, QStringLiteral("Aviso"));
    EXPECT_EQ(m.texto, QStringLiteral("Favor preencher o cadastro da sua gráfica."));
    EXPECT_TRUE(m.topo);
    EXPECT_FALSE(dm.cdsGraf.ativo());
    EXPECT_EQ(executados, QList<int>{1});
    EXPECT_FALSE(janela->guardaExpansao());
}

TEST_F(Programa, GuardaDeExpansaoEngoleUmClique)
{
    iniciar();
    janela->FormShow();
    executados.clear();
    janela->TV()->setCurrentItem(janela->no(2));
    janela->TV()->collapseItem(janela->no(0));   // the expand button of "A.I.D.F."
    EXPECT_TRUE(janela->guardaExpansao());
    janela->TVClick();
    EXPECT_TRUE(executados.isEmpty());
    janela->TVClick();
    EXPECT_EQ(executados, QList<int>{2});
    // A click on the empty area repeats the selected node's command.
    janela->TVClick();
    EXPECT_EQ(executados, (QList<int>{2, 2}));
    janela->TV()->setCurrentItem(nullptr);
    janela->TV()->clearSelection();
    janela->TVClick();
    EXPECT_EQ(executados.size(), 2);
}

TEST_F(Programa, AceitarERecusarNaoFazemNadaEmPedidoRespondido)
{
    const struct { QVariant status; bool roda; } casos[] = {
        {QStringLiteral("2"), true}, {QStringLiteral("3"), false}, {QStringLiteral("5"), false},
        {QStringLiteral("4"), true}, {QVariant(), true}};
    for (const auto &c : casos) {
        dm.BDPrinc.fechar();
        QFile::remove(banco());
        ASSERT_TRUE(QFile::copy(base.caminho(), banco()));
        QFile::setPermissions(banco(), QFile::ReadOwner | QFile::WriteOwner);
        dm.banco = banco();
        dm.conectar();
        pedidoComStatus(c.status);
        iniciar();
        executados.clear();
        dialogos.limpar();
        janela->executarComando(4);
        janela->executarComando(5);
        EXPECT_EQ(executados, c.roda ? (QList<int>{4, 5}) : QList<int>{}) << c.status.toString().toStdString();
        EXPECT_TRUE(dialogos.mostradas.isEmpty());
        janela.reset();
    }
}

TEST_F(Programa, ReenviarSemPedidosAvisaEVoltaAoStatusDeEspera)
{
    iniciar();
    janela->executarComando(11);
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_EQ(dialogos.mostradas[0].texto, QStringLiteral("Escolha a A.I.D.F. à ser Reenviada."));
    EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Informacao);
    EXPECT_EQ(janela->textoStatus(), QStringLiteral("Aguardando..."));
    EXPECT_FALSE(janela->modoReenvio());
}

TEST_F(Programa, LinhaDeStatusPeloEstadoDoConjunto)
{
    iniciar();
    dm.cdsParam.abrir();
    janela->AtualizarStatus(dm.cdsParam);
    EXPECT_EQ(janela->textoStatus(), QStringLiteral("  Navengando..."));
    EXPECT_EQ(janela->corPainelStatus(), QColor(230, 230, 230));
    EXPECT_EQ(janela->corTextoStatus(), QColor(0, 0, 128));
    dm.cdsParam.inserir();
    janela->AtualizarStatus(dm.cdsParam);
    EXPECT_EQ(janela->textoStatus(), QStringLiteral("  Inserindo..."));
    EXPECT_EQ(janela->corPainelStatus(), QColor(0, 128, 0));
    EXPECT_EQ(janela->corTextoStatus(), QColor(Qt::white));
    dm.cdsParam.definir(QStringLiteral("ID_PARAMETRO"), 1);
    dm.cdsParam.gravar();
    dm.cdsParam.editar();
    janela->AtualizarStatus(dm.cdsParam);
    EXPECT_EQ(janela->textoStatus(), QStringLiteral("  Alterando..."));
    EXPECT_EQ(janela->corPainelStatus(), QColor(255, 255, 0));
    EXPECT_EQ(janela->corTextoStatus(), QColor(Qt::black));
}

TEST(DataPorExtenso, EmPortuguesQualquerQueSejaOIdioma)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(TfrmPrincipal::dataPorExtenso(QDate(2024, 12, 9)), QStringLiteral("09 de dezembro de 2024"));
    EXPECT_EQ(TfrmPrincipal::dataPorExtenso(QDate(2025, 3, 1)), QStringLiteral("01 de março de 2025"));
    QLocale::setDefault(QLocale::system());
}

TEST(MenuPrincipal, TrezeNosComSeusComandos)
{
    DialogosRoteirizados d;
    TdmPrinc dm;
    QTemporaryDir pasta;
    TfrmPrincipal janela(dm, pasta.path());
    QStringList textos;
    for (QTreeWidgetItemIterator it(janela.TV()); *it; ++it)
        textos << (*it)->text(0);
    EXPECT_EQ(textos, (QStringList{"Cadastro da Grafica", "Receber Arquivo", "A.I.D.F.", "Consulta", "Aceitar/Finalizar",
                                   "Recusar", "Salvar em Disco", "Imprimir", "Reenviar Email", "Parametros", "Sobre",
                                   "Ajuda", "Sair"}));
    EXPECT_EQ(janela.windowTitle(), QStringLiteral("Lumaro 1.19 - Sistema de Autorização de Impressão de Documentos Fiscais"));
    EXPECT_EQ(janela.textoStatus(), QStringLiteral("  Aguardando..."));
}

TEST(Ajuda, PaginaDoContextoOuConteudo)
{
    QTemporaryDir pasta;
    for (const char *f : {"index.html", "topico1.html", "topico3.html"}) {
        QFile arq(pasta.filePath(QString::fromLatin1(f)));
        ASSERT_TRUE(arq.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(Ajuda::pagina(pasta.path(), 1), pasta.filePath(QStringLiteral("topico1.html")));
    EXPECT_EQ(Ajuda::pagina(pasta.path(), 3), pasta.filePath(QStringLiteral("topico3.html")));
    EXPECT_EQ(Ajuda::pagina(pasta.path(), 0), pasta.filePath(QStringLiteral("index.html")));
    EXPECT_EQ(Ajuda::pagina(pasta.path(), 4), pasta.filePath(QStringLiteral("index.html")));   // no such page here
    // The program's own help has a page for every context it uses.
    for (int contexto : {1, 3, 4, 6, 10})
        EXPECT_TRUE(QFile::exists(QStringLiteral(LUMARO_SOURCE_DIR "/help/topico%1.html").arg(contexto))) << contexto;
}
