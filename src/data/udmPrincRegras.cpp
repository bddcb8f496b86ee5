// How a record is saved: required values, immediate apply, the translation of database errors
// into the program's messages, the identifier repair, and the print shop's own record rules.

#include "udmPrinc.h"

#include "Dialogos.h"
#include "uFuncoes.h"

namespace lumaro {

namespace {

// Pos and Copy as the messages' substring rules count them: positions from 1, 0 when absent.
int pos(const QString &parte, const QString &texto)
{
    return int(texto.indexOf(parte)) + 1;
}

QString copiar(const QString &texto, int inicio, int quantidade)
{
    if (inicio < 1)
        inicio = 1;
    if (quantidade <= 0 || inicio > texto.size())
        return QString();
    return texto.mid(inicio - 1, quantidade);
}

QString entreAspas(const QString &valor)
{
    QString v = valor;
    v.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

// The table an error names: Firebird says `... on table "X"`; older wordings have the name
// seven places after "table" (the word, a blank, the opening quote).
QString tabelaDoErro(const QString &texto)
{
    int i = int(texto.indexOf(QLatin1String("on table \"")));
    if (i >= 0) {
        i += 10;
    } else {
        i = int(texto.indexOf(QLatin1String("table")));
        if (i < 0)
            return QString();
        i += 7;
    }
    const int fim = int(texto.indexOf(QLatin1Char('"'), i));
    return fim < 0 ? texto.mid(i) : texto.mid(i, fim - i);
}

QString restricaoDoErro(const QString &texto)
{
    const QString marca = QStringLiteral("constraint \"");
    const int i = int(texto.indexOf(marca));
    if (i < 0)
        return QString();
    const int ini = i + int(marca.size());
    const int fim = int(texto.indexOf(QLatin1Char('"'), ini));
    return fim < 0 ? texto.mid(ini) : texto.mid(ini, fim - ini);
}

// `validation error for column "CIDADE"."NOME", value ...` gives NOME; an unqualified, unquoted
// name (older servers) is taken as it stands.
QString colunaDoErro(const QString &texto)
{
    const QString marca = QStringLiteral("validation error for column ");
    const int i = int(texto.indexOf(marca));
    if (i < 0)
        return QString();
    const int ini = i + int(marca.size());
    const int virgula = int(texto.indexOf(QLatin1Char(','), ini));
    QString coluna = (virgula < 0 ? texto.mid(ini) : texto.mid(ini, virgula - ini)).trimmed();
    const int ponto = int(coluna.lastIndexOf(QLatin1String("\".\"")));
    if (ponto >= 0)
        coluna = coluna.mid(ponto + 3);
    coluna.remove(QLatin1Char('"'));
    return coluna;
}

void aviso(const QString &titulo, const QString &texto, Icone icone)
{
    dialogos().mostrar({titulo, texto, icone, false, Ok, Ok});
}

} // namespace

const QStringList &tabelasNumeradas()
{
    // GRAFICA has an "ID_" key too, but it is always 1: a clash there is no lagging counter.
    static const QStringList t = {QStringLiteral("PREFEITURA"), QStringLiteral("EMPRESA"),
                                  QStringLiteral("BAIRRO"), QStringLiteral("CIDADE")};
    return t;
}

// Firebird 3 against the six cases, first match wins:
//   1  "Key violation" (client wording); unique_key_violation on a UNIQUE constraint; no_dup on
//      any unique index but IDX_EMPR_CNPJ
//   2  not_valid: `validation error for column "T"."C", value "..."`
//   3  foreign_key: `violation of FOREIGN KEY constraint "FK" on table "T"` (T is the referencing
//      table, on insert as on delete)
//   4  no_dup in `unique index "IDX_EMPR_CNPJ"`
//   5  unique_key_violation on a PRIMARY KEY of a table numbered through IDS
//   6  the rest: truncation, lock conflicts, a row gone, and primary keys that IDS does not
//      number (composite keys, GRAFICA): no MAX query can mend those
ErroClassificado classificarErroConciliacao(const ErroBanco &erro,
                                            const std::function<bool(const QString &)> &ehChavePrimaria)
{
    const QString &t = erro.texto();
    const bool chaveUnica = erro.tem(gds::unique_key_violation);
    const bool indiceUnico = erro.tem(gds::no_dup);
    const bool cnpjEmpresa = t.contains(QLatin1String("unique index \"IDX_EMPR_CNPJ\""));
    bool primaria = false;
    if (chaveUnica)
        primaria = !ehChavePrimaria || ehChavePrimaria(restricaoDoErro(t));
    else if (erro.codigos().empty())
        primaria = t.toUpper().contains(QLatin1String("VIOLATION OF PRIMARY"));

    const int p = pos(QStringLiteral("Key violation"), t);
    if (p > 0) {
        QString resto = copiar(t, p + 10, int(t.size()));
        const int aspas = int(resto.indexOf(QLatin1Char('"')));
        return {CasoConciliacao::RegistroExistente, aspas < 0 ? resto : resto.left(aspas)};
    }
    if (chaveUnica && !primaria)
        return {CasoConciliacao::RegistroExistente, tabelaDoErro(t)};
    if (indiceUnico && !cnpjEmpresa)
        return {CasoConciliacao::RegistroExistente, QString()};
    if (erro.tem(gds::not_valid) || t.contains(QLatin1String("validation error for column")))
        return {CasoConciliacao::ValorIncorreto, colunaDoErro(t)};
    if (erro.tem(gds::foreign_key) || t.contains(QLatin1String("FOREIGN KEY")))
        return {CasoConciliacao::ChaveEstrangeira, tabelaDoErro(t)};
    if (cnpjEmpresa)
        return {CasoConciliacao::CnpjEmpresaRepetido, QString()};
    if (primaria) {
        const QString tabela = tabelaDoErro(t);
        if (tabelasNumeradas().contains(tabela))
            return {CasoConciliacao::IdentificadorAtrasado, tabela};
    }
    return {CasoConciliacao::Outro, QString()};
}

QString TdmPrinc::tabelaDoCadastro(const QString &sql)
{
    QString s = sql.toUpper();
    const int de = int(s.indexOf(QLatin1String("FROM ")));
    if (de >= 0)
        s.remove(0, de + 5);
    const int quebra = int(s.indexOf(QLatin1String("\r\n")));
    if (quebra >= 0)
        return s.left(quebra);
    const int branco = int(s.indexOf(QLatin1Char(' ')));
    return branco < 0 ? QString() : s.left(branco + 1);
}

void TdmPrinc::DataModuleCreate()
{
    // The application-wide error display belongs to the program's entry (exibirErro); the
    // connection's one transaction is read committed already.
    const QList<ConjuntoDados *> gravaveis = {&cdsPref, &cdsGraf, &cdsBair, &cdsCida, &cdsEmpr,
                                             &cdsSoliRece, &cdsSoliGera, &cdsObse, &cdsParam, &cdsResp,
                                             &cdsSoli, &cdsConjEsta, &cdsAssin};
    for (ConjuntoDados *ds : gravaveis) {
        ds->antesGravar = [this](ConjuntoDados &d) { cdsPrefBeforePost(d); };
        ds->depoisGravar = [this](ConjuntoDados &d) { cdsPrefAfterPost(d); };
        if (ds == &cdsParam)
            continue;
        ds->erroGravacao = [this](ConjuntoDados &d, const Erro &e, AcaoErroGravacao &a) { cdsPrefPostError(d, e, a); };
        ds->erroConciliacao = [this](ConjuntoDados &d, const ErroBanco &e, TipoAtualizacao t) {
            return cdsPrefReconcileError(d, e, t);
        };
    }
    // The parameters have no translation of their own; a refused row must still not pass for
    // saved, so its error goes back to whoever posted it.
    cdsParam.erroConciliacao = [this](ConjuntoDados &, const ErroBanco &e, TipoAtualizacao) {
        m_erroParametros = e;
        return AcaoConciliacao::Abortar;
    };

    cdsGraf.depoisInserir = [this](ConjuntoDados &d) { cdsGrafAfterInsert(d); };
    cdsParam.depoisInserir = [this](ConjuntoDados &d) { cdsParamAfterInsert(d); };
    cdsGraf.definicao(QStringLiteral("CNPJ")).aoValidar = [this](Campo &c) { cdsGrafCNPJValidate(c); };
    cdsGraf.definicao(QStringLiteral("CNPJ")).aoMudar = [this](Campo &c) { cdsGrafCNPJChange(c); };
    cdsGraf.definicao(QStringLiteral("EMAIL")).aoValidar = [this](Campo &c) { cdsGrafEMAILValidate(c); };

    cdsSoliGera.aoCalcular = [this](ConjuntoDados &d) { cdsSoliGeraCalcFields(d); };
    cdsSoliPPrev.aoCalcular = [this](ConjuntoDados &d) { cdsSoliPPrevCalcFields(d); };
    cdsResp.aoCalcular = [this](ConjuntoDados &d) { cdsRespCalcFields(d); };
    cdsSoli.aoCalcular = [this](ConjuntoDados &d) { cdsRespCalcFields(d); };
    cdsSoliGera.depoisRolar = [this](ConjuntoDados &) { cdsSoliGeraAfterScroll(); };
    cdsSoliGera.depoisFechar = [this](ConjuntoDados &d) { cdsSoliGeraAfterClose(d); };
}

// --- required values -------------------------------------------------------------------------

bool TdmPrinc::VerificarObrigatorios(ConjuntoDados &ds)
{
    for (Campo *c : ds.campos()) {
        if (!c->obrigatorio || !c->visivel || c->chave || c->calculado)
            continue;
        if (!c->nulo() && !c->texto().trimmed().isEmpty())
            continue;
        QString sql = sqlDe(ds.nome());
        if (sql.isEmpty())
            sql = ds.sql();
        dialogos().mostrar({QStringLiteral("Aviso - Operação Cancelada"),
                            QStringLiteral("O campo ") + c->nomeExibicao() + QStringLiteral(" no cadastro de ")
                                + tabelaDoCadastro(sql) + QStringLiteral(" não pode ficar vazio."),
                            Icone::Aviso, true, Ok, Ok});
        emit focarCampo(&ds, c->nome);
        return false;
    }
    return true;
}

// --- the save path ------------------------------------------------------------------------------

void TdmPrinc::cdsPrefBeforePost(ConjuntoDados &ds)
{
    if (!VerificarObrigatorios(ds))
        throw Abortar();
}

void TdmPrinc::cdsPrefAfterPost(ConjuntoDados &ds)
{
    ultimoGravado = &ds;
    if (ds.alteracoesPendentes() == 0)
        return;
    if (&ds == &cdsParam)
        m_erroParametros.reset();
    ds.aplicarAtualizacoes(0);
    if (&ds == &cdsParam && m_erroParametros) {
        const ErroBanco e = *m_erroParametros;
        m_erroParametros.reset();
        throw e;
    }
}

void TdmPrinc::cdsPrefPostError(ConjuntoDados &ds, const Erro &erro, AcaoErroGravacao &acao)
{
    const QString &t = erro.texto();
    if (t.contains(QLatin1String("must have a value"))) {
        // The dataset's own check stops at the first required field without a value.
        for (Campo *c : ds.campos())
            if (c->obrigatorio && !c->calculado && c->nulo()) {
                emit focarCampo(&ds, c->nome);
                break;
            }
        aviso(QStringLiteral("Aviso"),
              QStringLiteral("O campo ") + copiar(t, pos(QStringLiteral("Field"), t) + 6, pos(QStringLiteral("must"), t) - 7)
                  + QStringLiteral(" não pode ficar em branco."),
              Icone::Aviso);
    } else if (t.contains(QLatin1String("Key violation"))) {
        aviso(QStringLiteral("Aviso"), QStringLiteral("Registro já existe na base de dados."), Icone::Aviso);
    } else {
        exibirErro(t);
    }
    acao = AcaoErroGravacao::Abortar;
}

bool TdmPrinc::ehChavePrimaria(const QString &restricao)
{
    try {
        const auto r = consultarGeral(QStringLiteral("select RDB$CONSTRAINT_TYPE from RDB$RELATION_CONSTRAINTS "
                                                     "where RDB$CONSTRAINT_NAME = ?"),
                                      {restricao});
        if (!r.isEmpty())
            return r.first().value(0).toString().trimmed() == QLatin1String("PRIMARY KEY");
    } catch (const Erro &) {
    }
    // Unknown constraint: read it as the server's wording does, a primary key first.
    return true;
}

void TdmPrinc::encerrarFalha()
{
    falhaGravacao = 1;
    if (BDPrinc.emTransacao())
        BDPrinc.desfazer();
}

AcaoConciliacao TdmPrinc::cdsPrefReconcileError(ConjuntoDados &ds, const ErroBanco &erro, TipoAtualizacao)
{
    const ErroClassificado c = classificarErroConciliacao(erro, [this](const QString &r) { return ehChavePrimaria(r); });
    const QString &t = erro.texto();
    switch (c.caso) {
    case CasoConciliacao::RegistroExistente:
        aviso(QStringLiteral("Operação Cancelada"),
              QStringLiteral("O registro que você está tentando incluir na base de dados\rjá existe em ")
                  + (c.nome.isEmpty() ? ds.tabelaAtualizacao() : c.nome),
              Icone::Erro);
        break;
    case CasoConciliacao::ValorIncorreto: {
        const Campo *f = ds.acharCampo(c.nome);
        const QString valor = f && ds.ativo() ? f->texto() : QString();
        aviso(QStringLiteral("Error"),
              QStringLiteral("Valor incorreto atribuido ao campo ") + c.nome + QStringLiteral(". O valor ")
                  + entreAspas(valor) + QStringLiteral(" não é valido. Favor Verificar!"),
              Icone::Erro);
        break;
    }
    case CasoConciliacao::ChaveEstrangeira: {
        QString entrada;
        if (c.nome == QLatin1String("REGISTRO_1"))
            entrada = QStringLiteral("Existe Lancamento");
        else if (c.nome == QLatin1String("EMPRESA"))
            entrada = QStringLiteral("Existe Empresa");
        else if (c.nome == QLatin1String("PREFEITURA"))
            entrada = QStringLiteral("O cadastro da Prefeitura é");
        else if (c.nome == QLatin1String("SOLIC_AIDF"))
            entrada = QStringLiteral("Existe solicitação de A.I.D.F");
        if (!entrada.isEmpty())
            aviso(QStringLiteral("Operação Cancelada"),
                  entrada + QStringLiteral(" dependente deste registro e por isso o mesmo não pode ser excluído"),
                  Icone::Aviso);
        else
            aviso(QStringLiteral("Operação Cancelada"),
                  QStringLiteral("Não pude excluir o registro devido ao seguinte erro:\r") + t, Icone::Erro);
        break;
    }
    case CasoConciliacao::CnpjEmpresaRepetido:
        aviso(QStringLiteral("Aviso"),
              QStringLiteral("Já existe uma empresa cadastrada com o C.N.P.J./C.P.F. informado. Favor Verificar"),
              Icone::Aviso);
        break;
    case CasoConciliacao::IdentificadorAtrasado:
        return repararIdentificador(c.nome, ds, erro);
    case CasoConciliacao::Outro:
        aviso(QStringLiteral(" Erro"),
              QStringLiteral("Ao conciliar os dados na base de dados ocorreu o seguinte erro:\r") + t, Icone::Erro);
        break;
    }
    encerrarFalha();
    return AcaoConciliacao::Abortar;
}

// IDS fell behind the table (rows stored by another way, a restored copy): move the counter past
// the highest key and save the record again under the next identifier.
AcaoConciliacao TdmPrinc::repararIdentificador(const QString &tabela, ConjuntoDados &ds, const ErroBanco &erro)
{
    ConjuntoDados *alvo = ultimoGravado ? ultimoGravado : &ds;
    const QString campoId = QStringLiteral("ID_") + tabela;
    // A second clash while repairing would only loop; the table name comes from our own list.
    const bool reparavel = !m_reparando && tabelasNumeradas().contains(tabela) && alvo->acharCampo(campoId);
    if (reparavel) {
        m_reparando = true;
        try {
            const auto r = consultarGeral(QStringLiteral("SELECT MAX(") + campoId + QStringLiteral(") FROM ") + tabela);
            const int proximo = r.value(0).value(0).toInt() + 1;
            Comando ids(BDPrinc, QStringLiteral("UPDATE IDS SET ULT_ID = ? WHERE ENTIDADE = ?"));
            ids.definir(0, proximo);
            ids.definir(1, tabela);
            ids.executar();
            if (ids.linhasAfetadas() == 0)
                executarGeral(QStringLiteral("INSERT INTO IDS (ENTIDADE, ULT_ID) VALUES (?, ?)"), {tabela, proximo});
            alvo->editar();
            alvo->definir(campoId, proximo);
            alvo->gravar();
            m_reparando = false;
            // The new save applied itself; when that failed its own handler has already spoken.
            return alvo->alteracoesPendentes() == 0 ? AcaoConciliacao::Corrigido : AcaoConciliacao::Abortar;
        } catch (...) {
            m_reparando = false;
            if (alvo->editando())
                alvo->cancelar();
        }
    }
    aviso(QStringLiteral(" Erro"),
          QStringLiteral("Ao conciliar os dados na base de dados ocorreu o seguinte erro:\r") + erro.texto(), Icone::Erro);
    encerrarFalha();
    return AcaoConciliacao::Abortar;
}

// --- the print shop and the parameters ---------------------------------------------------------

void TdmPrinc::cdsGrafAfterInsert(ConjuntoDados &ds)
{
    ds.definir(QStringLiteral("UF"), QStringLiteral("SP"));
    ds.definir(QStringLiteral("ID_GRAFICA"), 1);
}

void TdmPrinc::cdsParamAfterInsert(ConjuntoDados &ds)
{
    ds.definir(QStringLiteral("ID_PARAMETRO"), 1);
}

void TdmPrinc::cdsGrafCNPJValidate(Campo &campo)
{
    if (ValidarCNPJCPF(campo.texto(), true))
        return;
    emit focarCampo(&campo.conjunto(), campo.nome);
    throw Abortar();
}

void TdmPrinc::cdsGrafCNPJChange(Campo &campo)
{
    ConjuntoDados &ds = campo.conjunto();
    const QVariant antigo = ds.valorAntigo(campo.nome);
    if (!antigo.isNull() && antigo.toString() == campo.texto())
        return;
    // Requests carry the print shop's CNPJ as the municipality knows it.
    if (consultarGeral(QStringLiteral("select FIRST 1 'x' resultado from SOLIC_AIDF")).isEmpty())
        return;
    aviso(QStringLiteral("Aviso"),
          QStringLiteral("Ja existe Solicitação A.I.D.F. para o C.N.P.J. cadastrado e por esse motivo você não poderá alterá-lo."),
          Icone::Aviso);
    ds.cancelarAtualizacoes();
    ds.editar();
    emit focarCampo(&ds, campo.nome);
    throw Abortar();
}

void TdmPrinc::cdsGrafEMAILValidate(Campo &campo)
{
    if (campo.texto().contains(QLatin1Char('@')))
        return;
    aviso(QStringLiteral("Aviso"), QStringLiteral("e-Mail inválido"), Icone::Aviso);
    emit focarCampo(&campo.conjunto(), campo.nome);
    throw Abortar();
}

// --- display fields and the request list -------------------------------------------------------

namespace {
void formatar(ConjuntoDados &ds, const char *destino, const char *origem)
{
    Campo *d = ds.acharCampo(QLatin1String(destino));
    const Campo *o = ds.acharCampo(QLatin1String(origem));
    if (d && o)
        d->definir(FormatarCNPJCPF(o->texto()));
}
} // namespace

void TdmPrinc::cdsSoliGeraCalcFields(ConjuntoDados &ds)
{
    formatar(ds, "CNPJ_RESP_FORM", "CNPJ_RESP");
    formatar(ds, "CNPJ_SOLI_FORM", "CNPJ_SOLI");
}

void TdmPrinc::cdsSoliPPrevCalcFields(ConjuntoDados &ds)
{
    formatar(ds, "CNPJ_RESP_FORM", "CNPJ_RESP");
    formatar(ds, "CNPJ_SOLI_FORM", "CNPJ_SOLI");
}

void TdmPrinc::cdsRespCalcFields(ConjuntoDados &ds)
{
    formatar(ds, "CNPJ_CPF_FORM", "CNPJ_CPF");
}

void TdmPrinc::cdsSoliGeraAfterScroll()
{
    if (!cdsSoliGera.ativo() || cdsSoliGera.vazio() || !painelConsultaVisivel || !painelConsultaVisivel())
        return;
    cdsSoliPPrev.definirParametro(QStringLiteral("NUMERO_AIDF_PREF"), cdsSoliGera.campo(QStringLiteral("NUMERO_AIDF_PREF")).texto());
    cdsSoliPPrev.definirParametro(QStringLiteral("ID_PREFEITURA"), cdsSoliGera.campo(QStringLiteral("ID_PREFEITURA")).texto());
    if (cdsSoliPPrev.ativo())
        cdsSoliPPrev.atualizar();
    else
        cdsSoliPPrev.abrir();
    if (PrepararDocumento)
        PrepararDocumento();
}

void TdmPrinc::cdsSoliGeraAfterClose(ConjuntoDados &)
{
    if (cdsObse.ativo())
        cdsObse.fechar();
}

} // namespace lumaro
