// pdf: writes the AIDF document of one stored request as a PDF file, without the window, with
// the same drawing the preview and "Salvar em Disco" use.
#include "SubComandos.h"

#include "ConsultaAidf.h"
#include "DialogosConsole.h"
#include "uqrAutoImprDocuFisc.h"
#include "udmPrinc.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace lumaro::pacote {

namespace {

int inteiro(const QString &texto, const char *nome)
{
    bool ok = false;
    const int n = texto.toInt(&ok);
    if (!ok)
        throw ErroUso(QStringLiteral("%1 não é um número: %2").arg(QLatin1String(nome), texto));
    return n;
}

QString bancoDaConfiguracao()
{
    const QString ini = QCoreApplication::applicationDirPath() + QStringLiteral("/Lumaro.INI");
    if (!QFileInfo::exists(ini))
        throw Erro(QStringLiteral("não há %1; indique a base com --base").arg(ini));
    const QString banco = QSettings(ini, QSettings::IniFormat).value(QStringLiteral("GERAL/BD")).toString();
    if (banco.isEmpty())
        throw Erro(QStringLiteral("%1 não tem a chave GERAL/BD; indique a base com --base").arg(ini));
    return banco;
}

int executarPdf(const QStringList &argumentos)
{
    QStringList args = argumentos;
    QString banco;
    const int iBase = int(args.indexOf(QStringLiteral("--base")));
    if (iBase >= 0) {
        if (iBase + 1 >= args.size())
            throw ErroUso(QStringLiteral("--base pede o caminho da base"));
        banco = args[iBase + 1];
        args.remove(iBase, 2);
    }
    if (args.size() != 3)
        throw ErroUso(QStringLiteral("são três argumentos: NUMERO ID_PREFEITURA SAIDA.pdf"));
    const int numero = inteiro(args[0], "NUMERO");
    const int idPrefeitura = inteiro(args[1], "ID_PREFEITURA");
    const QString saida = TqrAutoImprDocuFisc::completarExtensaoPdf(args[2]);
    if (banco.isEmpty())
        banco = bancoDaConfiguracao();

    // A damaged picture is reported on the terminal and left out, as in the window.
    DialogosConsole console(false, stderr);
    definirDialogos(&console);
    struct Restaurar { ~Restaurar() { definirDialogos(nullptr); } } restaurar;

    TdmPrinc dm;
    dm.banco = banco;
    dm.conectar();
    dm.cdsSoliPPrev.definirParametro(QStringLiteral("NUMERO_AIDF_PREF"), QString::number(numero));
    dm.cdsSoliPPrev.definirParametro(QStringLiteral("ID_PREFEITURA"), QString::number(idPrefeitura));
    dm.cdsSoliPPrev.abrir();
    if (dm.cdsSoliPPrev.vazio())
        throw Erro(QStringLiteral("não há A.I.D.F. %1 da prefeitura %2 em %3").arg(numero).arg(idPrefeitura).arg(banco));
    dm.cdsGraf.abrir();

    TqrAutoImprDocuFisc doc;
    doc.definirDados(registroAtual(dm.cdsSoliPPrev), dadosGrafica(dm.cdsGraf));
    doc.preparar();
    doc.salvarPdf(saida);
    dm.desconectar();
    escrever(saida + u'\n');
    return 0;
}

const SubComandoRegistrado registrado(SubComando{
    QStringLiteral("pdf"),
    QStringLiteral("grava em PDF o documento de uma A.I.D.F. guardada na base"),
    QStringLiteral(
        "Uso: lumaro-pacote pdf [--base CAMINHO] NUMERO ID_PREFEITURA SAIDA.pdf\n\n"
        "Grava em SAIDA.pdf a Autorização de Impressão de Documentos Fiscais da A.I.D.F. NUMERO\n"
        "da prefeitura ID_PREFEITURA, como o programa a mostra e salva em disco.\n"
        "A base é a da chave GERAL/BD do Lumaro.INI ao lado do programa, a menos que --base\n"
        "indique outra (um arquivo, ou \"servidor/porta:caminho\").\n"),
    executarPdf,
});

} // namespace

} // namespace lumaro::pacote
