// Packets read per second and archives extracted per second, on the shared packet fixtures.
// Usage: bench_exchange [PASTA_DAS_FIXTURES] [SEGUNDOS_POR_MEDIDA]
#include "ArquivoZip.h"
#include "Erros.h"
#include "PacoteDados.h"
#include "PacotesAidf.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace lumaro;

namespace {

struct Medida
{
    qint64 vezes = 0;
    double segundos = 0;
    double porSegundo() const { return segundos > 0 ? vezes / segundos : 0; }
};

// Repeats the step until the time is up (at least once), and reports how many went through.
Medida medir(double segundos, const std::function<void()> &passo)
{
    Medida m;
    QElapsedTimer t;
    t.start();
    do {
        passo();
        ++m.vezes;
    } while (t.nsecsElapsed() < qint64(segundos * 1e9));
    m.segundos = t.nsecsElapsed() / 1e9;
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString pasta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(LUMARO_FIXTURES_DIR);
    const double segundos = argc > 2 ? std::atof(argv[2]) : 1.0;

    QList<QPair<QString, QByteArray>> fixtures;
    qint64 totalBytes = 0;
    for (const QFileInfo &f : QDir(pasta).entryInfoList({QStringLiteral("*.cds")}, QDir::Files, QDir::Name)) {
        QFile arq(f.filePath());
        if (!arq.open(QIODevice::ReadOnly))
            continue;
        fixtures.append({f.fileName(), arq.readAll()});
        totalBytes += fixtures.last().second.size();
    }
    if (fixtures.isEmpty()) {
        std::fprintf(stderr, "nenhum .cds em %s\n", qPrintable(pasta));
        return 1;
    }

    try {
        std::printf("Leitura de pacotes (%lld fixtures, %.1f KiB)\n", qlonglong(fixtures.size()), totalBytes / 1024.0);
        std::printf("  %-22s %10s %14s %10s\n", "pacote", "bytes", "pacotes/s", "MiB/s");
        for (const auto &[nome, dados] : fixtures) {
            const Medida m = medir(segundos / 4, [&] { PacoteDados::ler(dados); });
            std::printf("  %-22s %10lld %14.0f %10.1f\n", qPrintable(nome), qlonglong(dados.size()), m.porSegundo(),
                        m.porSegundo() * dados.size() / (1024.0 * 1024.0));
        }
        const Medida todos = medir(segundos, [&] {
            for (const auto &f : fixtures)
                PacoteDados::ler(f.second);
        });
        std::printf("  %-22s %10lld %14.0f %10.1f\n", "(todos, em sequência)", qlonglong(totalBytes),
                    todos.porSegundo() * fixtures.size(), todos.porSegundo() * totalBytes / (1024.0 * 1024.0));

        // A typical AIDF packet: every field, one record, two small images.
        PacoteDados aidf = PacotesAidf::novoAidf();
        aidf.adicionarRegistro();
        for (const CampoPacote &c : std::as_const(aidf.campos)) {
            if (c.tipo == TipoCampo::Texto)
                aidf.definirValor(c.nome, QString(c.tamanho, u'x'));
            else if (c.tipo == TipoCampo::Inteiro)
                aidf.definirValor(c.nome, 123456);
        }
        aidf.definirValor("OBSERVACAO", QString(500, u'o'));
        aidf.definirValor("BRASAO", QByteArray(20000, '\x55'));
        aidf.definirValor("ASSINATURA", QByteArray(8000, '\x33'));
        const QByteArray bytesAidf = aidf.escrever();
        const Medida escrita = medir(segundos, [&] { aidf.escrever(); });
        const Medida leitura = medir(segundos, [&] { PacoteDados::ler(bytesAidf); });
        std::printf("\nPacote de A.I.D.F. (%lld bytes): %.0f lidos/s, %.0f escritos/s\n", qlonglong(bytesAidf.size()),
                    leitura.porSegundo(), escrita.porSegundo());

        // Archives: one encrypted, level-9 package per fixture, each extracted into a working folder.
        QTemporaryDir dir;
        const QString alvo = dir.filePath(QStringLiteral("Aidfs"));
        QDir().mkpath(alvo);
        QStringList pacotes;
        qint64 bytesZip = 0;
        const Medida criacao = medir(0, [&] {
            for (const auto &[nome, dados] : fixtures) {
                const QString base = QFileInfo(nome).completeBaseName();
                const QString arquivo = dir.filePath(base + QStringLiteral(".PrefGraf"));
                QFile::remove(arquivo);
                ArquivoZip::adicionar(arquivo, base + QStringLiteral(".Aidf"), dados);
                pacotes.append(arquivo);
                bytesZip += QFileInfo(arquivo).size();
            }
        });
        std::printf("\nArquivos compactados (%lld, %.1f KiB cifrados e comprimidos; criados em %.2f s)\n", qlonglong(pacotes.size()),
                    bytesZip / 1024.0, criacao.segundos);
        const Medida extracao = medir(segundos, [&] {
            for (const QString &p : std::as_const(pacotes))
                ArquivoZip::extrairTudo(p, alvo);
        });
        std::printf("  extração de todos:      %10.0f arquivos/s  %8.1f MiB/s descompactados\n",
                    extracao.porSegundo() * pacotes.size(), extracao.porSegundo() * totalBytes / (1024.0 * 1024.0));
        const QString aidfZip = dir.filePath(QStringLiteral("000001234GrafRe.Graf"));
        ArquivoZip::adicionar(aidfZip, QStringLiteral("000001234GrafRe.Aidf"), bytesAidf);
        const Medida umAidf = medir(segundos, [&] { ArquivoZip::extrairTudo(aidfZip, alvo); });
        const Medida adicao = medir(segundos, [&] { ArquivoZip::adicionar(aidfZip, QStringLiteral("000001234GrafRe.Aidf"), bytesAidf); });
        std::printf("  pacote de A.I.D.F.:     %10.0f extrações/s  %8.0f substituições do membro/s\n", umAidf.porSegundo(),
                    adicao.porSegundo());
    } catch (const Erro &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
