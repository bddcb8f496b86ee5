// Receiving AIDF packages into a real database: archives built in-process with the exchange
// formats, answers scripted, every row read back through a second connection.
#include "Apoio.h"
#include "ArquivoZip.h"
#include "frmPrinc.h"
#include "BaseTemporaria.h"
#include "DialogosRoteirizados.h"
#include "PacotesAidf.h"
#include "uRecebimento.h"
#include "udmPrinc.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::teste;

void ligarRecebimento(TfrmPrincipal &janela, TdmPrinc &dm);

// Texts shown as texts when a comparison fails.
void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kCnpjGrafica = QStringLiteral("12345678000195");

QVariantMap pacotePadrao(int numero, const QString &cnpjPref = QStringLiteral("46395000000139"))
{
    return {
        {QStringLiteral("NUMERO_AIDF"), numero},
        {QStringLiteral("CNPJ_PREF"), cnpjPref},
        {QStringLiteral("NOME_PREF"), QStringLiteral("Prefeitura Municipal de Itaquera")},
        {QStringLiteral("NOMEDEPART"), QStringLiteral("Departamento de Tributos")},
        {QStringLiteral("FONE_PREF"), QStringLiteral("(11) 3333-4444")},
        {QStringLiteral("EMAIL_PREF"), QStringLiteral("tributos@itaquera.sp.gov.br")},
        {QStringLiteral("CIDADE_PREF"), QStringLiteral("Itaquera")},
        {QStringLiteral("UF_PREF"), QStringLiteral("SP")},
        {QStringLiteral("NOME_RESP"), QStringLiteral("Contábil Horizonte Ltda")},
        {QStringLiteral("CNPJ_RESP"), QStringLiteral("11222333000181")},
        {QStringLiteral("ENDERECO_RESP"), QStringLiteral("Av. Brasil, 100")},
        {QStringLiteral("BAIRRO_RESP"), QStringLiteral("Jardim América")},
        {QStringLiteral("CIDADE_RESP"), QStringLiteral("Itaquera")},
        {QStringLiteral("UF_RESP"), QStringLiteral("SP")},
        {QStringLiteral("INS_M_RESP"), QStringLiteral("12345")},
        {QStringLiteral("INS_E_RESP"), QStringLiteral("110042490114")},
        {QStringLiteral("CEP_RESP"), QStringLiteral("08210000")},
        {QStringLiteral("TELEFONE_RESP"), QStringLiteral("(11) 2222-1111")},
        {QStringLiteral("EMAIL_RESP"), QStringLiteral("contato@horizonte.com.br")},
        {QStringLiteral("NOME_SOLI"), QStringLiteral("Padaria Pão Quente ME")},
        {QStringLiteral("CNPJ_SOLI"), QStringLiteral("45997418000153")},
        {QStringLiteral("ENDERECO_SOLI"), QStringLiteral("Rua do Trigo, 7")},
        {QStringLiteral("BAIRRO_SOLI"), QStringLiteral("Vila Nova")},
        {QStringLiteral("CIDADE_SOLI"), QStringLiteral("Guarulhos")},
        {QStringLiteral("UF_SOLI"), QStringLiteral("SP")},
        {QStringLiteral("CEP_SOLI"), QStringLiteral("07010000")},
        {QStringLiteral("INS_M_SOLI"), QStringLiteral("998")},
        {QStringLiteral("INS_E_SOLI"), QStringLiteral("336001234110")},
        {QStringLiteral("FONE_SOLI"), QStringLiteral("(11) 4444-5555")},
        {QStringLiteral("EMAIL_SOLI"), QStringLiteral("padaria@paoquente.com.br")},
        {QStringLiteral("NOME_GRAF"), QStringLiteral("Gráfica Exemplo Ltda")},
        {QStringLiteral("CNPJ_GRAF"), kCnpjGrafica},
        {QStringLiteral("MODELO"), QStringLiteral("Nota Fiscal de Serviços")},
        {QStringLiteral("SERIE"), QStringLiteral("A")},
        {QStringLiteral("SUB_SERIE"), QStringLiteral("1")},
        {QStringLiteral("TIPO"), QStringLiteral("Bloco")},
        {QStringLiteral("NUME_INICIAL"), 1001},
        {QStringLiteral("NUME_FINAL"), 1500},
        {QStringLiteral("QUANTIDADE"), 500},
        {QStringLiteral("NUME_VIA"), QStringLiteral("3")},
        {QStringLiteral("NUMERO_ESTADO"), QStringLiteral("SP-2024-0077")},
        {QStringLiteral("EMITIDAEM"), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 678))},
        {QStringLiteral("APROVADAEM"), QDateTime(QDate(2024, 1, 9), QTime(16, 30, 59, 999))},
        {QStringLiteral("OBSERVACAO"), QStringLiteral("Aprovada com ressalvas.\r\nConferir a série.")},
        {QStringLiteral("BRASAO"), QVariant()},
        {QStringLiteral("ID_SOLI_AIDF_EMISSOR"), 7001},
        {QStringLiteral("USUARIO_APROVA_AIDF"), QStringLiteral("Maria Fiscal")},
        {QStringLiteral("ASSINATURA"), QVariant()},
        {QStringLiteral("ID_USUARIO_APROV"), 42},
    };
}

// Writes X.PrefGraf holding X.Aidf; fields named in omitir are left out of the packet itself.
void criarPacote(const QString &arquivo, const QVariantMap &valores, const QStringList &omitir = {})
{
    QList<CampoPacote> campos;
    for (const CampoPacote &c : PacotesAidf::camposAidf())
        if (!omitir.contains(c.nome))
            campos << c;
    PacoteDados p(campos, QStringLiteral("cdsAIDFEnviGraf"));
    p.adicionarRegistro();
    for (auto it = valores.begin(); it != valores.end(); ++it)
        if (p.indiceCampo(it.key()) >= 0)
            p.definirValor(it.key(), it.value());
    QFile::remove(arquivo);
    ArquivoZip::adicionar(arquivo, PacotesAidf::nomeMembroDados(arquivo), p.escrever());
}

QVariantMap com(QVariantMap base, const QVariantMap &mudancas)
{
    for (auto it = mudancas.begin(); it != mudancas.end(); ++it)
        base[it.key()] = it.value();
    return base;
}

struct Status
{
    QString texto;
    QColor painel;
    QColor letra;
};

struct Resultado
{
    bool concluiu = false;
    bool abortou = false;
    QString erro;
    ResultadoRecebimento r;
};

const QStringList kTabelas = {QStringLiteral("CIDADE"), QStringLiteral("BAIRRO"), QStringLiteral("PREFEITURA"),
                              QStringLiteral("ASSINATURAS"), QStringLiteral("EMPRESA"), QStringLiteral("SOLIC_AIDF"),
                              QStringLiteral("OBSER_SOLI_AIDF"), QStringLiteral("AIDF_CONJ_ESTADO")};

struct Recebimento : ::testing::Test
{
    DialogosRoteirizados dialogos;
    ModuloTeste m;
    TdmPrinc &dm = m.dm();
    QTemporaryDir programa;
    QTemporaryDir entrada;

    bool temPastaInicial = false;
    QString pastaInicial;
    QList<EscolhaArquivo> escolhas;
    QList<Status> status;
    QStringList progresso;
    QStringList pastasGravadas;

    void SetUp() override
    {
        m.grafica(kCnpjGrafica);
        dm.cdsGraf.abrir();
    }

    QString arquivo(const QString &nome) const { return entrada.path() + QLatin1Char('/') + nome; }

    QString pacote(const QString &nome, const QVariantMap &valores, const QStringList &omitir = {})
    {
        const QString a = arquivo(nome + QStringLiteral(".PrefGraf"));
        criarPacote(a, valores, omitir);
        return a;
    }

    Resultado receber(const QStringList &arquivos)
    {
        ContextoRecebimento c;
        c.pastaPrograma = programa.path();
        c.temPastaInicial = temPastaInicial;
        c.pastaInicial = pastaInicial;
        c.escolherArquivos = [this, arquivos](const EscolhaArquivo &e) {
            escolhas << e;
            return arquivos;
        };
        c.atualizarStatus = [this](const QString &t, const QColor &p, const QColor &l) { status << Status{t, p, l}; };
        c.atualizarProgresso = [this](const QString &t) { progresso << t; };
        c.gravarPastaArquivos = [this](const QString &p) { pastasGravadas << p; };
        Resultado x;
        try {
            x.r = ReceberArquivo(dm, c);
            x.concluiu = true;
        } catch (const Abortar &) {
            x.abortou = true;
        } catch (const Erro &e) {
            x.erro = e.texto();
        }
        return x;
    }

    QVariant um(const QString &sql, const QVariantList &p = {})
    {
        const auto r = m.consultarFora(sql, p);
        return r.isEmpty() ? QVariant() : r.first().value(0);
    }
    int contar(const QString &tabela, const QString &onde = {}, const QVariantList &p = {})
    {
        return um(QStringLiteral("select count(*) from ") + tabela + (onde.isEmpty() ? QString() : QStringLiteral(" where ") + onde), p)
            .toInt();
    }
    QMap<QString, int> contagens()
    {
        QMap<QString, int> c;
        for (const QString &t : kTabelas)
            c[t] = contar(t);
        return c;
    }
    QStringList titulos() const
    {
        QStringList t;
        for (const Mensagem &msg : dialogos.mostradas)
            t << msg.titulo;
        return t;
    }
    bool existe(const QString &caminho) const { return QFileInfo::exists(caminho); }
    QString importado(const QString &nome) const { return arquivo(nome + QStringLiteral(".Imp")); }
    QStringList extraidos() const
    {
        return QDir(programa.path() + QStringLiteral("/Aidfs")).entryList(QDir::Files);
    }
};

TEST_F(Recebimento, UmPacoteCompletoGravaTudoRenomeiaEResume)
{
    const QByteArray brasao = apoio::jpeg(40, 30, 0x336699);
    const QByteArray assinatura = apoio::jpeg(60, 20, 0x000000);
    const QString a = pacote(QStringLiteral("Itaquera-1234"),
                             com(pacotePadrao(1234), {{QStringLiteral("BRASAO"), brasao},
                                                      {QStringLiteral("ASSINATURA"), assinatura}}));
    temPastaInicial = true;
    pastaInicial = QStringLiteral("/pasta/de/antes/");
    apoio::gravar(arquivo(QStringLiteral("Att123.txt")), "anexo do e-mail");

    const Resultado x = receber({a});
    ASSERT_TRUE(x.concluiu) << x.erro.toStdString();
    EXPECT_EQ(x.r.recebidos, 1);

    // The file choice as the operator sees it.
    ASSERT_EQ(escolhas.size(), 1);
    EXPECT_EQ(escolhas[0].titulo, QStringLiteral("Indique arquivo à ser recebido"));
    EXPECT_EQ(escolhas[0].filtro, QStringLiteral("Arquivos AIDF (*.PrefGraf)"));
    EXPECT_EQ(escolhas[0].pasta, QStringLiteral("/pasta/de/antes/"));
    EXPECT_TRUE(escolhas[0].varios);

    // Municipality, with its city and its coat of arms.
    const auto pref = m.consultarFora(QStringLiteral(
        "select p.ID_PREFEITURA, p.CNPJ, p.NOME, p.NOMEDEPARTAMENTO, p.FONE, p.EMAIL, c.NOME, c.UF, p.BRASAO "
        "from PREFEITURA p join CIDADE c on c.ID_CIDADE = p.ID_CIDADE"));
    ASSERT_EQ(pref.size(), 1);
    const int idPref = pref[0][0].toInt();
    EXPECT_EQ(pref[0][1].toString(), QStringLiteral("46395000000139"));
    EXPECT_EQ(pref[0][2].toString(), QStringLiteral("Prefeitura Municipal de Itaquera"));
    EXPECT_EQ(pref[0][3].toString(), QStringLiteral("Departamento de Tributos"));
    EXPECT_EQ(pref[0][4].toString(), QStringLiteral("(11) 3333-4444"));
    EXPECT_EQ(pref[0][5].toString(), QStringLiteral("tributos@itaquera.sp.gov.br"));
    EXPECT_EQ(pref[0][6].toString(), QStringLiteral("Itaquera"));
    EXPECT_EQ(pref[0][7].toString(), QStringLiteral("SP"));
    EXPECT_EQ(pref[0][8].toByteArray(), brasao);

    const auto assin = m.consultarFora(QStringLiteral("select ID_PREFEITURA, ID_USUARIO, NOME_USUARIO, IMAGEM from ASSINATURAS"));
    ASSERT_EQ(assin.size(), 1);
    EXPECT_EQ(assin[0][0].toInt(), idPref);
    EXPECT_EQ(assin[0][1].toInt(), 42);
    EXPECT_EQ(assin[0][2].toString(), QStringLiteral("Maria Fiscal"));
    EXPECT_EQ(assin[0][3].toByteArray(), assinatura);

    const auto soli = m.consultarFora(QStringLiteral(
        "select s.ID_PREFEITURA, s.ID_GRAFICA, s.MODELO_NF, s.TIPO_NF, s.SERIE, s.SUB_SERIE, s.NUME_INICIAL, "
        "s.NUME_FINAL, s.QUANTIDADE, s.DATA_HORA_CADASTRO, s.DATA_HORA_APROV_REPROV, s.DATA_HORA_FINALIZA, "
        "s.STATUS, s.NUME_VIAS, s.ID_SOLIC_AIDF_EMISSOR, s.ID_USUARIO, r.CNPJ_CPF, q.CNPJ_CPF "
        "from SOLIC_AIDF s join EMPRESA r on r.ID_EMPRESA = s.ID_RESPONSAVEL "
        "join EMPRESA q on q.ID_EMPRESA = s.ID_SOLICITANTE where s.NUMERO_AIDF_PREF = 1234"));
    ASSERT_EQ(soli.size(), 1);
    const QVariantList &s = soli[0];
    EXPECT_EQ(s[0].toInt(), idPref);
    EXPECT_EQ(s[1].toInt(), 1);
    EXPECT_EQ(s[2].toString(), QStringLiteral("Nota Fiscal de Serviços"));
    EXPECT_EQ(s[3].toString(), QStringLiteral("Bloco"));
    EXPECT_EQ(s[4].toString(), QStringLiteral("A"));
    EXPECT_EQ(s[5].toString(), QStringLiteral("1"));
    EXPECT_EQ(s[6].toInt(), 1001);
    EXPECT_EQ(s[7].toInt(), 1500);
    EXPECT_EQ(s[8].toInt(), 500);
    // Date-times go through their text form: whole seconds.
    EXPECT_EQ(s[9].toDateTime(), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    EXPECT_EQ(s[10].toDateTime(), QDateTime(QDate(2024, 1, 9), QTime(16, 30, 59)));
    EXPECT_TRUE(s[11].isNull());
    EXPECT_EQ(s[12].toString(), QStringLiteral("2"));
    EXPECT_EQ(s[13].toString(), QStringLiteral("3"));
    EXPECT_EQ(s[14].toInt(), 7001);
    EXPECT_EQ(s[15].toInt(), 42);
    EXPECT_EQ(s[16].toString(), QStringLiteral("11222333000181"));
    EXPECT_EQ(s[17].toString(), QStringLiteral("45997418000153"));

    const auto resp = m.consultarFora(QStringLiteral(
        "select e.RAZAO_SOCIAL, e.IE_RG, e.IMUNICIPAL, e.ENDERECO, e.CEP, e.FONE, e.EMAIL, c.NOME, c.UF, b.NOME "
        "from EMPRESA e join CIDADE c on c.ID_CIDADE = e.ID_CIDADE join BAIRRO b on b.ID_BAIRRO = e.ID_BAIRRO "
        "order by e.CNPJ_CPF"));
    ASSERT_EQ(resp.size(), 2);
    EXPECT_EQ(resp[0], (QVariantList{QStringLiteral("Contábil Horizonte Ltda"), QStringLiteral("110042490114"),
                                     QStringLiteral("12345"), QStringLiteral("Av. Brasil, 100"), QStringLiteral("08210000"),
                                     QStringLiteral("(11) 2222-1111"), QStringLiteral("contato@horizonte.com.br"),
                                     QStringLiteral("Itaquera"), QStringLiteral("SP"), QStringLiteral("Jardim América")}));
    EXPECT_EQ(resp[1], (QVariantList{QStringLiteral("Padaria Pão Quente ME"), QStringLiteral("336001234110"),
                                     QStringLiteral("998"), QStringLiteral("Rua do Trigo, 7"), QStringLiteral("07010000"),
                                     QStringLiteral("(11) 4444-5555"), QStringLiteral("padaria@paoquente.com.br"),
                                     QStringLiteral("Guarulhos"), QStringLiteral("SP"), QStringLiteral("Vila Nova")}));
    // The municipality and the responsible company share one city row.
    EXPECT_EQ(contar(QStringLiteral("CIDADE"), QStringLiteral("NOME = 'Itaquera'")), 1);

    EXPECT_EQ(um(QStringLiteral("select OBSERVACAO from OBSER_SOLI_AIDF where NUMERO_AIDF_PREF = 1234 and "
                                "ID_PREFEITURA = ? and TIPO_OBSERVACAO = 'P'"), {idPref}).toString(),
              QStringLiteral("Aprovada com ressalvas.\r\nConferir a série."));
    EXPECT_EQ(um(QStringLiteral("select NUMERO_ESTADO from AIDF_CONJ_ESTADO where NUMERO_AIDF_PREF = 1234 and ID_PREFEITURA = ?"),
                 {idPref}).toString(),
              QStringLiteral("SP-2024-0077"));

    // The package is renamed, the extracted packet is gone, the transaction is closed.
    EXPECT_FALSE(existe(a));
    EXPECT_TRUE(existe(importado(QStringLiteral("Itaquera-1234"))));
    EXPECT_TRUE(extraidos().isEmpty()) << extraidos().join(u' ').toStdString();
    EXPECT_FALSE(dm.emTransacao());
    EXPECT_FALSE(dm.cdsEmpr.ativo());
    EXPECT_FALSE(dm.cdsSoliRece.ativo());

    ASSERT_EQ(dialogos.mostradas.size(), 1);
    const Mensagem &resumo = dialogos.mostradas[0];
    EXPECT_EQ(resumo.titulo, QStringLiteral("Informação"));
    EXPECT_EQ(resumo.texto, QStringLiteral("Operação Concluída. Foi importado um arquivo."));
    EXPECT_EQ(resumo.icone, Icone::Informacao);
    EXPECT_TRUE(resumo.topo);
    EXPECT_FALSE(existe(arquivo(QStringLiteral("Att123.txt"))));
    EXPECT_EQ(pastasGravadas, QStringList{entrada.path() + QLatin1Char('/')});

    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status[0].texto, QStringLiteral("  Recebendo arquivo..."));
    EXPECT_EQ(status[0].painel, QColor(0, 128, 0));
    EXPECT_EQ(status[0].letra, QColor(255, 255, 255));
    EXPECT_EQ(status[1].texto, QStringLiteral("Aguardando..."));
    EXPECT_EQ(status[1].painel, QColor(230, 230, 230));
    EXPECT_EQ(status[1].letra, QColor(0, 0, 128));
    EXPECT_EQ(progresso, (QStringList{QStringLiteral("Pacote 1 de 1: Itaquera-1234.PrefGraf"), QString()}));
}

TEST_F(Recebimento, PacoteDeOutraGraficaNoMeioERenomeadoSemSerGravado)
{
    const QString a = pacote(QStringLiteral("A"), pacotePadrao(1, QStringLiteral("11111111000191")));
    const QString b = pacote(QStringLiteral("B"), com(pacotePadrao(2, QStringLiteral("22222222000191")),
                                                      {{QStringLiteral("CNPJ_GRAF"), QStringLiteral("99888777000166")}}));
    // The third comes from another folder, whose ATT files are not the run's business.
    QTemporaryDir outra;
    const QString c = outra.filePath(QStringLiteral("C.PrefGraf"));
    criarPacote(c, pacotePadrao(3, QStringLiteral("33333333000191")));
    apoio::gravar(outra.filePath(QStringLiteral("ATT1.TXT")), "fica");
    apoio::gravar(arquivo(QStringLiteral("ATT1.TXT")), "vai");

    const Resultado x = receber({a, b, c});
    ASSERT_TRUE(x.concluiu) << x.erro.toStdString();
    EXPECT_EQ(x.r.recebidos, 2);
    for (const char *n : {"A", "B"}) {
        EXPECT_TRUE(existe(importado(QLatin1String(n)))) << n;
        EXPECT_FALSE(existe(arquivo(QLatin1String(n) + QStringLiteral(".PrefGraf")))) << n;
    }
    EXPECT_TRUE(existe(outra.filePath(QStringLiteral("C.Imp"))));
    EXPECT_FALSE(existe(c));
    EXPECT_FALSE(existe(arquivo(QStringLiteral("ATT1.TXT"))));
    EXPECT_TRUE(existe(outra.filePath(QStringLiteral("ATT1.TXT"))));
    EXPECT_EQ(um(QStringLiteral("select list(NUMERO_AIDF_PREF) from (select NUMERO_AIDF_PREF from SOLIC_AIDF order by 1)")).toString(),
              QStringLiteral("1,3"));
    EXPECT_EQ(contar(QStringLiteral("PREFEITURA"), QStringLiteral("CNPJ = '22222222000191'")), 0);

    ASSERT_EQ(dialogos.mostradas.size(), 2);
    EXPECT_EQ(dialogos.mostradas[0].titulo, QStringLiteral("AViso"));
    EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Aviso);
    EXPECT_EQ(dialogos.mostradas[0].texto,
              QStringLiteral("O arquivo ") + b + QStringLiteral(" não pertence a sua gráfica por isso ele não será recebido. "));
    EXPECT_EQ(dialogos.mostradas[1].texto, QStringLiteral("Operação Concluída. Foram importados 2 arquivos"));
    EXPECT_EQ(progresso, (QStringList{QStringLiteral("Pacote 1 de 3: A.PrefGraf"), QStringLiteral("Pacote 2 de 3: B.PrefGraf"),
                                      QStringLiteral("Pacote 3 de 3: C.PrefGraf"), QString()}));
    EXPECT_EQ(pastasGravadas, QStringList{entrada.path() + QLatin1Char('/')});
    // The foreign packet and the one opened last are deleted; the others stay in the working folder.
    EXPECT_EQ(extraidos(), QStringList{QStringLiteral("A.Aidf")});
}

// A request already stored with a status: what a second package for it gets.
TEST_F(Recebimento, PedidoJaExistenteSegueATabelaDeDecisao)
{
    struct Caso
    {
        const char *status;
        const char *titulo;    // nullptr: no message
        Icone icone;
        const char *final;
    };
    const Caso casos[] = {
        {"2", "Aviso", Icone::Aviso, " já foi recebida pelo sistema anteriormente."},
        {"4", "Aviso Importante", Icone::Aviso, " já foi recusada e não mais poderá ser reaberta."},
        {"5", "Aviso Importante", Icone::Aviso, " já foi finalizada e não mais poderá ser reaberta."},
        {"3", "Pergunta", Icone::Pergunta, " foi recusada por você. Você deseja recebe-la novamente?"},
        {"9", nullptr, Icone::Nenhum, ""},
    };
    int numero = 500;
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.status);
        ++numero;
        const QVariantMap valores = pacotePadrao(numero);
        ASSERT_TRUE(receber({pacote(QStringLiteral("primeiro"), valores)}).concluiu);
        dm.executarGeral(QStringLiteral("update SOLIC_AIDF set STATUS = ?, MODELO_NF = 'Antigo' where NUMERO_AIDF_PREF = ?"),
                         {QString::fromLatin1(k.status), numero});
        dialogos.limpar();
        pastasGravadas.clear();

        const QString segundo = pacote(QStringLiteral("segundo"), com(valores, {{QStringLiteral("MODELO"), QStringLiteral("Novo")}}));
        const Resultado x = receber({segundo});
        ASSERT_TRUE(x.concluiu) << x.erro.toStdString();
        EXPECT_EQ(x.r.recebidos, 0);
        EXPECT_TRUE(existe(segundo));
        EXPECT_FALSE(existe(importado(QStringLiteral("segundo"))));
        EXPECT_EQ(um(QStringLiteral("select STATUS || MODELO_NF from SOLIC_AIDF where NUMERO_AIDF_PREF = ?"), {numero}).toString(),
                  QString::fromLatin1(k.status) + QStringLiteral("Antigo"));

        if (k.titulo) {
            ASSERT_GE(dialogos.mostradas.size(), 1);
            const Mensagem &msg = dialogos.mostradas[0];
            EXPECT_EQ(msg.titulo, QString::fromUtf8(k.titulo));
            EXPECT_EQ(msg.icone, k.icone);
            EXPECT_EQ(msg.texto, QStringLiteral("A A.I.D.F. número %1 da Prefeitura de Prefeitura Municipal de Itaquera").arg(numero)
                                     + QString::fromUtf8(k.final));
            if (k.icone == Icone::Pergunta) {
                EXPECT_EQ(msg.botoes, Sim | Nao);
                EXPECT_EQ(msg.padrao, Nao);
            }
        }
        ASSERT_EQ(dialogos.mostradas.size(), k.titulo ? 2 : 1);
        EXPECT_EQ(dialogos.mostradas.last().texto, QStringLiteral("Operação Concluída. Nenhum arquivo foi importado"));
        // The run went through every file: the key moves even though nothing came in.
        EXPECT_EQ(pastasGravadas.size(), 1);
        QFile::remove(segundo);
    }
}

TEST_F(Recebimento, RecusadaRecebidaDeNovoComSimReabreOMesmoPedido)
{
    struct Caso
    {
        const char *nome;
        QVariant observacao;
        QString observacaoFinal;
    };
    const Caso casos[] = {
        {"com observação nova", QStringLiteral("Nova observação"), QStringLiteral("Nova observação")},
        {"sem observação", QVariant(), QStringLiteral("Observação antiga")},
    };
    int numero = 700;
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.nome);
        ++numero;
        const QVariantMap valores = pacotePadrao(numero);
        ASSERT_TRUE(receber({pacote(QStringLiteral("primeiro"), valores)}).concluiu);
        dm.executarGeral(QStringLiteral("update SOLIC_AIDF set STATUS = '3', DATA_HORA_FINALIZA = '2024-02-01 10:00:00' "
                                        "where NUMERO_AIDF_PREF = ?"), {numero});
        dm.executarGeral(QStringLiteral("update OBSER_SOLI_AIDF set OBSERVACAO = 'Observação antiga' where NUMERO_AIDF_PREF = ?"),
                         {numero});
        dialogos.limpar();
        dialogos.respostas = {Sim};

        const QString segundo = pacote(QStringLiteral("segundo"),
                                       com(valores, {{QStringLiteral("MODELO"), QStringLiteral("Modelo Novo")},
                                                     {QStringLiteral("NUME_FINAL"), 1800},
                                                     {QStringLiteral("OBSERVACAO"), k.observacao}}));
        const Resultado x = receber({segundo});
        ASSERT_TRUE(x.concluiu) << x.erro.toStdString();
        EXPECT_EQ(x.r.recebidos, 1);
        EXPECT_TRUE(existe(importado(QStringLiteral("segundo"))));
        const auto linhas = m.consultarFora(QStringLiteral("select STATUS, DATA_HORA_FINALIZA, MODELO_NF, NUME_FINAL from SOLIC_AIDF "
                                                           "where NUMERO_AIDF_PREF = ?"), {numero});
        ASSERT_EQ(linhas.size(), 1);
        EXPECT_EQ(linhas[0][0].toString(), QStringLiteral("2"));
        EXPECT_TRUE(linhas[0][1].isNull());
        EXPECT_EQ(linhas[0][2].toString(), QStringLiteral("Modelo Novo"));
        EXPECT_EQ(linhas[0][3].toInt(), 1800);
        EXPECT_EQ(um(QStringLiteral("select OBSERVACAO from OBSER_SOLI_AIDF where NUMERO_AIDF_PREF = ? and TIPO_OBSERVACAO = 'P'"),
                     {numero}).toString(),
                  k.observacaoFinal);
        EXPECT_EQ(dialogos.mostradas.last().texto, QStringLiteral("Operação Concluída. Foi importado um arquivo."));
    }
}

TEST_F(Recebimento, EmpresasCidadesEBairrosSaoReaproveitados)
{
    // An existing company keeps its id and gets the packet's data.
    const int centro = m.bairro(QStringLiteral("Vila Nova"));
    const int campinasSp = m.cidade(QStringLiteral("Campinas"), QStringLiteral("SP"));
    dm.executarGeral(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL) values (900, '11222333000181', 'Nome Velho')"));

    QVariantMap v = pacotePadrao(10);
    v[QStringLiteral("CNPJ_SOLI")] = v[QStringLiteral("CNPJ_RESP")];        // one company for both roles
    v[QStringLiteral("CIDADE_PREF")] = QStringLiteral("Campinas");
    v[QStringLiteral("UF_PREF")] = QStringLiteral("MG");                    // same name, other state
    v[QStringLiteral("CIDADE_RESP")] = QStringLiteral("  Campinas ");       // found trimmed
    v[QStringLiteral("BAIRRO_RESP")] = QStringLiteral(" Vila Nova");
    ASSERT_TRUE(receber({pacote(QStringLiteral("A"), v)}).concluiu);

    QVariantMap w = pacotePadrao(11);
    w[QStringLiteral("CNPJ_RESP")] = QStringLiteral("99000111000100");
    w[QStringLiteral("CIDADE_SOLI")] = QStringLiteral(" Cidade Nova ");     // a new one stored as it came
    w[QStringLiteral("BAIRRO_SOLI")] = QStringLiteral("Vila Nova");         // shared by every city
    ASSERT_TRUE(receber({pacote(QStringLiteral("B"), w)}).concluiu);

    EXPECT_EQ(contar(QStringLiteral("EMPRESA"), QStringLiteral("CNPJ_CPF = '11222333000181'")), 1);
    const auto r = m.consultarFora(QStringLiteral("select ID_RESPONSAVEL, ID_SOLICITANTE from SOLIC_AIDF where NUMERO_AIDF_PREF = 10"));
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0][0].toInt(), 900);
    EXPECT_EQ(r[0][1].toInt(), 900);
    EXPECT_EQ(um(QStringLiteral("select RAZAO_SOCIAL || '|' || ID_CIDADE || '|' || ID_BAIRRO from EMPRESA where ID_EMPRESA = 900"))
                  .toString(),
              QStringLiteral("Contábil Horizonte Ltda|%1|%2").arg(campinasSp).arg(centro));

    EXPECT_EQ(contar(QStringLiteral("CIDADE"), QStringLiteral("NOME = 'Campinas'")), 2);
    EXPECT_EQ(contar(QStringLiteral("CIDADE"), QStringLiteral("NOME = 'Campinas' and UF = 'MG'")), 1);
    EXPECT_EQ(contar(QStringLiteral("CIDADE"), QStringLiteral("NOME = ' Cidade Nova '")), 1);
    EXPECT_EQ(contar(QStringLiteral("BAIRRO"), QStringLiteral("NOME containing 'Vila Nova'")), 1);
    EXPECT_EQ(contar(QStringLiteral("EMPRESA"), QStringLiteral("ID_BAIRRO = ?"), {centro}), 2);
    EXPECT_EQ(contar(QStringLiteral("PREFEITURA")), 1);   // the second package updated it
}

TEST_F(Recebimento, ValoresOpcionaisEImagensInvalidas)
{
    const QByteArray brasao = apoio::jpeg(20, 20, 0x00ff00);
    QVariantMap v = pacotePadrao(20);
    v[QStringLiteral("BRASAO")] = brasao;
    ASSERT_TRUE(receber({pacote(QStringLiteral("A"), v)}).concluiu);

    // A second package: a broken coat of arms and signature, no state number, no officer.
    QVariantMap w = pacotePadrao(21);
    w[QStringLiteral("BRASAO")] = QByteArray("\xFF\xD8 isto não é uma imagem");
    w[QStringLiteral("ASSINATURA")] = QByteArray("GIF89a");
    w[QStringLiteral("NUMERO_ESTADO")] = QString(QLatin1String(""));
    w[QStringLiteral("ID_USUARIO_APROV")] = QVariant();
    w[QStringLiteral("OBSERVACAO")] = QVariant();
    dialogos.limpar();
    const Resultado x = receber({pacote(QStringLiteral("B"), w)});
    ASSERT_TRUE(x.concluiu) << x.erro.toStdString();
    EXPECT_EQ(x.r.recebidos, 1);
    EXPECT_EQ(titulos(), QStringList{QStringLiteral("Informação")});

    EXPECT_EQ(um(QStringLiteral("select BRASAO from PREFEITURA")).toByteArray(), brasao);
    EXPECT_EQ(contar(QStringLiteral("AIDF_CONJ_ESTADO"), QStringLiteral("NUMERO_AIDF_PREF = 21")), 0);
    EXPECT_EQ(contar(QStringLiteral("OBSER_SOLI_AIDF"), QStringLiteral("NUMERO_AIDF_PREF = 21")), 0);
    EXPECT_TRUE(um(QStringLiteral("select ID_USUARIO from SOLIC_AIDF where NUMERO_AIDF_PREF = 21")).isNull());
    const auto assin = m.consultarFora(QStringLiteral("select NOME_USUARIO, IMAGEM from ASSINATURAS where ID_USUARIO = 0"));
    ASSERT_EQ(assin.size(), 1);
    EXPECT_EQ(assin[0][0].toString(), QStringLiteral("Maria Fiscal"));
    EXPECT_TRUE(assin[0][1].isNull());
    // A new image that decodes replaces the stored one, with or without the graphic field's header.
    const QByteArray outro = apoio::jpeg(24, 24, 0xff0000);
    QByteArray comCabecalho("\x01\x00\x00\x01", 4);
    const quint32 n = quint32(outro.size());
    for (int i = 0; i < 4; ++i)
        comCabecalho.append(char((n >> (8 * i)) & 0xff));
    comCabecalho.append(outro);
    QVariantMap z = pacotePadrao(22);
    z[QStringLiteral("BRASAO")] = comCabecalho;
    ASSERT_TRUE(receber({pacote(QStringLiteral("C"), z)}).concluiu);
    EXPECT_EQ(um(QStringLiteral("select BRASAO from PREFEITURA")).toByteArray(), outro);
}

TEST_F(Recebimento, TextosComAspasSaoGravadosEAchadosLiteralmente)
{
    QVariantMap v = pacotePadrao(30);
    v[QStringLiteral("CNPJ_RESP")] = QStringLiteral("1' or '1'='1");
    v[QStringLiteral("CNPJ_SOLI")] = QStringLiteral("x'); --");
    v[QStringLiteral("CIDADE_RESP")] = QStringLiteral("Sant'Ana");
    v[QStringLiteral("UF_RESP")] = QStringLiteral("R'");
    v[QStringLiteral("BAIRRO_RESP")] = QStringLiteral("D'Ajuda");
    ASSERT_TRUE(receber({pacote(QStringLiteral("A"), v)}).concluiu);
    v[QStringLiteral("NUMERO_AIDF")] = 31;
    ASSERT_TRUE(receber({pacote(QStringLiteral("B"), v)}).concluiu);

    EXPECT_EQ(contar(QStringLiteral("EMPRESA")), 2);
    EXPECT_EQ(contar(QStringLiteral("EMPRESA"), QStringLiteral("CNPJ_CPF = ?"), {QStringLiteral("1' or '1'='1")}), 1);
    EXPECT_EQ(contar(QStringLiteral("EMPRESA"), QStringLiteral("CNPJ_CPF = ?"), {QStringLiteral("x'); --")}), 1);
    EXPECT_EQ(contar(QStringLiteral("CIDADE"), QStringLiteral("NOME = ? and UF = ?"), {QStringLiteral("Sant'Ana"), QStringLiteral("R'")}), 1);
    EXPECT_EQ(contar(QStringLiteral("BAIRRO"), QStringLiteral("NOME = ?"), {QStringLiteral("D'Ajuda")}), 1);
    EXPECT_EQ(contar(QStringLiteral("SOLIC_AIDF")), 2);
}

// Every way a package can stop the run: its message (if any), no summary, no key, the name kept,
// the ATT*.TXT files gone, and no row of it left behind; a package received before it stays.
TEST_F(Recebimento, PacoteQueParaORecebimentoNaoDeixaRastro)
{
    struct Caso
    {
        const char *nome;
        QVariantMap mudancas;
        QStringList omitir;
        const char *titulo;      // message shown by the run or by the data layer; nullptr: an error
        const char *texto;       // the message text, or the error text
    };
    const Caso casos[] = {
        {"cidade do responsável vazia", {{QStringLiteral("CIDADE_RESP"), QString(QLatin1String(""))}}, {},
         "Operação Cancelada", "A cidadeo do endereço do responsável está em vazia."},
        {"bairro do responsável vazio", {{QStringLiteral("BAIRRO_RESP"), QString(QLatin1String(""))}}, {},
         "Operação Cancelada", "O bairro do endereço do responsável está em vazio."},
        {"cidade do solicitante vazia", {{QStringLiteral("CIDADE_SOLI"), QString(QLatin1String(""))}}, {},
         "Operação Cancelada", "A cidadeo do endereço do solicitante está em vazia."},
        {"bairro do solicitante vazio", {{QStringLiteral("BAIRRO_SOLI"), QString(QLatin1String(""))}}, {},
         "Operação Cancelada", "O bairro do endereço do solicitante está em vazio."},
        {"prefeitura sem nome", {{QStringLiteral("NOME_PREF"), QStringLiteral("   ")}}, {},
         "Aviso - Operação Cancelada", "O campo Prefeitura no cadastro de PREFEITURA  não pode ficar vazio."},
        {"observação em branco", {{QStringLiteral("OBSERVACAO"), QStringLiteral("  ")}}, {},
         "Aviso - Operação Cancelada", nullptr},
        // The database refuses the value when the row is applied: the data layer's message.
        {"quantidade fora da coluna", {{QStringLiteral("QUANTIDADE"), 70000}}, {}, " Erro", nullptr},
        {"campo ausente", {}, {QStringLiteral("OBSERVACAO")}, nullptr, "cdsAIDFEnviGraf: Field 'OBSERVACAO' not found"},
    };
    int numero = 100;
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.nome);
        numero += 2;
        const QString cnpjBom = QStringLiteral("5%1000191").arg(numero, 5, 10, QLatin1Char('0'));
        const QString cnpjRuim = QStringLiteral("6%1000191").arg(numero, 5, 10, QLatin1Char('0'));
        const QString bom = pacote(QStringLiteral("bom"), pacotePadrao(numero, cnpjBom));
        QVariantMap v = com(pacotePadrao(numero + 1, cnpjRuim), k.mudancas);
        v[QStringLiteral("CNPJ_RESP")] = QStringLiteral("7%1000191").arg(numero, 5, 10, QLatin1Char('0'));
        v[QStringLiteral("CNPJ_SOLI")] = QStringLiteral("8%1000191").arg(numero, 5, 10, QLatin1Char('0'));
        v[QStringLiteral("CIDADE_PREF")] = QStringLiteral("Cidade %1").arg(numero);
        if (!k.mudancas.contains(QStringLiteral("BAIRRO_RESP")))
            v[QStringLiteral("BAIRRO_RESP")] = QStringLiteral("Bairro %1").arg(numero);
        const QString ruim = pacote(QStringLiteral("ruim"), v, k.omitir);
        for (const char *att : {"ATT00001.TXT", "att2.txt"})
            apoio::gravar(arquivo(QLatin1String(att)), "anexo");
        apoio::gravar(arquivo(QStringLiteral("XATT1.TXT")), "fica");

        dialogos.limpar();
        pastasGravadas.clear();
        const Resultado x = receber({bom, ruim});
        EXPECT_FALSE(x.concluiu);
        if (k.titulo) {
            EXPECT_TRUE(x.abortou) << x.erro.toStdString();
            ASSERT_FALSE(dialogos.mostradas.isEmpty());
            EXPECT_EQ(dialogos.mostradas.last().titulo, QString::fromUtf8(k.titulo));
            if (k.texto) {
                EXPECT_EQ(dialogos.mostradas.last().texto, QString::fromUtf8(k.texto));
            }
        } else {
            EXPECT_EQ(x.erro, QString::fromUtf8(k.texto));
            EXPECT_TRUE(dialogos.mostradas.isEmpty());
        }
        EXPECT_FALSE(titulos().contains(QStringLiteral("Informação")));
        EXPECT_TRUE(pastasGravadas.isEmpty());
        EXPECT_EQ(dm.falhaGravacao, 0);
        EXPECT_FALSE(dm.emTransacao());
        EXPECT_EQ(status.last().texto, QStringLiteral("Aguardando..."));

        EXPECT_TRUE(existe(importado(QStringLiteral("bom"))));
        EXPECT_TRUE(existe(ruim));
        EXPECT_FALSE(existe(importado(QStringLiteral("ruim"))));
        EXPECT_FALSE(existe(arquivo(QStringLiteral("ATT00001.TXT"))));
        EXPECT_FALSE(existe(arquivo(QStringLiteral("att2.txt"))));
        EXPECT_TRUE(existe(arquivo(QStringLiteral("XATT1.TXT"))));
        EXPECT_EQ(extraidos(), QStringList{QStringLiteral("bom.Aidf")});

        EXPECT_EQ(contar(QStringLiteral("SOLIC_AIDF"), QStringLiteral("NUMERO_AIDF_PREF = ?"), {numero}), 1);
        EXPECT_EQ(contar(QStringLiteral("SOLIC_AIDF"), QStringLiteral("NUMERO_AIDF_PREF = ?"), {numero + 1}), 0);
        EXPECT_EQ(contar(QStringLiteral("PREFEITURA"), QStringLiteral("CNPJ = ?"), {cnpjRuim}), 0);
        EXPECT_EQ(contar(QStringLiteral("CIDADE"), QStringLiteral("NOME = ?"), {QStringLiteral("Cidade %1").arg(numero)}), 0);
        EXPECT_EQ(contar(QStringLiteral("BAIRRO"), QStringLiteral("NOME = ?"), {QStringLiteral("Bairro %1").arg(numero)}), 0);
        EXPECT_EQ(contar(QStringLiteral("EMPRESA"), QStringLiteral("CNPJ_CPF starting with '7' or CNPJ_CPF starting with '8'")), 0);
        QFile::remove(ruim);
        QFile::remove(arquivo(QStringLiteral("XATT1.TXT")));
    }
}

TEST_F(Recebimento, ArquivoQueNaoDescompactaParaORecebimento)
{
    const QString bom = pacote(QStringLiteral("bom"), pacotePadrao(40));
    const QString danificado = arquivo(QStringLiteral("danificado.PrefGraf"));
    apoio::gravar(danificado, "PK\x03\x04 não é um zip");
    const QString depois = pacote(QStringLiteral("depois"), pacotePadrao(41));
    apoio::gravar(arquivo(QStringLiteral("ATT1.TXT")), "x");

    const Resultado x = receber({bom, danificado, depois});
    EXPECT_TRUE(x.abortou);
    ASSERT_EQ(dialogos.mostradas.size(), 1);
    EXPECT_EQ(dialogos.mostradas[0].titulo, QStringLiteral("Erro"));
    EXPECT_EQ(dialogos.mostradas[0].icone, Icone::Erro);
    EXPECT_EQ(dialogos.mostradas[0].texto, QStringLiteral("Não consegui descompactar o arquivo ") + danificado);
    EXPECT_TRUE(existe(importado(QStringLiteral("bom"))));
    EXPECT_TRUE(existe(danificado));
    EXPECT_TRUE(existe(depois));
    EXPECT_FALSE(existe(arquivo(QStringLiteral("ATT1.TXT"))));
    EXPECT_EQ(contar(QStringLiteral("SOLIC_AIDF")), 1);
    EXPECT_TRUE(pastasGravadas.isEmpty());
}

TEST_F(Recebimento, PacoteSemOMembroEsperadoTerminaComErro)
{
    // X.PrefGraf holding Y.Aidf: nothing named X.Aidf comes out of it.
    const QString a = arquivo(QStringLiteral("X.PrefGraf"));
    criarPacote(arquivo(QStringLiteral("Y.PrefGraf")), pacotePadrao(50));
    QFile::rename(arquivo(QStringLiteral("Y.PrefGraf")), a);
    const auto antes = contagens();
    const Resultado x = receber({a});
    EXPECT_FALSE(x.concluiu);
    EXPECT_FALSE(x.erro.isEmpty());
    EXPECT_TRUE(existe(a));
    EXPECT_EQ(contagens(), antes);
    EXPECT_FALSE(dm.emTransacao());
    // Only the packet the run looked for is deleted; the member that came out stays as it came.
    EXPECT_EQ(extraidos(), QStringList{QStringLiteral("Y.Aidf")});
}

TEST_F(Recebimento, EscolhaCanceladaNaoFazNada)
{
    apoio::gravar(arquivo(QStringLiteral("ATT1.TXT")), "x");
    const auto antes = contagens();
    const Resultado x = receber({});
    ASSERT_TRUE(x.concluiu);
    EXPECT_FALSE(x.r.escolheu);
    EXPECT_TRUE(dialogos.mostradas.isEmpty());
    EXPECT_TRUE(pastasGravadas.isEmpty());
    EXPECT_TRUE(existe(arquivo(QStringLiteral("ATT1.TXT"))));
    EXPECT_FALSE(QFileInfo::exists(programa.path() + QStringLiteral("/Aidfs")));
    ASSERT_EQ(status.size(), 1);
    EXPECT_EQ(status[0].texto, QStringLiteral("Aguardando..."));
    EXPECT_EQ(contagens(), antes);
}

TEST_F(Recebimento, PastaDeTrabalhoQueNaoPodeSerCriadaEUmErro)
{
    // The program's folder holds a file where the working folder should be.
    apoio::gravar(programa.path() + QStringLiteral("/Aidfs"), "não é pasta");
    const QString a = pacote(QStringLiteral("A"), pacotePadrao(60));
    const Resultado x = receber({a});
    EXPECT_FALSE(x.concluiu);
    EXPECT_TRUE(x.erro.startsWith(QStringLiteral("I/O error"))) << x.erro.toStdString();
    EXPECT_TRUE(existe(a));
    EXPECT_EQ(contar(QStringLiteral("SOLIC_AIDF")), 0);
}

// Command 2 of the main window: the starting folder from the configuration file, the status line
// and the progress while the packages go in, the folder written back.
TEST_F(Recebimento, ComandoDaJanelaPrincipal)
{
    QSettings(programa.filePath(QStringLiteral("Lumaro.INI")), QSettings::IniFormat)
        .setValue(QStringLiteral("GERAL/ARQUIVO_AIDF"), QStringLiteral("/onde/recebi/da/ultima/vez/"));
    TfrmPrincipal janela(dm, programa.path());
    ligarRecebimento(janela, dm);
    auto *progressoJanela = janela.findChild<QLabel *>(QStringLiteral("lblProgresso"));
    ASSERT_TRUE(progressoJanela);

    const QString a = pacote(QStringLiteral("A"), pacotePadrao(80));
    const QString b = pacote(QStringLiteral("B"), com(pacotePadrao(81), {{QStringLiteral("CNPJ_GRAF"), QStringLiteral("99888777000166")}}));
    dialogos.arquivosAbrir = {{a, b}};
    QStringList durante;
    dialogos.aoMostrar = [&](const Mensagem &) {
        durante << janela.textoStatus() + QLatin1Char('|') + (progressoJanela->isVisibleTo(&janela) ? progressoJanela->text() : QString());
    };
    janela.executarComando(2);

    ASSERT_EQ(dialogos.escolhas.size(), 1);
    EXPECT_EQ(dialogos.escolhas[0].pasta, QStringLiteral("/onde/recebi/da/ultima/vez/"));
    EXPECT_EQ(durante, (QStringList{QStringLiteral("  Recebendo arquivo...|Pacote 2 de 2: B.PrefGraf"),
                                    QStringLiteral("  Recebendo arquivo...|")}));
    EXPECT_EQ(dialogos.mostradas.last().texto, QStringLiteral("Operação Concluída. Foi importado um arquivo."));
    EXPECT_EQ(janela.textoStatus(), QStringLiteral("Aguardando..."));
    EXPECT_EQ(janela.corPainelStatus(), QColor(230, 230, 230));
    EXPECT_FALSE(progressoJanela->isVisibleTo(&janela));
    EXPECT_EQ(QSettings(programa.filePath(QStringLiteral("Lumaro.INI")), QSettings::IniFormat)
                  .value(QStringLiteral("GERAL/ARQUIVO_AIDF")).toString(),
              entrada.path() + QLatin1Char('/'));
    EXPECT_EQ(contar(QStringLiteral("SOLIC_AIDF")), 1);
}

// --- the command-line tool -------------------------------------------------------------------

struct FerramentaReceber : ::testing::Test
{
    QTemporaryDir pasta;
    BaseTemporaria base;

    void SetUp() override
    {
        // A copy of the tool of its own: its working folder and configuration file live beside it.
        ASSERT_TRUE(QFile::copy(apoio::ferramenta(), pasta.path() + QStringLiteral("/lumaro-pacote")));
        Conexao c;
        c.abrir(base.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
        const QVariant bairro = c.executar(QStringLiteral("execute procedure SP_NOVO_ID('BAIRRO')")).value(0);
        const QVariant cidade = c.executar(QStringLiteral("execute procedure SP_NOVO_ID('CIDADE')")).value(0);
        c.executar(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (?, 'Centro')"), {bairro});
        c.executar(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (?, 'São Paulo', 'SP')"), {cidade});
        c.executar(QStringLiteral("insert into GRAFICA (ID_GRAFICA, RAZAO_SOCIAL, CNPJ, ENDERECO, ID_BAIRRO, ID_CIDADE, "
                                  "TELEFONE, EMAIL) values (1, 'Gráfica', ?, 'Rua A', ?, ?, '1', 'a@b.c')"),
                   {kCnpjGrafica, bairro, cidade});
    }
    QString ferramenta() const { return pasta.path() + QStringLiteral("/lumaro-pacote"); }
    QString arquivo(const QString &nome) const { return pasta.path() + QLatin1Char('/') + nome; }
    QVariant um(const QString &sql)
    {
        Conexao c;
        c.abrir(base.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
        const auto r = c.consultar(sql);
        return r.isEmpty() ? QVariant() : r.first().value(0);
    }
};

TEST_F(FerramentaReceber, ReceberImprimeAsMensagensESaiComZero)
{
    const QString a = arquivo(QStringLiteral("A.PrefGraf"));
    const QString b = arquivo(QStringLiteral("B.PrefGraf"));
    const QString c = arquivo(QStringLiteral("C.PrefGraf"));
    criarPacote(a, pacotePadrao(1));
    criarPacote(b, com(pacotePadrao(2), {{QStringLiteral("CNPJ_GRAF"), QStringLiteral("99888777000166")}}));
    criarPacote(c, pacotePadrao(3));

    const auto x = apoio::executar(ferramenta(), {QStringLiteral("receber"), QStringLiteral("--base"), base.caminho(), a, b, c});
    EXPECT_EQ(x.codigo, 0) << x.erro.toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(x.saida),
              QStringLiteral("AViso: O arquivo ") + b + QStringLiteral(" não pertence a sua gráfica por isso ele não será recebido.\n"
                                                                     "Informação: Operação Concluída. Foram importados 2 arquivos\n"));
    EXPECT_EQ(um(QStringLiteral("select count(*) from SOLIC_AIDF")).toInt(), 2);
    EXPECT_TRUE(QFileInfo::exists(arquivo(QStringLiteral("B.Imp"))));
    // A database named on the command line leaves the configuration file alone.
    EXPECT_FALSE(QFileInfo::exists(arquivo(QStringLiteral("Lumaro.INI"))));
}

TEST_F(FerramentaReceber, PerguntasRespondidasPorSimOuNao)
{
    const QString a = arquivo(QStringLiteral("A.PrefGraf"));
    criarPacote(a, pacotePadrao(8));
    ASSERT_EQ(apoio::executar(ferramenta(), {QStringLiteral("receber"), QStringLiteral("--base"), base.caminho(), a}).codigo, 0);
    {
        Conexao c;
        c.abrir(base.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
        c.executar(QStringLiteral("update SOLIC_AIDF set STATUS = '3'"));
    }
    const QString pergunta = QStringLiteral("Pergunta: A A.I.D.F. número 8 da Prefeitura de Prefeitura Municipal de Itaquera foi "
                                            "recusada por você. Você deseja recebe-la novamente?");
    criarPacote(a, pacotePadrao(8));
    auto x = apoio::executar(ferramenta(), {QStringLiteral("receber"), QStringLiteral("--base"), base.caminho(), a});
    EXPECT_EQ(x.codigo, 0);
    // Only the start of the answer mark is compared: the console writes "Não" its own way.
    QStringList linhas = QString::fromLocal8Bit(x.saida).split(u'\n');
    ASSERT_EQ(linhas.size(), 3) << x.saida.toStdString();
    EXPECT_TRUE(linhas[0].startsWith(pergunta + QStringLiteral(" [N"))) << linhas[0].toStdString();
    EXPECT_EQ(linhas[1], QStringLiteral("Informação: Operação Concluída. Nenhum arquivo foi importado"));
    EXPECT_EQ(um(QStringLiteral("select STATUS from SOLIC_AIDF")).toString(), QStringLiteral("3"));

    x = apoio::executar(ferramenta(), {QStringLiteral("receber"), QStringLiteral("--sim"), QStringLiteral("--base"), base.caminho(), a});
    EXPECT_EQ(x.codigo, 0);
    EXPECT_EQ(QString::fromLocal8Bit(x.saida),
              pergunta + QStringLiteral(" [Sim]\nInformação: Operação Concluída. Foi importado um arquivo.\n"));
    EXPECT_EQ(um(QStringLiteral("select STATUS from SOLIC_AIDF")).toString(), QStringLiteral("2"));
}

TEST_F(FerramentaReceber, RecebimentoInterrompidoSaiComErro)
{
    const QString a = arquivo(QStringLiteral("A.PrefGraf"));
    const QString b = arquivo(QStringLiteral("B.PrefGraf"));
    criarPacote(a, pacotePadrao(1));
    criarPacote(b, com(pacotePadrao(2), {{QStringLiteral("BAIRRO_SOLI"), QString(QLatin1String(""))}}));
    const auto x = apoio::executar(ferramenta(), {QStringLiteral("receber"), QStringLiteral("--base"), base.caminho(), a, b});
    EXPECT_NE(x.codigo, 0);
    EXPECT_EQ(QString::fromLocal8Bit(x.saida),
              QStringLiteral("Operação Cancelada: O bairro do endereço do solicitante está em vazio.\n"));
    EXPECT_EQ(um(QStringLiteral("select list(NUMERO_AIDF_PREF) from SOLIC_AIDF")).toString(), QStringLiteral("1"));
    EXPECT_TRUE(QFileInfo::exists(b));

    // A missing field is an error, printed as the error display shows it.
    criarPacote(b, pacotePadrao(2), {QStringLiteral("TIPO")});
    const auto y = apoio::executar(ferramenta(), {QStringLiteral("receber"), QStringLiteral("--base"), base.caminho(), b});
    EXPECT_NE(y.codigo, 0);
    EXPECT_TRUE(QString::fromLocal8Bit(y.saida).endsWith(QStringLiteral(": cdsAIDFEnviGraf: Field 'TIPO' not found\n")))
        << y.saida.toStdString();

    const auto z = apoio::executar(ferramenta(), {QStringLiteral("receber"), QStringLiteral("--base"), base.caminho()});
    EXPECT_EQ(z.codigo, 2);
}

TEST_F(FerramentaReceber, BancoDaConfiguracaoEPastaGravadaNela)
{
    QSettings(arquivo(QStringLiteral("Lumaro.INI")), QSettings::IniFormat).setValue(QStringLiteral("GERAL/BD"), base.caminho());
    QTemporaryDir entrada;
    const QString a = entrada.path() + QStringLiteral("/A.PrefGraf");
    criarPacote(a, pacotePadrao(5));
    const auto x = apoio::executar(ferramenta(), {QStringLiteral("receber"), a});
    EXPECT_EQ(x.codigo, 0) << x.saida.toStdString() << x.erro.toStdString();
    EXPECT_EQ(um(QStringLiteral("select count(*) from SOLIC_AIDF")).toInt(), 1);
    EXPECT_EQ(QSettings(arquivo(QStringLiteral("Lumaro.INI")), QSettings::IniFormat).value(QStringLiteral("GERAL/ARQUIVO_AIDF")).toString(),
              entrada.path() + QLatin1Char('/'));
}

} // namespace
