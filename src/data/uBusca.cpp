#include "uBusca.h"

#include "udmPrinc.h"

namespace lumaro {

namespace {

// Closes the dataset whatever way the lookup ends.
struct Fechar
{
    ConjuntoDados &ds;
    ~Fechar()
    {
        try {
            ds.fechar();
        } catch (...) {
        }
    }
};

int inserir(TdmPrinc &dm, ConjuntoDados &ds, const QString &entidade, const QString &parametro,
            const QString &nome, const QString *uf)
{
    const QString campoId = QStringLiteral("ID_") + entidade;
    const int id = dm.NovoID(entidade);
    Fechar f{ds};
    ds.fechar();
    // Opened empty: a row already stored under this number (IDS behind) must clash in the
    // database, where the save rules repair the identifier, not inside the dataset.
    ds.definirParametro(parametro, QVariant());
    ds.abrir();
    ds.inserir();
    ds.definir(QStringLiteral("NOME"), nome);
    if (uf)
        ds.definir(QStringLiteral("UF"), *uf);
    ds.definir(campoId, id);
    ds.gravar();
    // The identifier repair of the save path may have stored the row under another number.
    return ds.vazio() ? id : ds.valor(campoId).toInt();
}

} // namespace

int BuscarCidade(TdmPrinc &dm, const QString &nome, const QString &uf)
{
    const auto r = dm.consultarGeral(QStringLiteral("select id_cidade from CIDADE where NOME = ? and UF = ?"),
                                     {nome.trimmed(), uf});
    if (!r.isEmpty())
        return r.first().value(0).toInt();
    return inserir(dm, dm.cdsCida, QStringLiteral("CIDADE"), QStringLiteral("id_cidade"), nome, &uf);
}

int BuscarBairro(TdmPrinc &dm, const QString &nome)
{
    const auto r = dm.consultarGeral(QStringLiteral("select id_bairro from BAIRRO where NOME = ?"), {nome.trimmed()});
    if (!r.isEmpty())
        return r.first().value(0).toInt();
    return inserir(dm, dm.cdsBair, QStringLiteral("BAIRRO"), QStringLiteral("id_bairro"), nome, nullptr);
}

} // namespace lumaro
