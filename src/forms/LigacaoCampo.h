#pragma once

// Data-bound controls: a line edit, pick list, check box or memo tied to one field of a client
// dataset. The control shows the field; what the operator typed goes into the field when the
// control loses the focus or when the form saves, where the field's rules may refuse it.

#include <QColor>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace lumaro {

class Campo;
class ConjuntoDados;

enum class Caixa { Normal, Maiusculas, Minusculas };

// Focus colours of data-bound controls.
inline const QColor kCorFoco(255, 255, 213);
inline const QColor kCorSemFoco(255, 255, 255);

// Sets the colour of a control that has one (edits, pick lists, memos); others are left alone.
void PintarControle(QWidget *controle, const QColor &cor);

// Turns an edit mask of the data layer ("99.999.999/9999-99;0;_") into the line edit's.
QString mascaraQt(const QString &mascara);
// The value a masked edit stores: without the literals when the mask says so, empty when blank.
QString valorMascarado(const QString &mascara, const QString &textoExibido);

class LigacaoCampo : public QObject
{
    Q_OBJECT
public:
    // Supported controls: QLineEdit, QComboBox (pick list), QCheckBox ("S"/"N"), QPlainTextEdit.
    LigacaoCampo(QWidget *controle, ConjuntoDados &ds, const QString &campo, Caixa caixa = Caixa::Normal);

    // The binding of a control, or null.
    static LigacaoCampo *de(const QWidget *controle);

    QWidget *controle() const { return m_controle; }
    ConjuntoDados &conjunto() const { return m_ds; }
    QString nomeCampo() const { return m_campo; }
    Campo *campo() const;               // null while the dataset is closed or lacks the field
    bool alterado() const { return m_alterado; }

    void carregar();                    // field -> control
    // control -> field when the operator changed it; throws what the field's rules throw.
    void gravar();

    std::function<void(QWidget *)> aoEntrar;
    std::function<void(QWidget *)> aoSair;

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    QString textoDoControle() const;
    void converterCaixa();

    QPointer<QWidget> m_controle;
    ConjuntoDados &m_ds;
    QString m_campo;
    Caixa m_caixa;
    bool m_carregando = false;
    bool m_alterado = false;
};

} // namespace lumaro
