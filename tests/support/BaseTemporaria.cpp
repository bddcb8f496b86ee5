#include "BaseTemporaria.h"

#include <QFile>
#include <QMutex>
#include <stdexcept>

namespace lumaro::teste {

BaseTemporaria::BaseTemporaria(const OpcoesCriacao &opcoes)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    m_caminho = m_dir.filePath(QStringLiteral("Dados.fdb"));
    // Running the script costs a second or more; a copy of a base made once per process does not.
    static QMutex trava;
    static QTemporaryDir modelos;
    QMutexLocker lock(&trava);
    const QString nome = opcoes.comOutlook ? QStringLiteral("modelo.fdb") : QStringLiteral("modelo-antigo.fdb");
    QString modelo = QStringLiteral(LUMARO_MODELOS_DIR "/") + nome;
    if (!QFile::exists(modelo))
        modelo = modelos.filePath(opcoes.comOutlook ? QStringLiteral("modelo.fdb") : QStringLiteral("modelo-antigo.fdb"));
    if (!QFile::exists(modelo))
        criarBase(modelo, opcoes);
    if (!QFile::copy(modelo, m_caminho))
        throw std::runtime_error("cannot copy the model database");
    QFile::setPermissions(m_caminho, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
}

ModuloTeste::ModuloTeste(const OpcoesCriacao &opcoes) : m_base(opcoes), m_dm(new TdmPrinc)
{
    m_dm->banco = m_base.caminho();
    m_dm->conectar();
}

ModuloTeste::~ModuloTeste() = default;

QList<QVariantList> ModuloTeste::consultarFora(const QString &sql, const QVariantList &parametros)
{
    Conexao c;
    c.abrir(m_base.caminho(), QLatin1String(kUsuarioBanco), QLatin1String(kSenhaBanco));
    return c.consultar(sql, parametros);
}

int ModuloTeste::cidade(const QString &nome, const QString &uf)
{
    const int id = m_dm->NovoID(QStringLiteral("CIDADE"));
    m_dm->executarGeral(QStringLiteral("insert into CIDADE (ID_CIDADE, NOME, UF) values (?, ?, ?)"), {id, nome, uf});
    return id;
}

int ModuloTeste::bairro(const QString &nome)
{
    const int id = m_dm->NovoID(QStringLiteral("BAIRRO"));
    m_dm->executarGeral(QStringLiteral("insert into BAIRRO (ID_BAIRRO, NOME) values (?, ?)"), {id, nome});
    return id;
}

void ModuloTeste::grafica(const QString &cnpj)
{
    const int b = bairro(QStringLiteral("Centro"));
    const int c = cidade(QStringLiteral("São Paulo"), QStringLiteral("SP"));
    m_dm->executarGeral(QStringLiteral("insert into GRAFICA (ID_GRAFICA, RAZAO_SOCIAL, CNPJ, ENDERECO, ID_BAIRRO, "
                                       "ID_CIDADE, TELEFONE, EMAIL, CEP) values (1, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        {QStringLiteral("Gráfica Exemplo Ltda"), cnpj, QStringLiteral("Rua das Flores, 10"), b, c,
                         QStringLiteral("(11) 5555-0000"), QStringLiteral("contato@grafica.com.br"), QStringLiteral("01001000")});
}

} // namespace lumaro::teste
