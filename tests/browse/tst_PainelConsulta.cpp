// The query panel on a real database: queries of each page, lookups, order menu, the grid
// following the list both ways, incremental search, cell drawing and the preview rebuilt per row.
#include "AmostraConsulta.h"
#include "DialogosRoteirizados.h"
#include "PreviewDocumento.h"
#include "upnlAIDF.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

class PainelConsulta : public ::testing::Test
{
protected:
    amostra::Base b;
    teste::DialogosRoteirizados dialogos;
    ConjuntoDados &ds = b.dm().cdsSoliGera;
    QWidget janela;
    TpnlAIDF *pnl = nullptr;
    int campinas = 0, santos = 0;
    int alfa = 0, beta = 0, gama = 0;

    void SetUp() override
    {
        campinas = b.prefeitura(QStringLiteral("Prefeitura de Campinas"));
        santos = b.prefeitura(QStringLiteral("Prefeitura de Santos"), QStringLiteral("58200015000183"));
        alfa = b.empresa(QStringLiteral("Alfa Ltda"), QStringLiteral("11222333000181"), QStringLiteral("777"));
        beta = b.empresa(QStringLiteral("Beta S.A."), QStringLiteral("11444777000161"), QStringLiteral("555"));
        gama = b.empresa(QStringLiteral("Gama ME"), QStringLiteral("12345678909"), QStringLiteral("999"));
        b.solicitacao({.numero = 30, .prefeitura = campinas, .responsavel = beta, .solicitante = alfa,
                       .status = QStringLiteral("5")});
        b.solicitacao({.numero = 10, .prefeitura = campinas, .responsavel = gama, .solicitante = alfa,
                       .aprovacao = QDateTime(QDate(2008, 12, 31), QTime(23, 59, 58))});
        b.solicitacao({.numero = 20, .prefeitura = santos, .responsavel = gama, .solicitante = beta,
                       .status = QStringLiteral("3")});
        b.solicitacao({.numero = 40, .prefeitura = santos, .responsavel = gama, .solicitante = beta,
                       .status = QVariant(), .aprovacao = QDateTime(QDate(2009, 1, 1), QTime(0, 0))});

        pnl = new TpnlAIDF(b.dm(), &janela);
        auto *l = new QVBoxLayout(&janela);
        l->addWidget(pnl);
        pnl->hide();
        pnl->conectarModulo();
        janela.resize(900, 700);
        janela.show();
        // Start-up opens both lists before the panel shows.
        b.dm().cdsGraf.abrir();
        ds.abrir();
    }

    QList<int> numeros()
    {
        QList<int> r;
        const int f = ds.campo(QStringLiteral("NUMERO_AIDF_PREF")).indice();
        for (int i = 0; i < ds.quantidade(); ++i)
            r << ds.valorEm(i, f).toInt();
        std::sort(r.begin(), r.end());
        return r;
    }
    int numeroNoDocumento()
    {
        auto *doc = pnl->Prev->documento();
        return doc ? doc->aidf().value(QStringLiteral("NUMERO_AIDF_PREF")).toInt() : -1;
    }
    int numeroAtual() { return ds.valor(QStringLiteral("NUMERO_AIDF_PREF")).toInt(); }
    int coluna(const char *campo)
    {
        for (int c = 0; c < pnl->modelo().columnCount(); ++c)
            if (pnl->modelo().nomeCampo(c) == QLatin1String(campo))
                return c;
        return -1;
    }
    int linhaDe(CaixaLookup *caixa, const QString &razao)
    {
        const int f = caixa->lista().campo(QStringLiteral("RAZAO_SOCIAL")).indice();
        for (int i = 0; i < caixa->lista().quantidade(); ++i)
            if (caixa->lista().valorEm(i, f).toString() == razao)
                return i;
        return -1;
    }
    int linhaDe2(CaixaLookup *caixa, const char *nome)
    {
        const int f = caixa->lista().campo(QStringLiteral("NOME")).indice();
        for (int i = 0; i < caixa->lista().quantidade(); ++i)
            if (caixa->lista().valorEm(i, f).toString() == QString::fromUtf8(nome))
                return i;
        return -1;
    }
    bool focar(QWidget *w)
    {
        janela.activateWindow();
        QApplication::setActiveWindow(&janela);
        w->setFocus();
        QCoreApplication::processEvents();
        return QApplication::focusWidget() == w;
    }
};

} // namespace

TEST_F(PainelConsulta, MostrarConsultaEGradeSeguemODocumento)
{
    EXPECT_TRUE(pnl->isHidden());
    EXPECT_EQ(pnl->Prev->documento(), nullptr);
    pnl->MostrarConsulta();
    EXPECT_FALSE(pnl->isHidden());
    EXPECT_EQ(pnl->lblConsSimp->text(), QStringLiteral("Número A.I.D.F."));
    EXPECT_EQ(ds.camposIndice(), QStringLiteral("NUMERO_AIDF_PREF"));
    for (const QColor &c : pnl->modelo().ordenacao().cores)
        EXPECT_EQ(c, QColor(Qt::white));
    EXPECT_EQ(numeroAtual(), 10);
    EXPECT_EQ(numeroNoDocumento(), 10);
    EXPECT_EQ(pnl->Prev->documento()->carimbo(), QString());   // status 2: no stamp

    // The grid moves the list, and every row rebuilds the document.
    const struct { int linha; int numero; const char *carimbo; } passos[] = {
        {2, 30, "APROVADA"}, {1, 20, "GRÁFICA RECUSOU"}, {3, 40, "NÃO DEFINIDA"}, {0, 10, ""},
    };
    for (const auto &p : passos) {
        pnl->grdDados->setCurrentIndex(pnl->modelo().index(p.linha, 2));
        EXPECT_EQ(ds.linhaAtual(), p.linha);
        EXPECT_EQ(numeroNoDocumento(), p.numero);
        EXPECT_EQ(pnl->Prev->documento()->carimbo(), QString::fromUtf8(p.carimbo));
        EXPECT_EQ(pnl->Prev->documento()->aidf().value("PREFEITURA").toString(),
                  ds.valor(QStringLiteral("PREFEITURA")).toString());
    }
    // And the list moves the grid.
    ds.ultimo();
    EXPECT_EQ(pnl->grdDados->currentIndex().row(), 3);
    EXPECT_EQ(numeroNoDocumento(), 40);
    ds.anterior();
    EXPECT_EQ(pnl->grdDados->currentIndex().row(), 2);
    EXPECT_EQ(numeroNoDocumento(), 30);
    EXPECT_TRUE(dialogos.mostradas.isEmpty()) << dialogos.textos().join(u'|').toStdString();
}

TEST_F(PainelConsulta, DocumentoSoComPainelVisivel)
{
    ds.proximo();
    EXPECT_EQ(pnl->Prev->documento(), nullptr);
    pnl->MostrarConsulta();
    EXPECT_EQ(numeroNoDocumento(), numeroAtual());
}

TEST_F(PainelConsulta, ConsultasDeCadaPagina)
{
    pnl->MostrarConsulta();
    struct Caso
    {
        const char *nome;
        int pagina;
        std::function<void()> preparar;
        QList<int> esperado;
    };
    auto escolher = [this](CaixaLookup *c, const char *razao) {
        c->escolherLinha(linhaDe(c, QString::fromUtf8(razao)));
    };
    const QList<Caso> casos = {
        {"nenhuma empresa", 1, [] {}, {10, 20, 30, 40}},
        {"responsavel", 1, [&] { escolher(pnl->lcmbResp, "Beta S.A."); }, {30}},
        {"solicitante", 1, [&] { escolher(pnl->lcmbSoli, "Alfa Ltda"); }, {10, 30}},
        {"as duas", 1, [&] { escolher(pnl->lcmbResp, "Gama ME"); escolher(pnl->lcmbSoli, "Alfa Ltda"); }, {10}},
        {"sem datas", 2, [] {}, {10, 20, 30, 40}},
        {"aprovada as 23:59", 2, [&] { pnl->edtDataAprov->setText(QStringLiteral("31/12/2008")); }, {10}},
        {"cadastro de todas", 2, [&] { pnl->edtDataCada->setText(QStringLiteral("04/03/2024")); }, {10, 20, 30, 40}},
        {"cadastro e aprovacao", 2, [&] {
             pnl->edtDataCada->setText(QStringLiteral("04/03/2024"));
             pnl->edtDataAprov->setText(QStringLiteral("01/01/2009")); }, {40}},
        {"aceite sem nenhuma", 2, [&] { pnl->edtDataAcei->setText(QStringLiteral("05/03/2024")); }, {}},
        {"prefeitura", 3, [&] { pnl->lcmbPref->escolherLinha(linhaDe2(pnl->lcmbPref, "Prefeitura de Santos")); }, {20, 40}},
        {"pagina 0 lista tudo", 0, [&] {
             escolher(pnl->lcmbResp, "Beta S.A.");
             pnl->lcmbPref->escolherLinha(0);
             pnl->edtDataAprov->setText(QStringLiteral("31/12/2008")); }, {10, 20, 30, 40}},
    };
    for (const Caso &c : casos) {
        pnl->TabSheet2Enter();
        pnl->TabSheet3Enter();
        pnl->lcmbResp->limpar();
        pnl->lcmbSoli->limpar();
        pnl->lcmbPref->limpar();
        for (CaixaData *d : {pnl->edtDataCada, pnl->edtDataAprov, pnl->edtDataAcei})
            d->clear();
        pnl->PC->setCurrentIndex(c.pagina);
        c.preparar();
        // The lists are released when the focus leaves the page; the choice stays.
        pnl->TabSheet2Exit();
        pnl->TabSheet3Exit();
        pnl->actExecutarExecute();
        EXPECT_EQ(numeros(), c.esperado) << c.nome;
        EXPECT_EQ(pnl->PC->currentIndex(), 0) << c.nome;
        if (c.pagina != 0) {
            EXPECT_TRUE(pnl->actExecutar->isEnabled()) << c.nome;
        }
    }
    EXPECT_TRUE(dialogos.mostradas.isEmpty()) << dialogos.textos().join(u'|').toStdString();
    // The selection stays in force for later reloads.
    pnl->PC->setCurrentIndex(3);
    pnl->TabSheet3Enter();
    pnl->lcmbPref->escolherLinha(linhaDe2(pnl->lcmbPref, "Prefeitura de Campinas"));
    pnl->actExecutar->trigger();
    pnl->MostrarConsulta();
    EXPECT_EQ(numeros(), (QList<int>{10, 30}));
}

TEST_F(PainelConsulta, CnpjComAspasFicaLiteral)
{
    const int estranha = b.empresa(QStringLiteral("Aspas Ltda"), QStringLiteral("12'3 or 1=1"));
    b.solicitacao({.numero = 50, .prefeitura = campinas, .responsavel = estranha, .solicitante = alfa});
    ds.atualizar();
    pnl->MostrarConsulta();
    pnl->PC->setCurrentIndex(1);
    pnl->TabSheet2Enter();
    pnl->lcmbResp->escolherLinha(linhaDe(pnl->lcmbResp, QStringLiteral("Aspas Ltda")));
    pnl->actExecutar->trigger();
    EXPECT_EQ(numeros(), QList<int>{50});
    EXPECT_TRUE(dialogos.mostradas.isEmpty()) << dialogos.textos().join(u'|').toStdString();
}

TEST_F(PainelConsulta, ListasDeEmpresasUmaLinhaPorSolicitacao)
{
    pnl->TabSheet2Enter();
    auto contar = [](CaixaLookup *c, const QString &texto) {
        int n = 0;
        for (int i = 0; i < c->count(); ++i)
            n += c->itemText(i) == texto;
        return n;
    };
    EXPECT_EQ(pnl->lcmbResp->count(), 4);
    EXPECT_EQ(contar(pnl->lcmbResp, QStringLiteral("Gama ME-999-123.456.789-09")), 3);
    EXPECT_EQ(contar(pnl->lcmbResp, QStringLiteral("Beta S.A.-555-11.444.777/0001-61")), 1);
    EXPECT_EQ(contar(pnl->lcmbSoli, QStringLiteral("Alfa Ltda-777-11.222.333/0001-81")), 2);
    // Sorted by the company's name.
    EXPECT_TRUE(pnl->lcmbResp->itemText(0).startsWith(QStringLiteral("Beta")));
    // Leaving the page closes the lists; a chosen company stays shown.
    pnl->lcmbSoli->escolherLinha(0);
    pnl->TabSheet2Exit();
    EXPECT_FALSE(b.dm().cdsResp.ativo());
    EXPECT_FALSE(b.dm().cdsSoli.ativo());
    EXPECT_EQ(pnl->lcmbResp->count(), 0);
    EXPECT_EQ(pnl->lcmbSoli->currentText(), QStringLiteral("Alfa Ltda-777-11.222.333/0001-81"));
}

TEST_F(PainelConsulta, FocoNasPaginasAbreEFechaListas)
{
    pnl->MostrarConsulta();
    pnl->PC->setCurrentIndex(1);
    ASSERT_TRUE(focar(pnl->lcmbResp));
    EXPECT_TRUE(b.dm().cdsResp.ativo());
    EXPECT_TRUE(b.dm().cdsSoli.ativo());
    EXPECT_EQ(pnl->lcmbResp->count(), 4);
    pnl->PC->setCurrentIndex(3);
    ASSERT_TRUE(focar(pnl->lcmbPref));
    EXPECT_FALSE(b.dm().cdsResp.ativo());
    EXPECT_TRUE(b.dm().cdsPref.ativo());
    EXPECT_EQ(pnl->lcmbPref->count(), 2);
    ASSERT_TRUE(focar(pnl->grdDados));
    EXPECT_FALSE(b.dm().cdsPref.ativo());
}

TEST_F(PainelConsulta, MenuDeOrdemEDelete)
{
    pnl->MostrarConsulta();
    pnl->PC->setCurrentIndex(1);
    ASSERT_TRUE(focar(pnl->lcmbResp));
    EXPECT_TRUE(pnl->RazoSocial1->isChecked());
    pnl->CNPJCPF1->trigger();
    EXPECT_EQ(pnl->lcmbResp->ordemExibicao(), QStringLiteral("CNPJ_CPF_FORM;RAZAO_SOCIAL;IMUNICIPAL"));
    EXPECT_EQ(b.dm().cdsResp.camposIndice(), QStringLiteral("CNPJ_CPF_FORM;RAZAO_SOCIAL;IMUNICIPAL"));
    EXPECT_EQ(pnl->lcmbResp->itemText(0), QStringLiteral("11.444.777/0001-61-Beta S.A.-555"));
    EXPECT_EQ(pnl->lcmbSoli->ordemExibicao(), QStringLiteral("RAZAO_SOCIAL;IMUNICIPAL;CNPJ_CPF_FORM"));
    EXPECT_TRUE(pnl->CNPJCPF1->isChecked());
    EXPECT_FALSE(pnl->RazoSocial1->isChecked());
    // The checked item again changes nothing.
    pnl->CNPJCPF1->trigger();
    EXPECT_TRUE(pnl->CNPJCPF1->isChecked());

    ASSERT_TRUE(focar(pnl->lcmbSoli));
    pnl->InscrioMuniciapal1->trigger();
    EXPECT_EQ(pnl->lcmbSoli->ordemExibicao(), QStringLiteral("IMUNICIPAL;CNPJ_CPF_FORM;RAZAO_SOCIAL"));
    EXPECT_EQ(pnl->lcmbSoli->itemText(0), QStringLiteral("555-11.444.777/0001-61-Beta S.A."));

    // With the grid focused only the check mark moves.
    ASSERT_TRUE(focar(pnl->grdDados));
    pnl->PC->setCurrentIndex(1);
    pnl->TabSheet2Enter();
    pnl->RazoSocial1->trigger();
    EXPECT_TRUE(pnl->RazoSocial1->isChecked());
    EXPECT_FALSE(pnl->InscrioMuniciapal1->isChecked());
    EXPECT_EQ(pnl->lcmbSoli->ordemExibicao(), QStringLiteral("IMUNICIPAL;CNPJ_CPF_FORM;RAZAO_SOCIAL"));
    EXPECT_EQ(pnl->lcmbResp->ordemExibicao(), QStringLiteral("CNPJ_CPF_FORM;RAZAO_SOCIAL;IMUNICIPAL"));

    // Delete clears the focused box's choice.
    ASSERT_TRUE(focar(pnl->lcmbResp));
    pnl->lcmbResp->escolherLinha(1);
    ASSERT_TRUE(pnl->lcmbResp->temValor());
    QTest::keyClick(pnl->lcmbResp, Qt::Key_Delete);
    EXPECT_FALSE(pnl->lcmbResp->temValor());
    EXPECT_EQ(pnl->lcmbResp->currentIndex(), -1);
}

TEST_F(PainelConsulta, TrocaDePaginaEF10)
{
    pnl->MostrarConsulta();
    const struct { int pagina; bool habilitada; } casos[] = {{1, true}, {0, false}, {2, true}, {3, true}, {0, false}};
    for (const auto &c : casos) {
        pnl->PC->setCurrentIndex(c.pagina);
        EXPECT_EQ(pnl->actExecutar->isEnabled(), c.habilitada) << c.pagina;
        EXPECT_EQ(pnl->actExecutar->isVisible(), c.habilitada) << c.pagina;
    }
    EXPECT_EQ(pnl->actExecutar->shortcut(), QKeySequence(Qt::Key_F10));
    // After a query page 0 shows and F10 still runs, listing everything.
    pnl->PC->setCurrentIndex(3);
    pnl->TabSheet3Enter();
    pnl->lcmbPref->escolherLinha(linhaDe2(pnl->lcmbPref, "Prefeitura de Santos"));
    pnl->actExecutar->trigger();
    ASSERT_EQ(numeros(), (QList<int>{20, 40}));
    ASSERT_EQ(pnl->PC->currentIndex(), 0);
    ASSERT_TRUE(focar(pnl->edtConsSimp));
    QTest::keyClick(pnl->edtConsSimp, Qt::Key_F10);
    EXPECT_EQ(numeros(), (QList<int>{10, 20, 30, 40}));
}

TEST_F(PainelConsulta, ProcuraIncrementalMoveGradeEDocumento)
{
    pnl->MostrarConsulta();
    ASSERT_TRUE(focar(pnl->edtConsSimp));
    EXPECT_EQ(pnl->edtConsSimp->palette().color(QPalette::Base), QColor(255, 255, 183));
    pnl->grdDadosTitleClick(coluna("MODELO_NF"));
    b.dm().executarGeral(QStringLiteral("update SOLIC_AIDF set MODELO_NF = 'Recibo' where NUMERO_AIDF_PREF = 20"));
    b.dm().executarGeral(QStringLiteral("update SOLIC_AIDF set MODELO_NF = 'Cupom' where NUMERO_AIDF_PREF = 40"));
    pnl->grdDadosTitleClick(coluna("MODELO_NF"));
    EXPECT_EQ(pnl->lblConsSimp->text(), QStringLiteral("Modelo do Impresso"));
    QTest::keyClicks(pnl->edtConsSimp, QStringLiteral("Re"));
    EXPECT_EQ(numeroAtual(), 20);
    EXPECT_EQ(pnl->grdDados->currentIndex().row(), ds.linhaAtual());
    EXPECT_EQ(numeroNoDocumento(), 20);
    pnl->edtConsSimp->setText(QStringLiteral("Cu"));
    EXPECT_EQ(numeroAtual(), 40);
    EXPECT_EQ(numeroNoDocumento(), 40);

    // Letters while sorted by a number: the data layer's error, the row stays.
    pnl->grdDadosTitleClick(0);
    ds.ultimo();
    dialogos.limpar();
    pnl->edtConsSimp->setText(QStringLiteral("abc"));
    EXPECT_EQ(numeroAtual(), 40);
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Erro);
    pnl->edtConsSimp->setText(QStringLiteral("25"));
    EXPECT_EQ(numeroAtual(), 30);

    ASSERT_TRUE(focar(pnl->grdDados));
    EXPECT_EQ(pnl->edtConsSimp->palette().color(QPalette::Base), QColor(Qt::white));
}

TEST_F(PainelConsulta, DestaqueDepoisDeListaFechada)
{
    pnl->MostrarConsulta();
    ds.fechar();
    pnl->grdDadosTitleClick(coluna("PREFEITURA"));
    EXPECT_TRUE(ds.ativo());
    EXPECT_EQ(pnl->modelo().index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 207, 185));
    EXPECT_EQ(pnl->modelo().index(0, coluna("PREFEITURA")).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
    EXPECT_EQ(pnl->lblConsSimp->text(), QStringLiteral("Prefeitura"));
    const auto al = Qt::Alignment(pnl->modelo().headerData(5, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
    EXPECT_TRUE(al & Qt::AlignHCenter);
    pnl->grdDadosTitleClick(coluna("SERIE"));
    EXPECT_EQ(pnl->modelo().index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
}

TEST_F(PainelConsulta, DesenhoDaCelula)
{
    pnl->MostrarConsulta();   // row 0 is request 10, status "2"
    QAbstractItemDelegate *d = pnl->grdDados->itemDelegate();
    auto desenhar = [&](int linha, bool selecionada) {
        QImage img(200, 24, QImage::Format_RGB32);
        img.fill(Qt::magenta);
        QPainter p(&img);
        QStyleOptionViewItem opcao;
        opcao.rect = img.rect();
        opcao.font = QFont(QStringLiteral("DejaVu Sans"), 12);
        opcao.font.setStyleStrategy(QFont::NoAntialias);
        opcao.state = selecionada ? QStyle::State_Selected : QStyle::State_None;
        d->paint(&p, opcao, pnl->modelo().index(linha, coluna("MODELO_NF")));
        return img;
    };
    auto tem = [](const QImage &img, const QColor &cor) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == cor)
                    return true;
        return false;
    };
    const struct { int linha; bool selecionada; QColor fundo; QColor letra; } casos[] = {
        {0, false, Qt::white, QColor(0, 128, 0)},
        {0, true, QColor(255, 255, 128), QColor(0, 0, 128)},
        {1, false, Qt::white, QColor(255, 0, 0)},
        {1, true, QColor(255, 255, 128), QColor(0, 0, 128)},
        {3, false, Qt::white, QColor(0, 0, 0)},
    };
    for (const auto &c : casos) {
        const QImage img = desenhar(c.linha, c.selecionada);
        EXPECT_EQ(QColor(img.pixel(199, 23)), c.fundo) << c.linha << c.selecionada;
        EXPECT_TRUE(tem(img, c.letra)) << c.linha << c.selecionada;
        EXPECT_FALSE(tem(img, Qt::magenta));
    }
}

TEST_F(PainelConsulta, Legenda)
{
    EXPECT_TRUE(pnl->pmLege->actions().isEmpty());
    pnl->MontarLegenda();
    const QList<QAction *> itens = pnl->pmLege->actions();
    ASSERT_EQ(itens.size(), 5);
    const QColor cores[] = {Qt::white, QColor(0, 128, 0), QColor(255, 0, 0), QColor(0, 0, 128), Qt::black};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(itens[i]->text(), itensLegenda()[i].texto);
        EXPECT_EQ(itens[i]->data().value<QColor>(), cores[i]);
    }
}

TEST_F(PainelConsulta, ConsultaRecusadaPelaBase)
{
    pnl->MostrarConsulta();
    pnl->PC->setCurrentIndex(3);
    pnl->TabSheet3Enter();
    pnl->lcmbPref->escolherLinha(linhaDe2(pnl->lcmbPref, "Prefeitura de Santos"));
    pnl->TabSheet3Exit();
    b.dm().cdsSoliPPrev.fechar();
    ds.fechar();
    b.dm().executarGeral(QStringLiteral("drop view VW_SOLIC_AIDF"));
    dialogos.limpar();
    pnl->actExecutar->trigger();
    // The data layer's error reaches the error display; the list stays closed, the page stays,
    // and the failed text stays until the next query.
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Erro);
    EXPECT_TRUE(dialogos.mostradas[0].texto.contains(QStringLiteral("VW_SOLIC_AIDF"))) << dialogos.mostradas[0].texto.toStdString();
    EXPECT_FALSE(ds.ativo());
    EXPECT_EQ(pnl->PC->currentIndex(), 3);
    EXPECT_EQ(ds.sql(), QStringLiteral("select * from VW_SOLIC_AIDF where ID_PREFEITURA = %1").arg(santos));
    EXPECT_EQ(pnl->modelo().rowCount(), 0);
}
