// mostrar: prints the record of a package or of a bare data packet.
#include "SubComandos.h"

#include "ArquivoZip.h"
#include "PacoteDados.h"
#include "PacotesAidf.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTime>

namespace lumaro::pacote {

namespace {

QString entreAspas(const QString &s)
{
    QString r = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'\r': r += QStringLiteral("\\r"); break;
        case u'\n': r += QStringLiteral("\\n"); break;
        case u'\t': r += QStringLiteral("\\t"); break;
        case u'"': r += QStringLiteral("\\\""); break;
        case u'\\': r += QStringLiteral("\\\\"); break;
        default:
            if (c.unicode() < 0x20)
                r += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
            else
                r += c;
        }
    }
    return r + u'"';
}

QString hora(const QTime &t)
{
    return t.toString(t.msec() ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
}

QString descricaoTipo(const CampoPacote &c)
{
    QString t = nomeTipoCampo(c.tipo);
    switch (c.tipo) {
    case TipoCampo::Texto:
    case TipoCampo::TextoUnicode:
    case TipoCampo::Bytes:
    case TipoCampo::BytesVariaveis:
        t += QStringLiteral("(%1)").arg(c.tamanho);
        break;
    case TipoCampo::Bcd:
    case TipoCampo::FmtBcd:
        t += QStringLiteral("(%1,%2)").arg(c.tamanho).arg(c.decimais);
        break;
    default:
        break;
    }
    if (!c.subtipo.isEmpty() && c.tipo != TipoCampo::Memo && c.tipo != TipoCampo::MemoUnicode && c.tipo != TipoCampo::Grafico)
        t += QStringLiteral(" [%1]").arg(c.subtipo);
    return t;
}

QString descricaoValor(const CampoPacote &c, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("nulo");
    switch (c.tipo) {
    case TipoCampo::Texto:
    case TipoCampo::TextoUnicode:
    case TipoCampo::Memo:
    case TipoCampo::MemoUnicode:
    case TipoCampo::Bcd:
    case TipoCampo::FmtBcd:
        return c.tipo == TipoCampo::Bcd || c.tipo == TipoCampo::FmtBcd ? v.toString() : entreAspas(v.toString());
    case TipoCampo::Logico:
        return v.toBool() ? QStringLiteral("verdadeiro") : QStringLiteral("falso");
    case TipoCampo::Real:
    case TipoCampo::Real32:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case TipoCampo::Data:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case TipoCampo::Hora:
        return hora(v.toTime());
    case TipoCampo::DataHora:
    case TipoCampo::DataHoraSql:
    case TipoCampo::DataHoraFuso: {
        const QDateTime dt = v.toDateTime();
        QString s = dt.date().toString(QStringLiteral("dd/MM/yyyy")) + u' ' + hora(dt.time());
        if (c.tipo == TipoCampo::DataHoraFuso)
            s += u' ' + dt.timeZoneAbbreviation();
        return s;
    }
    case TipoCampo::Grafico:
    case TipoCampo::Blob:
    case TipoCampo::Bytes:
    case TipoCampo::BytesVariaveis: {
        const QByteArray b = v.toByteArray();
        QString s = QStringLiteral("%1 bytes").arg(b.size());
        if (ehImagemJpeg(b))
            s += QStringLiteral(", imagem JPEG");
        else if (c.tipo == TipoCampo::Grafico)
            s += QStringLiteral(", não é imagem JPEG");
        return s;
    }
    case TipoCampo::TabelaAninhada:
        return QStringLiteral("%1 registros aninhados").arg(v.toList().size());
    case TipoCampo::Desconhecido: {
        const QByteArray b = v.toByteArray();
        return QStringLiteral("%1 bytes: %2%3").arg(b.size()).arg(QString::fromLatin1(b.left(32).toHex(' ')), b.size() > 32 ? QStringLiteral(" ...") : QString());
    }
    default:
        return v.toString();
    }
}

bool ehZip(const QByteArray &inicio)
{
    return inicio.startsWith("PK\x03\x04") || inicio.startsWith("PK\x05\x06");
}

int executar(const QStringList &args)
{
    bool todos = false;
    QStringList arquivos;
    for (const QString &a : args) {
        if (a == u"--todos")
            todos = true;
        else if (a.startsWith(u"--"))
            throw ErroUso(QStringLiteral("opção desconhecida: %1").arg(a));
        else
            arquivos.append(a);
    }
    if (arquivos.size() != 1)
        throw ErroUso(arquivos.isEmpty() ? QStringLiteral("falta o arquivo") : QStringLiteral("indique um único arquivo"));
    const QString arquivo = arquivos.first();

    QFile f(arquivo);
    if (!QFileInfo(arquivo).isFile() || !f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível abrir %1: %2").arg(QDir::toNativeSeparators(arquivo),
                                                                      QFileInfo::exists(arquivo) ? f.errorString() : QStringLiteral("arquivo não encontrado")));
    QByteArray dados = f.read(4);

    QString saida = QStringLiteral("Arquivo: %1\n").arg(QDir::toNativeSeparators(arquivo));
    if (ehZip(dados)) {
        f.close();
        const QString esperado = PacotesAidf::nomeMembroDados(arquivo);
        QString escolhido;
        for (const ArquivoZip::Membro &m : ArquivoZip::membros(arquivo)) {
            const QString nome = ArquivoZip::nomeSemPasta(m.nome);
            if (nome.compare(esperado, Qt::CaseInsensitive) == 0) {
                escolhido = nome;
                break;
            }
            if (escolhido.isEmpty())
                escolhido = nome;
        }
        if (escolhido.isEmpty())
            throw Erro(QStringLiteral("O arquivo %1 não contém nenhum membro").arg(QDir::toNativeSeparators(arquivo)));
        if (escolhido.compare(esperado, Qt::CaseInsensitive) != 0)
            escreverErro(QStringLiteral("aviso: o arquivo não contém %1; mostrando %2\n").arg(esperado, escolhido));
        dados = ArquivoZip::lerMembro(arquivo, escolhido);
        saida += QStringLiteral("Membro: %1\n").arg(escolhido);
    } else {
        dados += f.readAll();
    }

    const PacoteDados p = PacoteDados::ler(dados);
    saida += QStringLiteral("Campos: %1; registros: %2\n").arg(p.campos.size()).arg(p.registros.size());

    int largura = 0;
    for (const CampoPacote &c : p.campos)
        largura = qMax(largura, int(c.nome.size()));
    const int quantos = p.registros.isEmpty() ? 0 : todos ? int(p.registros.size()) : 1;
    if (quantos == 0) {
        saida += QStringLiteral("O pacote não tem registros.\n");
        for (const CampoPacote &c : p.campos)
            saida += QStringLiteral("  %1  %2\n").arg(c.nome.leftJustified(largura), descricaoTipo(c));
    }
    for (int r = 0; r < quantos; ++r) {
        saida += QStringLiteral("Registro %1 de %2:\n").arg(r + 1).arg(p.registros.size());
        for (qsizetype i = 0; i < p.campos.size(); ++i) {
            const CampoPacote &c = p.campos[i];
            saida += QStringLiteral("  %1  %2  %3\n")
                         .arg(c.nome.leftJustified(largura), descricaoTipo(c).leftJustified(18), descricaoValor(c, p.registros[r].value(i)));
        }
    }
    escrever(saida);
    return 0;
}

const SubComandoRegistrado registrado(SubComando{
    QStringLiteral("mostrar"),
    QStringLiteral("mostra os campos do registro de um pacote"),
    QStringLiteral(
        "Uso: lumaro-pacote mostrar [--todos] ARQUIVO\n\n"
        "Mostra cada campo do primeiro registro (nome, tipo e valor) de um pacote .PrefGraf ou .Graf,\n"
        "ou de um pacote de dados avulso (.Aidf, .cds). Num arquivo compactado, lê o membro com o nome\n"
        "do arquivo e a extensão .Aidf (X.PrefGraf -> X.Aidf); sem ele, o primeiro membro.\n"
        "Imagens e outros dados binários aparecem pelo tamanho e por serem ou não imagem JPEG.\n\n"
        "  --todos   mostra todos os registros, não só o primeiro\n"),
    executar,
});

} // namespace

} // namespace lumaro::pacote
