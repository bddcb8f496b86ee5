#include "Apoio.h"
#include "uBusca.h"
#include "udmPrinc.h"

using namespace lumaro;
using namespace lumaro::teste;

namespace {

struct Busca : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();

    QList<QVariantList> cidades()
    {
        return m.consultarFora(QStringLiteral("select ID_CIDADE, NOME, UF from CIDADE order by ID_CIDADE"));
    }
};

} // namespace

TEST_F(Busca, CidadeProcuradaSemBrancosPorNomeEEstado)
{
    const int campinas = m.cidade(QStringLiteral("CAMPINAS"), QStringLiteral("SP"));
    struct Caso { const char *nome; const char *uf; bool existente; };
    const Caso casos[] = {
        {"CAMPINAS", "SP", true},
        {"  CAMPINAS ", "SP", true},
        {"CAMPINAS", "MG", false},
        {"Campinas", "SP", false},           // letter case counts
        {" SANTA BÁRBARA D'OESTE ", "SP", false},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        const int antes = cidades().size();
        const int id = BuscarCidade(dm, QString::fromUtf8(c.nome), QString::fromLatin1(c.uf));
        EXPECT_EQ(id == campinas, c.existente);
        const auto depois = cidades();
        ASSERT_EQ(depois.size(), antes + (c.existente ? 0 : 1));
        if (!c.existente) {
            // Stored as given, blanks included, under the identifier returned.
            EXPECT_EQ(depois.last().value(0).toInt(), id);
            EXPECT_EQ(depois.last().value(1).toString(), QString::fromUtf8(c.nome));
            EXPECT_EQ(depois.last().value(2).toString(), QString::fromLatin1(c.uf));
        }
        EXPECT_FALSE(dm.cdsCida.ativo());
    }
    EXPECT_TRUE(dialogos.mostradas.isEmpty());
}

TEST_F(Busca, BairroValeParaQualquerCidade)
{
    const int id = BuscarBairro(dm, QStringLiteral("JARDIM D'ÁVILA"));
    EXPECT_EQ(BuscarBairro(dm, QStringLiteral(" JARDIM D'ÁVILA  ")), id);
    EXPECT_NE(BuscarBairro(dm, QStringLiteral("CENTRO")), id);
    EXPECT_EQ(m.consultarFora(QStringLiteral("select count(*) from BAIRRO")).at(0).at(0).toInt(), 2);
    EXPECT_FALSE(dm.cdsBair.ativo());
}

TEST_F(Busca, IdentificadorAtrasadoDevolveONumeroGravado)
{
    // A row stored by another way under the number IDS would give next.
    dm.executarGeral(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (1, 'OUTRA', 'SP')"));
    dm.executarGeral(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (5, 'MAIS UMA', 'SP')"));
    int id = 0;
    try {
        id = BuscarCidade(dm, QStringLiteral("NOVA"), QStringLiteral("RJ"));
    } catch (...) {
        ADD_FAILURE() << dialogos.textos().join(u'|').toStdString();
    }
    EXPECT_EQ(id, 6);
    EXPECT_EQ(m.consultarFora(QStringLiteral("select NOME from CIDADE where ID_CIDADE = 6")).value(0).value(0).toString(),
              QStringLiteral("NOVA"));
    EXPECT_TRUE(dialogos.mostradas.isEmpty()) << dialogos.textos().join(u'|').toStdString();
}

TEST_F(Busca, NomeVazioERecusadoPelaRegraDeObrigatorios)
{
    EXPECT_THROW(BuscarCidade(dm, QStringLiteral("   "), QStringLiteral("SP")), Abortar);
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_TRUE(dialogos.mostradas[0].texto.startsWith(QStringLiteral("O campo Cidade no cadastro de CIDADE")))
        << dialogos.mostradas[0].texto.toStdString();
    EXPECT_FALSE(dm.cdsCida.ativo());
    EXPECT_TRUE(cidades().isEmpty());
}
