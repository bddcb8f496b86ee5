#pragma once

// The print shop's own registration, shown inside the main window's work area.

#include "ufrmCadaPadrao.h"

#include <functional>

class QComboBox;

namespace lumaro {

class TfrmCadaGraf : public TfrmCadaPadrao
{
    Q_OBJECT
public:
    // mostrarEstado shows the record's state in the main window's status line.
    TfrmCadaGraf(TdmPrinc &dm, QWidget *pnlPrinc, std::function<void(const ConjuntoDados &)> mostrarEstado = {});
    ~TfrmCadaGraf() override;

    QLineEdit *edtCNPJ = nullptr;
    QLineEdit *edtInsMun = nullptr;
    QLineEdit *edtInsEst = nullptr;
    QLineEdit *edtEnde = nullptr;
    QLineEdit *edtBai = nullptr;
    QLineEdit *edtCida = nullptr;
    QComboBox *cmbUF = nullptr;
    QLineEdit *edtCEP = nullptr;
    QLineEdit *edtFone = nullptr;
    QLineEdit *edtMail = nullptr;

    static const QStringList &estados();

    void dsPrincStateChange() override;
    void actSalvarExecute() override;
    void actFecharExecute() override;

private:
    void FormCreate();
    std::function<void(const ConjuntoDados &)> m_mostrarEstado;
};

// The open registration, or null.
TfrmCadaGraf *cadastroGraficaAberto();
// Opens the registration in the work area (or brings the open one to the front).
TfrmCadaGraf *AbrirCadastroGrafica(TdmPrinc &dm, QWidget *pnlPrinc,
                                   std::function<void(const ConjuntoDados &)> mostrarEstado = {});
// Closes the open registration without asking, saving or cancelling anything (the query panel
// takes the work area).
void FecharCadastroGrafica();

} // namespace lumaro
