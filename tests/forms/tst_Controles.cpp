#include "Apoio.h"
#include "LigacaoCampo.h"
#include "udmPrinc.h"
#include "ufrmCadaPadrao.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace lumaro;
using namespace lumaro::teste;

TEST(MascaraEdicao, ConverteParaAMascaraDoQt)
{
    EXPECT_EQ(mascaraQt(QStringLiteral("99.999.999/9999-99;0;_")), QStringLiteral("00.000.000/0000-00;_"));
    EXPECT_EQ(mascaraQt(QStringLiteral("99999-999;0;_")), QStringLiteral("00000-000;_"));
    // A required digit, a letter and a literal that the line edit would read as a mask sign.
    EXPECT_EQ(mascaraQt(QStringLiteral("0L\\9;1; ")), QStringLiteral("9A\\9; "));
}

TEST(MascaraEdicao, ValorGuardadoSegueAMascara)
{
    struct Caso { const char *mascara; const char *exibido; const char *esperado; };
    const Caso casos[] = {
        {"99.999.999/9999-99;0;_", "12.345.678/0001-95", "12345678000195"},
        {"99.999.999/9999-99;0;_", "12.345.6__/____-__", "123456"},
        {"99.999.999/9999-99;0;_", "__.___.___/____-__", ""},
        {"99999-999;0;_", "01310-100", "01310100"},
        {"99999-999;1;_", "01310-100", "01310-100"},
        {"99999-999;1;_", "_____-___", ""},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(valorMascarado(QString::fromUtf8(c.mascara), QString::fromUtf8(c.exibido)), QString::fromUtf8(c.esperado))
            << c.mascara << " " << c.exibido;
}

struct Ligacao : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();
    QWidget janela;

    void SetUp() override
    {
        m.grafica();
        dm.cdsGraf.abrir();
        dm.cdsGraf.editar();
    }
};

TEST_F(Ligacao, EdicaoComMascaraMostraPontuacaoEGuardaDigitos)
{
    auto *cnpj = new QLineEdit(&janela);
    auto *outro = new QLineEdit(&janela);
    LigacaoCampo l(cnpj, dm.cdsGraf, QStringLiteral("CNPJ"));
    l.carregar();
    ASSERT_NO_FATAL_FAILURE(ativar(&janela));
    EXPECT_EQ(cnpj->displayText(), QStringLiteral("12.345.678/0001-95"));
    cnpj->setFocus(Qt::TabFocusReason);
    cnpj->selectAll();
    QTest::keyClick(cnpj, Qt::Key_Delete);
    cnpj->home(false);
    escrever(cnpj, QStringLiteral("11222333000181"));
    outro->setFocus();
    EXPECT_EQ(dm.cdsGraf.valor(QStringLiteral("CNPJ")).toString(), QStringLiteral("11222333000181"));
}

TEST_F(Ligacao, RegraQueRecusaDevolveOFocoEMantemOValorAntigo)
{
    auto *mail = new QLineEdit(&janela);
    auto *outro = new QLineEdit(&janela);
    LigacaoCampo l(mail, dm.cdsGraf, QStringLiteral("EMAIL"), Caixa::Minusculas);
    l.carregar();
    ASSERT_NO_FATAL_FAILURE(ativar(&janela));
    mail->setFocus();
    mail->clear();
    escrever(mail, QStringLiteral("SEMARROBA"));
    EXPECT_EQ(mail->text(), QStringLiteral("semarroba"));
    outro->setFocus();
    EXPECT_EQ(dialogos.textos(), QStringList{QStringLiteral("e-Mail inválido")});
    EXPECT_EQ(QApplication::focusWidget(), mail);
    EXPECT_EQ(dm.cdsGraf.valor(QStringLiteral("EMAIL")).toString(), QStringLiteral("contato@grafica.com.br"));
    EXPECT_EQ(mail->text(), QStringLiteral("semarroba"));
}

TEST_F(Ligacao, CampoEsvaziadoFicaNulo)
{
    auto *fone = new QLineEdit(&janela);
    auto *cep = new QLineEdit(&janela);
    LigacaoCampo lf(fone, dm.cdsGraf, QStringLiteral("TELEFONE"));
    LigacaoCampo lc(cep, dm.cdsGraf, QStringLiteral("CEP"));
    lf.carregar();
    lc.carregar();
    ASSERT_NO_FATAL_FAILURE(ativar(&janela));
    for (QLineEdit *e : {fone, cep}) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
    }
    fone->setFocus();
    EXPECT_TRUE(dm.cdsGraf.campo(QStringLiteral("TELEFONE")).nulo());
    EXPECT_TRUE(dm.cdsGraf.campo(QStringLiteral("CEP")).nulo());
}

TEST(Alinhamento, SoMoedaDecimalEAnoGuardamOAlinhamentoEnquantoOFormEstaAberto)
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    ConjuntoDados ds(QStringLiteral("cdsTeste"), nullptr);
    ds.adicionarCampo(QStringLiteral("NOME"), TipoColuna::Texto, 30);
    ds.adicionarCampo(QStringLiteral("ANO"), TipoColuna::Inteiro);
    ds.adicionarCampo(QStringLiteral("VALOR"), TipoColuna::Decimal);
    ds.adicionarCampo(QStringLiteral("QUANTIDADE"), TipoColuna::Inteiro);
    for (const char *c : {"NOME", "ANO", "VALOR", "QUANTIDADE"})
        ds.definicao(QString::fromLatin1(c)).alinhamento = Qt::AlignRight;
    ds.criar();
    QPointer<TfrmCadaPadrao> f = new TfrmCadaPadrao(m.dm());
    f->setDsPrinc(&ds);
    f->ligar(f->edtPrinc, QStringLiteral("NOME"));
    ASSERT_NO_FATAL_FAILURE(ativar(f));
    const QList<QPair<const char *, Qt::Alignment>> aberto = {
        {"NOME", Qt::AlignLeft}, {"ANO", Qt::AlignRight}, {"VALOR", Qt::AlignRight}, {"QUANTIDADE", Qt::AlignLeft}};
    for (const auto &[campo, alinhamento] : aberto)
        EXPECT_EQ(ds.campo(QString::fromLatin1(campo)).alinhamento, alinhamento) << campo;
    EXPECT_TRUE(f->edtPrinc->alignment() & Qt::AlignLeft);
    f->close();
    for (const auto &[campo, alinhamento] : aberto)
        EXPECT_EQ(ds.campo(QString::fromLatin1(campo)).alinhamento, Qt::Alignment(Qt::AlignRight)) << campo;
    assentar();
    EXPECT_TRUE(f.isNull());
}
