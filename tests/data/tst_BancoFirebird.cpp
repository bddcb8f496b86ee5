#include "BaseTemporaria.h"
#include "BancoFirebird.h"
#include "CriadorBase.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::teste;

namespace {

struct Banco : ::testing::Test
{
    BaseTemporaria base;
    Conexao con;
    void SetUp() override { con.abrir(base.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco)); }
};

} // namespace

TEST(DividirScript, TerminadorTrocadoComentariosETextos)
{
    const QStringList c = dividirScript(QStringLiteral(
        "/* a; b */ create table A (X char(1) default ';');\n"
        "-- linha; comentada\n"
        "SET TERM ^ ;\n"
        "create procedure P as begin x = 1; end^\n"
        "SET TERM ; ^\n"
        "select 1 from rdb$database;"));
    ASSERT_EQ(c.size(), 3);
    EXPECT_EQ(c[0], QStringLiteral("create table A (X char(1) default ';')"));
    EXPECT_EQ(c[1], QStringLiteral("create procedure P as begin x = 1; end"));
    EXPECT_EQ(c[2], QStringLiteral("select 1 from rdb$database"));
}

TEST_F(Banco, AnexoWin1252LeituraConfirmadaETextosComAcento)
{
    const auto r = con.consultar(QStringLiteral(
        "select a.MON$CHARACTER_SET_ID, t.MON$ISOLATION_MODE from MON$ATTACHMENTS a "
        "join MON$TRANSACTIONS t on t.MON$ATTACHMENT_ID = a.MON$ATTACHMENT_ID "
        "where a.MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0][0].toInt(), 53);   // WIN1252
    EXPECT_EQ(r[0][1].toInt(), 2);    // read committed

    const QString nome = QStringLiteral("SÃO JOÃO AÇÚ – “aspas” €");
    con.executar(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (?, ?, ?)"), {1, nome, QStringLiteral("SP")});
    const auto c = con.consultar(QStringLiteral("select NOME, octet_length(NOME), UF from CIDADE where NOME = ?"), {nome});
    ASSERT_EQ(c.size(), 1);
    EXPECT_EQ(c[0][0].toString(), nome);
    EXPECT_EQ(c[0][1].toInt(), nome.size()); // one byte a character
}

TEST_F(Banco, NulosTiposEBlobs)
{
    con.executar(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME) values (1, 'X')"));
    con.executar(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME, ID_CIDADE, BRASAO) values (?, ?, ?, ?, ?)"),
                 {7, QStringLiteral("12345678000195"), QStringLiteral("Pref"), QVariant(), QByteArray(70000, '\xAB')});
    auto r = con.consultar(QStringLiteral("select ID_CIDADE, BRASAO, NOMEDEPARTAMENTO from PREFEITURA"));
    ASSERT_EQ(r.size(), 1);
    EXPECT_TRUE(r[0][0].isNull());
    EXPECT_EQ(r[0][1].toByteArray(), QByteArray(70000, '\xAB'));
    EXPECT_TRUE(r[0][2].isNull());

    // CHAR keeps its exact length; text blobs come back as text; timestamps keep milliseconds.
    const QDateTime quando(QDate(2024, 2, 29), QTime(13, 45, 30, 123));
    r = con.consultar(QStringLiteral("select cast('S' as char(3)), cast('ação' as blob sub_type text), cast(? as timestamp), "
                                     "cast(? as integer) from rdb$database"), {quando, QStringLiteral("42")});
    EXPECT_EQ(r[0][0].toString(), QStringLiteral("S  "));
    EXPECT_EQ(r[0][1].toString(), QStringLiteral("ação"));
    EXPECT_EQ(r[0][2].toDateTime(), quando);
    EXPECT_EQ(r[0][3].toInt(), 42);
}

TEST_F(Banco, ErrosTrazemCodigosGdsETextoDoServidor)
{
    con.executar(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (1, 'Centro')"));
    try {
        con.executar(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (1, 'Outro')"));
        FAIL() << "a duplicate key was accepted";
    } catch (const ErroBanco &e) {
        EXPECT_TRUE(e.tem(gds::unique_key_violation));
        EXPECT_TRUE(e.texto().contains(QLatin1String("violation of PRIMARY or UNIQUE KEY constraint \"PK_BAIRRO\" on table \"BAIRRO\"")))
            << e.texto().toStdString();
        EXPECT_EQ(e.sqlcode(), -803);
    }
    try {
        con.executar(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (2, NULL)"));
        FAIL();
    } catch (const ErroBanco &e) {
        EXPECT_TRUE(e.tem(gds::not_valid));
        EXPECT_TRUE(e.texto().contains(QLatin1String("validation error for column \"BAIRRO\".\"NOME\""))) << e.texto().toStdString();
    }
    try {
        con.executar(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (?, ?, ?)"), {3, QStringLiteral("X"), QStringLiteral("SPX")});
        FAIL();
    } catch (const ErroBanco &e) {
        EXPECT_TRUE(e.tem(gds::arith_except)) << e.texto().toStdString();
    }
}

TEST_F(Banco, TransacaoExplicitaDesfeitaNaoDeixaRastro)
{
    con.iniciarTransacao();
    con.executar(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (1, 'Centro')"));
    EXPECT_EQ(con.consultar(QStringLiteral("select count(*) from BAIRRO")).at(0).at(0).toInt(), 1);
    Conexao outra;
    outra.abrir(base.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
    EXPECT_EQ(outra.consultar(QStringLiteral("select count(*) from BAIRRO")).at(0).at(0).toInt(), 0);
    con.desfazer();
    EXPECT_FALSE(con.emTransacao());
    EXPECT_EQ(con.consultar(QStringLiteral("select count(*) from BAIRRO")).at(0).at(0).toInt(), 0);
}

TEST(Conexao, BaseInexistenteDaErroDeAbertura)
{
    QTemporaryDir dir;
    Conexao con;
    try {
        con.abrir(dir.filePath(QStringLiteral("NaoExiste.fdb")), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
        FAIL();
    } catch (const ErroBanco &e) {
        EXPECT_TRUE(e.tem(gds::io_error));
        EXPECT_TRUE(e.texto().contains(QLatin1String("No such file or directory"))) << e.texto().toStdString();
    }
    EXPECT_FALSE(con.aberta());
}

TEST(CriadorBase, SemOutlookDeixaAColunaDeFora)
{
    BaseTemporaria antiga(OpcoesCriacao{false});
    Conexao con;
    con.abrir(antiga.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
    const auto sql = QStringLiteral("select count(*) from RDB$RELATION_FIELDS where RDB$RELATION_NAME = 'PARAMETRO_SISTEMA' "
                                    "and RDB$FIELD_NAME = 'OUTLOOK'");
    EXPECT_EQ(con.consultar(sql).at(0).at(0).toInt(), 0);
    BaseTemporaria nova;
    Conexao con2;
    con2.abrir(nova.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
    EXPECT_EQ(con2.consultar(sql).at(0).at(0).toInt(), 1);
}

TEST_F(Banco, CaractereForaDoWin1252EhErroDoBancoENaoViraInterrogacao)
{
    for (const QString &sql : {QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (1, ?)"),
                               QStringLiteral("select cast(? as blob sub_type text) from rdb$database")}) {
        try {
            con.consultar(sql, {QStringLiteral("Bairro 中")});
            FAIL() << sql.toStdString();
        } catch (const ErroBanco &e) {
            EXPECT_TRUE(e.tem(gds::arith_except));
            EXPECT_TRUE(e.texto().contains(QLatin1String("Cannot transliterate"))) << e.texto().toStdString();
        }
    }
    EXPECT_EQ(con.consultar(QStringLiteral("select count(*) from BAIRRO")).at(0).at(0).toInt(), 0);
}
