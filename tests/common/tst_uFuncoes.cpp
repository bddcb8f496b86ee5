#include "uFuncoes.h"

#include "DialogosRoteirizados.h"
#include "Win1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>

using namespace lumaro;

static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

std::string txt(const QString &s)
{
    return s.toStdString();
}

// The one warning of a rejected number, or nothing at all when mensagem is empty.
void conferirAviso(const teste::DialogosRoteirizados &d, const QString &mensagem)
{
    if (mensagem.isEmpty()) {
        EXPECT_TRUE(d.mostradas.isEmpty()) << txt(d.textos().join(u'|'));
        return;
    }
    ASSERT_EQ(d.mostradas.size(), 1);
    const Mensagem &m = d.mostradas.first();
    EXPECT_EQ(m.titulo, QStringLiteral("Aviso"));
    EXPECT_EQ(m.texto, mensagem);
    EXPECT_EQ(m.icone, Icone::Aviso);
    EXPECT_FALSE(m.topo);
    EXPECT_EQ(m.botoes, int(Ok));
}

// ---------------------------------------------------------------------------------------------
// CNPJ and CPF

const QString kDado = QStringLiteral("Dado inválido.");
const QString kCnpjZeros = QStringLiteral("C.N.P.J. Inválido");
const QString kCnpj = QStringLiteral("C.N.P.J. inválido.");
const QString kCpf = QStringLiteral("C.P.F. inválido.");

TEST(FuncoesCNPJCPF, CasosConhecidosComSeusAvisos)
{
    struct Caso { QString texto; bool valido; QString mensagem; };
    const Caso casos[] = {
        {"12.345.678/0001-95", true, {}},
        {"12345678000195", true, {}},
        {"123.456.789-09", true, {}},
        {"12345678909", true, {}},
        {" 123a456b789c09 ", true, {}},              // only the digits count
        {"00.000.000/0001-91", true, {}},            // zeros in front are no special case
        {"11.111.111/1111-80", true, {}},            // a repeated CNPJ base is just arithmetic
        {"111.111.111-11", false, kDado},            // right digits, but one repeated digit
        {"00000000000", false, kDado},
        {"999.999.999-99", false, kDado},
        {"00.000.000/0000-00", false, kCnpjZeros},
        {"00.000.000/0000-12", false, kCnpjZeros},
        {"12.345.678/0001-96", false, kCnpj},
        {"12.345.678/0001-59", false, kCnpj},        // digits swapped
        {"11.111.111/1111-11", false, kCnpj},
        {"123.456.789-08", false, kCpf},
        {"123.456.789-90", false, kCpf},
        {"111.111.111-12", false, kCpf},             // not all alike: a plain CPF
        {"1234567890123", false, kDado},             // 13 digits
        {"123456789012345", false, kDado},           // 15 digits
        {"1234567890", false, kDado},
        {"", false, kDado},
        {"abc./-", false, kDado},
        {QString::fromUtf8("１２３４５６７８９０９"), false, kDado}, // full-width digits are no digits
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(txt(c.texto));
        {
            teste::DialogosRoteirizados d;
            EXPECT_EQ(ValidarCNPJCPF(c.texto, true), c.valido);
            conferirAviso(d, c.mensagem);
        }
        {
            teste::DialogosRoteirizados d;
            EXPECT_EQ(ValidarCNPJCPF(c.texto, false), c.valido);
            EXPECT_TRUE(d.mostradas.isEmpty());
        }
    }
}

// Numbers judged by python-stdnum, so that the check-digit arithmetic is compared with an
// implementation that owes nothing to ours.
TEST(FuncoesCNPJCPF, ConcordaComStdnum)
{
    const QString script = QStringLiteral(LUMARO_SOURCE_DIR "/tests/common/gerar_cnpj_cpf.py");
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {script, QStringLiteral("200")});
    ASSERT_TRUE(p.waitForFinished(60000)) << txt(p.errorString());
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(p.exitCode(), 0) << "the fixture needs python3-stdnum: "
                               << p.readAllStandardError().toStdString();

    const QList<QByteArray> linhas = p.readAllStandardOutput().split('\n');
    QMap<QString, int> vistos; // kind + validity, to be sure the fixture covered each group
    for (const QByteArray &linha : linhas) {
        if (linha.isEmpty())
            continue;
        const QList<QByteArray> campos = linha.split('\t');
        ASSERT_EQ(campos.size(), 4) << linha.toStdString();
        const QString tipo = QString::fromLatin1(campos[0]);
        const QString digitos = QString::fromLatin1(campos[1]);
        const QString pontuado = QString::fromLatin1(campos[2]);
        const bool valido = campos[3] == "1";
        ++vistos[tipo + (valido ? u'+' : u'-')];
        SCOPED_TRACE(linha.toStdString());

        const QString mensagem = valido ? QString()
                                 : tipo == u"cnpj" ? kCnpj
                                 : tipo == u"cpf" ? kCpf
                                                  : kDado;
        teste::DialogosRoteirizados d;
        EXPECT_EQ(ValidarCNPJCPF(digitos, true), valido);
        conferirAviso(d, mensagem);
        EXPECT_EQ(ValidarCNPJCPF(pontuado, false), valido);
        if (tipo != u"outro") {
            EXPECT_EQ(FormatarCNPJCPF(digitos), pontuado);
        }
    }
    for (const char *grupo : {"cnpj+", "cnpj-", "cpf+", "cpf-", "outro-"})
        EXPECT_GT(vistos.value(QString::fromLatin1(grupo)), 0) << grupo;
}

// ---------------------------------------------------------------------------------------------
// Text operations

TEST(FuncoesTexto, SomenteNumeros)
{
    const std::pair<QString, QString> casos[] = {
        {"12.345.678/0001-95", "12345678000195"},
        {"", ""},
        {"abc", ""},
        {" 0 9 ", "09"},
        {QString::fromUtf8("²³¹٣５7"), "7"}, // other digit characters are not "0" to "9"
    };
    for (const auto &[texto, esperado] : casos)
        EXPECT_EQ(SomenteNumeros(texto), esperado) << txt(texto);
}

TEST(FuncoesTexto, FormatarCNPJCPF)
{
    const std::pair<QString, QString> casos[] = {
        {"", ""},
        {"12345678000195", "12.345.678/0001-95"},
        {"12345678909", "123.456.789-09"},
        {"12345", "123.45.-"},
        {"1", "1..-"},
        {"1234567890123", "123.456.789-01"},    // 13: CPF pattern, the rest dropped
        {"123456789012345", "123.456.789-01"},  // 15 likewise
        {"ab.cd.ef.gh.ij", "ab..cd..ef/.gh.-ij"}, // 14 characters of anything
    };
    for (const auto &[texto, esperado] : casos)
        EXPECT_EQ(FormatarCNPJCPF(texto), esperado) << txt(texto);
}

TEST(FuncoesTexto, CompletarZeros)
{
    const struct { QString texto; int largura; QString esperado; } casos[] = {
        {"1234", 9, "000001234"},
        {"1234567890", 9, "1234567890"},
        {"123456789", 9, "123456789"},
        {"", 3, "000"},
        {"ab", 4, "00ab"},
        {"7", 0, "7"},
        {"7", -5, "7"},
    };
    for (const auto &c : casos)
        EXPECT_EQ(CompletarZeros(c.texto, c.largura), c.esperado) << txt(c.texto) << ' ' << c.largura;
}

TEST(FuncoesTexto, NomeSemExtensao)
{
    const std::pair<QString, QString> casos[] = {
        {"C:\\Entrada\\x.PrefGraf", "x"},
        {"C:\\a\\b.c.PrefGraf", "b.c"},
        {"C:\\a\\semextensao", "semextensao"},
        {"C:\\a.b\\semextensao", "semextensao"},      // a dot in the folder is no extension
        {"C:\\Aidfs\\Retorno\\0000012345GrafRe.Graf", "0000012345GrafRe"},
        {"C:x.Imp", "x"},
        {"/tmp/aidfs/y.PrefGraf", "y"},
        {"/tmp/a.b/semextensao", "semextensao"},
        {"a.txt.b.txt", "a.b.txt"},                   // the first occurrence goes
        {"x.TXT.txt", "x.TXT"},                       // letter case counts
        {"nome.", "nome"},
        {"C:\\a\\.oculto", ""},
        {"C:\\a\\", ""},
        {"", ""},
    };
    for (const auto &[caminho, esperado] : casos)
        EXPECT_EQ(NomeSemExtensao(caminho), esperado) << txt(caminho);
}

// ---------------------------------------------------------------------------------------------
// E-mail syntax

TEST(FuncoesEmail, Aceita)
{
    const QString casos[] = {
        "a@b.cd",
        "joao.da.silva@prefeitura.sp.gov.br",
        "\"joao silva\"@x.com",
        "\"a\".\"b\"@x.com",
        "\"a\".b.c@x.com",
        "\"\"@x.com",
        "\"a\\\"b\"@x.com",          // escaped quote
        "\"a\\\rb\"@x.com",          // an escaped carriage return
        "\"a\nb,(@)\"@x.com",        // inside quotes anything but a bare CR
        QString::fromUtf8("joão.çé@x.com"),
        QString::fromUtf8("€ÿ@x.com"),
        "!#$%&'*+-=?^_`{|}~@x.com",
        "a@b.c.d.e",
        "a@b.c1",
        "a@b-c.d",
        "a@b--c.d-e",
        "a@B.COM",
        "0@a0.b",
    };
    for (const QString &e : casos)
        EXPECT_TRUE(ValidarEmail(e)) << txt(e);
}

TEST(FuncoesEmail, Rejeita)
{
    const QString casos[] = {
        "",
        "a",
        "a@",
        "@x.com",
        "a@bcd",                    // no dot in the domain
        "a@1b.com",
        "a@b.1com",
        "a@-b.com",
        "a..b@x.com",
        ".a@x.com",
        "a.@x.com",
        "a@b-.com",
        "a@b.com-",
        "a@b.com.",
        "a@b..com",
        "a@@b.com",
        QString::fromUtf8("a@bé.com"),
        QString::fromUtf8("a@b.cé"),
        "a b@x.com",
        "a/b@x.com",
        "a,b@x.com",
        "a[b@x.com",
        "a\\b@x.com",
        QStringLiteral("a\x7f@x.com"),
        QStringLiteral("a\tb@x.com"),
        "a\"b\"@x.com",             // quote right after a word
        "\"a\"b@x.com",             // word right after a quote
        "\"a\rb\"@x.com",
        "\"a@x.com",                // never closed
        "a@b_c.com",
        "a@b.com ",
        " a@b.com",
        QString::fromUtf8("中@x.com"),  // no Windows-1252 byte
        QString::fromUtf8("\"中\"@x.com"),
    };
    for (const QString &e : casos)
        EXPECT_FALSE(ValidarEmail(e)) << txt(e);
}

// Every single code of the code page before the "@": exactly the 208 atoms make a valid address.
TEST(FuncoesEmail, ClasseDosAtomos)
{
    const QByteArray naoAtomos("\"(),./:;<>@[\\]");
    for (int b = 0; b < 256; ++b) {
        const bool atomo = b > 32 && b != 127 && !naoAtomos.contains(char(b));
        const QString e = deWin1252(QByteArray(1, char(b))) + QStringLiteral("@x.com");
        EXPECT_EQ(ValidarEmail(e), atomo) << b;
    }
}

// ---------------------------------------------------------------------------------------------
// Password shift

TEST(FuncoesSenha, Exemplos)
{
    const std::pair<QString, QString> casos[] = {
        {"abc", "XZ\\"},
        {"aaaaaaaaaaa", "XYZ[\\]^_`ab"},            // position 10 is left alone
        {"", ""},
        {QString(QChar(5)), QString::fromUtf8("ü")}, // below zero wraps to 252
        {QString(9, u'a') + QString::fromUtf8("ÿ") + u'a' + QString::fromUtf8("ÿ"),
         "XYZ[\\]^_`" + QString::fromUtf8("ÿb") + QChar(1)}, // above 255 wraps
        {"aaaaaaaaaaa~~", "XYZ[\\]^_`ab" + QString::fromUtf8("€") + QChar(0x81)},
        {QString::fromUtf8("€"), "w"},
    };
    for (const auto &[claro, codificado] : casos) {
        EXPECT_EQ(CodificarSenha(claro), codificado) << txt(claro);
        EXPECT_EQ(DecodificarSenha(codificado), claro) << txt(codificado);
    }
}

// Every byte at every position up to 127, both ways round.
TEST(FuncoesSenha, IdaEVoltaDeTodoByteEmTodaPosicao)
{
    for (int inicio = 0; inicio < 256; ++inicio) {
        QByteArray bytes(127, 0);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((inicio + i) & 0xFF);
        const QString texto = deWin1252(bytes);
        for (qsizetype n : {qsizetype(1), qsizetype(50), texto.size()}) {
            const QString t = texto.left(n);
            ASSERT_EQ(DecodificarSenha(CodificarSenha(t)), t) << inicio << ' ' << n;
            ASSERT_EQ(CodificarSenha(DecodificarSenha(t)), t) << inicio << ' ' << n;
        }
        // The shift works on the code page's bytes, not on the characters' Unicode values.
        const QByteArray codificado = paraWin1252(CodificarSenha(texto));
        ASSERT_EQ(codificado.size(), bytes.size());
        for (int i = 0; i < bytes.size(); ++i)
            ASSERT_EQ(uchar(codificado[i]), uchar((uchar(bytes[i]) + i + 1 - 10) & 0xFF))
                << inicio << ' ' << i;
    }
}

// ---------------------------------------------------------------------------------------------
// Deleting files by mask

void criar(const QString &caminho)
{
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << txt(caminho);
    f.write("x");
}

QStringList conteudo(const QString &pasta)
{
    QStringList nomes = QDir(pasta).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                              | QDir::NoDotAndDotDot);
    nomes.sort();
    return nomes;
}

TEST(FuncoesApagarArquivos, ApagaSoArquivosQueCasamComAMascara)
{
    // The folder as the program may hand it over.
    for (const QString &forma : {QStringLiteral("%1/"), QStringLiteral("%1"),
                                 QStringLiteral("%1\\")}) {
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        const QString p = tmp.path();
        SCOPED_TRACE(txt(forma));
        for (const char *n : {"ATT00001.TXT", "att2.txt", "Att3.Txt", "ATT.TXT", "ATT00001.TXT.bak",
                              "XATT1.TXT", "ATT1.TXTX", "ATT1TXT", "x.PrefGraf", "outro.txt"})
            criar(p + u'/' + QLatin1String(n));
        ASSERT_TRUE(QDir(p).mkdir(QStringLiteral("ATTX.TXT")));
        criar(p + QStringLiteral("/ATTX.TXT/ATT9.TXT")); // never goes into a subfolder
        // Read-only entries are enumerated too.
        QFile::setPermissions(p + QStringLiteral("/Att3.Txt"), QFile::ReadOwner);

        ApagarArquivos(forma.arg(p), QStringLiteral("ATT*.TXT"));

        EXPECT_EQ(conteudo(p), QStringList({"ATT00001.TXT.bak", "ATT1.TXTX", "ATT1TXT", "ATTX.TXT",
                                            "XATT1.TXT", "outro.txt", "x.PrefGraf"}));
        EXPECT_TRUE(QFile::exists(p + QStringLiteral("/ATTX.TXT/ATT9.TXT")));
    }
}

TEST(FuncoesApagarArquivos, MascarasEEntradasEspeciais)
{
    struct Caso { QString mascara; QStringList ficam; };
    const QStringList todos = {".oculto.txt", "a.txt", "ab.txt", "ab.TXT.old", "b.dat"};
    const Caso casos[] = {
        {"?.txt", {".oculto.txt", "ab.txt", "ab.TXT.old", "b.dat"}},
        {"a?.Txt", {".oculto.txt", "a.txt", "ab.TXT.old", "b.dat"}},
        {"*.txt", {"ab.TXT.old", "b.dat"}},                   // hidden files included
        {"*TXT*", {"b.dat"}},
        {"*", {}},
        {"*.*", {}},
        {"a*b*", {".oculto.txt", "a.txt", "b.dat"}},
        {"b.dat", {".oculto.txt", "a.txt", "ab.txt", "ab.TXT.old"}},
        {"", todos},
        {"nada*", todos},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(txt(c.mascara));
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        for (const QString &n : todos)
            criar(tmp.path() + u'/' + n);
        ApagarArquivos(tmp.path() + u'/', c.mascara);
        QStringList ficam = c.ficam;
        ficam.sort();
        EXPECT_EQ(conteudo(tmp.path()), ficam);
    }
}

TEST(FuncoesApagarArquivos, LigacoesSimbolicas)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString p = tmp.path();
    ASSERT_TRUE(QDir(p).mkdir(QStringLiteral("alvo")));
    criar(p + QStringLiteral("/alvo/ATT1.TXT"));
    ASSERT_TRUE(QFile::link(p + QStringLiteral("/alvo"), p + QStringLiteral("/ATTPASTA.TXT")));
    ASSERT_TRUE(QFile::link(p + QStringLiteral("/alvo/ATT1.TXT"), p + QStringLiteral("/ATTARQ.TXT")));
    ASSERT_TRUE(QFile::link(p + QStringLiteral("/sumiu"), p + QStringLiteral("/ATTQUEBRADA.TXT")));

    ApagarArquivos(p + u'/', QStringLiteral("ATT*.TXT"));

    // A link to a folder is a folder; links to files go, what they point to stays.
    EXPECT_EQ(conteudo(p), QStringList({"ATTPASTA.TXT", "alvo"}));
    EXPECT_TRUE(QFile::exists(p + QStringLiteral("/alvo/ATT1.TXT")));
}

TEST(FuncoesApagarArquivos, PastaInexistenteNaoTocaEmNada)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    criar(tmp.path() + QStringLiteral("/ATT1.TXT"));
    // A missing folder must not fall back to the working directory.
    const QString antes = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    ApagarArquivos(tmp.path() + QStringLiteral("/naoexiste/"), QStringLiteral("ATT*.TXT"));
    ApagarArquivos(tmp.path() + QStringLiteral("/naoexiste"), QStringLiteral("ATT*.TXT"));
    ApagarArquivos(tmp.path() + QStringLiteral("/ATT1.TXT/"), QStringLiteral("*")); // a file, not a folder
    QDir::setCurrent(antes);
    EXPECT_EQ(conteudo(tmp.path()), QStringList({"ATT1.TXT"}));
}

} // namespace
