#include "udmPrinc.h"

namespace lumaro {

namespace {

TdmPrinc *g_instancia = nullptr;

const char *const kCrLf = "\r\n";

struct DefinicaoConjunto
{
    const char *nome;
    QString sql;
    QStringList chave;
};

QString crlf(const char *texto)
{
    return QString::fromUtf8(texto).replace(QLatin1String("\\r\\n"), QLatin1String(kCrLf));
}

const QList<DefinicaoConjunto> &definicoes()
{
    static const QList<DefinicaoConjunto> d = {
        {"cdsPref", crlf("select P.*, C.NOME CIDADE, C.UF \\r\\n   from PREFEITURA P INNER JOIN CIDADE C on P.ID_CIDADE = C.ID_CIDADE"),
         {"ID_PREFEITURA"}},
        {"cdsGraf", crlf("select g.*, b.nome bairro, c.nome cidade, c.uf\\r\\n   from GRAFICA g inner join BAIRRO b on g.id_bairro = b.id_bairro\\r\\n   inner join CIDADE c on g.id_cidade = c.id_cidade"),
         {"ID_GRAFICA"}},
        {"cdsBair", crlf("select * from BAIRRO\\r\\nwhere ID_BAIRRO = :id_bairro"), {"ID_BAIRRO"}},
        {"cdsCida", crlf("select * from CIDADE\\r\\nwhere ID_cidade = :id_cidade"), {"ID_CIDADE"}},
        {"cdsEmpr", crlf("select * from EMPRESA\\r\\nwhere ID_empresa = :id_empresa"), {"ID_EMPRESA"}},
        {"cdsSoliRece", crlf("select * from SOLIC_AIDF\\r\\nwhere NUMERO_AIDF_PREF = :NUMERO_AIDF_PREF and\\r\\n           ID_PREFEITURA = :ID_PREFEITURA"),
         {"NUMERO_AIDF_PREF", "ID_PREFEITURA"}},
        {"cdsObse", crlf("select * from OBSER_SOLI_AIDF\\r\\nwhere NUMERO_AIDF_PREF = :numero and\\r\\n          ID_PREFEITURA = :id_pref and\\r\\n          TIPO_OBSERVACAO = :tipo_obs"),
         {"NUMERO_AIDF_PREF", "ID_PREFEITURA", "TIPO_OBSERVACAO"}},
        {"cdsConjEsta", crlf("select * from AIDF_CONJ_ESTADO\\r\\nwhere NUMERO_AIDF_PREF = :NUMERO_AIDF_PREF and\\r\\n  ID_PREFEITURA = :ID_PREFEITURA"),
         {"NUMERO_AIDF_PREF", "ID_PREFEITURA"}},
        {"cdsAssin", crlf("select * from ASSINATURAS \\r\\nwhere ID_PREFEITURA = :ID_PREFEITURA and\\r\\n           ID_USUARIO = :ID_USUARIO"),
         {"ID_PREFEITURA", "ID_USUARIO"}},
        {"cdsParam", QStringLiteral("select * from PARAMETRO_SISTEMA"), {"ID_PARAMETRO"}},
        {"cdsSoliGera", QStringLiteral("select * from VW_SOLIC_AIDF"), {}},
        {"cdsSoliPPrev", QStringLiteral("select * from VW_SOLIC_AIDF where NUMERO_AIDF_PREF = :NUMERO_AIDF_PREF AND ID_PREFEITURA = :ID_PREFEITURA"), {}},
        {"cdsResp", crlf("select e.id_empresa, e.razao_social, e.cnpj_cpf, imunicipal \\r\\nfrom EMPRESA e inner join SOLIC_AIDF s on e.id_empresa = s.id_responsavel\\r\\n\\r\\n"), {}},
        {"cdsSoli", crlf("select e.id_empresa, e.razao_social, e.cnpj_cpf, imunicipal \\r\\nfrom EMPRESA e inner join SOLIC_AIDF s on e.id_empresa = s.id_solicitante"), {}},
    };
    return d;
}

void rotulos(ConjuntoDados &ds, const QList<QPair<const char *, const char *>> &lista)
{
    for (const auto &[campo, rotulo] : lista)
        ds.definicao(QString::fromUtf8(campo)).rotulo = QString::fromUtf8(rotulo);
}

void ocultos(ConjuntoDados &ds, const QStringList &campos)
{
    for (const QString &c : campos)
        ds.definicao(c).visivel = false;
}

} // namespace

TdmPrinc *TdmPrinc::instancia()
{
    return g_instancia;
}

TdmPrinc::TdmPrinc(QObject *pai) : QObject(pai)
{
    g_instancia = this;
    definirConjuntos();
    DataModuleCreate();
}

TdmPrinc::~TdmPrinc()
{
    try {
        desconectar();
    } catch (...) {
    }
    if (g_instancia == this)
        g_instancia = nullptr;
}

QString TdmPrinc::sqlDe(const QString &conjunto)
{
    for (const auto &d : definicoes())
        if (conjunto.compare(QLatin1String(d.nome), Qt::CaseInsensitive) == 0)
            return d.sql;
    return QString();
}

QList<ConjuntoDados *> TdmPrinc::conjuntos()
{
    return {&cdsPref, &cdsGraf, &cdsBair, &cdsCida, &cdsEmpr, &cdsSoliRece, &cdsObse, &cdsConjEsta,
            &cdsAssin, &cdsParam, &cdsSoliGera, &cdsSoliPPrev, &cdsResp, &cdsSoli, &cdsAIDFEnviGraf, &cdsRetorno};
}

ConjuntoDados *TdmPrinc::conjunto(const QString &nome)
{
    for (ConjuntoDados *ds : conjuntos())
        if (ds->nome().compare(nome, Qt::CaseInsensitive) == 0)
            return ds;
    return nullptr;
}

void TdmPrinc::definirConjuntos()
{
    for (const auto &d : definicoes()) {
        ConjuntoDados *ds = conjunto(QLatin1String(d.nome));
        ds->setSql(d.sql);
        ds->setCamposChave(d.chave);
    }
    for (ConjuntoDados *ds : {&cdsSoliGera, &cdsSoliPPrev, &cdsResp, &cdsSoli})
        ds->setSomenteLeitura(true);

    // Print shop.
    rotulos(cdsGraf, {{"RAZAO_SOCIAL", "Razão Social"}, {"CNPJ", "C.N.P.J."}, {"INS_MUNICIPAL", "Ins. Municipal"},
                      {"INS_ESTADUAL", "Ins. Estadual"}, {"ENDERECO", "Endereço"}, {"BAIRRO", "Bairro"},
                      {"CIDADE", "Cidade"}, {"UF", "U.F."}, {"TELEFONE", "Telefone"}, {"EMAIL", "e-Mail"},
                      {"ID_BAIRRO", "Bairro"}, {"ID_CIDADE", "Cidade"}});
    ocultos(cdsGraf, {QStringLiteral("ID_BAIRRO"), QStringLiteral("ID_CIDADE")});
    cdsGraf.definicao(QStringLiteral("BAIRRO")).obrigatorio = true;
    cdsGraf.definicao(QStringLiteral("CIDADE")).obrigatorio = true;
    cdsGraf.definicao(QStringLiteral("CNPJ")).mascara = QStringLiteral("99.999.999/9999-99;0;_");
    cdsGraf.definicao(QStringLiteral("CEP")).mascara = QStringLiteral("99999-999;0;_");

    rotulos(cdsCida, {{"NOME", "Cidade"}, {"UF", "U.F."}});

    rotulos(cdsPref, {{"NOME", "Prefeitura"}, {"CNPJ", "C.N.P.J."}, {"FONE", "Telefone"}, {"EMAIL", "e-Mail"},
                      {"CIDADE", "Cidade"}, {"UF", "U.F."}});
    ocultos(cdsPref, {QStringLiteral("ID_PREFEITURA"), QStringLiteral("NOMEDEPARTAMENTO"), QStringLiteral("ID_CIDADE")});

    cdsEmpr.definicao(QStringLiteral("CNPJ_CPF")).obrigatorio = true;

    // The request list and the printed request.
    const QString formatoDataHora = QStringLiteral("dd' de 'MM' de 'yyyy' às 'hh:mm");
    for (ConjuntoDados *ds : {&cdsSoliGera, &cdsSoliPPrev}) {
        for (const char *c : {"DATA_HORA_CADASTRO", "DATA_HORA_APROV_REPROV", "DATA_HORA_FINALIZA"})
            ds->definicao(QString::fromUtf8(c)).formatoExibicao = formatoDataHora;
        for (const char *c : {"CEP_RESP", "CEP_SOLI"})
            ds->definicao(QString::fromUtf8(c)).mascara = QStringLiteral("99999-999;0;_");
        ds->adicionarCalculado(QStringLiteral("CNPJ_RESP_FORM"), TipoColuna::Texto, 18);
        ds->adicionarCalculado(QStringLiteral("CNPJ_SOLI_FORM"), TipoColuna::Texto, 18);
    }
    ocultos(cdsSoliGera, {QStringLiteral("STATUS"), QStringLiteral("CNPJ_PREF"), QStringLiteral("NOMEDEPARTAMENTO"),
                          QStringLiteral("CNPJ_RESP"), QStringLiteral("CNPJ_SOLI"), QStringLiteral("ID_PREFEITURA"),
                          QStringLiteral("EMAIL_PREF"), QStringLiteral("BRASAO"), QStringLiteral("ASSINATURA")});
    // A list of many requests: the coats of arms and signatures are read only when asked for.
    cdsSoliGera.setBinariosSobDemanda(true);
    cdsSoliGera.setCamposIndice(QStringLiteral("NUMERO_AIDF_PREF"));

    cdsResp.adicionarCalculado(QStringLiteral("CNPJ_CPF_FORM"), TipoColuna::Texto, 18);
    cdsSoli.adicionarCalculado(QStringLiteral("cnpj_cpf_form"), TipoColuna::Texto, 20);
    cdsResp.setCamposIndice(QStringLiteral("RAZAO_SOCIAL"));
    cdsSoli.setCamposIndice(QStringLiteral("RAZAO_SOCIAL"));
}

void TdmPrinc::conectar()
{
    BDPrinc.abrir(banco, usuario, senha);
}

void TdmPrinc::desconectar()
{
    for (ConjuntoDados *ds : conjuntos())
        ds->fechar();
    m_spID.reset();
    BDPrinc.fechar();
}

QList<QVariantList> TdmPrinc::consultarGeral(const QString &sql, const QVariantList &parametros)
{
    return BDPrinc.consultar(sql, parametros);
}

void TdmPrinc::executarGeral(const QString &sql, const QVariantList &parametros)
{
    BDPrinc.executar(sql, parametros);
}

int TdmPrinc::NovoID(const QString &entidade)
{
    if (!m_spID)
        m_spID = std::make_unique<Comando>(BDPrinc, QStringLiteral("EXECUTE PROCEDURE SP_NOVO_ID(:ENTIDADE)"));
    m_spID->definir(QStringLiteral("ENTIDADE"), entidade);
    const QVariantList saida = m_spID->executar();
    return saida.value(0).toInt();
}

} // namespace lumaro
