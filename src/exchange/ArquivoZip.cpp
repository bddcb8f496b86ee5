#include "ArquivoZip.h"

#include "Erros.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <zip.h>

#include <memory>

namespace lumaro::ArquivoZip {

namespace {

struct FecharZip
{
    void operator()(zip_t *z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, FecharZip>;

struct FecharMembro
{
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
using ArquivoMembro = std::unique_ptr<zip_file_t, FecharMembro>;

QString textoErroZip(int codigo)
{
    zip_error_t e;
    zip_error_init_with_code(&e, codigo);
    const QString t = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return t;
}

QString nativo(const QString &caminho) { return QDir::toNativeSeparators(caminho); }

[[noreturn]] void erroAbertura(const QString &arquivo, int codigo)
{
    switch (codigo) {
    case ZIP_ER_NOENT:
        throw Erro(QStringLiteral("Arquivo não encontrado: %1").arg(nativo(arquivo)));
    case ZIP_ER_NOZIP:
        throw Erro(QStringLiteral("Arquivo compactado inválido ou danificado: %1").arg(nativo(arquivo)));
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
    case ZIP_ER_CRC:
    case ZIP_ER_MULTIDISK:
        throw Erro(QStringLiteral("Arquivo compactado danificado: %1 (%2)").arg(nativo(arquivo), textoErroZip(codigo)));
    default:
        throw Erro(QStringLiteral("Não foi possível abrir o arquivo compactado %1: %2").arg(nativo(arquivo), textoErroZip(codigo)));
    }
}

Zip abrirLeitura(const QString &arquivo)
{
    const QFileInfo info(arquivo);
    if (!info.exists())
        throw Erro(QStringLiteral("Arquivo não encontrado: %1").arg(nativo(arquivo)));
    // libzip takes an empty file for an empty archive; for a package it can only be damage.
    if (info.isFile() && info.size() == 0)
        throw Erro(QStringLiteral("Arquivo compactado vazio ou danificado: %1").arg(nativo(arquivo)));
    int codigo = 0;
    zip_t *z = zip_open(QFile::encodeName(arquivo).constData(), ZIP_RDONLY, &codigo);
    if (!z)
        erroAbertura(arquivo, codigo);
    return Zip(z);
}

QString nomeArmazenado(zip_t *z, zip_uint64_t i)
{
    const char *n = zip_get_name(z, i, ZIP_FL_ENC_GUESS);
    return n ? QString::fromUtf8(n) : QString();
}

// Reads one member in pieces, handing each to the sink. The checks after the last piece (CRC)
// are libzip's; any failure becomes an Erro naming the archive and the member.
template <typename Destino>
void lerConteudo(zip_t *z, zip_uint64_t i, const QString &arquivo, const QByteArray &senha, Destino &&destino)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(z, i, 0, &st) != 0)
        throw Erro(QStringLiteral("Arquivo compactado danificado: %1 (%2)").arg(nativo(arquivo), QString::fromUtf8(zip_strerror(z))));
    const QString nome = nomeArmazenado(z, i);
    const bool cifrado = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    if ((st.valid & ZIP_STAT_SIZE) && st.size > zip_uint64_t(kTamanhoMaximoMembro))
        throw Erro(QStringLiteral("O membro %1 do arquivo %2 é grande demais (%3 bytes)").arg(nome, nativo(arquivo)).arg(st.size));

    auto falha = [&](int codigo) -> Erro {
        switch (codigo) {
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_NOPASSWD:
            return Erro(QStringLiteral("Senha incorreta ou arquivo danificado: %1 (membro %2)").arg(nativo(arquivo), nome));
        case ZIP_ER_ENCRNOTSUPP:
            return Erro(QStringLiteral("O membro %1 do arquivo %2 usa uma criptografia não suportada").arg(nome, nativo(arquivo)));
        case ZIP_ER_COMPNOTSUPP:
            return Erro(QStringLiteral("O membro %1 do arquivo %2 usa uma compressão não suportada").arg(nome, nativo(arquivo)));
        default:
            // Traditional encryption checks one byte of the password: a wrong one often gets
            // through and only shows up as bad compressed data or a CRC error.
            if (cifrado)
                return Erro(QStringLiteral("Senha incorreta ou arquivo danificado: %1 (membro %2: %3)")
                                .arg(nativo(arquivo), nome, textoErroZip(codigo)));
            return Erro(QStringLiteral("Arquivo compactado danificado: %1 (membro %2: %3)")
                            .arg(nativo(arquivo), nome, textoErroZip(codigo)));
        }
    };

    ArquivoMembro f(zip_fopen_index_encrypted(z, i, 0, senha.constData()));
    if (!f)
        throw falha(zip_error_code_zip(zip_get_error(z)));
    char buffer[65536];
    qint64 total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(f.get(), buffer, sizeof buffer);
        if (n < 0)
            throw falha(zip_error_code_zip(zip_file_get_error(f.get())));
        if (n == 0)
            break;
        total += n;
        if (total > kTamanhoMaximoMembro)
            throw Erro(QStringLiteral("O membro %1 do arquivo %2 é grande demais").arg(nome, nativo(arquivo)));
        destino(buffer, qint64(n));
    }
    const int fechou = zip_fclose(f.release());
    if (fechou != 0)
        throw falha(fechou);
}

void gravarNaPasta(zip_t *z, zip_uint64_t i, const QString &arquivo, const QString &pasta, const QString &nome,
                   const QByteArray &senha)
{
    const QString destino = QDir(pasta).filePath(nome);
    QTemporaryFile tmp(QDir(pasta).filePath(QStringLiteral(".lumaro-extracao-XXXXXX")));
    if (!tmp.open())
        throw Erro(QStringLiteral("Não foi possível gravar na pasta %1: %2").arg(nativo(pasta), tmp.errorString()));
    lerConteudo(z, i, arquivo, senha, [&](const char *b, qint64 n) {
        if (tmp.write(b, n) != n)
            throw Erro(QStringLiteral("Não foi possível gravar %1: %2").arg(nativo(destino), tmp.errorString()));
    });
    if (!tmp.flush())
        throw Erro(QStringLiteral("Não foi possível gravar %1: %2").arg(nativo(destino), tmp.errorString()));
    tmp.close();
    tmp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    // The old entry goes first; were it a link, the rename replaces the link, not what it points to.
    const QFileInfo antigo(destino);
    if (antigo.isDir() && !antigo.isSymLink())
        throw Erro(QStringLiteral("Não foi possível extrair %1: existe uma pasta com esse nome em %2").arg(nome, nativo(pasta)));
    if ((antigo.exists() || antigo.isSymLink()) && !QFile::remove(destino))
        throw Erro(QStringLiteral("Não foi possível substituir o arquivo %1").arg(nativo(destino)));
    if (!tmp.rename(destino))
        throw Erro(QStringLiteral("Não foi possível gravar %1: %2").arg(nativo(destino), tmp.errorString()));
    tmp.setAutoRemove(false);
}

} // namespace

QString nomeSemPasta(const QString &nomeMembro)
{
    const qsizetype barra = qMax(nomeMembro.lastIndexOf(u'/'), nomeMembro.lastIndexOf(u'\\'));
    const QString nome = nomeMembro.mid(barra + 1);
    if (nome == u"." || nome == u"..")
        return {};
    return nome;
}

QList<Membro> membros(const QString &arquivo)
{
    Zip z = abrirLeitura(arquivo);
    QList<Membro> lista;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z.get(), zip_uint64_t(i), 0, &st) != 0)
            continue;
        Membro m;
        m.nome = nomeArmazenado(z.get(), zip_uint64_t(i));
        m.tamanho = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
        m.cifrado = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        lista.append(m);
    }
    return lista;
}

QStringList extrairTudo(const QString &arquivo, const QString &pasta, const QByteArray &senha)
{
    if (!QFileInfo(pasta).isDir())
        throw Erro(QStringLiteral("A pasta %1 não existe").arg(nativo(pasta)));
    Zip z = abrirLeitura(arquivo);
    QStringList extraidos;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const QString nome = nomeSemPasta(nomeArmazenado(z.get(), zip_uint64_t(i)));
        if (nome.isEmpty())
            continue;   // folder entries, "..", nameless entries
        gravarNaPasta(z.get(), zip_uint64_t(i), arquivo, pasta, nome, senha);
        if (!extraidos.contains(nome))
            extraidos.append(nome);
    }
    return extraidos;
}

QByteArray lerMembro(const QString &arquivo, const QString &nomeMembro, const QByteArray &senha)
{
    Zip z = abrirLeitura(arquivo);
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        if (nomeSemPasta(nomeArmazenado(z.get(), zip_uint64_t(i))).compare(nomeMembro, Qt::CaseInsensitive) != 0)
            continue;
        QByteArray conteudo;
        lerConteudo(z.get(), zip_uint64_t(i), arquivo, senha, [&](const char *b, qint64 k) { conteudo.append(b, k); });
        return conteudo;
    }
    throw Erro(QStringLiteral("O arquivo %1 não contém %2").arg(nativo(arquivo), nomeMembro));
}

void adicionar(const QString &arquivo, const QString &nomeMembro, const QByteArray &conteudo, const QByteArray &senha)
{
    if (nomeMembro.isEmpty() || nomeSemPasta(nomeMembro) != nomeMembro)
        throw Erro(QStringLiteral("Nome de membro inválido: \"%1\"").arg(nomeMembro));
    if (conteudo.size() > kTamanhoMaximoMembro)
        throw Erro(QStringLiteral("Conteúdo grande demais para %1").arg(nomeMembro));

    int codigo = 0;
    Zip z(zip_open(QFile::encodeName(arquivo).constData(), ZIP_CREATE, &codigo));
    if (!z)
        erroAbertura(arquivo, codigo);

    const auto falha = [&](const QString &etapa) {
        return Erro(QStringLiteral("Não foi possível %1 %2 no arquivo compactado %3: %4")
                        .arg(etapa, nomeMembro, nativo(arquivo), QString::fromUtf8(zip_strerror(z.get()))));
    };

    // The same name, as extraction would see it, is the same member: keep one, the new one.
    QList<zip_uint64_t> iguais;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i)
        if (nomeSemPasta(nomeArmazenado(z.get(), zip_uint64_t(i))).compare(nomeMembro, Qt::CaseInsensitive) == 0)
            iguais.append(zip_uint64_t(i));

    zip_source_t *fonte = zip_source_buffer(z.get(), conteudo.constData(), zip_uint64_t(conteudo.size()), 0);
    if (!fonte)
        throw falha(QStringLiteral("preparar"));
    const QByteArray nomeUtf8 = nomeMembro.toUtf8();
    zip_uint64_t indice;
    if (iguais.isEmpty()) {
        const zip_int64_t novo = zip_file_add(z.get(), nomeUtf8.constData(), fonte, ZIP_FL_ENC_UTF_8);
        if (novo < 0) {
            zip_source_free(fonte);
            throw falha(QStringLiteral("incluir"));
        }
        indice = zip_uint64_t(novo);
    } else {
        indice = iguais.takeFirst();
        for (zip_uint64_t outro : std::as_const(iguais))
            if (zip_delete(z.get(), outro) != 0) {
                zip_source_free(fonte);
                throw falha(QStringLiteral("remover a cópia antiga de"));
            }
        if (zip_file_replace(z.get(), indice, fonte, 0) != 0) {
            zip_source_free(fonte);
            throw falha(QStringLiteral("substituir"));
        }
        if (nomeArmazenado(z.get(), indice) != nomeMembro
            && zip_file_rename(z.get(), indice, nomeUtf8.constData(), ZIP_FL_ENC_UTF_8) != 0)
            throw falha(QStringLiteral("renomear"));
    }
    if (zip_set_file_compression(z.get(), indice, ZIP_CM_DEFLATE, 9) != 0)
        throw falha(QStringLiteral("comprimir"));
    if (zip_file_set_encryption(z.get(), indice, ZIP_EM_TRAD_PKWARE, senha.constData()) != 0)
        throw falha(QStringLiteral("criptografar"));
    if (zip_close(z.get()) != 0)
        throw falha(QStringLiteral("gravar"));
    z.release();   // zip_close freed it
}

void adicionarArquivo(const QString &arquivo, const QString &caminhoArquivo, const QByteArray &senha)
{
    QFile f(caminhoArquivo);
    if (!f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível ler %1: %2").arg(nativo(caminhoArquivo), f.errorString()));
    adicionar(arquivo, QFileInfo(caminhoArquivo).fileName(), f.readAll(), senha);
}

} // namespace lumaro::ArquivoZip
