#include "ufrmObse.h"

#include "Artes.h"
#include "ConjuntoDados.h"
#include "Dialogos.h"
#include "LigacaoCampo.h"
#include "udmPrinc.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

namespace lumaro {

TfrmCadaObse::TfrmCadaObse(TdmPrinc &dm, QWidget *pai) : TfrmPadrao(pai)
{
    setObjectName(QStringLiteral("frmCadaObse"));
    setWindowTitle(QStringLiteral("Observação"));
    setProperty("contextoAjuda", 6);
    setFixedSize(446, 296);

    actCanc = criarAcao(QStringLiteral("actCanc"), QStringLiteral("Cancelar"), QStringLiteral("Cancelar Alteração"),
                        QKeySequence(Qt::Key_F7));
    actSalvar = criarAcao(QStringLiteral("actSalvar"), QStringLiteral("Salvar"), QStringLiteral("Salvar Registro"),
                          QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(actSalvar, &QAction::triggered, this, [this] { protegido([this] { actSalvarExecute(); }); });
    connect(actCanc, &QAction::triggered, this, [this] { protegido([this] { actCancExecute(); }); });
    sbtnSalv = adicionarBotao(QStringLiteral("sbtnSalv"), actSalvar, artes::botaoSalvar());
    sbtnCanc = adicionarBotao(QStringLiteral("sbtnCanc"), actCanc, artes::botaoCancelar());

    pnlTituObse = new QLabel(QStringLiteral("Observação"), this);
    pnlTituObse->setObjectName(QStringLiteral("pnlTituObse"));
    pnlTituObse->setGeometry(0, 53, 446, 17);
    pnlTituObse->setAutoFillBackground(true);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(13);
    f.setBold(true);
    pnlTituObse->setFont(f);
    QPalette p = pnlTituObse->palette();
    p.setColor(QPalette::Window, QColor(0, 64, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    pnlTituObse->setPalette(p);

    mmObse = new QPlainTextEdit(this);
    mmObse->setObjectName(QStringLiteral("mmObse"));
    mmObse->setGeometry(0, 70, 446, 296 - 70);

    FormCreate(dm);
    setFocusProxy(mmObse);
}

void TfrmCadaObse::FormCreate(TdmPrinc &dm)
{
    if (!dsObse)
        dsObse = &dm.cdsObse;
    m_ligacao = new LigacaoCampo(mmObse, *dsObse, QStringLiteral("OBSERVACAO"), Caixa::Maiusculas);
    m_ligacao->carregar();
    connect(dsObse, &ConjuntoDados::estadoMudou, this, &TfrmCadaObse::estadoMudou);
    estadoMudou();
}

void TfrmCadaObse::estadoMudou()
{
    const bool editando = dsObse && dsObse->editando();
    actSalvar->setEnabled(editando);
    actCanc->setEnabled(editando);
}

void TfrmCadaObse::actSalvarExecute()
{
    m_ligacao->gravar();
    dsObse->gravar();
    close();
}

void TfrmCadaObse::actCancExecute()
{
    dsObse->cancelar();
    close();
}

void MostrarObservacao(TdmPrinc &dm, QWidget *pai)
{
    (new TfrmCadaObse(dm, pai))->exec();
}

} // namespace lumaro
