#include "ModeloSolicitacoes.h"

#include "ConjuntoDados.h"

namespace lumaro {

ModeloSolicitacoes::ModeloSolicitacoes(ConjuntoDados &ds, QObject *pai) : QAbstractTableModel(pai), m_ds(ds)
{
    reconstruirColunas();
    connect(&m_ds, &ConjuntoDados::dadosMudaram, this, [this] {
        beginResetModel();
        reconstruirColunas();
        endResetModel();
    });
    connect(&m_ds, &ConjuntoDados::linhaMudou, this, [this](int linha) {
        if (linha >= 0 && linha < rowCount())
            emit dataChanged(index(linha, 0), index(linha, columnCount() - 1));
    });
}

void ModeloSolicitacoes::reconstruirColunas()
{
    // Every visible field: first those of the grid's own order, then any other in field order.
    QList<int> campos;
    for (const ColunaGrade &c : colunasGrade())
        if (const Campo *f = m_ds.acharCampo(QString::fromLatin1(c.campo)); f && f->visivel)
            campos << f->indice();
    for (const Campo *f : m_ds.campos())
        if (f->visivel && !campos.contains(f->indice()))
            campos << f->indice();
    if (campos != m_campos || m_ordenacao.cores.size() != size_t(campos.size())) {
        m_campos = campos;
        m_ordenacao.cores.resize(size_t(campos.size()));
    }
    const Campo *s = m_ds.acharCampo(QStringLiteral("STATUS"));
    m_campoStatus = s ? s->indice() : -1;
}

int ModeloSolicitacoes::rowCount(const QModelIndex &pai) const
{
    return pai.isValid() || !m_ds.ativo() ? 0 : m_ds.quantidade();
}

int ModeloSolicitacoes::columnCount(const QModelIndex &pai) const
{
    return pai.isValid() ? 0 : int(m_campos.size());
}

int ModeloSolicitacoes::campoDaColuna(int coluna) const
{
    return coluna >= 0 && coluna < m_campos.size() ? m_campos[coluna] : -1;
}

QString ModeloSolicitacoes::nomeCampo(int coluna) const
{
    const int f = campoDaColuna(coluna);
    return f < 0 ? QString() : m_ds.campos()[f]->nome;
}

QString ModeloSolicitacoes::tituloColuna(int coluna) const
{
    const int f = campoDaColuna(coluna);
    return f < 0 ? QString() : m_ds.campos()[f]->nomeExibicao();
}

bool ModeloSolicitacoes::colunaMemo(int coluna) const
{
    const int f = campoDaColuna(coluna);
    return f >= 0 && m_ds.campos()[f]->tipo == TipoColuna::Memo;
}

int ModeloSolicitacoes::larguraColuna(int coluna) const
{
    const int f = campoDaColuna(coluna);
    if (f < 0)
        return 10;
    const Campo *c = m_ds.campos()[f];
    return c->larguraExibicao > 0 ? c->larguraExibicao : qBound(4, c->tamanho, 60);
}

void ModeloSolicitacoes::coresMudaram()
{
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
    emit headerDataChanged(Qt::Horizontal, 0, qMax(0, columnCount() - 1));
}

QVariant ModeloSolicitacoes::data(const QModelIndex &i, int papel) const
{
    if (!i.isValid() || i.row() >= rowCount())
        return {};
    const int f = campoDaColuna(i.column());
    if (f < 0)
        return {};
    switch (papel) {
    case Qt::DisplayRole: {
        if (colunaMemo(i.column()))
            return textoEmUmaLinha(m_ds.valorEm(i.row(), f).toString());
        return m_ds.textoExibicaoEm(i.row(), f);
    }
    case Qt::ForegroundRole:
        return m_campoStatus < 0 ? cores::preto : corStatus(m_ds.valorEm(i.row(), m_campoStatus));
    case Qt::BackgroundRole: {
        const QColor c = m_ordenacao.cores[size_t(i.column())];
        return c.isValid() ? c : cores::painel;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(m_ds.campos()[f]->alinhamento | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant ModeloSolicitacoes::headerData(int secao, Qt::Orientation o, int papel) const
{
    if (o != Qt::Horizontal)
        return {};
    switch (papel) {
    case Qt::DisplayRole:
        return tituloColuna(secao);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (m_ordenacao.titulosCentralizados ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
    default:
        return {};
    }
}

} // namespace lumaro
