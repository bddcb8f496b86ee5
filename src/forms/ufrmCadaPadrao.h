#pragma once

// The registration form: data-bound editing of one record with save and cancel, focus colours,
// left-aligned fields while open, a transaction begun on entering edit, and the save, cancel
// and close rules.

#include "ConjuntoDados.h"
#include "LigacaoCampo.h"
#include "ufrmPadrao.h"

#include <QList>
#include <QPointer>

class QLabel;
class QLineEdit;

namespace lumaro {

class ConjuntoDados;
class TdmPrinc;

// A field's alignment as it was before the form changed it.
struct TAligField
{
    QString nome;
    Qt::Alignment alinhamento;
};

class TfrmCadaPadrao : public TfrmPadrao
{
    Q_OBJECT
public:
    explicit TfrmCadaPadrao(TdmPrinc &dm, QWidget *pai = nullptr);

    TdmPrinc &dm() const { return m_dm; }
    ConjuntoDados *dsPrinc() const { return m_dsPrinc; }
    void setDsPrinc(ConjuntoDados *ds);

    QLabel *Label1 = nullptr;
    QLineEdit *edtPrinc = nullptr;
    QToolButton *sbtnSalv = nullptr;
    QToolButton *sbtnCanc = nullptr;
    QAction *actSalvar = nullptr;
    QAction *actCanc = nullptr;

    // Binds a control to a field of dsPrinc, with the focus colouring.
    LigacaoCampo *ligar(QWidget *controle, const QString &campo, Caixa caixa = Caixa::Normal);
    QList<LigacaoCampo *> ligacoes() const { return m_ligacoes; }
    // Every control shows its field again.
    void carregarControles();
    // What the operator typed goes into the record; throws what a field rule throws.
    void gravarControles();

    void edtPrincEnter(QWidget *controle);
    void edtPrincExit(QWidget *controle);

    virtual void dsPrincStateChange();
    virtual void actSalvarExecute();
    virtual void actCancExecute();
    void actFecharExecute() override;

    void FormActivate();
    const QList<TAligField> &alinhamentosSalvos() const { return m_alinhamentos; }

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

    TdmPrinc &m_dm;

private:
    void focarCampo(ConjuntoDados *ds, const QString &campo);

    QPointer<ConjuntoDados> m_dsPrinc;
    QList<LigacaoCampo *> m_ligacoes;
    QList<TAligField> m_alinhamentos;
    QMetaObject::Connection m_conexaoEstado;
};

} // namespace lumaro
