// The request list's rules without a screen: query texts, status colours, legend, sorting with
// its column colours, and the records handed to the document.
#include "AmostraConsulta.h"
#include "ConsultaAidf.h"
#include "ModeloSolicitacoes.h"
#include "upnlAIDF.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

const QString kBase = QStringLiteral("select * from VW_SOLIC_AIDF ");

struct CasoSql
{
    const char *nome;
    CriteriosConsulta criterios;
    QString esperado;
};

CriteriosConsulta criterios(int pagina, std::function<void(CriteriosConsulta &)> f = {})
{
    CriteriosConsulta c;
    c.pagina = pagina;
    if (f)
        f(c);
    return c;
}

} // namespace

TEST(ConsultaSql, TextoDaPaginaAtiva)
{
    const QList<CasoSql> casos = {
        {"pagina 0 ignora tudo", criterios(0, [](auto &c) { c.cnpjResp = "111"; c.idPrefeitura = 3; c.dataCadastro = QDate(2008, 12, 31); }), kBase},
        {"pagina 1 sem empresas", criterios(1), kBase},
        {"so responsavel", criterios(1, [](auto &c) { c.cnpjResp = "11222333000181"; }),
         kBase + "where CNPJ_RESP = '11222333000181'"},
        {"so solicitante", criterios(1, [](auto &c) { c.cnpjSoli = "12345678909"; }),
         kBase + "where CNPJ_SOLI = '12345678909'"},
        {"as duas", criterios(1, [](auto &c) { c.cnpjResp = "11222333000181"; c.cnpjSoli = "12345678909"; }),
         kBase + "where CNPJ_RESP = '11222333000181' and  CNPJ_SOLI = '12345678909'"},
        {"aspas ficam literais", criterios(1, [](auto &c) { c.cnpjResp = "1' or '1'='1"; }),
         kBase + "where CNPJ_RESP = '1'' or ''1''=''1'"},
        {"pagina 1 ignora datas e prefeitura", criterios(1, [](auto &c) { c.idPrefeitura = 4; c.dataAceite = QDate(2020, 1, 2); }), kBase},
        {"pagina 2 sem datas", criterios(2, [](auto &c) { c.cnpjResp = "1"; }), kBase},
        {"aprovacao mm/dd/yyyy", criterios(2, [](auto &c) { c.dataAprovacao = QDate(2008, 12, 31); }),
         kBase + "where cast(DATA_HORA_APROV_REPROV as date) = '12/31/2008'"},
        {"tres datas", criterios(2, [](auto &c) {
             c.dataCadastro = QDate(2024, 3, 4); c.dataAprovacao = QDate(2024, 3, 5); c.dataAceite = QDate(2024, 1, 9); }),
         kBase + "where cast(DATA_HORA_CADASTRO as date) = '03/04/2024' and  cast(DATA_HORA_APROV_REPROV as date) = "
                 "'03/05/2024' and  cast(DATA_HORA_FINALIZA as date) = '01/09/2024'"},
        {"prefeitura", criterios(3, [](auto &c) { c.idPrefeitura = 7; c.cnpjSoli = "9"; }), kBase + "where ID_PREFEITURA = 7"},
        {"pagina 3 sem prefeitura", criterios(3), kBase},
    };
    for (const CasoSql &c : casos)
        EXPECT_EQ(montarSqlConsulta(c.criterios), c.esperado) << c.nome;
}

TEST(ConsultaSql, CoresPorStatus)
{
    const struct { QVariant status; QColor cor; } casos[] = {
        {QStringLiteral("2"), QColor(0, 128, 0)},   {QStringLiteral("3"), QColor(255, 0, 0)},
        {QStringLiteral("5"), QColor(0, 0, 128)},   {QStringLiteral("4"), QColor(0, 0, 0)},
        {QStringLiteral("1"), QColor(0, 0, 0)},     {QStringLiteral("X"), QColor(0, 0, 0)},
        {QVariant(), QColor(0, 0, 0)},              {QStringLiteral("2 "), QColor(0, 128, 0)},
    };
    for (const auto &c : casos)
        EXPECT_EQ(corStatus(c.status), c.cor) << c.status.toString().toStdString();
}

TEST(ConsultaSql, LegendaDesenhada)
{
    const QList<ItemLegenda> &itens = itensLegenda();
    ASSERT_EQ(itens.size(), 5);
    EXPECT_EQ(itens[0].texto, QStringLiteral("LEGENDAS"));
    EXPECT_EQ(itens[1].texto, QStringLiteral("Aprovada pela prefeitura e enviada para gráfica"));
    EXPECT_EQ(itens[2].texto, QStringLiteral("Gráfica recusou o pedido"));
    EXPECT_EQ(itens[3].texto, QStringLiteral("Gráfica Aceitou/finalizou"));
    EXPECT_EQ(itens[4].texto, QStringLiteral("Não definido"));
    // The heading is white on navy; the entries their colour on light grey.
    for (const ItemLegenda &i : itens) {
        QImage img(300, 20, QImage::Format_RGB32);
        img.fill(Qt::magenta);
        QPainter p(&img);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        TpnlAIDF::DesenharLegenda(p, img.rect(), i.texto, i.cor);
        p.end();
        const QColor fundo = i.cor == Qt::white ? QColor(0, 0, 128) : QColor(238, 238, 238);
        EXPECT_EQ(QColor(img.pixel(290, 18)), fundo) << i.texto.toStdString();
        bool achouLetra = false;
        for (int x = 4; x < 120 && !achouLetra; ++x)
            for (int y = 2; y < 18 && !achouLetra; ++y)
            {
                // Letters are smoothed against the background: look for one close to the colour.
                const QColor px(img.pixel(x, y));
                achouLetra = qAbs(px.red() - i.cor.red()) + qAbs(px.green() - i.cor.green())
                                 + qAbs(px.blue() - i.cor.blue()) < 90;
            }
        EXPECT_TRUE(achouLetra) << i.texto.toStdString();
    }
}

// The title-click sort on a real request list.
class OrdenacaoLista : public ::testing::Test
{
protected:
    amostra::Base b;
    ConjuntoDados &ds = b.dm().cdsSoliGera;
    std::unique_ptr<ModeloSolicitacoes> modelo;

    void SetUp() override
    {
        definirCamposSolicitacoes(ds);
        const int pref = b.prefeitura(QStringLiteral("Prefeitura de Campinas"));
        const int alfa = b.empresa(QStringLiteral("Alfa Ltda"), QStringLiteral("11222333000181"));
        const int beta = b.empresa(QStringLiteral("Beta S.A."), QStringLiteral("11444777000161"));
        const int gama = b.empresa(QStringLiteral("Gama ME"), QStringLiteral("12345678909"));
        b.solicitacao({.numero = 30, .prefeitura = pref, .responsavel = beta, .solicitante = alfa});
        b.solicitacao({.numero = 10, .prefeitura = pref, .responsavel = gama, .solicitante = alfa});
        b.solicitacao({.numero = 20, .prefeitura = pref, .responsavel = alfa, .solicitante = beta});
        b.observacao(20, pref, QStringLiteral("P"), QStringLiteral("linha um\r\nlinha dois"));
        ds.abrir();
        modelo = std::make_unique<ModeloSolicitacoes>(ds);
    }

    int coluna(const char *campo)
    {
        for (int c = 0; c < modelo->columnCount(); ++c)
            if (modelo->nomeCampo(c) == QLatin1String(campo))
                return c;
        return -1;
    }
    QStringList valores(const char *campo)
    {
        QStringList r;
        const int f = ds.campo(QLatin1String(campo)).indice();
        for (int i = 0; i < ds.quantidade(); ++i)
            r << ds.valorEm(i, f).toString();
        return r;
    }
    bool clicar(const char *campo)
    {
        const int c = coluna(campo);
        return modelo->ordenacao().clicarTitulo(ds, c, modelo->nomeCampo(c), modelo->tituloColuna(c));
    }
};

TEST_F(OrdenacaoLista, ColunasDaGrade)
{
    ASSERT_EQ(modelo->columnCount(), 39);
    for (int c = 0; c < 39; ++c) {
        const ColunaGrade &g = colunasGrade()[c];
        EXPECT_EQ(modelo->nomeCampo(c), QLatin1String(g.campo));
        EXPECT_EQ(modelo->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), QString::fromUtf8(g.titulo));
        EXPECT_EQ(modelo->larguraColuna(c), g.largura) << g.campo;
        const auto al = Qt::Alignment(modelo->index(0, c).data(Qt::TextAlignmentRole).toInt());
        EXPECT_EQ(bool(al & Qt::AlignHCenter), g.centralizada) << g.campo;
    }
    // Hidden fields stay out; the memo shows on one line.
    EXPECT_EQ(coluna("STATUS"), -1);
    EXPECT_EQ(coluna("CNPJ_RESP"), -1);
    ds.localizar(QStringLiteral("NUMERO_AIDF_PREF"), {20});
    EXPECT_EQ(modelo->index(ds.linhaAtual(), coluna("OBSERVACAO_PREF")).data().toString(),
              QStringLiteral("linha um linha dois"));
    EXPECT_EQ(modelo->index(ds.linhaAtual(), coluna("CNPJ_RESP_FORM")).data().toString(),
              QStringLiteral("11.222.333/0001-81"));
}

TEST_F(OrdenacaoLista, ListaAbertaFicaBrancaSemDestaque)
{
    EXPECT_EQ(valores("NUMERO_AIDF_PREF"), (QStringList{"10", "20", "30"}));
    ASSERT_TRUE(clicar("NUME_INICIAL"));
    ASSERT_TRUE(clicar("NOME_RESP"));
    EXPECT_EQ(ds.camposIndice(), QStringLiteral("NOME_RESP"));
    EXPECT_EQ(valores("NOME_RESP"), (QStringList{"Alfa Ltda", "Beta S.A.", "Gama ME"}));
    EXPECT_EQ(modelo->ordenacao().rotulo, QStringLiteral("Responsável"));
    for (const QColor &c : modelo->ordenacao().cores)
        EXPECT_EQ(c, QColor(Qt::white));
    EXPECT_FALSE(modelo->ordenacao().titulosCentralizados);
}

TEST_F(OrdenacaoLista, MemoIgnorado)
{
    ASSERT_TRUE(clicar("NOME_RESP"));
    for (const char *memo : {"OBSERVACAO_PREF", "OBSERVACAO_GRAF"}) {
        EXPECT_FALSE(clicar(memo));
        EXPECT_EQ(ds.camposIndice(), QStringLiteral("NOME_RESP"));
        EXPECT_EQ(modelo->ordenacao().rotulo, QStringLiteral("Responsável"));
    }
}

TEST_F(OrdenacaoLista, DestaqueSoComListaFechada)
{
    ds.fechar();
    ASSERT_TRUE(clicar("NUMERO_AIDF_PREF"));
    ASSERT_TRUE(ds.ativo());
    auto &cores = modelo->ordenacao().cores;
    EXPECT_EQ(cores[0], QColor(255, 207, 185));
    EXPECT_FALSE(cores[1].isValid());
    EXPECT_TRUE(modelo->ordenacao().titulosCentralizados);
    EXPECT_EQ(modelo->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 207, 185));
    EXPECT_EQ(modelo->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(230, 230, 230));
    // The highlighted column clicked again keeps it.
    ASSERT_TRUE(clicar("NUMERO_AIDF_PREF"));
    EXPECT_EQ(cores[0], QColor(255, 207, 185));
    // Another column: everything white, the new sort column not highlighted.
    ASSERT_TRUE(clicar("PREFEITURA"));
    for (const QColor &c : cores)
        EXPECT_EQ(c, QColor(Qt::white));
}

TEST_F(OrdenacaoLista, ProcuraIncremental)
{
    ASSERT_TRUE(clicar("NOME_RESP"));
    const struct { const char *texto; const char *esperado; } casos[] = {
        {"B", "Beta S.A."}, {"gam", "Gama ME"}, {"Alfa", "Alfa Ltda"}, {"Bz", "Gama ME"}, {"Zz", "Gama ME"},
    };
    for (const auto &c : casos) {
        ds.procurarProximo(QString::fromUtf8(c.texto));
        EXPECT_EQ(ds.valor(QStringLiteral("NOME_RESP")).toString(), QString::fromUtf8(c.esperado)) << c.texto;
    }
    ASSERT_TRUE(clicar("NUMERO_AIDF_PREF"));
    ds.procurarProximo(QStringLiteral("15"));
    EXPECT_EQ(ds.valor(QStringLiteral("NUMERO_AIDF_PREF")).toInt(), 20);
}

TEST_F(OrdenacaoLista, CorDaLinhaPeloStatus)
{
    b.dm().executarGeral(QStringLiteral("update SOLIC_AIDF set STATUS = '4' where NUMERO_AIDF_PREF = 10"));
    b.dm().executarGeral(QStringLiteral("update SOLIC_AIDF set STATUS = null where NUMERO_AIDF_PREF = 20"));
    b.dm().executarGeral(QStringLiteral("update SOLIC_AIDF set STATUS = '5' where NUMERO_AIDF_PREF = 30"));
    ds.atualizar();
    EXPECT_EQ(modelo->index(0, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
    EXPECT_EQ(modelo->index(1, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
    EXPECT_EQ(modelo->index(2, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 128));
}

TEST_F(OrdenacaoLista, RegistrosDoDocumento)
{
    b.dm().cdsGraf.abrir();
    const QVariantMap g = dadosGrafica(b.dm().cdsGraf);
    EXPECT_EQ(g.value("RAZAO_SOCIAL").toString(), QStringLiteral("Gráfica Exemplo Ltda"));
    EXPECT_EQ(g.value("BAIRRO").toString(), QStringLiteral("Centro"));
    EXPECT_EQ(g.value("CIDADE").toString(), QStringLiteral("São Paulo"));
    EXPECT_EQ(g.value("CEP").toString(), QStringLiteral("01001000"));
    EXPECT_EQ(g.size(), 11);
    ConjuntoDados &prev = b.dm().cdsSoliPPrev;
    prev.definirParametro(QStringLiteral("NUMERO_AIDF_PREF"), QStringLiteral("30"));
    prev.definirParametro(QStringLiteral("ID_PREFEITURA"), QString::number(ds.valor("ID_PREFEITURA").toInt()));
    prev.abrir();
    const QVariantMap a = registroAtual(prev);
    EXPECT_EQ(a.value("NUMERO_AIDF_PREF").toInt(), 30);
    EXPECT_EQ(a.value("NOME_RESP").toString(), QStringLiteral("Beta S.A."));
    EXPECT_EQ(a.value("CNPJ_RESP_FORM").toString(), QStringLiteral("11.444.777/0001-61"));
    EXPECT_EQ(a.value("CNPJ_SOLI_FORM").toString(), QStringLiteral("11.222.333/0001-81"));
    EXPECT_TRUE(a.contains("BRASAO"));
    EXPECT_TRUE(a.contains("ASSINATURA"));
}
