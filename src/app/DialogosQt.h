#pragma once

#include "Dialogos.h"

namespace lumaro {

// The program's dialogs: Qt's message boxes and file dialogs.
class DialogosQt : public Dialogos
{
public:
    Botao mostrar(const Mensagem &m) override;
    QStringList abrirArquivos(const EscolhaArquivo &e) override;
    QString salvarArquivo(const EscolhaArquivo &e) override;
};

} // namespace lumaro
