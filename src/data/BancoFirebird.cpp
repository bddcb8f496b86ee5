#include "BancoFirebird.h"

#include "Win1252.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <firebird/Interface.h>
#include <ibase.h>

#include <cstring>

using namespace Firebird;

namespace lumaro {

namespace {

IMaster *mestre()
{
    static IMaster *m = fb_get_master_interface();
    return m;
}

// Owns one IStatus for the length of a call.
struct Status
{
    IStatus *st = mestre()->getStatus();
    ThrowStatusWrapper w{st};
    ~Status() { w.dispose(); }
    ThrowStatusWrapper *operator->() { return &w; }
    ThrowStatusWrapper *ptr() { return &w; }
};

const QDate kEpocaFirebird(1858, 11, 17);
constexpr unsigned CS_BINARY = 1; // OCTETS

QString textoStatus(const IStatus *status)
{
    char buf[4096];
    mestre()->getUtilInterface()->formatStatus(buf, sizeof buf, const_cast<IStatus *>(status));
    QString t = deWin1252(QByteArray(buf)).trimmed();
    // Firebird puts every argument on its own line starting with "-".
    t.replace(QLatin1String("\n-"), QLatin1String("\n"));
    return t;
}

[[noreturn]] void lancar(const FbException &e)
{
    lancarErroFirebird(e.getStatus());
}

template <typename F>
auto chamar(F &&f) -> decltype(f())
{
    try {
        return f();
    } catch (const FbException &e) {
        lancar(e);
    }
}

QByteArray montarDpb(const QString &usuario, const QString &senha, bool criar, int pagina)
{
    Status s;
    IXpbBuilder *dpb = mestre()->getUtilInterface()->getXpbBuilder(s.ptr(), IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(s.ptr(), isc_dpb_user_name, usuario.toUtf8().constData());
    dpb->insertString(s.ptr(), isc_dpb_password, senha.toUtf8().constData());
    dpb->insertString(s.ptr(), isc_dpb_lc_ctype, "WIN1252");
    if (criar) {
        dpb->insertString(s.ptr(), isc_dpb_set_db_charset, "WIN1252");
        dpb->insertInt(s.ptr(), isc_dpb_sql_dialect, 3);
        dpb->insertInt(s.ptr(), isc_dpb_page_size, pagina);
    }
    QByteArray b(reinterpret_cast<const char *>(dpb->getBuffer(s.ptr())), int(dpb->getBufferLength(s.ptr())));
    dpb->dispose();
    return b;
}

QByteArray caminhoBanco(const QString &banco)
{
    // The file name may hold accents; Firebird takes the path as the system's bytes.
    return banco.toLocal8Bit();
}

TipoColuna tipoDe(unsigned tipo, int subTipo, int escala)
{
    switch (tipo & ~1u) {
    case SQL_VARYING: return TipoColuna::Texto;
    case SQL_TEXT: return TipoColuna::TextoFixo;
    case SQL_SHORT: return escala ? TipoColuna::Decimal : TipoColuna::Pequeno;
    case SQL_LONG: return escala ? TipoColuna::Decimal : TipoColuna::Inteiro;
    case SQL_INT64: return escala ? TipoColuna::Decimal : TipoColuna::Grande;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return TipoColuna::Real;
    case SQL_TYPE_DATE: return TipoColuna::Data;
    case SQL_TYPE_TIME: return TipoColuna::Hora;
    case SQL_TIMESTAMP: return TipoColuna::DataHora;
    case SQL_BLOB: return subTipo == 1 ? TipoColuna::Memo : TipoColuna::Binario;
    case SQL_BOOLEAN: return TipoColuna::Logico;
    default: return TipoColuna::Texto;
    }
}

// Finds the "?" and ":nome" parameters of a statement, skipping quoted text and comments.
QString converterParametros(const QString &sql, QStringList &nomes)
{
    QString saida;
    saida.reserve(sql.size());
    const int n = sql.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            const int fim = sql.indexOf(c, i + 1);
            const int ate = fim < 0 ? n - 1 : fim;
            saida += sql.mid(i, ate - i + 1);
            i = ate;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            int fim = sql.indexOf(u'\n', i);
            if (fim < 0) fim = n - 1;
            saida += sql.mid(i, fim - i + 1);
            i = fim;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            int fim = sql.indexOf(QLatin1String("*/"), i + 2);
            fim = fim < 0 ? n - 1 : fim + 1;
            saida += sql.mid(i, fim - i + 1);
            i = fim;
        } else if (c == u'?') {
            nomes << QString();
            saida += c;
        } else if (c == u':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == u'_')) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_' || sql[j] == u'$'))
                ++j;
            nomes << sql.mid(i + 1, j - i - 1).toUpper();
            saida += u'?';
            i = j - 1;
        } else {
            saida += c;
        }
    }
    return saida;
}

// Text for the database: a character Windows-1252 cannot hold is the server's own error, never a
// silent '?' in the stored data.
QByteArray textoParaBanco(const QString &texto)
{
    bool ok = true;
    QByteArray bytes = paraWin1252(texto, &ok);
    if (!ok)
        throw ErroBanco(QStringLiteral("arithmetic exception, numeric overflow, or string truncation\n"
                                       "Cannot transliterate character between character sets"),
                        {gds::arith_except, 335544565L}, -802);
    return bytes;
}

ISC_DATE dataFb(const QDate &d) { return ISC_DATE(kEpocaFirebird.daysTo(d)); }
ISC_TIME horaFb(const QTime &t) { return ISC_TIME(t.msecsSinceStartOfDay()) * 10; }
QDate dataDeFb(ISC_DATE d) { return kEpocaFirebird.addDays(d); }
QTime horaDeFb(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(int(t / 10)); }

} // namespace

bool ErroBanco::tem(long codigo) const
{
    for (long c : m_codigos)
        if (c == codigo)
            return true;
    return false;
}

void lancarErroFirebird(const void *statusPtr)
{
    const IStatus *status = static_cast<const IStatus *>(statusPtr);
    std::vector<long> codigos;
    const intptr_t *v = const_cast<IStatus *>(status)->getErrors();
    while (v && *v != isc_arg_end) {
        const intptr_t tipo = *v++;
        const intptr_t valor = *v++;
        if (tipo == isc_arg_gds)
            codigos.push_back(long(valor));
        else if (tipo == isc_arg_cstring)
            ++v; // length and pointer
    }
    const int sqlcode = isc_sqlcode(const_cast<IStatus *>(status)->getErrors());
    throw ErroBanco(textoStatus(status), std::move(codigos), sqlcode);
}


// Runs f(transaction) in the explicit transaction, or in one of its own that is committed when f
// succeeds and rolled back when it fails.
template <typename F>
void naTransacao(Conexao &con, F &&f)
{
    bool automatica = false;
    ITransaction *tra = con.transacaoParaComando(automatica);
    try {
        chamar([&] { f(tra); });
    } catch (...) {
        if (automatica)
            con.encerrarAutomatica(tra, false);
        throw;
    }
    if (automatica)
        con.encerrarAutomatica(tra, true);
}

// ---------------------------------------------------------------------------------------------
// Conexao

Conexao::Conexao() = default;

Conexao::~Conexao()
{
    try {
        fechar();
    } catch (...) {
    }
}

void Conexao::abrir(const QString &banco, const QString &usuario, const QString &senha)
{
    fechar();
    const QByteArray dpb = montarDpb(usuario, senha, false, 0);
    const QByteArray caminho = caminhoBanco(banco);
    chamar([&] {
        Status s;
        IProvider *prov = mestre()->getDispatcher();
        m_anexo = prov->attachDatabase(s.ptr(), caminho.constData(), unsigned(dpb.size()),
                                       reinterpret_cast<const unsigned char *>(dpb.constData()));
        prov->release();
    });
    m_banco = banco;
}

void Conexao::criarBanco(const QString &banco, const QString &usuario, const QString &senha, int tamanhoPagina)
{
    const QByteArray dpb = montarDpb(usuario, senha, true, tamanhoPagina);
    const QByteArray caminho = caminhoBanco(banco);
    chamar([&] {
        Status s;
        IProvider *prov = mestre()->getDispatcher();
        IAttachment *a = prov->createDatabase(s.ptr(), caminho.constData(), unsigned(dpb.size()),
                                              reinterpret_cast<const unsigned char *>(dpb.constData()));
        a->detach(s.ptr());
        prov->release();
    });
}

void Conexao::fechar()
{
    if (!m_anexo)
        return;
    if (m_transacao) {
        try {
            Status s;
            m_transacao->rollback(s.ptr());
        } catch (const FbException &) {
            m_transacao->release();
        }
        m_transacao = nullptr;
    }
    try {
        Status s;
        m_anexo->detach(s.ptr());
    } catch (const FbException &) {
        m_anexo->release();
    }
    m_anexo = nullptr;
}

bool Conexao::aberta() const
{
    return m_anexo != nullptr;
}

namespace {
const unsigned char kTpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                              isc_tpb_rec_version, isc_tpb_wait};
}

static void exigirAberta(const Conexao &c)
{
    if (!c.aberta())
        throw Erro(QStringLiteral("Conexão com a base de dados não está aberta."));
}

void Conexao::iniciarTransacao()
{
    exigirAberta(*this);
    if (m_transacao)
        throw Erro(QStringLiteral("Já existe uma transação ativa."));
    chamar([&] {
        Status s;
        m_transacao = m_anexo->startTransaction(s.ptr(), sizeof kTpb, kTpb);
    });
}

void Conexao::confirmar()
{
    if (!m_transacao)
        throw Erro(QStringLiteral("Nenhuma transação ativa para confirmar."));
    chamar([&] {
        Status s;
        m_transacao->commit(s.ptr());
    });
    m_transacao = nullptr;
}

void Conexao::desfazer()
{
    if (!m_transacao)
        return;
    ITransaction *t = m_transacao;
    m_transacao = nullptr;
    chamar([&] {
        Status s;
        t->rollback(s.ptr());
    });
}

bool Conexao::emTransacao() const
{
    return m_transacao != nullptr;
}

ITransaction *Conexao::transacaoParaComando(bool &automatica)
{
    exigirAberta(*this);
    if (m_transacao) {
        automatica = false;
        return m_transacao;
    }
    automatica = true;
    return chamar([&] {
        Status s;
        return m_anexo->startTransaction(s.ptr(), sizeof kTpb, kTpb);
    });
}

void Conexao::encerrarAutomatica(ITransaction *tra, bool sucesso)
{
    if (!tra)
        return;
    if (sucesso) {
        chamar([&] {
            Status s;
            tra->commit(s.ptr());
        });
    } else {
        try {
            Status s;
            tra->rollback(s.ptr());
        } catch (const FbException &) {
            tra->release();
        }
    }
}

QVariantList Conexao::executar(const QString &sql, const QVariantList &parametros)
{
    Comando c(*this, sql);
    for (int i = 0; i < parametros.size(); ++i)
        c.definir(i, parametros[i]);
    return c.executar();
}

QList<QVariantList> Conexao::consultar(const QString &sql, const QVariantList &parametros)
{
    Comando c(*this, sql);
    for (int i = 0; i < parametros.size(); ++i)
        c.definir(i, parametros[i]);
    QList<QVariantList> linhas;
    c.abrir();
    while (c.proxima())
        linhas << c.linha();
    c.fechar();
    return linhas;
}

void Conexao::executarImediato(const QString &sql)
{
    const QByteArray texto = paraWin1252(sql);
    naTransacao(*this, [&](ITransaction *tra) {
        Status s;
        m_anexo->execute(s.ptr(), tra, unsigned(texto.size()), texto.constData(), SQL_DIALECT_V6,
                         nullptr, nullptr, nullptr, nullptr);
    });
}

static QByteArray lerBlobEm(IAttachment *anexo, ITransaction *tra, ISC_QUAD id)
{
    QByteArray dados;
    Status s;
    IBlob *blob = anexo->openBlob(s.ptr(), tra, &id, 0, nullptr);
    char buf[32768];
    for (;;) {
        unsigned lidos = 0;
        const int r = blob->getSegment(s.ptr(), sizeof buf, buf, &lidos);
        if (r == IStatus::RESULT_NO_DATA)
            break;
        dados.append(buf, int(lidos));
    }
    blob->close(s.ptr());
    return dados;
}

QByteArray Conexao::lerBlob(const IdBlob &id)
{
    ISC_QUAD q;
    q.gds_quad_high = ISC_LONG(id.alto);
    q.gds_quad_low = ISC_ULONG(id.baixo);
    QByteArray dados;
    naTransacao(*this, [&](ITransaction *tra) { dados = lerBlobEm(m_anexo, tra, q); });
    return dados;
}

// ---------------------------------------------------------------------------------------------
// Comando

struct Comando::Impl
{
    IStatement *stmt = nullptr;
    IMessageMetadata *entrada = nullptr;
    IMessageMetadata *saida = nullptr;
    IResultSet *cursor = nullptr;
    ITransaction *traCursor = nullptr;
    bool traAutomatica = false;
    QByteArray bufSaida;
    unsigned tipo = 0;
    // The output message's layout, read once: asking the metadata for every value of every row
    // costs more than the values themselves.
    struct Layout
    {
        unsigned deslocamento, deslocamentoNulo, tipo, tamanho, conjunto;
        int subTipo;
    };
    std::vector<Layout> layout;

    ~Impl()
    {
        if (cursor) {
            try {
                Status s;
                cursor->close(s.ptr());
            } catch (const FbException &) {
                cursor->release();
            }
        }
        if (entrada) entrada->release();
        if (saida) saida->release();
        if (stmt) {
            try {
                Status s;
                stmt->free(s.ptr());
            } catch (const FbException &) {
                stmt->release();
            }
        }
    }
};

Comando::Comando(Conexao &con, const QString &sql) : d(new Impl), m_con(con)
{
    exigirAberta(con);
    const QString convertido = converterParametros(sql, m_nomes);
    const QByteArray texto = paraWin1252(convertido);
    naTransacao(con, [&](ITransaction *tra) {
        Status s;
        d->stmt = con.anexo()->prepare(s.ptr(), tra, unsigned(texto.size()), texto.constData(),
                                       SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
        d->tipo = d->stmt->getType(s.ptr());
        d->entrada = d->stmt->getInputMetadata(s.ptr());
        d->saida = d->stmt->getOutputMetadata(s.ptr());
        const unsigned n = d->saida->getCount(s.ptr());
        for (unsigned i = 0; i < n; ++i) {
            Coluna c;
            c.nome = deWin1252(QByteArray(d->saida->getAlias(s.ptr(), i)));
            c.campo = deWin1252(QByteArray(d->saida->getField(s.ptr(), i)));
            c.tabela = deWin1252(QByteArray(d->saida->getRelation(s.ptr(), i)));
            const unsigned t = d->saida->getType(s.ptr(), i);
            c.escala = d->saida->getScale(s.ptr(), i);
            c.tipo = tipoDe(t, d->saida->getSubType(s.ptr(), i), c.escala);
            c.tamanho = int(d->saida->getLength(s.ptr(), i));
            c.anulavel = d->saida->isNullable(s.ptr(), i);
            m_colunas << c;
        }
        d->bufSaida.resize(int(d->saida->getMessageLength(s.ptr())));
        d->layout.resize(n);
        for (unsigned i = 0; i < n; ++i)
            d->layout[i] = {d->saida->getOffset(s.ptr(), i), d->saida->getNullOffset(s.ptr(), i),
                            d->saida->getType(s.ptr(), i) & ~1u, d->saida->getLength(s.ptr(), i),
                            d->saida->getCharSet(s.ptr(), i), d->saida->getSubType(s.ptr(), i)};
    });
    m_parametros.resize(m_nomes.size());
}

Comando::~Comando()
{
    try {
        fechar();
    } catch (...) {
    }
}

int Comando::quantidadeParametros() const
{
    return int(m_nomes.size());
}

void Comando::definir(int indice, const QVariant &valor)
{
    if (indice < 0 || indice >= m_parametros.size())
        throw Erro(QStringLiteral("Parâmetro %1 não existe no comando.").arg(indice + 1));
    m_parametros[indice] = valor;
}

bool Comando::definir(const QString &nome, const QVariant &valor)
{
    const QString n = nome.toUpper();
    bool achou = false;
    for (int i = 0; i < m_nomes.size(); ++i)
        if (m_nomes[i] == n) {
            m_parametros[i] = valor;
            achou = true;
        }
    return achou;
}

void Comando::limparParametros()
{
    for (auto &p : m_parametros)
        p = QVariant();
}

bool Comando::ehConsulta() const
{
    return d->tipo == isc_info_sql_stmt_select || d->tipo == isc_info_sql_stmt_select_for_upd;
}

// Each parameter travels in its own natural type, so that the server converts and checks it
// (a text too long for its column is the server's "string right truncation", as for any client).
void Comando::prepararEntrada(QByteArray &buffer, IMessageMetadata *&meta, ITransaction *tra)
{
    meta = nullptr;
    const int n = int(m_parametros.size());
    if (n == 0)
        return;
    Status s;
    IMetadataBuilder *b = d->entrada->getBuilder(s.ptr());
    QList<QByteArray> textos(n);
    try {
        for (int i = 0; i < n; ++i) {
            const QVariant &v = m_parametros[i];
            const unsigned tipoOriginal = d->entrada->getType(s.ptr(), unsigned(i)) & ~1u;
            if (!v.isValid() || v.isNull()) {
                b->setType(s.ptr(), unsigned(i), tipoOriginal | 1u);
                continue;
            }
            if (tipoOriginal == SQL_BLOB) {
                continue; // keeps the blob type; the identifier is written below
            }
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Long:
                b->setType(s.ptr(), unsigned(i), SQL_INT64 | 1u);
                b->setLength(s.ptr(), unsigned(i), 8);
                b->setScale(s.ptr(), unsigned(i), 0);
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                b->setType(s.ptr(), unsigned(i), SQL_DOUBLE | 1u);
                b->setLength(s.ptr(), unsigned(i), 8);
                b->setScale(s.ptr(), unsigned(i), 0);
                break;
            case QMetaType::Bool:
                b->setType(s.ptr(), unsigned(i), SQL_BOOLEAN | 1u);
                b->setLength(s.ptr(), unsigned(i), 1);
                break;
            case QMetaType::QDate:
                b->setType(s.ptr(), unsigned(i), SQL_TYPE_DATE | 1u);
                b->setLength(s.ptr(), unsigned(i), 4);
                break;
            case QMetaType::QTime:
                b->setType(s.ptr(), unsigned(i), SQL_TYPE_TIME | 1u);
                b->setLength(s.ptr(), unsigned(i), 4);
                break;
            case QMetaType::QDateTime:
                b->setType(s.ptr(), unsigned(i), SQL_TIMESTAMP | 1u);
                b->setLength(s.ptr(), unsigned(i), 8);
                break;
            case QMetaType::QByteArray:
                textos[i] = v.toByteArray();
                b->setType(s.ptr(), unsigned(i), SQL_VARYING | 1u);
                b->setLength(s.ptr(), unsigned(i), unsigned(qMax<qsizetype>(1, textos[i].size())));
                b->setCharSet(s.ptr(), unsigned(i), CS_BINARY);
                break;
            default:
                textos[i] = textoParaBanco(v.toString());
                b->setType(s.ptr(), unsigned(i), SQL_VARYING | 1u);
                b->setLength(s.ptr(), unsigned(i), unsigned(qMax<qsizetype>(1, textos[i].size())));
                b->setCharSet(s.ptr(), unsigned(i), 53 /* WIN1252 */);
                break;
            }
        }
    } catch (...) {
        b->release();
        throw;
    }
    meta = b->getMetadata(s.ptr());
    b->release();
    buffer.fill(0, int(meta->getMessageLength(s.ptr())));
    unsigned char *base = reinterpret_cast<unsigned char *>(buffer.data());
    for (int i = 0; i < n; ++i) {
        const QVariant &v = m_parametros[i];
        const unsigned off = meta->getOffset(s.ptr(), unsigned(i));
        short *nulo = reinterpret_cast<short *>(base + meta->getNullOffset(s.ptr(), unsigned(i)));
        if (!v.isValid() || v.isNull()) {
            *nulo = -1;
            continue;
        }
        *nulo = 0;
        unsigned char *p = base + off;
        const unsigned tipo = meta->getType(s.ptr(), unsigned(i)) & ~1u;
        switch (tipo) {
        case SQL_BLOB: {
            const QByteArray dados = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : textoParaBanco(v.toString());
            ISC_QUAD id;
            IBlob *blob = m_con.anexo()->createBlob(s.ptr(), tra, &id, 0, nullptr);
            for (qsizetype pos = 0; pos < dados.size(); pos += 32768) {
                const qsizetype len = qMin<qsizetype>(32768, dados.size() - pos);
                blob->putSegment(s.ptr(), unsigned(len), dados.constData() + pos);
            }
            blob->close(s.ptr());
            std::memcpy(p, &id, sizeof id);
            break;
        }
        case SQL_INT64: {
            const qint64 x = v.toLongLong();
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_DOUBLE: {
            const double x = v.toDouble();
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_BOOLEAN:
            *p = v.toBool() ? 1 : 0;
            break;
        case SQL_TYPE_DATE: {
            const ISC_DATE x = dataFb(v.toDate());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TYPE_TIME: {
            const ISC_TIME x = horaFb(v.toTime());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = v.toDateTime();
            ISC_TIMESTAMP x;
            x.timestamp_date = dataFb(dt.date());
            x.timestamp_time = horaFb(dt.time());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_VARYING: {
            const QByteArray &t = textos[i];
            const unsigned short len = static_cast<unsigned short>(t.size());
            std::memcpy(p, &len, sizeof len);
            std::memcpy(p + sizeof len, t.constData(), size_t(t.size()));
            break;
        }
        default:
            break;
        }
    }
}

void Comando::lerLinha(const unsigned char *buf, ITransaction *tra)
{
    const int n = int(m_colunas.size());
    m_linha.resize(n);
    for (int i = 0; i < n; ++i) {
        const Impl::Layout &l = d->layout[size_t(i)];
        if (*reinterpret_cast<const short *>(buf + l.deslocamentoNulo)) {
            m_linha[i] = QVariant();
            continue;
        }
        const unsigned char *p = buf + l.deslocamento;
        const unsigned tipo = l.tipo;
        const int escala = m_colunas[i].escala;
        auto comEscala = [escala](qint64 x) -> QVariant {
            if (!escala)
                return QVariant(x);
            double f = double(x);
            for (int k = 0; k < -escala; ++k)
                f /= 10.0;
            return QVariant(f);
        };
        switch (tipo) {
        case SQL_VARYING: {
            unsigned short len;
            std::memcpy(&len, p, sizeof len);
            const char *t = reinterpret_cast<const char *>(p + sizeof len);
            if (l.conjunto == CS_BINARY || m_textoBruto)
                m_linha[i] = QByteArray(t, len);
            else
                m_linha[i] = deWin1252(t, len);
            break;
        }
        case SQL_TEXT: {
            const unsigned len = l.tamanho;
            const char *t = reinterpret_cast<const char *>(p);
            if (l.conjunto == CS_BINARY || m_textoBruto)
                m_linha[i] = QByteArray(t, int(len));
            else
                m_linha[i] = deWin1252(t, len);
            break;
        }
        case SQL_SHORT: {
            short x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = escala ? comEscala(x) : QVariant(int(x));
            break;
        }
        case SQL_LONG: {
            ISC_LONG x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = escala ? comEscala(x) : QVariant(int(x));
            break;
        }
        case SQL_INT64: {
            qint64 x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = comEscala(x);
            break;
        }
        case SQL_FLOAT: {
            float x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = double(x);
            break;
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = x;
            break;
        }
        case SQL_BOOLEAN:
            m_linha[i] = bool(*p);
            break;
        case SQL_TYPE_DATE: {
            ISC_DATE x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = dataDeFb(x);
            break;
        }
        case SQL_TYPE_TIME: {
            ISC_TIME x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = horaDeFb(x);
            break;
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP x;
            std::memcpy(&x, p, sizeof x);
            m_linha[i] = QDateTime(dataDeFb(x.timestamp_date), horaDeFb(x.timestamp_time));
            break;
        }
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, p, sizeof id);
            const bool texto = l.subTipo == 1;
            if (!texto && !m_lerBinarios) {
                IdBlob b;
                b.alto = quint32(id.gds_quad_high);
                b.baixo = quint32(id.gds_quad_low);
                m_linha[i] = QVariant::fromValue(b);
            } else {
                const QByteArray dados = lerBlobEm(m_con.anexo(), tra, id);
                m_linha[i] = texto ? QVariant(deWin1252(dados)) : QVariant(dados);
            }
            break;
        }
        default:
            m_linha[i] = QVariant();
        }
    }
}

QVariantList Comando::executar()
{
    fechar();
    QVariantList saida;
    naTransacao(m_con, [&](ITransaction *tra) {
        Status s;
        QByteArray bufEntrada;
        IMessageMetadata *metaEntrada = nullptr;
        prepararEntrada(bufEntrada, metaEntrada, tra);
        const bool temSaida = !m_colunas.isEmpty();
        struct Liberar { IMessageMetadata *m; ~Liberar() { if (m) m->release(); } } lib{metaEntrada};
        if (ehConsulta()) {
            // A query run as a statement: its first row, if any.
            IResultSet *rs = d->stmt->openCursor(s.ptr(), tra, metaEntrada,
                                                 metaEntrada ? bufEntrada.data() : nullptr, d->saida, 0);
            if (rs->fetchNext(s.ptr(), d->bufSaida.data()) == IStatus::RESULT_OK) {
                lerLinha(reinterpret_cast<const unsigned char *>(d->bufSaida.constData()), tra);
                saida = m_linha;
            }
            rs->close(s.ptr());
            m_afetadas = 0;
        } else {
            d->stmt->execute(s.ptr(), tra, metaEntrada, metaEntrada ? bufEntrada.data() : nullptr,
                             temSaida ? d->saida : nullptr, temSaida ? d->bufSaida.data() : nullptr);
            m_afetadas = int(d->stmt->getAffectedRecords(s.ptr()));
            if (temSaida) {
                lerLinha(reinterpret_cast<const unsigned char *>(d->bufSaida.constData()), tra);
                saida = m_linha;
            }
        }
    });
    return saida;
}

void Comando::abrir()
{
    fechar();
    bool automatica = false;
    ITransaction *tra = m_con.transacaoParaComando(automatica);
    try {
        chamar([&] {
            Status s;
            QByteArray bufEntrada;
            IMessageMetadata *metaEntrada = nullptr;
            prepararEntrada(bufEntrada, metaEntrada, tra);
            d->cursor = d->stmt->openCursor(s.ptr(), tra, metaEntrada,
                                            metaEntrada ? bufEntrada.data() : nullptr, d->saida, 0);
            if (metaEntrada)
                metaEntrada->release();
        });
    } catch (...) {
        if (automatica)
            m_con.encerrarAutomatica(tra, false);
        throw;
    }
    d->traCursor = tra;
    d->traAutomatica = automatica;
}

bool Comando::proxima()
{
    if (!d->cursor)
        return false;
    return chamar([&] {
        Status s;
        if (d->cursor->fetchNext(s.ptr(), d->bufSaida.data()) != IStatus::RESULT_OK)
            return false;
        lerLinha(reinterpret_cast<const unsigned char *>(d->bufSaida.constData()), d->traCursor);
        return true;
    });
}

void Comando::fechar()
{
    if (d->cursor) {
        IResultSet *c = d->cursor;
        d->cursor = nullptr;
        try {
            Status s;
            c->close(s.ptr());
        } catch (const FbException &) {
            c->release();
        }
    }
    if (d->traAutomatica) {
        d->traAutomatica = false;
        ITransaction *t = d->traCursor;
        d->traCursor = nullptr;
        m_con.encerrarAutomatica(t, true);
    }
    d->traCursor = nullptr;
}

} // namespace lumaro
