#pragma once

#include "CriadorBase.h"
#include "udmPrinc.h"

#include <QTemporaryDir>

namespace lumaro::teste {

// A throwaway embedded database made from the schema script, in a folder removed afterwards.
class BaseTemporaria
{
public:
    explicit BaseTemporaria(const OpcoesCriacao &opcoes = {});
    QString caminho() const { return m_caminho; }
    QString pasta() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_caminho;
};

// A data module connected to a new throwaway database.
class ModuloTeste
{
public:
    explicit ModuloTeste(const OpcoesCriacao &opcoes = {});
    ~ModuloTeste();
    TdmPrinc &dm() { return *m_dm; }
    BaseTemporaria &base() { return m_base; }
    // A second, independent connection to look at what was really stored.
    QList<QVariantList> consultarFora(const QString &sql, const QVariantList &parametros = {});

    // Small helpers to put rows in place with plain SQL.
    int cidade(const QString &nome, const QString &uf);
    int bairro(const QString &nome);
    void grafica(const QString &cnpj = QStringLiteral("12345678000195"));

private:
    BaseTemporaria m_base;
    std::unique_ptr<TdmPrinc> m_dm;
};

} // namespace lumaro::teste
