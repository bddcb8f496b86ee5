#include "AcoesJanela.h"

#include "ConjuntoDados.h"
#include "Dialogos.h"
#include "LigacaoCampo.h"
#include "ufrmCadaGraf.h"
#include "ufrmCadaPadrao.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace lumaro {

QWidget *proximoControle(QWidget *atual)
{
    if (!atual)
        return nullptr;
    QWidget *janela = atual->window();
    for (QWidget *w = atual->nextInFocusChain(); w && w != atual; w = w->nextInFocusChain()) {
        if (w->window() != janela || !w->isVisible() || !w->isEnabled() || w->focusProxy())
            continue;
        if (w->focusPolicy() & Qt::TabFocus)
            return w;
    }
    return nullptr;
}

void actEnterExecute(QWidget *menu, const std::function<void()> &clicarMenu)
{
    QPointer<QWidget> atual = QApplication::focusWidget();
    if (!atual)
        return;
    auto *form = qobject_cast<TfrmCadaPadrao *>(atual->parentWidget());
    if (!form) {
        if (atual == menu) {
            if (clicarMenu)
                clicarMenu();
        } else if (QWidget *p = proximoControle(atual)) {
            p->setFocus(Qt::TabFocusReason);
        }
        return;
    }
    if (LigacaoCampo *ligacao = LigacaoCampo::de(atual)) {
        // Leaving the control writes it into its field, where a rule may send the focus back.
        QWidget *p = proximoControle(atual);
        if (p && p != atual) {
            p->setFocus(Qt::TabFocusReason);
            if (QApplication::focusWidget() == atual)
                return;
        }
        const Campo *c = ligacao->campo();
        if (c && c->obrigatorio && c->nulo()) {
            dialogos().mostrar({QStringLiteral("Aviso"),
                                QStringLiteral("O campo ") + c->nomeExibicao() + QStringLiteral(" não pode ficar vazio! Favor verificar."),
                                Icone::Aviso, true, Ok, Ok});
            if (atual)
                atual->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (atual && atual->property("tag").toInt() == 100 && form->dsPrinc() && form->dsPrinc()->editando()) {
        if (!dialogos().pergunta(QStringLiteral("Pergunta"), QStringLiteral("Deseja salvar este registro?"),
                                 Icone::Pergunta, true))
            return;
        QPointer<TfrmCadaPadrao> f = form;
        protegido([&] { f->actSalvarExecute(); });
    }
    if (atual && QApplication::focusWidget() == atual)
        if (QWidget *p = proximoControle(atual))
            p->setFocus(Qt::TabFocusReason);
}

QAction *acaoDoCadastroFocado(AcaoCadastro qual)
{
    QWidget *atual = QApplication::focusWidget();
    auto *form = atual ? qobject_cast<TfrmCadaGraf *>(atual->parentWidget()) : nullptr;
    if (!form)
        return nullptr;
    switch (qual) {
    case AcaoCadastro::Salvar: return form->actSalvar;
    case AcaoCadastro::Cancelar: return form->actCanc;
    case AcaoCadastro::Fechar: return form->actFechar;
    }
    return nullptr;
}

} // namespace lumaro
