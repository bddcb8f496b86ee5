// Figures of the AIDF document: rebuilding it for the preview at each row change, and writing
// it as PDF. Run: QT_QPA_PLATFORM=offscreen bench_documento_aidf [runs]

#include "AmostraAidf.h"
#include "ComandosDocumento.h"
#include "DialogosConsole.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace lumaro;

namespace {

struct Figuras
{
    double mediana, p90, minimo, maximo;
};

Figuras medir(int vezes, const std::function<void()> &f)
{
    for (int i = 0; i < 3; ++i)
        f();  // fonts, plugins and caches loaded before timing
    std::vector<double> ms;
    ms.reserve(vezes);
    QElapsedTimer t;
    for (int i = 0; i < vezes; ++i) {
        t.start();
        f();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 9 / 10)], ms.front(), ms.back()};
}

void imprimir(const char *nome, int vezes, const Figuras &f)
{
    std::printf("%-52s runs %4d  median %7.2f ms  p90 %7.2f ms  min %7.2f ms  max %7.2f ms\n", nome,
                vezes, f.mediana, f.p90, f.minimo, f.maximo);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    DialogosConsole console;
    definirDialogos(&console);
    const int vezes = argc > 1 ? std::max(1, atoi(argv[1])) : 200;

    const QVariantMap aidf = amostra::aidf();
    const QVariantMap graf = amostra::grafica();

    // Prepare (JPEG decoding, stamp, number) and paint the page at a preview pane's width.
    const int largura = 760;
    imprimir("rebuild: prepare + paint page (760 px wide)", vezes, medir(vezes, [&] {
                 TqrAutoImprDocuFisc doc;
                 doc.definirDados(aidf, graf);
                 doc.preparar();
                 QImage img(largura, qRound(largura * TqrPadraoQrFortes::AlturaPagina
                                            / TqrPadraoQrFortes::LarguraPagina),
                            QImage::Format_ARGB32_Premultiplied);
                 img.fill(Qt::white);
                 QPainter p(&img);
                 doc.desenharPagina(p, QRectF(0, 0, img.width(), img.height()));
             }));

    // The same through the preview pane as the main window uses it.
    PreviewDocumento prev;
    prev.resize(largura + 40, 700);
    prev.show();
    imprimir("rebuild: PrepararDocumento + repaint of the pane", vezes, medir(vezes, [&] {
                 PrepararDocumento(prev, aidf, graf);
                 prev.grab();
             }));

    QTemporaryDir pasta;
    const QString arq = pasta.filePath(QStringLiteral("aidf.pdf"));
    TqrAutoImprDocuFisc doc;
    doc.definirDados(aidf, graf);
    doc.preparar();
    const int vezesPdf = std::max(1, vezes / 10);
    imprimir("write one PDF (prepared document)", vezesPdf, medir(vezesPdf, [&] { doc.salvarPdf(arq); }));
    std::printf("PDF size: %lld bytes\n", static_cast<long long>(QFileInfo(arq).size()));
    return 0;
}
