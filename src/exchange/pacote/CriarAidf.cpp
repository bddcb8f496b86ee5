// criar-aidf: builds an AIDF package from a plain text description of its fields.
#include "SubComandos.h"

#include "ArquivoZip.h"
#include "PacoteDados.h"
#include "PacotesAidf.h"
#include "Win1252.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace lumaro::pacote {

namespace {

const QString kNulo = QStringLiteral("<nulo>");
const QString kOmitir = QStringLiteral("<omitir>");

struct Linha
{
    int numero = 0;
    QString valor;
};

[[noreturn]] void erroLinha(const QString &arquivo, int numero, const QString &texto)
{
    throw Erro(QStringLiteral("%1, linha %2: %3").arg(QDir::toNativeSeparators(arquivo)).arg(numero).arg(texto));
}

// A memo's "\n" is a line break as the other system writes it (CR LF); "\t" a tab; "\\" a backslash.
QString memoComEscapes(const QString &s)
{
    QString r;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar n = s[i + 1];
            if (n == u'n') { r += QStringLiteral("\r\n"); ++i; continue; }
            if (n == u't') { r += u'\t'; ++i; continue; }
            if (n == u'\\') { r += u'\\'; ++i; continue; }
        }
        r += s[i];
    }
    return r;
}

QDateTime lerDataHora(const QString &s)
{
    static const QStringList formatos = {
        QStringLiteral("dd/MM/yyyy hh:mm:ss.zzz"), QStringLiteral("dd/MM/yyyy hh:mm:ss"),
        QStringLiteral("dd/MM/yyyy hh:mm"),        QStringLiteral("dd/MM/yyyy"),
        QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz"), QStringLiteral("yyyy-MM-ddThh:mm:ss"),
        QStringLiteral("yyyy-MM-dd hh:mm:ss"),     QStringLiteral("yyyy-MM-dd hh:mm"),
        QStringLiteral("yyyy-MM-dd"),
    };
    for (const QString &f : formatos) {
        const QDateTime dt = QDateTime::fromString(s, f);
        if (dt.isValid())
            return dt;
    }
    return {};
}

QVariant converter(const CampoPacote &c, const QString &valor, const QString &pastaBase, const QString &arquivo, int numero)
{
    if (valor == kNulo)
        return {};
    switch (c.tipo) {
    case TipoCampo::Inteiro: {
        if (valor.isEmpty())
            return {};
        bool ok = false;
        const int n = valor.toInt(&ok);
        if (!ok)
            erroLinha(arquivo, numero, QStringLiteral("%1 precisa de um número inteiro, não \"%2\"").arg(c.nome, valor));
        return n;
    }
    case TipoCampo::DataHora: {
        if (valor.isEmpty())
            return {};
        const QDateTime dt = lerDataHora(valor);
        if (!dt.isValid())
            erroLinha(arquivo, numero, QStringLiteral("%1 precisa de uma data-hora (dd/mm/aaaa hh:mm:ss), não \"%2\"").arg(c.nome, valor));
        return dt;
    }
    case TipoCampo::Texto: {
        bool tudo = true;
        const QByteArray b = paraWin1252(valor, &tudo);
        if (!tudo)
            erroLinha(arquivo, numero, QStringLiteral("%1 tem caracteres que não existem em Windows-1252").arg(c.nome));
        if (b.size() > c.tamanho)
            erroLinha(arquivo, numero, QStringLiteral("%1 aceita até %2 caracteres; \"%3\" tem %4").arg(c.nome).arg(c.tamanho).arg(valor).arg(b.size()));
        return valor;
    }
    case TipoCampo::Memo: {
        const QString texto = memoComEscapes(valor);
        bool tudo = true;
        paraWin1252(texto, &tudo);
        if (!tudo)
            erroLinha(arquivo, numero, QStringLiteral("%1 tem caracteres que não existem em Windows-1252").arg(c.nome));
        return texto;
    }
    case TipoCampo::Grafico: {
        if (valor.isEmpty())
            return {};
        const QString caminho = QDir(pastaBase).absoluteFilePath(valor);
        QFile f(caminho);
        if (!f.open(QIODevice::ReadOnly))
            erroLinha(arquivo, numero, QStringLiteral("não foi possível ler a imagem de %1, %2: %3").arg(c.nome, QDir::toNativeSeparators(caminho), f.errorString()));
        return f.readAll();
    }
    default:
        erroLinha(arquivo, numero, QStringLiteral("%1 é de um tipo que a descrição não sabe preencher").arg(c.nome));
    }
}

QHash<QString, Linha> lerDescricao(const QString &arquivo)
{
    QFile f(arquivo);
    if (!QFileInfo(arquivo).isFile() || !f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível abrir a descrição %1: %2").arg(QDir::toNativeSeparators(arquivo),
                                                                                QFileInfo::exists(arquivo) ? f.errorString() : QStringLiteral("arquivo não encontrado")));
    const QByteArray bytes = f.readAll();
    QString texto = QString::fromUtf8(bytes);
    if (texto.contains(QChar::ReplacementCharacter) && !bytes.contains("\xEF\xBF\xBD"))
        throw Erro(QStringLiteral("A descrição %1 não está em UTF-8").arg(QDir::toNativeSeparators(arquivo)));
    if (texto.startsWith(QChar(0xFEFF)))
        texto.remove(0, 1);

    QSet<QString> conhecidos;
    for (const CampoPacote &c : PacotesAidf::camposAidf())
        conhecidos.insert(c.nome);

    QHash<QString, Linha> campos;
    const QStringList linhas = texto.split(u'\n');
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        const int numero = int(i + 1);
        QString l = linhas[i];
        if (l.endsWith(u'\r'))
            l.chop(1);
        const QString limpa = l.trimmed();
        if (limpa.isEmpty() || limpa.startsWith(u'#'))
            continue;
        const qsizetype igual = l.indexOf(u'=');
        if (igual < 0)
            erroLinha(arquivo, numero, QStringLiteral("esperava CAMPO = valor"));
        const QString nome = l.left(igual).trimmed().toUpper();
        QString valor = l.mid(igual + 1).trimmed();
        if (valor.size() >= 2 && valor.startsWith(u'"') && valor.endsWith(u'"'))
            valor = valor.mid(1, valor.size() - 2);
        if (!conhecidos.contains(nome))
            erroLinha(arquivo, numero, QStringLiteral("campo desconhecido: %1").arg(nome));
        if (campos.contains(nome))
            erroLinha(arquivo, numero, QStringLiteral("%1 já foi dado na linha %2").arg(nome).arg(campos[nome].numero));
        campos.insert(nome, Linha{numero, valor});
    }
    return campos;
}

int executar(const QStringList &args)
{
    bool pendente = false;
    QStringList posicionais;
    for (const QString &a : args) {
        if (a == u"--insercao-pendente")
            pendente = true;
        else if (a.startsWith(u"--"))
            throw ErroUso(QStringLiteral("opção desconhecida: %1").arg(a));
        else
            posicionais.append(a);
    }
    if (posicionais.size() != 2)
        throw ErroUso(QStringLiteral("indique a descrição e o pacote a criar"));
    const QString entrada = posicionais[0];
    const QString saida = posicionais[1];

    const QHash<QString, Linha> descricao = lerDescricao(entrada);
    const QString pastaBase = QFileInfo(entrada).absolutePath();

    PacoteDados p = PacotesAidf::novoAidf();
    QVariantList registro;
    QList<CampoPacote> campos;
    for (const CampoPacote &c : std::as_const(p.campos)) {
        const auto it = descricao.constFind(c.nome);
        if (it == descricao.constEnd()) {
            campos.append(c);
            registro.append(QVariant());
            continue;
        }
        if (it->valor == kOmitir)
            continue;
        campos.append(c);
        registro.append(converter(c, it->valor, pastaBase, entrada, it->numero));
    }
    if (campos.isEmpty())
        throw Erro(QStringLiteral("A descrição omite todos os campos; um pacote precisa de pelo menos um"));
    p.campos = campos;
    p.registros = {registro};
    const QByteArray dados = p.escrever(pendente ? PacoteDados::Forma::InsercaoPendente : PacoteDados::Forma::Dados);

    // A fresh archive: the package holds its data packet and nothing else.
    const QFileInfo infoSaida(saida);
    if (infoSaida.isDir())
        throw Erro(QStringLiteral("%1 é uma pasta").arg(QDir::toNativeSeparators(saida)));
    if (infoSaida.exists() && !QFile::remove(saida))
        throw Erro(QStringLiteral("Não foi possível substituir %1").arg(QDir::toNativeSeparators(saida)));
    const QString membro = PacotesAidf::nomeMembroDados(saida);
    ArquivoZip::adicionar(saida, membro, dados);
    escrever(QStringLiteral("%1 criado com %2 (%3 campos).\n").arg(QDir::toNativeSeparators(saida), membro).arg(campos.size()));
    return 0;
}

const SubComandoRegistrado registrado(SubComando{
    QStringLiteral("criar-aidf"),
    QStringLiteral("cria um pacote de A.I.D.F. a partir de uma descrição em texto"),
    QStringLiteral(
        "Uso: lumaro-pacote criar-aidf [--insercao-pendente] DESCRICAO SAIDA.PrefGraf\n\n"
        "Cria o pacote SAIDA.PrefGraf (substituindo um arquivo de mesmo nome) com o membro SAIDA.Aidf,\n"
        "um pacote de dados com um registro e todos os campos de uma A.I.D.F., nos tipos e larguras\n"
        "que a prefeitura usa.\n\n"
        "A descrição é um arquivo de texto UTF-8 com uma linha \"CAMPO = valor\" por campo:\n"
        "  # comentário\n"
        "  NUMERO_AIDF = 1234\n"
        "  NOME_PREF = Prefeitura Municipal de Exemplo\n"
        "  EMITIDAEM = 02/01/2024 03:04:05\n"
        "  OBSERVACAO = primeira linha\\nsegunda linha\n"
        "  BRASAO = imagens/brasao.jpg\n\n"
        "  - Um campo que não aparece na descrição fica nulo no pacote.\n"
        "  - <nulo> deixa o campo nulo; <omitir> tira o campo do pacote.\n"
        "  - Valor em branco: texto e memorando vazios; inteiro, data-hora e imagem nulos.\n"
        "  - Aspas em volta do valor preservam espaços nas pontas: NOME_PREF = \"  x  \".\n"
        "  - Datas-horas: dd/mm/aaaa [hh:mm[:ss]] ou aaaa-mm-dd[Thh:mm[:ss]].\n"
        "  - Memorandos: \\n é quebra de linha (CR LF), \\t tabulação, \\\\ barra invertida.\n"
        "  - Imagens (BRASAO, ASSINATURA): caminho de um arquivo, relativo à pasta da descrição;\n"
        "    os bytes vão como estão, seja ou não JPEG.\n\n"
        "  --insercao-pendente   grava o registro como inclusão pendente (com registro de alterações),\n"
        "                        em vez de dado simples\n"),
    executar,
});

} // namespace

} // namespace lumaro::pacote
