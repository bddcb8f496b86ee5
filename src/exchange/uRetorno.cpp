#include "uRetorno.h"

#include "ArquivoZip.h"
#include "Erros.h"
#include "PacotesAidf.h"
#include "uFuncoes.h"
#include "udmPrinc.h"

#include <QDir>
#include <QFile>

namespace lumaro {

namespace {

TipoColuna tipoColuna(TipoCampo t)
{
    switch (t) {
    case TipoCampo::Inteiro: return TipoColuna::Inteiro;
    case TipoCampo::DataHora: return TipoColuna::DataHora;
    case TipoCampo::Memo: return TipoColuna::Memo;
    default: return TipoColuna::Texto;
    }
}

// cdsRetorno is made from the packet's own field definitions, once.
void prepararRetorno(ConjuntoDados &ds)
{
    if (ds.campos().isEmpty() || ds.acharCampo(QStringLiteral("NUMERO_AIDF")) == nullptr)
        for (const CampoPacote &c : PacotesAidf::camposRetorno())
            ds.adicionarCampo(c.nome, tipoColuna(c.tipo), c.tamanho);
    ds.criar();
}

void criarPasta(const QString &pasta)
{
    if (!QDir(pasta).exists() && !QDir().mkpath(pasta))
        throw Erro(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(pasta)));
}

} // namespace

bool GerarArquivoRetorno(TdmPrinc &dm, const QString &pastaPrograma, QString &numero, QString &caminho)
{
    ConjuntoDados &ret = dm.cdsRetorno;
    ConjuntoDados &lista = dm.cdsSoliGera;
    struct Fechar { ConjuntoDados &ds; ~Fechar() { ds.fechar(); } } fechar{ret};

    prepararRetorno(ret);
    ret.inserir();
    ret.definir(QStringLiteral("NUMERO_AIDF"), lista.valor(QStringLiteral("NUMERO_AIDF_PREF")));
    ret.definir(QStringLiteral("CNPJ_PREF"), lista.valor(QStringLiteral("CNPJ_PREF")));
    ret.definir(QStringLiteral("CNPJ_RESP"), lista.valor(QStringLiteral("CNPJ_RESP")));
    ret.definir(QStringLiteral("CNPJ_SOLI"), lista.valor(QStringLiteral("CNPJ_SOLI")));
    const QVariant numeroPref = lista.valor(QStringLiteral("NUMERO_AIDF_PREF"));
    const QVariant idPref = lista.valor(QStringLiteral("ID_PREFEITURA"));

    const bool abriuPedido = !dm.cdsSoliRece.ativo();
    if (abriuPedido) {
        dm.cdsSoliRece.definirParametro(QStringLiteral("NUMERO_AIDF_PREF"), numeroPref);
        dm.cdsSoliRece.definirParametro(QStringLiteral("ID_PREFEITURA"), idPref);
        dm.cdsSoliRece.abrir();
    }
    ret.definir(QStringLiteral("FINALIZADAEM"), dm.cdsSoliRece.valor(QStringLiteral("DATA_HORA_FINALIZA")));
    ret.definir(QStringLiteral("STATUS"), dm.cdsSoliRece.valor(QStringLiteral("STATUS")));
    ret.definir(QStringLiteral("ID_SOLI_AIDF_EMISSOR"), dm.cdsSoliRece.valor(QStringLiteral("ID_SOLIC_AIDF_EMISSOR")));
    if (abriuPedido)
        dm.cdsSoliRece.fechar();

    if (!dm.cdsObse.ativo()) {
        dm.cdsObse.definirParametro(QStringLiteral("numero"), numeroPref);
        dm.cdsObse.definirParametro(QStringLiteral("id_pref"), idPref);
        dm.cdsObse.definirParametro(QStringLiteral("tipo_obs"), QStringLiteral("G"));
        dm.cdsObse.abrir();
    }
    // An unsaved change the caller left in the observation goes into the package, then is dropped.
    const QVariant observacao = dm.cdsObse.vazio() && !dm.cdsObse.editando()
        ? QVariant() : dm.cdsObse.valor(QStringLiteral("OBSERVACAO"));
    ret.definir(QStringLiteral("OBSERVACAO"), observacao);
    dm.cdsObse.fechar();
    ret.gravar();

    const QString pasta = QDir::cleanPath(pastaPrograma);
    criarPasta(pasta + QStringLiteral("/Aidfs"));
    criarPasta(pasta + QStringLiteral("/Aidfs/Retorno"));
    numero = CompletarZeros(numeroPref.toString(), 9);
    caminho = pasta + QStringLiteral("/Aidfs/Retorno/") + numero + QStringLiteral("GrafRe");

    PacoteDados pacote = PacotesAidf::novoRetorno();
    pacote.adicionarRegistro();
    for (const Campo *c : ret.campos())
        pacote.definirValor(c->nome, c->valor());
    const QString dados = caminho + QStringLiteral(".Aidf");
    pacote.gravarArquivo(dados);
    // A failed add is an error of this operation, never a package reported as written.
    ArquivoZip::adicionarArquivo(caminho + QStringLiteral(".Graf"), dados);
    if (!QFile::remove(dados))
        throw Erro(QStringLiteral("Não foi possível apagar o arquivo %1.").arg(QDir::toNativeSeparators(dados)));
    return true;
}

} // namespace lumaro
