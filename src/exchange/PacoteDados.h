#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace lumaro {

// The kinds of field a client-dataset binary data packet can hold. What a value of each kind
// looks like in a record (QVariant):
//   Inteiro        int (1, 2 or 4 bytes)             Inteiro64      qint64
//   SemSinal       uint (1, 2 or 4 bytes)            SemSinal64     quint64
//   Logico         bool                              Real           double (8 bytes, or 10: extended)
//   Real32         double (stored as float)          Bcd, FmtBcd    QString, the decimal number ("-12.50")
//   Data           QDate                             Hora           QTime
//   DataHora       QDateTime (local time, to the millisecond)
//   DataHoraSql    QDateTime (local time)            DataHoraFuso   QDateTime with its UTC offset
//   Texto          QString (Windows-1252 in the packet)
//   TextoUnicode   QString (UTF-16 in the packet)
//   Bytes, BytesVariaveis, Grafico, Blob            QByteArray
//   Memo           QString (Windows-1252)            MemoUnicode    QString (UTF-16)
//   TabelaAninhada QVariantList of rows, each a QVariantList of the child fields' values
//   Desconhecido   QByteArray, the value's bytes as stored
// NULL is a null QVariant in every kind.
enum class TipoCampo {
    Desconhecido,
    Inteiro,
    Inteiro64,
    SemSinal,
    SemSinal64,
    Logico,
    Real,
    Real32,
    Bcd,
    FmtBcd,
    Data,
    Hora,
    DataHora,
    DataHoraSql,
    DataHoraFuso,
    Texto,
    TextoUnicode,
    Bytes,
    BytesVariaveis,
    Memo,
    MemoUnicode,
    Grafico,
    Blob,
    TabelaAninhada,
};

QString nomeTipoCampo(TipoCampo tipo);

// An optional parameter of a field or of the whole packet ("WIDTH", "SUBTYPE", "LCID",
// "CHANGE_LOG" and any other). The value is kept as its stored bytes so that parameters this
// program does not understand are written back unchanged.
struct ParametroPacote
{
    QString nome;
    quint16 palavraTamanho = 0;
    quint16 palavraTipo = 0;
    QByteArray bruto;   // the value exactly as stored (with its length prefix or element count)

    // Texts lose their closing NUL; integers become qint64/quint64; arrays a QVariantList.
    QVariant valor() const;

    static ParametroPacote texto(const QString &nome, const QString &valor);
    static ParametroPacote inteiro(const QString &nome, qint32 valor);
    static ParametroPacote semSinal16(const QString &nome, quint16 valor);
};

struct CampoPacote
{
    QString nome;
    TipoCampo tipo = TipoCampo::Desconhecido;
    // Texto: width in characters; TextoUnicode: width in characters (the packet keeps bytes);
    // BytesVariaveis: width in bytes; Bytes and the numeric kinds: the value's size in bytes;
    // Bcd/FmtBcd: precision; blobs: the WIDTH parameter when there is one, else 0.
    int tamanho = 0;
    int decimais = 0;   // Bcd/FmtBcd
    QString subtipo;    // "Text", "Graphics", "Binary", "Money", "Autoinc", "FixedChar", ...
    quint16 atributos = 0;
    // Every parameter as read. When writing, WIDTH, DECIMALS, SUBTYPE and FIELDNAME are taken from
    // the members above and the rest is written as it is.
    QList<ParametroPacote> parametros;
    // The stored type descriptor; only Desconhecido fields are written from it.
    quint16 palavraTamanho = 0;
    quint16 palavraTipo = 0;
    // TabelaAninhada: the child fields and the child dataset's parameters.
    QList<CampoPacote> filhos;
    QList<ParametroPacote> parametrosFilhos;

    enum Atributo : quint16 { Oculto = 0x01, SomenteLeitura = 0x02, Obrigatorio = 0x04, Ligacao = 0x08 };

    static CampoPacote inteiro(const QString &nome);
    static CampoPacote texto(const QString &nome, int largura);
    static CampoPacote dataHora(const QString &nome);
    static CampoPacote memo(const QString &nome);
    static CampoPacote grafico(const QString &nome);
};

// One row as stored, before the change log is applied.
struct LinhaPacote
{
    enum Marca : quint8 { Valor = 0, Nulo = 1, NaoAlterado = 2 };
    quint8 estado = 0;      // 0 plain; 0x04 inserted; 0x08 modified; 0x01 original; 0x02 deleted
    QVariantList valores;   // null where the mark is not Valor
    QList<quint8> marcas;
};

// A client-dataset binary data packet: field definitions, packet parameters and records.
// Reading keeps both the rows as stored and the current records (what a client dataset shows
// after loading it: the visible rows, with "not changed" values taken from their earlier versions).
// Writing writes the current records.
class PacoteDados
{
public:
    enum class Forma {
        Dados,            // plain rows (status 0, no change log)
        InsercaoPendente, // every row a pending insert, with the matching change log
    };

    // The dataset's name, which prefixes the platform-like errors ("cdsRetorno: Field 'X' not found").
    QString nome;
    QList<CampoPacote> campos;
    // Packet parameters other than CHANGE_LOG, which reading applies and writing generates.
    QList<ParametroPacote> parametros;
    QList<QVariantList> registros;

    PacoteDados() = default;
    explicit PacoteDados(QList<CampoPacote> campos, const QString &nome = {});

    // Throws Erro with "Pacote de dados inválido: ..." for anything that is not a complete, consistent packet.
    static PacoteDados ler(const QByteArray &dados);
    static PacoteDados lerArquivo(const QString &caminho);
    QByteArray escrever(Forma forma = Forma::Dados) const;
    void gravarArquivo(const QString &caminho, Forma forma = Forma::Dados) const;

    // Letter case is not significant; -1 when there is no such field.
    int indiceCampo(const QString &nomeCampo) const;
    // Throws Erro("Field 'X' not found") when there is no such field.
    const CampoPacote &campo(const QString &nomeCampo) const;
    // A null QVariant when the record does not exist (an empty dataset reads as nulls).
    QVariant valor(const QString &nomeCampo, int registro = 0) const;
    void definirValor(const QString &nomeCampo, const QVariant &valor, int registro = 0);
    // Appends a record with every field null; returns its index.
    int adicionarRegistro();

    // The rows as read from the packet (empty for a packet built in memory).
    const QList<LinhaPacote> &linhas() const { return m_linhas; }
    quint16 versaoPrincipal() const { return m_versaoPrincipal; }
    quint16 versaoSecundaria() const { return m_versaoSecundaria; }

private:
    int indiceObrigatorio(const QString &nomeCampo) const;

    QList<LinhaPacote> m_linhas;
    quint16 m_versaoPrincipal = 1;
    quint16 m_versaoSecundaria = 0;
};

// A graphic field's value may carry an 8-byte header before the image; these are the image's bytes.
QByteArray bytesDaImagem(const QByteArray &blob);
// Whether the blob (with or without that header) decodes as a JPEG image.
bool ehImagemJpeg(const QByteArray &blob);

} // namespace lumaro
