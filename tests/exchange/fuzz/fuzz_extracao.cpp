// Any bytes given as an archive end in extracted files or in an Erro, and nothing is ever
// written outside the target folder.
#include "ArquivoZip.h"
#include "Erros.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir &raiz()
{
    static QTemporaryDir d;
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho)
{
    using namespace lumaro;
    const QString base = raiz().path();
    const QString arquivo = base + QStringLiteral("/entrada.PrefGraf");
    const QString alvo = base + QStringLiteral("/Aidfs");
    QDir(alvo).removeRecursively();
    QDir().mkpath(alvo);
    {
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(dados), qint64(tamanho));
    }
    try {
        ArquivoZip::extrairTudo(arquivo, alvo);
    } catch (const Erro &) {
    }
    try {
        ArquivoZip::lerMembro(arquivo, QStringLiteral("entrada.Aidf"));
    } catch (const Erro &) {
    }
    const QStringList raizAgora = QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (raizAgora != QStringList{QStringLiteral("Aidfs"), QStringLiteral("entrada.PrefGraf")}) {
        std::fprintf(stderr, "algo foi escrito fora da pasta: %s\n", qPrintable(raizAgora.join(u' ')));
        std::abort();
    }
    return 0;
}
