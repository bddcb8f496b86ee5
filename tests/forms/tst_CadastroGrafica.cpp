#include "Apoio.h"
#include "ConjuntoDados.h"
#include "frmPrinc.h"
#include "udmPrinc.h"
#include "ufrmCadaGraf.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

void ligarCadastros(lumaro::TfrmPrincipal &janela, lumaro::TdmPrinc &dm);

using namespace lumaro;
using namespace lumaro::teste;

namespace {

const QString kTabelaGraf = QStringLiteral("GRAFICA G INNER JOIN BAIRRO B ON G.ID_BAIRRO = B.ID_BAIRRO");

struct CadastroGrafica : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();
    QTemporaryDir pasta;
    std::unique_ptr<TfrmPrincipal> janela;

    void SetUp() override { novaJanela(); }
    void TearDown() override
    {
        janela.reset();
        assentar();
    }
    void novaJanela()
    {
        janela = std::make_unique<TfrmPrincipal>(dm, pasta.path());
        ligarCadastros(*janela, dm);
        janela->resize(900, 600);
    }
    // The start-up's last step, then the window shown (FormShow asks for the registration).
    void iniciar()
    {
        dm.cdsGraf.abrir();
        ASSERT_NO_FATAL_FAILURE(ativar(janela.get()));
    }
    TfrmCadaGraf *form() { return cadastroGraficaAberto(); }
    void digitar(QWidget *w, const QString &texto)
    {
        w->setFocus(Qt::TabFocusReason);
        escrever(w, texto);
    }
    int contar(const QString &tabela) { return m.consultarFora(QStringLiteral("select count(*) from ") + tabela).at(0).at(0).toInt(); }
    // Everything but the telephone of a valid registration, typed into the fields.
    void preencherQuaseTudo()
    {
        TfrmCadaGraf *f = form();
        digitar(f->edtPrinc, QStringLiteral("gráfica modelo ltda"));
        digitar(f->edtCNPJ, QStringLiteral("11222333000181"));
        digitar(f->edtEnde, QStringLiteral("rua direita, 12"));
        digitar(f->edtBai, QStringLiteral("centro"));
        digitar(f->edtCida, QStringLiteral("campinas"));
        digitar(f->edtMail, QStringLiteral("Vendas@Modelo.com.br"));
    }
};

} // namespace

TEST_F(CadastroGrafica, PrimeiraPartidaPedeOCadastroQueSePreencheSoComOTecladoEVoltaNaProxima)
{
    ASSERT_NO_FATAL_FAILURE(iniciar());
    ASSERT_EQ(dialogos.textos(), QStringList{QStringLiteral("Favor preencher o cadastro da sua gráfica.")});
    TfrmCadaGraf *f = form();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->parentWidget(), janela->areaTrabalho());
    EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Inserindo);
    EXPECT_EQ(f->cmbUF->currentText(), QStringLiteral("SP"));
    EXPECT_EQ(f->cmbUF->count(), 26);
    EXPECT_TRUE(dm.emTransacao());
    EXPECT_EQ(janela->textoStatus(), QStringLiteral("  Inserindo..."));
    EXPECT_EQ(QApplication::focusWidget(), f->edtPrinc);
    dialogos.limpar();

    // Field after field, Enter after each; the pick list answers to the first letter.
    const QList<QPair<QString, QString>> entradas = {
        {QStringLiteral("edtPrinc"), QStringLiteral("gráfica união ltda")},
        {QStringLiteral("edtCNPJ"), QStringLiteral("11222333000181")},
        {QStringLiteral("edtInsMun"), QStringLiteral("12345")},
        {QStringLiteral("edtInsEst"), QStringLiteral("isento")},
        {QStringLiteral("edtEnde"), QStringLiteral("av. são joão, 100")},
        {QStringLiteral("edtBai"), QStringLiteral("vila nova")},
        {QStringLiteral("edtCida"), QStringLiteral("niterói")},
        {QStringLiteral("cmbUF"), QStringLiteral("R")},
        {QStringLiteral("edtCEP"), QStringLiteral("24020000")},
        {QStringLiteral("edtFone"), QStringLiteral("(21) 2222-3333")},
        {QStringLiteral("edtMail"), QStringLiteral("Contato@Uniao.COM.br")},
    };
    dialogos.respostas = {Sim};
    for (const auto &[controle, texto] : entradas) {
        ASSERT_EQ(nomeFocado(), controle);
        escrever(QApplication::focusWidget(), texto);
        ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_Return));
    }
    EXPECT_EQ(dialogos.textos(), QStringList{QStringLiteral("Deseja salvar este registro?")});
    EXPECT_EQ(dialogos.mostradas.value(0).titulo, QStringLiteral("Pergunta"));
    EXPECT_TRUE(dialogos.mostradas.value(0).topo);
    EXPECT_EQ(form(), nullptr);
    EXPECT_FALSE(dm.emTransacao());

    const auto linhas = m.consultarFora(QStringLiteral(
        "select g.ID_GRAFICA, g.RAZAO_SOCIAL, g.CNPJ, g.INS_MUNICIPAL, g.INS_ESTADUAL, g.ENDERECO, b.NOME, c.NOME, c.UF, "
        "g.CEP, g.TELEFONE, g.EMAIL from GRAFICA g join BAIRRO b on b.ID_BAIRRO = g.ID_BAIRRO "
        "join CIDADE c on c.ID_CIDADE = g.ID_CIDADE"));
    ASSERT_EQ(linhas.size(), 1);
    const QStringList esperado = {"1", "GRÁFICA UNIÃO LTDA", "11222333000181", "12345", "ISENTO", "AV. SÃO JOÃO, 100",
                                  "VILA NOVA", "NITERÓI", "RJ", "24020000", "(21) 2222-3333", "contato@uniao.com.br"};
    QStringList obtido;
    for (const QVariant &v : linhas.first())
        obtido << v.toString();
    EXPECT_EQ(obtido, esperado);

    // The next start finds it and asks nothing; the registration shows what was stored.
    dialogos.limpar();
    janela.reset();
    assentar();
    dm.conectar();
    novaJanela();
    ASSERT_NO_FATAL_FAILURE(iniciar());
    EXPECT_TRUE(dialogos.textos().isEmpty());
    EXPECT_EQ(form(), nullptr);
    janela->executarComando(1);
    ASSERT_NE(form(), nullptr);
    EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Editando);
    EXPECT_EQ(janela->textoStatus(), QStringLiteral("  Alterando..."));
    EXPECT_EQ(form()->edtPrinc->text(), QStringLiteral("GRÁFICA UNIÃO LTDA"));
    EXPECT_EQ(form()->edtCNPJ->displayText(), QStringLiteral("11.222.333/0001-81"));
    EXPECT_EQ(form()->edtCEP->displayText(), QStringLiteral("24020-000"));
    EXPECT_EQ(form()->edtCida->text(), QStringLiteral("NITERÓI"));
    EXPECT_EQ(form()->cmbUF->currentText(), QStringLiteral("RJ"));
}

TEST_F(CadastroGrafica, EnterNumCampoObrigatorioVazioAvisaEVolta)
{
    ASSERT_NO_FATAL_FAILURE(iniciar());
    dialogos.limpar();
    struct Caso { const char *controle; const char *aviso; const char *depois; };
    const Caso casos[] = {
        {"edtInsMun", nullptr, "edtInsEst"},
        {"edtFone", "O campo Telefone não pode ficar vazio! Favor verificar.", "edtFone"},
        {"edtBai", "O campo Bairro não pode ficar vazio! Favor verificar.", "edtBai"},
        {"edtPrinc", "O campo Razão Social não pode ficar vazio! Favor verificar.", "edtPrinc"},
    };
    for (const Caso &c : casos) {
        dialogos.limpar();
        auto *w = form()->findChild<QWidget *>(QString::fromLatin1(c.controle));
        ASSERT_NE(w, nullptr);
        w->setFocus();
        // The message comes after the focus has moved on.
        QString focadoNoAviso;
        dialogos.aoMostrar = [&](const Mensagem &) { focadoNoAviso = nomeFocado(); };
        ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_Return));
        if (c.aviso) {
            ASSERT_EQ(dialogos.mostradas.size(), 1) << c.controle;
            EXPECT_EQ(dialogos.mostradas[0].texto, QString::fromUtf8(c.aviso));
            EXPECT_EQ(dialogos.mostradas[0].titulo, QStringLiteral("Aviso"));
            EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Aviso);
            EXPECT_TRUE(dialogos.mostradas[0].topo);
            EXPECT_NE(focadoNoAviso, QString::fromLatin1(c.controle));
        } else {
            EXPECT_TRUE(dialogos.mostradas.isEmpty()) << c.controle;
        }
        EXPECT_EQ(nomeFocado(), QString::fromLatin1(c.depois));
    }
    EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Inserindo);
}

TEST_F(CadastroGrafica, EnterNoEmailComNaoNaoGravaNada)
{
    ASSERT_NO_FATAL_FAILURE(iniciar());
    preencherQuaseTudo();
    digitar(form()->edtFone, QStringLiteral("1133334444"));
    form()->edtMail->setFocus();
    dialogos.limpar();
    dialogos.respostas = {Nao};
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_Return));
    EXPECT_EQ(dialogos.textos(), QStringList{QStringLiteral("Deseja salvar este registro?")});
    ASSERT_NE(form(), nullptr);
    EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Inserindo);
    EXPECT_NE(QApplication::focusWidget(), form()->edtMail);
    EXPECT_EQ(contar(QStringLiteral("GRAFICA")), 0);
    EXPECT_EQ(dm.cdsGraf.valor(QStringLiteral("EMAIL")).toString(), QStringLiteral("vendas@modelo.com.br"));
}

TEST_F(CadastroGrafica, CtrlF4DuranteAEdicao)
{
    struct Caso { const char *nome; Botao resposta; bool comTelefone; int graficas; EstadoDs estadoDepois; int mensagens; };
    const Caso casos[] = {
        {"sim grava e fecha", Sim, true, 1, EstadoDs::Navegando, 1},
        {"nao descarta e fecha", Nao, true, 0, EstadoDs::Navegando, 1},
        // The save refuses the empty telephone; the form still closes, the record stays as it was.
        {"sim sem telefone", Sim, false, 0, EstadoDs::Inserindo, 2},
    };
    ASSERT_NO_FATAL_FAILURE(iniciar());
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        FecharCadastroGrafica();
        assentar();
        dm.cdsGraf.fechar();
        if (dm.emTransacao())
            dm.desfazerTransacao();
        dm.executarGeral(QStringLiteral("delete from GRAFICA"));
        janela->executarComando(1);
        ASSERT_NE(form(), nullptr);
        preencherQuaseTudo();
        if (c.comTelefone)
            digitar(form()->edtFone, QStringLiteral("1133334444"));
        form()->edtEnde->setFocus();
        dialogos.limpar();
        dialogos.respostas = {c.resposta};
        QPointer<TfrmCadaGraf> f = form();
        ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_F4, Qt::ControlModifier));
        ASSERT_EQ(dialogos.mostradas.size(), c.mensagens);
        EXPECT_EQ(dialogos.mostradas[0].texto, QStringLiteral("Este registro está em modo de edição! Deseja salvá-lo?"));
        EXPECT_EQ(dialogos.mostradas[0].titulo, QStringLiteral("Pergunta"));
        if (c.mensagens > 1) {
            EXPECT_EQ(dialogos.mostradas[1].texto,
                      QStringLiteral("O campo Telefone no cadastro de ") + kTabelaGraf + QStringLiteral(" não pode ficar vazio."));
        }
        EXPECT_EQ(form(), nullptr);
        assentar();
        EXPECT_TRUE(f.isNull());
        EXPECT_EQ(contar(QStringLiteral("GRAFICA")), c.graficas);
        EXPECT_EQ(dm.cdsGraf.estado(), c.estadoDepois);
    }
}

TEST_F(CadastroGrafica, AtalhosSoAgemComOFocoNumCampoDoCadastro)
{
    ASSERT_NO_FATAL_FAILURE(iniciar());
    preencherQuaseTudo();
    digitar(form()->edtFone, QStringLiteral("1133334444"));
    // With the focus in the menu the keys reach nothing.
    for (auto [tecla, mod] : {std::pair{int(Qt::Key_S), Qt::ControlModifier}, std::pair{int(Qt::Key_F7), Qt::NoModifier},
                              std::pair{int(Qt::Key_F4), Qt::ControlModifier}}) {
        janela->TV()->setFocus();
        dialogos.limpar();
        ASSERT_NO_FATAL_FAILURE(teclar(tecla, mod));
        ASSERT_NE(form(), nullptr);
        EXPECT_TRUE(dialogos.mostradas.isEmpty());
        EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Inserindo);
    }
    EXPECT_EQ(contar(QStringLiteral("GRAFICA")), 0);
    // In a field, Ctrl+S saves, commits and closes.
    form()->edtCNPJ->setFocus();
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
    EXPECT_EQ(form(), nullptr);
    EXPECT_EQ(contar(QStringLiteral("GRAFICA")), 1);
    EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Navegando);
    EXPECT_EQ(janela->textoStatus(), QStringLiteral("  Navengando..."));

    // F7 in a field cancels the edit and closes.
    janela->executarComando(1);
    form()->edtPrinc->selectAll();
    escrever(form()->edtPrinc, QStringLiteral("outro nome"));
    form()->edtCNPJ->setFocus();
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_F7));
    EXPECT_EQ(form(), nullptr);
    EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Navegando);
    EXPECT_EQ(m.consultarFora(QStringLiteral("select RAZAO_SOCIAL from GRAFICA")).at(0).at(0).toString(),
              QStringLiteral("GRÁFICA MODELO LTDA"));
}

TEST_F(CadastroGrafica, CidadeDeMesmoNomeEmOutroEstadoViraNovaCidade)
{
    const int campinasSP = m.cidade(QStringLiteral("CAMPINAS"), QStringLiteral("SP"));
    const int centro = m.bairro(QStringLiteral("CENTRO"));
    struct Caso { const char *uf; bool nova; };
    ASSERT_NO_FATAL_FAILURE(iniciar());
    for (const Caso &c : {Caso{"SP", false}, Caso{"MG", true}}) {
        SCOPED_TRACE(c.uf);
        FecharCadastroGrafica();
        assentar();
        dm.cdsGraf.fechar();
        if (dm.emTransacao())
            dm.desfazerTransacao();
        dm.executarGeral(QStringLiteral("delete from GRAFICA"));
        janela->executarComando(1);
        preencherQuaseTudo();
        digitar(form()->edtFone, QStringLiteral("1133334444"));
        form()->cmbUF->setCurrentText(QString::fromLatin1(c.uf));
        form()->edtPrinc->setFocus();
        ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_S, Qt::ControlModifier));
        ASSERT_EQ(form(), nullptr);
        const auto g = m.consultarFora(QStringLiteral(
            "select g.ID_CIDADE, c.UF, g.ID_BAIRRO from GRAFICA g join CIDADE c on c.ID_CIDADE = g.ID_CIDADE"));
        ASSERT_EQ(g.size(), 1);
        EXPECT_EQ(g[0][1].toString(), QString::fromLatin1(c.uf));
        EXPECT_EQ(g[0][0].toInt() == campinasSP, !c.nova);
        // The neighbourhood is one for every city.
        EXPECT_EQ(g[0][2].toInt(), centro);
    }
    EXPECT_EQ(contar(QStringLiteral("CIDADE where NOME = 'CAMPINAS'")), 2);
    EXPECT_EQ(contar(QStringLiteral("BAIRRO")), 1);
}

TEST_F(CadastroGrafica, CoresDoFocoEBotoesSoDuranteAEdicao)
{
    ASSERT_NO_FATAL_FAILURE(iniciar());
    TfrmCadaGraf *f = form();
    const QColor amarelo(255, 255, 213), branco(255, 255, 255);
    f->edtPrinc->setFocus();
    EXPECT_EQ(f->edtPrinc->palette().color(QPalette::Base), amarelo);
    EXPECT_EQ(f->edtCNPJ->palette().color(QPalette::Base), branco);
    f->cmbUF->setFocus();
    EXPECT_EQ(f->edtPrinc->palette().color(QPalette::Base), branco);
    EXPECT_EQ(f->cmbUF->palette().color(QPalette::Base), amarelo);

    EXPECT_TRUE(f->actSalvar->isEnabled());
    EXPECT_TRUE(f->sbtnCanc->isEnabled());
    dm.cdsGraf.cancelar();
    EXPECT_FALSE(f->actSalvar->isEnabled());
    EXPECT_FALSE(f->sbtnSalv->isEnabled());
    EXPECT_FALSE(f->actCanc->isEnabled());
    dm.cdsGraf.editar();
    EXPECT_TRUE(f->sbtnSalv->isEnabled());
}

TEST_F(CadastroGrafica, CamposFicamAEsquerdaEnquantoAbertoEVoltamDepois)
{
    m.grafica();
    dm.cdsGraf.definicao(QStringLiteral("TELEFONE")).alinhamento = Qt::AlignRight;
    ASSERT_NO_FATAL_FAILURE(iniciar());
    janela->executarComando(1);
    ASSERT_NE(form(), nullptr);
    EXPECT_EQ(dm.cdsGraf.campo(QStringLiteral("TELEFONE")).alinhamento, Qt::Alignment(Qt::AlignLeft));
    EXPECT_TRUE(form()->edtFone->alignment() & Qt::AlignLeft);
    EXPECT_EQ(form()->alinhamentosSalvos().size(), dm.cdsGraf.campos().size());
    form()->edtPrinc->setFocus();
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_F7));
    EXPECT_EQ(dm.cdsGraf.campo(QStringLiteral("TELEFONE")).alinhamento, Qt::Alignment(Qt::AlignRight));
}

TEST_F(CadastroGrafica, ConsultaFechaOCadastroSemPerguntar)
{
    ASSERT_NO_FATAL_FAILURE(iniciar());
    preencherQuaseTudo();
    dialogos.limpar();
    QPointer<TfrmCadaGraf> f = form();
    FecharCadastroGrafica();
    EXPECT_EQ(form(), nullptr);
    assentar();
    EXPECT_TRUE(f.isNull());
    EXPECT_TRUE(dialogos.mostradas.isEmpty());
    EXPECT_EQ(dm.cdsGraf.estado(), EstadoDs::Inserindo);
    EXPECT_EQ(dm.cdsGraf.valor(QStringLiteral("RAZAO_SOCIAL")).toString(), QStringLiteral("GRÁFICA MODELO LTDA"));
    EXPECT_TRUE(dm.emTransacao());
}

TEST_F(CadastroGrafica, EnterNoMenuExecutaOComandoSelecionado)
{
    m.grafica();
    ASSERT_NO_FATAL_FAILURE(iniciar());
    ASSERT_EQ(form(), nullptr);
    QTreeWidget *tv = janela->TV();
    tv->setFocus();
    tv->setCurrentItem(janela->no(1));
    ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_Return));
    ASSERT_NE(form(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), form()->edtPrinc);
    EXPECT_EQ(form()->edtPrinc->text(), QStringLiteral("Gráfica Exemplo Ltda"));
    EXPECT_EQ(form()->edtBai->text(), QStringLiteral("Centro"));
}

TEST_F(CadastroGrafica, EnterComValorRecusadoPelaRegraFicaNoCampo)
{
    ASSERT_NO_FATAL_FAILURE(iniciar());
    struct Caso { const char *controle; const char *texto; const char *aviso; const char *corrigido; };
    const Caso casos[] = {
        {"edtCNPJ", "11222333000180", "C.N.P.J. inválido.", "11222333000181"},
        {"edtMail", "vendas.modelo.com.br", "e-Mail inválido", "vendas@modelo.com.br"},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.controle);
        auto *w = form()->findChild<QWidget *>(QString::fromLatin1(c.controle));
        digitar(w, QString::fromLatin1(c.texto));
        dialogos.limpar();
        ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_Return));
        // The rule speaks once and keeps the focus; no required-value message, no question.
        EXPECT_EQ(dialogos.textos(), QStringList{QString::fromUtf8(c.aviso)});
        EXPECT_EQ(QApplication::focusWidget(), w);
        EXPECT_TRUE(dm.cdsGraf.campo(w->property("DataField").toString()).nulo());
        // Corrected, the value goes in and Enter moves on.
        static_cast<QLineEdit *>(w)->selectAll();
        escrever(w, QString::fromLatin1(c.corrigido));
        dialogos.limpar();
        ASSERT_NO_FATAL_FAILURE(teclar(Qt::Key_Return));
        EXPECT_NE(QApplication::focusWidget(), w);
        EXPECT_EQ(dm.cdsGraf.campo(w->property("DataField").toString()).texto(), QString::fromLatin1(c.corrigido));
    }
}
