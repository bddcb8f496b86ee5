#include "DialogosQt.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace lumaro {

namespace {
QMessageBox::Icon iconeQt(Icone i)
{
    switch (i) {
    case Icone::Informacao: return QMessageBox::Information;
    case Icone::Aviso: return QMessageBox::Warning;
    case Icone::Erro: return QMessageBox::Critical;
    case Icone::Pergunta: return QMessageBox::Question;
    case Icone::Nenhum: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Botao DialogosQt::mostrar(const Mensagem &m)
{
    QMessageBox caixa(iconeQt(m.icone), m.titulo, QString(m.texto).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n'),
                      QMessageBox::NoButton, QApplication::activeWindow());
    const QList<QPair<Botao, QMessageBox::StandardButton>> mapa = {
        {Ok, QMessageBox::Ok}, {Sim, QMessageBox::Yes}, {Nao, QMessageBox::No}, {Cancelar, QMessageBox::Cancel}};
    for (const auto &[b, q] : mapa) {
        if (m.botoes & b) {
            QAbstractButton *botao = caixa.addButton(q);
            if (b == Sim) botao->setText(QStringLiteral("&Sim"));
            if (b == Nao) botao->setText(QStringLiteral("&Não"));
            if (b == Cancelar) botao->setText(QStringLiteral("Cancelar"));
        }
    }
    for (const auto &[b, q] : mapa)
        if (m.padrao == b && caixa.button(q))
            caixa.setDefaultButton(qobject_cast<QPushButton *>(caixa.button(q)));
    if (m.topo)
        caixa.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    caixa.exec();
    const auto clicado = caixa.standardButton(caixa.clickedButton());
    for (const auto &[b, q] : mapa)
        if (q == clicado)
            return b;
    // Closed with Escape or the title bar: the answer that consents to nothing.
    return (m.botoes & Nao) ? Nao : ((m.botoes & Cancelar) ? Cancelar : Ok);
}

QStringList DialogosQt::abrirArquivos(const EscolhaArquivo &e)
{
    if (e.varios)
        return QFileDialog::getOpenFileNames(QApplication::activeWindow(), e.titulo, e.pasta, e.filtro);
    const QString um = QFileDialog::getOpenFileName(QApplication::activeWindow(), e.titulo, e.pasta, e.filtro);
    return um.isEmpty() ? QStringList() : QStringList{um};
}

QString DialogosQt::salvarArquivo(const EscolhaArquivo &e)
{
    QFileDialog d(QApplication::activeWindow(), e.titulo, e.pasta, e.filtro);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    if (!e.extensaoPadrao.isEmpty())
        d.setDefaultSuffix(e.extensaoPadrao);
    if (!e.nomeProposto.isEmpty())
        d.selectFile(e.nomeProposto);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return QString();
    return d.selectedFiles().first();
}

} // namespace lumaro
