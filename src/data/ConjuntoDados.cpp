#include "ConjuntoDados.h"

#include "Win1252.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace lumaro {

namespace {

// Compact row encoding: a table of (count + 1) offsets, then the values. An offset with the top
// bit set marks NULL. A list of a hundred thousand requests stays within a few tens of megabytes.
constexpr quint32 kNulo = 0x80000000u;

enum : char { kBlobBytes = 0, kBlobId = 1 };

bool ehTexto(TipoColuna t)
{
    return t == TipoColuna::Texto || t == TipoColuna::TextoFixo || t == TipoColuna::Memo;
}

QString textoData(const QDate &d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }
QString textoHora(const QTime &t) { return t.toString(QStringLiteral("hh:mm:ss")); }

// Applies an edit mask such as "99.999.999/9999-99;0;_" to the characters of a stored value.
QString aplicarMascara(const QString &mascara, const QString &valor)
{
    QString m = mascara.section(QLatin1Char(';'), 0, 0);
    QString saida;
    int j = 0;
    for (int i = 0; i < m.size(); ++i) {
        const QChar c = m[i];
        if (c == u'\\' && i + 1 < m.size()) {
            saida += m[++i];
            continue;
        }
        if (c == u'!' || c == u'>' || c == u'<')
            continue;
        if (QStringLiteral("90#LlAaCc").contains(c)) {
            if (j < valor.size())
                saida += valor[j++];
            else
                saida += u' ';
        } else {
            saida += c;
        }
    }
    return saida;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Campo

QVariant Campo::valor() const
{
    return m_ds->valorBruto(-1, m_indice);
}

bool Campo::nulo() const
{
    const QVariant v = valor();
    return !v.isValid() || v.isNull();
}

QString Campo::texto() const
{
    const QVariant v = valor();
    if (!v.isValid() || v.isNull())
        return QString();
    switch (tipo) {
    case TipoColuna::Data: return textoData(v.toDate());
    case TipoColuna::Hora: return textoHora(v.toTime());
    case TipoColuna::DataHora: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? textoData(dt.date()) : textoData(dt.date()) + u' ' + textoHora(dt.time());
    }
    case TipoColuna::Binario: return deWin1252(v.toByteArray());
    case TipoColuna::Logico: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
    }
}

QString Campo::textoExibicao() const
{
    const QVariant v = valor();
    if (!v.isValid() || v.isNull())
        return QString();
    if (!formatoExibicao.isEmpty()) {
        static const QLocale br(QLocale::Portuguese, QLocale::Brazil);
        switch (tipo) {
        case TipoColuna::DataHora: return br.toString(v.toDateTime(), formatoExibicao);
        case TipoColuna::Data: return br.toString(v.toDate(), formatoExibicao);
        case TipoColuna::Hora: return br.toString(v.toTime(), formatoExibicao);
        default: break;
        }
    }
    if (!mascara.isEmpty() && ehTexto(tipo))
        return aplicarMascara(mascara, v.toString());
    if (tipo == TipoColuna::Memo)
        return QStringLiteral("(MEMO)");
    if (tipo == TipoColuna::Binario)
        return QStringLiteral("(BLOB)");
    return texto();
}

QVariant Campo::converter(const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const bool ehTextoEntrada = v.typeId() == QMetaType::QString;
    const QString s = ehTextoEntrada ? v.toString().trimmed() : QString();
    if (ehTextoEntrada && s.isEmpty() && !ehTexto(tipo) && tipo != TipoColuna::Binario)
        return QVariant();
    bool ok = true;
    switch (tipo) {
    case TipoColuna::Texto:
    case TipoColuna::TextoFixo:
    case TipoColuna::Memo:
        if (v.typeId() == QMetaType::QByteArray)
            return deWin1252(v.toByteArray());
        if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate)
            return QVariant(v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
        return v.toString();
    case TipoColuna::Inteiro:
    case TipoColuna::Pequeno: {
        const int x = ehTextoEntrada ? s.toInt(&ok) : v.toInt(&ok);
        if (!ok)
            throw Erro(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return x;
    }
    case TipoColuna::Grande: {
        const qint64 x = ehTextoEntrada ? s.toLongLong(&ok) : v.toLongLong(&ok);
        if (!ok)
            throw Erro(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return x;
    }
    case TipoColuna::Decimal:
    case TipoColuna::Real: {
        QString t = s;
        t.replace(u',', u'.');
        const double x = ehTextoEntrada ? t.toDouble(&ok) : v.toDouble(&ok);
        if (!ok)
            throw Erro(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
        return x;
    }
    case TipoColuna::Data: {
        QDate d = ehTextoEntrada ? QDate::fromString(s, QStringLiteral("dd/MM/yyyy")) : v.toDate();
        if (!d.isValid())
            throw Erro(QStringLiteral("'%1' is not a valid date").arg(v.toString()));
        return d;
    }
    case TipoColuna::Hora: {
        QTime t = ehTextoEntrada ? QTime::fromString(s, QStringLiteral("hh:mm:ss")) : v.toTime();
        if (!t.isValid() && ehTextoEntrada)
            t = QTime::fromString(s, QStringLiteral("hh:mm"));
        if (!t.isValid())
            throw Erro(QStringLiteral("'%1' is not a valid time").arg(v.toString()));
        return t;
    }
    case TipoColuna::DataHora: {
        QDateTime dt;
        if (ehTextoEntrada) {
            dt = QDateTime::fromString(s, QStringLiteral("dd/MM/yyyy hh:mm:ss"));
            if (!dt.isValid())
                dt = QDateTime::fromString(s, QStringLiteral("dd/MM/yyyy hh:mm"));
            if (!dt.isValid())
                dt = QDateTime(QDate::fromString(s, QStringLiteral("dd/MM/yyyy")), QTime(0, 0));
        } else if (v.typeId() == QMetaType::QDate) {
            dt = QDateTime(v.toDate(), QTime(0, 0));
        } else {
            dt = v.toDateTime();
        }
        if (!dt.isValid())
            throw Erro(QStringLiteral("'%1' is not a valid date and time").arg(v.toString()));
        return dt;
    }
    case TipoColuna::Binario:
        if (v.canConvert<IdBlob>() && v.typeId() == qMetaTypeId<IdBlob>())
            return v;
        if (v.typeId() == QMetaType::QString)
            return paraWin1252(v.toString());
        return v.toByteArray();
    case TipoColuna::Logico:
        return v.toBool();
    }
    return v;
}

void Campo::definir(const QVariant &v)
{
    ConjuntoDados &ds = *m_ds;
    if (ds.m_estado == EstadoDs::Calculando) {
        ds.m_buffer[m_indice] = converter(v);
        return;
    }
    ds.exigirEdicao();
    if (calculado)
        throw Erro(QStringLiteral("Field '%1' cannot be modified").arg(nome));
    const QVariant novo = converter(v);
    const QVariant anterior = ds.m_buffer[m_indice];
    ds.m_buffer[m_indice] = novo;
    if (aoValidar) {
        try {
            aoValidar(*this);
        } catch (...) {
            // The handler may have thrown the record away (cancel) or changed it: put the old
            // value back only when the record is still being edited as before.
            if (ds.editando() && m_indice < ds.m_buffer.size() && ds.m_buffer[m_indice] == novo)
                ds.m_buffer[m_indice] = anterior;
            throw;
        }
    }
    if (aoMudar)
        aoMudar(*this);
}

// ---------------------------------------------------------------------------------------------
// ConjuntoDados

ConjuntoDados::ConjuntoDados(const QString &nome, Conexao *conexao, QObject *pai)
    : QObject(pai), m_con(conexao)
{
    setObjectName(nome);
}

ConjuntoDados::~ConjuntoDados()
{
    qDeleteAll(m_campos);
}

void ConjuntoDados::setSql(const QString &sql)
{
    if (ativo())
        fechar();
    m_sql = sql;
}

void ConjuntoDados::definirParametro(const QString &nome, const QVariant &valor)
{
    m_parametros[nome.toUpper()] = valor;
}

QVariant ConjuntoDados::parametro(const QString &nome) const
{
    return m_parametros.value(nome.toUpper());
}

DefinicaoCampo &ConjuntoDados::definicao(const QString &campo)
{
    return m_definicoes[campo.toUpper()];
}

void ConjuntoDados::adicionarCalculado(const QString &nome, TipoColuna tipo, int tamanho)
{
    Coluna c;
    c.nome = nome;
    c.tipo = tipo;
    c.tamanho = tamanho;
    m_calculados << c;
}

void ConjuntoDados::adicionarCampo(const QString &nome, TipoColuna tipo, int tamanho, bool obrigatorio)
{
    Coluna c;
    c.nome = nome;
    c.tipo = tipo;
    c.tamanho = tamanho;
    c.anulavel = !obrigatorio;
    m_camposMemoria << c;
    m_emMemoria = true;
}

void ConjuntoDados::aplicarDefinicao(Campo &c)
{
    auto it = m_definicoes.find(c.nome.toUpper());
    if (it == m_definicoes.end())
        return;
    const DefinicaoCampo &d = it->second;
    if (d.rotulo) c.rotulo = *d.rotulo;
    if (d.obrigatorio) c.obrigatorio = *d.obrigatorio;
    if (d.visivel) c.visivel = *d.visivel;
    if (d.formatoExibicao) c.formatoExibicao = *d.formatoExibicao;
    if (d.mascara) c.mascara = *d.mascara;
    if (d.larguraExibicao) c.larguraExibicao = *d.larguraExibicao;
    if (d.alinhamento) c.alinhamento = *d.alinhamento;
    if (d.aoValidar) c.aoValidar = d.aoValidar;
    if (d.aoMudar) c.aoMudar = d.aoMudar;
}

void ConjuntoDados::criarCampos(const QList<Coluna> &colunas)
{
    qDeleteAll(m_campos);
    m_campos.clear();
    m_porNome.clear();
    m_tabela.clear();
    // As a provider does: the table of the first column is the one written.
    for (const Coluna &c : colunas)
        if (!c.tabela.isEmpty()) {
            m_tabela = c.tabela;
            break;
        }
    auto novo = [&](const Coluna &col, bool calculado) {
        auto *f = new Campo;
        f->m_ds = this;
        f->m_indice = int(m_campos.size());
        f->nome = col.nome;
        f->tipo = col.tipo;
        f->tamanho = col.tamanho;
        f->calculado = calculado;
        f->campoOrigem = col.campo.isEmpty() ? col.nome : col.campo;
        f->gravavel = !calculado && !m_somenteLeitura
            && (m_emMemoria || (!m_tabela.isEmpty() && col.tabela == m_tabela));
        // Only the written table's NOT NULL columns are required; joined display columns are not.
        f->obrigatorio = f->gravavel && !col.anulavel;
        f->chave = m_camposChave.contains(col.nome, Qt::CaseInsensitive);
        if (f->tipo == TipoColuna::Inteiro || f->tipo == TipoColuna::Pequeno || f->tipo == TipoColuna::Grande
            || f->tipo == TipoColuna::Real || f->tipo == TipoColuna::Decimal)
            f->alinhamento = Qt::AlignRight;
        aplicarDefinicao(*f);
        m_porNome.insert(f->nome.toUpper(), f->m_indice);
        m_campos << f;
    };
    for (const Coluna &c : colunas)
        novo(c, false);
    for (const Coluna &c : m_calculados)
        novo(c, true);
}

Campo *ConjuntoDados::acharCampo(const QString &nome) const
{
    const auto it = m_porNome.constFind(nome.toUpper());
    return it == m_porNome.constEnd() ? nullptr : m_campos[*it];
}

Campo &ConjuntoDados::campo(const QString &nome) const
{
    Campo *c = acharCampo(nome);
    if (!c)
        throw Erro(QStringLiteral("%1: Field '%2' not found").arg(objectName(), nome));
    return *c;
}

// --- encoding ----------------------------------------------------------------------------------

QByteArray ConjuntoDados::codificar(const QVariantList &valores) const
{
    const int n = int(m_campos.size());
    QByteArray dados;
    dados.resize((n + 1) * 4);
    auto escreverOffset = [&](int i, quint32 off) { std::memcpy(dados.data() + i * 4, &off, 4); };
    for (int i = 0; i < n; ++i) {
        const QVariant &v = i < valores.size() ? valores[i] : QVariant();
        const quint32 inicio = quint32(dados.size() - (n + 1) * 4);
        if (!v.isValid() || v.isNull()) {
            escreverOffset(i, inicio | kNulo);
            continue;
        }
        escreverOffset(i, inicio);
        switch (m_campos[i]->tipo) {
        case TipoColuna::Texto:
        case TipoColuna::TextoFixo:
        case TipoColuna::Memo:
            // Rows fetched from the database bring their texts as Windows-1252 bytes already.
            if (v.typeId() == QMetaType::QByteArray)
                dados += v.toByteArray();
            else
                dados += paraWin1252(v.toString());
            break;
        case TipoColuna::Inteiro:
        case TipoColuna::Pequeno: {
            const qint32 x = v.toInt();
            dados.append(reinterpret_cast<const char *>(&x), 4);
            break;
        }
        case TipoColuna::Grande: {
            const qint64 x = v.toLongLong();
            dados.append(reinterpret_cast<const char *>(&x), 8);
            break;
        }
        case TipoColuna::Real:
        case TipoColuna::Decimal: {
            const double x = v.toDouble();
            dados.append(reinterpret_cast<const char *>(&x), 8);
            break;
        }
        case TipoColuna::Data: {
            const qint64 x = v.toDate().toJulianDay();
            dados.append(reinterpret_cast<const char *>(&x), 8);
            break;
        }
        case TipoColuna::Hora: {
            const qint32 x = v.toTime().msecsSinceStartOfDay();
            dados.append(reinterpret_cast<const char *>(&x), 4);
            break;
        }
        case TipoColuna::DataHora: {
            const QDateTime dt = v.toDateTime();
            const qint64 d = dt.date().toJulianDay();
            const qint32 t = dt.time().msecsSinceStartOfDay();
            dados.append(reinterpret_cast<const char *>(&d), 8);
            dados.append(reinterpret_cast<const char *>(&t), 4);
            break;
        }
        case TipoColuna::Binario:
            if (v.typeId() == qMetaTypeId<IdBlob>()) {
                const IdBlob b = v.value<IdBlob>();
                dados += char(kBlobId);
                dados.append(reinterpret_cast<const char *>(&b), sizeof b);
            } else {
                dados += char(kBlobBytes);
                dados += v.toByteArray();
            }
            break;
        case TipoColuna::Logico:
            dados += char(v.toBool() ? 1 : 0);
            break;
        }
    }
    escreverOffset(n, quint32(dados.size() - (n + 1) * 4));
    return dados;
}

QVariant ConjuntoDados::decodificar(const QByteArray &dados, int i) const
{
    const int n = int(m_campos.size());
    quint32 off, prox;
    std::memcpy(&off, dados.constData() + i * 4, 4);
    if (off & kNulo)
        return QVariant();
    std::memcpy(&prox, dados.constData() + (i + 1) * 4, 4);
    prox &= ~kNulo;
    const char *p = dados.constData() + (n + 1) * 4 + off;
    const int len = int(prox - off);
    switch (m_campos[i]->tipo) {
    case TipoColuna::Texto:
    case TipoColuna::TextoFixo:
    case TipoColuna::Memo:
        return deWin1252(p, len);
    case TipoColuna::Inteiro:
    case TipoColuna::Pequeno: {
        qint32 x;
        std::memcpy(&x, p, 4);
        return x;
    }
    case TipoColuna::Grande: {
        qint64 x;
        std::memcpy(&x, p, 8);
        return x;
    }
    case TipoColuna::Real:
    case TipoColuna::Decimal: {
        double x;
        std::memcpy(&x, p, 8);
        return x;
    }
    case TipoColuna::Data: {
        qint64 x;
        std::memcpy(&x, p, 8);
        return QDate::fromJulianDay(x);
    }
    case TipoColuna::Hora: {
        qint32 x;
        std::memcpy(&x, p, 4);
        return QTime::fromMSecsSinceStartOfDay(x);
    }
    case TipoColuna::DataHora: {
        qint64 d;
        qint32 t;
        std::memcpy(&d, p, 8);
        std::memcpy(&t, p + 8, 4);
        return QDateTime(QDate::fromJulianDay(d), QTime::fromMSecsSinceStartOfDay(t));
    }
    case TipoColuna::Binario:
        if (len > 0 && p[0] == kBlobId) {
            IdBlob b;
            std::memcpy(&b, p + 1, sizeof b);
            return QVariant::fromValue(b);
        }
        return QByteArray(p + 1, len - 1);
    case TipoColuna::Logico:
        return bool(p[0]);
    }
    return QVariant();
}

QVariantList ConjuntoDados::decodificarTudo(const QByteArray &dados) const
{
    QVariantList v;
    const int n = int(m_campos.size());
    v.reserve(n);
    for (int i = 0; i < n; ++i)
        v << decodificar(dados, i);
    return v;
}

// linha -1: the current record (the edit or calculation buffer while there is one).
QVariant ConjuntoDados::valorBruto(int linha, int campo) const
{
    QVariant v;
    if (linha < 0) {
        if (m_estado == EstadoDs::Editando || m_estado == EstadoDs::Inserindo || m_estado == EstadoDs::Calculando) {
            v = m_buffer.value(campo);
            if (v.typeId() == QMetaType::QByteArray && ehTexto(m_campos[campo]->tipo))
                v = deWin1252(v.toByteArray());
        }
        else if (m_atual >= 0)
            v = decodificar(m_linhas[size_t(m_ordem[size_t(m_atual)])].dados, campo);
        else if (m_estado == EstadoDs::Inativo)
            throw Erro(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    } else {
        v = decodificar(m_linhas[size_t(linha)].dados, campo);
    }
    if (v.typeId() == qMetaTypeId<IdBlob>() && m_con)
        v = m_con->lerBlob(v.value<IdBlob>());
    return v;
}

QVariant ConjuntoDados::valorEm(int posicao, int campo) const
{
    if (posicao < 0 || posicao >= quantidade())
        return QVariant();
    if (posicao == m_atual && editando())
        return m_buffer.value(campo);
    return valorBruto(m_ordem[size_t(posicao)], campo);
}

QString ConjuntoDados::textoExibicaoEm(int posicao, int campo) const
{
    // Reads through the field's own formatting by pointing the calculation buffer at the row.
    auto *self = const_cast<ConjuntoDados *>(this);
    if (posicao == m_atual)
        return m_campos[campo]->textoExibicao();
    const EstadoDs antes = m_estado;
    QVariantList bufferAntes;
    std::swap(bufferAntes, self->m_buffer);
    self->m_buffer.resize(m_campos.size());
    self->m_buffer[campo] = valorEm(posicao, campo);
    self->m_estado = EstadoDs::Calculando;
    QString t;
    try {
        t = m_campos[campo]->textoExibicao();
    } catch (...) {
    }
    self->m_estado = antes;
    std::swap(bufferAntes, self->m_buffer);
    return t;
}

void ConjuntoDados::calcular(QVariantList &valores, int linha)
{
    if (!aoCalcular || m_calculados.isEmpty())
        return;
    const EstadoDs antes = m_estado;
    std::swap(valores, m_buffer);
    m_estado = EstadoDs::Calculando;
    try {
        aoCalcular(*this);
    } catch (...) {
        m_estado = antes;
        std::swap(valores, m_buffer);
        throw;
    }
    m_estado = antes;
    std::swap(valores, m_buffer);
    Q_UNUSED(linha);
}

// --- opening -----------------------------------------------------------------------------------

void ConjuntoDados::criar()
{
    fechar();
    criarCampos(m_camposMemoria);
    m_estado = EstadoDs::Navegando;
    moverPara(-1, false);
    emit dadosMudaram();
    emit estadoMudou();
}

void ConjuntoDados::carregarLinhas(const QList<QVariantList> &linhas)
{
    exigirAtivo();
    for (QVariantList v : linhas) {
        v.resize(m_campos.size());
        for (int i = 0; i < v.size(); ++i)
            v[i] = m_campos[i]->converter(v[i]);
        calcular(v, -1);
        m_linhas.push_back({codificar(v)});
    }
    m_ordem.resize(m_linhas.size());
    for (size_t i = 0; i < m_ordem.size(); ++i)
        m_ordem[i] = int(i);
    reordenar();
    moverPara(vazio() ? -1 : 0, false);
    emit dadosMudaram();
    if (depoisRolar)
        depoisRolar(*this);
}

void ConjuntoDados::abrir()
{
    if (ativo())
        return;
    if (m_emMemoria) {
        criar();
        return;
    }
    if (!m_con)
        throw Erro(QStringLiteral("%1: Missing SQLConnection property").arg(objectName()));
    if (m_sql.trimmed().isEmpty())
        throw Erro(QStringLiteral("%1: SQL statement not specified").arg(objectName()));
    Comando cmd(*m_con, m_sql);
    for (const QString &p : cmd.nomesParametros())
        if (!p.isEmpty())
            cmd.definir(p, m_parametros.value(p));
    cmd.setLerBinarios(!m_binariosSobDemanda);
    cmd.setTextoBruto(true);
    criarCampos(cmd.colunas());
    m_linhas.clear();
    m_log.clear();
    m_originais.clear();
    cmd.abrir();
    QVariantList valores;
    const int nCalc = int(m_calculados.size());
    while (cmd.proxima()) {
        valores = cmd.linha();
        if (nCalc) {
            valores.resize(m_campos.size());
            calcular(valores, int(m_linhas.size()));
        }
        m_linhas.push_back({codificar(valores)});
    }
    cmd.fechar();
    m_ordem.resize(m_linhas.size());
    for (size_t i = 0; i < m_ordem.size(); ++i)
        m_ordem[i] = int(i);
    m_estado = EstadoDs::Navegando;
    reordenar();
    moverPara(vazio() ? -1 : 0, false);
    emit dadosMudaram();
    emit estadoMudou();
    if (depoisAbrir)
        depoisAbrir(*this);
    if (depoisRolar)
        depoisRolar(*this);
}

void ConjuntoDados::fechar()
{
    if (!ativo())
        return;
    m_estado = EstadoDs::Inativo;
    m_linhas.clear();
    m_ordem.clear();
    m_log.clear();
    m_originais.clear();
    m_buffer.clear();
    m_atual = -1;
    m_fim = m_inicio = true;
    emit dadosMudaram();
    emit estadoMudou();
    if (depoisFechar)
        depoisFechar(*this);
}

void ConjuntoDados::atualizar()
{
    exigirAtivo();
    if (m_emMemoria)
        return;
    if (editando())
        gravar();
    QVariantList chave;
    const int posAntes = m_atual;
    if (m_atual >= 0)
        for (const QString &k : m_camposChave)
            chave << valor(k);
    auto depoisRolarSalvo = std::move(depoisRolar);
    depoisRolar = nullptr;
    auto depoisFecharSalvo = std::move(depoisFechar);
    depoisFechar = nullptr;
    try {
        fechar();
        abrir();
    } catch (...) {
        depoisRolar = std::move(depoisRolarSalvo);
        depoisFechar = std::move(depoisFecharSalvo);
        throw;
    }
    depoisRolar = std::move(depoisRolarSalvo);
    depoisFechar = std::move(depoisFecharSalvo);
    bool achou = false;
    if (!chave.isEmpty() && !chave.contains(QVariant()))
        achou = localizar(m_camposChave.join(u';'), chave);
    if (!achou && posAntes >= 0 && !vazio())
        moverPara(qMin(posAntes, quantidade() - 1), false);
    if (depoisRolar)
        depoisRolar(*this);
}

void ConjuntoDados::exigirAtivo() const
{
    if (!ativo())
        throw Erro(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
}

// --- moving ------------------------------------------------------------------------------------

void ConjuntoDados::moverPara(int posicao, bool avisar)
{
    const int antes = m_atual;
    if (vazio()) {
        m_atual = -1;
        m_fim = m_inicio = true;
    } else {
        m_atual = std::clamp(posicao, 0, quantidade() - 1);
    }
    if (avisar && antes != m_atual) {
        emit posicaoMudou(m_atual);
        if (depoisRolar)
            depoisRolar(*this);
    } else if (antes != m_atual) {
        emit posicaoMudou(m_atual);
    }
}

void ConjuntoDados::irPara(int posicao)
{
    exigirAtivo();
    if (editando())
        gravar();
    m_fim = posicao >= quantidade();
    m_inicio = posicao < 0;
    moverPara(posicao, true);
}

void ConjuntoDados::primeiro()
{
    irPara(0);
    m_inicio = true;
    m_fim = vazio();
}

void ConjuntoDados::ultimo()
{
    irPara(quantidade() - 1);
    m_fim = true;
    m_inicio = vazio();
}

void ConjuntoDados::proximo()
{
    exigirAtivo();
    if (m_atual + 1 >= quantidade()) {
        if (editando())
            gravar();
        m_fim = true;
        return;
    }
    irPara(m_atual + 1);
}

void ConjuntoDados::anterior()
{
    exigirAtivo();
    if (m_atual <= 0) {
        if (editando())
            gravar();
        m_inicio = true;
        return;
    }
    irPara(m_atual - 1);
}

bool ConjuntoDados::localizar(const QString &campos, const QVariantList &valores, bool semCaixa)
{
    exigirAtivo();
    QList<int> idx;
    for (const QString &n : campos.split(u';', Qt::SkipEmptyParts))
        idx << campo(n.trimmed()).indice();
    if (idx.size() != valores.size())
        throw Erro(QStringLiteral("%1: wrong number of values to locate").arg(objectName()));
    QVariantList alvo;
    for (int k = 0; k < idx.size(); ++k)
        alvo << m_campos[idx[k]]->converter(valores[k]);
    for (int pos = 0; pos < quantidade(); ++pos) {
        const QByteArray &dados = m_linhas[size_t(m_ordem[size_t(pos)])].dados;
        bool igual = true;
        for (int k = 0; k < idx.size() && igual; ++k) {
            const QVariant v = decodificar(dados, idx[k]);
            if (semCaixa && ehTexto(m_campos[idx[k]]->tipo))
                igual = v.toString().compare(alvo[k].toString(), Qt::CaseInsensitive) == 0 && v.isNull() == alvo[k].isNull();
            else
                igual = (v.isNull() && alvo[k].isNull()) || (!v.isNull() && !alvo[k].isNull() && v == alvo[k]);
        }
        if (igual) {
            if (editando())
                gravar();
            moverPara(pos, true);
            m_fim = m_inicio = false;
            return true;
        }
    }
    return false;
}

// --- order ---------------------------------------------------------------------------------------

namespace {

// Texts sort as the operator reads them (Portuguese, accents beside their letters), whatever the
// machine's locale; the incremental search compares with the same rule so that both agree.
const QCollator &colacao()
{
    static const QCollator c = [] {
        QCollator x(QLocale(QLocale::Portuguese, QLocale::Brazil));
        x.setNumericMode(false);
        return x;
    }();
    return c;
}

// The search ignores letter case only, which keeps its comparisons in the order of the sort.
const QCollator &colacaoBusca()
{
    static const QCollator c = [] {
        QCollator x(QLocale(QLocale::Portuguese, QLocale::Brazil));
        x.setCaseSensitivity(Qt::CaseInsensitive);
        return x;
    }();
    return c;
}

int compararValores(const QVariant &a, const QVariant &b, TipoColuna tipo)
{
    const bool na = !a.isValid() || a.isNull(), nb = !b.isValid() || b.isNull();
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (tipo) {
    case TipoColuna::Texto:
    case TipoColuna::TextoFixo:
    case TipoColuna::Memo:
        return colacao().compare(a.toString(), b.toString());
    case TipoColuna::Inteiro:
    case TipoColuna::Pequeno:
    case TipoColuna::Grande: {
        const qint64 x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case TipoColuna::Real:
    case TipoColuna::Decimal: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case TipoColuna::Data: return a.toDate() < b.toDate() ? -1 : (a.toDate() > b.toDate() ? 1 : 0);
    case TipoColuna::Hora: return a.toTime() < b.toTime() ? -1 : (a.toTime() > b.toTime() ? 1 : 0);
    case TipoColuna::DataHora:
        return a.toDateTime() < b.toDateTime() ? -1 : (a.toDateTime() > b.toDateTime() ? 1 : 0);
    case TipoColuna::Logico: return int(a.toBool()) - int(b.toBool());
    case TipoColuna::Binario: return 0;
    }
    return 0;
}
} // namespace

void ConjuntoDados::setCamposIndice(const QString &campos)
{
    QList<int> idx;
    for (const QString &n : campos.split(u';', Qt::SkipEmptyParts)) {
        const Campo *c = ativo() ? &campo(n.trimmed()) : acharCampo(n.trimmed());
        if (c && c->ehBlob())
            throw Erro(QStringLiteral("%1: Cannot index on a blob field '%2'").arg(objectName(), c->nome));
        if (c)
            idx << c->indice();
    }
    m_camposIndice = campos;
    m_indice = idx;
    if (!ativo())
        return;
    if (editando())
        gravar();
    int linhaAtual = m_atual >= 0 ? m_ordem[size_t(m_atual)] : -1;
    reordenar();
    if (linhaAtual >= 0) {
        const auto it = std::find(m_ordem.begin(), m_ordem.end(), linhaAtual);
        m_atual = int(it - m_ordem.begin());
    }
    emit dadosMudaram();
}

void ConjuntoDados::reordenar()
{
    // Field indexes are resolved again after every open: fields are recreated then.
    m_indice.clear();
    for (const QString &n : m_camposIndice.split(u';', Qt::SkipEmptyParts))
        if (const Campo *c = acharCampo(n.trimmed()))
            m_indice << c->indice();
    if (m_indice.isEmpty()) {
        std::sort(m_ordem.begin(), m_ordem.end());
        return;
    }
    // Decode the sort keys once; comparing decoded rows is what costs.
    std::vector<QVariantList> chaves(m_linhas.size());
    for (int l : m_ordem) {
        QVariantList &k = chaves[size_t(l)];
        for (int c : m_indice)
            k << decodificar(m_linhas[size_t(l)].dados, c);
    }
    std::vector<QList<QString>> textos;
    std::stable_sort(m_ordem.begin(), m_ordem.end(), [&](int a, int b) {
        const QVariantList &ka = chaves[size_t(a)], &kb = chaves[size_t(b)];
        for (int i = 0; i < m_indice.size(); ++i) {
            const int r = compararValores(ka[i], kb[i], m_campos[m_indice[i]]->tipo);
            if (r)
                return r < 0;
        }
        return false;
    });
}

int ConjuntoDados::compararLinhas(int a, int b) const
{
    for (int c : m_indice) {
        const int r = compararValores(decodificar(m_linhas[size_t(a)].dados, c),
                                      decodificar(m_linhas[size_t(b)].dados, c), m_campos[c]->tipo);
        if (r)
            return r;
    }
    return 0;
}

void ConjuntoDados::procurarProximo(const QVariant &valor)
{
    exigirAtivo();
    if (m_indice.isEmpty())
        return;
    const Campo &c = *m_campos[m_indice.first()];
    const QVariant alvo = c.converter(valor);
    const bool texto = ehTexto(c.tipo);
    // The rows are in index order: the first row at or after the value.
    int lo = 0, hi = quantidade();
    while (lo < hi) {
        const int meio = (lo + hi) / 2;
        const QVariant v = decodificar(m_linhas[size_t(m_ordem[size_t(meio)])].dados, c.indice());
        int r;
        if (texto && !v.isNull() && !alvo.isNull()) {
            const QString sv = v.toString();
            const QString sa = alvo.toString();
            // Only as much of the value as was typed: "Cu" finds "Cupom".
            r = colacaoBusca().compare(QStringView(sv).left(sa.size()), sa);
        } else {
            r = compararValores(v, alvo, c.tipo);
        }
        if (r < 0)
            lo = meio + 1;
        else
            hi = meio;
    }
    if (editando())
        gravar();
    moverPara(qMin(lo, quantidade() - 1), true);
}

// --- editing -------------------------------------------------------------------------------------

void ConjuntoDados::exigirEdicao() const
{
    if (!editando())
        throw Erro(QStringLiteral("%1: Dataset not in edit or insert mode").arg(objectName()));
}

QVariant ConjuntoDados::valorAntigo(const QString &nome) const
{
    const Campo &c = campo(nome);
    if (m_estado == EstadoDs::Inserindo || m_atual < 0)
        return QVariant();
    const int linha = m_ordem[size_t(m_atual)];
    const auto it = m_originais.constFind(linha);
    if (it != m_originais.constEnd())
        return it->value(c.indice());
    // A row whose insert is still pending has no database value.
    for (const Alteracao &a : m_log)
        if (a.linha == linha && a.tipo == TipoAtualizacao::Inclusao)
            return QVariant();
    return valorBruto(linha, c.indice());
}

void ConjuntoDados::inserir()
{
    exigirAtivo();
    if (m_somenteLeitura)
        throw Erro(QStringLiteral("%1: Cannot modify a read-only dataset").arg(objectName()));
    if (editando())
        gravar();
    m_buffer = QVariantList();
    m_buffer.resize(m_campos.size());
    m_bufferOriginal = m_buffer;
    m_linhaEditada = -1;
    m_estado = EstadoDs::Inserindo;
    emit estadoMudou();
    if (depoisInserir)
        depoisInserir(*this);
}

void ConjuntoDados::editar()
{
    exigirAtivo();
    if (editando())
        return;
    if (vazio()) {
        inserir();
        return;
    }
    if (m_somenteLeitura)
        throw Erro(QStringLiteral("%1: Cannot modify a read-only dataset").arg(objectName()));
    m_linhaEditada = m_ordem[size_t(m_atual)];
    m_buffer = decodificarTudo(m_linhas[size_t(m_linhaEditada)].dados);
    m_bufferOriginal = m_buffer;
    m_estado = EstadoDs::Editando;
    emit estadoMudou();
}

void ConjuntoDados::cancelar()
{
    if (!editando())
        return;
    descartarRegistro();
}

void ConjuntoDados::descartarRegistro()
{
    m_estado = EstadoDs::Navegando;
    m_buffer.clear();
    m_linhaEditada = -1;
    emit estadoMudou();
    if (m_atual >= 0)
        emit linhaMudou(m_atual);
}

void ConjuntoDados::verificarObrigatoriosInternos()
{
    for (const Campo *c : m_campos) {
        if (c->calculado || !c->obrigatorio)
            continue;
        const QVariant &v = m_buffer[c->indice()];
        if (!v.isValid() || v.isNull())
            throw Erro(QStringLiteral("Field '%1' must have a value").arg(c->nomeExibicao()));
    }
}

void ConjuntoDados::verificarChaveDuplicada()
{
    if (m_camposChave.isEmpty())
        return;
    QList<int> idx;
    for (const QString &k : m_camposChave)
        if (const Campo *c = acharCampo(k))
            idx << c->indice();
    if (idx.isEmpty())
        return;
    // Only the rows the dataset still shows: a cancelled insert or a deleted row keeps its
    // storage but no longer holds the key.
    for (int l : m_ordem) {
        if (l == m_linhaEditada)
            continue;
        bool igual = true;
        for (int c : idx) {
            const QVariant v = decodificar(m_linhas[size_t(l)].dados, c);
            if (v.isNull() || m_buffer[c].isNull() || compararValores(v, m_buffer[c], m_campos[c]->tipo) != 0) {
                igual = false;
                break;
            }
        }
        if (igual)
            throw Erro(QStringLiteral("Key violation."));
    }
}

void ConjuntoDados::gravar()
{
    exigirEdicao();
    if (antesGravar)
        antesGravar(*this);
    if (!editando())
        return; // the handler cancelled the record
    try {
        verificarObrigatoriosInternos();
        verificarChaveDuplicada();
    } catch (const Erro &e) {
        AcaoErroGravacao acao = AcaoErroGravacao::Falhar;
        if (erroGravacao)
            erroGravacao(*this, e, acao);
        if (acao == AcaoErroGravacao::Abortar)
            throw Abortar();
        throw;
    }
    calcular(m_buffer, m_linhaEditada);
    const QByteArray dados = codificar(m_buffer);
    int linha;
    if (m_estado == EstadoDs::Inserindo) {
        linha = int(m_linhas.size());
        m_linhas.push_back({dados});
        m_ordem.push_back(linha);
        m_log.push_back({m_proximoId++, TipoAtualizacao::Inclusao, linha, {}});
    } else {
        linha = m_linhaEditada;
        if (!m_originais.contains(linha))
            m_originais.insert(linha, m_bufferOriginal);
        m_linhas[size_t(linha)].dados = dados;
        const bool jaNoLog = std::any_of(m_log.begin(), m_log.end(), [&](const Alteracao &a) { return a.linha == linha; });
        if (!jaNoLog)
            m_log.push_back({m_proximoId++, TipoAtualizacao::Alteracao, linha, m_originais.value(linha)});
    }
    m_estado = EstadoDs::Navegando;
    m_buffer.clear();
    m_linhaEditada = -1;
    if (!m_indice.isEmpty())
        reordenar();
    const auto it = std::find(m_ordem.begin(), m_ordem.end(), linha);
    m_atual = int(it - m_ordem.begin());
    m_fim = m_inicio = false;
    emit dadosMudaram();
    emit estadoMudou();
    if (depoisGravar)
        depoisGravar(*this);
}

void ConjuntoDados::excluir()
{
    exigirAtivo();
    if (editando()) {
        if (m_estado == EstadoDs::Inserindo) {
            cancelar();
            return;
        }
        cancelar();
    }
    if (vazio())
        throw Erro(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(objectName()));
    const int linha = m_ordem[size_t(m_atual)];
    const auto pendente = std::find_if(m_log.begin(), m_log.end(), [&](const Alteracao &a) { return a.linha == linha; });
    if (pendente != m_log.end() && pendente->tipo == TipoAtualizacao::Inclusao) {
        m_log.erase(pendente);
    } else {
        QVariantList antigos = m_originais.contains(linha) ? m_originais.value(linha)
                                                           : decodificarTudo(m_linhas[size_t(linha)].dados);
        if (pendente != m_log.end())
            m_log.erase(pendente);
        m_log.push_back({m_proximoId++, TipoAtualizacao::Exclusao, linha, antigos});
    }
    m_ordem.erase(m_ordem.begin() + m_atual);
    moverPara(m_atual, true);
    emit dadosMudaram();
    if (depoisGravar)
        depoisGravar(*this);
}

void ConjuntoDados::cancelarAtualizacoes()
{
    if (editando())
        cancelar();
    // Back to the rows as fetched.
    for (auto it = m_log.rbegin(); it != m_log.rend(); ++it) {
        const Alteracao &a = *it;
        if (a.tipo == TipoAtualizacao::Inclusao) {
            m_ordem.erase(std::remove(m_ordem.begin(), m_ordem.end(), a.linha), m_ordem.end());
        } else if (a.tipo == TipoAtualizacao::Alteracao) {
            m_linhas[size_t(a.linha)].dados = codificar(a.antigos);
        } else {
            m_linhas[size_t(a.linha)].dados = codificar(a.antigos);
            m_ordem.push_back(a.linha);
        }
    }
    m_log.clear();
    m_originais.clear();
    reordenar();
    moverPara(qMin(m_atual, quantidade() - 1), false);
    emit dadosMudaram();
}

void ConjuntoDados::aplicarUma(const Alteracao &a)
{
    if (m_tabela.isEmpty() || m_emMemoria)
        return; // nothing to write to: an in-memory dataset keeps its rows
    const QVariantList novos = a.tipo == TipoAtualizacao::Exclusao ? QVariantList()
                                                                    : decodificarTudo(m_linhas[size_t(a.linha)].dados);
    QStringList colunas;
    QVariantList valores;
    auto condicaoChave = [&](QStringList &onde, QVariantList &params) {
        for (const Campo *c : m_campos)
            if (c->chave && c->gravavel) {
                onde << c->campoOrigem + QStringLiteral(" = ?");
                params << a.antigos.value(c->indice());
            }
        if (onde.isEmpty())
            throw Erro(QStringLiteral("Unable to find record. No key specified"));
    };
    QString sql;
    if (a.tipo == TipoAtualizacao::Inclusao) {
        QStringList marcas;
        for (const Campo *c : m_campos) {
            if (!c->gravavel || novos[c->indice()].isNull())
                continue;
            colunas << c->campoOrigem;
            marcas << QStringLiteral("?");
            valores << novos[c->indice()];
        }
        sql = QStringLiteral("insert into %1 (%2) values (%3)").arg(m_tabela, colunas.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", ")));
        if (colunas.isEmpty())
            return;
    } else if (a.tipo == TipoAtualizacao::Alteracao) {
        for (const Campo *c : m_campos) {
            if (!c->gravavel)
                continue;
            const QVariant &antes = a.antigos.value(c->indice());
            const QVariant &depois = novos[c->indice()];
            if (antes.isNull() == depois.isNull() && antes == depois)
                continue;
            colunas << c->campoOrigem + QStringLiteral(" = ?");
            valores << depois;
        }
        if (colunas.isEmpty())
            return;
        QStringList onde;
        condicaoChave(onde, valores);
        sql = QStringLiteral("update %1 set %2 where %3").arg(m_tabela, colunas.join(QStringLiteral(", ")), onde.join(QStringLiteral(" and ")));
    } else {
        QStringList onde;
        condicaoChave(onde, valores);
        sql = QStringLiteral("delete from %1 where %2").arg(m_tabela, onde.join(QStringLiteral(" and ")));
    }
    Comando cmd(*m_con, sql);
    for (int i = 0; i < valores.size(); ++i)
        cmd.definir(i, valores[i]);
    cmd.executar();
    if (a.tipo != TipoAtualizacao::Inclusao && cmd.linhasAfetadas() == 0)
        throw ErroBanco(QStringLiteral("Record not found or changed by another user"), {}, 0);
}

int ConjuntoDados::aplicarAtualizacoes(int maxErros)
{
    int erros = 0;
    size_t i = 0;
    while (i < m_log.size()) {
        const Alteracao a = m_log[i];
        try {
            aplicarUma(a);
        } catch (const ErroBanco &e) {
            ++erros;
            AcaoConciliacao acao = erroConciliacao ? erroConciliacao(*this, e, a.tipo) : AcaoConciliacao::Pular;
            // The handler may have applied changes itself (a repair that saves again).
            const auto it = std::find_if(m_log.begin(), m_log.end(), [&](const Alteracao &x) { return x.id == a.id; });
            if (acao == AcaoConciliacao::Corrigido || acao == AcaoConciliacao::Cancelar) {
                if (it != m_log.end()) {
                    if (acao == AcaoConciliacao::Cancelar) {
                        // put the row back as it was
                        if (a.tipo == TipoAtualizacao::Inclusao)
                            m_ordem.erase(std::remove(m_ordem.begin(), m_ordem.end(), a.linha), m_ordem.end());
                        else
                            m_linhas[size_t(a.linha)].dados = codificar(a.antigos);
                        emit dadosMudaram();
                    }
                    m_log.erase(it);
                }
                if (acao == AcaoConciliacao::Corrigido)
                    --erros;
                i = 0;
                continue;
            }
            if (acao == AcaoConciliacao::Abortar || erros > maxErros)
                return erros;
            ++i;
            continue;
        }
        const auto it = std::find_if(m_log.begin(), m_log.end(), [&](const Alteracao &x) { return x.id == a.id; });
        if (it != m_log.end()) {
            m_originais.remove(it->linha);
            m_log.erase(it);
        }
    }
    return erros;
}

} // namespace lumaro
