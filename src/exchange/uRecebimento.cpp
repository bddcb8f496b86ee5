#include "uRecebimento.h"

#include "ArquivoZip.h"
#include "PacoteDados.h"
#include "PacotesAidf.h"
#include "uBusca.h"
#include "udmPrinc.h"
#include "uFuncoes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumaro {

namespace {

const QColor kVerde(0, 128, 0);
const QColor kBranco(255, 255, 255);
const QColor kCinza(230, 230, 230);
const QColor kMarinho(0, 0, 128);

// Widths of the columns that lookups compare with: a longer packet text is stored cut, so it
// has to be looked up cut as well, or every package would insert it again.
constexpr int kLarguraCnpj = 14;
constexpr int kLarguraNome = 30;   // CIDADE.NOME, BAIRRO.NOME

// The file choice keeps its folder between runs when the configuration names none.
QString g_pastaEscolha;

QString textoDe(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    default:
        return v.toString();
    }
}

// The first record of the extracted packet, field by field; a field the packet lacks is an error
// when it is read, worded as the data-access platform words it.
class Registro
{
public:
    explicit Registro(PacoteDados pacote) : m_p(std::move(pacote)) {}
    QVariant valor(const QString &campo) const { return m_p.valor(campo); }
    QString texto(const QString &campo) const { return textoDe(m_p.valor(campo)); }
    bool nulo(const QString &campo) const { return m_p.valor(campo).isNull(); }

private:
    PacoteDados m_p;
};

// Sets a field through its text form; a text longer than a text column is cut to its width.
void atribuir(ConjuntoDados &ds, const QString &nome, const QString &texto)
{
    Campo &c = ds.campo(nome);
    if ((c.tipo == TipoColuna::Texto || c.tipo == TipoColuna::TextoFixo) && c.tamanho > 0
        && texto.size() > c.tamanho) {
        c.definir(texto.left(c.tamanho));
        return;
    }
    c.definir(texto.isNull() ? QVariant() : QVariant(texto));
}

void atribuir(ConjuntoDados &ds, const QString &nome, const Registro &r, const QString &campoPacote)
{
    atribuir(ds, nome, r.texto(campoPacote));
}

// Only an image that decodes as JPEG replaces the stored one. The one already stored was decoded
// when it came in, so the same bytes again are not decoded a second time.
void definirImagem(ConjuntoDados &ds, const QString &campo, const QVariant &valor)
{
    if (valor.isNull())
        return;
    const QByteArray blob = valor.toByteArray();
    const QByteArray imagem = bytesDaImagem(blob);
    const QVariant atual = ds.valor(campo);
    if (!atual.isNull() && atual.toByteArray() == imagem)
        return;
    if (ehImagemJpeg(blob))
        ds.definir(campo, imagem);
}

void mensagem(const QString &titulo, const QString &texto, Icone icone)
{
    dialogos().mostrar({titulo, texto, icone, true, Ok, Ok});
}

bool pergunta(const QString &titulo, const QString &texto)
{
    return dialogos().mostrar({titulo, texto, Icone::Pergunta, true, Sim | Nao, Nao}) == Sim;
}

// After every save: a failed apply has already shown its message and rolled the transaction
// back; the package stops there instead of going on outside the transaction.
void exigirGravado(TdmPrinc &dm)
{
    if (dm.falhaGravacao) {
        dm.falhaGravacao = 0;
        throw Abortar();
    }
}

void gravar(TdmPrinc &dm, ConjuntoDados &ds)
{
    ds.gravar();
    exigirGravado(dm);
}

// Opens the dataset on one key and puts its row into editing; with no row, editing appends one.
void editarNaChave(ConjuntoDados &ds, std::initializer_list<std::pair<const char *, QVariant>> chave)
{
    ds.fechar();
    for (const auto &[nome, valor] : chave)
        ds.definirParametro(QString::fromLatin1(nome), valor);
    ds.abrir();
    ds.editar();
}

void fecharSemErro(ConjuntoDados &ds)
{
    try {
        if (ds.editando())
            ds.cancelar();
        ds.fechar();
    } catch (...) {
    }
}

int buscarCidade(TdmPrinc &dm, const QString &nome, const QString &uf)
{
    const int id = BuscarCidade(dm, nome.left(kLarguraNome), uf);
    exigirGravado(dm);
    return id;
}

int buscarBairro(TdmPrinc &dm, const QString &nome)
{
    const int id = BuscarBairro(dm, nome.left(kLarguraNome));
    exigirGravado(dm);
    return id;
}

class Recebimento
{
public:
    Recebimento(TdmPrinc &dm, const ContextoRecebimento &c) : dm(dm), c(c) {}

    ResultadoRecebimento executar();

private:
    void status(const QString &texto, const QColor &painel, const QColor &letra)
    {
        if (c.atualizarStatus)
            c.atualizarStatus(texto, painel, letra);
    }
    void progresso(const QString &texto)
    {
        if (texto.isEmpty() && !m_progresso)
            return;
        m_progresso = !texto.isEmpty();
        if (c.atualizarProgresso)
            c.atualizarProgresso(texto);
    }

    // Answers false when the package is skipped or rejected, true when it was received.
    bool receber(const QString &caminho);
    int gravarPrefeitura(const Registro &r);
    void gravarAssinatura(const Registro &r, int idPref);
    int gravarEmpresa(const Registro &r, bool responsavel);
    void gravarObservacao(const Registro &r, int numero, int idPref);
    void gravarNumeroEstado(const Registro &r, int numero, int idPref);
    void encerrarExtracao();
    void encerrar();

    TdmPrinc &dm;
    const ContextoRecebimento &c;
    QStringList m_arquivos;
    QString m_pastaTrabalho;
    QString m_arquivoDados;      // the packet extracted last
    int m_recebidos = 0;
    bool m_prefAberto = false;   // cdsPref was open before the run: leave it open
    bool m_progresso = false;    // a package's progress is showing
};

ResultadoRecebimento Recebimento::executar()
{
    ResultadoRecebimento resultado;
    m_prefAberto = dm.cdsPref.ativo();
    try {
        EscolhaArquivo e;
        e.titulo = QStringLiteral("Indique arquivo à ser recebido");
        e.filtro = QStringLiteral("Arquivos AIDF (*.PrefGraf)");
        e.extensaoPadrao = QStringLiteral("Comp");
        e.varios = true;
        if (c.temPastaInicial)
            g_pastaEscolha = c.pastaInicial;
        e.pasta = g_pastaEscolha;
        m_arquivos = c.escolherArquivos ? c.escolherArquivos(e) : dialogos().abrirArquivos(e);
        if (m_arquivos.isEmpty()) {
            encerrar();
            return resultado;
        }
        resultado.escolheu = true;
        status(QStringLiteral("  Recebendo arquivo..."), kVerde, kBranco);

        try {
            m_recebidos = 0;
            m_pastaTrabalho = QDir::cleanPath(c.pastaPrograma) + QStringLiteral("/Aidfs/");
            if (!QFileInfo(m_pastaTrabalho).isDir() && !QDir().mkdir(m_pastaTrabalho))
                throw Erro(QFileInfo(QDir::cleanPath(c.pastaPrograma)).isDir() ? QStringLiteral("I/O error 5")
                                                                              : QStringLiteral("I/O error 3"));
            const int n = int(m_arquivos.size());
            for (int i = 0; i < n; ++i) {
                const QString &caminho = m_arquivos[i];
                progresso(QStringLiteral("Pacote %1 de %2: %3").arg(i + 1).arg(n).arg(QFileInfo(caminho).fileName()));
                if (c.processarEventos && QCoreApplication::instance())
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                if (receber(caminho)) {
                    MarcarImportado(caminho);
                    ++m_recebidos;
                }
            }
        } catch (...) {
            encerrarExtracao();
            throw;
        }
        encerrarExtracao();
        progresso(QString());

        QString contagem;
        if (m_recebidos == 0)
            contagem = QStringLiteral("Nenhum arquivo foi importado");
        else if (m_recebidos == 1)
            contagem = QStringLiteral("Foi importado um arquivo.");
        else
            contagem = QStringLiteral("Foram importados ") + QString::number(m_recebidos) + QStringLiteral(" arquivos");
        mensagem(QStringLiteral("Informação"), QStringLiteral("Operação Concluída. ") + contagem, Icone::Informacao);
        const QString pasta = QFileInfo(m_arquivos.first()).absolutePath() + QLatin1Char('/');
        g_pastaEscolha = pasta;
        if (c.gravarPastaArquivos)
            c.gravarPastaArquivos(pasta);
    } catch (...) {
        encerrar();
        throw;
    }
    encerrar();
    resultado.recebidos = m_recebidos;
    return resultado;
}

bool Recebimento::receber(const QString &caminho)
{
    if (!dm.emTransacao())
        dm.iniciarTransacao();

    try {
        ArquivoZip::extrairTudo(caminho, m_pastaTrabalho);
    } catch (const std::exception &) {
        mensagem(QStringLiteral("Erro"), QStringLiteral("Não consegui descompactar o arquivo ") + caminho, Icone::Erro);
        throw Abortar();
    }

    dm.cdsAIDFEnviGraf.fechar();
    m_arquivoDados = m_pastaTrabalho + PacotesAidf::nomeMembroDados(caminho);
    PacoteDados pacote = PacoteDados::lerArquivo(m_arquivoDados);
    pacote.nome = dm.cdsAIDFEnviGraf.nome();
    const Registro r(std::move(pacote));

    // The print shop's own row stays loaded from start-up; a tool run loads it here.
    if (!dm.cdsGraf.ativo())
        dm.cdsGraf.abrir();
    const QString cnpjGrafica = dm.cdsGraf.vazio() ? QString() : dm.cdsGraf.campo(QStringLiteral("CNPJ")).texto();
    if (cnpjGrafica != r.texto(QStringLiteral("CNPJ_GRAF"))) {
        mensagem(QStringLiteral("AViso"),
                 QStringLiteral("O arquivo ") + caminho
                     + QStringLiteral(" não pertence a sua gráfica por isso ele não será recebido. "),
                 Icone::Aviso);
        DescartarPacoteExtraido(dm, m_arquivoDados);
        MarcarImportado(caminho);
        return false;
    }

    const int idPref = gravarPrefeitura(r);
    gravarAssinatura(r, idPref);

    const QString numeroTexto = r.texto(QStringLiteral("NUMERO_AIDF"));
    ConjuntoDados &soli = dm.cdsSoliRece;
    soli.fechar();
    soli.definirParametro(QStringLiteral("NUMERO_AIDF_PREF"), r.valor(QStringLiteral("NUMERO_AIDF")));
    soli.definirParametro(QStringLiteral("ID_PREFEITURA"), idPref);
    soli.abrir();
    const QString inicio = QStringLiteral("A A.I.D.F. número ") + numeroTexto + QStringLiteral(" da Prefeitura de ")
        + r.texto(QStringLiteral("NOME_PREF"));
    if (soli.vazio()) {
        soli.inserir();
    } else {
        const QString st = soli.campo(QStringLiteral("STATUS")).texto();
        if (st == QLatin1String("3")) {
            if (!pergunta(QStringLiteral("Pergunta"),
                          inicio + QStringLiteral(" foi recusada por você. Você deseja recebe-la novamente?")))
                return false;
            soli.editar();
        } else {
            if (st == QLatin1String("4"))
                mensagem(QStringLiteral("Aviso Importante"),
                         inicio + QStringLiteral(" já foi recusada e não mais poderá ser reaberta."), Icone::Aviso);
            else if (st == QLatin1String("2"))
                mensagem(QStringLiteral("Aviso"), inicio + QStringLiteral(" já foi recebida pelo sistema anteriormente."),
                         Icone::Aviso);
            else if (st == QLatin1String("5"))
                mensagem(QStringLiteral("Aviso Importante"),
                         inicio + QStringLiteral(" já foi finalizada e não mais poderá ser reaberta."), Icone::Aviso);
            return false;
        }
    }

    soli.definir(QStringLiteral("ID_PREFEITURA"), idPref);
    soli.definir(QStringLiteral("ID_GRAFICA"), dm.cdsGraf.vazio() ? QVariant() : dm.cdsGraf.valor(QStringLiteral("ID_GRAFICA")));
    atribuir(soli, QStringLiteral("NUMERO_AIDF_PREF"), numeroTexto);
    atribuir(soli, QStringLiteral("MODELO_NF"), r, QStringLiteral("MODELO"));
    atribuir(soli, QStringLiteral("TIPO_NF"), r, QStringLiteral("TIPO"));
    atribuir(soli, QStringLiteral("SERIE"), r, QStringLiteral("SERIE"));
    atribuir(soli, QStringLiteral("SUB_SERIE"), r, QStringLiteral("SUB_SERIE"));
    atribuir(soli, QStringLiteral("NUME_INICIAL"), r, QStringLiteral("NUME_INICIAL"));
    atribuir(soli, QStringLiteral("NUME_FINAL"), r, QStringLiteral("NUME_FINAL"));
    atribuir(soli, QStringLiteral("QUANTIDADE"), r, QStringLiteral("QUANTIDADE"));
    atribuir(soli, QStringLiteral("DATA_HORA_CADASTRO"), r, QStringLiteral("EMITIDAEM"));
    atribuir(soli, QStringLiteral("DATA_HORA_APROV_REPROV"), r, QStringLiteral("APROVADAEM"));
    soli.definir(QStringLiteral("DATA_HORA_FINALIZA"), QVariant());
    soli.definir(QStringLiteral("STATUS"), QStringLiteral("2"));
    atribuir(soli, QStringLiteral("ID_USUARIO"), r, QStringLiteral("ID_USUARIO_APROV"));
    atribuir(soli, QStringLiteral("NUME_VIAS"), r, QStringLiteral("NUME_VIA"));
    atribuir(soli, QStringLiteral("ID_SOLIC_AIDF_EMISSOR"), r, QStringLiteral("ID_SOLI_AIDF_EMISSOR"));

    const int idResp = gravarEmpresa(r, true);
    soli.definir(QStringLiteral("ID_RESPONSAVEL"), idResp);
    if (r.texto(QStringLiteral("CNPJ_SOLI")) == r.texto(QStringLiteral("CNPJ_RESP")))
        soli.definir(QStringLiteral("ID_SOLICITANTE"), idResp);
    else
        soli.definir(QStringLiteral("ID_SOLICITANTE"), gravarEmpresa(r, false));
    gravar(dm, soli);

    const int numero = soli.valor(QStringLiteral("NUMERO_AIDF_PREF")).toInt();
    gravarObservacao(r, numero, idPref);
    gravarNumeroEstado(r, numero, idPref);

    if (dm.emTransacao())
        dm.confirmarTransacao();
    return true;
}

int Recebimento::gravarPrefeitura(const Registro &r)
{
    ConjuntoDados &pref = dm.cdsPref;
    pref.fechar();
    pref.abrir();
    const QString cnpj = r.texto(QStringLiteral("CNPJ_PREF"));
    if (pref.localizar(QStringLiteral("CNPJ"), {cnpj.left(kLarguraCnpj)}, true)) {
        pref.editar();
    } else {
        pref.inserir();
        pref.definir(QStringLiteral("ID_PREFEITURA"), dm.NovoID(QStringLiteral("PREFEITURA")));
    }
    atribuir(pref, QStringLiteral("CNPJ"), cnpj);
    atribuir(pref, QStringLiteral("NOME"), r, QStringLiteral("NOME_PREF"));
    atribuir(pref, QStringLiteral("NOMEDEPARTAMENTO"), r, QStringLiteral("NOMEDEPART"));
    atribuir(pref, QStringLiteral("FONE"), r, QStringLiteral("FONE_PREF"));
    atribuir(pref, QStringLiteral("EMAIL"), r, QStringLiteral("EMAIL_PREF"));
    pref.definir(QStringLiteral("ID_CIDADE"),
                 buscarCidade(dm, r.texto(QStringLiteral("CIDADE_PREF")), r.texto(QStringLiteral("UF_PREF"))));
    definirImagem(pref, QStringLiteral("BRASAO"), r.valor(QStringLiteral("BRASAO")));
    gravar(dm, pref);
    return pref.valor(QStringLiteral("ID_PREFEITURA")).toInt();
}

void Recebimento::gravarAssinatura(const Registro &r, int idPref)
{
    // A packet without the officer's id signs as officer 0.
    const int usuario = r.valor(QStringLiteral("ID_USUARIO_APROV")).toInt();
    ConjuntoDados &assin = dm.cdsAssin;
    editarNaChave(assin, {{"ID_PREFEITURA", idPref}, {"ID_USUARIO", usuario}});
    assin.definir(QStringLiteral("ID_PREFEITURA"), idPref);
    assin.definir(QStringLiteral("ID_USUARIO"), usuario);
    atribuir(assin, QStringLiteral("NOME_USUARIO"), r, QStringLiteral("USUARIO_APROVA_AIDF"));
    definirImagem(assin, QStringLiteral("IMAGEM"), r.valor(QStringLiteral("ASSINATURA")));
    gravar(dm, assin);
    assin.fechar();
}

int Recebimento::gravarEmpresa(const Registro &r, bool responsavel)
{
    const QString x = responsavel ? QStringLiteral("_RESP") : QStringLiteral("_SOLI");
    const QString cnpj = r.texto(QStringLiteral("CNPJ") + x);
    const QVariant existente = ConsultarGeral(dm, QStringLiteral("select id_empresa from EMPRESA where CNPJ_CPF = ?"),
                                              {cnpj.left(kLarguraCnpj)});
    ConjuntoDados &empr = dm.cdsEmpr;
    empr.fechar();
    if (!existente.isNull()) {
        empr.definirParametro(QStringLiteral("id_empresa"), existente);
        empr.abrir();
        empr.editar();
    } else {
        const int id = dm.NovoID(QStringLiteral("EMPRESA"));
        empr.definirParametro(QStringLiteral("id_empresa"), id);
        empr.abrir();
        empr.inserir();
        empr.definir(QStringLiteral("ID_EMPRESA"), id);
    }
    atribuir(empr, QStringLiteral("CNPJ_CPF"), cnpj);
    atribuir(empr, QStringLiteral("RAZAO_SOCIAL"), r, QStringLiteral("NOME") + x);
    atribuir(empr, QStringLiteral("IE_RG"), r, QStringLiteral("INS_E") + x);
    atribuir(empr, QStringLiteral("IMUNICIPAL"), r, QStringLiteral("INS_M") + x);

    const QString cidade = r.texto(QStringLiteral("CIDADE") + x);
    if (cidade.isEmpty()) {
        empr.cancelar();
        mensagem(QStringLiteral("Operação Cancelada"),
                 responsavel ? QStringLiteral("A cidadeo do endereço do responsável está em vazia.")
                             : QStringLiteral("A cidadeo do endereço do solicitante está em vazia."),
                 Icone::Aviso);
        throw Abortar();
    }
    empr.definir(QStringLiteral("ID_CIDADE"), buscarCidade(dm, cidade, r.texto(QStringLiteral("UF") + x)));

    const QString bairro = r.texto(QStringLiteral("BAIRRO") + x);
    if (bairro.isEmpty()) {
        empr.cancelar();
        mensagem(QStringLiteral("Operação Cancelada"),
                 responsavel ? QStringLiteral("O bairro do endereço do responsável está em vazio.")
                             : QStringLiteral("O bairro do endereço do solicitante está em vazio."),
                 Icone::Aviso);
        throw Abortar();
    }
    empr.definir(QStringLiteral("ID_BAIRRO"), buscarBairro(dm, bairro));

    atribuir(empr, QStringLiteral("ENDERECO"), r, QStringLiteral("ENDERECO") + x);
    atribuir(empr, QStringLiteral("CEP"), r, QStringLiteral("CEP") + x);
    atribuir(empr, QStringLiteral("FONE"), r, responsavel ? QStringLiteral("TELEFONE_RESP") : QStringLiteral("FONE_SOLI"));
    atribuir(empr, QStringLiteral("EMAIL"), r, QStringLiteral("EMAIL") + x);
    gravar(dm, empr);
    return empr.valor(QStringLiteral("ID_EMPRESA")).toInt();
}

void Recebimento::gravarObservacao(const Registro &r, int numero, int idPref)
{
    const QVariant obs = r.valor(QStringLiteral("OBSERVACAO"));
    if (obs.isNull())
        return;
    ConjuntoDados &ds = dm.cdsObse;
    editarNaChave(ds, {{"numero", numero}, {"id_pref", idPref}, {"tipo_obs", QStringLiteral("P")}});
    ds.definir(QStringLiteral("NUMERO_AIDF_PREF"), numero);
    ds.definir(QStringLiteral("ID_PREFEITURA"), idPref);
    ds.definir(QStringLiteral("TIPO_OBSERVACAO"), QStringLiteral("P"));
    ds.definir(QStringLiteral("OBSERVACAO"), textoDe(obs));
    gravar(dm, ds);
    ds.fechar();
}

void Recebimento::gravarNumeroEstado(const Registro &r, int numero, int idPref)
{
    const QString estado = r.texto(QStringLiteral("NUMERO_ESTADO"));
    if (estado.isEmpty())
        return;
    ConjuntoDados &ds = dm.cdsConjEsta;
    editarNaChave(ds, {{"NUMERO_AIDF_PREF", numero}, {"ID_PREFEITURA", idPref}});
    ds.definir(QStringLiteral("NUMERO_AIDF_PREF"), numero);
    ds.definir(QStringLiteral("ID_PREFEITURA"), idPref);
    atribuir(ds, QStringLiteral("NUMERO_ESTADO"), estado);
    gravar(dm, ds);
    ds.fechar();
}

// Runs however the loop ended.
void Recebimento::encerrarExtracao()
{
    try {
        DescartarPacoteExtraido(dm, m_arquivoDados);
        if (!m_arquivos.isEmpty())
            ApagarArquivos(QFileInfo(m_arquivos.first()).absolutePath(), QStringLiteral("ATT*.TXT"));
    } catch (...) {
    }
    try {
        if (dm.emTransacao())
            dm.desfazerTransacao();
    } catch (...) {
    }
}

void Recebimento::encerrar()
{
    fecharSemErro(dm.cdsEmpr);
    fecharSemErro(dm.cdsSoliRece);
    fecharSemErro(dm.cdsAIDFEnviGraf);
    fecharSemErro(dm.cdsAssin);
    fecharSemErro(dm.cdsObse);
    fecharSemErro(dm.cdsConjEsta);
    fecharSemErro(dm.cdsPref);
    if (m_prefAberto) {
        try {
            dm.cdsPref.abrir();
        } catch (...) {
        }
    }
    progresso(QString());
    status(QStringLiteral("Aguardando..."), kCinza, kMarinho);
}

} // namespace

QVariant ConsultarGeral(TdmPrinc &dm, const QString &sql, const QVariantList &parametros)
{
    const QList<QVariantList> linhas = dm.consultarGeral(sql, parametros);
    if (linhas.isEmpty() || linhas.first().isEmpty())
        return QVariant();
    return linhas.first().first();
}

void DescartarPacoteExtraido(TdmPrinc &dm, const QString &arquivoDados)
{
    dm.cdsAIDFEnviGraf.fechar();
    if (!arquivoDados.isEmpty())
        QFile::remove(arquivoDados);
}

void MarcarImportado(const QString &caminho)
{
    const QFileInfo info(caminho);
    const QString destino = info.absolutePath() + QLatin1Char('/') + NomeSemExtensao(caminho)
        + QString::fromUtf16(PacotesAidf::kExtensaoImportado);
    if (QFileInfo::exists(destino))
        QFile::remove(destino);
    QFile::rename(caminho, destino);
}

ResultadoRecebimento ReceberArquivo(TdmPrinc &dm, const ContextoRecebimento &contexto)
{
    Recebimento r(dm, contexto);
    return r.executar();
}

} // namespace lumaro
