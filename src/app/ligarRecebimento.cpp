// "Receber Arquivo" (command 2): receiving AIDF packages with the window's status line, its
// progress beside it and the configuration file's starting folder.
#include "Configuracao.h"
#include "frmPrinc.h"
#include "udmPrinc.h"
#include "uRecebimento.h"

using namespace lumaro;

// Called by main with a declaration of its own, like the other wiring files.
void ligarRecebimento(TfrmPrincipal &janela, TdmPrinc &dm)
{
    TfrmPrincipal *j = &janela;
    janela.operacoes.ReceberArquivo = [j, &dm] {
        Configuracao configuracao(j->pastaPrograma());
        ContextoRecebimento c;
        c.pastaPrograma = j->pastaPrograma();
        c.temPastaInicial = configuracao.temPastaArquivosAidf();
        c.pastaInicial = configuracao.pastaArquivosAidf();
        c.atualizarStatus = [j](const QString &texto, const QColor &painel, const QColor &letra) {
            j->AtualizarStatus(texto, painel, letra);
        };
        c.atualizarProgresso = [j](const QString &texto) { j->AtualizarProgresso(texto); };
        c.gravarPastaArquivos = [&configuracao](const QString &pasta) { configuracao.setPastaArquivosAidf(pasta); };
        ReceberArquivo(dm, c);
    };
}
