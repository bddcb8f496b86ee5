// Figures of the request browsing on a large list: showing the query panel against a plain fetch
// of the same view, a sort by a text column, one incremental search keystroke, one document
// rebuild on a row change, and the process's peak memory.
// Run: QT_QPA_PLATFORM=offscreen bench_consulta [requests [picture.png]]   (default 100000)

#include "BancoFirebird.h"
#include "ConjuntoDados.h"
#include "CriadorBase.h"
#include "DialogosConsole.h"
#include "PreviewDocumento.h"
#include "udmPrinc.h"
#include "upnlAIDF.h"

#include <QApplication>
#include <QStringList>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollArea>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

using namespace lumaro;

namespace {

double ms(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

struct Figuras
{
    double mediana, p90, maximo;
};

Figuras estatisticas(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 9 / 10)], v.back()};
}

// Numbers 1..limite as a derived table "s(i)", without PSQL variables (the client layer reads
// ":name" as a parameter).
QString serie(int limite)
{
    QStringList d;
    for (int i = 0; i < 10; ++i)
        d << QStringLiteral("select %1 d from rdb$database").arg(i);
    const QString digitos = u'(' + d.join(QStringLiteral(" union all ")) + u')';
    return QStringLiteral("(select a.d + b.d * 10 + c.d * 100 + e.d * 1000 + f.d * 10000 + g.d * 100000 + 1 i "
                          "from %1 a, %1 b, %1 c, %1 e, %1 f, %1 g) s where s.i <= %2")
        .arg(digitos)
        .arg(limite);
}

void povoar(TdmPrinc &dm, int solicitacoes)
{
    const int empresas = std::max(10, solicitacoes / 100);
    dm.executarGeral(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (1, 'Campinas', 'SP')"));
    dm.executarGeral(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (1, 'Centro')"));
    dm.executarGeral(QStringLiteral(
        "insert into GRAFICA (ID_GRAFICA, RAZAO_SOCIAL, CNPJ, ENDERECO, ID_BAIRRO, ID_CIDADE, TELEFONE, EMAIL, CEP) "
        "values (1, 'Gráfica Exemplo Ltda', '12345678000195', 'Rua das Flores, 10', 1, 1, '(19) 5555-0000', "
        "'contato@grafica.com.br', '13010000')"));
    dm.executarGeral(QStringLiteral(
        "insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME, NOMEDEPARTAMENTO, ID_CIDADE) "
        "select i, lpad(i, 14, '0'), 'Prefeitura Municipal ' || i, 'Secretaria da Fazenda', 1 from ") + serie(20));
    dm.executarGeral(QStringLiteral(
        "insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL, IE_RG, IMUNICIPAL, ID_CIDADE, ENDERECO, ID_BAIRRO, "
        "CEP, FONE, EMAIL) select i, lpad(i * 7919, 14, '0'), 'Empresa ' || lpad(mod(i * 37, %1), 6, '0') || ' Ltda', "
        "'IE' || i, 'IM' || i, 1, 'Avenida Brasil, ' || i, 1, '13010000', '(19) 3333-' || i, "
        "'contato' || i || '@empresa.com.br' from ").arg(empresas) + serie(empresas));
    dm.executarGeral(QStringLiteral(
        "insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, ID_GRAFICA, MODELO_NF, "
        "TIPO_NF, SERIE, SUB_SERIE, NUME_INICIAL, NUME_FINAL, QUANTIDADE, DATA_HORA_CADASTRO, DATA_HORA_APROV_REPROV, "
        "STATUS, NUME_VIAS, ID_SOLIC_AIDF_EMISSOR) select i, mod(i, 20) + 1, mod(i, %1) + 1, mod(i * 13, %1) + 1, 1, "
        "'Nota Fiscal de Serviços ' || mod(i, 97), 'Bloco com talonário', 'A', '1', i * 100, i * 100 + 99, 100, "
        "dateadd(mod(i, 3000) day to timestamp '2015-01-01 08:00:00'), "
        "dateadd(mod(i, 3000) + 1 day to timestamp '2015-01-01 10:30:00'), "
        "substring('2352' from mod(i, 4) + 1 for 1), '2', i from ").arg(empresas) + serie(solicitacoes));
    dm.executarGeral(QStringLiteral(
        "insert into OBSER_SOLI_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, TIPO_OBSERVACAO, OBSERVACAO) "
        "select i, mod(i, 20) + 1, 'P', 'Observação da prefeitura para a solicitação ' || i from ") + serie(solicitacoes)
        + QStringLiteral(" and mod(s.i, 10) = 0"));
}

long picoMemoriaMb()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    DialogosConsole console(false, stderr);
    definirDialogos(&console);

    QTemporaryDir pasta;
    const QString banco = pasta.filePath(QStringLiteral("Dados.fdb"));
    criarBase(banco);
    TdmPrinc dm;
    dm.banco = banco;
    dm.conectar();
    const double tPovoar = ms([&] { povoar(dm, n); });
    std::printf("requests: %d (bulk insert %.0f ms)\n", n, tPovoar);

    // A plain fetch of the view, blobs left in the database as the list leaves them.
    std::vector<double> fetches;
    int linhas = 0;
    for (int i = 0; i < 3; ++i)
        fetches.push_back(ms([&] {
            Comando cmd(dm.BDPrinc, QStringLiteral("select * from VW_SOLIC_AIDF"));
            cmd.setLerBinarios(false);
            cmd.abrir();
            linhas = 0;
            while (cmd.proxima())
                ++linhas;
            cmd.fechar();
        }));
    const double tFetch = *std::min_element(fetches.begin(), fetches.end());
    std::printf("plain fetch of VW_SOLIC_AIDF: %.0f ms (%d rows, best of 3)\n", tFetch, linhas);

    QWidget janela;
    auto *layout = new QVBoxLayout(&janela);
    auto *pnl = new TpnlAIDF(dm, &janela);
    layout->addWidget(pnl);
    pnl->hide();
    pnl->conectarModulo();
    janela.resize(1200, 800);
    janela.show();
    QCoreApplication::processEvents();

    // Start-up: both lists the window needs.
    dm.cdsGraf.abrir();
    const double tAbrir = ms([&] { dm.cdsSoliGera.abrir(); });
    std::printf("start-up open of the request list: %.0f ms\n", tAbrir);

    std::vector<double> mostrar;
    for (int i = 0; i < 3; ++i)
        mostrar.push_back(ms([&] {
            pnl->MostrarConsulta();
            pnl->grdDados->viewport()->repaint();
            QCoreApplication::processEvents();
        }));
    const double tMostrar = *std::min_element(mostrar.begin(), mostrar.end());
    // A picture of the panel as shown, to look at: bench_consulta N arquivo.png
    if (argc > 2)
        janela.grab().save(QString::fromLocal8Bit(argv[2]));
    // The part of it that is the client dataset's own refresh (fetch, calculated fields, index).
    pnl->hide();
    std::vector<double> refrescos;
    for (int i = 0; i < 3; ++i)
        refrescos.push_back(ms([&] { dm.cdsSoliGera.atualizar(); }));
    pnl->show();
    const double tRefresco = *std::min_element(refrescos.begin(), refrescos.end());
    std::printf("MostrarConsulta to grid shown: %.0f ms (best of 3), ratio to the plain fetch %.2fx (goal <= 1.5x)\n",
                tMostrar, tMostrar / tFetch);
    std::printf("  of which the request list's own refresh: %.0f ms (%.2fx the plain fetch)\n", tRefresco,
                tRefresco / tFetch);

    int colNome = -1;
    for (int c = 0; c < pnl->modelo().columnCount(); ++c)
        if (pnl->modelo().nomeCampo(c) == QLatin1String("NOME_RESP"))
            colNome = c;
    const double tTitulo = ms([&] {
        pnl->grdDadosTitleClick(colNome);
        pnl->grdDados->viewport()->repaint();
    });
    std::printf("title click on \"Responsável\" (refresh + client sort + repaint): %.0f ms\n", tTitulo);
    std::vector<double> ordens;
    for (int i = 0; i < 3; ++i)
        ordens.push_back(ms([&] {
            dm.cdsSoliGera.setCamposIndice(i % 2 ? QStringLiteral("NOME_RESP") : QStringLiteral("MODELO_NF"));
        }));
    std::printf("client-side sort by a text column alone: %.0f ms (median of 3)\n", estatisticas(ordens).mediana);

    // Keystrokes typed into the search box while sorted by the company name; each moves the
    // row and so rebuilds the document.
    dm.cdsSoliGera.setCamposIndice(QStringLiteral("NOME_RESP"));
    std::vector<double> teclas;
    const QString digitado = QStringLiteral("Empresa 00123");
    for (int rodada = 0; rodada < 5; ++rodada) {
        pnl->edtConsSimp->clear();
        for (QChar c : digitado)
            teclas.push_back(ms([&] { pnl->edtConsSimp->insert(QString(c)); }));
    }
    const Figuras ft = estatisticas(teclas);
    std::printf("incremental search keystroke (with document rebuild): median %.2f ms, p90 %.2f ms, max %.2f ms (goal <= 20 ms)\n",
                ft.mediana, ft.p90, ft.maximo);
    pnl->hide();
    std::vector<double> teclasSemDoc;
    for (int rodada = 0; rodada < 5; ++rodada) {
        pnl->edtConsSimp->clear();
        for (QChar c : digitado)
            teclasSemDoc.push_back(ms([&] { pnl->edtConsSimp->insert(QString(c)); }));
    }
    std::printf("incremental search keystroke (search and move only): median %.3f ms\n",
                estatisticas(teclasSemDoc).mediana);
    pnl->show();

    std::vector<double> linhasDoc;
    dm.cdsSoliGera.irPara(n / 2);
    for (int i = 0; i < 60; ++i)
        linhasDoc.push_back(ms([&] { dm.cdsSoliGera.proximo(); }));
    const Figuras fd = estatisticas(linhasDoc);
    std::printf("row change with document rebuild: median %.2f ms, p90 %.2f ms, max %.2f ms (goal <= 30 ms median)\n",
                fd.mediana, fd.p90, fd.maximo);
    std::vector<double> comPintura;
    for (int i = 0; i < 60; ++i)
        comPintura.push_back(ms([&] {
            dm.cdsSoliGera.proximo();
            pnl->Prev->viewport()->repaint();
        }));
    const Figuras fp = estatisticas(comPintura);
    std::printf("row change with document rebuild and the preview painted: median %.2f ms, p90 %.2f ms\n",
                fp.mediana, fp.p90);
    // Entering the company page opens both company lists (one row per request) into the boxes.
    const double tListas = ms([&] { pnl->TabSheet2Enter(); });
    std::printf("entering the company page (two lists of %d rows into the lookup boxes): %.0f ms\n",
                dm.cdsResp.quantidade(), tListas);
    pnl->TabSheet2Exit();
    std::printf("peak memory (max RSS): %ld MB (goal <= 300 MB)\n", picoMemoriaMb());
    dm.desconectar();
    definirDialogos(nullptr);
    return 0;
}
