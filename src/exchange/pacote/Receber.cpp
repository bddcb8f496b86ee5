// receber: takes AIDF packages into the database without the window, for unattended intake.
#include "SubComandos.h"

#include "DialogosConsole.h"
#include "udmPrinc.h"
#include "uRecebimento.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace lumaro::pacote {

namespace {

int executar(const QStringList &args)
{
    QString base;
    bool sim = false;
    QStringList arquivos;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--base") {
            if (i + 1 >= args.size())
                throw ErroUso(QStringLiteral("--base precisa do caminho do banco de dados"));
            base = args[++i];
        } else if (a == u"--sim") {
            sim = true;
        } else if (a.startsWith(u"--")) {
            throw ErroUso(QStringLiteral("opção desconhecida: %1").arg(a));
        } else {
            arquivos << a;
        }
    }
    if (arquivos.isEmpty())
        throw ErroUso(QStringLiteral("falta o arquivo a receber"));
    for (QString &a : arquivos) {
        const QFileInfo info(a);
        if (!info.isFile())
            throw ErroUso(QStringLiteral("arquivo não encontrado: %1").arg(QDir::toNativeSeparators(a)));
        a = info.absoluteFilePath();
    }

    const QString pastaPrograma = QCoreApplication::applicationDirPath();
    const QString ini = pastaPrograma + QStringLiteral("/Lumaro.INI");
    const bool bancoDaConfiguracao = base.isEmpty();
    if (bancoDaConfiguracao)
        base = QSettings(ini, QSettings::IniFormat)
                   .value(QStringLiteral("GERAL/BD"), QStringLiteral("./Dados/Dados.fdb"))
                   .toString();

    DialogosConsole console(sim);
    definirDialogos(&console);
    struct Restaurar
    {
        ~Restaurar() { definirDialogos(nullptr); }
    } restaurar;

    TdmPrinc dm;
    dm.banco = base;
    dm.conectar();

    ContextoRecebimento c;
    c.pastaPrograma = pastaPrograma;
    c.processarEventos = false;
    c.escolherArquivos = [&arquivos](const EscolhaArquivo &) { return arquivos; };
    // Only a run on the program's own database moves the program's starting folder.
    if (bancoDaConfiguracao)
        c.gravarPastaArquivos = [&ini](const QString &pasta) {
            QSettings(ini, QSettings::IniFormat).setValue(QStringLiteral("GERAL/ARQUIVO_AIDF"), pasta);
        };
    try {
        ReceberArquivo(dm, c);
    } catch (const Abortar &) {
        return 1;
    } catch (const Erro &e) {
        exibirErro(e.texto());
        return 1;
    }
    return 0;
}

const SubComandoRegistrado registrado(SubComando{
    QStringLiteral("receber"),
    QStringLiteral("recebe pacotes de A.I.D.F. no banco de dados, sem a janela do programa"),
    QStringLiteral(
        "Uso: lumaro-pacote receber [--base CAMINHO] [--sim] ARQUIVO.PrefGraf...\n\n"
        "Recebe os pacotes na ordem dada, como o comando \"Receber Arquivo\" do programa: cada\n"
        "pacote da sua gráfica é gravado no banco e renomeado para .Imp. As mensagens saem uma por\n"
        "linha, \"título: texto\".\n\n"
        "  --base CAMINHO   o banco de dados; sem ela, GERAL/BD do Lumaro.INI ao lado do programa\n"
        "  --sim            responde Sim às perguntas (sem ela, Não)\n\n"
        "Saída 0 quando todos os arquivos foram tratados; 1 quando o recebimento parou antes.\n"),
    executar,
});

} // namespace

} // namespace lumaro::pacote
