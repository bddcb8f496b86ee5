#pragma once

// The data module: the one connection BDPrinc and every dataset of the program.

#include "BancoFirebird.h"
#include "ConjuntoDados.h"

#include <QObject>
#include <memory>

namespace lumaro {

class Comando;

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

    // --- save rules state ----------------------------------------------------------------------
    int falhaGravacao = 0;               // the save-failure flag
    ConjuntoDados *ultimoGravado = nullptr;

    int NovoID(const QString &entidade);

private:
    void definirConjuntos();
    std::unique_ptr<Comando> m_spID;
};

} // namespace lumaro
