#pragma once

#include "Dialogos.h"

#include <cstdio>

namespace lumaro {

// Dialogs for the command-line tools: every message becomes one line "título: texto" (line breaks
// inside the text become blanks), questions get a fixed answer, file dialogs are never available.
class DialogosConsole : public Dialogos
{
public:
    explicit DialogosConsole(bool responderSim = false, FILE *saida = stdout)
        : m_sim(responderSim), m_saida(saida) {}

    Botao mostrar(const Mensagem &m) override;
    QStringList abrirArquivos(const EscolhaArquivo &) override { return {}; }
    QString salvarArquivo(const EscolhaArquivo &) override { return {}; }

private:
    bool m_sim;
    FILE *m_saida;
};

} // namespace lumaro
