#pragma once

// The data module: the one connection BDPrinc and every dataset of the program.

#include "BancoFirebird.h"
#include "ConjuntoDados.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace lumaro {

class Comando;

// The cases of a failed apply, in the order the reconcile handler tests them.
enum class CasoConciliacao {
    RegistroExistente = 1,    // a duplicate that no repair can mend
    ValorIncorreto,           // a value the column refuses (NOT NULL, domain check)
    ChaveEstrangeira,         // a reference to a row that is missing, or from a row that exists
    CnpjEmpresaRepetido,      // IDX_EMPR_CNPJ
    IdentificadorAtrasado,    // primary key clash of a table numbered through IDS: repaired
    Outro
};

struct ErroClassificado
{
    CasoConciliacao caso = CasoConciliacao::Outro;
    // The table (registro existente, chave estrangeira, identificador) or the column (valor
    // incorreto) the message names; empty when the server's text names none.
    QString nome;
};

// Reads a database error into one of the cases. ehChavePrimaria answers whether a constraint
// (by name) is a PRIMARY KEY rather than a UNIQUE one; without it every key constraint counts
// as a primary key.
ErroClassificado classificarErroConciliacao(const ErroBanco &erro,
                                            const std::function<bool(const QString &)> &ehChavePrimaria = {});

// Tables whose key is the one integer column "ID_" + table, numbered through IDS.
const QStringList &tabelasNumeradas();

class TdmPrinc : public QObject
{
    Q_OBJECT
public:
    explicit TdmPrinc(QObject *pai = nullptr);
    ~TdmPrinc() override;

    // The single instance, reached by every part of the program (null before it exists).
    static TdmPrinc *instancia();

    // --- the connection ------------------------------------------------------------------------
    Conexao BDPrinc;
    // DATABASE parameter of the connection: a file path, or "servidor/porta:caminho".
    QString banco;
    QString usuario = QStringLiteral("TORVALENCIO");
    QString senha = QStringLiteral("plomquez");
    void conectar();                     // opens BDPrinc on `banco`
    void desconectar();                  // closes every dataset and the connection

    // The shared transaction (identifier 1, read committed).
    void iniciarTransacao() { BDPrinc.iniciarTransacao(); }
    void confirmarTransacao() { BDPrinc.confirmar(); }
    void desfazerTransacao() { BDPrinc.desfazer(); }
    bool emTransacao() const { return BDPrinc.emTransacao(); }

    // --- datasets --------------------------------------------------------------------------------
    ConjuntoDados cdsPref{QStringLiteral("cdsPref"), &BDPrinc};
    ConjuntoDados cdsGraf{QStringLiteral("cdsGraf"), &BDPrinc};
    ConjuntoDados cdsBair{QStringLiteral("cdsBair"), &BDPrinc};
    ConjuntoDados cdsCida{QStringLiteral("cdsCida"), &BDPrinc};
    ConjuntoDados cdsEmpr{QStringLiteral("cdsEmpr"), &BDPrinc};
    ConjuntoDados cdsSoliRece{QStringLiteral("cdsSoliRece"), &BDPrinc};
    ConjuntoDados cdsObse{QStringLiteral("cdsObse"), &BDPrinc};
    ConjuntoDados cdsConjEsta{QStringLiteral("cdsConjEsta"), &BDPrinc};
    ConjuntoDados cdsAssin{QStringLiteral("cdsAssin"), &BDPrinc};
    ConjuntoDados cdsParam{QStringLiteral("cdsParam"), &BDPrinc};
    ConjuntoDados cdsSoliGera{QStringLiteral("cdsSoliGera"), &BDPrinc};
    ConjuntoDados cdsSoliPPrev{QStringLiteral("cdsSoliPPrev"), &BDPrinc};
    ConjuntoDados cdsResp{QStringLiteral("cdsResp"), &BDPrinc};
    ConjuntoDados cdsSoli{QStringLiteral("cdsSoli"), &BDPrinc};
    // Packets: in-memory datasets whose fields come from the packet itself.
    ConjuntoDados cdsAIDFEnviGraf{QStringLiteral("cdsAIDFEnviGraf"), nullptr};
    ConjuntoDados cdsRetorno{QStringLiteral("cdsRetorno"), nullptr};

    // sdsGeral: a general statement; each user sets its own text.
    QList<QVariantList> consultarGeral(const QString &sql, const QVariantList &parametros = {});
    void executarGeral(const QString &sql, const QVariantList &parametros = {});

    // The SQL text behind a dataset's provider, as the data module defines it.
    static QString sqlDe(const QString &conjunto);
    QList<ConjuntoDados *> conjuntos();
    ConjuntoDados *conjunto(const QString &nome);

    // --- save rules ----------------------------------------------------------------------------
    int falhaGravacao = 0;               // the save-failure flag: set by a failed apply, cleared by its callers
    ConjuntoDados *ultimoGravado = nullptr;

    int NovoID(const QString &entidade);

    // True when every required, visible, non-key field has a value other than blanks; otherwise
    // shows the first missing one and answers false.
    bool VerificarObrigatorios(ConjuntoDados &ds);
    // The "table" the required-value message names, worked out from a dataset's SQL text.
    static QString tabelaDoCadastro(const QString &sql);

    // Handlers, wired by DataModuleCreate; public so that other parts can run them directly.
    void cdsPrefBeforePost(ConjuntoDados &ds);
    void cdsPrefAfterPost(ConjuntoDados &ds);
    void cdsPrefPostError(ConjuntoDados &ds, const Erro &erro, AcaoErroGravacao &acao);
    AcaoConciliacao cdsPrefReconcileError(ConjuntoDados &ds, const ErroBanco &erro, TipoAtualizacao tipo);
    void cdsGrafAfterInsert(ConjuntoDados &ds);
    void cdsParamAfterInsert(ConjuntoDados &ds);
    void cdsGrafCNPJValidate(Campo &campo);
    void cdsGrafCNPJChange(Campo &campo);
    void cdsGrafEMAILValidate(Campo &campo);
    void cdsSoliGeraCalcFields(ConjuntoDados &ds);
    void cdsSoliPPrevCalcFields(ConjuntoDados &ds);
    void cdsRespCalcFields(ConjuntoDados &ds);
    void cdsSoliGeraAfterScroll();
    void cdsSoliGeraAfterClose(ConjuntoDados &ds);

    // Seams of the main window for the request list's row change: whether the query panel is
    // showing, and rebuilding the document preview from cdsSoliPPrev. Unset: hidden, nothing.
    std::function<bool()> painelConsultaVisivel;
    std::function<void()> PrepararDocumento;

signals:
    // A rule refused a value or found it missing: the form that edits this field may focus it.
    void focarCampo(lumaro::ConjuntoDados *conjunto, const QString &campo);

private:
    void definirConjuntos();
    void DataModuleCreate();
    bool ehChavePrimaria(const QString &restricao);
    void encerrarFalha();
    AcaoConciliacao repararIdentificador(const QString &tabela, ConjuntoDados &ds, const ErroBanco &erro);
    std::unique_ptr<Comando> m_spID;
    bool m_reparando = false;
    std::optional<ErroBanco> m_erroParametros;
};

} // namespace lumaro
