#include "uFuncoes.h"

#include "Dialogos.h"
#include "Win1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumaro {

namespace {

void avisarNumero(bool avisar, const QString &texto)
{
    if (avisar)
        dialogos().aviso(QStringLiteral("Aviso"), texto, Icone::Aviso, false);
}

// One check digit of the weighted sum mod 11; the weight of a digit depends on its place
// counted from the right, starting at 2 and wrapping back to 2 after pesoMaximo.
QChar digitoVerificador(const QString &base, int pesoMaximo)
{
    int soma = 0;
    const int n = int(base.size());
    for (int lugar = 1; lugar <= n; ++lugar) {
        const int peso = (lugar - 1) % (pesoMaximo - 1) + 2;
        soma += (base.at(n - lugar).unicode() - '0') * peso;
    }
    const int resto = soma % 11;
    return QChar(u'0' + (resto < 2 ? 0 : 11 - resto));
}

QString digitosVerificadores(QString base, int pesoMaximo)
{
    const QChar primeiro = digitoVerificador(base, pesoMaximo);
    base.append(primeiro);
    return QString(primeiro) + digitoVerificador(base, pesoMaximo);
}

bool ehSeparador(QChar c)
{
    // Paths come in Windows form from the configuration and the packages, and in native form here.
    return c == u'\\' || c == u':' || c == u'/';
}

bool ehAtomo(int b)
{
    if (b >= 128)
        return b <= 255;
    if (b <= 32 || b == 127)
        return false;
    return !QByteArrayView("\"(),./:;<>@[\\]").contains(char(b));
}

bool ehLetra(int b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

bool ehDigito(int b)
{
    return b >= '0' && b <= '9';
}

// The platform's wildcard rules: "*" any run, "?" one character, letter case ignored.
bool casaMascara(QStringView nome, QStringView mascara)
{
    qsizetype n = 0, m = 0, estrela = -1, retomada = 0;
    while (n < nome.size()) {
        if (m < mascara.size() && mascara[m] == u'*') {
            estrela = m++;
            retomada = n;
        } else if (m < mascara.size()
                   && (mascara[m] == u'?' || mascara[m].toCaseFolded() == nome[n].toCaseFolded())) {
            ++m;
            ++n;
        } else if (estrela >= 0) {
            m = estrela + 1;
            n = ++retomada;
        } else {
            return false;
        }
    }
    while (m < mascara.size() && mascara[m] == u'*')
        ++m;
    return m == mascara.size();
}

QString deslocar(const QString &texto, int sentido)
{
    QByteArray bytes = paraWin1252(texto);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int posicao = int(i) + 1;
        bytes[i] = char((uchar(bytes[i]) + sentido * (posicao - 10)) & 0xFF);
    }
    return deWin1252(bytes);
}

} // namespace

QString SomenteNumeros(const QString &texto)
{
    QString saida;
    saida.reserve(texto.size());
    for (QChar c : texto)
        if (c >= u'0' && c <= u'9')
            saida.append(c);
    return saida;
}

bool ValidarCNPJCPF(const QString &texto, bool avisar)
{
    const QString d = SomenteNumeros(texto);
    const QString v = d.right(2);

    if (d.size() == 14) {
        const QString base = d.left(12);
        if (base == QLatin1String("000000000000")) {
            avisarNumero(avisar, QStringLiteral("C.N.P.J. Inválido"));
            return false;
        }
        if (digitosVerificadores(base, 9) == v)
            return true;
        avisarNumero(avisar, QStringLiteral("C.N.P.J. inválido."));
        return false;
    }

    if (d.size() == 11 && d != QString(11, d.at(0))) {
        if (digitosVerificadores(d.left(9), 11) == v)
            return true;
        avisarNumero(avisar, QStringLiteral("C.P.F. inválido."));
        return false;
    }

    avisarNumero(avisar, QStringLiteral("Dado inválido."));
    return false;
}

QString FormatarCNPJCPF(const QString &texto)
{
    if (texto.isEmpty())
        return {};
    if (texto.size() == 14)
        return texto.mid(0, 2) + u'.' + texto.mid(2, 3) + u'.' + texto.mid(5, 3) + u'/'
               + texto.mid(8, 4) + u'-' + texto.mid(12, 2);
    return texto.mid(0, 3) + u'.' + texto.mid(3, 3) + u'.' + texto.mid(6, 3) + u'-'
           + texto.mid(9, 2);
}

bool ValidarEmail(const QString &texto)
{
    int estado = 0;
    int pontos = 0;
    for (QChar c : texto) {
        // A character the code page cannot hold could not travel in the message at all.
        const int b = byteWin1252(c);
        if (b < 0)
            return false;
        switch (estado) {
        case 0:
        case 5:
            if (ehAtomo(b))
                estado = 1;
            else if (b == '"')
                estado = 2;
            else
                return false;
            break;
        case 1:
            if (b == '@')
                estado = 6;
            else if (b == '.')
                estado = 5;
            else if (!ehAtomo(b))
                return false;
            break;
        case 2:
            if (b == '\\')
                estado = 3;
            else if (b == '"')
                estado = 4;
            else if (b == '\r')
                return false;
            break;
        case 3:
            estado = 2;
            break;
        case 4:
            if (b == '@')
                estado = 6;
            else if (b == '.')
                estado = 5;
            else
                return false;
            break;
        case 6:
            if (!ehLetra(b))
                return false;
            estado = 7;
            break;
        case 7:
            if (b == '.') {
                estado = 6;
                ++pontos;
            } else if (b == '-') {
                estado = 8;
            } else if (!ehLetra(b) && !ehDigito(b)) {
                return false;
            }
            break;
        case 8:
            if (ehLetra(b) || ehDigito(b))
                estado = 7;
            else if (b != '-')
                return false;
            break;
        }
    }
    return estado == 7 && pontos >= 1;
}

QString CompletarZeros(const QString &texto, int largura)
{
    return texto.rightJustified(largura, u'0');
}

QString NomeSemExtensao(const QString &caminho)
{
    qsizetype corte = caminho.size();
    while (corte > 0 && !ehSeparador(caminho.at(corte - 1)))
        --corte;
    QString nome = caminho.mid(corte);
    const qsizetype ponto = nome.lastIndexOf(u'.');
    if (ponto < 0)
        return nome;
    const QString extensao = nome.mid(ponto);
    // The first occurrence of the extension goes, not necessarily the last: "a.txt.b.txt" gives
    // "a.b.txt"; names already written depend on it.
    return nome.remove(nome.indexOf(extensao), extensao.size());
}

QString CodificarSenha(const QString &texto)
{
    return deslocar(texto, 1);
}

QString DecodificarSenha(const QString &texto)
{
    return deslocar(texto, -1);
}

void ApagarArquivos(const QString &pasta, const QString &mascara)
{
    QString raiz = pasta;
    raiz.replace(u'\\', u'/');
    if (!raiz.isEmpty() && !raiz.endsWith(u'/'))
        raiz.append(u'/');
    const QDir dir(raiz.isEmpty() ? QStringLiteral(".") : raiz);
    if (!dir.exists())
        return;
    const QStringList nomes = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                            | QDir::NoDotAndDotDot);
    for (const QString &nome : nomes) {
        if (!casaMascara(nome, mascara))
            continue;
        const QString caminho = raiz + nome;
        // A link to a folder counts as a folder, as it does for the platform's own enumeration.
        if (QFileInfo(caminho).isDir())
            continue;
        QFile::remove(caminho);
    }
}

} // namespace lumaro
