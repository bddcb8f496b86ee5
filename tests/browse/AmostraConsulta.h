#pragma once

// Requests put in a throwaway database with plain SQL, each test stating only what it needs.

#include "BaseTemporaria.h"

#include <QDateTime>
#include <QVariant>

namespace amostra {

struct Solicitacao
{
    int numero = 1;
    int prefeitura = 0;
    int responsavel = 0;
    int solicitante = 0;
    QVariant status = QStringLiteral("2");
    QVariant cadastro = QDateTime(QDate(2024, 3, 4), QTime(9, 15));
    QVariant aprovacao = QDateTime(QDate(2024, 3, 5), QTime(16, 2));
    QVariant finalizacao;
    QString modelo = QStringLiteral("Nota Fiscal de Serviços");
};

class Base
{
public:
    lumaro::teste::ModuloTeste mt;

    Base() { mt.grafica(); }

    lumaro::TdmPrinc &dm() { return mt.dm(); }

    int prefeitura(const QString &nome, const QString &cnpj = QStringLiteral("46395000000139"))
    {
        const int id = dm().NovoID(QStringLiteral("PREFEITURA"));
        const int cidade = mt.cidade(nome.mid(nome.lastIndexOf(u' ') + 1).left(30), QStringLiteral("SP"));
        dm().executarGeral(QStringLiteral("insert into PREFEITURA (ID_PREFEITURA, CNPJ, NOME, ID_CIDADE) values (?, ?, ?, ?)"),
                           {id, cnpj, nome, cidade});
        return id;
    }

    int empresa(const QString &razao, const QString &cnpj, const QString &im = QString())
    {
        const int id = dm().NovoID(QStringLiteral("EMPRESA"));
        dm().executarGeral(QStringLiteral("insert into EMPRESA (ID_EMPRESA, CNPJ_CPF, RAZAO_SOCIAL, IMUNICIPAL) values (?, ?, ?, ?)"),
                           {id, cnpj, razao, im.isEmpty() ? QVariant() : QVariant(im)});
        return id;
    }

    void solicitacao(const Solicitacao &s)
    {
        dm().executarGeral(
            QStringLiteral("insert into SOLIC_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, ID_RESPONSAVEL, ID_SOLICITANTE, "
                           "ID_GRAFICA, MODELO_NF, TIPO_NF, NUME_INICIAL, NUME_FINAL, QUANTIDADE, STATUS, "
                           "DATA_HORA_CADASTRO, DATA_HORA_APROV_REPROV, DATA_HORA_FINALIZA, ID_SOLIC_AIDF_EMISSOR) "
                           "values (?, ?, ?, ?, 1, ?, 'Talão', 1, 500, 500, ?, ?, ?, ?, 1)"),
            {s.numero, s.prefeitura, s.responsavel, s.solicitante, s.modelo, s.status, s.cadastro, s.aprovacao,
             s.finalizacao});
    }

    void observacao(int numero, int prefeitura, const QString &tipo, const QString &texto)
    {
        dm().executarGeral(QStringLiteral("insert into OBSER_SOLI_AIDF (NUMERO_AIDF_PREF, ID_PREFEITURA, TIPO_OBSERVACAO, "
                                          "OBSERVACAO) values (?, ?, ?, ?)"),
                           {numero, prefeitura, tipo, texto});
    }
};

} // namespace amostra
