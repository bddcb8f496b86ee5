// The query panel and the document commands in the main window: MostrarConsulta (command 3),
// ImprimirAIDF (6), "Salvar em Disco" (7), the legend and the request list's row change.
#include "ComandosDocumento.h"
#include "Dialogos.h"
#include "PreviewDocumento.h"
#include "frmPrinc.h"
#include "udmPrinc.h"
#include "ufrmCadaGraf.h"
#include "upnlAIDF.h"

#include <QPointer>
#include <QVBoxLayout>

using namespace lumaro;

// Called by main with a declaration of its own, like the other wiring files.
void ligarConsulta(TfrmPrincipal &janela, TdmPrinc &dm)
{
    auto *pnl = new TpnlAIDF(dm, janela.areaTrabalho());
    janela.layoutTrabalho()->addWidget(pnl);
    pnl->hide();
    pnl->conectarModulo();
    QPointer<TpnlAIDF> painel(pnl);
    TfrmPrincipal *j = &janela;

    // The registration is closed like any form close: not asked to save.
    pnl->fecharCadastroGrafica = [] { FecharCadastroGrafica(); };

    TfrmPrincipal::Operacoes &op = janela.operacoes;
    op.MostrarConsulta = [painel] {
        if (painel)
            protegido([&] { painel->MostrarConsulta(); });
    };
    op.MontarLegenda = [painel] {
        if (painel)
            painel->MontarLegenda();
    };
    op.ImprimirAIDF = [j, painel, &dm] {
        if (!painel)
            return;
        protegido([&] {
            ContextoImpressao c;
            ConjuntoDados &lista = dm.cdsSoliGera;
            c.listaVazia = !lista.ativo() || lista.vazio();
            if (!c.listaVazia)
                c.status = lista.valor(QStringLiteral("STATUS"));
            c.atualizarStatus = [j](const QString &texto, const QColor &fundo, const QColor &letra) {
                j->AtualizarStatus(texto, fundo, letra);
            };
            // Acceptance is plugged in later; read the seam when the question is answered.
            c.finalizarAidf = [j] {
                if (j->operacoes.FinalizarAIDF)
                    j->operacoes.FinalizarAIDF();
            };
            ImprimirAIDF(*painel->Prev, c);
        });
    };
    op.SalvarEmDisco = [painel, &dm] {
        if (!painel)
            return;
        protegido([&] {
            ConjuntoDados &lista = dm.cdsSoliGera;
            const QVariant numero = lista.ativo() && !lista.vazio() ? lista.valor(QStringLiteral("NUMERO_AIDF_PREF"))
                                                                    : QVariant();
            SalvarAIDFEmDisco(*painel->Prev, numero);
        });
    };
    op.LiberarDocumento = [painel] {
        if (painel)
            painel->Prev->limpar();
    };
}
