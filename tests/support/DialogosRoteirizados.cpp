#include "DialogosRoteirizados.h"

namespace lumaro::teste {

namespace {
Dialogos *g_atual = nullptr;
}

DialogosRoteirizados::DialogosRoteirizados()
{
    m_anterior = g_atual;
    g_atual = this;
    definirDialogos(this);
}

DialogosRoteirizados::~DialogosRoteirizados()
{
    g_atual = m_anterior;
    definirDialogos(m_anterior);
}

Botao DialogosRoteirizados::mostrar(const Mensagem &m)
{
    mostradas.append(m);
    if (aoMostrar)
        aoMostrar(m);
    if (!respostas.isEmpty())
        return respostas.takeFirst();
    return m.padrao;
}

QStringList DialogosRoteirizados::abrirArquivos(const EscolhaArquivo &e)
{
    escolhas.append(e);
    return arquivosAbrir.isEmpty() ? QStringList() : arquivosAbrir.takeFirst();
}

QString DialogosRoteirizados::salvarArquivo(const EscolhaArquivo &e)
{
    escolhas.append(e);
    return arquivosSalvar.isEmpty() ? QString() : arquivosSalvar.takeFirst();
}

QStringList DialogosRoteirizados::textos() const
{
    QStringList t;
    for (const auto &m : mostradas)
        t << m.texto;
    return t;
}

void DialogosRoteirizados::limpar()
{
    mostradas.clear();
    escolhas.clear();
}

} // namespace lumaro::teste
