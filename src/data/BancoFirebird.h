#pragma once

// A small layer over Firebird's own client library: attachments with the WIN1252 character set,
// read-committed transactions, prepared statements with typed parameters, whole rows with NULLs
// kept, text and binary blobs, and errors that carry the GDS codes and the server's own text.

#include "Erros.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IMessageMetadata;
class IResultSet;
} // namespace Firebird

namespace lumaro {

// GDS codes the program tells apart.
namespace gds {
constexpr long unique_key_violation = 335544665;
constexpr long no_dup = 335544349;
constexpr long foreign_key = 335544466;
constexpr long not_valid = 335544347;
constexpr long arith_except = 335544321;
constexpr long login = 335544472;
constexpr long network_error = 335544721;
constexpr long unavailable = 335544375;
constexpr long io_error = 335544344;
constexpr long lock_conflict = 335544345;
constexpr long deadlock = 335544336;
constexpr long update_conflict = 335544451;
} // namespace gds

class ErroBanco : public Erro
{
public:
    ErroBanco(QString texto, std::vector<long> codigos, int sqlcode)
        : Erro(std::move(texto)), m_codigos(std::move(codigos)), m_sqlcode(sqlcode) {}
    const std::vector<long> &codigos() const { return m_codigos; }
    bool tem(long codigo) const;
    int sqlcode() const { return m_sqlcode; }

private:
    std::vector<long> m_codigos;
    int m_sqlcode;
};

enum class TipoColuna { Texto, TextoFixo, Inteiro, Pequeno, Grande, Decimal, Real, Data, Hora,
                        DataHora, Memo, Binario, Logico };

struct Coluna
{
    QString nome;      // alias, as the dataset sees it
    QString campo;     // the source column
    QString tabela;    // the source table or view (empty for expressions)
    TipoColuna tipo = TipoColuna::Texto;
    int tamanho = 0;   // characters (bytes in WIN1252) for texts
    int escala = 0;
    bool anulavel = true;
};

class Conexao;

// One prepared statement. Parameters are "?" or ":nome" (a name may repeat); quoted text and
// comments are left alone when looking for names.
class Comando
{
public:
    Comando(Conexao &con, const QString &sql);
    ~Comando();
    Comando(const Comando &) = delete;
    Comando &operator=(const Comando &) = delete;

    int quantidadeParametros() const;
    void definir(int indice, const QVariant &valor);
    // Sets every place of a ":nome" parameter (letter case ignored); false when there is none.
    bool definir(const QString &nome, const QVariant &valor);
    const QStringList &nomesParametros() const { return m_nomes; }
    void limparParametros();

    bool ehConsulta() const;
    const QList<Coluna> &colunas() const { return m_colunas; }

    // Runs a statement that returns no rows, or one row (EXECUTE PROCEDURE, RETURNING).
    // Returns the output row, empty when the statement has none.
    QVariantList executar();
    int linhasAfetadas() const { return m_afetadas; }

    // Runs a query and fetches every row. Binary blobs are fetched too unless lerBinarios is false,
    // in which case they come back as their blob identifiers (QVariant holding IdBlob) to be
    // read later with Conexao::lerBlob.
    void abrir();
    bool proxima();           // next row of the open cursor
    const QVariantList &linha() const { return m_linha; }
    void fechar();
    void setLerBinarios(bool b) { m_lerBinarios = b; }
    // Texts of CHAR/VARCHAR columns come back as their Windows-1252 bytes (QByteArray), for a
    // caller that stores bytes anyway.
    void setTextoBruto(bool b) { m_textoBruto = b; }

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    Conexao &m_con;
    QList<Coluna> m_colunas;
    QStringList m_nomes;
    QVariantList m_parametros;
    QVariantList m_linha;
    int m_afetadas = 0;
    bool m_lerBinarios = true;
    bool m_textoBruto = false;

    void prepararEntrada(QByteArray &buffer, Firebird::IMessageMetadata *&meta, Firebird::ITransaction *tra);
    void lerLinha(const unsigned char *buffer, Firebird::ITransaction *tra);
};

// A binary blob not yet read: its identifier, kept by the row until someone needs the bytes.
struct IdBlob
{
    quint32 alto = 0;
    quint32 baixo = 0;
};

class Conexao
{
public:
    Conexao();
    ~Conexao();
    Conexao(const Conexao &) = delete;
    Conexao &operator=(const Conexao &) = delete;

    // Embedded path, or "host/porta:caminho" for a server.
    void abrir(const QString &banco, const QString &usuario, const QString &senha);
    void fechar();
    bool aberta() const;
    QString banco() const { return m_banco; }

    static void criarBanco(const QString &banco, const QString &usuario, const QString &senha,
                           int tamanhoPagina = 8192);

    // The one explicit transaction. Outside it every statement runs in a transaction of its own
    // that is committed as soon as the statement has done its work.
    void iniciarTransacao();
    void confirmar();
    void desfazer();
    bool emTransacao() const;

    // Shortcuts.
    QVariantList executar(const QString &sql, const QVariantList &parametros = {});
    QList<QVariantList> consultar(const QString &sql, const QVariantList &parametros = {});
    QByteArray lerBlob(const IdBlob &id);
    // Runs a statement as it is, with no parameters (DDL, procedure bodies with ":variavel").
    void executarImediato(const QString &sql);

    Firebird::IAttachment *anexo() const { return m_anexo; }

    // For Comando: the transaction to run in; auto-commit bracket otherwise.
    Firebird::ITransaction *transacaoParaComando(bool &automatica);
    void encerrarAutomatica(Firebird::ITransaction *tra, bool sucesso);

private:
    Firebird::IAttachment *m_anexo = nullptr;
    Firebird::ITransaction *m_transacao = nullptr;
    QString m_banco;
};

// Turns the error of a Firebird call into an ErroBanco (formatted text, GDS codes, SQLCODE).
[[noreturn]] void lancarErroFirebird(const void *status);

} // namespace lumaro

Q_DECLARE_METATYPE(lumaro::IdBlob)
