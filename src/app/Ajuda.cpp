#include "Ajuda.h"

#include "Dialogos.h"

#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace lumaro {

QString Ajuda::pagina(const QString &pastaAjuda, int contexto)
{
    const QString topico = pastaAjuda + QStringLiteral("/topico%1.html").arg(contexto);
    if (contexto > 0 && QFile::exists(topico))
        return topico;
    return pastaAjuda + QStringLiteral("/index.html");
}

void Ajuda::abrir(const QString &pastaAjuda, int contexto, QWidget *pai)
{
    const QString arquivo = pagina(pastaAjuda, contexto);
    if (!QFile::exists(arquivo)) {
        dialogos().aviso(QStringLiteral("Ajuda"), QStringLiteral("O arquivo de ajuda não foi encontrado:\r%1").arg(arquivo),
                         Icone::Aviso);
        return;
    }
    static QPointer<QDialog> janela;
    static QTextBrowser *navegador = nullptr;
    if (!janela) {
        janela = new QDialog(pai);
        janela->setAttribute(Qt::WA_DeleteOnClose);
        janela->setWindowTitle(QStringLiteral("Ajuda do Lumaro"));
        janela->resize(640, 520);
        auto *l = new QVBoxLayout(janela);
        navegador = new QTextBrowser(janela);
        navegador->setObjectName(QStringLiteral("navegadorAjuda"));
        navegador->setOpenLinks(true);
        l->addWidget(navegador);
    }
    navegador->setSearchPaths({pastaAjuda});
    navegador->setSource(QUrl::fromLocalFile(arquivo));
    janela->show();
    janela->raise();
}

} // namespace lumaro
