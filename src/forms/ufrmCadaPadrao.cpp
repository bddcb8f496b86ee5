#include "ufrmCadaPadrao.h"

#include "Artes.h"
#include "ConjuntoDados.h"
#include "Dialogos.h"
#include "udmPrinc.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace lumaro {

TfrmCadaPadrao::TfrmCadaPadrao(TdmPrinc &dm, QWidget *pai) : TfrmPadrao(pai), m_dm(dm)
{
    setObjectName(QStringLiteral("frmCadaPadrao"));
    setWindowTitle(QStringLiteral("Padrão para cadastro"));
    // No border icons: the form closes through its own actions only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setProperty("palavraAjuda", QStringLiteral("F1"));

    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(QFont(QStringLiteral("Arial")));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setGeometry(8, 68, 100, 21);
    edtPrinc = new QLineEdit(this);
    edtPrinc->setObjectName(QStringLiteral("edtPrinc"));
    edtPrinc->setGeometry(114, 68, 200, 21);
    PintarControle(edtPrinc, kCorSemFoco);
    Label1->setBuddy(edtPrinc);

    actSalvar = criarAcao(QStringLiteral("actSalvar"), QStringLiteral("Salvar"), QStringLiteral("Salvar registro corrente"),
                          QKeySequence(Qt::CTRL | Qt::Key_S));
    actCanc = criarAcao(QStringLiteral("actCanc"), QStringLiteral("Cancelar"), QStringLiteral("Cancelar operação corrente"),
                        QKeySequence(Qt::Key_F7));
    connect(actSalvar, &QAction::triggered, this, [this] { protegido([this] { actSalvarExecute(); }); });
    connect(actCanc, &QAction::triggered, this, [this] { protegido([this] { actCancExecute(); }); });
    sbtnSalv = adicionarBotao(QStringLiteral("sbtnSalv"), actSalvar, artes::botaoSalvar());
    sbtnCanc = adicionarBotao(QStringLiteral("sbtnCanc"), actCanc, artes::botaoCancelar());
    actSalvar->setEnabled(false);
    actCanc->setEnabled(false);

    connect(&dm, &TdmPrinc::focarCampo, this, &TfrmCadaPadrao::focarCampo);
}

void TfrmCadaPadrao::setDsPrinc(ConjuntoDados *ds)
{
    if (m_conexaoEstado)
        disconnect(m_conexaoEstado);
    m_dsPrinc = ds;
    if (ds)
        m_conexaoEstado = connect(ds, &ConjuntoDados::estadoMudou, this, [this] { dsPrincStateChange(); });
    const bool editando = ds && ds->editando();
    actSalvar->setEnabled(editando);
    actCanc->setEnabled(editando);
}

LigacaoCampo *TfrmCadaPadrao::ligar(QWidget *controle, const QString &campo, Caixa caixa)
{
    auto *l = new LigacaoCampo(controle, *m_dsPrinc, campo, caixa);
    l->aoEntrar = [this](QWidget *w) { edtPrincEnter(w); };
    l->aoSair = [this](QWidget *w) { edtPrincExit(w); };
    PintarControle(controle, kCorSemFoco);
    m_ligacoes << l;
    l->carregar();
    return l;
}

void TfrmCadaPadrao::carregarControles()
{
    for (LigacaoCampo *l : std::as_const(m_ligacoes))
        l->carregar();
}

void TfrmCadaPadrao::gravarControles()
{
    for (LigacaoCampo *l : std::as_const(m_ligacoes))
        l->gravar();
}

void TfrmCadaPadrao::edtPrincEnter(QWidget *controle)
{
    PintarControle(controle, kCorFoco);
}

void TfrmCadaPadrao::edtPrincExit(QWidget *controle)
{
    PintarControle(controle, kCorSemFoco);
}

void TfrmCadaPadrao::focarCampo(ConjuntoDados *ds, const QString &campo)
{
    if (ds != m_dsPrinc || !isVisible())
        return;
    for (LigacaoCampo *l : std::as_const(m_ligacoes))
        if (l->nomeCampo().compare(campo, Qt::CaseInsensitive) == 0 && l->controle() && l->controle()->isVisible()) {
            l->controle()->setFocus(Qt::OtherFocusReason);
            return;
        }
}

void TfrmCadaPadrao::dsPrincStateChange()
{
    const bool editando = m_dsPrinc && m_dsPrinc->editando();
    actSalvar->setEnabled(editando);
    actCanc->setEnabled(editando);
    if (editando && !m_dm.emTransacao())
        m_dm.iniciarTransacao();
}

void TfrmCadaPadrao::actSalvarExecute()
{
    if (!m_dsPrinc)
        return;
    ConjuntoDados &ds = *m_dsPrinc;
    gravarControles();
    if (!m_dm.VerificarObrigatorios(ds))
        return;
    ds.gravar();
    if (m_dm.emTransacao())
        m_dm.confirmarTransacao();
    actFecharExecute();
}

void TfrmCadaPadrao::actCancExecute()
{
    if (m_dsPrinc) {
        m_dsPrinc->cancelar();
        // A change the database refused is still held by the dataset: let it go.
        if (m_dsPrinc->alteracoesPendentes() > 0)
            m_dsPrinc->cancelarAtualizacoes();
    }
    close();
}

void TfrmCadaPadrao::actFecharExecute()
{
    if (m_dsPrinc && m_dsPrinc->editando()
        && dialogos().pergunta(QStringLiteral("Pergunta"), QStringLiteral("Este registro está em modo de edição! Deseja salvá-lo?")))
        actSalvarExecute();
    else
        actCancExecute();
    TfrmPadrao::actFecharExecute();
}

void TfrmCadaPadrao::FormActivate()
{
    // Stored once: a second activation would save the left alignment as the original one.
    if (!m_dsPrinc || !m_dsPrinc->ativo() || !m_alinhamentos.isEmpty())
        return;
    for (Campo *c : m_dsPrinc->campos()) {
        m_alinhamentos << TAligField{c->nome, c->alinhamento};
        if (c->tipo != TipoColuna::Decimal && c->nome != QLatin1String("ANO"))
            c->alinhamento = Qt::AlignLeft;
    }
    carregarControles();
}

void TfrmCadaPadrao::showEvent(QShowEvent *e)
{
    TfrmPadrao::showEvent(e);
    FormActivate();
}

void TfrmCadaPadrao::closeEvent(QCloseEvent *e)
{
    if (m_dsPrinc)
        for (const TAligField &a : std::as_const(m_alinhamentos))
            if (Campo *c = m_dsPrinc->acharCampo(a.nome))
                c->alinhamento = a.alinhamento;
    m_alinhamentos.clear();
    TfrmPadrao::closeEvent(e);
}

} // namespace lumaro
