// Receiving 500 AIDF packages in one run against an embedded database, next to a baseline that
// sends only the SQL statements the run sends (same rows, same transactions, no archives, no
// datasets, no messages). Prints packages per second for both and their ratio.
#include "ArquivoZip.h"
#include "BancoFirebird.h"
#include "CriadorBase.h"
#include "Dialogos.h"
#include "PacoteDados.h"
#include "PacotesAidf.h"
#include "uRecebimento.h"
#include "udmPrinc.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

using namespace lumaro;

namespace {

constexpr int kPacotes = 500;
const QString kCnpjGrafica = QStringLiteral("12345678000195");

// No dialog is ever shown: messages are counted, questions answered No.
class DialogosMudos : public Dialogos
{
public:
    int mensagens = 0;
    Botao mostrar(const Mensagem &m) override
    {
        ++mensagens;
        return m.padrao;
    }
    QStringList abrirArquivos(const EscolhaArquivo &) override { return {}; }
    QString salvarArquivo(const EscolhaArquivo &) override { return {}; }
};

QByteArray jpeg(int lado, unsigned rgb)
{
    QImage i(lado, lado, QImage::Format_RGB32);
    i.fill(QColor::fromRgb(rgb));
    for (int x = 0; x < lado; ++x)
        i.setPixel(x, (x * 3) % lado, qRgb(x % 256, 80, 160));
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    i.save(&buf, "JPEG", 85);
    return b;
}

// Ten municipalities, a hundred responsible companies, 150 requesting ones, twenty cities and
// fifty neighbourhoods: most packages find most of their rows already stored.
PacoteDados pacote(int i, const QByteArray &brasao, const QByteArray &assinatura)
{
    PacoteDados p = PacotesAidf::novoAidf();
    p.adicionarRegistro();
    auto d = [&](const char *campo, const QVariant &v) { p.definirValor(QString::fromLatin1(campo), v); };
    const int pref = i % 10;
    d("NUMERO_AIDF", 10000 + i);
    d("CNPJ_PREF", QStringLiteral("4639500%1").arg(pref, 7, 10, QLatin1Char('0')));
    d("NOME_PREF", QStringLiteral("Prefeitura Municipal %1").arg(pref));
    d("NOMEDEPART", QStringLiteral("Departamento de Tributos"));
    d("FONE_PREF", QStringLiteral("(11) 3333-4444"));
    d("EMAIL_PREF", QStringLiteral("tributos%1@prefeitura.gov.br").arg(pref));
    d("CIDADE_PREF", QStringLiteral("Cidade %1").arg(pref));
    d("UF_PREF", QStringLiteral("SP"));
    for (const char *x : {"RESP", "SOLI"}) {
        const bool resp = qstrcmp(x, "RESP") == 0;
        const int e = resp ? i % 100 : 100 + i % 150;
        auto dx = [&](const char *campo, const QVariant &v) { p.definirValor(QString::fromLatin1(campo) + QLatin1Char('_') + QLatin1String(x), v); };
        dx("NOME", QStringLiteral("Empresa %1 Ltda").arg(e));
        dx("CNPJ", QStringLiteral("11%1").arg(e, 12, 10, QLatin1Char('0')));
        dx("ENDERECO", QStringLiteral("Rua %1, %2").arg(e).arg(e * 7));
        dx("BAIRRO", QStringLiteral("Bairro %1").arg(e % 50));
        dx("CIDADE", QStringLiteral("Cidade %1").arg(e % 20));
        dx("UF", QStringLiteral("SP"));
        dx("INS_M", QString::number(1000 + e));
        dx("INS_E", QString::number(110042490000 + e));
        dx("CEP", QStringLiteral("0821%1").arg(e % 10000, 4, 10, QLatin1Char('0')));
        dx("EMAIL", QStringLiteral("empresa%1@exemplo.com.br").arg(e));
        dx(resp ? "TELEFONE" : "FONE", QStringLiteral("(11) 2222-%1").arg(e % 10000, 4, 10, QLatin1Char('0')));
    }
    d("NOME_GRAF", QStringLiteral("Gráfica"));
    d("CNPJ_GRAF", kCnpjGrafica);
    d("MODELO", QStringLiteral("Nota Fiscal de Serviços"));
    d("SERIE", QStringLiteral("A"));
    d("SUB_SERIE", QStringLiteral("1"));
    d("TIPO", QStringLiteral("Bloco"));
    d("NUME_INICIAL", 1 + i * 500);
    d("NUME_FINAL", 500 + i * 500);
    d("QUANTIDADE", 500);
    d("NUME_VIA", QStringLiteral("3"));
    d("NUMERO_ESTADO", QStringLiteral("SP-%1").arg(i));
    d("EMITIDAEM", QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    d("APROVADAEM", QDateTime(QDate(2024, 1, 9), QTime(16, 30, 0)));
    d("OBSERVACAO", QStringLiteral("Observação do pedido %1").arg(i));
    d("BRASAO", brasao);
    d("ID_SOLI_AIDF_EMISSOR", 70000 + i);
    d("USUARIO_APROVA_AIDF", QStringLiteral("Maria Fiscal"));
    d("ASSINATURA", assinatura);
    d("ID_USUARIO_APROV", 42);
    return p;
}

void prepararBase(const QString &banco)
{
    criarBase(banco);
    Conexao c;
    c.abrir(banco, QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
    const QVariant b = c.executar(QStringLiteral("execute procedure SP_NOVO_ID('BAIRRO')")).value(0);
    const QVariant ci = c.executar(QStringLiteral("execute procedure SP_NOVO_ID('CIDADE')")).value(0);
    c.executar(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (?, 'Centro')"), {b});
    c.executar(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (?, 'São Paulo', 'SP')"), {ci});
    c.executar(QStringLiteral("insert into GRAFICA (ID_GRAFICA, RAZAO_SOCIAL, CNPJ, ENDERECO, ID_BAIRRO, ID_CIDADE, "
                              "TELEFONE, EMAIL) values (1, 'Gráfica', ?, 'Rua A', ?, ?, '1', 'a@b.c')"),
               {kCnpjGrafica, b, ci});
}

// --- the baseline: the statements of one received package, sent directly ---------------------

struct Base
{
    Conexao &c;
    std::unique_ptr<Comando> novoId;

    explicit Base(Conexao &con)
        : c(con), novoId(std::make_unique<Comando>(con, QStringLiteral("EXECUTE PROCEDURE SP_NOVO_ID(:ENTIDADE)")))
    {
    }
    int id(const char *entidade)
    {
        novoId->definir(QStringLiteral("ENTIDADE"), QString::fromLatin1(entidade));
        return novoId->executar().value(0).toInt();
    }
    QVariant primeiro(const QString &sql, const QVariantList &p)
    {
        const auto r = c.consultar(sql, p);
        return r.isEmpty() ? QVariant() : r.first().value(0);
    }
    int cidade(const QString &nome, const QString &uf)
    {
        const QVariant r = primeiro(QStringLiteral("select id_cidade from CIDADE where NOME = ? and UF = ?"), {nome.trimmed(), uf});
        if (!r.isNull())
            return r.toInt();
        const int n = id("CIDADE");
        c.consultar(QStringLiteral("select * from CIDADE\r\nwhere ID_cidade = ?"), {n});
        c.executar(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (?, ?, ?)"), {n, nome, uf});
        return n;
    }
    int bairro(const QString &nome)
    {
        const QVariant r = primeiro(QStringLiteral("select id_bairro from BAIRRO where NOME = ?"), {nome.trimmed()});
        if (!r.isNull())
            return r.toInt();
        const int n = id("BAIRRO");
        c.consultar(QStringLiteral("select * from BAIRRO\r\nwhere ID_BAIRRO = ?"), {n});
        c.executar(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (?, ?)"), {n, nome});
        return n;
    }
    int empresa(const PacoteDados &p, const QString &x)
    {
        auto v = [&](const QString &campo) { return p.valor(campo + x); };
        const QVariant existente = primeiro(QStringLiteral("select id_empresa from EMPRESA where CNPJ_CPF = ?"), {v(QStringLiteral("CNPJ"))});
        if (!existente.isNull()) {
            // Packages repeat a company as it is: the dataset finds nothing to update.
            c.consultar(QStringLiteral("select * from EMPRESA\r\nwhere ID_empresa = ?"), {existente});
            cidade(v(QStringLiteral("CIDADE")).toString(), v(QStringLiteral("UF")).toString());
            bairro(v(QStringLiteral("BAIRRO")).toString());
            return existente.toInt();
        }
        const int n = id("EMPRESA");
        c.consultar(QStringLiteral("select * from EMPRESA\r\nwhere ID_empresa = ?"), {n});
        const int ci = cidade(v(QStringLiteral("CIDADE")).toString(), v(QStringLiteral("UF")).toString());
        const int b = bairro(v(QStringLiteral("BAIRRO")).toString());
        const QString fone = x == u"_RESP" ? QStringLiteral("TELEFONE_RESP") : QStringLiteral("FONE_SOLI");
        c.executar(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL, IE_RG, IMUNICIPAL, ID_CIDADE, "
                                  "ENDERECO, ID_BAIRRO, CEP, FONE, EMAIL) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {n, v(QStringLiteral("CNPJ")), v(QStringLiteral("NOME")), v(QStringLiteral("INS_E")), v(QStringLiteral("INS_M")),
                    ci, v(QStringLiteral("ENDERECO")), b, v(QStringLiteral("CEP")), p.valor(fone), v(QStringLiteral("EMAIL"))});
        return n;
    }
    void receber(const PacoteDados &p)
    {
        auto v = [&](const char *campo) { return p.valor(QString::fromLatin1(campo)); };
        if (!c.emTransacao())
            c.iniciarTransacao();
        const auto prefs = c.consultar(QStringLiteral("select P.*, C.NOME CIDADE, C.UF \r\n   from PREFEITURA P INNER JOIN CIDADE C on P.ID_CIDADE = C.ID_CIDADE"));
        QVariant idPref;
        for (const QVariantList &l : prefs)
            if (l.value(1).toString() == v("CNPJ_PREF").toString())
                idPref = l.value(0);
        const int cidadePref = cidade(v("CIDADE_PREF").toString(), v("UF_PREF").toString());
        if (idPref.isNull()) {
            idPref = id("PREFEITURA");
            c.executar(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME, NOMEDEPARTAMENTO, FONE, EMAIL, "
                                      "ID_CIDADE, BRASAO) values (?, ?, ?, ?, ?, ?, ?, ?)"),
                       {idPref, v("CNPJ_PREF"), v("NOME_PREF"), v("NOMEDEPART"), v("FONE_PREF"), v("EMAIL_PREF"), cidadePref,
                        bytesDaImagem(v("BRASAO").toByteArray())});
        }
        const auto assin = c.consultar(QStringLiteral("select * from ASSINATURAS \r\nwhere ID_PREFEITURA = ? and\r\n           ID_USUARIO = ?"),
                                       {idPref, v("ID_USUARIO_APROV")});
        if (assin.isEmpty())
            c.executar(QStringLiteral("insert into ASSINATURAS (ID_PREFEITURA, ID_USUARIO, IMAGEM, NOME_USUARIO) values (?, ?, ?, ?)"),
                       {idPref, v("ID_USUARIO_APROV"), bytesDaImagem(v("ASSINATURA").toByteArray()), v("USUARIO_APROVA_AIDF")});
        c.consultar(QStringLiteral("select * from SOLIC_AIDF\r\nwhere NUMERO_AIDF_PREF = ? and\r\n           ID_PREFEITURA = ?"),
                    {v("NUMERO_AIDF"), idPref});
        const int resp = empresa(p, QStringLiteral("_RESP"));
        const int soli = empresa(p, QStringLiteral("_SOLI"));
        c.executar(QStringLiteral("insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, "
                                  "ID_GRAFICA, MODELO_NF, TIPO_NF, SERIE, SUB_SERIE, NUME_INICIAL, NUME_FINAL, QUANTIDADE, "
                                  "DATA_HORA_CADASTRO, DATA_HORA_APROV_REPROV, STATUS, NUME_VIAS, ID_SOLIC_AIDF_EMISSOR, "
                                  "ID_USUARIO) values (?, ?, ?, ?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, '2', ?, ?, ?)"),
                   {v("NUMERO_AIDF"), idPref, resp, soli, v("MODELO"), v("TIPO"), v("SERIE"), v("SUB_SERIE"), v("NUME_INICIAL"),
                    v("NUME_FINAL"), v("QUANTIDADE"), v("EMITIDAEM"), v("APROVADAEM"), v("NUME_VIA"), v("ID_SOLI_AIDF_EMISSOR"),
                    v("ID_USUARIO_APROV")});
        c.consultar(QStringLiteral("select * from OBSER_SOLI_AIDF\r\nwhere NUMERO_AIDF_PREF = ? and\r\n          ID_PREFEITURA = ? and\r\n          TIPO_OBSERVACAO = ?"),
                    {v("NUMERO_AIDF"), idPref, QStringLiteral("P")});
        c.executar(QStringLiteral("insert into OBSER_SOLI_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, TIPO_OBSERVACAO, OBSERVACAO) "
                                  "values (?, ?, 'P', ?)"),
                   {v("NUMERO_AIDF"), idPref, v("OBSERVACAO")});
        c.consultar(QStringLiteral("select * from AIDF_CONJ_ESTADO\r\nwhere NUMERO_AIDF_PREF = ? and\r\n  ID_PREFEITURA = ?"),
                    {v("NUMERO_AIDF"), idPref});
        c.executar(QStringLiteral("insert into AIDF_CONJ_ESTADO (NUMERO_AIDF_PREF, ID_PREFEITURA, NUMERO_ESTADO) values (?, ?, ?)"),
                   {v("NUMERO_AIDF"), idPref, v("NUMERO_ESTADO")});
        c.confirmar();
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    DialogosMudos mudos;
    definirDialogos(&mudos);

    QTemporaryDir dir;
    const QByteArray brasao = jpeg(96, 0x336699);
    const QByteArray assinatura = jpeg(64, 0x000000);
    QList<PacoteDados> pacotes;
    for (int i = 0; i < kPacotes; ++i)
        pacotes << pacote(i, brasao, assinatura);

    // Best of three rounds, each on new databases: the machine is shared and the figures jump.
    constexpr int kRodadas = 3;
    double segundosRun = 1e300, cpuRun = 1e300, segundosBase = 1e300, cpuBase = 1e300, segundosExtracao = 1e300;
    int recebidos = 0;
    for (int rodada = 0; rodada < kRodadas; ++rodada) {
        const QString pasta = dir.path() + QStringLiteral("/rodada%1").arg(rodada);
        const QString pastaPacotes = pasta + QStringLiteral("/entrada");
        QDir().mkpath(pastaPacotes);
        QStringList arquivos;
        for (int i = 0; i < kPacotes; ++i) {
            const QString a = pastaPacotes + QStringLiteral("/P%1.PrefGraf").arg(i, 4, 10, QLatin1Char('0'));
            ArquivoZip::adicionar(a, PacotesAidf::nomeMembroDados(a), pacotes[i].escrever());
            arquivos << a;
        }

        // Extraction alone, which the baseline leaves out: every package into a folder of its own.
        {
            const QString destino = pasta + QStringLiteral("/extracao");
            QDir().mkpath(destino);
            QElapsedTimer t;
            t.start();
            for (const QString &a : arquivos)
                ArquivoZip::extrairTudo(a, destino);
            segundosExtracao = std::min(segundosExtracao, t.nsecsElapsed() / 1e9);
        }

        // The operation.
        const QString bancoRun = pasta + QStringLiteral("/recebimento.fdb");
        prepararBase(bancoRun);
        {
            TdmPrinc dm;
            dm.banco = bancoRun;
            dm.conectar();
            dm.cdsGraf.abrir();
            ContextoRecebimento c;
            c.pastaPrograma = pasta;
            c.processarEventos = false;
            c.escolherArquivos = [&arquivos](const EscolhaArquivo &) { return arquivos; };
            QElapsedTimer t;
            t.start();
            const std::clock_t cpu = std::clock();
            recebidos = ReceberArquivo(dm, c).recebidos;
            cpuRun = std::min(cpuRun, double(std::clock() - cpu) / CLOCKS_PER_SEC);
            segundosRun = std::min(segundosRun, t.nsecsElapsed() / 1e9);
        }

        // The same statements without the operation around them.
        const QString bancoBase = pasta + QStringLiteral("/base.fdb");
        prepararBase(bancoBase);
        {
            Conexao con;
            con.abrir(bancoBase, QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
            Base b(con);
            QElapsedTimer t;
            t.start();
            const std::clock_t cpu = std::clock();
            for (const PacoteDados &p : pacotes)
                b.receber(p);
            cpuBase = std::min(cpuBase, double(std::clock() - cpu) / CLOCKS_PER_SEC);
            segundosBase = std::min(segundosBase, t.nsecsElapsed() / 1e9);
        }
    }

    std::printf("recebimento de %d pacotes, melhor de %d rodadas (%d recebidos na última, %d mensagens)\n", kPacotes, kRodadas,
                recebidos, mudos.mensagens);
    // Each package commits; on a disk with forced writes the flushes dominate the wall time, so
    // the processor time is printed too.
    std::printf("  operação:    %8.3f s  %8.1f pacotes/s  (processador %.3f s)\n", segundosRun, kPacotes / segundosRun, cpuRun);
    std::printf("  só o SQL:    %8.3f s  %8.1f pacotes/s  (processador %.3f s)\n", segundosBase, kPacotes / segundosBase, cpuBase);
    std::printf("  só a extração dos arquivos: %.3f s\n", segundosExtracao);
    std::printf("  razão:       %8.2fx (meta: até 1.3x); no processador %.2fx\n", segundosRun / segundosBase, cpuRun / cpuBase);
    definirDialogos(nullptr);
    return recebidos == kPacotes ? 0 : 1;
}
