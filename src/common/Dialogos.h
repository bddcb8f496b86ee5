#pragma once

#include <QString>
#include <QStringList>

namespace lumaro {

enum class Icone { Nenhum, Informacao, Aviso, Erro, Pergunta };

enum Botao : int { Nenhum = 0, Ok = 1, Sim = 2, Nao = 4, Cancelar = 8 };

// One message box or question as the operator sees it.
struct Mensagem
{
    QString titulo;
    QString texto;
    Icone icone = Icone::Nenhum;
    bool topo = false;   // stays above every other window
    int botoes = Ok;     // a combination of Botao
    Botao padrao = Ok;   // the button that Enter presses
};

// The open and save dialogs.
struct EscolhaArquivo
{
    QString titulo;
    QString filtro;          // "Texto (*.a *.b);;Todos (*)"
    QString pasta;           // starting folder
    QString nomeProposto;    // save dialog only
    QString extensaoPadrao;  // save dialog only, without the dot
    bool varios = false;     // open dialog: several files may be chosen
};

// Every message box, question and file dialog of the program passes through this one interface,
// so that operations can run with Qt's dialogs, with a console, or with a scripted fake in tests.
class Dialogos
{
public:
    virtual ~Dialogos() = default;

    virtual Botao mostrar(const Mensagem &m) = 0;
    // Empty list: cancelled.
    virtual QStringList abrirArquivos(const EscolhaArquivo &e) = 0;
    // Empty text: cancelled.
    virtual QString salvarArquivo(const EscolhaArquivo &e) = 0;

    void aviso(const QString &titulo, const QString &texto, Icone icone, bool topo = false);
    // A Yes/No question with No as default; only Yes counts as consent.
    bool pergunta(const QString &titulo, const QString &texto, Icone icone = Icone::Pergunta,
                  bool topo = false);
};

// The dialogs in use by the whole program: Qt's in the program, a console in the tools,
// a scripted fake in tests. Never null once the program or the test has started.
Dialogos &dialogos();
void definirDialogos(Dialogos *d);

// The application-wide error display: restores the default cursor (when a window system is up)
// and shows the text in the standard error box titled with the application's name.
void exibirErro(const QString &texto);
// The window layer registers how to put the default mouse cursor back before an error shows.
void definirRestauradorCursor(void (*f)());
// Runs an action and routes every escaping error to exibirErro, except a silent abort.
// Returns false when the action did not run to its end.
template <typename F>
bool protegido(F &&acao);

} // namespace lumaro

#include "Erros.h"
#include <exception>

template <typename F>
bool lumaro::protegido(F &&acao)
{
    try {
        acao();
        return true;
    } catch (const Abortar &) {
    } catch (const Erro &e) {
        exibirErro(e.texto());
    } catch (const std::exception &e) {
        exibirErro(QString::fromUtf8(e.what()));
    }
    return false;
}
