#pragma once

// A client dataset: rows fetched whole from one SQL text (or built in memory), edited in memory
// and written back to the one table they come from, by key columns only. It keeps the event
// model the program's save rules hang on: before/after post, post error, reconcile error,
// after insert, field validate/change, calculated fields, after scroll, after close.

#include "BancoFirebird.h"

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <map>
#include <optional>

namespace lumaro {

class ConjuntoDados;

enum class EstadoDs { Inativo, Navegando, Editando, Inserindo, Calculando };

// What a post-error handler decides.
enum class AcaoErroGravacao { Falhar, Abortar };
// What a reconcile-error handler decides for the change that failed.
enum class AcaoConciliacao { Pular, Abortar, Corrigido, Cancelar };
enum class TipoAtualizacao { Inclusao, Alteracao, Exclusao };

class Campo
{
public:
    QString nome;
    TipoColuna tipo = TipoColuna::Texto;
    int tamanho = 0;
    bool obrigatorio = false;
    bool visivel = true;
    bool chave = false;
    bool calculado = false;
    bool gravavel = false;         // belongs to the table the dataset writes
    QString campoOrigem;           // column name in that table
    QString rotulo;                // display label; the name when empty
    QString formatoExibicao;       // Qt date/number format for display
    QString mascara;               // edit mask ("99999-999")
    int larguraExibicao = 0;       // in characters; the size when 0
    Qt::Alignment alinhamento = Qt::AlignLeft;

    std::function<void(Campo &)> aoValidar;   // throw to refuse the new value (readable through valor())
    std::function<void(Campo &)> aoMudar;

    ConjuntoDados &conjunto() const { return *m_ds; }
    int indice() const { return m_indice; }
    QString nomeExibicao() const { return rotulo.isEmpty() ? nome : rotulo; }
    bool ehBlob() const { return tipo == TipoColuna::Memo || tipo == TipoColuna::Binario; }

    QVariant valor() const;
    bool nulo() const;
    QString texto() const;               // the value as text ("" for NULL)
    QString textoExibicao() const;       // with display format or edit mask
    int inteiro() const { return valor().toInt(); }
    void definir(const QVariant &v);
    void limpar() { definir(QVariant()); }

    // The value converted to this field's type; throws Erro with the data layer's text when
    // the text is not a value of that type.
    QVariant converter(const QVariant &v) const;

private:
    friend class ConjuntoDados;
    ConjuntoDados *m_ds = nullptr;
    int m_indice = -1;
};

// Field properties set by the data module before the dataset first opens.
struct DefinicaoCampo
{
    std::optional<QString> rotulo;
    std::optional<bool> obrigatorio;
    std::optional<bool> visivel;
    std::optional<QString> formatoExibicao;
    std::optional<QString> mascara;
    std::optional<int> larguraExibicao;
    std::optional<Qt::Alignment> alinhamento;
    std::function<void(Campo &)> aoValidar;
    std::function<void(Campo &)> aoMudar;
};

class ConjuntoDados : public QObject
{
    Q_OBJECT
public:
    ConjuntoDados(const QString &nome, Conexao *conexao, QObject *pai = nullptr);
    ~ConjuntoDados() override;

    QString nome() const { return objectName(); }

    // --- what the dataset reads and writes -------------------------------------------------
    QString sql() const { return m_sql; }
    void setSql(const QString &sql);                 // CommandText; the dataset must be closed
    void definirParametro(const QString &nome, const QVariant &valor);
    QVariant parametro(const QString &nome) const;
    void setCamposChave(const QStringList &campos) { m_camposChave = campos; }
    QStringList camposChave() const { return m_camposChave; }
    void setSomenteLeitura(bool s) { m_somenteLeitura = s; }
    bool somenteLeitura() const { return m_somenteLeitura; }
    QString tabelaAtualizacao() const { return m_tabela; }
    // Binary blobs are read only when a row asks for them (lists of many rows).
    void setBinariosSobDemanda(bool s) { m_binariosSobDemanda = s; }

    // Field definitions applied when fields are created.
    DefinicaoCampo &definicao(const QString &campo);
    void adicionarCalculado(const QString &nome, TipoColuna tipo, int tamanho);
    // In-memory datasets: their fields, then criar() opens them empty.
    void adicionarCampo(const QString &nome, TipoColuna tipo, int tamanho = 0, bool obrigatorio = false);
    void criar();

    // --- opening and moving ------------------------------------------------------------------
    void abrir();
    void fechar();
    bool ativo() const { return m_estado != EstadoDs::Inativo; }
    void atualizar();                                // Refresh: fetch again, keep the row
    int quantidade() const { return int(m_ordem.size()); }
    bool vazio() const { return m_ordem.empty(); }
    int linhaAtual() const { return m_atual; }       // position in the current order, -1 when empty
    void irPara(int posicao);
    void primeiro();
    void ultimo();
    void proximo();
    void anterior();
    bool fim() const { return m_fim; }
    bool inicio() const { return m_inicio; }
    bool localizar(const QString &campos, const QVariantList &valores, bool semCaixa = false);

    // Client-side order: "A;B" ascending; empty gives the order rows were fetched in.
    void setCamposIndice(const QString &campos);
    QString camposIndice() const { return m_camposIndice; }
    // FindNearest on the first index field; throws the conversion error for an invalid value.
    void procurarProximo(const QVariant &valor);

    // --- editing --------------------------------------------------------------------------------
    EstadoDs estado() const { return m_estado; }
    bool editando() const { return m_estado == EstadoDs::Editando || m_estado == EstadoDs::Inserindo; }
    void inserir();
    void acrescentar() { inserir(); }
    void editar();                                   // an empty dataset appends
    void gravar();                                   // Post
    void cancelar();
    void excluir();
    // The row as it is in the database for the current record (NULL for a new record).
    QVariant valorAntigo(const QString &campo) const;

    int alteracoesPendentes() const { return int(m_log.size()); }
    // ApplyUpdates: writes pending changes, stopping after maxErros errors (0: the first).
    // Returns the number of errors.
    int aplicarAtualizacoes(int maxErros = 0);
    void cancelarAtualizacoes();

    // --- fields -----------------------------------------------------------------------------------
    const QList<Campo *> &campos() const { return m_campos; }
    Campo &campo(const QString &nome) const;         // throws "Field 'X' not found"
    Campo *acharCampo(const QString &nome) const;
    QVariant valor(const QString &campo) const { return this->campo(campo).valor(); }
    void definir(const QString &campo, const QVariant &v) { this->campo(campo).definir(v); }

    // Reads a field of any row (position in the current order) without moving: for views.
    QVariant valorEm(int posicao, int campo) const;
    QString textoExibicaoEm(int posicao, int campo) const;

    // --- events -----------------------------------------------------------------------------------
    std::function<void(ConjuntoDados &)> antesGravar;
    std::function<void(ConjuntoDados &)> depoisGravar;
    std::function<void(ConjuntoDados &, const Erro &, AcaoErroGravacao &)> erroGravacao;
    std::function<AcaoConciliacao(ConjuntoDados &, const ErroBanco &, TipoAtualizacao)> erroConciliacao;
    std::function<void(ConjuntoDados &)> depoisInserir;
    std::function<void(ConjuntoDados &)> aoCalcular;
    std::function<void(ConjuntoDados &)> depoisRolar;
    std::function<void(ConjuntoDados &)> depoisAbrir;
    std::function<void(ConjuntoDados &)> depoisFechar;

    // Loads rows given by the caller into an in-memory dataset (packets).
    void carregarLinhas(const QList<QVariantList> &linhas);

signals:
    void dadosMudaram();           // rows or order changed: views reset
    void linhaMudou(int posicao);  // one row's values changed
    void posicaoMudou(int posicao);
    void estadoMudou();

private:
    friend class Campo;
    struct Linha
    {
        QByteArray dados;     // compact encoding of every field, calculated ones included
    };
    struct Alteracao
    {
        quint64 id;
        TipoAtualizacao tipo;
        int linha;                    // index in m_linhas
        QVariantList antigos;         // values as fetched (update, delete)
    };

    QByteArray codificar(const QVariantList &valores) const;
    QVariant decodificar(const QByteArray &dados, int campo) const;
    QVariantList decodificarTudo(const QByteArray &dados) const;
    QVariant valorBruto(int linha, int campo) const;
    void criarCampos(const QList<Coluna> &colunas);
    void aplicarDefinicao(Campo &c);
    void calcular(QVariantList &valores, int linha);
    void reordenar();
    int compararLinhas(int a, int b) const;
    void moverPara(int posicao, bool avisar);
    void exigirEdicao() const;
    void exigirAtivo() const;
    void verificarObrigatoriosInternos();
    void verificarChaveDuplicada();
    void aplicarUma(const Alteracao &a);
    void descartarRegistro();

    Conexao *m_con;
    QString m_sql;
    QMap<QString, QVariant> m_parametros;
    QStringList m_camposChave;
    bool m_somenteLeitura = false;
    bool m_binariosSobDemanda = false;
    bool m_emMemoria = false;
    QString m_tabela;

    std::map<QString, DefinicaoCampo> m_definicoes;
    QList<Coluna> m_camposMemoria;
    QList<Coluna> m_calculados;
    QList<Campo *> m_campos;
    QHash<QString, int> m_porNome;

    std::vector<Linha> m_linhas;        // storage, fetch order
    std::vector<int> m_ordem;           // current order: indexes into m_linhas
    QString m_camposIndice;
    QList<int> m_indice;                // field indexes of the order

    EstadoDs m_estado = EstadoDs::Inativo;
    EstadoDs m_estadoAntesCalculo = EstadoDs::Inativo;
    int m_atual = -1;
    bool m_fim = true;
    bool m_inicio = true;
    QVariantList m_buffer;              // the record being edited or calculated
    QVariantList m_bufferOriginal;
    int m_linhaEditada = -1;            // storage index, -1 for a new record
    int m_posicaoInsercao = -1;

    std::vector<Alteracao> m_log;
    quint64 m_proximoId = 1;
    QHash<int, QVariantList> m_originais; // storage index -> values as in the database
};

} // namespace lumaro
