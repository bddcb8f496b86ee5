#include "upnlAIDF.h"

#include "ComandosDocumento.h"
#include "ConjuntoDados.h"
#include "Dialogos.h"
#include "Erros.h"
#include "PreviewDocumento.h"
#include "udmPrinc.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace lumaro {

// --- lookup box -------------------------------------------------------------------------------

ModeloLookup::ModeloLookup(CaixaLookup &caixa) : QAbstractListModel(&caixa), m_caixa(caixa) {}

int ModeloLookup::rowCount(const QModelIndex &pai) const
{
    if (pai.isValid())
        return 0;
    if (m_caixa.lista().ativo())
        return m_caixa.lista().quantidade();
    // Released list: only the chosen row's text.
    return m_caixa.temValor() ? 1 : 0;
}

QVariant ModeloLookup::data(const QModelIndex &i, int papel) const
{
    if (!i.isValid() || (papel != Qt::DisplayRole && papel != Qt::EditRole))
        return {};
    return m_caixa.lista().ativo() ? m_caixa.textoLinha(i.row()) : m_caixa.textoEscolhido();
}

void ModeloLookup::reiniciar()
{
    beginResetModel();
    endResetModel();
}

CaixaLookup::CaixaLookup(ConjuntoDados &lista, const QString &campoChave, const QString &ordemExibicao, QWidget *pai)
    : QComboBox(pai), m_lista(lista), m_campoChave(campoChave), m_ordem(ordemExibicao)
{
    m_modelo = new ModeloLookup(*this);
    setModel(m_modelo);
    // Neither the box's width nor the popup may measure every row of a long list.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(30);
    if (auto *v = qobject_cast<QListView *>(view()))
        v->setUniformItemSizes(true);
    setMaxVisibleItems(8);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_lista, &ConjuntoDados::dadosMudaram, m_modelo, &ModeloLookup::reiniciar);
    connect(this, &QComboBox::activated, this, [this](int i) {
        if (!m_carregando)
            escolherLinha(i);
    });
}

void CaixaLookup::setOrdemExibicao(const QString &ordem)
{
    m_ordem = ordem;
    if (m_chave.isValid()) {
        // The chosen row's text follows the new order.
        QStringList partes;
        for (const QString &f : m_ordem.split(u';', Qt::SkipEmptyParts))
            partes << m_escolhido.value(f.trimmed().toUpper()).toString();
        m_textoEscolhido = partes.join(u'-');
    }
    recarregar();
}

QString CaixaLookup::textoLinha(int posicao) const
{
    QStringList partes;
    for (const QString &f : m_ordem.split(u';', Qt::SkipEmptyParts)) {
        const Campo *c = m_lista.acharCampo(f.trimmed());
        partes << (c ? m_lista.textoExibicaoEm(posicao, c->indice()) : QString());
    }
    return partes.join(u'-');
}

void CaixaLookup::recarregar()
{
    m_carregando = true;
    m_modelo->reiniciar();
    int escolhida = -1;
    if (m_lista.ativo()) {
        if (const Campo *chave = m_lista.acharCampo(m_campoChave); chave && m_chave.isValid()) {
            for (int i = 0, n = m_lista.quantidade(); i < n && escolhida < 0; ++i)
                if (m_lista.valorEm(i, chave->indice()) == m_chave)
                    escolhida = i;
        }
    } else if (m_chave.isValid()) {
        escolhida = 0;
    }
    setCurrentIndex(escolhida);
    m_carregando = false;
}

void CaixaLookup::liberarLista()
{
    recarregar();
}

void CaixaLookup::escolherLinha(int posicao)
{
    if (!m_lista.ativo() || posicao < 0 || posicao >= m_lista.quantidade())
        return;
    m_escolhido.clear();
    for (const Campo *c : m_lista.campos())
        m_escolhido.insert(c->nome.toUpper(), m_lista.valorEm(posicao, c->indice()));
    m_chave = m_escolhido.value(m_campoChave.toUpper());
    m_textoEscolhido = textoLinha(posicao);
    m_carregando = true;
    setCurrentIndex(posicao);
    m_carregando = false;
}

void CaixaLookup::limpar()
{
    m_chave = QVariant();
    m_escolhido.clear();
    m_textoEscolhido.clear();
    m_carregando = true;
    if (!m_lista.ativo())
        m_modelo->reiniciar();
    setCurrentIndex(-1);
    m_carregando = false;
}

// --- date box ---------------------------------------------------------------------------------

CaixaData::CaixaData(QWidget *pai) : QLineEdit(pai)
{
    setInputMask(QStringLiteral("99/99/9999;_"));
    setFixedWidth(100);
}

std::optional<QDate> CaixaData::data() const
{
    const QDate d = QDate::fromString(text(), QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        return std::nullopt;
    return d;
}

void CaixaData::setData(const std::optional<QDate> &d)
{
    setText(d ? d->toString(QStringLiteral("dd/MM/yyyy")) : QString());
}

// --- tabs and cells ---------------------------------------------------------------------------

QSize BarraAbas::tabSizeHint(int indice) const
{
    QSize s = QTabBar::tabSizeHint(indice);
    s.setHeight(22);
    s.setWidth(fontMetrics().horizontalAdvance(tabText(indice)) + 16);
    return s;
}

void BarraAbas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (int i = 0; i < count(); ++i)
        TpnlAIDF::PCDrawTab(p, tabText(i), tabRect(i), i == currentIndex());
}

void DesenhoCelula::paint(QPainter *p, const QStyleOptionViewItem &opcao, const QModelIndex &i) const
{
    const auto *modelo = qobject_cast<const ModeloSolicitacoes *>(i.model());
    const QRect r = opcao.rect;
    QColor fundo = i.data(Qt::BackgroundRole).value<QColor>();
    QColor letra = i.data(Qt::ForegroundRole).value<QColor>();
    QFont fonte = opcao.font;
    if (opcao.state & (QStyle::State_Selected | QStyle::State_HasFocus)) {
        fundo = cores::selecao;
        letra = cores::marinho;
        fonte.setBold(true);
    }
    p->save();
    p->fillRect(r, fundo);
    p->setFont(fonte);
    p->setPen(letra.isValid() ? letra : cores::preto);
    const QString texto = i.data(Qt::DisplayRole).toString();
    if (modelo && modelo->colunaMemo(i.column())) {
        p->drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, texto);
    } else {
        const auto alinhamento = Qt::Alignment(i.data(Qt::TextAlignmentRole).toInt());
        p->drawText(r.adjusted(2, 0, -2, 0), int(alinhamento) | Qt::TextSingleLine, texto);
    }
    p->restore();
}

void TpnlAIDF::PCDrawTab(QPainter &p, const QString &legenda, const QRect &r, bool ativa)
{
    p.fillRect(r, ativa ? cores::abaAtiva : cores::painel);
    p.setPen(ativa ? cores::branco : cores::marinho);
    p.drawText(r.adjusted(3, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop, legenda);
}

void TpnlAIDF::DesenharLegenda(QPainter &p, const QRect &r, const QString &texto, const QColor &cor)
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    p.setFont(f);
    p.fillRect(r, fundoLegenda(cor));
    p.setPen(cor);
    p.drawText(r.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, texto);
}

namespace {

// One item of pmLege, drawn by DesenharLegenda.
class ItemLegendaWidget : public QWidget
{
public:
    ItemLegendaWidget(const QString &texto, const QColor &cor, QWidget *pai)
        : QWidget(pai), m_texto(texto), m_cor(cor)
    {
        QFont f(QStringLiteral("Tahoma"));
        f.setPointSize(8);
        const QFontMetrics fm(f);
        setMinimumSize(fm.horizontalAdvance(m_texto) + 12, fm.height() + 4);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        TpnlAIDF::DesenharLegenda(p, rect(), m_texto, m_cor);
    }

private:
    QString m_texto;
    QColor m_cor;
};

QToolButton *botaoExecutar(QAction *acao, QWidget *pai)
{
    auto *b = new QToolButton(pai);
    b->setDefaultAction(acao);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

} // namespace

// --- the panel --------------------------------------------------------------------------------

TpnlAIDF::TpnlAIDF(TdmPrinc &dm, QWidget *pai) : QWidget(pai), m_dm(dm)
{
    setObjectName(QStringLiteral("pnlAIDF"));
    // F1 anywhere in the panel opens the help at the query topic.
    setProperty("contextoAjuda", 3);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, cores::painel);
    setPalette(pal);
    definirCamposSolicitacoes(m_dm.cdsSoliGera);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    actExecutar = new QAction(QStringLiteral("Executar"), this);
    actExecutar->setObjectName(QStringLiteral("actExecutar"));
    actExecutar->setShortcut(QKeySequence(Qt::Key_F10));
    actExecutar->setShortcutContext(Qt::WindowShortcut);
    addAction(actExecutar);
    connect(actExecutar, &QAction::triggered, this, [this] { protegido([this] { actExecutarExecute(); }); });

    PC = new PaginasConsulta(this);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setFixedHeight(93);
    layout->addWidget(PC);

    // Page 0.
    TSSimples = new QWidget;
    TSSimples->setObjectName(QStringLiteral("TSSimples"));
    auto *l0 = new QHBoxLayout(TSSimples);
    lblConsSimp = new QLabel(TSSimples);
    lblConsSimp->setObjectName(QStringLiteral("lblConsSimp"));
    lblConsSimp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblConsSimp->setMinimumWidth(220);
    edtConsSimp = new QLineEdit(TSSimples);
    edtConsSimp->setObjectName(QStringLiteral("edtConsSimp"));
    edtConsSimp->setAutoFillBackground(true);
    edtConsSimp->installEventFilter(this);
    l0->addWidget(lblConsSimp);
    l0->addWidget(edtConsSimp, 1);
    connect(edtConsSimp, &QLineEdit::textChanged, this,
            [this](const QString &t) { protegido([&] { edtConsSimpChange(t); }); });
    PC->addTab(TSSimples, QStringLiteral("Consulta Simples"));

    const QString ordemInicial = QStringLiteral("RAZAO_SOCIAL;IMUNICIPAL;CNPJ_CPF_FORM");
    // Page 1.
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    auto *l1 = new QGridLayout(TabSheet2);
    lcmbResp = new CaixaLookup(m_dm.cdsResp, QStringLiteral("ID_EMPRESA"), ordemInicial, TabSheet2);
    lcmbResp->setObjectName(QStringLiteral("lcmbResp"));
    lcmbSoli = new CaixaLookup(m_dm.cdsSoli, QStringLiteral("ID_EMPRESA"), ordemInicial, TabSheet2);
    lcmbSoli->setObjectName(QStringLiteral("lcmbSoli"));
    l1->addWidget(new QLabel(QStringLiteral("Responsável"), TabSheet2), 0, 0);
    l1->addWidget(lcmbResp, 0, 1);
    l1->addWidget(new QLabel(QStringLiteral("Solicitante"), TabSheet2), 1, 0);
    l1->addWidget(lcmbSoli, 1, 1);
    m_botoesExecutar << botaoExecutar(actExecutar, TabSheet2);
    l1->addWidget(m_botoesExecutar.last(), 0, 2, 2, 1);
    l1->setColumnStretch(1, 1);
    PC->addTab(TabSheet2, QStringLiteral("Consulta Resp/Solicitante"));

    // Page 2.
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto *l2 = new QHBoxLayout(TabSheet1);
    edtDataCada = new CaixaData(TabSheet1);
    edtDataCada->setObjectName(QStringLiteral("edtDataCada"));
    edtDataAprov = new CaixaData(TabSheet1);
    edtDataAprov->setObjectName(QStringLiteral("edtDataAprov"));
    edtDataAcei = new CaixaData(TabSheet1);
    edtDataAcei->setObjectName(QStringLiteral("edtDataAcei"));
    for (auto [rotulo, caixa] : {std::pair{"Cadastro", edtDataCada}, std::pair{"Aprovada", edtDataAprov},
                                 std::pair{"Aceita/Finalizada", edtDataAcei}}) {
        l2->addWidget(new QLabel(QString::fromUtf8(rotulo), TabSheet1));
        l2->addWidget(caixa);
    }
    m_botoesExecutar << botaoExecutar(actExecutar, TabSheet1);
    l2->addWidget(m_botoesExecutar.last());
    l2->addStretch(1);
    PC->addTab(TabSheet1, QStringLiteral("Consultas Por Datas"));

    // Page 3.
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    auto *l3 = new QHBoxLayout(TabSheet3);
    lcmbPref = new CaixaLookup(m_dm.cdsPref, QStringLiteral("ID_PREFEITURA"), QStringLiteral("NOME"), TabSheet3);
    lcmbPref->setObjectName(QStringLiteral("lcmbPref"));
    l3->addWidget(new QLabel(QStringLiteral("Prefeitura"), TabSheet3));
    l3->addWidget(lcmbPref, 1);
    m_botoesExecutar << botaoExecutar(actExecutar, TabSheet3);
    l3->addWidget(m_botoesExecutar.last());
    PC->addTab(TabSheet3, QStringLiteral("Consulta por Prefeitura"));

    connect(PC, &QTabWidget::currentChanged, this, [this](int i) {
        if (!m_trocandoPagina)
            PCChange(i);
    });

    // Lookup order menu, shared by the three boxes.
    PMOrdeSoli = new QMenu(this);
    PMOrdeSoli->setObjectName(QStringLiteral("PMOrdeSoli"));
    CNPJCPF1 = PMOrdeSoli->addAction(QStringLiteral("C.N.P.J./C.P.F."));
    CNPJCPF1->setObjectName(QStringLiteral("CNPJCPF1"));
    InscrioMuniciapal1 = PMOrdeSoli->addAction(QStringLiteral("Inscrição Municiapal"));
    InscrioMuniciapal1->setObjectName(QStringLiteral("InscrioMuniciapal1"));
    RazoSocial1 = PMOrdeSoli->addAction(QStringLiteral("&Razão Social"));
    RazoSocial1->setObjectName(QStringLiteral("RazoSocial1"));
    for (QAction *a : {CNPJCPF1, InscrioMuniciapal1, RazoSocial1}) {
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a] { protegido([&] { CNPJCPF1Click(a); }); });
    }
    RazoSocial1->setChecked(true);
    m_itemMarcado = RazoSocial1;

    actLimpaLook = new QAction(this);
    actLimpaLook->setObjectName(QStringLiteral("actLimpaLook"));
    actLimpaLook->setShortcut(QKeySequence(Qt::Key_Delete));
    actLimpaLook->setShortcutContext(Qt::WidgetShortcut);
    connect(actLimpaLook, &QAction::triggered, this, [this] { protegido([this] { actLimpaLookExecute(); }); });
    for (CaixaLookup *c : {lcmbResp, lcmbSoli, lcmbPref}) {
        c->addAction(actLimpaLook);
        connect(c, &QWidget::customContextMenuRequested, this,
                [this, c](const QPoint &p) { PMOrdeSoli->popup(c->mapToGlobal(p)); });
    }

    // Grid.
    m_modelo = new ModeloSolicitacoes(m_dm.cdsSoliGera, this);
    grdDados = new QTableView(this);
    grdDados->setObjectName(QStringLiteral("grdDados"));
    grdDados->setModel(m_modelo);
    grdDados->setItemDelegate(new DesenhoCelula(grdDados));
    grdDados->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDados->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDados->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdDados->setShowGrid(true);
    grdDados->setSortingEnabled(false);
    grdDados->setWordWrap(false);
    grdDados->setCursor(Qt::PointingHandCursor);
    grdDados->setFixedHeight(160);
    grdDados->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdDados->verticalHeader()->setDefaultSectionSize(grdDados->fontMetrics().height() + 4);
    grdDados->verticalHeader()->setFixedWidth(12);
    grdDados->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grdDados->horizontalHeader()->setSectionsClickable(true);
    grdDados->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { color: white; background: rgb(0,115,170); font-family: Verdana; "
                       "border: 1px solid rgb(0,90,140); padding: 1px 3px; }"));
    grdDados->setStyleSheet(QStringLiteral("QTableView { background: rgb(230,230,230); gridline-color: rgb(160,160,160); }"));
    connect(grdDados->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { protegido([&] { grdDadosTitleClick(c); }); });
    connect(grdDados->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &atual) {
                if (m_sincronizando || !atual.isValid())
                    return;
                ConjuntoDados &ds = m_dm.cdsSoliGera;
                if (ds.ativo() && atual.row() != ds.linhaAtual())
                    protegido([&] { ds.irPara(atual.row()); });
            });
    connect(&m_dm.cdsSoliGera, &ConjuntoDados::posicaoMudou, this, [this](int p) { linhaDoConjuntoMudou(p); });
    connect(m_modelo, &QAbstractItemModel::modelReset, this, [this] {
        ajustarLarguras();
        seguirConjunto();
    });
    layout->addWidget(grdDados);

    pmLege = new QMenu(grdDados);
    pmLege->setObjectName(QStringLiteral("pmLege"));
    grdDados->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grdDados, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pmLege->popup(grdDados->viewport()->mapToGlobal(p)); });

    Prev = new PreviewDocumento(this);
    Prev->setObjectName(QStringLiteral("Prev"));
    layout->addWidget(Prev, 1);

    connect(qApp, &QApplication::focusChanged, this, &TpnlAIDF::focoMudou);
    ajustarLarguras();
    seguirConjunto();
}

TpnlAIDF::~TpnlAIDF()
{
    disconnect(qApp, &QApplication::focusChanged, this, &TpnlAIDF::focoMudou);
}

void TpnlAIDF::conectarModulo()
{
    m_dm.painelConsultaVisivel = [this] { return !isHidden(); };
    m_dm.PrepararDocumento = [this] { PrepararDocumento(); };
}

void TpnlAIDF::ajustarLarguras()
{
    const QFontMetrics fm(grdDados->font());
    const int caractere = fm.averageCharWidth();
    for (int c = 0; c < m_modelo->columnCount(); ++c)
        grdDados->setColumnWidth(c, m_modelo->larguraColuna(c) * caractere + 4);
}

void TpnlAIDF::seguirConjunto()
{
    linhaDoConjuntoMudou(m_dm.cdsSoliGera.linhaAtual());
}

void TpnlAIDF::linhaDoConjuntoMudou(int posicao)
{
    if (posicao < 0 || posicao >= m_modelo->rowCount())
        return;
    const int coluna = qMax(0, grdDados->currentIndex().column());
    const QModelIndex i = m_modelo->index(posicao, coluna);
    if (grdDados->currentIndex() == i)
        return;
    m_sincronizando = true;
    grdDados->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    grdDados->scrollTo(i);
    m_sincronizando = false;
}

void TpnlAIDF::MostrarConsulta()
{
    if (fecharCadastroGrafica)
        fecharCadastroGrafica();
    grdDadosTitleClick(0);
    show();
    m_dm.cdsSoliGeraAfterScroll();
    if (PC->currentIndex() == 0 && edtConsSimp->isEnabled() && edtConsSimp->isVisibleTo(window()))
        edtConsSimp->setFocus();
}

CriteriosConsulta TpnlAIDF::criterios() const
{
    CriteriosConsulta c;
    c.pagina = PC->currentIndex();
    if (lcmbResp->temValor())
        c.cnpjResp = lcmbResp->valorEscolhido(QStringLiteral("CNPJ_CPF")).toString();
    if (lcmbSoli->temValor())
        c.cnpjSoli = lcmbSoli->valorEscolhido(QStringLiteral("CNPJ_CPF")).toString();
    c.dataCadastro = edtDataCada->data();
    c.dataAprovacao = edtDataAprov->data();
    c.dataAceite = edtDataAcei->data();
    if (lcmbPref->temValor())
        c.idPrefeitura = lcmbPref->chave().toInt();
    return c;
}

void TpnlAIDF::actExecutarExecute()
{
    ConjuntoDados &ds = m_dm.cdsSoliGera;
    const QString sql = montarSqlConsulta(criterios());
    ds.fechar();
    ds.setSql(sql);
    ds.abrir();
    m_trocandoPagina = true;
    PC->setCurrentIndex(0);
    m_trocandoPagina = false;
}

void TpnlAIDF::grdDadosTitleClick(int coluna)
{
    OrdenacaoGrade &o = m_modelo->ordenacao();
    if (!o.clicarTitulo(m_dm.cdsSoliGera, coluna, m_modelo->nomeCampo(coluna), m_modelo->tituloColuna(coluna)))
        return;
    lblConsSimp->setText(o.rotulo);
    m_modelo->coresMudaram();
}

void TpnlAIDF::edtConsSimpChange(const QString &texto)
{
    ConjuntoDados &ds = m_dm.cdsSoliGera;
    if (!ds.ativo() || ds.camposIndice().trimmed().isEmpty())
        return;
    ds.procurarProximo(texto);
}

void TpnlAIDF::CNPJCPF1Click(QAction *item)
{
    if (item == m_itemMarcado) {
        item->setChecked(true);
        return;
    }
    QString ordem;
    if (item == CNPJCPF1)
        ordem = QStringLiteral("CNPJ_CPF_FORM;RAZAO_SOCIAL;IMUNICIPAL");
    else if (item == InscrioMuniciapal1)
        ordem = QStringLiteral("IMUNICIPAL;CNPJ_CPF_FORM;RAZAO_SOCIAL");
    else
        ordem = QStringLiteral("RAZAO_SOCIAL;CNPJ_CPF_FORM;IMUNICIPAL");
    if (auto *caixa = qobject_cast<CaixaLookup *>(QApplication::focusWidget())) {
        caixa->lista().setCamposIndice(ordem);
        caixa->setOrdemExibicao(ordem);
    }
    for (QAction *a : {CNPJCPF1, InscrioMuniciapal1, RazoSocial1})
        a->setChecked(a == item);
    m_itemMarcado = item;
}

void TpnlAIDF::actLimpaLookExecute()
{
    QWidget *w = QApplication::focusWidget();
    if (auto *caixa = qobject_cast<CaixaLookup *>(w))
        caixa->limpar();
    else if (auto *combo = qobject_cast<QComboBox *>(w))
        combo->setCurrentIndex(-1);
}

void TpnlAIDF::PCChange(int indice)
{
    const bool paginaDeConsulta = indice >= 1 && indice <= 3;
    actExecutar->setVisible(paginaDeConsulta);
    actExecutar->setEnabled(paginaDeConsulta);
}

void TpnlAIDF::TabSheet2Enter()
{
    m_dm.cdsResp.abrir();
    m_dm.cdsSoli.abrir();
    lcmbResp->recarregar();
    lcmbSoli->recarregar();
}

void TpnlAIDF::TabSheet2Exit()
{
    m_dm.cdsResp.fechar();
    m_dm.cdsSoli.fechar();
    lcmbResp->liberarLista();
    lcmbSoli->liberarLista();
}

void TpnlAIDF::TabSheet3Enter()
{
    m_dm.cdsPref.abrir();
    lcmbPref->recarregar();
}

void TpnlAIDF::TabSheet3Exit()
{
    m_dm.cdsPref.fechar();
    lcmbPref->liberarLista();
}

int TpnlAIDF::paginaDe(QWidget *w) const
{
    if (!w)
        return -1;
    for (int i = 0; i < PC->count(); ++i)
        if (PC->widget(i)->isAncestorOf(w))
            return i;
    return -1;
}

void TpnlAIDF::focoMudou(QWidget *antes, QWidget *agora)
{
    const int de = paginaDe(antes), para = paginaDe(agora);
    if (de == para)
        return;
    protegido([&] {
        if (de == 1)
            TabSheet2Exit();
        else if (de == 3)
            TabSheet3Exit();
        if (para == 1)
            TabSheet2Enter();
        else if (para == 3)
            TabSheet3Enter();
    });
}

bool TpnlAIDF::eventFilter(QObject *o, QEvent *e)
{
    if (o == edtConsSimp && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)) {
        QPalette p = edtConsSimp->palette();
        p.setColor(QPalette::Base, e->type() == QEvent::FocusIn ? cores::buscaComFoco : cores::branco);
        edtConsSimp->setPalette(p);
    }
    return QWidget::eventFilter(o, e);
}

void TpnlAIDF::MontarLegenda()
{
    pmLege->clear();
    for (const ItemLegenda &item : itensLegenda()) {
        auto *acao = new QWidgetAction(pmLege);
        acao->setText(item.texto);
        acao->setData(item.cor);
        acao->setDefaultWidget(new ItemLegendaWidget(item.texto, item.cor, pmLege));
        pmLege->addAction(acao);
    }
}

void TpnlAIDF::PrepararDocumento()
{
    ConjuntoDados &prev = m_dm.cdsSoliPPrev;
    if (!prev.ativo() || prev.vazio()) {
        Prev->limpar();
        return;
    }
    lumaro::PrepararDocumento(*Prev, registroAtual(prev), dadosGrafica(m_dm.cdsGraf));
}

} // namespace lumaro
