#include "ufrmCadaGraf.h"

#include "ConjuntoDados.h"
#include "uBusca.h"
#include "udmPrinc.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace lumaro {

namespace {

QPointer<TfrmCadaGraf> g_cadastro;

// Keeps the registration over the whole work area as it resizes.
class Cobrir : public QObject
{
public:
    Cobrir(QWidget *form, QWidget *area) : QObject(form), m_form(form)
    {
        area->installEventFilter(this);
        form->setGeometry(area->rect());
    }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Resize && m_form)
            m_form->setGeometry(static_cast<QWidget *>(o)->rect());
        return false;
    }

private:
    QPointer<QWidget> m_form;
};

} // namespace

const QStringList &TfrmCadaGraf::estados()
{
    static const QStringList e = {
        QStringLiteral("AC"), QStringLiteral("AL"), QStringLiteral("AM"), QStringLiteral("AP"), QStringLiteral("BA"),
        QStringLiteral("CE"), QStringLiteral("ES"), QStringLiteral("GO"), QStringLiteral("MA"), QStringLiteral("MG"),
        QStringLiteral("MS"), QStringLiteral("MT"), QStringLiteral("PA"), QStringLiteral("PB"), QStringLiteral("PE"),
        QStringLiteral("PI"), QStringLiteral("PR"), QStringLiteral("RJ"), QStringLiteral("RN"), QStringLiteral("RO"),
        QStringLiteral("RR"), QStringLiteral("RS"), QStringLiteral("SC"), QStringLiteral("SE"), QStringLiteral("SP"),
        QStringLiteral("TO")};
    return e;
}

TfrmCadaGraf::TfrmCadaGraf(TdmPrinc &dm, QWidget *pnlPrinc, std::function<void(const ConjuntoDados &)> mostrarEstado)
    : TfrmCadaPadrao(dm, nullptr), m_mostrarEstado(std::move(mostrarEstado))
{
    setObjectName(QStringLiteral("frmCadaGraf"));
    setWindowTitle(QStringLiteral("Cadastro da Gráfica"));
    setProperty("contextoAjuda", 4);
    embutir(pnlPrinc);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(230, 230, 230));
    setPalette(p);
    setLarguraBarra(577);

    const QFont arial(QStringLiteral("Arial"));
    auto rotulo = [&](QLabel *l, const QString &texto, int x, int linha) {
        l->setText(texto);
        l->setFont(arial);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(x, 78 + 32 * linha, 100, 21);
    };
    auto edicao = [&](const QString &nome, const QString &legenda, int linha, int largura, int xRotulo = 0) {
        auto *l = new QLabel(this);
        auto *e = new QLineEdit(this);
        e->setObjectName(nome);
        rotulo(l, legenda, xRotulo, linha);
        l->setBuddy(e);
        e->setGeometry(xRotulo + 106, 78 + 32 * linha, largura, 21);
        return e;
    };
    rotulo(Label1, QStringLiteral("Razão Social"), 0, 0);
    edtPrinc->setGeometry(106, 78, 455, 21);
    edtCNPJ = edicao(QStringLiteral("edtCNPJ"), QStringLiteral("C.N.P.J."), 1, 103);
    edtInsMun = edicao(QStringLiteral("edtInsMun"), QStringLiteral("Ins. Municipal"), 2, 95);
    edtInsEst = edicao(QStringLiteral("edtInsEst"), QStringLiteral("Ins. Estadual"), 2, 95, 224);
    edtEnde = edicao(QStringLiteral("edtEnde"), QStringLiteral("Endereço"), 3, 423);
    edtBai = edicao(QStringLiteral("edtBai"), QStringLiteral("Bairro"), 4, 367);
    edtCida = edicao(QStringLiteral("edtCida"), QStringLiteral("Cidade"), 5, 367);
    auto *lblUF = new QLabel(this);
    rotulo(lblUF, QStringLiteral("U.F."), 480 - 106 + 30, 5);
    lblUF->setGeometry(480, 78 + 32 * 5, 30, 21);
    cmbUF = new QComboBox(this);
    cmbUF->setObjectName(QStringLiteral("cmbUF"));
    cmbUF->addItems(estados());
    cmbUF->setGeometry(512, 78 + 32 * 5, 49, 21);
    lblUF->setBuddy(cmbUF);
    edtCEP = edicao(QStringLiteral("edtCEP"), QStringLiteral("C.E.P."), 6, 71);
    edtFone = edicao(QStringLiteral("edtFone"), QStringLiteral("Telefone"), 7, 175);
    edtMail = edicao(QStringLiteral("edtMail"), QStringLiteral("e-Mail"), 8, 447);
    edtMail->setProperty("tag", 100);

    setTabOrder(edtPrinc, edtCNPJ);
    setTabOrder(edtCNPJ, edtInsMun);
    setTabOrder(edtInsMun, edtInsEst);
    setTabOrder(edtInsEst, edtEnde);
    setTabOrder(edtEnde, edtBai);
    setTabOrder(edtBai, edtCida);
    setTabOrder(edtCida, cmbUF);
    setTabOrder(cmbUF, edtCEP);
    setTabOrder(edtCEP, edtFone);
    setTabOrder(edtFone, edtMail);

    FormCreate();
    setFocusProxy(edtPrinc);
}

TfrmCadaGraf::~TfrmCadaGraf() = default;

void TfrmCadaGraf::FormCreate()
{
    if (!dsPrinc())
        setDsPrinc(&m_dm.cdsGraf);
    ConjuntoDados &ds = *dsPrinc();
    ligar(edtPrinc, QStringLiteral("RAZAO_SOCIAL"), Caixa::Maiusculas);
    ligar(edtCNPJ, QStringLiteral("CNPJ"), Caixa::Maiusculas);
    ligar(edtInsMun, QStringLiteral("INS_MUNICIPAL"), Caixa::Maiusculas);
    ligar(edtInsEst, QStringLiteral("INS_ESTADUAL"), Caixa::Maiusculas);
    ligar(edtEnde, QStringLiteral("ENDERECO"), Caixa::Maiusculas);
    ligar(edtBai, QStringLiteral("BAIRRO"), Caixa::Maiusculas);
    ligar(edtCida, QStringLiteral("CIDADE"), Caixa::Maiusculas);
    ligar(cmbUF, QStringLiteral("UF"), Caixa::Maiusculas);
    ligar(edtCEP, QStringLiteral("CEP"), Caixa::Maiusculas);
    ligar(edtFone, QStringLiteral("TELEFONE"), Caixa::Maiusculas);
    ligar(edtMail, QStringLiteral("EMAIL"), Caixa::Minusculas);
    if (!ds.ativo())
        ds.abrir();
    ds.editar();
    // A new record got its defaults after the state change was announced.
    carregarControles();
}

void TfrmCadaGraf::dsPrincStateChange()
{
    TfrmCadaPadrao::dsPrincStateChange();
    if (m_mostrarEstado && dsPrinc())
        m_mostrarEstado(*dsPrinc());
}

void TfrmCadaGraf::actSalvarExecute()
{
    ConjuntoDados &ds = *dsPrinc();
    gravarControles();
    const QString bairro = edtBai->text().trimmed();
    if (!bairro.isEmpty())
        ds.definir(QStringLiteral("ID_BAIRRO"), BuscarBairro(m_dm, bairro));
    const QString cidade = edtCida->text().trimmed();
    if (!cidade.isEmpty())
        ds.definir(QStringLiteral("ID_CIDADE"), BuscarCidade(m_dm, cidade, cmbUF->currentText()));
    TfrmCadaPadrao::actSalvarExecute();
}

void TfrmCadaGraf::actFecharExecute()
{
    TfrmCadaPadrao::actFecharExecute();
    if (g_cadastro == this)
        g_cadastro = nullptr;
}

TfrmCadaGraf *cadastroGraficaAberto()
{
    return g_cadastro;
}

TfrmCadaGraf *AbrirCadastroGrafica(TdmPrinc &dm, QWidget *pnlPrinc, std::function<void(const ConjuntoDados &)> mostrarEstado)
{
    if (!g_cadastro || g_cadastro->parentWidget() != pnlPrinc) {
        g_cadastro = new TfrmCadaGraf(dm, pnlPrinc, std::move(mostrarEstado));
        new Cobrir(g_cadastro, pnlPrinc);
        QObject::connect(g_cadastro, &TfrmPadrao::fechou, g_cadastro, [f = g_cadastro.data()] {
            if (g_cadastro == f)
                g_cadastro = nullptr;
        });
    }
    g_cadastro->raise();
    g_cadastro->show();
    g_cadastro->edtPrinc->setFocus(Qt::OtherFocusReason);
    return g_cadastro;
}

void FecharCadastroGrafica()
{
    if (g_cadastro) {
        TfrmCadaGraf *f = g_cadastro;
        g_cadastro = nullptr;
        f->close();
    }
}

} // namespace lumaro
