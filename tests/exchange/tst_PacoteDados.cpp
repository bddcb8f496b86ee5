// The data packet reader and writer, checked against the fixtures written by the platform itself and the
// reference decoder.
#include "Apoio.h"

#include "Erros.h"
#include "PacoteDados.h"
#include "PacotesAidf.h"
#include "Win1252.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTime>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

using namespace lumaro;

namespace {

std::string s(const QString &t) { return t.toStdString(); }

void comparaParametros(const QList<ParametroPacote> &nossos, const QJsonArray &esperados, const QString &onde)
{
    ASSERT_EQ(nossos.size(), esperados.size()) << s(onde);
    for (qsizetype i = 0; i < nossos.size(); ++i) {
        const QJsonObject e = esperados[i].toObject();
        const ParametroPacote &p = nossos[i];
        EXPECT_EQ(p.nome, e[u"nome"].toString()) << s(onde);
        EXPECT_EQ(p.palavraTamanho, e[u"tamanho"].toInt()) << s(onde + u' ' + p.nome);
        EXPECT_EQ(p.palavraTipo, e[u"tipo"].toInt()) << s(onde + u' ' + p.nome);
        // Parameter values through their own decoding: texts, integers, arrays.
        const QJsonObject v = e[u"valor"].toObject();
        const QVariant nosso = p.valor();
        if (v.contains(u"s"))
            EXPECT_EQ(nosso.toString(), v[u"s"].toString()) << s(onde + u' ' + p.nome);
        else if (v.contains(u"i"))
            EXPECT_EQ(nosso.toString(), v[u"i"].toString()) << s(onde + u' ' + p.nome);
        else if (v.contains(u"lista")) {
            QStringList a, b;
            for (const QVariant &x : nosso.toList())
                a << x.toString();
            for (const QJsonValue &x : v[u"lista"].toArray())
                b << x.toObject()[u"i"].toString();
            EXPECT_EQ(a, b) << s(onde + u' ' + p.nome);
        }
    }
}

void comparaCampos(const QList<CampoPacote> &nossos, const QJsonArray &esperados, const QString &onde)
{
    ASSERT_EQ(nossos.size(), esperados.size()) << s(onde);
    for (qsizetype i = 0; i < nossos.size(); ++i) {
        const QJsonObject e = esperados[i].toObject();
        const CampoPacote &c = nossos[i];
        const QString aqui = onde + QStringLiteral(" campo ") + c.nome;
        EXPECT_EQ(c.nome, e[u"nome"].toString()) << s(onde);
        EXPECT_EQ(c.palavraTamanho, e[u"tamanho"].toInt()) << s(aqui);
        EXPECT_EQ(c.palavraTipo, e[u"tipo"].toInt()) << s(aqui);
        EXPECT_EQ(c.atributos, e[u"atributos"].toInt()) << s(aqui);
        EXPECT_NE(c.tipo, TipoCampo::Desconhecido) << s(aqui);
        comparaParametros(c.parametros, e[u"parametros"].toArray(), aqui);
        if (e.contains(u"filhos"))
            comparaCampos(c.filhos, e[u"filhos"].toArray(), aqui);
    }
}

// Every field, parameter, stored row and current record against the reference decoder's reading.
void comparaComOraculo(const PacoteDados &p, const QJsonObject &o, const QString &nome)
{
    ASSERT_FALSE(o.contains(u"erro")) << s(nome) << ": " << s(o[u"erro"].toString());
    const QJsonArray versao = o[u"versao"].toArray();
    EXPECT_EQ(p.versaoPrincipal(), versao[0].toInt()) << s(nome);
    comparaCampos(p.campos, o[u"campos"].toArray(), nome);

    QJsonArray semLog;
    for (const QJsonValue &x : o[u"parametros"].toArray())
        if (x.toObject()[u"nome"].toString() != u"CHANGE_LOG")
            semLog.append(x);
    comparaParametros(p.parametros, semLog, nome + QStringLiteral(" (pacote)"));

    const QJsonArray linhas = o[u"linhas"].toArray();
    ASSERT_EQ(p.linhas().size(), linhas.size()) << s(nome);
    for (qsizetype r = 0; r < linhas.size(); ++r) {
        const QJsonObject l = linhas[r].toObject();
        const LinhaPacote &nossa = p.linhas()[r];
        EXPECT_EQ(nossa.estado, l[u"estado"].toInt()) << s(nome) << " linha " << r;
        const QJsonArray valores = l[u"valores"].toArray();
        ASSERT_EQ(nossa.valores.size(), valores.size());
        for (qsizetype i = 0; i < valores.size(); ++i) {
            const QJsonObject v = valores[i].toObject();
            const QString k = v[u"k"].toString();
            const quint8 marca = k == u"nulo" ? LinhaPacote::Nulo : k == u"inalterado" ? LinhaPacote::NaoAlterado : LinhaPacote::Valor;
            EXPECT_EQ(nossa.marcas[i], marca) << s(nome) << " linha " << r << " " << s(p.campos[i].nome);
            if (marca != LinhaPacote::NaoAlterado) {
                const QString d = apoio::diferenca(p.campos[i], nossa.valores[i], v);
                EXPECT_TRUE(d.isEmpty()) << s(nome) << " linha " << r << " " << s(p.campos[i].nome) << ": " << s(d);
            }
        }
    }

    const QJsonArray registros = o[u"registros"].toArray();
    ASSERT_EQ(p.registros.size(), registros.size()) << s(nome);
    for (qsizetype r = 0; r < registros.size(); ++r) {
        const QJsonArray valores = registros[r].toArray();
        ASSERT_EQ(p.registros[r].size(), valores.size());
        for (qsizetype i = 0; i < valores.size(); ++i) {
            const QString d = apoio::diferenca(p.campos[i], p.registros[r][i], valores[i].toObject());
            EXPECT_TRUE(d.isEmpty()) << s(nome) << " registro " << r << " " << s(p.campos[i].nome) << ": " << s(d);
        }
    }
}

// Where two byte strings first differ, or -1; keeps a failing comparison of large packets readable.
qsizetype diferenca(const QByteArray &a, const QByteArray &b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i])
            return i;
    return a.size() == b.size() ? -1 : n;
}

bool ehInvalido(const std::function<void()> &f, QString *texto = nullptr)
{
    try {
        f();
    } catch (const Erro &e) {
        if (texto)
            *texto = e.texto();
        return true;
    }
    return false;
}

void poe16(QByteArray &b, qsizetype pos, quint16 v)
{
    b[pos] = char(v);
    b[pos + 1] = char(v >> 8);
}

void poe32(QByteArray &b, qsizetype pos, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[pos + i] = char(v >> (8 * i));
}

quint16 le16(const QByteArray &b, qsizetype pos) { return quint16(uchar(b[pos]) | (uchar(b[pos + 1]) << 8)); }

PacoteDados pacoteDe(QList<CampoPacote> campos, QVariantList registro)
{
    PacoteDados p(std::move(campos));
    p.registros.append(std::move(registro));
    return p;
}

} // namespace

TEST(PacoteFixtures, CadaFixtureLidaComoOOraculoLe)
{
    const QStringList arquivos = apoio::fixtures();
    ASSERT_FALSE(arquivos.isEmpty());
    const QJsonObject oraculo = apoio::oraculo(arquivos);
    for (const QString &a : arquivos) {
        const QString nome = QFileInfo(a).fileName();
        SCOPED_TRACE(s(nome));
        PacoteDados p;
        ASSERT_NO_THROW(p = PacoteDados::lerArquivo(a));
        comparaComOraculo(p, oraculo[nome].toObject(), nome);
    }
}

TEST(PacoteFixtures, OQueAProcedenciaDescreve)
{
    const QString pasta = apoio::pastaFixtures() + u'/';
    const PacoteDados events = PacoteDados::lerArquivo(pasta + "events.cds");
    EXPECT_EQ(events.valor("Event_Date"), QDate(1996, 6, 15));
    EXPECT_EQ(events.valor("Event_Time"), QTime(10, 0));
    EXPECT_EQ(events.campo("Ticket_price").subtipo, "Money");
    EXPECT_EQ(events.campo("EventNo").atributos & CampoPacote::SomenteLeitura, CampoPacote::SomenteLeitura);
    EXPECT_EQ(events.campo("Event_Photo").tipo, TipoCampo::Grafico);
    EXPECT_EQ(events.campo("Event_Description").tipo, TipoCampo::Memo);

    const PacoteDados customer = PacoteDados::lerArquivo(pasta + "customer.cds");
    EXPECT_EQ(customer.valor("Company"), "Kauai Dive Shoppe");
    EXPECT_EQ(customer.valor("LastInvoiceDate"), QDateTime(QDate(1995, 2, 2), QTime(1, 5, 3)));

    const PacoteDados vendas = PacoteDados::lerArquivo(pasta + "Vendas.cds");
    EXPECT_EQ(vendas.linhas().size(), 9);
    EXPECT_EQ(vendas.registros.size(), 9);
    EXPECT_EQ(vendas.linhas()[0].estado, 4);
    EXPECT_EQ(vendas.valor("DataVenda"), QDate(2001, 6, 21));

    // Windows-1252 text, and a change log whose edits replace earlier versions.
    const PacoteDados clientes = PacoteDados::lerArquivo(pasta + "Clientes.cds");
    EXPECT_EQ(clientes.linhas().size(), 18);
    EXPECT_EQ(clientes.valor("Nome"), QStringLiteral("Carlos Maçaranduba"));

    // An appended row whose fields were never assigned reads as all NULL, not as missing.
    const PacoteDados dados = PacoteDados::lerArquivo(pasta + "bingo_dados.cds");
    ASSERT_EQ(dados.registros.size(), 1);
    for (const QVariant &v : dados.registros[0])
        EXPECT_TRUE(v.isNull());

    const PacoteDados premios = PacoteDados::lerArquivo(pasta + "bingo_premios.cds");
    ASSERT_EQ(premios.registros.size(), 1);
    for (const QVariant &v : premios.registros[0]) {
        EXPECT_FALSE(v.isNull());
        EXPECT_EQ(v.toString(), QString());
    }

    const PacoteDados vazio = PacoteDados::lerArquivo(pasta + "Clientes_empty.cds");
    EXPECT_EQ(vazio.campos.size(), 7);
    EXPECT_TRUE(vazio.registros.isEmpty());
    EXPECT_TRUE(vazio.valor(vazio.campos[0].nome).isNull());

    const PacoteDados biolife = PacoteDados::lerArquivo(pasta + "biolife.cds");
    EXPECT_GE(biolife.indiceCampo("species name"), 0);
    EXPECT_GE(biolife.indiceCampo("Length (cm)"), 0);

    const PacoteDados vendors = PacoteDados::lerArquivo(pasta + "vendors.cds");
    int verdadeiros = 0, falsos = 0;
    const int i = vendors.indiceCampo("Preferred");
    ASSERT_GE(i, 0);
    for (const QVariantList &r : vendors.registros)
        if (!r[i].isNull())
            (r[i].toBool() ? verdadeiros : falsos)++;
    EXPECT_GT(verdadeiros, 0);
    EXPECT_GT(falsos, 0);

    // Deleted rows of the change log are not current records.
    const PacoteDados products = PacoteDados::lerArquivo(pasta + "Products.cds");
    EXPECT_EQ(products.linhas().size(), 206);
    EXPECT_EQ(products.linhas()[117].estado, 0x0E);
    EXPECT_LT(products.registros.size(), 206);
}

TEST(PacoteFixtures, ReescritaDaOsMesmosBytesOuOsMesmosRegistros)
{
    for (const QString &a : apoio::fixtures()) {
        SCOPED_TRACE(s(QFileInfo(a).fileName()));
        const QByteArray original = apoio::ler(a);
        const PacoteDados p = PacoteDados::ler(original);

        bool simples = true, pendentes = !p.linhas().isEmpty();
        for (const LinhaPacote &l : p.linhas()) {
            simples = simples && l.estado == 0;
            pendentes = pendentes && l.estado == 4 && !l.marcas.contains(LinhaPacote::NaoAlterado);
        }
        if (simples)
            EXPECT_EQ(diferenca(p.escrever(PacoteDados::Forma::Dados), original), -1);
        else if (pendentes)
            EXPECT_EQ(diferenca(p.escrever(PacoteDados::Forma::InsercaoPendente), original), -1);

        // Whatever the form, the current records survive a write and a read in both forms.
        for (auto forma : {PacoteDados::Forma::Dados, PacoteDados::Forma::InsercaoPendente}) {
            const PacoteDados de_novo = PacoteDados::ler(p.escrever(forma));
            ASSERT_EQ(de_novo.campos.size(), p.campos.size());
            EXPECT_EQ(de_novo.registros, p.registros);
        }
    }
}

TEST(PacoteTiposRaros, LidosComoOOraculoLeEReescritosIguais)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    apoio::oraculoGerar({QStringLiteral("raros"), dir.path()});
    const QStringList arquivos = {dir.filePath("tipos_raros.cds"), dir.filePath("aninhado.cds")};
    const QJsonObject oraculo = apoio::oraculo(arquivos);
    for (const QString &a : arquivos) {
        const QString nome = QFileInfo(a).fileName();
        SCOPED_TRACE(s(nome));
        const QByteArray original = apoio::ler(a);
        const PacoteDados p = PacoteDados::ler(original);
        comparaComOraculo(p, oraculo[nome].toObject(), nome);
        EXPECT_EQ(diferenca(p.escrever(), original), -1);
    }

    const PacoteDados raros = PacoteDados::lerArquivo(arquivos[0]);
    EXPECT_EQ(raros.campo("NOME_U").tamanho, 20);   // WIDTH counts bytes, the field counts characters
    EXPECT_EQ(raros.valor("PRECO", 1), "-12345.61");
    EXPECT_EQ(raros.valor("SQLTZ").toDateTime().offsetFromUtc(), -3 * 3600);
    EXPECT_EQ(raros.valor("LONGO").toString().size(), 290);
    const PacoteDados aninhado = PacoteDados::lerArquivo(arquivos[1]);
    EXPECT_EQ(aninhado.valor("ITENS").toList().size(), 2);
    EXPECT_EQ(aninhado.valor("ITENS").toList()[0].toList()[1], "dez");
    EXPECT_EQ(aninhado.valor("NOTA", 2), QStringLiteral("três"));
}

TEST(PacoteLeitura, LogDeAlteracoesDaOsRegistrosAtuais)
{
    QTemporaryDir dir;
    const QString arquivo = dir.filePath("log.cds");
    apoio::oraculoGerar({QStringLiteral("log"), arquivo});
    const PacoteDados p = PacoteDados::lerArquivo(arquivo);
    ASSERT_EQ(p.linhas().size(), 6);
    ASSERT_EQ(p.registros.size(), 2);
    // Row 3 edits row 2, which edits row 1: unchanged fields come from the oldest version that has them.
    EXPECT_EQ(p.registros[0], (QVariantList{1, QStringLiteral("novo"), QStringLiteral("obs 1")}));
    // Row 6 edits row 4, whose NOME was never assigned: NULL. The deleted row 5 is gone.
    EXPECT_EQ(p.registros[1], (QVariantList{2, QVariant(), QStringLiteral("obs 4")}));
    EXPECT_EQ(p.valor("NOME"), "novo");
}

TEST(PacoteEscrita, AmostraIgualAoCodificadorDeReferencia)
{
    struct Caso
    {
        const char *json;
        QVariantList registro;
        int largura;
        bool pendente;
    };
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray::fromHex("000102030405fffe");
    const Caso casos[] = {
        {R"({"registro": {"ID": 42, "NAME": "Zoë Müller", "STAMP": "2024-02-29T13:45:30.250", "NOTES": "linha 1\r\nlinha 2", "PIC": "89504e470d0a1a0a000102030405fffe"}})",
         {42, QStringLiteral("Zoë Müller"), QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30, 250)), QStringLiteral("linha 1\r\nlinha 2"), png}, 40, false},
        {R"({"registro": {"ID": 1, "NAME": "Ann", "STAMP": "2024-01-02T03:04:05", "NOTES": "hi", "PIC": "47494638"}, "pendente": true})",
         {1, QStringLiteral("Ann"), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), QStringLiteral("hi"), QByteArray("GIF8")}, 40, true},
        {R"({"registro": {"ID": -7, "NAME": "", "STAMP": "1899-12-30T00:00:00", "NOTES": "", "PIC": "424d"}, "largura": 300, "pendente": true})",
         {-7, QString(""), QDateTime(QDate(1899, 12, 30), QTime(0, 0)), QString(""), QByteArray("BM")}, 300, true},
        {R"({"registro": {"ID": 1, "NAME": null, "STAMP": null, "NOTES": null, "PIC": null}, "largura": 20})",
         {1, QVariant(), QVariant(), QVariant(), QVariant()}, 20, false},
    };
    QTemporaryDir dir;
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.json);
        const QString arquivo = dir.filePath("amostra.cds");
        apoio::oraculoGerar({QStringLiteral("amostra"), arquivo, QString::fromUtf8(c.json)});
        PacoteDados p({CampoPacote::inteiro("ID"), CampoPacote::texto("NAME", c.largura), CampoPacote::dataHora("STAMP"),
                       CampoPacote::memo("NOTES"), CampoPacote::grafico("PIC")});
        p.registros.append(c.registro);
        EXPECT_EQ(p.escrever(c.pendente ? PacoteDados::Forma::InsercaoPendente : PacoteDados::Forma::Dados).toHex().toStdString(),
                  apoio::ler(arquivo).toHex().toStdString());
    }
}

TEST(PacoteRetorno, OsOitoCamposComoAOutraPonteLe)
{
    struct Caso
    {
        const char *nome;
        QString status;
        QVariant observacao;
        QDateTime finalizada;
    };
    const Caso casos[] = {
        {"aceita sem observação", "5", QVariant(), QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15))},
        {"recusada com observação", "3", QStringLiteral("Recusado: falta o código de verificação\r\nAção à parte"),
         QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59))},
    };
    // The contract: name, stored size word, type word and WIDTH/SUBTYPE parameters.
    struct Esperado
    {
        const char *nome;
        int tamanho;
        int tipo;
        const char *parametro;
    };
    const Esperado esperados[] = {
        {"NUMERO_AIDF", 4, 0x01, ""},         {"CNPJ_PREF", 1, 0x49, "WIDTH=14"},
        {"CNPJ_RESP", 1, 0x49, "WIDTH=14"},   {"CNPJ_SOLI", 1, 0x49, "WIDTH=14"},
        {"FINALIZADAEM", 8, 0x08, ""},        {"OBSERVACAO", 4, 0x4B, "SUBTYPE=Text"},
        {"ID_SOLI_AIDF_EMISSOR", 4, 0x01, ""}, {"STATUS", 1, 0x49, "WIDTH=1"},
    };
    QTemporaryDir dir;
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        PacoteDados r = PacotesAidf::novoRetorno();
        r.adicionarRegistro();
        r.definirValor("NUMERO_AIDF", 1234);
        r.definirValor("CNPJ_PREF", "12345678000195");
        r.definirValor("CNPJ_RESP", "98765432000110");
        r.definirValor("CNPJ_SOLI", "12345678909");
        r.definirValor("FINALIZADAEM", c.finalizada);
        r.definirValor("OBSERVACAO", c.observacao);
        r.definirValor("ID_SOLI_AIDF_EMISSOR", 987654);
        r.definirValor("STATUS", c.status);
        const QByteArray bytes = r.escrever();

        const PacoteDados lido = PacoteDados::ler(bytes);
        ASSERT_EQ(lido.campos.size(), 8);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(lido.campos[i].nome, esperados[i].nome);
        EXPECT_EQ(lido.linhas().size(), 1);
        EXPECT_EQ(lido.linhas()[0].estado, 0);
        EXPECT_EQ(lido.valor("NUMERO_AIDF"), 1234);
        EXPECT_EQ(lido.valor("CNPJ_SOLI"), "12345678909");
        EXPECT_EQ(lido.valor("FINALIZADAEM"), c.finalizada);
        EXPECT_EQ(lido.valor("OBSERVACAO"), c.observacao);
        EXPECT_EQ(lido.valor("ID_SOLI_AIDF_EMISSOR"), 987654);
        EXPECT_EQ(lido.valor("STATUS"), c.status);

        const QString arquivo = dir.filePath("000001234GrafRe.Aidf");
        apoio::gravar(arquivo, bytes);
        const QJsonObject o = apoio::oraculo({arquivo})[u"000001234GrafRe.Aidf"].toObject();
        ASSERT_FALSE(o.contains(u"erro")) << s(o[u"erro"].toString());
        // What the platform's loader needs: version 1.0, metadata and data offset flags, data right after the metadata.
        EXPECT_EQ(o[u"versao"].toArray(), (QJsonArray{1, 0}));
        EXPECT_EQ(o[u"propriedades"].toInt(), 3);
        EXPECT_EQ(o[u"inicioDados"].toInt(), o[u"fimMetadados"].toInt());
        EXPECT_EQ(o[u"colunas"].toInt(), 8);
        EXPECT_TRUE(o[u"parametros"].toArray().isEmpty());
        const QJsonArray campos = o[u"campos"].toArray();
        ASSERT_EQ(campos.size(), 8);
        for (int i = 0; i < 8; ++i) {
            const QJsonObject f = campos[i].toObject();
            EXPECT_EQ(f[u"nome"].toString(), esperados[i].nome);
            EXPECT_EQ(f[u"tamanho"].toInt(), esperados[i].tamanho) << esperados[i].nome;
            EXPECT_EQ(f[u"tipo"].toInt(), esperados[i].tipo) << esperados[i].nome;
            EXPECT_EQ(f[u"atributos"].toInt(), 0);
            QStringList params;
            for (const QJsonValue &p : f[u"parametros"].toArray()) {
                const QJsonObject v = p.toObject()[u"valor"].toObject();
                params << p.toObject()[u"nome"].toString() + u'=' + (v.contains(u"s") ? v[u"s"].toString() : v[u"i"].toString());
            }
            EXPECT_EQ(params.join(u','), esperados[i].parametro) << esperados[i].nome;
        }
        comparaComOraculo(lido, o, QStringLiteral("retorno"));
        ASSERT_EQ(o[u"linhas"].toArray().size(), 1);
        EXPECT_EQ(o[u"linhas"][0][u"estado"].toInt(), 0);
    }
}

TEST(PacoteAidf, TodosOsCamposComTiposETamanhosDoContrato)
{
    // Name, kind and width as the municipality's system declares them.
    struct Campo
    {
        const char *nome;
        char tipo;   // I integer, S string, D date-time, M memo, G graphic
        int largura;
    };
    const Campo tabela[] = {
        {"NUMERO_AIDF", 'I', 0}, {"CNPJ_PREF", 'S', 14}, {"NOME_PREF", 'S', 50}, {"NOMEDEPART", 'S', 100},
        {"FONE_PREF", 'S', 30}, {"EMAIL_PREF", 'S', 100}, {"CIDADE_PREF", 'S', 30}, {"UF_PREF", 'S', 2},
        {"NOME_RESP", 'S', 50}, {"CNPJ_RESP", 'S', 14}, {"ENDERECO_RESP", 'S', 50}, {"BAIRRO_RESP", 'S', 30},
        {"CIDADE_RESP", 'S', 30}, {"UF_RESP", 'S', 2}, {"INS_M_RESP", 'S', 15}, {"INS_E_RESP", 'S', 15},
        {"CEP_RESP", 'S', 8}, {"TELEFONE_RESP", 'S', 15}, {"EMAIL_RESP", 'S', 80}, {"NOME_SOLI", 'S', 50},
        {"CNPJ_SOLI", 'S', 14}, {"ENDERECO_SOLI", 'S', 50}, {"BAIRRO_SOLI", 'S', 30}, {"CIDADE_SOLI", 'S', 50},
        {"UF_SOLI", 'S', 2}, {"CEP_SOLI", 'S', 8}, {"INS_M_SOLI", 'S', 15}, {"INS_E_SOLI", 'S', 15},
        {"FONE_SOLI", 'S', 30}, {"EMAIL_SOLI", 'S', 100}, {"NOME_GRAF", 'S', 50}, {"CNPJ_GRAF", 'S', 14},
        {"MODELO", 'S', 50}, {"SERIE", 'S', 3}, {"SUB_SERIE", 'S', 3}, {"TIPO", 'S', 50},
        {"NUME_INICIAL", 'I', 0}, {"NUME_FINAL", 'I', 0}, {"QUANTIDADE", 'I', 0}, {"NUME_VIA", 'S', 1},
        {"NUMERO_ESTADO", 'S', 20}, {"EMITIDAEM", 'D', 0}, {"APROVADAEM", 'D', 0}, {"OBSERVACAO", 'M', 0},
        {"BRASAO", 'G', 0}, {"ID_SOLI_AIDF_EMISSOR", 'I', 0}, {"USUARIO_APROVA_AIDF", 'S', 50},
        {"ASSINATURA", 'G', 0}, {"ID_USUARIO_APROV", 'I', 0},
    };
    PacoteDados p = PacotesAidf::novoAidf();
    p.adicionarRegistro();
    QTemporaryDir dir;
    const QString arquivo = dir.filePath("X.Aidf");
    apoio::gravar(arquivo, p.escrever());
    const QJsonObject todos = apoio::oraculo({arquivo});
    const QJsonArray campos = todos[u"X.Aidf"][u"campos"].toArray();
    ASSERT_EQ(campos.size(), std::size(tabela));
    for (qsizetype i = 0; i < campos.size(); ++i) {
        const Campo &t = tabela[i];
        const QJsonObject f = campos[i].toObject();
        SCOPED_TRACE(t.nome);
        EXPECT_EQ(f[u"nome"].toString(), t.nome);
        const QJsonArray params = f[u"parametros"].toArray();
        switch (t.tipo) {
        case 'I':
            EXPECT_EQ(f[u"tipo"].toInt(), 0x01);
            EXPECT_EQ(f[u"tamanho"].toInt(), 4);
            EXPECT_TRUE(params.isEmpty());
            break;
        case 'S':
            EXPECT_EQ(f[u"tipo"].toInt(), 0x49);
            EXPECT_EQ(f[u"tamanho"].toInt(), 1);
            ASSERT_EQ(params.size(), 1);
            EXPECT_EQ(params[0][u"nome"].toString(), "WIDTH");
            EXPECT_EQ(params[0][u"valor"][u"i"].toString(), QString::number(t.largura));
            break;
        case 'D':
            EXPECT_EQ(f[u"tipo"].toInt(), 0x08);
            EXPECT_EQ(f[u"tamanho"].toInt(), 8);
            EXPECT_TRUE(params.isEmpty());
            break;
        case 'M':
        case 'G':
            EXPECT_EQ(f[u"tipo"].toInt(), 0x4B);
            EXPECT_EQ(f[u"tamanho"].toInt(), 4);
            ASSERT_EQ(params.size(), 1);
            EXPECT_EQ(params[0][u"nome"].toString(), "SUBTYPE");
            EXPECT_EQ(params[0][u"valor"][u"s"].toString(), t.tipo == 'M' ? "Text" : "Graphics");
            break;
        }
    }
}

TEST(PacoteLeitura, CamposExtrasEEmOutraOrdemSaoLidosPeloNome)
{
    QList<CampoPacote> campos = PacotesAidf::camposAidf();
    std::reverse(campos.begin(), campos.end());
    campos.insert(3, CampoPacote::texto("CAMPO_NOVO", 10));
    campos.append(CampoPacote::inteiro("OUTRO_EXTRA"));
    PacoteDados p(campos);
    p.adicionarRegistro();
    p.definirValor("NUMERO_AIDF", 77);
    p.definirValor("CNPJ_GRAF", "11222333000181");
    p.definirValor("OBSERVACAO", "obs");
    p.definirValor("CAMPO_NOVO", "extra");
    p.definirValor("OUTRO_EXTRA", -1);
    p.definirValor("APROVADAEM", QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));

    const PacoteDados lido = PacoteDados::ler(p.escrever(PacoteDados::Forma::InsercaoPendente));
    EXPECT_EQ(lido.indiceCampo("NUMERO_AIDF"), int(campos.size()) - 2);
    EXPECT_EQ(lido.valor("numero_aidf"), 77);
    EXPECT_EQ(lido.valor("Cnpj_Graf"), "11222333000181");
    EXPECT_EQ(lido.valor("OBSERVACAO"), "obs");
    EXPECT_EQ(lido.valor("APROVADAEM"), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    EXPECT_TRUE(lido.valor("BRASAO").isNull());
    EXPECT_EQ(lido.valor("CAMPO_NOVO"), "extra");
    EXPECT_EQ(lido.valor("OUTRO_EXTRA"), -1);
}

TEST(PacoteLeitura, CampoAusenteDaOErroDaPlataforma)
{
    QList<CampoPacote> campos = PacotesAidf::camposAidf();
    campos.removeIf([](const CampoPacote &c) { return c.nome == u"OBSERVACAO"; });
    PacoteDados p(campos);
    p.adicionarRegistro();
    PacoteDados lido = PacoteDados::ler(p.escrever());

    QString texto;
    EXPECT_TRUE(ehInvalido([&] { lido.valor("OBSERVACAO"); }, &texto));
    EXPECT_EQ(texto, "Field 'OBSERVACAO' not found");
    lido.nome = "cdsAIDFEnviGraf";
    EXPECT_TRUE(ehInvalido([&] { lido.campo("OBSERVACAO"); }, &texto));
    EXPECT_EQ(texto, "cdsAIDFEnviGraf: Field 'OBSERVACAO' not found");
    EXPECT_TRUE(ehInvalido([&] { lido.definirValor("OBSERVACAO", "x"); }));
    EXPECT_EQ(lido.indiceCampo("OBSERVACAO"), -1);
    EXPECT_NO_THROW(lido.valor("NUMERO_ESTADO"));
}

TEST(PacoteEscrita, ValoresQueNaoCabemSaoRecusados)
{
    struct Caso
    {
        const char *nome;
        CampoPacote campo;
        QVariant valor;
    };
    CampoPacote pequeno = CampoPacote::inteiro("P");
    pequeno.tamanho = 2;
    const Caso casos[] = {
        {"texto maior que a largura", CampoPacote::texto("CNPJ", 14), QStringLiteral("123456789012345")},
        {"acentos contam em bytes de 1252 e cabem", CampoPacote::texto("UF", 2), QStringLiteral("ÇÃO")},
        {"inteiro acima de 32 bits", CampoPacote::inteiro("N"), qint64(1) << 31},
        {"inteiro de 16 bits estourado", pequeno, 40000},
        {"texto que não é número", CampoPacote::inteiro("N"), QStringLiteral("12a")},
        {"data-hora inválida", CampoPacote::dataHora("D"), QStringLiteral("ontem")},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        const PacoteDados p = pacoteDe({c.campo}, {c.valor});
        QString texto;
        EXPECT_TRUE(ehInvalido([&] { p.escrever(); }, &texto));
        EXPECT_TRUE(texto.contains(c.campo.nome)) << s(texto);
    }
    // What does fit, right at the limits.
    const PacoteDados cabe = pacoteDe({CampoPacote::texto("CNPJ", 14), CampoPacote::inteiro("N"), pequeno},
                                      {QStringLiteral("12345678901234"), std::numeric_limits<qint32>::min(), -32768});
    EXPECT_EQ(PacoteDados::ler(cabe.escrever()).registros, cabe.registros);
    // A record that does not match the fields is a programming error reported, not written.
    EXPECT_TRUE(ehInvalido([] { pacoteDe({CampoPacote::inteiro("A"), CampoPacote::inteiro("B")}, {1}).escrever(); }));
    EXPECT_TRUE(ehInvalido([] { PacoteDados().escrever(); }));
}

TEST(PacoteEscrita, MetadadosAlemDe64KiBDispensamODeslocamento)
{
    // Past 0xFFFF the 16-bit data offset cannot be written; the header then only flags the metadata.
    QList<CampoPacote> campos;
    QVariantList registro;
    for (int i = 0; i < 1000; ++i) {
        campos.append(CampoPacote::texto(QStringLiteral("CAMPO_%1_").arg(i, 4, 10, QChar(u'0')).leftJustified(60, u'X'), 5));
        registro.append(QString::number(i % 100));
    }
    const PacoteDados p = pacoteDe(campos, registro);
    const QByteArray bytes = p.escrever();
    QTemporaryDir dir;
    const QString arquivo = dir.filePath("largo.cds");
    apoio::gravar(arquivo, bytes);
    const QJsonObject o = apoio::oraculo({arquivo})[u"largo.cds"].toObject();
    ASSERT_FALSE(o.contains(u"erro")) << s(o[u"erro"].toString());
    EXPECT_GT(o[u"fimMetadados"].toInt(), 0xFFFF);
    EXPECT_EQ(o[u"propriedades"].toInt(), 1);
    EXPECT_EQ(o[u"inicioDados"].toInt(), 0);
    EXPECT_EQ(PacoteDados::ler(bytes).registros, p.registros);
}

TEST(PacoteLeitura, PacotesTruncadosEmQualquerPontoSaoRecusados)
{
    QList<QByteArray> pacotes;
    for (const char *f : {"Vendas.cds", "bingo_dados.cds", "Clientes.cds", "Clientes_empty.cds", "custoly.cds"})
        pacotes.append(apoio::ler(apoio::pastaFixtures() + u'/' + QLatin1String(f)));
    PacoteDados aidf = PacotesAidf::novoAidf();
    aidf.adicionarRegistro();
    aidf.definirValor("NUMERO_AIDF", 1);
    aidf.definirValor("OBSERVACAO", "uma observação");
    aidf.definirValor("BRASAO", apoio::jpeg(16, 16, 0x336699));
    pacotes.append(aidf.escrever(PacoteDados::Forma::InsercaoPendente));
    QTemporaryDir dir;
    apoio::oraculoGerar({QStringLiteral("raros"), dir.path()});
    pacotes.append(apoio::ler(dir.filePath("aninhado.cds")));
    pacotes.append(apoio::ler(dir.filePath("tipos_raros.cds")));

    for (const QByteArray &inteiro : pacotes) {
        ASSERT_NO_THROW(PacoteDados::ler(inteiro));
        for (qsizetype n = 0; n < inteiro.size(); ++n) {
            QString texto;
            ASSERT_TRUE(ehInvalido([&] { PacoteDados::ler(inteiro.left(n)); }, &texto)) << n << " de " << inteiro.size();
            ASSERT_TRUE(texto.startsWith(u"Pacote de dados inválido: ")) << s(texto);
        }
    }
}

TEST(PacoteLeitura, PacotesDanificadosOuHostisSaoRecusados)
{
    // Bases whose layout the cases below patch.
    const QByteArray umInteiro = pacoteDe({CampoPacote::inteiro("ID")}, {5}).escrever(PacoteDados::Forma::InsercaoPendente);
    const QByteArray memo = pacoteDe({CampoPacote::inteiro("ID"), CampoPacote::memo("NOTA")}, {1, QStringLiteral("abcdef")}).escrever();
    const QByteArray hora = pacoteDe({CampoPacote{"H", TipoCampo::Hora}}, {QTime(10, 0)}).escrever();
    const QByteArray dataHora = pacoteDe({CampoPacote::dataHora("DH")}, {QDateTime(QDate(2024, 1, 1), QTime(0, 0))}).escrever();
    const QByteArray texto = pacoteDe({CampoPacote::texto("T", 10)}, {QStringLiteral("abc")}).escrever();
    const QByteArray vazio = apoio::ler(apoio::pastaFixtures() + "/Clientes_empty.cds");
    QTemporaryDir dir;
    apoio::oraculoGerar({QStringLiteral("raros"), dir.path()});
    const QByteArray aninhado = apoio::ler(dir.filePath("aninhado.cds"));

    const auto dados = [](const QByteArray &b) { return qsizetype(le16(b, 22)); };
    const auto log = [](const QByteArray &b) { return b.indexOf("CHANGE_LOG") + 10 + 4; };   // its element count

    // Nested tables declared inside each other, each one level deeper, until the budget runs out.
    QByteArray profundo(24, 0);
    poe32(profundo, 0, 0xBDE01996);
    poe16(profundo, 4, 2);
    poe32(profundo, 8, 24);
    poe16(profundo, 12, 2000);
    poe32(profundo, 18, 1);
    for (int k = 0; k < 2000; ++k) {
        QByteArray d("\x01T", 2);
        d += QByteArray(6, 0);
        poe16(d, 2, quint16(2000 - 1 - k));
        poe16(d, 4, 0x050E);
        d += QByteArray(2, 0);
        profundo += d;
    }

    struct Caso
    {
        const char *nome;
        QByteArray base;
        std::function<void(QByteArray &)> estragar;
    };
    const Caso casos[] = {
        {"arquivo vazio", umInteiro, [](QByteArray &b) { b.clear(); }},
        {"cabeçalho curto", umInteiro, [](QByteArray &b) { b.truncate(23); }},
        {"assinatura errada", umInteiro, [](QByteArray &b) { b[0] = 'X'; }},
        {"texto qualquer", umInteiro, [](QByteArray &b) { b = QByteArray("<?xml version=\"1.0\"?><DATAPACKET/>").leftJustified(64, ' '); }},
        {"versão desconhecida", umInteiro, [](QByteArray &b) { poe16(b, 4, 4); }},
        {"cabeçalho maior que o arquivo", umInteiro, [](QByteArray &b) { poe32(b, 8, 100000); }},
        {"cabeçalho menor que 24", umInteiro, [](QByteArray &b) { poe32(b, 8, 4); }},
        {"sem campos", umInteiro, [](QByteArray &b) { poe16(b, 12, 0); }},
        {"campos demais", umInteiro, [](QByteArray &b) { poe16(b, 12, 0xFFFF); }},
        {"registros demais", vazio, [](QByteArray &b) { poe32(b, 14, 0xFFFFFFFF); }},
        {"registros a mais que os bytes", umInteiro, [](QByteArray &b) { poe32(b, 14, 2); }},
        {"sem metadados", umInteiro, [](QByteArray &b) { poe32(b, 18, 0); }},
        {"corpo em XML", umInteiro, [](QByteArray &b) { poe32(b, 18, 0x8003); }},
        {"início dos dados errado", umInteiro, [&](QByteArray &b) { poe16(b, 22, quint16(dados(b) + 1)); }},
        {"byte a mais no fim", umInteiro, [](QByteArray &b) { b.append('\0'); }},
        {"nome de campo vazio", umInteiro, [](QByteArray &b) { b[24] = 0; }},
        {"nome de campo além do fim", umInteiro, [](QByteArray &b) { b[24] = char(200); }},
        {"parâmetros de campo demais", umInteiro, [](QByteArray &b) { poe16(b, 24 + 1 + 2 + 6, 0xFFFF); }},
        {"parâmetros do pacote demais", umInteiro, [](QByteArray &b) { poe16(b, b.indexOf("CHANGE_LOG") - 3, 0xFFFF); }},
        {"registro de alterações gigante", umInteiro, [&](QByteArray &b) { poe32(b, log(b), 0x3FFFFFFF); }},
        {"registro de alterações aponta além", umInteiro, [&](QByteArray &b) { poe32(b, log(b) + 4, 2); }},
        {"registro de alterações aponta o zero", umInteiro, [&](QByteArray &b) { poe32(b, log(b) + 4, 0); }},
        {"modificação de si mesmo", umInteiro, [&](QByteArray &b) { poe32(b, log(b) + 8, 1); poe32(b, log(b) + 12, 8); }},
        {"registro de alterações de 2 bytes", umInteiro, [&](QByteArray &b) { poe16(b, log(b) - 4, 2); }},
        {"marca de nulo 3", umInteiro, [&](QByteArray &b) { b[dados(b) + 1] = 3; }},
        {"memo mais longo que o pacote", memo, [&](QByteArray &b) { poe32(b, b.indexOf("abcdef") - 4, 7); }},
        {"memo de 4 GiB", memo, [&](QByteArray &b) { poe32(b, b.indexOf("abcdef") - 4, 0x7FFFFFF0); }},
        {"texto mais longo que o pacote", texto, [&](QByteArray &b) { b[b.indexOf("abc", 30) - 1] = char(200); }},
        {"prefixo de 3 bytes", texto, [](QByteArray &b) { poe16(b, 24 + 1 + 1, 3); }},
        {"tipo composto", umInteiro, [](QByteArray &b) { poe16(b, 24 + 1 + 2 + 2, 12); }},
        {"hora além do dia", hora, [&](QByteArray &b) { poe32(b, dados(b) + 2, 86400000); }},
        {"hora negativa", hora, [&](QByteArray &b) { poe32(b, dados(b) + 2, 0xFFFFFFFF); }},
        {"data-hora NaN", dataHora, [&](QByteArray &b) { poe32(b, dados(b) + 2, 0); poe32(b, dados(b) + 6, 0x7FF80000); }},
        {"data-hora infinita", dataHora, [&](QByteArray &b) { poe32(b, dados(b) + 2, 0); poe32(b, dados(b) + 6, 0x7FF00000); }},
        {"tabela aninhada com mais filhos que o pacote", aninhado, [](QByteArray &b) { poe16(b, b.indexOf("ITENS") + 5, 40); }},
        {"linhas aninhadas demais", aninhado, [&](QByteArray &b) { poe32(b, dados(b) + 6, 0x7FFFFFFF); }},
        {"aninhamento profundo", profundo, [](QByteArray &) {}},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        QByteArray b = c.base;
        c.estragar(b);
        QString erro;
        EXPECT_TRUE(ehInvalido([&] { PacoteDados::ler(b); }, &erro));
        EXPECT_TRUE(erro.startsWith(u"Pacote de dados inválido: ")) << s(erro);
    }
}

TEST(PacoteImagem, JpegReconhecidoComOuSemCabecalhoDeGrafico)
{
    const QByteArray jpeg = apoio::jpeg(24, 12, 0xCC2200);
    QByteArray comCabecalho("\x01\x00\x00\x01", 4);
    comCabecalho += QByteArray(4, 0);
    poe32(comCabecalho, 4, quint32(jpeg.size()));
    comCabecalho += jpeg;

    EXPECT_TRUE(ehImagemJpeg(jpeg));
    EXPECT_TRUE(ehImagemJpeg(comCabecalho));
    EXPECT_EQ(bytesDaImagem(comCabecalho), jpeg);
    EXPECT_EQ(bytesDaImagem(jpeg), jpeg);

    const QByteArray bmp = PacoteDados::lerArquivo(apoio::pastaFixtures() + "/animals.cds").valor("BMP").toByteArray();
    EXPECT_TRUE(bytesDaImagem(bmp).startsWith("BM"));
    EXPECT_FALSE(ehImagemJpeg(bmp));
    EXPECT_FALSE(ehImagemJpeg(QByteArray()));
    EXPECT_FALSE(ehImagemJpeg(QByteArray("\xFF\xD8\xFF\xE0 isto não é uma imagem", 30)));
    EXPECT_FALSE(ehImagemJpeg(QByteArray("\x89PNG\r\n\x1a\n", 8)));
}
