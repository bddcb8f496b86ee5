// lumaro-pacote: inspects and builds the AIDF exchange packages from the command line.
#include "SubComandos.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace lumaro::pacote {

namespace {

QList<SubComando> &registro()
{
    static QList<SubComando> lista;
    return lista;
}

QString ajudaGeral()
{
    QString t = QStringLiteral("Uso: lumaro-pacote SUBCOMANDO [ARGUMENTOS...]\n\n"
                               "Examina e cria os pacotes de troca de A.I.D.F. (.PrefGraf, .Graf, .Aidf, .cds).\n\n"
                               "Subcomandos:\n");
    for (const SubComando &c : subComandos())
        t += QStringLiteral("  %1  %2\n").arg(c.nome.leftJustified(12), c.resumo);
    t += QStringLiteral("\nUse \"lumaro-pacote SUBCOMANDO --help\" para os detalhes de cada um.\n");
    return t;
}

} // namespace

const QList<SubComando> &subComandos()
{
    return registro();
}

SubComandoRegistrado::SubComandoRegistrado(SubComando c)
{
    QList<SubComando> &lista = registro();
    lista.append(std::move(c));
    std::sort(lista.begin(), lista.end(), [](const SubComando &a, const SubComando &b) { return a.nome < b.nome; });
}

void escrever(const QString &texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void escreverErro(const QString &texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

} // namespace lumaro::pacote

int main(int argc, char **argv)
{
    using namespace lumaro::pacote;
    // Drawing sub-commands need fonts, hence a GUI application; the tool never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    if (args.isEmpty()) {
        escreverErro(QStringLiteral("lumaro-pacote: falta o subcomando.\n\n") + ajudaGeral());
        return 2;
    }
    const QString nome = args.takeFirst();
    if (nome == u"--help" || nome == u"-h" || nome == u"ajuda") {
        escrever(ajudaGeral());
        return 0;
    }
    const auto &lista = subComandos();
    const auto it = std::find_if(lista.begin(), lista.end(), [&](const SubComando &c) { return c.nome == nome; });
    if (it == lista.end()) {
        escreverErro(QStringLiteral("lumaro-pacote: subcomando desconhecido: %1\n\n").arg(nome) + ajudaGeral());
        return 2;
    }
    if (args.contains(u"--help") || args.contains(u"-h")) {
        escrever(it->ajuda);
        return 0;
    }
    try {
        return it->executar(args);
    } catch (const ErroUso &e) {
        escreverErro(QStringLiteral("lumaro-pacote %1: %2\nUse \"lumaro-pacote %1 --help\" para ver o uso.\n").arg(nome, e.texto()));
        return 2;
    } catch (const lumaro::Erro &e) {
        escreverErro(QStringLiteral("lumaro-pacote %1: %2\n").arg(nome, e.texto()));
        return 1;
    } catch (const std::exception &e) {
        escreverErro(QStringLiteral("lumaro-pacote %1: %2\n").arg(nome, QString::fromUtf8(e.what())));
        return 1;
    }
}
