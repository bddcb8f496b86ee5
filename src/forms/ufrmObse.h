#pragma once

// The observation the print shop attaches to a request it accepts or refuses.

#include "ufrmPadrao.h"

class QLabel;
class QPlainTextEdit;

namespace lumaro {

class ConjuntoDados;
class LigacaoCampo;
class TdmPrinc;

class TfrmCadaObse : public TfrmPadrao
{
    Q_OBJECT
public:
    // Edits OBSERVACAO of the current row of cdsObse, which the caller opened and put into edit.
    explicit TfrmCadaObse(TdmPrinc &dm, QWidget *pai = nullptr);

    ConjuntoDados *dsObse = nullptr;
    QLabel *pnlTituObse = nullptr;
    QPlainTextEdit *mmObse = nullptr;
    QToolButton *sbtnCanc = nullptr;
    QToolButton *sbtnSalv = nullptr;
    QAction *actCanc = nullptr;
    QAction *actSalvar = nullptr;

    void actSalvarExecute();
    void actCancExecute();

private:
    void FormCreate(TdmPrinc &dm);
    void estadoMudou();
    LigacaoCampo *m_ligacao = nullptr;
};

// Shows the observation dialog modally.
void MostrarObservacao(TdmPrinc &dm, QWidget *pai = nullptr);

} // namespace lumaro
