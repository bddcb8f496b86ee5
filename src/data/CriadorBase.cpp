#include "CriadorBase.h"

#include "BancoFirebird.h"
#include "EsquemaSql.h"

#include <QRegularExpression>

namespace lumaro {

QStringList dividirScript(const QString &script)
{
    QStringList comandos;
    QString terminador = QStringLiteral(";");
    QString atual;
    const int n = script.size();
    static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    auto fecharComando = [&] {
        const QString c = atual.trimmed();
        atual.clear();
        if (c.isEmpty())
            return;
        const auto m = setTerm.match(c);
        if (m.hasMatch()) {
            terminador = m.captured(1);
            return;
        }
        comandos << c;
    };
    for (int i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == u'\'' || c == u'"') {
            int fim = script.indexOf(c, i + 1);
            if (fim < 0) fim = n - 1;
            atual += script.mid(i, fim - i + 1);
            i = fim;
        } else if (c == u'-' && i + 1 < n && script[i + 1] == u'-') {
            int fim = script.indexOf(u'\n', i);
            if (fim < 0) fim = n - 1;
            i = fim;
            atual += u'\n';
        } else if (c == u'/' && i + 1 < n && script[i + 1] == u'*') {
            int fim = script.indexOf(QLatin1String("*/"), i + 2);
            i = fim < 0 ? n - 1 : fim + 1;
            atual += u' ';
        } else if (script.mid(i, terminador.size()) == terminador) {
            i += int(terminador.size()) - 1;
            fecharComando();
        } else {
            atual += c;
        }
    }
    fecharComando();
    return comandos;
}

QString scriptEsquema()
{
    return QString::fromUtf8(kEsquemaSql);
}

void criarBase(const QString &banco, const OpcoesCriacao &opcoes)
{
    Conexao::criarBanco(banco, QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
    Conexao con;
    con.abrir(banco, QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
    for (const QString &comando : dividirScript(scriptEsquema())) {
        if (!opcoes.comOutlook && comando.contains(QLatin1String("ADD OUTLOOK")))
            continue;
        // DDL must be committed before the next statement can use what it created.
        con.executarImediato(comando);
    }
    con.fechar();
}

} // namespace lumaro
