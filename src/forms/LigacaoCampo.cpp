#include "LigacaoCampo.h"

#include "ConjuntoDados.h"
#include "Dialogos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

namespace lumaro {

namespace {

const char *const kPropLigacao = "lumaroLigacao";

bool ehEntrada(QChar c)
{
    return QStringLiteral("90LlAaCc#").contains(c);
}

struct PartesMascara
{
    QString padrao;
    bool salvaLiterais = true;
    QChar branco = u'_';
};

PartesMascara partes(const QString &mascara)
{
    PartesMascara p;
    const QStringList s = mascara.split(u';');
    p.padrao = s.value(0);
    if (s.size() > 1)
        p.salvaLiterais = s.at(1) != QLatin1String("0");
    if (s.size() > 2 && !s.at(2).isEmpty())
        p.branco = s.at(2).at(0);
    return p;
}

} // namespace

void PintarControle(QWidget *controle, const QColor &cor)
{
    if (!qobject_cast<QLineEdit *>(controle) && !qobject_cast<QComboBox *>(controle)
        && !qobject_cast<QPlainTextEdit *>(controle))
        return;
    QPalette p = controle->palette();
    p.setColor(QPalette::Base, cor);
    p.setColor(QPalette::Button, cor);
    controle->setPalette(p);
}

QString mascaraQt(const QString &mascara)
{
    const PartesMascara p = partes(mascara);
    QString r;
    for (int i = 0; i < p.padrao.size(); ++i) {
        const QChar c = p.padrao.at(i);
        switch (c.unicode()) {
        case u'9': r += u'0'; break;   // optional digit
        case u'0': r += u'9'; break;   // required digit
        case u'L': r += u'A'; break;
        case u'l': r += u'a'; break;
        case u'A': r += u'N'; break;
        case u'a': r += u'n'; break;
        case u'C': r += u'X'; break;
        case u'c': r += u'x'; break;
        case u'#': r += u'#'; break;
        case u'\\':
            if (i + 1 < p.padrao.size())
                r += u'\\' + QString(p.padrao.at(++i));
            break;
        default:
            if (QStringLiteral("AaNnXx90Dd#HhBb><!;[]{}\\").contains(c))
                r += u'\\';
            r += c;
        }
    }
    return r + u';' + p.branco;
}

QString valorMascarado(const QString &mascara, const QString &textoExibido)
{
    const PartesMascara p = partes(mascara);
    QString r;
    bool algum = false;
    int pos = 0;
    for (int i = 0; i < p.padrao.size(); ++i, ++pos) {
        QChar c = p.padrao.at(i);
        bool literal = !ehEntrada(c);
        if (c == u'\\' && i + 1 < p.padrao.size()) {
            c = p.padrao.at(++i);
            literal = true;
        }
        const QChar t = pos < textoExibido.size() ? textoExibido.at(pos) : QChar(u' ');
        if (literal) {
            if (p.salvaLiterais)
                r += c;
        } else if (t != p.branco && t != u' ') {
            r += t;
            algum = true;
        }
    }
    return algum ? r : QString();
}

LigacaoCampo::LigacaoCampo(QWidget *controle, ConjuntoDados &ds, const QString &campo, Caixa caixa)
    : QObject(controle), m_controle(controle), m_ds(ds), m_campo(campo), m_caixa(caixa)
{
    controle->setProperty("DataField", campo);
    controle->setProperty(kPropLigacao, QVariant::fromValue<QObject *>(this));
    controle->installEventFilter(this);
    if (auto *e = qobject_cast<QLineEdit *>(controle)) {
        connect(e, &QLineEdit::textEdited, this, [this] {
            m_alterado = true;
            converterCaixa();
        });
    } else if (auto *c = qobject_cast<QComboBox *>(controle)) {
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_carregando)
                m_alterado = true;
        });
    } else if (auto *b = qobject_cast<QCheckBox *>(controle)) {
        // A check box writes at once, as the operator clicks.
        connect(b, &QCheckBox::clicked, this, [this] {
            m_alterado = true;
            protegido([this] { gravar(); });
        });
    } else if (auto *m = qobject_cast<QPlainTextEdit *>(controle)) {
        connect(m, &QPlainTextEdit::textChanged, this, [this] {
            if (!m_carregando)
                m_alterado = true;
        });
    }
    for (auto sinal : {&ConjuntoDados::estadoMudou, &ConjuntoDados::dadosMudaram})
        connect(&ds, sinal, this, &LigacaoCampo::carregar);
    connect(&ds, &ConjuntoDados::posicaoMudou, this, &LigacaoCampo::carregar);
    connect(&ds, &ConjuntoDados::linhaMudou, this, &LigacaoCampo::carregar);
}

LigacaoCampo *LigacaoCampo::de(const QWidget *controle)
{
    if (!controle)
        return nullptr;
    return qobject_cast<LigacaoCampo *>(controle->property(kPropLigacao).value<QObject *>());
}

Campo *LigacaoCampo::campo() const
{
    return m_ds.ativo() ? m_ds.acharCampo(m_campo) : nullptr;
}

void LigacaoCampo::carregar()
{
    if (!m_controle)
        return;
    const Campo *c = campo();
    const bool temRegistro = c && (m_ds.editando() || !m_ds.vazio());
    const QVariant v = temRegistro ? c->valor() : QVariant();
    const QString texto = temRegistro ? c->texto() : QString();
    m_carregando = true;
    if (auto *e = qobject_cast<QLineEdit *>(m_controle)) {
        if (c && !c->mascara.isEmpty() && e->inputMask().isEmpty())
            e->setInputMask(mascaraQt(c->mascara));
        if (c)
            e->setAlignment(c->alinhamento | Qt::AlignVCenter);
        e->setText(texto);
    } else if (auto *cb = qobject_cast<QComboBox *>(m_controle)) {
        cb->setCurrentIndex(cb->findText(texto));
    } else if (auto *b = qobject_cast<QCheckBox *>(m_controle)) {
        b->setChecked(texto == QLatin1String("S"));
    } else if (auto *m = qobject_cast<QPlainTextEdit *>(m_controle)) {
        QString t = texto;
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (m->toPlainText() != t)
            m->setPlainText(t);
    }
    m_carregando = false;
    m_alterado = false;
}

QString LigacaoCampo::textoDoControle() const
{
    if (auto *e = qobject_cast<QLineEdit *>(m_controle)) {
        const Campo *c = campo();
        if (c && !c->mascara.isEmpty())
            return valorMascarado(c->mascara, e->displayText());
        return e->text();
    }
    if (auto *cb = qobject_cast<QComboBox *>(m_controle))
        return cb->currentIndex() < 0 ? QString() : cb->currentText();
    if (auto *b = qobject_cast<QCheckBox *>(m_controle))
        return b->isChecked() ? QStringLiteral("S") : QStringLiteral("N");
    if (auto *m = qobject_cast<QPlainTextEdit *>(m_controle)) {
        QString t = m->toPlainText();
        t.replace(u'\n', QLatin1String("\r\n"));
        return t;
    }
    return QString();
}

void LigacaoCampo::gravar()
{
    Campo *c = campo();
    if (!m_alterado || !m_controle || !c || !m_ds.editando())
        return;
    const QString t = textoDoControle();
    c->definir(t.isEmpty() ? QVariant() : QVariant(t));
    m_alterado = false;
}

void LigacaoCampo::converterCaixa()
{
    auto *e = qobject_cast<QLineEdit *>(m_controle);
    if (!e || m_caixa == Caixa::Normal || !e->inputMask().isEmpty())
        return;
    static const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    const QString t = m_caixa == Caixa::Maiusculas ? br.toUpper(e->text()) : br.toLower(e->text());
    if (t == e->text())
        return;
    const int cursor = e->cursorPosition();
    e->setText(t);
    e->setCursorPosition(cursor);
}

bool LigacaoCampo::eventFilter(QObject *o, QEvent *e)
{
    if (o != m_controle)
        return false;
    switch (e->type()) {
    case QEvent::FocusIn:
        if (aoEntrar)
            aoEntrar(m_controle);
        break;
    case QEvent::FocusOut: {
        if (aoSair)
            aoSair(m_controle);
        const auto motivo = static_cast<QFocusEvent *>(e)->reason();
        // Another window coming up (a message box) is no leaving of the field.
        if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason)
            break;
        QPointer<QWidget> controle = m_controle;
        if (!protegido([this] { gravar(); }) && controle)
            controle->setFocus(Qt::OtherFocusReason);
        break;
    }
    case QEvent::KeyPress:
        // Memos take every typed letter in upper case, accented ones included.
        if (auto *m = qobject_cast<QPlainTextEdit *>(m_controle); m && m_caixa != Caixa::Normal) {
            auto *k = static_cast<QKeyEvent *>(e);
            static const QLocale br(QLocale::Portuguese, QLocale::Brazil);
            const QString t = m_caixa == Caixa::Maiusculas ? br.toUpper(k->text()) : br.toLower(k->text());
            if (!k->text().isEmpty() && t != k->text()) {
                QKeyEvent convertido(k->type(), k->key(), k->modifiers(), t, k->isAutoRepeat(), ushort(k->count()));
                QCoreApplication::sendEvent(m, &convertido);
                return true;
            }
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace lumaro
