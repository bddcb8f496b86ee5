#pragma once

// The table model of grdDados: a view over the request list that reads rows in place, so that a
// long list costs nothing until its rows are painted.

#include "ConsultaAidf.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace lumaro {

class ConjuntoDados;

class ModeloSolicitacoes : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ModeloSolicitacoes(ConjuntoDados &ds, QObject *pai = nullptr);

    int rowCount(const QModelIndex &pai = {}) const override;
    int columnCount(const QModelIndex &pai = {}) const override;
    QVariant data(const QModelIndex &i, int papel) const override;
    QVariant headerData(int secao, Qt::Orientation o, int papel) const override;

    ConjuntoDados &conjunto() const { return m_ds; }
    // The field index shown in a column, -1 for none.
    int campoDaColuna(int coluna) const;
    QString nomeCampo(int coluna) const;
    QString tituloColuna(int coluna) const;
    bool colunaMemo(int coluna) const;
    int larguraColuna(int coluna) const;  // in characters

    // Column colours and title alignment, as the title-click sort leaves them.
    OrdenacaoGrade &ordenacao() { return m_ordenacao; }
    void coresMudaram();

private:
    void reconstruirColunas();

    ConjuntoDados &m_ds;
    QList<int> m_campos;        // field index per column
    int m_campoStatus = -1;
    OrdenacaoGrade m_ordenacao;
};

} // namespace lumaro
