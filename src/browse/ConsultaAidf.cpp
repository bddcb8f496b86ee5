#include "ConsultaAidf.h"

#include "ConjuntoDados.h"
#include "Erros.h"

namespace lumaro {

const QList<ColunaGrade> &colunasGrade()
{
    static const QList<ColunaGrade> c = {
        {"NUMERO_AIDF_PREF", "Número A.I.D.F.", 15, true},
        {"NUMERO_ESTADO", "Numero do Conj. Estado", 30, true},
        {"PREFEITURA", "Prefeitura", 40, false},
        {"MODELO_NF", "Modelo do Impresso", 40, false},
        {"SERIE", "Série", 8, true},
        {"SUB_SERIE", "Sub-Série", 8, true},
        {"NUME_VIAS", "Número de Vias", 8, true},
        {"NUME_INICIAL", "Número Inicial", 10, true},
        {"NUME_FINAL", "Número Final", 10, true},
        {"TIPO_NF", "Tipo da N.F.", 20, false},
        {"QUANTIDADE", "Quantidade", 10, true},
        {"DATA_HORA_CADASTRO", "Solicitada em", 25, true},
        {"DATA_HORA_APROV_REPROV", "Aprovada pela Prefeitura em", 25, true},
        {"DATA_HORA_FINALIZA", "Aceita/Finalizada pela Gráfica em", 25, true},
        {"NOME_RESP", "Responsável", 40, false},
        {"CNPJ_RESP_FORM", "C.N.P.J. Responsável", 11, true},
        {"IE_RESP", "Ins. Estadual Resp.", 15, true},
        {"IM_RESP", "Ins. Municipal Resp.", 15, true},
        {"ENDE_RESP", "Endereço Responsável", 30, false},
        {"BAIRRO_RESP", "Bairro Responsável", 35, false},
        {"CIDADE_RESP", "Cidade Responsável", 30, false},
        {"UF_RESP", "U.F. Resp.", 8, false},
        {"CEP_RESP", "CEP Resp.", 10, true},
        {"FONE_RESP", "Fone Resp.", 15, true},
        {"EMAIL_RESP", "e-Mail Responsável", 40, false},
        {"NOME_SOLI", "Solicitante", 40, false},
        {"CNPJ_SOLI_FORM", "C.N.P.J. Solicitante", 11, true},
        {"IE_SOLI", "Ins. Estadual Soli.", 15, true},
        {"IM_SOLI", "Ins. Municipal Soli.", 15, true},
        {"ENDE_SOLI", "Endereço Solicitante", 30, false},
        {"CIDADE_SOLI", "Cidade Solicitante", 30, false},
        {"UF_SOLI", "U.F. Soli.", 8, false},
        {"BAIRRO_SOLI", "Bairro Solicitante", 35, false},
        {"CEP_SOLI", "CEP Soli.", 10, true},
        {"FONE_SOLI", "Fone Solicitante", 15, true},
        {"EMAIL_SOLI", "e-Mail Solicitante", 40, false},
        {"OBSERVACAO_PREF", "Observação feita pela Prefeitura", 60, false},
        {"OBSERVACAO_GRAF", "Observação feita pela Gráfica", 60, false},
        {"NOME_DE_QUEM_APROVOU", "Aprovador", 50, false},
    };
    return c;
}

void definirCamposSolicitacoes(ConjuntoDados &ds)
{
    for (const ColunaGrade &c : colunasGrade()) {
        DefinicaoCampo &d = ds.definicao(QString::fromLatin1(c.campo));
        d.rotulo = QString::fromUtf8(c.titulo);
        d.larguraExibicao = c.largura;
        d.alinhamento = c.centralizada ? Qt::Alignment(Qt::AlignHCenter) : Qt::Alignment(Qt::AlignLeft);
    }
}

QString literalSql(const QString &texto)
{
    QString t = texto;
    t.replace(u'\'', QStringLiteral("''"));
    return u'\'' + t + u'\'';
}

QString montarSqlConsulta(const CriteriosConsulta &c)
{
    QString condicao = QStringLiteral("where");
    auto acrescentar = [&](const QString &cond) { condicao += u' ' + cond + QStringLiteral(" and "); };
    auto data = [&](const char *coluna, const std::optional<QDate> &d) {
        if (d && d->isValid())
            acrescentar(QStringLiteral("cast(%1 as date) = %2")
                            .arg(QLatin1String(coluna), literalSql(d->toString(QStringLiteral("MM/dd/yyyy")))));
    };
    switch (c.pagina) {
    case 1:
        // The CNPJ goes in quoted: the column is text, and the value came from the database.
        if (c.cnpjResp)
            acrescentar(QStringLiteral("CNPJ_RESP = ") + literalSql(*c.cnpjResp));
        if (c.cnpjSoli)
            acrescentar(QStringLiteral("CNPJ_SOLI = ") + literalSql(*c.cnpjSoli));
        break;
    case 2:
        data("DATA_HORA_CADASTRO", c.dataCadastro);
        data("DATA_HORA_APROV_REPROV", c.dataAprovacao);
        data("DATA_HORA_FINALIZA", c.dataAceite);
        break;
    case 3:
        if (c.idPrefeitura)
            acrescentar(QStringLiteral("ID_PREFEITURA = %1").arg(*c.idPrefeitura));
        break;
    default:
        break;
    }
    condicao.chop(5);
    return kSqlListaSolicitacoes + condicao;
}

QColor corStatus(const QVariant &status)
{
    if (status.isNull() || !status.isValid())
        return cores::preto;
    bool ok = false;
    const int n = status.toString().trimmed().toInt(&ok);
    if (!ok)
        return cores::preto;
    switch (n) {
    case 2: return cores::verde;
    case 3: return cores::vermelho;
    case 5: return cores::marinho;
    default: return cores::preto;
    }
}

const QList<ItemLegenda> &itensLegenda()
{
    static const QList<ItemLegenda> itens = {
        {QStringLiteral("LEGENDAS"), cores::branco},
        {QStringLiteral("Aprovada pela prefeitura e enviada para gráfica"), cores::verde},
        {QStringLiteral("Gráfica recusou o pedido"), cores::vermelho},
        {QStringLiteral("Gráfica Aceitou/finalizou"), cores::marinho},
        {QStringLiteral("Não definido"), cores::preto},
    };
    return itens;
}

QColor fundoLegenda(const QColor &corItem)
{
    return corItem == cores::branco ? cores::marinho : cores::fundoLegenda;
}

bool OrdenacaoGrade::clicarTitulo(ConjuntoDados &ds, int coluna, const QString &campo, const QString &titulo)
{
    if (!campo.isEmpty()) {
        const Campo *f = ds.acharCampo(campo);
        if (f && f->ehBlob())
            return false;
        ds.setCamposIndice(campo);
    }
    if (ds.ativo()) {
        ds.atualizar();
        const bool destacada = coluna >= 0 && size_t(coluna) < cores.size() && cores[size_t(coluna)] == cores::destaque;
        if (!destacada)
            std::fill(cores.begin(), cores.end(), cores::branco);
    } else {
        ds.abrir();
        if (!cores.empty())
            cores[0] = cores::destaque;
        titulosCentralizados = true;
    }
    rotulo = titulo;
    return true;
}

QVariantMap registroAtual(const ConjuntoDados &ds)
{
    QVariantMap m;
    if (!ds.ativo() || ds.vazio())
        return m;
    for (const Campo *c : ds.campos())
        m.insert(c->nome.toUpper(), c->valor());
    return m;
}

QVariantMap dadosGrafica(const ConjuntoDados &cdsGraf)
{
    QVariantMap m;
    if (!cdsGraf.ativo() || cdsGraf.vazio())
        return m;
    for (const char *n : {"RAZAO_SOCIAL", "CNPJ", "INS_MUNICIPAL", "INS_ESTADUAL", "ENDERECO", "BAIRRO", "CIDADE",
                          "UF", "CEP", "TELEFONE", "EMAIL"}) {
        const QString nome = QString::fromLatin1(n);
        if (const Campo *c = cdsGraf.acharCampo(nome))
            m.insert(nome, c->valor());
    }
    return m;
}

QString textoEmUmaLinha(const QString &texto)
{
    QString t = texto;
    t.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    t.replace(u'\r', u' ');
    t.replace(u'\n', u' ');
    return t;
}

} // namespace lumaro
