// Time from process start to the main window on screen, on an embedded database holding
// 10,000 requests. Prints the figures of several runs.
#include "BancoFirebird.h"
#include "CriadorBase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace lumaro;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int pedidos = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rodadas = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir pasta;
    QDir(pasta.path()).mkpath(QStringLiteral("Dados"));
    const QString banco = pasta.filePath(QStringLiteral("Dados/Dados.fdb"));
    criarBase(banco);
    {
        Conexao c;
        c.abrir(banco, QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
        c.executar(QStringLiteral("insert into CIDADE values (1, 'São Paulo', 'SP')"));
        c.executar(QStringLiteral("insert into BAIRRO values (1, 'Centro')"));
        c.executar(QStringLiteral("insert into GRAFICA (ID_GRAFICA, RAZAO_SOCIAL, CNPJ, ENDERECO, ID_BAIRRO, ID_CIDADE, TELEFONE, EMAIL) "
                                  "values (1, 'Gráfica', '12345678000195', 'Rua A', 1, 1, '11', 'g@g.com')"));
        c.executar(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME, ID_CIDADE) values (1, '46395000000139', 'Prefeitura', 1)"));
        c.executar(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL, ID_BAIRRO, ID_CIDADE) values (1, '11222333000181', 'Empresa', 1, 1)"));
        c.executarImediato(QStringLiteral(
            "execute block as declare n integer = 1; begin while (n <= %1) do begin "
            "insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, ID_GRAFICA, MODELO_NF, TIPO_NF, "
            "NUME_INICIAL, NUME_FINAL, QUANTIDADE, DATA_HORA_CADASTRO, STATUS, ID_SOLIC_AIDF_EMISSOR) values "
            "(:n, 1, 1, 1, 1, 'Modelo 1', 'Nota Fiscal de Serviço', 1, 500, 500, current_timestamp, '2', :n); n = n + 1; end end").arg(pedidos));
    }
    // A copy of the program, so that its configuration file lives in the temporary folder.
    const QString programa = pasta.filePath(QStringLiteral("Lumaro"));
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/Lumaro"), programa);
    QFile::setPermissions(programa, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        QSettings ini(pasta.filePath(QStringLiteral("Lumaro.INI")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("GERAL/BD"), banco);
        ini.setValue(QStringLiteral("AVISO/Apresenta"), QStringLiteral("0"));
    }
    QList<double> tempos;
    for (int i = 0; i < rodadas; ++i) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUMARO_MEDIR_INICIO"), QStringLiteral("1"));
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(programa, {});
        bool visivel = false;
        while (p.waitForReadyRead(30000)) {
            if (p.readAllStandardOutput().contains("janela-visivel")) {
                visivel = true;
                break;
            }
        }
        const double ms = double(t.nsecsElapsed()) / 1e6;
        p.waitForFinished(10000);
        if (!visivel) {
            std::fprintf(stderr, "a janela não apareceu: %s\n", p.readAllStandardError().constData());
            return 1;
        }
        tempos << ms;
        std::printf("rodada %d: %.1f ms\n", i + 1, ms);
    }
    std::sort(tempos.begin(), tempos.end());
    std::printf("início até a janela visível com %d pedidos: mediana %.1f ms (mín %.1f, máx %.1f)\n", pedidos,
                tempos[tempos.size() / 2], tempos.first(), tempos.last());
    return 0;
}
