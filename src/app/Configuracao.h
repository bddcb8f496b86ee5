#pragma once

#include <QString>

namespace lumaro {

// The INI file beside the program ("Lumaro.INI"): only whole missing sections are repaired.
class Configuracao
{
public:
    explicit Configuracao(const QString &pastaPrograma);

    QString arquivo() const { return m_arquivo; }

    // Start-up: writes GERAL/BD and AVISO/Apresenta when their sections are missing.
    // Throws Erro when the file cannot be written.
    void repararSecoes();
    // GERAL/BD, or "./Dados/Dados.fdb" (relative to the working directory) when the key is missing.
    QString banco() const;
    // AVISO/Apresenta read as an integer: non-zero, missing or not a number means shown.
    bool apresentarAviso() const;
    void setApresentarAviso(bool apresentar);

    // GERAL/ARQUIVO_AIDF: the folder of the last received package; empty when the key is missing.
    QString pastaArquivosAidf() const;
    bool temPastaArquivosAidf() const;
    void setPastaArquivosAidf(const QString &pasta);

private:
    QString m_pasta;
    QString m_arquivo;
};

} // namespace lumaro
