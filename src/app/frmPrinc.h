#pragma once

// The main window: tree menu, work area, status line, date panel; the start-up sequence and the
// dispatch of the menu's commands.

#include <QColor>
#include <QMainWindow>
#include <functional>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class QWidget;

namespace lumaro {

class ConjuntoDados;
class TdmPrinc;

class TfrmPrincipal : public QMainWindow
{
    Q_OBJECT
public:
    // The operations that later parts of the program plug in. One left empty does nothing.
    struct Operacoes
    {
        std::function<void()> mostrarAvisoInicial;      // start-up notice
        // Connection failure: returns true when the connection is open after all; may call
        // executarInicializacao() again itself (then it returns false after setting `repetiu`).
        std::function<bool(const QString &erro, bool &repetiu)> diagnosticarConexao;
        std::function<void()> atualizarBase;            // the update library
        std::function<void()> AbrirCadastroGrafica;     // command 1
        std::function<void()> ReceberArquivo;           // command 2
        std::function<void()> MostrarConsulta;          // command 3
        std::function<void()> FinalizarAIDF;            // command 4
        std::function<void()> RecusarAIDF;              // command 5
        std::function<void()> ImprimirAIDF;             // command 6
        std::function<void()> SalvarEmDisco;            // command 7
        std::function<void()> MostrarSobre;             // command 8
        std::function<void()> EditarParametros;         // command 10
        std::function<void()> MontarLegenda;            // when first shown
        std::function<void()> LiberarDocumento;         // when closing
    };

    TfrmPrincipal(TdmPrinc &dm, const QString &pastaPrograma, QWidget *pai = nullptr);
    ~TfrmPrincipal() override;

    Operacoes operacoes;

    // FormCreate's sequence; runs again when the connection diagnosis started the server.
    void executarInicializacao();
    // FormShow's steps; called once, when the window is first shown.
    void FormShow();

    void executarComando(int comando);
    void TVClick();

    // Status line.
    void AtualizarStatus(const QString &texto, const QColor &painel, const QColor &corTexto);
    void AtualizarStatus(const ConjuntoDados &ds);
    QString textoStatus() const;
    QColor corPainelStatus() const;
    QColor corTextoStatus() const;
    // Progress beside the status text ("i de n"); empty hides it.
    void AtualizarProgresso(const QString &texto);

    QString textoData() const;
    QString arquivoAjuda() const { return m_arquivoAjuda; }
    QString pastaPrograma() const { return m_pasta; }
    bool guardaExpansao() const { return m_guarda; }
    bool modoReenvio() const { return m_reenvio; }

    QTreeWidget *TV() const { return m_tv; }
    QTreeWidgetItem *no(int comando) const;   // the node of a command
    // The work area to the right of the menu, where the query panel and the registration live.
    QWidget *areaTrabalho() const { return m_area; }
    QVBoxLayout *layoutTrabalho() const { return m_layoutArea; }

    // Help: opens the HTML help at the topic of a help context (0: contents).
    void abrirAjuda(int contexto);

    static QString dataPorExtenso(const QDate &d);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void montarMenu();
    void FormClose();
    void reenviar();

    TdmPrinc &m_dm;
    QString m_pasta;
    QString m_arquivoAjuda;
    QTreeWidget *m_tv = nullptr;
    QWidget *m_area = nullptr;
    QVBoxLayout *m_layoutArea = nullptr;
    QLabel *m_pnlStat = nullptr;
    QLabel *m_progresso = nullptr;
    QLabel *m_pnlData = nullptr;
    bool m_guarda = false;
    bool m_reenvio = false;
    bool m_mostrada = false;
    bool m_fechada = false;
    int m_execucoes = 0;
};

} // namespace lumaro
