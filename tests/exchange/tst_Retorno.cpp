#include "ArquivoZip.h"
#include "BaseTemporaria.h"
#include "DialogosRoteirizados.h"
#include "PacoteDados.h"
#include "uRetorno.h"
#include "udmPrinc.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::teste;

namespace {

struct Retorno : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();
    QTemporaryDir programa;
    const QDateTime finalizada{QDate(2024, 12, 9), QTime(15, 30, 12)};

    void SetUp() override
    {
        m.grafica();
        dm.executarGeral(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME) values (3, '46395000000139', 'P')"));
        dm.executarGeral(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL) values (1, '11222333000181', 'R')"));
        dm.executarGeral(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL) values (2, '12345678909', 'S')"));
    }
    void pedido(qint64 numero, const QString &status)
    {
        dm.executarGeral(QStringLiteral(
            "insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, ID_GRAFICA, MODELO_NF, "
            "TIPO_NF, NUME_INICIAL, NUME_FINAL, STATUS, DATA_HORA_FINALIZA, ID_SOLIC_AIDF_EMISSOR) "
            "values (?, 3, 1, 2, 1, 'M', 'T', 1, 50, ?, ?, 777)"), {numero, status, finalizada});
        dm.executarGeral(QStringLiteral("insert into OBSER_SOLI_AIDF values (?, 3, 'P', 'da prefeitura')"), {numero});
    }
    void irPara(qint64 numero)
    {
        dm.cdsSoliGera.fechar();
        dm.cdsSoliGera.abrir();
        ASSERT_TRUE(dm.cdsSoliGera.localizar(QStringLiteral("NUMERO_AIDF_PREF"), {numero}));
    }
    PacoteDados lerPacote(const QString &caminho)
    {
        const auto membros = ArquivoZip::membros(caminho + QStringLiteral(".Graf"));
        EXPECT_EQ(membros.size(), 1);
        return PacoteDados::ler(ArquivoZip::lerMembro(caminho + QStringLiteral(".Graf"), QFileInfo(caminho).fileName() + QStringLiteral(".Aidf")));
    }
};

} // namespace

TEST_F(Retorno, PacoteDoPedidoAceitoComOitoCamposESemObservacaoDaGrafica)
{
    pedido(1234, QStringLiteral("5"));
    irPara(1234);
    QString numero, caminho;
    ASSERT_TRUE(GerarArquivoRetorno(dm, programa.path(), numero, caminho));
    EXPECT_EQ(numero, QStringLiteral("000001234"));
    EXPECT_EQ(caminho, programa.path() + QStringLiteral("/Aidfs/Retorno/000001234GrafRe"));
    EXPECT_EQ(QDir(programa.filePath(QStringLiteral("Aidfs/Retorno"))).entryList(QDir::Files),
              QStringList{QStringLiteral("000001234GrafRe.Graf")});
    const PacoteDados p = lerPacote(caminho);
    QStringList nomes;
    for (const auto &c : p.campos)
        nomes << c.nome;
    EXPECT_EQ(nomes, (QStringList{"NUMERO_AIDF", "CNPJ_PREF", "CNPJ_RESP", "CNPJ_SOLI", "FINALIZADAEM", "OBSERVACAO",
                                  "ID_SOLI_AIDF_EMISSOR", "STATUS"}));
    EXPECT_EQ(p.valor(QStringLiteral("NUMERO_AIDF")).toInt(), 1234);
    EXPECT_EQ(p.valor(QStringLiteral("CNPJ_PREF")).toString(), QStringLiteral("46395000000139"));
    EXPECT_EQ(p.valor(QStringLiteral("CNPJ_RESP")).toString(), QStringLiteral("11222333000181"));
    EXPECT_EQ(p.valor(QStringLiteral("CNPJ_SOLI")).toString(), QStringLiteral("12345678909"));
    EXPECT_EQ(p.valor(QStringLiteral("FINALIZADAEM")).toDateTime(), finalizada);
    EXPECT_TRUE(p.valor(QStringLiteral("OBSERVACAO")).isNull());   // the "P" one never goes back
    EXPECT_EQ(p.valor(QStringLiteral("ID_SOLI_AIDF_EMISSOR")).toInt(), 777);
    EXPECT_EQ(p.valor(QStringLiteral("STATUS")).toString(), QStringLiteral("5"));
    EXPECT_FALSE(dm.cdsRetorno.ativo());
    EXPECT_FALSE(dm.cdsSoliRece.ativo());
}

TEST_F(Retorno, ReenvioSubstituiOMembroEUsaAObservacaoNaoGravada)
{
    pedido(1234567890, QStringLiteral("3"));
    dm.executarGeral(QStringLiteral("insert into OBSER_SOLI_AIDF values (1234567890, 3, 'G', 'primeira')"));
    irPara(1234567890);
    QString numero, caminho;
    ASSERT_TRUE(GerarArquivoRetorno(dm, programa.path(), numero, caminho));
    EXPECT_EQ(numero, QStringLiteral("1234567890"));
    EXPECT_EQ(lerPacote(caminho).valor(QStringLiteral("OBSERVACAO")).toString(), QStringLiteral("primeira"));

    // The caller leaves the observation open with a change it did not save.
    dm.cdsObse.definirParametro(QStringLiteral("numero"), 1234567890);
    dm.cdsObse.definirParametro(QStringLiteral("id_pref"), 3);
    dm.cdsObse.definirParametro(QStringLiteral("tipo_obs"), QStringLiteral("G"));
    dm.cdsObse.abrir();
    dm.cdsObse.editar();
    dm.cdsObse.definir(QStringLiteral("OBSERVACAO"), QStringLiteral("SEGUNDA"));
    ASSERT_TRUE(GerarArquivoRetorno(dm, programa.path(), numero, caminho));
    const PacoteDados p = lerPacote(caminho);
    EXPECT_EQ(p.valor(QStringLiteral("OBSERVACAO")).toString(), QStringLiteral("SEGUNDA"));
    EXPECT_EQ(p.valor(QStringLiteral("STATUS")).toString(), QStringLiteral("3"));
    EXPECT_FALSE(dm.cdsObse.ativo());
    EXPECT_EQ(m.consultarFora(QStringLiteral("select OBSERVACAO from OBSER_SOLI_AIDF where TIPO_OBSERVACAO = 'G'")).at(0).at(0).toString(),
              QStringLiteral("primeira"));
}

TEST_F(Retorno, PastaQueNaoPodeSerCriadaEhErro)
{
    pedido(7, QStringLiteral("5"));
    irPara(7);
    // A file where the folder should be.
    QFile f(programa.filePath(QStringLiteral("Aidfs")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString numero, caminho;
    EXPECT_THROW(GerarArquivoRetorno(dm, programa.path(), numero, caminho), Erro);
    EXPECT_FALSE(dm.cdsRetorno.ativo());
}
