#include "ComandosDocumento.h"

#include "Dialogos.h"
#include "uFuncoes.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

namespace lumaro {

namespace {

EscolhaImpressora &escolhaImpressora()
{
    static EscolhaImpressora escolha;
    return escolha;
}

bool dialogoImpressora(QPrinter &impressora, QWidget *pai)
{
    QPrintDialog dialogo(&impressora, pai);
    dialogo.setMinMax(1, 1);
    return dialogo.exec() == QDialog::Accepted;
}

// Puts the status line back to idle however printing ends.
struct StatusAguardando
{
    const ContextoImpressao &c;
    ~StatusAguardando()
    {
        if (c.atualizarStatus)
            c.atualizarStatus(QStringLiteral(" Aguardando..."), QColor(230, 230, 230),
                              QColor(0, 0, 128));
    }
};

} // namespace

TqrAutoImprDocuFisc &PrepararDocumento(PreviewDocumento &prev, const QVariantMap &aidf,
                                       const QVariantMap &graf)
{
    TqrAutoImprDocuFisc &doc = prev.novoDocumento();
    doc.definirDados(aidf, graf);
    doc.preparar();
    prev.atualizar();
    return doc;
}

void definirEscolhaImpressora(EscolhaImpressora escolha)
{
    escolhaImpressora() = std::move(escolha);
}

bool ImprimirAIDF(PreviewDocumento &prev, const ContextoImpressao &c)
{
    if (c.listaVazia) {
        dialogos().aviso(QStringLiteral("Aviso"), QStringLiteral("Escolha a A.I.D.F. à ser Impressa."),
                         Icone::Informacao, true);
        return false;
    }
    if (c.atualizarStatus)
        c.atualizarStatus(QStringLiteral(" Enviando impressão..."), QColor(0, 128, 0), Qt::white);
    StatusAguardando aoSair{c};

    TqrAutoImprDocuFisc *doc = prev.documento();
    if (!doc)
        return false;

    const QString status = c.status.isNull() ? QString() : c.status.toString();
    if (status != u"2" && status != u"3" && status != u"5") {
        if (dialogos().pergunta(QStringLiteral("Pergunrta"),
                                QStringLiteral("Você só pode imprimir A.I.D.F. que foi aceita por "
                                               "você. Você deseja Aceitá-la agora?"),
                                Icone::Pergunta, true)
            && c.finalizarAidf)
            c.finalizarAidf();
        return false;
    }

    QPrinter impressora(QPrinter::HighResolution);
    impressora.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    impressora.setDocName(doc->titulo());
    impressora.setFromTo(1, 1);
    const EscolhaImpressora &escolha = escolhaImpressora();
    QWidget *pai = prev.window();
    if (!(escolha ? escolha(impressora, pai) : dialogoImpressora(impressora, pai)))
        return false;
    doc->imprimir(impressora);
    return true;
}

QString SalvarAIDFEmDisco(PreviewDocumento &prev, const QVariant &numeroAidfPref)
{
    TqrAutoImprDocuFisc *doc = prev.documento();
    if (!doc) {
        dialogos().aviso(QStringLiteral("Aviso"), QStringLiteral("Escolha a A.I.D.F. à ser Salva."),
                         Icone::Informacao, true);
        return {};
    }

    EscolhaArquivo sd;
    sd.titulo = QStringLiteral("Salvar Arquivo");
    sd.filtro = QStringLiteral("*.pdf (*.pdf)");
    sd.pasta = QDir::rootPath();
    sd.nomeProposto =
        CompletarZeros(TqrAutoImprDocuFisc::textoCampo(numeroAidfPref), 9);
    sd.extensaoPadrao = QStringLiteral("pdf");
    const QString escolhido = dialogos().salvarArquivo(sd);
    if (escolhido.isEmpty())
        return {};

    // PDF is the one format the document is exported to, whatever extension was typed.
    const QString arquivo = TqrAutoImprDocuFisc::completarExtensaoPdf(escolhido);
    doc->salvarPdf(arquivo);
    return arquivo;
}

} // namespace lumaro
