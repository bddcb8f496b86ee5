#include "ufrmCadaParam.h"

#include "ConjuntoDados.h"
#include "uFuncoes.h"
#include "udmPrinc.h"

#include <QCheckBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionTab>
#include <QTabBar>

namespace lumaro {

namespace {

class AbasPintadas : public QTabBar
{
public:
    using QTabBar::QTabBar;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter g(this);
        for (int i = 0; i < count(); ++i) {
            const QRect r = tabRect(i);
            const bool ativa = i == currentIndex();
            g.fillRect(r, ativa ? QColor(39, 64, 88) : QColor(202, 202, 202));
            g.setPen(ativa ? QColor(Qt::white) : QColor(0, 0, 128));
            g.drawText(r.adjusted(3, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop, tabText(i));
        }
    }
};

} // namespace

PaginasPintadas::PaginasPintadas(QWidget *pai) : QTabWidget(pai)
{
    setTabBar(new AbasPintadas(this));
}

TfrmCadaParam::TfrmCadaParam(TdmPrinc &dm, QWidget *pai) : TfrmCadaPadrao(dm, pai)
{
    setObjectName(QStringLiteral("frmCadaParam"));
    setWindowTitle(QStringLiteral("Parametros do Sistema"));
    setProperty("contextoAjuda", 10);
    setFixedSize(612, 290);
    Label1->hide();
    edtPrinc->hide();

    PC = new PaginasPintadas(this);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setGeometry(0, 53, 612, 237);
    tsConfEmai = new QWidget;
    tsConfEmai->setObjectName(QStringLiteral("tsConfEmai"));
    PC->addTab(tsConfEmai, QStringLiteral("Conta de e-mail"));

    auto linha = [&](const QString &nome, const QString &legenda, int topo, int largura) {
        auto *l = new QLabel(legenda, tsConfEmai);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(0, topo, 157, 21);
        auto *e = new QLineEdit(tsConfEmai);
        e->setObjectName(nome);
        e->setGeometry(164, topo, largura, 21);
        l->setBuddy(e);
        return e;
    };
    edtemailEnvi = linha(QStringLiteral("edtemailEnvi"), QStringLiteral("e-Mail de envio"), 36, 420);
    edtServSMTP = linha(QStringLiteral("edtServSMTP"), QStringLiteral("Servidor SMTP"), 68, 420);
    edtLogi = linha(QStringLiteral("edtLogi"), QStringLiteral("Login do e-mail"), 100, 173);
    edtSenh = linha(QStringLiteral("edtSenh"), QStringLiteral("Senha do e-mail"), 128, 173);
    edtSenh->setEchoMode(QLineEdit::Password);
    edtSenh->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    edtPort = linha(QStringLiteral("edtPort"), QStringLiteral("Porta de saída"), 156, 73);
    edtPort->setValidator(new QIntValidator(0, 32767, edtPort));
    DBCheckBox1 = new QCheckBox(QStringLiteral("Manter Cópia no Outlook"), tsConfEmai);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->setGeometry(164, 182, 300, 21);

    FormCreate();
}

void TfrmCadaParam::FormCreate()
{
    if (!dsPrinc())
        setDsPrinc(&m_dm.cdsParam);
    ligar(edtemailEnvi, QStringLiteral("EMAIL_ENVIO"), Caixa::Minusculas);
    ligar(edtServSMTP, QStringLiteral("SERVIDOR_SMTP"), Caixa::Minusculas);
    ligar(edtLogi, QStringLiteral("LOGIN_EMAIL_ENVIO"));
    ligar(edtSenh, QStringLiteral("SENHA_EMAIL_ENVIO"));
    ligar(edtPort, QStringLiteral("PORTA_PARA_SMTP"));
    ligar(DBCheckBox1, QStringLiteral("OUTLOOK"));
    setFocusProxy(edtemailEnvi);
}

void TfrmCadaParam::showEvent(QShowEvent *e)
{
    // A database older than the OUTLOOK column has no copy option.
    DBCheckBox1->setVisible(dsPrinc() && dsPrinc()->ativo() && dsPrinc()->acharCampo(QStringLiteral("OUTLOOK")));
    carregarControles();
    TfrmCadaPadrao::showEvent(e);
    edtemailEnvi->setFocus(Qt::OtherFocusReason);
}

void TfrmCadaParam::actSalvarExecute()
{
    ConjuntoDados &ds = *dsPrinc();
    gravarControles();
    const QString nome = QStringLiteral("SENHA_EMAIL_ENVIO");
    Campo &senha = ds.campo(nome);
    const QVariant antes = ds.valorAntigo(nome);
    const bool mudou = ds.estado() == EstadoDs::Inserindo || senha.nulo() != antes.isNull()
                       || senha.texto() != antes.toString();
    // What is stored is the scrambled form; an untouched password already is.
    if (mudou && !senha.nulo())
        senha.definir(CodificarSenha(senha.texto()));
    ds.gravar();
    if (m_dm.emTransacao())
        m_dm.confirmarTransacao();
    ds.fechar();
    close();
}

TfrmCadaParam *CriarCadaParam(TdmPrinc &dm, QWidget *pai)
{
    auto *f = new TfrmCadaParam(dm, pai);
    try {
        if (!dm.cdsParam.ativo())
            dm.cdsParam.abrir();
        dm.cdsParam.editar();
    } catch (...) {
        delete f;
        throw;
    }
    f->carregarControles();
    return f;
}

void EditarParametros(TdmPrinc &dm, QWidget *pai)
{
    CriarCadaParam(dm, pai)->exec();
}

} // namespace lumaro
