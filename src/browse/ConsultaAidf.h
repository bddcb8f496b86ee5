#pragma once

// The request list's rules that need no screen: the grid's columns, the query text of each page,
// the status colours, the title-click sort with its column colours, and the records the
// document is built from.

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace lumaro {

class ConjuntoDados;

struct ColunaGrade
{
    const char *campo;
    const char *titulo;
    int largura;          // in characters
    bool centralizada;
};

// The 39 columns of grdDados, in the order they are shown.
const QList<ColunaGrade> &colunasGrade();

// Gives the request list's fields their titles, widths and alignment. Takes effect when the
// fields are created (the next open).
void definirCamposSolicitacoes(ConjuntoDados &cdsSoliGera);

// What the query pages hold when "Executar" runs.
struct CriteriosConsulta
{
    int pagina = 0;                          // active page of PC
    std::optional<QString> cnpjResp;         // CNPJ_CPF of the company chosen in lcmbResp
    std::optional<QString> cnpjSoli;         // the same for lcmbSoli
    std::optional<QDate> dataCadastro;       // edtDataCada
    std::optional<QDate> dataAprovacao;      // edtDataAprov
    std::optional<QDate> dataAceite;         // edtDataAcei
    std::optional<int> idPrefeitura;         // ID_PREFEITURA chosen in lcmbPref
};

inline const QString kSqlListaSolicitacoes = QStringLiteral("select * from VW_SOLIC_AIDF ");

// The request list's command text for the active page's criteria; the other pages' are ignored.
QString montarSqlConsulta(const CriteriosConsulta &c);
// An SQL string literal: quoted, with quotes inside doubled.
QString literalSql(const QString &texto);

namespace cores {
inline const QColor verde{0, 128, 0};
inline const QColor vermelho{255, 0, 0};
inline const QColor marinho{0, 0, 128};
inline const QColor preto{0, 0, 0};
inline const QColor branco{255, 255, 255};
inline const QColor painel{230, 230, 230};
inline const QColor destaque{255, 207, 185};       // first column after a load on a closed list
inline const QColor selecao{255, 255, 128};
inline const QColor buscaComFoco{255, 255, 183};
inline const QColor fundoTitulos{0, 115, 170};
inline const QColor abaAtiva{39, 64, 88};
inline const QColor fundoLegenda{238, 238, 238};
} // namespace cores

// A row's font colour by its STATUS ("2" green, "3" red, "5" navy, anything else black); null
// gives the grid's default colour.
QColor corStatus(const QVariant &status);

struct ItemLegenda
{
    QString texto;
    QColor cor;
};
// The items of pmLege, heading first.
const QList<ItemLegenda> &itensLegenda();
// The background a legend item is drawn on.
QColor fundoLegenda(const QColor &corItem);

// The title click on grdDados and the column colours it leaves behind.
class OrdenacaoGrade
{
public:
    // Column colours; an invalid colour is the grid's (the panel colour).
    std::vector<QColor> cores;
    bool titulosCentralizados = false;
    QString rotulo;                          // caption of lblConsSimp

    // Sorts the list by the column's field. A memo or blob column changes nothing and answers
    // false. `campo` empty: a column without a field, only the reload and colours apply.
    bool clicarTitulo(ConjuntoDados &ds, int coluna, const QString &campo, const QString &titulo);
};

// The current row of a dataset by field name (NULL as an invalid QVariant).
QVariantMap registroAtual(const ConjuntoDados &ds);

// The print shop's fields the document prints, from cdsGraf's current row.
QVariantMap dadosGrafica(const ConjuntoDados &cdsGraf);

// A memo's text as the grid writes it: on one line.
QString textoEmUmaLinha(const QString &texto);

} // namespace lumaro
