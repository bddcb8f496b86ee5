#include "frmPrinc.h"

#include "Ajuda.h"
#include "Configuracao.h"
#include "ConjuntoDados.h"
#include "Dialogos.h"
#include "udmPrinc.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumaro {

namespace {

const QColor kCinzaStatus(230, 230, 230);
const QColor kMarinho(0, 0, 128);
const QColor kVerde(0, 128, 0);
constexpr int kPapelComando = Qt::UserRole + 1;

} // namespace

TfrmPrincipal::TfrmPrincipal(TdmPrinc &dm, const QString &pastaPrograma, QWidget *pai)
    : QMainWindow(pai), m_dm(dm), m_pasta(pastaPrograma)
{
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("Lumaro 1.19 - Sistema de Autorização de Impressão de Documentos Fiscais"));

    auto *central = new QWidget(this);
    auto *linha = new QHBoxLayout(central);
    linha->setContentsMargins(0, 0, 0, 0);
    linha->setSpacing(0);
    m_tv = new QTreeWidget(central);
    m_tv->setObjectName(QStringLiteral("TV"));
    m_tv->setFixedWidth(150);
    m_tv->setHeaderHidden(true);
    m_tv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tv->setStyleSheet(QStringLiteral("QTreeWidget { background: rgb(212,212,212); color: rgb(0,128,192); }"));
    m_tv->setProperty("contextoAjuda", 1);
    linha->addWidget(m_tv);
    m_area = new QWidget(central);
    m_area->setObjectName(QStringLiteral("areaTrabalho"));
    m_layoutArea = new QVBoxLayout(m_area);
    m_layoutArea->setContentsMargins(0, 0, 0, 0);
    linha->addWidget(m_area, 1);
    setCentralWidget(central);

    m_pnlStat = new QLabel(this);
    m_pnlStat->setObjectName(QStringLiteral("pnlStat"));
    m_pnlStat->setAutoFillBackground(true);
    m_pnlStat->setMinimumWidth(320);
    m_progresso = new QLabel(this);
    m_progresso->setObjectName(QStringLiteral("lblProgresso"));
    m_progresso->hide();
    m_pnlData = new QLabel(this);
    m_pnlData->setObjectName(QStringLiteral("pnlData"));
    m_pnlData->setAutoFillBackground(true);
    m_pnlData->setAlignment(Qt::AlignCenter);
    m_pnlData->setMinimumWidth(200);
    QPalette pd = m_pnlData->palette();
    pd.setColor(QPalette::Window, Qt::black);
    pd.setColor(QPalette::WindowText, QColor(0, 255, 255));
    m_pnlData->setPalette(pd);
    statusBar()->addWidget(m_pnlStat, 1);
    statusBar()->addWidget(m_progresso);
    statusBar()->addPermanentWidget(m_pnlData);
    AtualizarStatus(QStringLiteral("  Aguardando..."), kCinzaStatus, kMarinho);

    montarMenu();
    m_tv->viewport()->installEventFilter(this);
    connect(m_tv, &QTreeWidget::itemExpanded, this, [this] { m_guarda = true; });
    connect(m_tv, &QTreeWidget::itemCollapsed, this, [this] { m_guarda = true; });

    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] {
        int contexto = 0;
        for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (w->property("contextoAjuda").isValid()) {
                contexto = w->property("contextoAjuda").toInt();
                break;
            }
        abrirAjuda(contexto);
    });
}

TfrmPrincipal::~TfrmPrincipal()
{
    FormClose();
}

void TfrmPrincipal::montarMenu()
{
    struct No { const char *texto; int comando; int pai; };
    const No nos[] = {
        {"Cadastro da Grafica", 1, -1}, {"Receber Arquivo", 2, -1}, {"A.I.D.F.", 0, -1},
        {"Consulta", 3, 2}, {"Aceitar/Finalizar", 4, 2}, {"Recusar", 5, 2}, {"Salvar em Disco", 7, 2},
        {"Imprimir", 6, 2}, {"Reenviar Email", 11, 2}, {"Parametros", 10, -1}, {"Sobre", 8, -1},
        {"Ajuda", 12, -1}, {"Sair", 9, -1},
    };
    QList<QTreeWidgetItem *> itens;
    for (const No &n : nos) {
        QTreeWidgetItem *item = n.pai < 0 ? new QTreeWidgetItem(m_tv) : new QTreeWidgetItem(itens[n.pai]);
        item->setText(0, QString::fromUtf8(n.texto));
        item->setData(0, kPapelComando, n.comando);
        itens << item;
    }
}

QTreeWidgetItem *TfrmPrincipal::no(int comando) const
{
    for (QTreeWidgetItemIterator it(m_tv); *it; ++it)
        if ((*it)->data(0, kPapelComando).toInt() == comando && (comando != 0 || (*it)->childCount() > 0))
            return *it;
    return nullptr;
}

QString TfrmPrincipal::dataPorExtenso(const QDate &d)
{
    // Month names in Portuguese whatever the machine's locale: the operator is Brazilian.
    static const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    return br.toString(d, QStringLiteral("dd' de 'MMMM' de 'yyyy"));
}

void TfrmPrincipal::executarInicializacao()
{
    const int execucao = ++m_execucoes;
    // 1. Expand the whole menu.
    m_tv->expandAll();
    m_guarda = true;
    // 2. Help file.
    m_arquivoAjuda = m_pasta + QStringLiteral("/Help/Lumaro.hlp");
    bool conectou = false;
    const bool ok = protegido([&] {
        // 3-5. Configuration file and the notice.
        Configuracao cfg(m_pasta);
        cfg.repararSecoes();
        m_dm.banco = cfg.banco();
        if (cfg.apresentarAviso() && operacoes.mostrarAvisoInicial)
            operacoes.mostrarAvisoInicial();
        // 6. Connection.
        try {
            m_dm.conectar();
            conectou = true;
        } catch (const Erro &e) {
            if (!operacoes.diagnosticarConexao)
                throw;
            bool repetiu = false;
            conectou = operacoes.diagnosticarConexao(e.texto(), repetiu);
            if (repetiu || m_execucoes != execucao)
                conectou = false;
        }
    });
    if (!ok || !conectou)
        return;
    protegido([&] {
        // 7. Date.
        m_pnlData->setText(dataPorExtenso(QDate::currentDate()));
        // 8. Update library.
        if (operacoes.atualizarBase)
            operacoes.atualizarBase();
        // 9. The two datasets the window needs.
        m_dm.cdsGraf.abrir();
        m_dm.cdsSoliGera.abrir();
    });
}

QString TfrmPrincipal::textoData() const
{
    return m_pnlData->text();
}

void TfrmPrincipal::FormShow()
{
    protegido([&] {
        if (!m_dm.cdsGraf.ativo() || m_dm.cdsGraf.vazio()) {
            dialogos().aviso(QStringLiteral("Aviso"), QStringLiteral("Favor preencher o cadastro da sua gráfica."),
                             Icone::Aviso, true);
            m_dm.cdsGraf.fechar();
            if (operacoes.AbrirCadastroGrafica)
                operacoes.AbrirCadastroGrafica();
        }
    });
    protegido([&] {
        if (operacoes.MontarLegenda)
            operacoes.MontarLegenda();
    });
    m_guarda = false;
}

void TfrmPrincipal::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_mostrada) {
        m_mostrada = true;
        // After the window has painted, so that its questions appear over it.
        QMetaObject::invokeMethod(this, [this] { FormShow(); }, Qt::QueuedConnection);
    }
}

void TfrmPrincipal::FormClose()
{
    if (m_fechada)
        return;
    m_fechada = true;
    try {
        for (ConjuntoDados *ds : m_dm.conjuntos())
            ds->fechar();
        if (operacoes.LiberarDocumento)
            operacoes.LiberarDocumento();
        m_dm.cdsGraf.fechar();
        m_dm.BDPrinc.fechar();
    } catch (...) {
    }
}

void TfrmPrincipal::closeEvent(QCloseEvent *e)
{
    FormClose();
    e->accept();
}

bool TfrmPrincipal::eventFilter(QObject *o, QEvent *e)
{
    // A click anywhere in the tree, the expand buttons included, is the menu's click.
    if (o == m_tv->viewport() && e->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        QMetaObject::invokeMethod(this, [this] { TVClick(); }, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(o, e);
}

void TfrmPrincipal::TVClick()
{
    if (m_guarda) {
        m_guarda = false;
        return;
    }
    QTreeWidgetItem *item = m_tv->currentItem();
    if (!item || !item->isSelected())
        return;
    executarComando(item->data(0, kPapelComando).toInt());
}

void TfrmPrincipal::executarComando(int comando)
{
    auto rodar = [](const std::function<void()> &f) {
        if (f)
            protegido(f);
    };
    auto statusAtual = [this]() -> QString {
        if (!m_dm.cdsSoliGera.ativo() || m_dm.cdsSoliGera.vazio())
            return QString();
        return m_dm.cdsSoliGera.valor(QStringLiteral("STATUS")).toString();
    };
    switch (comando) {
    case 1: rodar(operacoes.AbrirCadastroGrafica); break;
    case 2: rodar(operacoes.ReceberArquivo); break;
    case 3: rodar(operacoes.MostrarConsulta); break;
    case 4:
    case 5: {
        QString status;
        if (!protegido([&] { status = statusAtual(); }))
            break;
        if (status != QLatin1String("3") && status != QLatin1String("5"))
            rodar(comando == 4 ? operacoes.FinalizarAIDF : operacoes.RecusarAIDF);
        break;
    }
    case 6: rodar(operacoes.ImprimirAIDF); break;
    case 7: rodar(operacoes.SalvarEmDisco); break;
    case 8: rodar(operacoes.MostrarSobre); break;
    case 9: close(); break;
    case 10: rodar(operacoes.EditarParametros); break;
    case 11: reenviar(); break;
    case 12:
        m_arquivoAjuda = m_pasta + QStringLiteral("/Help/Lumaro.hlp");
        abrirAjuda(0);
        break;
    default: break;
    }
}

void TfrmPrincipal::reenviar()
{
    m_reenvio = true;
    protegido([&] {
        if (!m_dm.cdsSoliGera.ativo() || m_dm.cdsSoliGera.vazio()) {
            dialogos().aviso(QStringLiteral("Aviso"), QStringLiteral("Escolha a A.I.D.F. à ser Reenviada."), Icone::Informacao, true);
            return;
        }
        const QString status = m_dm.cdsSoliGera.valor(QStringLiteral("STATUS")).toString();
        if (status == QLatin1String("3") && operacoes.RecusarAIDF)
            operacoes.RecusarAIDF();
        else if (status == QLatin1String("5") && operacoes.FinalizarAIDF)
            operacoes.FinalizarAIDF();
    });
    m_reenvio = false;
    AtualizarStatus(QStringLiteral("Aguardando..."), kCinzaStatus, kMarinho);
}

void TfrmPrincipal::AtualizarStatus(const QString &texto, const QColor &painel, const QColor &corTexto)
{
    m_pnlStat->setText(texto);
    QPalette p = m_pnlStat->palette();
    p.setColor(QPalette::Window, painel);
    p.setColor(QPalette::WindowText, corTexto);
    m_pnlStat->setPalette(p);
    // Shown at once: the long operation that follows blocks the event loop.
    m_pnlStat->repaint();
}

void TfrmPrincipal::AtualizarStatus(const ConjuntoDados &ds)
{
    switch (ds.estado()) {
    case EstadoDs::Inserindo: AtualizarStatus(QStringLiteral("  Inserindo..."), kVerde, Qt::white); break;
    case EstadoDs::Editando: AtualizarStatus(QStringLiteral("  Alterando..."), QColor(255, 255, 0), Qt::black); break;
    default: AtualizarStatus(QStringLiteral("  Navengando..."), kCinzaStatus, kMarinho); break;
    }
}

void TfrmPrincipal::AtualizarProgresso(const QString &texto)
{
    m_progresso->setText(texto);
    m_progresso->setVisible(!texto.isEmpty());
    m_progresso->repaint();
}

QString TfrmPrincipal::textoStatus() const { return m_pnlStat->text(); }
QColor TfrmPrincipal::corPainelStatus() const { return m_pnlStat->palette().color(QPalette::Window); }
QColor TfrmPrincipal::corTextoStatus() const { return m_pnlStat->palette().color(QPalette::WindowText); }

void TfrmPrincipal::abrirAjuda(int contexto)
{
    Ajuda::abrir(m_pasta + QStringLiteral("/Help"), contexto, this);
}

} // namespace lumaro
