#pragma once

// The query panel pnlAIDF: the query pages PC, the request grid grdDados and the document
// preview Prev, filling the main window's work area.

#include "ModeloSolicitacoes.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QToolButton;

namespace lumaro {

class PreviewDocumento;
class TdmPrinc;

class CaixaLookup;

// The rows of a lookup box, read from its list when shown: a list holds one row per request.
class ModeloLookup : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit ModeloLookup(CaixaLookup &caixa);
    int rowCount(const QModelIndex &pai = {}) const override;
    QVariant data(const QModelIndex &i, int papel) const override;
    void reiniciar();

private:
    CaixaLookup &m_caixa;
};

// A lookup combo box over a list dataset: shows the listed fields of each row joined by "-",
// keeps the chosen row's key and values even after its list is released.
class CaixaLookup : public QComboBox
{
    Q_OBJECT
public:
    CaixaLookup(ConjuntoDados &lista, const QString &campoChave, const QString &ordemExibicao, QWidget *pai = nullptr);

    ConjuntoDados &lista() const { return m_lista; }
    QString ordemExibicao() const { return m_ordem; }
    void setOrdemExibicao(const QString &ordem);

    // Fills the items from the list (when open) and selects the chosen key again.
    void recarregar();
    // The list was closed: only the chosen row's text stays.
    void liberarLista();

    bool temValor() const { return m_chave.isValid(); }
    QVariant chave() const { return m_chave; }
    QVariant valorEscolhido(const QString &campo) const { return m_escolhido.value(campo.toUpper()); }
    void escolherLinha(int posicao);   // a row of the list, as the operator would
    void limpar();

    QString textoLinha(int posicao) const;
    QString textoEscolhido() const { return m_textoEscolhido; }

private:
    ModeloLookup *m_modelo = nullptr;
    ConjuntoDados &m_lista;
    QString m_campoChave;
    QString m_ordem;
    QVariant m_chave;
    QVariantMap m_escolhido;
    QString m_textoEscolhido;
    bool m_carregando = false;
};

// A date box that may be empty ("  /  /    ").
class CaixaData : public QLineEdit
{
    Q_OBJECT
public:
    explicit CaixaData(QWidget *pai = nullptr);
    std::optional<QDate> data() const;
    void setData(const std::optional<QDate> &d);
};

// Tabs drawn by PCDrawTab.
class BarraAbas : public QTabBar
{
    Q_OBJECT
public:
    using QTabBar::QTabBar;
protected:
    QSize tabSizeHint(int indice) const override;
    void paintEvent(QPaintEvent *) override;
};

// The page control PC with its owner-drawn tabs.
class PaginasConsulta : public QTabWidget
{
    Q_OBJECT
public:
    explicit PaginasConsulta(QWidget *pai = nullptr) : QTabWidget(pai) { setTabBar(new BarraAbas(this)); }
};

// grdDadosDrawColumnCell.
class DesenhoCelula : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &opcao, const QModelIndex &i) const override;
};

class TpnlAIDF : public QWidget
{
    Q_OBJECT
public:
    TpnlAIDF(TdmPrinc &dm, QWidget *pai = nullptr);
    ~TpnlAIDF() override;

    // Closes the print-shop registration if it is open (set by the main window).
    std::function<void()> fecharCadastroGrafica;

    // Hooks the data module's seams of the request list's row change to this panel.
    void conectarModulo();

    void MostrarConsulta();
    void actExecutarExecute();
    void grdDadosTitleClick(int coluna);
    void edtConsSimpChange(const QString &texto);
    void CNPJCPF1Click(QAction *item);
    void actLimpaLookExecute();
    void PCChange(int indice);
    void TabSheet2Enter();
    void TabSheet2Exit();
    void TabSheet3Enter();
    void TabSheet3Exit();
    void MontarLegenda();
    // Rebuilds the preview from cdsSoliPPrev's row and the print shop.
    void PrepararDocumento();

    static void PCDrawTab(QPainter &p, const QString &legenda, const QRect &r, bool ativa);
    static void DesenharLegenda(QPainter &p, const QRect &r, const QString &texto, const QColor &cor);

    // Components.
    QTabWidget *PC = nullptr;
    QWidget *TSSimples = nullptr, *TabSheet2 = nullptr, *TabSheet1 = nullptr, *TabSheet3 = nullptr;
    QLabel *lblConsSimp = nullptr;
    QLineEdit *edtConsSimp = nullptr;
    CaixaLookup *lcmbResp = nullptr, *lcmbSoli = nullptr, *lcmbPref = nullptr;
    CaixaData *edtDataCada = nullptr, *edtDataAprov = nullptr, *edtDataAcei = nullptr;
    QTableView *grdDados = nullptr;
    PreviewDocumento *Prev = nullptr;
    QAction *actExecutar = nullptr;
    QAction *actLimpaLook = nullptr;
    QMenu *PMOrdeSoli = nullptr;
    QAction *CNPJCPF1 = nullptr, *InscrioMuniciapal1 = nullptr, *RazoSocial1 = nullptr;
    QMenu *pmLege = nullptr;

    ModeloSolicitacoes &modelo() const { return *m_modelo; }
    CriteriosConsulta criterios() const;

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    int paginaDe(QWidget *w) const;
    void focoMudou(QWidget *antes, QWidget *agora);
    void linhaDoConjuntoMudou(int posicao);
    void ajustarLarguras();
    void seguirConjunto();

    TdmPrinc &m_dm;
    ModeloSolicitacoes *m_modelo = nullptr;
    bool m_sincronizando = false;
    bool m_trocandoPagina = false;
    QAction *m_itemMarcado = nullptr;
    QList<QToolButton *> m_botoesExecutar;
};

} // namespace lumaro
