// Wiring of the registration forms and dialogs into the main window: commands 1, 8 and 10,
// the start-up notice, and the window's keys that serve the embedded registration.
#include "AcoesJanela.h"
#include "Configuracao.h"
#include "ConjuntoDados.h"
#include "frmPrinc.h"
#include "udmPrinc.h"
#include "ufrmCadaGraf.h"
#include "ufrmCadaParam.h"
#include "ufrmPadrao.h"
#include "ufrmSobre.h"
#include "unAVISO.h"

#include "Dialogos.h"

#include <QAction>
#include <QPointer>
#include <QTreeWidget>

using namespace lumaro;

void ligarCadastros(TfrmPrincipal &janela, TdmPrinc &dm)
{
    TfrmPrincipal::Operacoes &op = janela.operacoes;
    op.AbrirCadastroGrafica = [&janela, &dm] {
        AbrirCadastroGrafica(dm, janela.areaTrabalho(), [&janela](const ConjuntoDados &ds) { janela.AtualizarStatus(ds); });
    };
    TfrmPadrao::abrirAjuda = [j = QPointer<TfrmPrincipal>(&janela)](int contexto) {
        if (j)
            j->abrirAjuda(contexto);
    };
    op.EditarParametros = [&janela, &dm] { EditarParametros(dm, &janela); };
    op.MostrarSobre = [&janela] { MostrarSobre(&janela); };
    op.mostrarAvisoInicial = [&janela] {
        const QString pasta = janela.pastaPrograma();
        MostrarAviso([pasta] { Configuracao(pasta).setApresentarAviso(false); });
    };

    auto acao = [&janela](const char *nome, const QList<QKeySequence> &atalhos, std::function<void()> f) {
        auto *a = new QAction(&janela);
        a->setObjectName(QString::fromLatin1(nome));
        a->setShortcuts(atalhos);
        a->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(a, &QAction::triggered, &janela, [f] { protegido(f); });
        janela.addAction(a);
    };
    acao("actEnter", {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
         [&janela] { actEnterExecute(janela.TV(), [&janela] { janela.TVClick(); }); });
    auto encaminhar = [](AcaoCadastro qual) {
        return [qual] {
            if (QAction *a = acaoDoCadastroFocado(qual))
                a->trigger();
        };
    };
    acao("actSalvar", {QKeySequence(Qt::CTRL | Qt::Key_S)}, encaminhar(AcaoCadastro::Salvar));
    acao("actCanc", {QKeySequence(Qt::Key_F7)}, encaminhar(AcaoCadastro::Cancelar));
    acao("Action1", {QKeySequence(Qt::CTRL | Qt::Key_F4)}, encaminhar(AcaoCadastro::Fechar));
}
