#include "BaseTemporaria.h"
#include "DialogosRoteirizados.h"
#include "udmPrinc.h"

#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::teste;

namespace {

struct Modulo : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();

    void empresa(int id, const QString &cnpj, const QString &nome, QVariant bairro = {}, QVariant cidade = {})
    {
        dm.executarGeral(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL, ID_BAIRRO, ID_CIDADE) "
                                        "values (?, ?, ?, ?, ?)"), {id, cnpj, nome, bairro, cidade});
    }
    void pedido(int numero, int pref, int resp, int soli, const QString &status = QStringLiteral("2"),
                QVariant usuario = {})
    {
        dm.executarGeral(QStringLiteral(
            "insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, ID_GRAFICA, "
            "MODELO_NF, TIPO_NF, NUME_INICIAL, NUME_FINAL, STATUS, ID_SOLIC_AIDF_EMISSOR, ID_USUARIO) "
            "values (?, ?, ?, ?, 1, 'Modelo 1', 'Nota Fiscal de Serviço', 1, 500, ?, 99, ?)"),
            {numero, pref, resp, soli, status, usuario});
    }
    void prefeitura(int id)
    {
        dm.executarGeral(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME) values (?, ?, ?)"),
                         {id, QStringLiteral("46395000000139"), QStringLiteral("Prefeitura de Exemplo")});
    }
};

} // namespace

TEST_F(Modulo, NovoIdComecaEmUmEAvancaDeUmEmUm)
{
    EXPECT_EQ(dm.NovoID(QStringLiteral("EMPRESA")), 1);
    EXPECT_EQ(dm.NovoID(QStringLiteral("EMPRESA")), 2);
    EXPECT_EQ(dm.NovoID(QStringLiteral("BAIRRO")), 1);
    // Outside a transaction each value is committed at once: another connection sees it.
    EXPECT_EQ(m.consultarFora(QStringLiteral("select ULT_ID from IDS where ENTIDADE = 'EMPRESA'")).at(0).at(0).toInt(), 2);
    // Inside one, a rollback takes the identifier back.
    dm.iniciarTransacao();
    EXPECT_EQ(dm.NovoID(QStringLiteral("EMPRESA")), 3);
    dm.desfazerTransacao();
    EXPECT_EQ(dm.NovoID(QStringLiteral("EMPRESA")), 3);
}

TEST_F(Modulo, VisaoTemUmaLinhaPorPedidoComNulosNoQueFalta)
{
    m.grafica();
    prefeitura(1);
    const int b = m.bairro(QStringLiteral("Vila Nova"));
    const int c = m.cidade(QStringLiteral("Campinas"), QStringLiteral("SP"));
    empresa(1, QStringLiteral("11222333000181"), QStringLiteral("Responsável S.A."), b, c);
    empresa(2, QStringLiteral("12345678909"), QStringLiteral("João da Silva"));
    pedido(10, 1, 1, 2, QStringLiteral("2"), 5);  // approver 5 has no signature row
    pedido(11, 1, 1, 1);
    dm.executarGeral(QStringLiteral("insert into OBSER_SOLI_AIDF values (11, 1, 'P', 'Observação da prefeitura')"));
    dm.executarGeral(QStringLiteral("insert into OBSER_SOLI_AIDF values (11, 1, 'G', 'Da gráfica')"));
    dm.executarGeral(QStringLiteral("insert into AIDF_CONJ_ESTADO values (11, 1, '2024/0001')"));
    dm.executarGeral(QStringLiteral("insert into ASSINATURAS (ID_PREFEITURA, ID_USUARIO, NOME_USUARIO) values (1, 7, 'Fulano')"));

    dm.cdsSoliGera.abrir();
    ASSERT_EQ(dm.cdsSoliGera.quantidade(), 2);
    dm.cdsSoliGera.primeiro();
    EXPECT_EQ(dm.cdsSoliGera.valor(QStringLiteral("NUMERO_AIDF_PREF")).toInt(), 10);
    for (const char *nulo : {"NUMERO_ESTADO", "OBSERVACAO_PREF", "OBSERVACAO_GRAF", "NOME_DE_QUEM_APROVOU",
                             "ASSINATURA", "BAIRRO_SOLI", "CIDADE_SOLI", "UF_SOLI"})
        EXPECT_TRUE(dm.cdsSoliGera.campo(QString::fromUtf8(nulo)).nulo()) << nulo;
    EXPECT_EQ(dm.cdsSoliGera.valor(QStringLiteral("CIDADE_RESP")).toString(), QStringLiteral("Campinas"));
    EXPECT_EQ(dm.cdsSoliGera.valor(QStringLiteral("NOME_SOLI")).toString(), QStringLiteral("João da Silva"));
    dm.cdsSoliGera.proximo();
    EXPECT_EQ(dm.cdsSoliGera.valor(QStringLiteral("OBSERVACAO_PREF")).toString(), QStringLiteral("Observação da prefeitura"));
    EXPECT_EQ(dm.cdsSoliGera.valor(QStringLiteral("OBSERVACAO_GRAF")).toString(), QStringLiteral("Da gráfica"));
    EXPECT_EQ(dm.cdsSoliGera.valor(QStringLiteral("NUMERO_ESTADO")).toString(), QStringLiteral("2024/0001"));
}

TEST_F(Modulo, ListaDeResponsaveisTemUmaLinhaPorPedido)
{
    m.grafica();
    prefeitura(1);
    empresa(1, QStringLiteral("11222333000181"), QStringLiteral("Responsável S.A."));
    empresa(2, QStringLiteral("12345678909"), QStringLiteral("Abel"));
    for (int n = 1; n <= 3; ++n)
        pedido(n, 1, 1, 2);
    dm.cdsResp.abrir();
    EXPECT_EQ(dm.cdsResp.quantidade(), 3);
    dm.cdsSoli.abrir();
    EXPECT_EQ(dm.cdsSoli.quantidade(), 3);
}

TEST_F(Modulo, GraficaSemBairroNaoApareceNoCadastro)
{
    m.grafica();
    dm.cdsGraf.abrir();
    EXPECT_EQ(dm.cdsGraf.quantidade(), 1);
    dm.cdsGraf.fechar();
    // A database from before the foreign keys may point at a neighbourhood that is gone.
    dm.executarGeral(QStringLiteral("alter table GRAFICA drop constraint FK_GRAFICA_BAIRRO"));
    dm.executarGeral(QStringLiteral("delete from BAIRRO"));
    dm.cdsGraf.abrir();
    EXPECT_TRUE(dm.cdsGraf.vazio());
}

TEST_F(Modulo, GravarAlteracaoEscreveSoAsColunasDaPropriaTabela)
{
    m.grafica();
    dm.cdsGraf.abrir();
    dm.cdsGraf.editar();
    dm.cdsGraf.definir(QStringLiteral("RAZAO_SOCIAL"), QStringLiteral("Nova Razão Ltda"));
    dm.cdsGraf.definir(QStringLiteral("BAIRRO"), QStringLiteral("Outro Bairro"));   // joined display column
    dm.cdsGraf.definir(QStringLiteral("CIDADE"), QStringLiteral("Outra Cidade"));
    dm.cdsGraf.gravar();
    EXPECT_EQ(dm.cdsGraf.aplicarAtualizacoes(0), 0);
    EXPECT_EQ(m.consultarFora(QStringLiteral("select RAZAO_SOCIAL from GRAFICA")).at(0).at(0).toString(), QStringLiteral("Nova Razão Ltda"));
    EXPECT_EQ(m.consultarFora(QStringLiteral("select NOME from BAIRRO")).at(0).at(0).toString(), QStringLiteral("Centro"));
    EXPECT_EQ(m.consultarFora(QStringLiteral("select NOME from CIDADE")).at(0).at(0).toString(), QStringLiteral("São Paulo"));
    EXPECT_EQ(dm.cdsGraf.alteracoesPendentes(), 0);
}

TEST_F(Modulo, GravarNaoComparaBlobsENaoPerdeOsQueNaoMudaram)
{
    const int c = m.cidade(QStringLiteral("Campinas"), QStringLiteral("SP"));
    const QByteArray brasao(5000, '\x11');
    dm.executarGeral(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME, ID_CIDADE, BRASAO) values (1, '1', 'P', ?, ?)"),
                     {c, brasao});
    dm.cdsPref.abrir();
    dm.cdsPref.editar();
    dm.cdsPref.definir(QStringLiteral("FONE"), QStringLiteral("(19) 3333-4444"));
    dm.cdsPref.gravar();
    EXPECT_EQ(dm.cdsPref.aplicarAtualizacoes(0), 0);
    const auto r = m.consultarFora(QStringLiteral("select FONE, BRASAO from PREFEITURA"));
    EXPECT_EQ(r.at(0).at(0).toString(), QStringLiteral("(19) 3333-4444"));
    EXPECT_EQ(r.at(0).at(1).toByteArray(), brasao);
}

TEST_F(Modulo, ExibicaoDaListaDePedidos)
{
    m.grafica();
    prefeitura(1);
    empresa(1, QStringLiteral("11222333000181"), QStringLiteral("R"));
    pedido(1, 1, 1, 1);
    dm.executarGeral(QStringLiteral("update SOLIC_AIDF set DATA_HORA_CADASTRO = '2024-12-09 08:05:59'"));
    dm.executarGeral(QStringLiteral("update EMPRESA set CEP = '13010000'"));
    dm.cdsSoliGera.abrir();
    EXPECT_EQ(dm.cdsSoliGera.campo(QStringLiteral("DATA_HORA_CADASTRO")).textoExibicao(), QStringLiteral("09 de 12 de 2024 às 08:05"));
    EXPECT_EQ(dm.cdsSoliGera.campo(QStringLiteral("CEP_RESP")).textoExibicao(), QStringLiteral("13010-000"));
    EXPECT_FALSE(dm.cdsSoliGera.campo(QStringLiteral("STATUS")).visivel);
    EXPECT_TRUE(dm.cdsSoliGera.campo(QStringLiteral("MODELO_NF")).visivel);
}

TEST_F(Modulo, EditarConjuntoVazioAcrescentaRegistro)
{
    dm.cdsParam.abrir();
    ASSERT_TRUE(dm.cdsParam.vazio());
    dm.cdsParam.editar();
    EXPECT_EQ(dm.cdsParam.estado(), EstadoDs::Inserindo);
    dm.cdsParam.definir(QStringLiteral("ID_PARAMETRO"), 1);
    dm.cdsParam.definir(QStringLiteral("SERVIDOR_SMTP"), QStringLiteral("smtp.exemplo.com.br"));
    dm.cdsParam.gravar();
    EXPECT_EQ(dm.cdsParam.aplicarAtualizacoes(0), 0);
    EXPECT_EQ(m.consultarFora(QStringLiteral("select SERVIDOR_SMTP from PARAMETRO_SISTEMA where ID_PARAMETRO = 1")).at(0).at(0).toString(),
              QStringLiteral("smtp.exemplo.com.br"));
}

TEST(OrdemDeTexto, PortuguesComAcentosEBuscaQueConcordaComAOrdem)
{
    ConjuntoDados ds(QStringLiteral("cdsTeste"), nullptr);
    ds.adicionarCampo(QStringLiteral("NOME"), TipoColuna::Texto, 30);
    ds.criar();
    const QStringList nomes = {"Recibo", "cupom fiscal", "Álvaro", "Zebra", "Cupom", "avenida", "Éden", "Ébano", "beta"};
    QList<QVariantList> linhas;
    for (const QString &n : nomes)
        linhas << QVariantList{n};
    ds.carregarLinhas(linhas);
    ds.setCamposIndice(QStringLiteral("NOME"));
    QStringList ordem;
    for (int i = 0; i < ds.quantidade(); ++i)
        ordem << ds.valorEm(i, 0).toString();
    EXPECT_EQ(ordem, (QStringList{"Álvaro", "avenida", "beta", "Cupom", "cupom fiscal", "Ébano", "Éden", "Recibo", "Zebra"}));
    const struct { const char *digitado; const char *esperado; } casos[] = {
        {"cu", "Cupom"}, {"CUPOM F", "cupom fiscal"}, {"Cup", "Cupom"}, {"e", "Ébano"}, {"R", "Recibo"}, {"zz", "Zebra"}, {"a", "Álvaro"}};
    for (const auto &c : casos) {
        ds.procurarProximo(QString::fromUtf8(c.digitado));
        EXPECT_EQ(ds.valor(QStringLiteral("NOME")).toString(), QString::fromUtf8(c.esperado)) << c.digitado;
    }
}
