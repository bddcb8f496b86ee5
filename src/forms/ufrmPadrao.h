#pragma once

// The plain dialog: grey form, button bar on top with the close button at its right end.

#include <QDialog>
#include <QList>
#include <functional>

class QAction;
class QToolButton;

namespace lumaro {

class TfrmPadrao : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmPadrao(QWidget *pai = nullptr);

    QWidget *pnlBarr = nullptr;
    QToolButton *sbtnFech = nullptr;
    QList<QAction *> AL;
    QAction *actFechar = nullptr;

    virtual void actFecharExecute();

    // Opens the help at a form's help context (its "contextoAjuda" property); set by the program.
    static inline std::function<void(int)> abrirAjuda;

    // A flat 53 x 53 bar button bound to an action; buttons line up from the right end.
    QToolButton *adicionarBotao(const QString &nome, QAction *acao, const QPixmap &imagem);
    // An action of the form's list, with its shortcut active while the focus is inside the form.
    QAction *criarAcao(const QString &nome, const QString &texto, const QString &dica, const QKeySequence &atalho,
                       int tag = 0);
    // Placed inside another window: no frame, and the host forwards the shortcuts.
    void embutir(QWidget *pai);
    bool embutido() const { return m_embutido; }
    void setLarguraBarra(int largura);

signals:
    void fechou();

protected:
    void closeEvent(QCloseEvent *e) override;   // FormClose
    void changeEvent(QEvent *e) override;       // the maximise guard
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void posicionarBarra();
    int m_larguraBarra = -1;
    bool m_embutido = false;
};

} // namespace lumaro
