#include "Apoio.h"
#include "Configuracao.h"
#include "ConjuntoDados.h"
#include "LigacaoCampo.h"
#include "uFuncoes.h"
#include "udmPrinc.h"
#include "ufrmCadaParam.h"
#include "ufrmObse.h"
#include "ufrmSobre.h"
#include "unAVISO.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

using namespace lumaro;
using namespace lumaro::teste;

namespace {

struct Parametros : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();

    // Command 10 as the operator sees it, without the modal loop.
    QPointer<TfrmCadaParam> abrir()
    {
        QPointer<TfrmCadaParam> f = CriarCadaParam(dm);
        ativar(f);
        return f;
    }
    void digitar(QLineEdit *e, const QString &texto)
    {
        e->setFocus();
        e->selectAll();
        escrever(e, texto);
    }
    QVariantList linha()
    {
        const auto r = m.consultarFora(QStringLiteral(
            "select ID_PARAMETRO, EMAIL_ENVIO, SERVIDOR_SMTP, LOGIN_EMAIL_ENVIO, SENHA_EMAIL_ENVIO, PORTA_PARA_SMTP "
            "from PARAMETRO_SISTEMA"));
        return r.size() == 1 ? r.first() : QVariantList();
    }
};

} // namespace

TEST_F(Parametros, TabelaVaziaGanhaALinhaUmSoComOServidor)
{
    auto f = abrir();
    ASSERT_FALSE(f.isNull());
    EXPECT_EQ(dm.cdsParam.estado(), EstadoDs::Inserindo);
    EXPECT_TRUE(dm.emTransacao());
    EXPECT_EQ(QApplication::focusWidget(), f->edtemailEnvi);
    EXPECT_FALSE(f->edtPrinc->isVisible());
    EXPECT_TRUE(f->DBCheckBox1->isVisible());
    digitar(f->edtServSMTP, QStringLiteral("SMTP.Exemplo.COM"));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    EXPECT_TRUE(dialogos.mostradas.isEmpty()) << dialogos.textos().join(u'|').toStdString();
    assentar();
    EXPECT_TRUE(f.isNull());
    EXPECT_FALSE(dm.cdsParam.ativo());
    EXPECT_FALSE(dm.emTransacao());
    const QVariantList l = linha();
    ASSERT_EQ(l.size(), 6);
    EXPECT_EQ(l[0].toInt(), 1);
    EXPECT_EQ(l[2].toString(), QStringLiteral("smtp.exemplo.com"));
    EXPECT_TRUE(l[1].isNull());
    EXPECT_TRUE(l[4].isNull());
}

TEST_F(Parametros, SenhaEmbaralhadaUmaVezSo)
{
    auto f = abrir();
    digitar(f->edtSenh, QStringLiteral("Segredo7"));
    EXPECT_EQ(f->edtSenh->displayText(), QStringLiteral("********"));
    digitar(f->edtPort, QStringLiteral("587"));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    const QString embaralhada = CodificarSenha(QStringLiteral("Segredo7"));
    ASSERT_NE(embaralhada, QStringLiteral("Segredo7"));
    EXPECT_EQ(linha().value(4).toString(), embaralhada);
    EXPECT_EQ(linha().value(5).toInt(), 587);

    // Saved again without touching the password: the same stored value.
    f = abrir();
    EXPECT_EQ(dm.cdsParam.estado(), EstadoDs::Editando);
    digitar(f->edtLogi, QStringLiteral("Usuario"));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    EXPECT_EQ(linha().value(4).toString(), embaralhada);
    EXPECT_EQ(linha().value(3).toString(), QStringLiteral("Usuario"));

    // A new password typed is stored scrambled.
    f = abrir();
    digitar(f->edtSenh, QStringLiteral("nova"));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    EXPECT_EQ(linha().value(4).toString(), CodificarSenha(QStringLiteral("nova")));
}

TEST_F(Parametros, CaixaDeCopiaGravaSeN)
{
    for (const char *esperado : {"S", "N"}) {
        auto f = abrir();
        f->DBCheckBox1->setFocus();
        QTest::mouseClick(f->DBCheckBox1, Qt::LeftButton);
        ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
        EXPECT_EQ(m.consultarFora(QStringLiteral("select OUTLOOK from PARAMETRO_SISTEMA")).value(0).value(0).toString(),
                  QString::fromLatin1(esperado));
    }
}

TEST_F(Parametros, FecharSemEditarNaoPerguntaEBotoesSeguemOEstado)
{
    auto f = abrir();
    EXPECT_TRUE(f->sbtnSalv->isEnabled());
    EXPECT_TRUE(f->sbtnCanc->isEnabled());
    dm.cdsParam.cancelar();
    EXPECT_FALSE(f->sbtnSalv->isEnabled());
    EXPECT_FALSE(f->sbtnCanc->isEnabled());
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_F4, Qt::ControlModifier));
    EXPECT_TRUE(dialogos.mostradas.isEmpty());
    assentar();
    EXPECT_TRUE(f.isNull());
    EXPECT_TRUE(dm.cdsParam.ativo());
}

TEST_F(Parametros, F1AbreAAjudaNoContextoDoDialogo)
{
    QList<int> contextos;
    TfrmPadrao::abrirAjuda = [&](int c) { contextos << c; };
    auto f = abrir();
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_F1));
    TfrmPadrao::abrirAjuda = nullptr;
    EXPECT_EQ(contextos, QList<int>{10});
    f->close();
}

TEST_F(Parametros, NaoSeMaximiza)
{
    auto f = abrir();
    const QSize tamanho = f->size();
    f->setWindowState(Qt::WindowMaximized);
    QTRY_COMPARE(f->windowState() & Qt::WindowMaximized, Qt::WindowStates());
    EXPECT_EQ(f->size(), tamanho);
    f->close();
}

TEST(ParametrosBaseAntiga, SemColunaOutlookEscondeACaixaEGrava)
{
    DialogosRoteirizados dialogos;
    OpcoesCriacao opcoes;
    opcoes.comOutlook = false;
    ModuloTeste m(opcoes);
    QPointer<TfrmCadaParam> f = CriarCadaParam(m.dm());
    ASSERT_NO_FATAL_FAILURE(ativar(f));
    EXPECT_FALSE(f->DBCheckBox1->isVisible());
    f->edtemailEnvi->setFocus();
    escrever(f->edtemailEnvi, QStringLiteral("envio@grafica.com.br"));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    EXPECT_TRUE(dialogos.mostradas.isEmpty()) << dialogos.textos().join(u'|').toStdString();
    EXPECT_EQ(m.consultarFora(QStringLiteral("select EMAIL_ENVIO from PARAMETRO_SISTEMA")).value(0).value(0).toString(),
              QStringLiteral("envio@grafica.com.br"));
}

namespace {

struct Observacao : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();

    void SetUp() override
    {
        m.grafica();
        dm.executarGeral(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME) values (1, '46395000000139', 'Prefeitura')"));
        dm.executarGeral(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL) values (1, '11222333000181', 'Empresa')"));
        dm.executarGeral(QStringLiteral(
            "insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, ID_GRAFICA, MODELO_NF, "
            "TIPO_NF, NUME_INICIAL, NUME_FINAL, STATUS, ID_SOLIC_AIDF_EMISSOR) values (7, 1, 1, 1, 1, 'M', 'T', 1, 50, '2', 9)"));
        dm.cdsObse.definirParametro(QStringLiteral("numero"), 7);
        dm.cdsObse.definirParametro(QStringLiteral("id_pref"), 1);
        dm.cdsObse.definirParametro(QStringLiteral("tipo_obs"), QStringLiteral("G"));
        dm.cdsObse.abrir();
        dm.cdsObse.inserir();
        dm.cdsObse.definir(QStringLiteral("NUMERO_AIDF_PREF"), 7);
        dm.cdsObse.definir(QStringLiteral("ID_PREFEITURA"), 1);
        dm.cdsObse.definir(QStringLiteral("TIPO_OBSERVACAO"), QStringLiteral("G"));
    }
    QVariant gravada()
    {
        return m.consultarFora(QStringLiteral("select OBSERVACAO from OBSER_SOLI_AIDF")).value(0).value(0);
    }
};

} // namespace

TEST_F(Observacao, LetrasViramMaiusculasComAcentos)
{
    QPointer<TfrmCadaObse> f = new TfrmCadaObse(dm);
    ASSERT_NO_FATAL_FAILURE(ativar(f));
    EXPECT_EQ(QApplication::focusWidget(), f->mmObse);
    escrever(f->mmObse, QStringLiteral("ação já çã"));
    EXPECT_EQ(f->mmObse->toPlainText(), QStringLiteral("AÇÃO JÁ ÇÃ"));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    assentar();
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(gravada().toString(), QStringLiteral("AÇÃO JÁ ÇÃ"));
}

TEST_F(Observacao, VaziaERecusadaEODialogoFica)
{
    QPointer<TfrmCadaObse> f = new TfrmCadaObse(dm);
    ASSERT_NO_FATAL_FAILURE(ativar(f));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_TRUE(dialogos.mostradas[0].texto.startsWith(QStringLiteral("O campo OBSERVACAO no cadastro de OBSER_SOLI_AIDF")))
        << dialogos.mostradas[0].texto.toStdString();
    assentar();
    ASSERT_FALSE(f.isNull());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(dm.cdsObse.estado(), EstadoDs::Inserindo);
    // Cancel lets it go.
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_F7));
    assentar();
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(dm.cdsObse.estado(), EstadoDs::Navegando);
    EXPECT_TRUE(gravada().isNull());
}

TEST_F(Observacao, FecharDeixaORegistroComoEstava)
{
    QPointer<TfrmCadaObse> f = new TfrmCadaObse(dm);
    ASSERT_NO_FATAL_FAILURE(ativar(f));
    escrever(f->mmObse, QStringLiteral("pendente"));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_F4, Qt::ControlModifier));
    EXPECT_TRUE(dialogos.mostradas.isEmpty());
    assentar();
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(dm.cdsObse.estado(), EstadoDs::Inserindo);
    EXPECT_TRUE(gravada().isNull());
}

TEST(Aviso, CaixaMarcadaGravaApresentaZero)
{
    for (bool marcar : {true, false}) {
        SCOPED_TRACE(marcar);
        QTemporaryDir pasta;
        QPointer<TAVISO> a = new TAVISO([&] { Configuracao(pasta.path()).setApresentarAviso(false); });
        ASSERT_NO_FATAL_FAILURE(ativar(a));
        EXPECT_EQ(a->windowTitle(), QStringLiteral("ATENÇÂO"));
        EXPECT_EQ(TAVISO::texto().split(QStringLiteral("\r\n")).size(), 4);
        a->CB->setChecked(marcar);
        QTest::mouseClick(a->BitBtn1, Qt::LeftButton);
        assentar();
        EXPECT_TRUE(a.isNull());
        QSettings ini(Configuracao(pasta.path()).arquivo(), QSettings::IniFormat);
        EXPECT_EQ(ini.contains(QStringLiteral("AVISO/Apresenta")), marcar);
        if (marcar) {
            EXPECT_EQ(ini.value(QStringLiteral("AVISO/Apresenta")).toString(), QStringLiteral("0"));
        }
        EXPECT_EQ(Configuracao(pasta.path()).apresentarAviso(), !marcar);
    }
}

TEST(Aviso, FalhaAoGravarMantemODialogo)
{
    DialogosRoteirizados dialogos;
    QPointer<TAVISO> a = new TAVISO([] { throw Erro(QStringLiteral("sem permissão")); });
    ASSERT_NO_FATAL_FAILURE(ativar(a));
    a->CB->setChecked(true);
    QTest::mouseClick(a->BitBtn1, Qt::LeftButton);
    assentar();
    ASSERT_FALSE(a.isNull());
    EXPECT_TRUE(a->isVisible());
    delete a;
}

TEST(Sobre, FechaComTeclaDeSinalOuCliqueNaoComSeta)
{
    struct Caso { const char *nome; int tecla; bool fecha; };
    const Caso casos[] = {
        {"Esc", Qt::Key_Escape, true}, {"letra", Qt::Key_A, true}, {"digito", Qt::Key_5, true},
        {"Enter", Qt::Key_Return, true}, {"seta", Qt::Key_Left, false}, {"seta abaixo", Qt::Key_Down, false},
        {"F2", Qt::Key_F2, false}, {"clique", -1, true},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        TfrmSobre s;
        ASSERT_NO_FATAL_FAILURE(ativar(&s));
        EXPECT_EQ(s.size(), QSize(535, 349));
        EXPECT_EQ(s.Img->pixmap().size(), QSize(535, 349));
        if (c.tecla < 0)
            QTest::mouseClick(s.Img, Qt::LeftButton);
        else
            QTest::keyClick(&s, Qt::Key(c.tecla));
        EXPECT_EQ(s.isVisible(), !c.fecha);
    }
}
