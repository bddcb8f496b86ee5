#include "ufrmPadrao.h"

#include "Artes.h"
#include "Dialogos.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>

namespace lumaro {

TfrmPadrao::TfrmPadrao(QWidget *pai) : QDialog(pai)
{
    setObjectName(QStringLiteral("frmPadrao"));
    setWindowTitle(QStringLiteral("frmPadrao"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(357, 121);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(202, 202, 202));
    setPalette(p);

    pnlBarr = new QWidget(this);
    pnlBarr->setObjectName(QStringLiteral("pnlBarr"));
    pnlBarr->setAutoFillBackground(true);
    QPalette pb = pnlBarr->palette();
    pb.setColor(QPalette::Window, QColor(159, 159, 159));
    pnlBarr->setPalette(pb);
    auto *barra = new QHBoxLayout(pnlBarr);
    barra->setContentsMargins(0, 0, 0, 0);
    barra->setSpacing(0);
    barra->addStretch(1);
    posicionarBarra();

    actFechar = criarAcao(QStringLiteral("actFechar"), QStringLiteral("Fechar"), QStringLiteral("Fechar Formulário"),
                          QKeySequence(Qt::CTRL | Qt::Key_F4), 10);
    connect(actFechar, &QAction::triggered, this, [this] { protegido([this] { actFecharExecute(); }); });
    sbtnFech = adicionarBotao(QStringLiteral("sbtnFech"), actFechar, artes::botaoFechar());

    // F1 inside a dialog: the main window's own F1 does not reach another window.
    QAction *ajuda = criarAcao(QStringLiteral("actAjuda"), QString(), QString(), QKeySequence(Qt::Key_F1));
    AL.removeOne(ajuda);
    connect(ajuda, &QAction::triggered, this, [this] {
        if (abrirAjuda && !m_embutido)
            abrirAjuda(property("contextoAjuda").toInt());
    });
}

QAction *TfrmPadrao::criarAcao(const QString &nome, const QString &texto, const QString &dica,
                               const QKeySequence &atalho, int tag)
{
    auto *a = new QAction(texto, this);
    a->setObjectName(nome);
    a->setToolTip(dica);
    a->setShortcut(atalho);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    a->setProperty("tag", tag);
    addAction(a);
    AL << a;
    return a;
}

QToolButton *TfrmPadrao::adicionarBotao(const QString &nome, QAction *acao, const QPixmap &imagem)
{
    auto *b = new QToolButton(pnlBarr);
    b->setObjectName(nome);
    acao->setIcon(QIcon(imagem));
    b->setDefaultAction(acao);
    b->setAutoRaise(true);
    b->setFixedSize(53, 53);
    b->setIconSize(QSize(30, 30));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(10);
    b->setFont(f);
    b->setFocusPolicy(Qt::NoFocus);
    auto *barra = static_cast<QHBoxLayout *>(pnlBarr->layout());
    // The newest button goes left of the ones already there (Fechar stays at the end).
    barra->insertWidget(1, b);
    return b;
}

void TfrmPadrao::embutir(QWidget *pai)
{
    m_embutido = true;
    setParent(pai, Qt::Widget);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // The host window's own actions forward these keys; two shortcuts on one key would cancel out.
    for (QAction *a : actions())
        a->setShortcut(QKeySequence());
}

void TfrmPadrao::setLarguraBarra(int largura)
{
    m_larguraBarra = largura;
    posicionarBarra();
}

void TfrmPadrao::posicionarBarra()
{
    pnlBarr->setGeometry(0, 0, m_larguraBarra < 0 ? width() : m_larguraBarra, 53);
}

void TfrmPadrao::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    posicionarBarra();
}

void TfrmPadrao::actFecharExecute()
{
    close();
}

void TfrmPadrao::closeEvent(QCloseEvent *e)
{
    // The form frees itself (WA_DeleteOnClose).
    QDialog::closeEvent(e);
    if (e->isAccepted())
        emit fechou();
}

void TfrmPadrao::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && isWindow() && (windowState() & Qt::WindowMaximized)) {
        // A dialog of fixed size: a request to maximise leaves it as it is.
        QTimer::singleShot(0, this, [this] { setWindowState(windowState() & ~Qt::WindowMaximized); });
    }
}

void TfrmPadrao::keyPressEvent(QKeyEvent *e)
{
    // Esc does not close these forms: they close through their own actions.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace lumaro
