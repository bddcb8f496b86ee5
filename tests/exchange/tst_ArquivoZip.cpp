// The encrypted zip container: extraction that stays inside its folder, replacing members,
// Info-ZIP in both directions, wrong passwords and damaged archives.
#include "Apoio.h"

#include "ArquivoZip.h"
#include "Erros.h"
#include "PacotesAidf.h"
#include "uFuncoes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <functional>

using namespace lumaro;

namespace {

std::string s(const QString &t) { return t.toStdString(); }

struct MembroBruto
{
    QByteArray nome;
    QByteArray conteudo;
};

// Writes an archive with libzip directly, names exactly as given: what a careless or hostile
// writer could produce, which our own writer refuses to.
void zipBruto(const QString &caminho, const QList<MembroBruto> &membros, const char *senha, zip_int32_t metodo = ZIP_CM_DEFLATE)
{
    int erro = 0;
    zip_t *z = zip_open(QFile::encodeName(caminho).constData(), ZIP_CREATE | ZIP_TRUNCATE, &erro);
    ASSERT_NE(z, nullptr) << erro;
    for (const MembroBruto &m : membros) {
        zip_source_t *fonte = zip_source_buffer(z, m.conteudo.constData(), zip_uint64_t(m.conteudo.size()), 0);
        ASSERT_NE(fonte, nullptr);
        const zip_int64_t i = zip_file_add(z, m.nome.constData(), fonte, ZIP_FL_ENC_RAW);
        ASSERT_GE(i, 0) << m.nome.constData() << ": " << zip_strerror(z);
        zip_set_file_compression(z, zip_uint64_t(i), metodo, 9);
        if (senha)
            ASSERT_EQ(zip_file_set_encryption(z, zip_uint64_t(i), ZIP_EM_TRAD_PKWARE, senha), 0);
    }
    ASSERT_EQ(zip_close(z), 0) << zip_strerror(z);
}

QStringList conteudoDaPasta(const QString &pasta)
{
    return QDir(pasta).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

bool daErro(const std::function<void()> &f, QString *texto = nullptr)
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

QByteArray textoLongo(int linhas)
{
    QByteArray b;
    for (int i = 0; i < linhas; ++i)
        b += "Linha " + QByteArray::number(i) + " de um pacote de dados que se comprime bem.\r\n";
    return b;
}

QByteArray aleatorio(int n, quint32 semente)
{
    QRandomGenerator g(semente);
    QByteArray b(n, 0);
    for (char &c : b)
        c = char(g.bounded(256));
    return b;
}

} // namespace

TEST(ZipExtracao, NadaSaiDaPastaQualquerQueSejaONomeGuardado)
{
    QTemporaryDir raiz;
    const QString alvo = raiz.filePath("Aidfs");
    ASSERT_TRUE(QDir().mkpath(alvo));
    const QString arquivo = raiz.filePath("hostil.zip");
    ASSERT_FALSE(QFileInfo::exists("/abs/root.txt"));
    zipBruto(arquivo,
             {
                 {"sub/X.Aidf", "x"},
                 {"../evil.txt", "evil"},
                 {"../../../../../../../../tmp/fora.txt", "fora"},
                 {"/abs/root.txt", "root"},
                 {"dir\\win.txt", "win"},
                 {"a/../../b.txt", "b"},
                 {"C:\\Windows\\c.txt", "c"},
                 {"sub/", ""},
                 {"..", "ponto-ponto"},
                 {".", "ponto"},
                 {"x/..", "x-ponto-ponto"},
                 {"a/dup.txt", "primeiro"},
                 {"b\\dup.txt", "segundo"},
             },
             ArquivoZip::kSenha);

    const QStringList nomes = ArquivoZip::extrairTudo(arquivo, alvo);
    EXPECT_EQ(nomes, (QStringList{"X.Aidf", "evil.txt", "fora.txt", "root.txt", "win.txt", "b.txt", "c.txt", "dup.txt"}));
    EXPECT_EQ(conteudoDaPasta(alvo), (QStringList{"X.Aidf", "b.txt", "c.txt", "dup.txt", "evil.txt", "fora.txt", "root.txt", "win.txt"}));
    EXPECT_EQ(apoio::ler(alvo + "/X.Aidf"), "x");
    EXPECT_EQ(apoio::ler(alvo + "/root.txt"), "root");
    EXPECT_EQ(apoio::ler(alvo + "/dup.txt"), "segundo");   // archive order: the later one wins
    EXPECT_EQ(conteudoDaPasta(raiz.path()), (QStringList{"Aidfs", "hostil.zip"}));
    EXPECT_FALSE(QFileInfo::exists("/abs/root.txt"));
}

TEST(ZipExtracao, SubstituiArquivoDeMesmoNomeSemSeguirLinks)
{
    QTemporaryDir raiz;
    const QString alvo = raiz.filePath("Aidfs");
    ASSERT_TRUE(QDir().mkpath(alvo));
    apoio::gravar(alvo + "/X.Aidf", "versão antiga, mais longa que a nova");
    apoio::gravar(raiz.filePath("fora.txt"), "não mexa");
    ASSERT_TRUE(QFile::link(raiz.filePath("fora.txt"), alvo + "/Y.Aidf"));
    const QString arquivo = raiz.filePath("X.PrefGraf");
    ArquivoZip::adicionar(arquivo, "X.Aidf", "nova");
    ArquivoZip::adicionar(arquivo, "Y.Aidf", "pelo link não");

    EXPECT_EQ(ArquivoZip::extrairTudo(arquivo, alvo), (QStringList{"X.Aidf", "Y.Aidf"}));
    EXPECT_EQ(apoio::ler(alvo + "/X.Aidf"), "nova");
    EXPECT_EQ(apoio::ler(raiz.filePath("fora.txt")), "não mexa");
    EXPECT_FALSE(QFileInfo(alvo + "/Y.Aidf").isSymLink());
    EXPECT_EQ(apoio::ler(alvo + "/Y.Aidf"), "pelo link não");
    EXPECT_EQ(conteudoDaPasta(alvo), (QStringList{"X.Aidf", "Y.Aidf"}));   // no temporary left behind
}

TEST(ZipExtracao, PacoteQueGuardaOutroMembroNaoTrazOEsperado)
{
    QTemporaryDir raiz;
    const QString alvo = raiz.filePath("Aidfs");
    ASSERT_TRUE(QDir().mkpath(alvo));
    const QString pacote = raiz.filePath("X.PrefGraf");
    ArquivoZip::adicionar(pacote, "Y.Aidf", "outro pedido");
    EXPECT_EQ(PacotesAidf::nomeMembroDados(pacote), "X.Aidf");
    EXPECT_EQ(ArquivoZip::extrairTudo(pacote, alvo), QStringList{"Y.Aidf"});
    EXPECT_FALSE(QFileInfo::exists(alvo + "/X.Aidf"));
    QString texto;
    EXPECT_TRUE(daErro([&] { ArquivoZip::lerMembro(pacote, "X.Aidf"); }, &texto));
    EXPECT_TRUE(texto.contains("X.Aidf")) << s(texto);
    // The member's name is found whatever its letter case or stored folder.
    zipBruto(pacote, {{"pasta/x.AIDF", "o pedido"}}, ArquivoZip::kSenha);
    EXPECT_EQ(ArquivoZip::lerMembro(pacote, PacotesAidf::nomeMembroDados(pacote)), "o pedido");
}

TEST(ZipExtracao, PacotesDeRetornoPeloNumeroDoPedido)
{
    struct Caso
    {
        qint64 numero;
        const char *base;
    };
    const Caso casos[] = {{1234, "000001234GrafRe"}, {1234567890, "1234567890GrafRe"}, {7, "000000007GrafRe"}};
    QTemporaryDir raiz;
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.base);
        const QString base = CompletarZeros(QString::number(c.numero), 9) + "GrafRe";
        ASSERT_EQ(base, c.base);
        const QString arquivo = raiz.filePath(base + ".Graf");
        const QString membro = PacotesAidf::nomeMembroDados(arquivo);
        EXPECT_EQ(membro, base + ".Aidf");
        PacoteDados r = PacotesAidf::novoRetorno();
        r.adicionarRegistro();
        r.definirValor("NUMERO_AIDF", c.numero > 0x7FFFFFFF ? QVariant() : QVariant(c.numero));
        r.definirValor("STATUS", "5");
        ArquivoZip::adicionar(arquivo, membro, r.escrever());
        const QString alvo = raiz.filePath(base);
        QDir().mkpath(alvo);
        EXPECT_EQ(ArquivoZip::extrairTudo(arquivo, alvo), QStringList{membro});
        EXPECT_EQ(PacoteDados::lerArquivo(alvo + u'/' + membro).registros, r.registros);
    }
}

TEST(ZipAdicionar, SubstituiOMembroDeMesmoNomeEGuardaOsOutros)
{
    QTemporaryDir raiz;
    const QString arquivo = raiz.filePath("000001234GrafRe.Graf");
    const QByteArray outro = aleatorio(5000, 1);
    ArquivoZip::adicionar(arquivo, "000001234GrafRe.Aidf", "primeira versão");
    ArquivoZip::adicionar(arquivo, "outro.bin", outro);
    ArquivoZip::adicionar(arquivo, "000001234grafre.AIDF", "segunda versão");   // the name, letter case aside
    ArquivoZip::adicionar(arquivo, "000001234GrafRe.Aidf", "terceira versão");

    const QList<ArquivoZip::Membro> membros = ArquivoZip::membros(arquivo);
    ASSERT_EQ(membros.size(), 2);
    EXPECT_EQ(membros[0].nome, "000001234GrafRe.Aidf");
    EXPECT_EQ(membros[1].nome, "outro.bin");
    EXPECT_TRUE(membros[0].cifrado && membros[1].cifrado);
    EXPECT_EQ(ArquivoZip::lerMembro(arquivo, "000001234GrafRe.Aidf"), "terceira versão");
    EXPECT_EQ(ArquivoZip::lerMembro(arquivo, "outro.bin"), outro);

    // A member stored with a folder by someone else is the same member once folders are ignored.
    zipBruto(arquivo, {{"velho/R.Aidf", "velho"}, {"R.Aidf", "também velho"}, {"S.Aidf", "fica"}}, ArquivoZip::kSenha);
    ArquivoZip::adicionar(arquivo, "R.Aidf", "novo");
    QStringList nomes;
    for (const auto &m : ArquivoZip::membros(arquivo))
        nomes << m.nome;
    EXPECT_EQ(nomes, (QStringList{"R.Aidf", "S.Aidf"}));
    EXPECT_EQ(ArquivoZip::lerMembro(arquivo, "R.Aidf"), "novo");

    // From a file: stored under the file's own name.
    const QString solto = raiz.filePath("solto.Aidf");
    apoio::gravar(solto, "conteúdo do arquivo");
    ArquivoZip::adicionarArquivo(arquivo, solto);
    EXPECT_EQ(ArquivoZip::lerMembro(arquivo, "solto.Aidf"), "conteúdo do arquivo");
}

TEST(ZipAdicionar, RecusaNomesComPastaEArquivosQueNaoSaoZip)
{
    QTemporaryDir raiz;
    const QString arquivo = raiz.filePath("a.Graf");
    for (const char *nome : {"", "sub/x.Aidf", "..\\x.Aidf", "..", "."}) {
        SCOPED_TRACE(nome);
        EXPECT_TRUE(daErro([&] { ArquivoZip::adicionar(arquivo, QString::fromUtf8(nome), "x"); }));
    }
    EXPECT_FALSE(QFileInfo::exists(arquivo));

    const QString texto = raiz.filePath("texto.Graf");
    apoio::gravar(texto, "isto é texto, não um arquivo compactado, e é bem mais longo que 22 bytes");
    EXPECT_TRUE(daErro([&] { ArquivoZip::adicionar(texto, "x.Aidf", "x"); }));
    EXPECT_EQ(apoio::ler(texto), "isto é texto, não um arquivo compactado, e é bem mais longo que 22 bytes");
    EXPECT_TRUE(daErro([&] { ArquivoZip::adicionarArquivo(arquivo, raiz.filePath("não existe.Aidf")); }));
}

TEST(ZipInfoZip, NossosArquivosAbremNoUnzipComASenha)
{
    QTemporaryDir raiz;
    const QString arquivo = raiz.filePath("X.PrefGraf");
    const QByteArray pacote = textoLongo(200);
    const QByteArray binario = aleatorio(70000, 2);
    ArquivoZip::adicionar(arquivo, "X.Aidf", pacote);
    ArquivoZip::adicionar(arquivo, "imagem.bin", binario);

    apoio::Execucao e = apoio::executar("unzip", {"-P", "ZOWK", "-t", arquivo});
    EXPECT_EQ(e.codigo, 0) << e.saida.toStdString();
    EXPECT_TRUE(e.saida.contains("No errors detected")) << e.saida.toStdString();
    e = apoio::executar("unzip", {"-P", "ZOWK", "-p", arquivo, "X.Aidf"});
    EXPECT_EQ(e.codigo, 0);
    EXPECT_EQ(e.saida, pacote);
    e = apoio::executar("unzip", {"-P", "ZOWK", "-p", arquivo, "imagem.bin"});
    EXPECT_EQ(e.saida, binario);

    // Encrypted, deflated at the highest level, stored without folders.
    e = apoio::executar("zipinfo", {"-v", arquivo});
    EXPECT_EQ(e.saida.count("file security status:                           encrypted"), 2) << e.saida.toStdString();
    EXPECT_GE(e.saida.count("compression sub-type (deflation):               maximum"), 1) << e.saida.toStdString();
    EXPECT_FALSE(e.saida.contains("/X.Aidf"));

    e = apoio::executar("unzip", {"-P", "ERRADA", "-t", arquivo});
    EXPECT_NE(e.codigo, 0);
    e = apoio::executar("unzip", {"-t", "-P", "", arquivo});
    EXPECT_NE(e.codigo, 0);
}

TEST(ZipInfoZip, ArquivosDoZipSaoExtraidosAqui)
{
    struct Caso
    {
        const char *nome;
        QStringList opcoes;
    };
    const Caso casos[] = {
        {"comprimido, com senha", {"-9", "-P", "ZOWK"}},
        {"armazenado, com senha", {"-0", "-P", "ZOWK"}},
        {"comprimido, sem senha", {"-9"}},
    };
    QTemporaryDir raiz;
    const QString origem = raiz.filePath("origem");
    QDir().mkpath(origem + "/sub/mais");
    const QByteArray pacote = textoLongo(50);
    const QByteArray imagem = aleatorio(30000, 3);
    apoio::gravar(origem + "/X.Aidf", pacote);
    apoio::gravar(origem + "/sub/mais/Y.jpg", imagem);
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        const QString arquivo = raiz.filePath("X.PrefGraf");
        QFile::remove(arquivo);
        const apoio::Execucao z = apoio::executar("zip", QStringList{"-q", "-r"} + c.opcoes + QStringList{arquivo, "X.Aidf", "sub"}, origem);
        ASSERT_EQ(z.codigo, 0) << z.erro.toStdString();
        const QString alvo = raiz.filePath(QStringLiteral("alvo-%1").arg(c.opcoes.first()) + (c.opcoes.size() > 1 ? "s" : ""));
        QDir().mkpath(alvo);
        const QStringList nomes = ArquivoZip::extrairTudo(arquivo, alvo);
        EXPECT_EQ(nomes, (QStringList{"X.Aidf", "Y.jpg"}));
        EXPECT_EQ(conteudoDaPasta(alvo), (QStringList{"X.Aidf", "Y.jpg"}));
        EXPECT_EQ(apoio::ler(alvo + "/X.Aidf"), pacote);
        EXPECT_EQ(apoio::ler(alvo + "/Y.jpg"), imagem);
        EXPECT_EQ(ArquivoZip::lerMembro(arquivo, "y.JPG"), imagem);
        // Replacing a member of an Info-ZIP archive keeps the others readable by Info-ZIP.
        ArquivoZip::adicionar(arquivo, "X.Aidf", "substituído");
        const apoio::Execucao u = apoio::executar("unzip", {"-P", "ZOWK", "-p", arquivo, "sub/mais/Y.jpg"});
        EXPECT_EQ(u.saida, imagem);
        EXPECT_EQ(apoio::executar("unzip", {"-P", "ZOWK", "-p", arquivo, "X.Aidf"}).saida, "substituído");
    }
}

TEST(ZipErros, SenhaErradaSempreDaErroENaoEstragaOQueHavia)
{
    // Traditional encryption checks one byte: some wrong passwords pass the check and only fail
    // on the data. Every one of them must end in an error.
    QTemporaryDir raiz;
    const QString arquivo = raiz.filePath("X.PrefGraf");
    ArquivoZip::adicionar(arquivo, "X.Aidf", textoLongo(400));
    const QString alvo = raiz.filePath("Aidfs");
    QDir().mkpath(alvo);
    apoio::gravar(alvo + "/X.Aidf", "o que já estava");
    int passaramDoCabecalho = 0;
    for (int i = 0; i < 600; ++i) {
        const QByteArray senha = "S" + QByteArray::number(i);
        QString texto;
        ASSERT_TRUE(daErro([&] { ArquivoZip::extrairTudo(arquivo, alvo, senha); }, &texto)) << senha.constData();
        ASSERT_TRUE(texto.startsWith("Senha incorreta ou arquivo danificado: ")) << s(texto);
        if (!texto.contains("Wrong password"))
            ++passaramDoCabecalho;
    }
    EXPECT_EQ(apoio::ler(alvo + "/X.Aidf"), "o que já estava");
    EXPECT_EQ(conteudoDaPasta(alvo), QStringList{"X.Aidf"});
    EXPECT_GT(passaramDoCabecalho, 0);   // the pitfall was really exercised
    EXPECT_TRUE(daErro([&] { ArquivoZip::lerMembro(arquivo, "X.Aidf", "ERRADA"); }));
    EXPECT_EQ(ArquivoZip::lerMembro(arquivo, "X.Aidf"), textoLongo(400));
}

TEST(ZipErros, ArquivosDanificadosDaoErroClaro)
{
    QTemporaryDir raiz;
    const QString modelo = raiz.filePath("modelo.zip");
    ArquivoZip::adicionar(modelo, "X.Aidf", textoLongo(100));
    const QByteArray cifrado = apoio::ler(modelo);
    const QString modeloAberto = raiz.filePath("aberto.zip");
    zipBruto(modeloAberto, {{"X.Aidf", textoLongo(100)}}, nullptr);
    const QByteArray aberto = apoio::ler(modeloAberto);
    const qsizetype meioDosDados = 30 + 6 + 100;   // past the local header and name, inside the compressed data

    struct Caso
    {
        const char *nome;
        QByteArray bytes;
        const char *inicioDaMensagem;
    };
    QList<Caso> casos = {
        {"arquivo vazio", QByteArray(), "Arquivo compactado vazio ou danificado: "},
        {"texto", "isto não é um arquivo compactado, só um texto qualquer com mais de 22 bytes", "Arquivo compactado inválido ou danificado: "},
        {"só o fim do diretório", cifrado.right(22), nullptr},
        {"diretório central estragado", [&] { QByteArray b = cifrado; b[b.lastIndexOf("PK\x01\x02")] = 'X'; return b; }(), nullptr},
        {"dados cifrados estragados", [&] { QByteArray b = cifrado; for (int i = 0; i < 8; ++i) b[meioDosDados + i] = char(~b[meioDosDados + i]); return b; }(),
         "Senha incorreta ou arquivo danificado: "},
        {"dados abertos estragados", [&] { QByteArray b = aberto; for (int i = 0; i < 8; ++i) b[meioDosDados + i] = char(~b[meioDosDados + i]); return b; }(),
         "Arquivo compactado danificado: "},
    };
    for (qsizetype n = 1; n < cifrado.size(); ++n)
        casos.append({"truncado", cifrado.left(n), nullptr});

    const QString alvo = raiz.filePath("Aidfs");
    QDir().mkpath(alvo);
    const QString arquivo = raiz.filePath("danificado.PrefGraf");
    for (const Caso &c : casos) {
        SCOPED_TRACE(std::string(c.nome) + " (" + std::to_string(c.bytes.size()) + " bytes)");
        apoio::gravar(arquivo, c.bytes);
        QString texto;
        ASSERT_TRUE(daErro([&] { ArquivoZip::extrairTudo(arquivo, alvo); }, &texto));
        ASSERT_TRUE(texto.contains(arquivo)) << s(texto);
        if (c.inicioDaMensagem)
            EXPECT_TRUE(texto.startsWith(QString::fromUtf8(c.inicioDaMensagem))) << s(texto);
        ASSERT_TRUE(daErro([&] { ArquivoZip::lerMembro(arquivo, "X.Aidf"); }));
        ASSERT_TRUE(conteudoDaPasta(alvo).isEmpty());
    }

    QString texto;
    EXPECT_TRUE(daErro([&] { ArquivoZip::extrairTudo(raiz.filePath("não existe.PrefGraf"), alvo); }, &texto));
    EXPECT_TRUE(texto.startsWith("Arquivo não encontrado: ")) << s(texto);
    EXPECT_TRUE(daErro([&] { ArquivoZip::extrairTudo(modelo, raiz.filePath("pasta que não existe")); }));
}
