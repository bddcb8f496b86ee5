#include "Configuracao.h"

#include "Erros.h"

#include <QDir>
#include <QSettings>

namespace lumaro {

Configuracao::Configuracao(const QString &pastaPrograma)
    : m_pasta(QDir::cleanPath(pastaPrograma)), m_arquivo(m_pasta + QStringLiteral("/Lumaro.INI"))
{
}

void Configuracao::repararSecoes()
{
    QSettings ini(m_arquivo, QSettings::IniFormat);
    const QStringList secoes = ini.childGroups();
    bool escreveu = false;
    if (!secoes.contains(QStringLiteral("GERAL"))) {
        ini.setValue(QStringLiteral("GERAL/BD"), m_pasta + QStringLiteral("/Dados/Dados.fdb"));
        escreveu = true;
    }
    if (!secoes.contains(QStringLiteral("AVISO"))) {
        ini.setValue(QStringLiteral("AVISO/Apresenta"), QStringLiteral("1"));
        escreveu = true;
    }
    if (escreveu) {
        ini.sync();
        if (ini.status() != QSettings::NoError)
            throw Erro(QStringLiteral("Não foi possível gravar o arquivo de configuração %1.").arg(QDir::toNativeSeparators(m_arquivo)));
    }
}

QString Configuracao::banco() const
{
    QSettings ini(m_arquivo, QSettings::IniFormat);
    return ini.value(QStringLiteral("GERAL/BD"), QStringLiteral("./Dados/Dados.fdb")).toString();
}

bool Configuracao::apresentarAviso() const
{
    QSettings ini(m_arquivo, QSettings::IniFormat);
    bool ok = false;
    const int v = ini.value(QStringLiteral("AVISO/Apresenta")).toString().trimmed().toInt(&ok);
    return !ok || v != 0;
}

void Configuracao::setApresentarAviso(bool apresentar)
{
    QSettings ini(m_arquivo, QSettings::IniFormat);
    ini.setValue(QStringLiteral("AVISO/Apresenta"), apresentar ? QStringLiteral("1") : QStringLiteral("0"));
}

QString Configuracao::pastaArquivosAidf() const
{
    QSettings ini(m_arquivo, QSettings::IniFormat);
    return ini.value(QStringLiteral("GERAL/ARQUIVO_AIDF")).toString();
}

bool Configuracao::temPastaArquivosAidf() const
{
    QSettings ini(m_arquivo, QSettings::IniFormat);
    return ini.contains(QStringLiteral("GERAL/ARQUIVO_AIDF"));
}

void Configuracao::setPastaArquivosAidf(const QString &pasta)
{
    QSettings ini(m_arquivo, QSettings::IniFormat);
    ini.setValue(QStringLiteral("GERAL/ARQUIVO_AIDF"), pasta);
}

} // namespace lumaro
