#pragma once

#include <QString>
#include <exception>
#include <string>

namespace lumaro {

// An error meant for the operator: its text is shown as it is by the application-wide error display.
class Erro : public std::exception
{
public:
    explicit Erro(QString texto) : m_texto(std::move(texto)), m_utf8(m_texto.toStdString()) {}
    const QString &texto() const noexcept { return m_texto; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_texto;
    std::string m_utf8;
};

// A silent abort: the operation stops and nobody shows anything (the check that refused it already spoke).
class Abortar : public std::exception
{
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};

} // namespace lumaro
