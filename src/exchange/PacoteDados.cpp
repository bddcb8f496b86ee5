#include "PacoteDados.h"

#include "Erros.h"
#include "Win1252.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTime>
#include <QTimeZone>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace lumaro {

namespace {

constexpr quint32 kMagico = 0xBDE01996u;
constexpr quint32 kMagicoAntigo = 0x0000ABCDu;
constexpr quint32 kTamanhoCabecalho = 24;

constexpr quint16 kMascaraBase = 0x003F;
constexpr quint16 kVariavel = 0x0040;
constexpr quint16 kArranjo = 0x0080;
constexpr quint16 kPseudo = 0x0100;
constexpr quint16 kEmbutida = 0x0400;

enum Base : quint16 {
    bInt = 1, bUInt = 2, bBool = 3, bFloat = 4, bBcd = 5, bDate = 6, bTime = 7, bTimestamp = 8,
    bZString = 9, bUnicode = 10, bBytes = 11, bAdt = 12, bArray = 13, bTabela = 14, bRef = 15,
    bDateTime = 17, bFmtBcd = 18, bSingle = 27, bDateTimeOffset = 36,
};

constexpr quint8 kOriginal = 0x01;
constexpr quint8 kApagado = 0x02;
constexpr quint8 kInserido = 0x04;
constexpr quint8 kModificado = 0x08;
constexpr quint8 kNaoUsado = 0x20;
constexpr quint8 kInvisivel = kOriginal | kApagado | kNaoUsado;

constexpr quint32 kBlobAdiado = 0x80000000u;
constexpr qint64 kMsPorDia = 86400000;
// Day 1 of the packet is 0001-01-01, whose Julian day is 1721426.
constexpr qint64 kDeslocamentoJuliano = 1721425;
// Every value costs a QVariant in memory, many times its few bits in the packet; far beyond any
// real dataset, this keeps a hostile packet from taking all the memory.
constexpr qint64 kMaximoValores = qint64(1) << 24;
// Deeper nesting than this is not something a real dataset does; stops hostile packets from recursing.
constexpr int kProfundidadeMaxima = 16;

[[noreturn]] void invalido(const QString &motivo)
{
    throw Erro(QStringLiteral("Pacote de dados inválido: %1").arg(motivo));
}

[[noreturn]] void valorInvalido(const QString &campo, const QString &motivo)
{
    throw Erro(QStringLiteral("Valor inválido para o campo %1: %2").arg(campo, motivo));
}

QString nomeDeBytes(const QByteArray &b)
{
    // Older writers store names in the ANSI code page, newer ones in UTF-8.
    QString utf8 = QString::fromUtf8(b);
    if (!utf8.contains(QChar::ReplacementCharacter))
        return utf8;
    return deWin1252(b);
}

// --------------------------------------------------------------------------------- reading

// What is being read, for the error message; only turned into text when something is wrong.
struct Oque
{
    Oque(const char *modelo, const QString *nome = nullptr) : modelo(modelo), nome(nome) {}
    QString texto() const { return nome ? QString::fromUtf8(modelo).arg(*nome) : QString::fromUtf8(modelo); }
    const char *modelo;
    const QString *nome;
};

class Leitor
{
public:
    explicit Leitor(const QByteArray &dados)
        : m_p(reinterpret_cast<const uchar *>(dados.constData())), m_n(dados.size()) {}

    qsizetype pos() const { return m_pos; }
    qsizetype tamanho() const { return m_n; }
    qsizetype restante() const { return m_n - m_pos; }
    void irPara(qsizetype pos) { m_pos = pos; }
    QByteArray desde(qsizetype inicio) const
    {
        return QByteArray(reinterpret_cast<const char *>(m_p + inicio), m_pos - inicio);
    }

    const uchar *pegar(qint64 k, const Oque &oque)
    {
        if (k < 0 || k > restante())
            invalido(QStringLiteral("%1 precisa de %2 bytes na posição %3, mas o pacote termina em %4")
                         .arg(oque.texto()).arg(k).arg(m_pos).arg(m_n));
        const uchar *p = m_p + m_pos;
        m_pos += k;
        return p;
    }
    QByteArray bytes(qint64 k, const Oque &oque)
    {
        const uchar *p = pegar(k, oque);
        return QByteArray(reinterpret_cast<const char *>(p), k);
    }
    quint8 u8(const Oque &oque) { return *pegar(1, oque); }
    quint16 u16(const Oque &oque)
    {
        const uchar *p = pegar(2, oque);
        return quint16(p[0] | (p[1] << 8));
    }
    quint32 u32(const Oque &oque)
    {
        const uchar *p = pegar(4, oque);
        return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
    }

private:
    const uchar *m_p;
    qsizetype m_n;
    qsizetype m_pos = 0;
};

quint64 inteiroLE(const uchar *p, int n)
{
    quint64 v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

qint64 comSinal(quint64 v, int n)
{
    if (n >= 8)
        return qint64(v);
    const quint64 bitSinal = quint64(1) << (n * 8 - 1);
    return (v & bitSinal) ? qint64(v | ~((bitSinal << 1) - 1)) : qint64(v);
}

double doubleLE(const uchar *p)
{
    const quint64 bits = inteiroLE(p, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

// 80-bit x87 extended: sign and 15-bit exponent, then a 64-bit mantissa with an explicit integer bit.
double estendidoLE(const uchar *p)
{
    const quint64 mantissa = inteiroLE(p, 8);
    const int se = int(inteiroLE(p + 8, 2));
    const bool negativo = se & 0x8000;
    const int exp = se & 0x7FFF;
    double v;
    if (exp == 0x7FFF)
        v = (mantissa << 1) ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
    else
        v = std::ldexp(double(mantissa), exp - 16383 - 63);
    return negativo ? -v : v;
}

int larguraFixa(quint16 palavraTamanho, quint16 palavraTipo)
{
    switch (palavraTipo & kMascaraBase) {
    case bBcd:
    case bFmtBcd:
        return 18;   // the platform copies a whole TBCD prefix whatever the descriptor says
    case bSingle:
        return 8;    // a float in 8 bytes, as the platform's converter has it
    case bTabela:
        return 4;
    default:
        return palavraTamanho;
    }
}

TipoCampo tipoDeBlob(const QString &subtipo)
{
    if (subtipo == u"Text" || subtipo == u"Formatted" || subtipo == u"HMemo")
        return TipoCampo::Memo;
    if (subtipo == u"WideText")
        return TipoCampo::MemoUnicode;
    if (subtipo == u"Graphics")
        return TipoCampo::Grafico;
    return TipoCampo::Blob;
}

TipoCampo tipoDe(quint16 tam, quint16 tword, const QString &subtipo)
{
    if (tword & kArranjo)
        return TipoCampo::Desconhecido;
    const bool variavel = tword & kVariavel;
    const int base = tword & kMascaraBase;
    if (!variavel) {
        switch (base) {
        case bInt:
            return tam == 8 ? TipoCampo::Inteiro64 : (tam == 1 || tam == 2 || tam == 4) ? TipoCampo::Inteiro : TipoCampo::Desconhecido;
        case bUInt:
            return tam == 8 ? TipoCampo::SemSinal64 : (tam == 1 || tam == 2 || tam == 4) ? TipoCampo::SemSinal : TipoCampo::Desconhecido;
        case bBool:
            return (tam == 1 || tam == 2 || tam == 4) ? TipoCampo::Logico : TipoCampo::Desconhecido;
        case bFloat:
            return (tam == 8 || tam == 10) ? TipoCampo::Real : TipoCampo::Desconhecido;
        case bSingle:
            return TipoCampo::Real32;
        case bBcd:
            return TipoCampo::Bcd;
        case bFmtBcd:
            return TipoCampo::FmtBcd;
        case bDate:
            return tam == 4 ? TipoCampo::Data : TipoCampo::Desconhecido;
        case bTime:
            return tam == 4 ? TipoCampo::Hora : TipoCampo::Desconhecido;
        case bTimestamp:
            return tam == 8 ? TipoCampo::DataHora : TipoCampo::Desconhecido;
        case bDateTime:
            return tam == 16 ? TipoCampo::DataHoraSql : TipoCampo::Desconhecido;
        case bDateTimeOffset:
            return tam == 20 ? TipoCampo::DataHoraFuso : TipoCampo::Desconhecido;
        case bBytes:
            return TipoCampo::Bytes;
        case bTabela:
            return (tword & kEmbutida) ? TipoCampo::TabelaAninhada : TipoCampo::Desconhecido;
        default:
            return TipoCampo::Desconhecido;
        }
    }
    switch (base) {
    case bZString:
        return (tam == 1 || tam == 2) ? TipoCampo::Texto : TipoCampo::Desconhecido;
    case bUnicode:
        return (tam == 1 || tam == 2) ? TipoCampo::TextoUnicode : TipoCampo::Desconhecido;
    case bBytes:
        if (tam == 4)
            return tipoDeBlob(subtipo);
        return (tam == 1 || tam == 2) ? TipoCampo::BytesVariaveis : TipoCampo::Desconhecido;
    default:
        return TipoCampo::Desconhecido;
    }
}

ParametroPacote lerParametro(Leitor &l)
{
    ParametroPacote p;
    const quint8 n = l.u8("o nome de um parâmetro");
    p.nome = deWin1252(l.bytes(n, "o nome de um parâmetro"));
    const Oque oque{"o parâmetro '%1'", &p.nome};
    p.palavraTamanho = l.u16(oque);
    p.palavraTipo = l.u16(oque);
    const qsizetype inicio = l.pos();
    if (p.palavraTipo & kArranjo) {
        if (p.palavraTipo & kVariavel)
            invalido(QStringLiteral("%1 é um arranjo de tamanho variável").arg(oque.texto()));
        const quint32 qtd = l.u32(oque);
        const int largura = larguraFixa(p.palavraTamanho, p.palavraTipo);
        if (largura <= 0 && qtd > 0)
            invalido(QStringLiteral("%1 tem elementos de tamanho zero").arg(oque.texto()));
        l.pegar(qint64(qtd) * largura, oque);
    } else if (p.palavraTipo & kVariavel) {
        const int prefixo = p.palavraTamanho;
        if (prefixo != 1 && prefixo != 2 && prefixo != 4)
            invalido(QStringLiteral("%1 tem prefixo de comprimento de %2 bytes").arg(oque.texto()).arg(prefixo));
        quint32 comprimento = prefixo == 1 ? l.u8(oque) : prefixo == 2 ? l.u16(oque) : l.u32(oque);
        if (prefixo == 4 && (comprimento & kBlobAdiado))
            comprimento = 0;
        l.pegar(comprimento, oque);
    } else {
        l.pegar(larguraFixa(p.palavraTamanho, p.palavraTipo), oque);
    }
    p.bruto = l.desde(inicio);
    return p;
}

QList<ParametroPacote> lerParametros(Leitor &l)
{
    QList<ParametroPacote> lista;
    const quint16 qtd = l.u16("a quantidade de parâmetros");
    for (int i = 0; i < qtd; ++i)
        lista.append(lerParametro(l));
    return lista;
}

const ParametroPacote *acharParametro(const QList<ParametroPacote> &lista, QStringView nome)
{
    for (const ParametroPacote &p : lista)
        if (p.nome == nome)
            return &p;
    return nullptr;
}

QList<CampoPacote> lerCampos(Leitor &l, int orcamento, int profundidade)
{
    if (profundidade > kProfundidadeMaxima)
        invalido(QStringLiteral("tabelas aninhadas em mais de %1 níveis").arg(kProfundidadeMaxima));
    QList<CampoPacote> campos;
    while (campos.size() < orcamento) {
        CampoPacote c;
        const qsizetype posicao = l.pos();
        const quint8 n = l.u8("o nome de um campo");
        if (n == 0)
            invalido(QStringLiteral("campo sem nome na posição %1").arg(posicao));
        c.nome = nomeDeBytes(l.bytes(n, "o nome de um campo"));
        const Oque oque{"a definição do campo '%1'", &c.nome};
        c.palavraTamanho = l.u16(oque);
        c.palavraTipo = l.u16(oque);
        c.atributos = l.u16(oque);
        c.parametros = lerParametros(l);

        for (const ParametroPacote &p : std::as_const(c.parametros)) {
            if (p.nome == u"SUBTYPE" || p.nome == u"FIELDNAME") {
                const QVariant v = p.valor();
                if (v.typeId() != QMetaType::QString)
                    invalido(QStringLiteral("o parâmetro %1 do campo '%2' não é um texto").arg(p.nome, c.nome));
                if (p.nome == u"SUBTYPE")
                    c.subtipo = v.toString();
                else if (!v.toString().isEmpty())
                    c.nome = v.toString();
            } else if (p.nome == u"WIDTH" || p.nome == u"DECIMALS") {
                bool ok = false;
                const qint64 v = p.valor().toLongLong(&ok);
                if (!ok || v < 0 || v > 0xFFFF)
                    invalido(QStringLiteral("o parâmetro %1 do campo '%2' é inválido").arg(p.nome, c.nome));
                (p.nome == u"WIDTH" ? c.tamanho : c.decimais) = int(v);
            }
        }

        const int base = c.palavraTipo & kMascaraBase;
        if (base == bAdt || base == bArray || base == bRef)
            invalido(QStringLiteral("o campo '%1' é de um tipo composto que este programa não lê (código %2)").arg(c.nome).arg(base));
        c.tipo = tipoDe(c.palavraTamanho, c.palavraTipo, c.subtipo);

        switch (c.tipo) {
        case TipoCampo::Texto:
        case TipoCampo::BytesVariaveis:
        case TipoCampo::Memo:
        case TipoCampo::MemoUnicode:
        case TipoCampo::Grafico:
        case TipoCampo::Blob:
        case TipoCampo::Bcd:
        case TipoCampo::FmtBcd:
            break;   // WIDTH, when there is one, is already in tamanho
        case TipoCampo::TextoUnicode:
            c.tamanho /= 2;
            break;
        case TipoCampo::TabelaAninhada: {
            const int filhos = c.palavraTamanho;
            // The header counts the descriptors of every level; the children come out of this level's share.
            if (qint64(orcamento) - filhos < campos.size() + 1)
                invalido(QStringLiteral("o campo '%1' declara mais campos aninhados do que o pacote tem").arg(c.nome));
            orcamento -= filhos;
            c.filhos = lerCampos(l, filhos, profundidade + 1);
            c.parametrosFilhos = lerParametros(l);
            c.tamanho = 0;
            break;
        }
        default:
            c.tamanho = c.palavraTamanho;
            break;
        }
        campos.append(std::move(c));
    }
    return campos;
}

bool temDigitoNaoZero(QStringView s)
{
    for (QChar c : s)
        if (c >= u'1' && c <= u'9')
            return true;
    return false;
}

QString decimalDeBcd(const uchar *p)
{
    const int precisao = qMin<int>(p[0], 32);   // 16 bytes of nibbles hold 32 digits
    const int casas = p[1] & 0x3F;
    const bool negativo = p[1] & 0x80;
    QString digitos;
    for (int i = 0; i < precisao; ++i) {
        const uchar b = p[2 + i / 2];
        const int d = (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
        digitos.append(QChar(u'0' + (d > 9 ? 0 : d)));
    }
    QString inteira = casas < precisao ? digitos.left(precisao - casas) : QString();
    const QString fracao = casas ? digitos.right(qMin(casas, precisao)).rightJustified(casas, u'0') : QString();
    while (inteira.size() > 1 && inteira.startsWith(u'0'))
        inteira.remove(0, 1);
    if (inteira.isEmpty())
        inteira = QStringLiteral("0");
    const QString s = fracao.isEmpty() ? inteira : inteira + u'.' + fracao;
    return negativo ? u'-' + s : s;
}

QString textoAteNul(const QByteArray &b)
{
    // The platform's strings are zero-terminated: a lone NUL is how it stores an empty string.
    const qsizetype fim = b.indexOf('\0');
    return deWin1252(fim < 0 ? b : b.left(fim));
}

QString unicodeAteNul(const QByteArray &b)
{
    QString s(b.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        s[i] = QChar(char16_t(uchar(b[2 * i]) | (uchar(b[2 * i + 1]) << 8)));
    const qsizetype fim = s.indexOf(QChar(0));
    return fim < 0 ? s : s.left(fim);
}

QDate dataDeDias(qint64 dias)
{
    return QDate::fromJulianDay(dias + kDeslocamentoJuliano);
}

class LeitorLinhas
{
public:
    explicit LeitorLinhas(Leitor &l) : m_l(l) {}

    LinhaPacote linha(const QList<CampoPacote> &campos, int profundidade)
    {
        LinhaPacote r;
        r.estado = m_l.u8("o estado de um registro");
        const int n = int(campos.size());
        m_valores += n;
        if (m_valores > kMaximoValores)
            invalido(QStringLiteral("mais de %1 valores, além do que um pacote de dados traz").arg(kMaximoValores));
        const uchar *marcas = m_l.pegar((n + 3) / 4, "as marcas de nulo de um registro");
        r.valores.reserve(n);
        r.marcas.reserve(n);
        for (int i = 0; i < n; ++i) {
            const quint8 m = (marcas[i / 4] >> ((i % 4) * 2)) & 3;
            if (m == 3)
                invalido(QStringLiteral("marcas de nulo inválidas no campo '%1' (posição %2)").arg(campos[i].nome).arg(m_l.pos()));
            if (m != LinhaPacote::Valor) {
                r.valores.append(QVariant());
                r.marcas.append(m);
                continue;
            }
            bool nulo = false;
            r.valores.append(valor(campos[i], profundidade, nulo));
            r.marcas.append(nulo ? LinhaPacote::Nulo : LinhaPacote::Valor);
        }
        return r;
    }

    QList<LinhaPacote> linhas(const QList<CampoPacote> &campos, quint32 qtd, int profundidade)
    {
        // Every row takes at least its status byte and its null marks, so the count cannot exceed this.
        const qint64 minimo = 1 + (campos.size() + 3) / 4;
        if (qtd > m_l.restante() / minimo)
            invalido(QStringLiteral("%1 registros anunciados na posição %2, mas restam apenas %3 bytes")
                         .arg(qtd).arg(m_l.pos()).arg(m_l.restante()));
        QList<LinhaPacote> r;
        r.reserve(qtd);
        for (quint32 i = 0; i < qtd; ++i)
            r.append(linha(campos, profundidade));
        return r;
    }

private:
    QVariant valor(const CampoPacote &c, int profundidade, bool &nulo)
    {
        const Oque oque{"o valor do campo '%1'", &c.nome};
        if (c.tipo == TipoCampo::TabelaAninhada) {
            const quint32 qtd = m_l.u32(oque);
            if (qtd & kBlobAdiado) {
                nulo = true;
                return {};
            }
            QVariantList linhasFilhas;
            for (const LinhaPacote &f : linhas(c.filhos, qtd, profundidade + 1))
                linhasFilhas.append(QVariant(f.valores));
            return linhasFilhas;
        }
        if (c.palavraTipo & kArranjo) {
            const quint32 qtd = m_l.u32(oque);
            const int largura = larguraFixa(c.palavraTamanho, c.palavraTipo);
            QByteArray b = m_l.bytes(qint64(qtd) * largura, oque);
            QByteArray contagem(4, 0);
            for (int i = 0; i < 4; ++i)
                contagem[i] = char(qtd >> (8 * i));
            return contagem + b;
        }
        if (c.palavraTipo & kVariavel) {
            const int prefixo = c.palavraTamanho;
            if (prefixo != 1 && prefixo != 2 && prefixo != 4)
                invalido(QStringLiteral("o campo '%1' tem prefixo de comprimento de %2 bytes").arg(c.nome).arg(prefixo));
            const quint32 comprimento = prefixo == 1 ? m_l.u8(oque) : prefixo == 2 ? m_l.u16(oque) : m_l.u32(oque);
            if (prefixo == 4 && (comprimento & kBlobAdiado)) {
                nulo = true;   // a blob the provider never fetched
                return {};
            }
            const QByteArray b = m_l.bytes(comprimento, oque);
            switch (c.tipo) {
            case TipoCampo::Texto:
                return textoAteNul(b);
            case TipoCampo::TextoUnicode:
                return unicodeAteNul(b);
            case TipoCampo::Memo:
                return deWin1252(b);
            case TipoCampo::MemoUnicode: {
                QString s(b.size() / 2, Qt::Uninitialized);
                for (qsizetype i = 0; i < s.size(); ++i)
                    s[i] = QChar(char16_t(uchar(b[2 * i]) | (uchar(b[2 * i + 1]) << 8)));
                return s;
            }
            default:
                return b;
            }
        }
        const int largura = larguraFixa(c.palavraTamanho, c.palavraTipo);
        const uchar *p = m_l.pegar(largura, oque);
        switch (c.tipo) {
        case TipoCampo::Inteiro:
            return int(comSinal(inteiroLE(p, largura), largura));
        case TipoCampo::Inteiro64:
            return qint64(inteiroLE(p, 8));
        case TipoCampo::SemSinal:
            return uint(inteiroLE(p, largura));
        case TipoCampo::SemSinal64:
            return quint64(inteiroLE(p, 8));
        case TipoCampo::Logico:
            return inteiroLE(p, largura) != 0;
        case TipoCampo::Real:
            return largura == 10 ? estendidoLE(p) : doubleLE(p);
        case TipoCampo::Real32: {
            const quint32 bits = quint32(inteiroLE(p, 4));
            float f;
            std::memcpy(&f, &bits, 4);
            return double(f);
        }
        case TipoCampo::Bcd:
        case TipoCampo::FmtBcd:
            return decimalDeBcd(p);
        case TipoCampo::Data:
            return dataDeDias(comSinal(inteiroLE(p, 4), 4));
        case TipoCampo::Hora: {
            const qint64 ms = comSinal(inteiroLE(p, 4), 4);
            if (ms < 0 || ms >= kMsPorDia)
                invalido(QStringLiteral("hora fora do dia (%1 ms) no campo '%2'").arg(ms).arg(c.nome));
            return QTime::fromMSecsSinceStartOfDay(int(ms));
        }
        case TipoCampo::DataHora: {
            const double d = doubleLE(p);
            // Beyond a few million years the value is garbage, and Qt cannot hold it anyway.
            if (!std::isfinite(d) || std::fabs(d) > 1e17)
                invalido(QStringLiteral("data-hora inválida no campo '%1'").arg(c.nome));
            const qint64 ms = std::llround(d);
            qint64 dias = ms / kMsPorDia;
            qint64 resto = ms % kMsPorDia;
            if (resto < 0) {
                resto += kMsPorDia;
                --dias;
            }
            return QDateTime(dataDeDias(dias), QTime::fromMSecsSinceStartOfDay(int(resto)));
        }
        case TipoCampo::DataHoraSql:
        case TipoCampo::DataHoraFuso: {
            const int ano = int(comSinal(inteiroLE(p, 2), 2));
            const QDate data(ano, int(inteiroLE(p + 2, 2)), int(inteiroLE(p + 4, 2)));
            const QTime hora(int(inteiroLE(p + 6, 2)), int(inteiroLE(p + 8, 2)), int(inteiroLE(p + 10, 2)),
                             int(qMin<quint64>(inteiroLE(p + 12, 4), 999)));
            if (!data.isValid() || !hora.isValid())
                invalido(QStringLiteral("data-hora inválida no campo '%1'").arg(c.nome));
            if (c.tipo == TipoCampo::DataHoraSql)
                return QDateTime(data, hora);
            const int fuso = int(comSinal(inteiroLE(p + 16, 2), 2)) * 3600 + int(comSinal(inteiroLE(p + 18, 2), 2)) * 60;
            if (fuso < -14 * 3600 || fuso > 14 * 3600)
                invalido(QStringLiteral("fuso horário inválido no campo '%1'").arg(c.nome));
            return QDateTime(data, hora, Qt::OffsetFromUTC, fuso);
        }
        default:
            return QByteArray(reinterpret_cast<const char *>(p), largura);
        }
    }

    Leitor &m_l;
    qint64 m_valores = 0;
};

// The current records: the visible rows, with every "not changed" value taken from the
// version it replaced (following the change log's modifications back). A value no version
// ever had reads as NULL. Each chain is walked once per field, so a long or looping log
// cannot make this slow.
QList<QVariantList> registrosAtuais(const QList<LinhaPacote> &linhas, const ParametroPacote *log)
{
    const qsizetype n = linhas.size();
    std::vector<qint64> anterior(static_cast<size_t>(n), -1);   // row -> the row it replaced (0-based)
    if (log) {
        const QByteArray &b = log->bruto;
        const auto *p = reinterpret_cast<const uchar *>(b.constData());
        const bool forma = (log->palavraTipo & (kArranjo | kVariavel | kMascaraBase)) == (kArranjo | bUInt) && log->palavraTamanho == 4;
        const quint64 qtd = forma && b.size() >= 4 ? inteiroLE(p, 4) : 1;
        if (!forma || qtd % 3 != 0 || quint64(b.size()) != 4 + qtd * 4)
            invalido(QStringLiteral("registro de alterações (CHANGE_LOG) malformado"));
        for (quint64 e = 0; e < qtd; e += 3) {
            const quint64 linha = inteiroLE(p + 4 + e * 4, 4);
            const quint64 substituida = inteiroLE(p + 8 + e * 4, 4);
            const quint64 acao = inteiroLE(p + 12 + e * 4, 4);
            if (linha < 1 || linha > quint64(n))
                invalido(QStringLiteral("o registro de alterações aponta o registro %1 de %2").arg(linha).arg(n));
            if (acao & kModificado) {
                if (substituida < 1 || substituida > quint64(n) || substituida == linha)
                    invalido(QStringLiteral("o registro de alterações aponta o registro %1 de %2").arg(substituida).arg(n));
                anterior[linha - 1] = qint64(substituida - 1);
            }
        }
    } else {
        // A delta packet has no log: a modified row follows its original directly.
        for (qsizetype r = 1; r < n; ++r)
            if (linhas[r - 1].estado & kOriginal)
                anterior[r] = r - 1;
    }

    QList<QVariantList> registros;
    QList<qsizetype> visiveis;
    for (qsizetype r = 0; r < n; ++r) {
        if (!(linhas[r].estado & kInvisivel)) {
            registros.append(linhas[r].valores);
            visiveis.append(r);
        }
    }
    const qsizetype campos = n ? linhas[0].marcas.size() : 0;
    std::vector<qint64> fonte(static_cast<size_t>(n));   // the row whose value this row shows; -1 for NULL
    std::vector<quint8> visto(static_cast<size_t>(n));   // 0 not yet, 1 on the chain being walked, 2 resolved
    std::vector<qint64> caminho;
    for (qsizetype i = 0; i < campos; ++i) {
        std::fill(visto.begin(), visto.end(), quint8(0));
        for (qsizetype k = 0; k < visiveis.size(); ++k) {
            const qsizetype r = visiveis[k];
            if (linhas[r].marcas[i] != LinhaPacote::NaoAlterado)
                continue;
            caminho.clear();
            qint64 x = r, resultado = -1;
            for (;;) {
                if (visto[x] == 2) {
                    resultado = fonte[x];
                    break;
                }
                const quint8 marca = linhas[x].marcas[i];
                if (visto[x] == 1 || marca == LinhaPacote::Nulo)
                    break;   // a loop in the log, or a version that was NULL
                if (marca == LinhaPacote::Valor) {
                    resultado = x;
                    break;
                }
                visto[x] = 1;
                caminho.push_back(x);
                if (anterior[x] < 0)
                    break;   // never assigned
                x = anterior[x];
            }
            for (qint64 y : caminho) {
                fonte[y] = resultado;
                visto[y] = 2;
            }
            if (resultado >= 0)
                registros[k][i] = linhas[resultado].valores[i];
        }
    }
    return registros;
}

// --------------------------------------------------------------------------------- writing

class Escritor
{
public:
    QByteArray b;
    void u8(quint32 v) { b.append(char(v & 0xFF)); }
    void u16(quint32 v) { u8(v); u8(v >> 8); }
    void u32(quint32 v) { u16(v); u16(v >> 16); }
    void inteiro(quint64 v, int n)
    {
        for (int i = 0; i < n; ++i)
            u8(quint32(v >> (8 * i)));
    }
    void real(double d)
    {
        quint64 bits;
        std::memcpy(&bits, &d, 8);
        inteiro(bits, 8);
    }
    void bytes(const QByteArray &x) { b.append(x); }
    void prefixado(const QByteArray &x, int prefixo)
    {
        inteiro(quint64(x.size()), prefixo);
        b.append(x);
    }
};

QByteArray estendido(double d)
{
    QByteArray r(10, 0);
    quint64 mantissa = 0;
    int se = 0;
    if (std::isnan(d)) {
        se = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(d)) {
        se = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (d != 0) {
        int e;
        const double m = std::frexp(std::fabs(d), &e);   // m in [0.5, 1)
        mantissa = quint64(std::ldexp(m, 64));
        se = e - 1 + 16383;
    }
    if (std::signbit(d))
        se |= 0x8000;
    for (int i = 0; i < 8; ++i)
        r[i] = char(mantissa >> (8 * i));
    r[8] = char(se);
    r[9] = char(se >> 8);
    return r;
}

QByteArray utf16le(const QString &s)
{
    QByteArray r;
    r.reserve(s.size() * 2);
    for (QChar c : s) {
        r.append(char(c.unicode() & 0xFF));
        r.append(char(c.unicode() >> 8));
    }
    return r;
}

int prefixoDe(int largura) { return largura >= 255 ? 2 : 1; }

int precisaoBcd(const CampoPacote &c) { return c.tamanho > 0 ? c.tamanho : 32; }

QString subtipoEfetivo(const CampoPacote &c)
{
    switch (c.tipo) {
    case TipoCampo::Memo:
        return (c.subtipo == u"Formatted" || c.subtipo == u"HMemo") ? c.subtipo : QStringLiteral("Text");
    case TipoCampo::MemoUnicode:
        return QStringLiteral("WideText");
    case TipoCampo::Grafico:
        return QStringLiteral("Graphics");
    default:
        return c.subtipo;
    }
}

int contarDescritores(const QList<CampoPacote> &campos)
{
    int n = 0;
    for (const CampoPacote &c : campos)
        n += 1 + (c.tipo == TipoCampo::TabelaAninhada ? contarDescritores(c.filhos) : 0);
    return n;
}

bool usaTipoNovo(const QList<CampoPacote> &campos)
{
    for (const CampoPacote &c : campos) {
        switch (c.tipo) {
        case TipoCampo::TabelaAninhada:
        case TipoCampo::DataHoraSql:
        case TipoCampo::DataHoraFuso:
        case TipoCampo::FmtBcd:
        case TipoCampo::Real32:
            return true;
        case TipoCampo::Desconhecido:
            if ((c.palavraTipo & kMascaraBase) > bBytes)
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

struct Palavras
{
    quint16 tamanho;
    quint16 tipo;
};

Palavras palavrasDe(const CampoPacote &c)
{
    auto exigirTamanho = [&](std::initializer_list<int> validos, int padrao) {
        const int t = c.tamanho ? c.tamanho : padrao;
        for (int v : validos)
            if (v == t)
                return quint16(t);
        throw Erro(QStringLiteral("O campo %1 (%2) não pode ter tamanho %3").arg(c.nome, nomeTipoCampo(c.tipo)).arg(c.tamanho));
    };
    auto exigirLargura = [&](int maximo) {
        if (c.tamanho <= 0 || c.tamanho > maximo)
            throw Erro(QStringLiteral("O campo %1 (%2) precisa de uma largura entre 1 e %3").arg(c.nome, nomeTipoCampo(c.tipo)).arg(maximo));
    };
    switch (c.tipo) {
    case TipoCampo::Inteiro:
        return {exigirTamanho({1, 2, 4}, 4), bInt};
    case TipoCampo::Inteiro64:
        return {8, bInt};
    case TipoCampo::SemSinal:
        return {exigirTamanho({1, 2, 4}, 4), bUInt};
    case TipoCampo::SemSinal64:
        return {8, bUInt};
    case TipoCampo::Logico:
        return {exigirTamanho({1, 2, 4}, 2), bBool};
    case TipoCampo::Real:
        return {exigirTamanho({8, 10}, 8), bFloat};
    case TipoCampo::Real32:
        return {4, bSingle};
    case TipoCampo::Bcd:
    case TipoCampo::FmtBcd:
        if (precisaoBcd(c) > 32 || c.decimais > precisaoBcd(c))
            throw Erro(QStringLiteral("O campo %1 tem precisão ou casas decimais inválidas").arg(c.nome));
        return {quint16(2 + (precisaoBcd(c) + 1) / 2), quint16(c.tipo == TipoCampo::Bcd ? bBcd : bFmtBcd)};
    case TipoCampo::Data:
        return {4, bDate};
    case TipoCampo::Hora:
        return {4, bTime};
    case TipoCampo::DataHora:
        return {8, bTimestamp};
    case TipoCampo::DataHoraSql:
        return {16, bDateTime};
    case TipoCampo::DataHoraFuso:
        return {20, bDateTimeOffset};
    case TipoCampo::Texto:
        exigirLargura(0xFFFF);
        return {quint16(prefixoDe(c.tamanho)), quint16(bZString | kVariavel)};
    case TipoCampo::TextoUnicode:
        exigirLargura(0x7FFF);
        return {quint16(prefixoDe(c.tamanho * 2)), quint16(bUnicode | kVariavel)};
    case TipoCampo::Bytes:
        exigirLargura(0xFFFF);
        return {quint16(c.tamanho), bBytes};
    case TipoCampo::BytesVariaveis:
        exigirLargura(0xFFFF);
        return {quint16(prefixoDe(c.tamanho)), quint16(bBytes | kVariavel)};
    case TipoCampo::Memo:
    case TipoCampo::MemoUnicode:
    case TipoCampo::Grafico:
    case TipoCampo::Blob:
        return {4, quint16(bBytes | kVariavel)};
    case TipoCampo::TabelaAninhada:
        return {quint16(contarDescritores(c.filhos)), quint16(bTabela | kPseudo | kEmbutida)};
    case TipoCampo::Desconhecido:
        return {c.palavraTamanho, c.palavraTipo};
    }
    return {c.palavraTamanho, c.palavraTipo};
}

QByteArray brutoInteiro(quint16 palavraTamanho, qint64 v)
{
    QByteArray r;
    for (int i = 0; i < palavraTamanho; ++i)
        r.append(char(quint64(v) >> (8 * i)));
    return r;
}

ParametroPacote comValor(const ParametroPacote &modelo, qint64 v)
{
    ParametroPacote p = modelo;
    if ((p.palavraTipo & (kVariavel | kArranjo)) || p.palavraTamanho < 1 || p.palavraTamanho > 8)
        p = ParametroPacote::semSinal16(modelo.nome, 0);
    p.bruto = brutoInteiro(p.palavraTamanho, v);
    return p;
}

QList<ParametroPacote> parametrosDe(const CampoPacote &c)
{
    const QString subtipo = subtipoEfetivo(c);
    bool temLargura = false;
    qint64 largura = 0;
    switch (c.tipo) {
    case TipoCampo::Texto:
    case TipoCampo::BytesVariaveis:
        temLargura = true;
        largura = c.tamanho;
        break;
    case TipoCampo::TextoUnicode:
        temLargura = true;
        largura = qint64(c.tamanho) * 2;
        break;
    case TipoCampo::Bcd:
    case TipoCampo::FmtBcd:
        temLargura = true;
        largura = precisaoBcd(c);
        break;
    case TipoCampo::Memo:
    case TipoCampo::MemoUnicode:
    case TipoCampo::Grafico:
    case TipoCampo::Blob:
        temLargura = c.tamanho > 0;
        largura = c.tamanho;
        break;
    default:
        break;
    }
    const bool temDecimais = c.tipo == TipoCampo::Bcd || c.tipo == TipoCampo::FmtBcd;
    const bool nomeLongo = paraWin1252(c.nome).size() > 31;

    QList<ParametroPacote> r;
    bool pusLargura = false, pusDecimais = false, pusSubtipo = false, pusNome = false;
    for (const ParametroPacote &p : c.parametros) {
        if (p.nome == u"WIDTH") {
            if (temLargura && !pusLargura)
                r.append(comValor(p, largura));
            pusLargura = true;
        } else if (p.nome == u"DECIMALS") {
            if (temDecimais && !pusDecimais)
                r.append(comValor(p, c.decimais));
            pusDecimais = true;
        } else if (p.nome == u"SUBTYPE") {
            if (!subtipo.isEmpty() && !pusSubtipo)
                r.append(ParametroPacote::texto(p.nome, subtipo));
            pusSubtipo = true;
        } else if (p.nome == u"FIELDNAME") {
            if (nomeLongo && !pusNome)
                r.append(ParametroPacote::texto(p.nome, c.nome));
            pusNome = true;
        } else {
            r.append(p);
        }
    }
    if (!subtipo.isEmpty() && !pusSubtipo)
        r.append(ParametroPacote::texto(QStringLiteral("SUBTYPE"), subtipo));
    if (temLargura && !pusLargura)
        r.append(ParametroPacote::semSinal16(QStringLiteral("WIDTH"), quint16(largura)));
    if (temDecimais && !pusDecimais)
        r.append(ParametroPacote::semSinal16(QStringLiteral("DECIMALS"), quint16(c.decimais)));
    if (nomeLongo && !pusNome)
        r.append(ParametroPacote::texto(QStringLiteral("FIELDNAME"), c.nome));
    return r;
}

void escreverParametros(Escritor &e, const QList<ParametroPacote> &lista)
{
    if (lista.size() > 0xFFFF)
        throw Erro(QStringLiteral("Parâmetros demais num pacote de dados"));
    e.u16(quint32(lista.size()));
    for (const ParametroPacote &p : lista) {
        const QByteArray nome = paraWin1252(p.nome);
        if (nome.size() > 255)
            throw Erro(QStringLiteral("Nome de parâmetro longo demais: %1").arg(p.nome));
        e.u8(quint32(nome.size()));
        e.bytes(nome);
        e.u16(p.palavraTamanho);
        e.u16(p.palavraTipo);
        e.bytes(p.bruto);
    }
}

void escreverCampos(Escritor &e, const QList<CampoPacote> &campos)
{
    for (const CampoPacote &c : campos) {
        QByteArray nome = paraWin1252(c.nome);
        if (nome.isEmpty())
            throw Erro(QStringLiteral("Um campo do pacote de dados não tem nome"));
        // The loader keeps 31 bytes of the name; the full name goes in FIELDNAME.
        if (nome.size() > 31)
            nome.truncate(31);
        const Palavras w = palavrasDe(c);
        e.u8(quint32(nome.size()));
        e.bytes(nome);
        e.u16(w.tamanho);
        e.u16(w.tipo);
        e.u16(c.atributos);
        escreverParametros(e, parametrosDe(c));
        if (c.tipo == TipoCampo::TabelaAninhada) {
            if (c.filhos.isEmpty())
                throw Erro(QStringLiteral("A tabela aninhada %1 não tem campos").arg(c.nome));
            escreverCampos(e, c.filhos);
            escreverParametros(e, c.parametrosFilhos);
        }
    }
}

QByteArray bcdDe(const CampoPacote &c, const QVariant &v)
{
    QString s = v.typeId() == QMetaType::QString ? v.toString().trimmed() : QString::number(v.toDouble(), 'f', c.decimais);
    bool negativo = false;
    if (s.startsWith(u'-') || s.startsWith(u'+')) {
        negativo = s.startsWith(u'-');
        s.remove(0, 1);
    }
    const qsizetype ponto = s.indexOf(u'.');
    QString inteira = ponto < 0 ? s : s.left(ponto);
    QString fracao = ponto < 0 ? QString() : s.mid(ponto + 1);
    for (QChar ch : inteira + fracao)
        if (!ch.isDigit() || ch.unicode() > u'9')
            valorInvalido(c.nome, QStringLiteral("\"%1\" não é um número decimal").arg(v.toString()));
    const int casas = c.decimais;
    if (fracao.size() > casas) {
        if (temDigitoNaoZero(QStringView(fracao).mid(casas)))
            valorInvalido(c.nome, QStringLiteral("mais de %1 casas decimais").arg(casas));
        fracao.truncate(casas);
    }
    fracao = fracao.leftJustified(casas, u'0');
    while (inteira.size() > 1 && inteira.startsWith(u'0'))
        inteira.remove(0, 1);
    const int precisao = precisaoBcd(c);
    QString digitos = inteira + fracao;
    if (digitos.size() > precisao) {
        const qsizetype sobra = digitos.size() - precisao;
        if (temDigitoNaoZero(QStringView(digitos).left(sobra)))
            valorInvalido(c.nome, QStringLiteral("mais de %1 dígitos").arg(precisao));
        digitos.remove(0, sobra);
    }
    digitos = digitos.rightJustified(precisao, u'0');
    QByteArray r(18, 0);
    r[0] = char(precisao);
    r[1] = char((negativo ? 0x80 : 0) | (casas & 0x3F));
    for (int i = 0; i < precisao; ++i) {
        const int d = digitos[i].unicode() - u'0';
        r[2 + i / 2] = char(uchar(r[2 + i / 2]) | (i % 2 == 0 ? d << 4 : d));
    }
    return r;
}

bool ehNulo(const QVariant &v) { return !v.isValid() || v.isNull(); }

class EscritorLinhas
{
public:
    explicit EscritorLinhas(Escritor &e) : m_e(e) {}

    void linha(const QList<CampoPacote> &campos, const QVariantList &valores, quint8 estado)
    {
        if (valores.size() != campos.size())
            throw Erro(QStringLiteral("Registro com %1 valores para %2 campos").arg(valores.size()).arg(campos.size()));
        m_e.u8(estado);
        QByteArray marcas((campos.size() + 3) / 4, 0);
        for (qsizetype i = 0; i < campos.size(); ++i)
            if (ehNulo(valores[i]))
                marcas[i / 4] = char(uchar(marcas[i / 4]) | (LinhaPacote::Nulo << ((i % 4) * 2)));
        m_e.bytes(marcas);
        for (qsizetype i = 0; i < campos.size(); ++i)
            if (!ehNulo(valores[i]))
                valor(campos[i], valores[i]);
    }

private:
    qint64 inteiro(const CampoPacote &c, const QVariant &v, qint64 minimo, qint64 maximo)
    {
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        if (!ok || n < minimo || n > maximo)
            valorInvalido(c.nome, QStringLiteral("\"%1\" não é um inteiro entre %2 e %3").arg(v.toString()).arg(minimo).arg(maximo));
        return n;
    }

    QDate data(const CampoPacote &c, const QVariant &v)
    {
        const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        if (!d.isValid())
            valorInvalido(c.nome, QStringLiteral("\"%1\" não é uma data").arg(v.toString()));
        return d;
    }

    QDateTime dataHora(const CampoPacote &c, const QVariant &v)
    {
        const QDateTime dt = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
        if (!dt.isValid())
            valorInvalido(c.nome, QStringLiteral("\"%1\" não é uma data-hora").arg(v.toString()));
        return dt;
    }

    QByteArray bytesDe(const QVariant &v)
    {
        return v.typeId() == QMetaType::QString ? paraWin1252(v.toString()) : v.toByteArray();
    }

    void blob(const CampoPacote &c, const QByteArray &b)
    {
        if (b.size() >= qsizetype(kBlobAdiado))
            valorInvalido(c.nome, QStringLiteral("grande demais"));
        m_e.prefixado(b, 4);
    }

    void sqlDataHora(const QDateTime &dt)
    {
        const QDate d = dt.date();
        const QTime t = dt.time();
        m_e.inteiro(quint64(d.year()), 2);
        m_e.u16(quint32(d.month()));
        m_e.u16(quint32(d.day()));
        m_e.u16(quint32(t.hour()));
        m_e.u16(quint32(t.minute()));
        m_e.u16(quint32(t.second()));
        m_e.u32(quint32(t.msec()));
    }

    void valor(const CampoPacote &c, const QVariant &v)
    {
        switch (c.tipo) {
        case TipoCampo::Inteiro: {
            const int n = c.tamanho ? c.tamanho : 4;
            const qint64 limite = qint64(1) << (n * 8 - 1);
            m_e.inteiro(quint64(inteiro(c, v, -limite, limite - 1)), n);
            return;
        }
        case TipoCampo::Inteiro64:
            m_e.inteiro(quint64(inteiro(c, v, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max())), 8);
            return;
        case TipoCampo::SemSinal: {
            const int n = c.tamanho ? c.tamanho : 4;
            m_e.inteiro(quint64(inteiro(c, v, 0, (qint64(1) << (n * 8)) - 1)), n);
            return;
        }
        case TipoCampo::SemSinal64: {
            bool ok = false;
            const quint64 n = v.toULongLong(&ok);
            if (!ok)
                valorInvalido(c.nome, QStringLiteral("\"%1\" não é um inteiro sem sinal").arg(v.toString()));
            m_e.inteiro(n, 8);
            return;
        }
        case TipoCampo::Logico:
            m_e.inteiro(v.toBool() ? 1 : 0, c.tamanho ? c.tamanho : 2);
            return;
        case TipoCampo::Real:
        case TipoCampo::Real32: {
            bool ok = false;
            const double d = v.toDouble(&ok);
            if (!ok)
                valorInvalido(c.nome, QStringLiteral("\"%1\" não é um número").arg(v.toString()));
            if (c.tipo == TipoCampo::Real32) {
                const float f = float(d);
                quint32 bits;
                std::memcpy(&bits, &f, 4);
                m_e.u32(bits);
                m_e.u32(0);
            } else if (c.tamanho == 10) {
                m_e.bytes(estendido(d));
            } else {
                m_e.real(d);
            }
            return;
        }
        case TipoCampo::Bcd:
        case TipoCampo::FmtBcd:
            m_e.bytes(bcdDe(c, v));
            return;
        case TipoCampo::Data: {
            const qint64 dias = data(c, v).toJulianDay() - kDeslocamentoJuliano;
            if (dias < std::numeric_limits<qint32>::min() || dias > std::numeric_limits<qint32>::max())
                valorInvalido(c.nome, QStringLiteral("data fora do alcance"));
            m_e.inteiro(quint64(dias), 4);
            return;
        }
        case TipoCampo::Hora: {
            const QTime t = v.typeId() == QMetaType::QDateTime ? v.toDateTime().time() : v.toTime();
            if (!t.isValid())
                valorInvalido(c.nome, QStringLiteral("\"%1\" não é uma hora").arg(v.toString()));
            m_e.u32(quint32(t.msecsSinceStartOfDay()));
            return;
        }
        case TipoCampo::DataHora: {
            // The wall-clock date and time as they are: the packet has no time zone.
            const QDateTime dt = dataHora(c, v);
            const qint64 dias = dt.date().toJulianDay() - kDeslocamentoJuliano;
            m_e.real(double(dias) * double(kMsPorDia) + double(dt.time().msecsSinceStartOfDay()));
            return;
        }
        case TipoCampo::DataHoraSql:
            sqlDataHora(dataHora(c, v));
            return;
        case TipoCampo::DataHoraFuso: {
            const QDateTime dt = dataHora(c, v);
            sqlDataHora(dt);
            const int fuso = dt.offsetFromUtc();
            m_e.inteiro(quint64(qint64(fuso / 3600)), 2);
            m_e.inteiro(quint64(qint64((fuso % 3600) / 60)), 2);
            return;
        }
        case TipoCampo::Texto: {
            QByteArray b = paraWin1252(v.toString());
            if (b.size() > c.tamanho)
                valorInvalido(c.nome, QStringLiteral("%1 caracteres, mais do que os %2 do campo").arg(b.size()).arg(c.tamanho));
            if (b.isEmpty())
                b = QByteArray(1, '\0');   // the platform stores an empty string as a lone NUL
            m_e.prefixado(b, prefixoDe(c.tamanho));
            return;
        }
        case TipoCampo::TextoUnicode: {
            const QString s = v.toString();
            if (s.size() > c.tamanho)
                valorInvalido(c.nome, QStringLiteral("%1 caracteres, mais do que os %2 do campo").arg(s.size()).arg(c.tamanho));
            m_e.prefixado(s.isEmpty() ? QByteArray(2, '\0') : utf16le(s), prefixoDe(c.tamanho * 2));
            return;
        }
        case TipoCampo::Bytes: {
            const QByteArray b = v.toByteArray();
            if (b.size() > c.tamanho)
                valorInvalido(c.nome, QStringLiteral("%1 bytes, mais do que os %2 do campo").arg(b.size()).arg(c.tamanho));
            m_e.bytes(b.leftJustified(c.tamanho, '\0'));
            return;
        }
        case TipoCampo::BytesVariaveis: {
            const QByteArray b = v.toByteArray();
            if (b.size() > c.tamanho)
                valorInvalido(c.nome, QStringLiteral("%1 bytes, mais do que os %2 do campo").arg(b.size()).arg(c.tamanho));
            m_e.prefixado(b, prefixoDe(c.tamanho));
            return;
        }
        case TipoCampo::Memo:
            blob(c, bytesDe(v));
            return;
        case TipoCampo::MemoUnicode:
            blob(c, utf16le(v.toString()));
            return;
        case TipoCampo::Grafico:
        case TipoCampo::Blob:
            blob(c, v.toByteArray());
            return;
        case TipoCampo::TabelaAninhada: {
            const QVariantList linhas = v.toList();
            m_e.u32(quint32(linhas.size()));
            for (const QVariant &l : linhas)
                linha(c.filhos, l.toList(), 0);
            return;
        }
        case TipoCampo::Desconhecido: {
            const QByteArray b = v.toByteArray();
            if (c.palavraTipo & kArranjo) {
                m_e.bytes(b);
            } else if (c.palavraTipo & kVariavel) {
                m_e.prefixado(b, c.palavraTamanho);
            } else {
                if (b.size() != larguraFixa(c.palavraTamanho, c.palavraTipo))
                    valorInvalido(c.nome, QStringLiteral("%1 bytes em vez de %2").arg(b.size()).arg(larguraFixa(c.palavraTamanho, c.palavraTipo)));
                m_e.bytes(b);
            }
            return;
        }
        }
    }

    Escritor &m_e;
};

} // namespace

// --------------------------------------------------------------------------------- public

QString nomeTipoCampo(TipoCampo tipo)
{
    switch (tipo) {
    case TipoCampo::Desconhecido: return QStringLiteral("Desconhecido");
    case TipoCampo::Inteiro: return QStringLiteral("Inteiro");
    case TipoCampo::Inteiro64: return QStringLiteral("Inteiro64");
    case TipoCampo::SemSinal: return QStringLiteral("SemSinal");
    case TipoCampo::SemSinal64: return QStringLiteral("SemSinal64");
    case TipoCampo::Logico: return QStringLiteral("Logico");
    case TipoCampo::Real: return QStringLiteral("Real");
    case TipoCampo::Real32: return QStringLiteral("Real32");
    case TipoCampo::Bcd: return QStringLiteral("Bcd");
    case TipoCampo::FmtBcd: return QStringLiteral("FmtBcd");
    case TipoCampo::Data: return QStringLiteral("Data");
    case TipoCampo::Hora: return QStringLiteral("Hora");
    case TipoCampo::DataHora: return QStringLiteral("DataHora");
    case TipoCampo::DataHoraSql: return QStringLiteral("DataHoraSql");
    case TipoCampo::DataHoraFuso: return QStringLiteral("DataHoraFuso");
    case TipoCampo::Texto: return QStringLiteral("Texto");
    case TipoCampo::TextoUnicode: return QStringLiteral("TextoUnicode");
    case TipoCampo::Bytes: return QStringLiteral("Bytes");
    case TipoCampo::BytesVariaveis: return QStringLiteral("BytesVariaveis");
    case TipoCampo::Memo: return QStringLiteral("Memo");
    case TipoCampo::MemoUnicode: return QStringLiteral("MemoUnicode");
    case TipoCampo::Grafico: return QStringLiteral("Grafico");
    case TipoCampo::Blob: return QStringLiteral("Blob");
    case TipoCampo::TabelaAninhada: return QStringLiteral("TabelaAninhada");
    }
    return QStringLiteral("Desconhecido");
}

QVariant ParametroPacote::valor() const
{
    const uchar *p = reinterpret_cast<const uchar *>(bruto.constData());
    const qsizetype n = bruto.size();
    const int base = palavraTipo & kMascaraBase;
    auto escalar = [&](const uchar *q, int largura) -> QVariant {
        if (base == bInt && largura >= 1 && largura <= 8)
            return comSinal(inteiroLE(q, largura), largura);
        if ((base == bUInt || base == bBool) && largura >= 1 && largura <= 8)
            return inteiroLE(q, largura);
        if (base == bFloat && largura == 8)
            return doubleLE(q);
        return QByteArray(reinterpret_cast<const char *>(q), largura);
    };
    if (palavraTipo & kArranjo) {
        if (n < 4)
            return {};
        const quint32 qtd = quint32(inteiroLE(p, 4));
        const int largura = larguraFixa(palavraTamanho, palavraTipo);
        if (largura <= 0 || qint64(qtd) * largura != n - 4)
            return {};
        QVariantList lista;
        lista.reserve(qtd);
        for (quint32 i = 0; i < qtd; ++i)
            lista.append(escalar(p + 4 + qint64(i) * largura, largura));
        return lista;
    }
    if (palavraTipo & kVariavel) {
        const int prefixo = palavraTamanho;
        if (prefixo < 1 || prefixo > 4 || n < prefixo)
            return {};
        QByteArray dados = bruto.mid(prefixo);
        if (base == bZString) {
            if (dados.endsWith('\0'))
                dados.chop(1);
            return deWin1252(dados);
        }
        if (base == bUnicode)
            return unicodeAteNul(dados);
        return dados;
    }
    if (n != palavraTamanho && n != larguraFixa(palavraTamanho, palavraTipo))
        return {};
    return escalar(p, int(n));
}

ParametroPacote ParametroPacote::texto(const QString &nome, const QString &valor)
{
    // Text parameters carry their closing NUL, or the loader rejects them.
    const QByteArray b = paraWin1252(valor) + '\0';
    if (b.size() > 0xFFFF)
        throw Erro(QStringLiteral("Parâmetro %1 longo demais").arg(nome));
    ParametroPacote p{nome, 2, quint16(bZString | kVariavel), {}};
    p.bruto = brutoInteiro(2, b.size()) + b;
    return p;
}

ParametroPacote ParametroPacote::inteiro(const QString &nome, qint32 valor)
{
    return ParametroPacote{nome, 4, bInt, brutoInteiro(4, valor)};
}

ParametroPacote ParametroPacote::semSinal16(const QString &nome, quint16 valor)
{
    return ParametroPacote{nome, 2, bUInt, brutoInteiro(2, valor)};
}

CampoPacote CampoPacote::inteiro(const QString &nome)
{
    CampoPacote c;
    c.nome = nome;
    c.tipo = TipoCampo::Inteiro;
    c.tamanho = 4;
    return c;
}

CampoPacote CampoPacote::texto(const QString &nome, int largura)
{
    CampoPacote c;
    c.nome = nome;
    c.tipo = TipoCampo::Texto;
    c.tamanho = largura;
    return c;
}

CampoPacote CampoPacote::dataHora(const QString &nome)
{
    CampoPacote c;
    c.nome = nome;
    c.tipo = TipoCampo::DataHora;
    c.tamanho = 8;
    return c;
}

CampoPacote CampoPacote::memo(const QString &nome)
{
    CampoPacote c;
    c.nome = nome;
    c.tipo = TipoCampo::Memo;
    c.subtipo = QStringLiteral("Text");
    return c;
}

CampoPacote CampoPacote::grafico(const QString &nome)
{
    CampoPacote c;
    c.nome = nome;
    c.tipo = TipoCampo::Grafico;
    c.subtipo = QStringLiteral("Graphics");
    return c;
}

PacoteDados::PacoteDados(QList<CampoPacote> campos, const QString &nome)
    : nome(nome), campos(std::move(campos))
{
}

PacoteDados PacoteDados::ler(const QByteArray &dados)
{
    Leitor l(dados);
    if (dados.size() < qsizetype(kTamanhoCabecalho))
        invalido(QStringLiteral("%1 bytes não bastam para o cabeçalho").arg(dados.size()));
    const Oque cabecalho{"o cabeçalho"};
    const quint32 magico = l.u32(cabecalho);
    if (magico != kMagico && magico != kMagicoAntigo)
        invalido(QStringLiteral("assinatura %1 não é de um pacote binário").arg(magico, 8, 16, QChar(u'0')));
    PacoteDados p;
    p.m_versaoPrincipal = l.u16(cabecalho);
    p.m_versaoSecundaria = l.u16(cabecalho);
    if (p.m_versaoPrincipal > 3 || p.m_versaoSecundaria > 3)
        invalido(QStringLiteral("versão %1.%2 desconhecida").arg(p.m_versaoPrincipal).arg(p.m_versaoSecundaria));
    const quint32 tamanhoCabecalho = l.u32(cabecalho);
    const quint16 colunas = l.u16(cabecalho);
    const quint32 qtdLinhas = l.u32(cabecalho);
    const quint32 propriedades = l.u32(cabecalho);
    const quint16 inicioDados = l.u16(cabecalho);
    if (tamanhoCabecalho < kTamanhoCabecalho || tamanhoCabecalho > quint32(dados.size()))
        invalido(QStringLiteral("tamanho de cabeçalho %1 inválido").arg(tamanhoCabecalho));
    if (propriedades & 0x8000)
        invalido(QStringLiteral("o pacote está em XML, não no formato binário"));
    if (!(propriedades & 1))
        invalido(QStringLiteral("o pacote não traz as definições dos campos"));
    if (colunas == 0)
        invalido(QStringLiteral("o pacote não define nenhum campo"));
    l.irPara(tamanhoCabecalho);

    p.campos = lerCampos(l, colunas, 0);
    p.parametros = lerParametros(l);
    if ((propriedades & 2) && inicioDados != l.pos())
        invalido(QStringLiteral("o cabeçalho diz que os registros começam na posição %1, mas as definições terminam em %2")
                     .arg(inicioDados).arg(l.pos()));

    LeitorLinhas leitorLinhas(l);
    p.m_linhas = leitorLinhas.linhas(p.campos, qtdLinhas, 0);
    if (l.restante() != 0)
        invalido(QStringLiteral("%1 bytes sobrando depois do último registro").arg(l.restante()));

    const ParametroPacote *log = acharParametro(p.parametros, u"CHANGE_LOG");
    p.registros = registrosAtuais(p.m_linhas, log);
    p.parametros.removeIf([](const ParametroPacote &x) { return x.nome == u"CHANGE_LOG"; });
    return p;
}

PacoteDados PacoteDados::lerArquivo(const QString &caminho)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível abrir o pacote de dados %1: %2").arg(caminho, f.errorString()));
    try {
        return ler(f.readAll());
    } catch (const Erro &e) {
        throw Erro(e.texto() + QStringLiteral(" (arquivo %1)").arg(caminho));
    }
}

QByteArray PacoteDados::escrever(Forma forma) const
{
    if (campos.isEmpty())
        throw Erro(QStringLiteral("Um pacote de dados precisa de pelo menos um campo"));
    const int colunas = contarDescritores(campos);
    if (colunas > 0xFFFF)
        throw Erro(QStringLiteral("Campos demais num pacote de dados"));

    Escritor e;
    e.b.reserve(4096);
    e.bytes(QByteArray(int(kTamanhoCabecalho), '\0'));
    escreverCampos(e, campos);

    QList<ParametroPacote> params;
    const bool pendente = forma == Forma::InsercaoPendente && !registros.isEmpty();
    if (pendente) {
        // One insert entry per row, as the platform logs an append: (row, 0, insert).
        ParametroPacote log{QStringLiteral("CHANGE_LOG"), 4, quint16(bUInt | kArranjo), {}};
        Escritor l;
        l.u32(quint32(registros.size() * 3));
        for (qsizetype i = 0; i < registros.size(); ++i) {
            l.u32(quint32(i + 1));
            l.u32(0);
            l.u32(kInserido);
        }
        log.bruto = l.b;
        params.append(log);
    }
    for (const ParametroPacote &x : parametros)
        if (x.nome != u"CHANGE_LOG")
            params.append(x);
    escreverParametros(e, params);

    const qsizetype inicioDados = e.b.size();
    EscritorLinhas linhas(e);
    for (const QVariantList &r : registros)
        linhas.linha(campos, r, pendente ? kInserido : 0);

    Escritor h;
    h.u32(kMagico);
    h.u16(usaTipoNovo(campos) ? 2 : 1);
    h.u16(0);
    h.u32(kTamanhoCabecalho);
    h.u16(quint32(colunas));
    h.u32(quint32(registros.size()));
    // The data offset is a 16-bit field: past that the header only says "metadata included".
    const bool cabe = inicioDados <= 0xFFFF;
    h.u32(cabe ? 3 : 1);
    h.u16(cabe ? quint32(inicioDados) : 0);
    std::memcpy(e.b.data(), h.b.constData(), kTamanhoCabecalho);
    return e.b;
}

void PacoteDados::gravarArquivo(const QString &caminho, Forma forma) const
{
    const QByteArray dados = escrever(forma);
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(dados) != dados.size() || !f.flush())
        throw Erro(QStringLiteral("Não foi possível gravar o pacote de dados %1: %2").arg(caminho, f.errorString()));
}

int PacoteDados::indiceCampo(const QString &nomeCampo) const
{
    for (qsizetype i = 0; i < campos.size(); ++i)
        if (campos[i].nome.compare(nomeCampo, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int PacoteDados::indiceObrigatorio(const QString &nomeCampo) const
{
    const int i = indiceCampo(nomeCampo);
    if (i < 0) {
        // Worded as the data-access platform words it, since the operator sees it as such.
        const QString texto = QStringLiteral("Field '%1' not found").arg(nomeCampo);
        throw Erro(nome.isEmpty() ? texto : nome + QStringLiteral(": ") + texto);
    }
    return i;
}

const CampoPacote &PacoteDados::campo(const QString &nomeCampo) const
{
    return campos[indiceObrigatorio(nomeCampo)];
}

QVariant PacoteDados::valor(const QString &nomeCampo, int registro) const
{
    const int i = indiceObrigatorio(nomeCampo);
    if (registro < 0 || registro >= registros.size())
        return {};
    const QVariantList &r = registros[registro];
    return i < r.size() ? r[i] : QVariant();
}

void PacoteDados::definirValor(const QString &nomeCampo, const QVariant &v, int registro)
{
    const int i = indiceObrigatorio(nomeCampo);
    if (registro < 0 || registro >= registros.size())
        throw Erro(QStringLiteral("Registro %1 inexistente no pacote de dados").arg(registro));
    QVariantList &r = registros[registro];
    while (r.size() < campos.size())
        r.append(QVariant());
    r[i] = v;
}

int PacoteDados::adicionarRegistro()
{
    QVariantList r;
    r.resize(campos.size());
    registros.append(r);
    return int(registros.size() - 1);
}

} // namespace lumaro
