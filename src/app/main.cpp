// Lumaro: the program entry. Data module first, then the main window, then the event loop.
#include "DialogosQt.h"
#include "frmPrinc.h"
#include "udmPrinc.h"

#include <QApplication>
#include <QFontDatabase>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {

void restaurarCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// Tahoma (metric-compatible) ships with wine's fonts, in a folder fontconfig may not scan.
void carregarFontes()
{
    for (const char *f : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QString::fromLatin1(f)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(f));
}

class Aplicacao : public QApplication
{
public:
    using QApplication::QApplication;
    // An error that escapes an event handler reaches the application-wide error display.
    bool notify(QObject *o, QEvent *e) override
    {
        bool r = false;
        lumaro::protegido([&] { r = QApplication::notify(o, e); });
        return r;
    }
};

} // namespace

int main(int argc, char **argv)
{
    Aplicacao app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumaro"));
    carregarFontes();
    lumaro::DialogosQt dialogos;
    lumaro::definirDialogos(&dialogos);
    lumaro::definirRestauradorCursor(&restaurarCursor);

    lumaro::TdmPrinc dm;
    lumaro::TfrmPrincipal janela(dm, QCoreApplication::applicationDirPath());
    lumaro::TfrmPrincipal::Operacoes &op = janela.operacoes;
    Q_UNUSED(op);
    void ligarConsulta(lumaro::TfrmPrincipal &, lumaro::TdmPrinc &); ligarConsulta(janela, dm);
    void ligarRecebimento(lumaro::TfrmPrincipal &, lumaro::TdmPrinc &); ligarRecebimento(janela, dm);
    void ligarCadastros(lumaro::TfrmPrincipal &, lumaro::TdmPrinc &); ligarCadastros(janela, dm);
    janela.executarInicializacao();
    // Without a window manager "maximised" means nothing: take the whole screen ourselves.
    if (QScreen *tela = QGuiApplication::primaryScreen())
        janela.setGeometry(tela->availableGeometry());
    janela.showMaximized();
    // The start-up benchmark asks the program to say when its window is on screen, then leave.
    if (qEnvironmentVariableIsSet("LUMARO_MEDIR_INICIO")) {
        QTimer::singleShot(0, &janela, [] {
            std::printf("janela-visivel\n");
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    return app.exec();
}
