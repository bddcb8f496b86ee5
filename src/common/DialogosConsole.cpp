#include "DialogosConsole.h"

namespace lumaro {

Botao DialogosConsole::mostrar(const Mensagem &m)
{
    QString texto = m.texto;
    texto.replace(QLatin1String("\r\n"), QLatin1String(" "));
    texto.replace(QLatin1Char('\r'), QLatin1Char(' '));
    texto.replace(QLatin1Char('\n'), QLatin1Char(' '));
    Botao resposta = m.padrao;
    if ((m.botoes & Sim) && (m.botoes & Nao))
        resposta = m_sim ? Sim : Nao;
    const QString linha = m.titulo.trimmed() + QLatin1String(": ") + texto.trimmed()
        + ((m.botoes & Sim) ? (resposta == Sim ? QStringLiteral(" [Sim]") : QStringLiteral(" [Não]")) : QString())
        + QLatin1Char('\n');
    std::fputs(linha.toLocal8Bit().constData(), m_saida);
    std::fflush(m_saida);
    return resposta;
}

} // namespace lumaro
