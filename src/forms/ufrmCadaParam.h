#pragma once

// The system parameters: the mail account the notifications go out with.

#include "ufrmCadaPadrao.h"

#include <QTabWidget>

class QCheckBox;

namespace lumaro {

// Tabs painted by the form: the active one dark blue with white text, the others grey with navy.
class PaginasPintadas : public QTabWidget
{
    Q_OBJECT
public:
    explicit PaginasPintadas(QWidget *pai = nullptr);
};

class TfrmCadaParam : public TfrmCadaPadrao
{
    Q_OBJECT
public:
    explicit TfrmCadaParam(TdmPrinc &dm, QWidget *pai = nullptr);

    PaginasPintadas *PC = nullptr;
    QWidget *tsConfEmai = nullptr;
    QLineEdit *edtemailEnvi = nullptr;
    QLineEdit *edtServSMTP = nullptr;
    QLineEdit *edtLogi = nullptr;
    QLineEdit *edtSenh = nullptr;
    QLineEdit *edtPort = nullptr;
    QCheckBox *DBCheckBox1 = nullptr;

    void actSalvarExecute() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void FormCreate();
};

// Command 10's preparation: the dialog over cdsParam, opened and put into edit (the row is
// inserted when the table is empty). The caller shows it.
TfrmCadaParam *CriarCadaParam(TdmPrinc &dm, QWidget *pai = nullptr);
// Command 10: the dialog shown modally.
void EditarParametros(TdmPrinc &dm, QWidget *pai = nullptr);

} // namespace lumaro
