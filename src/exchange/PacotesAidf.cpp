#include "PacotesAidf.h"

#include "uFuncoes.h"

#include <QFileInfo>

namespace lumaro::PacotesAidf {

QList<CampoPacote> camposAidf()
{
    using C = CampoPacote;
    return {
        C::inteiro(QStringLiteral("NUMERO_AIDF")),
        C::texto(QStringLiteral("CNPJ_PREF"), 14),
        C::texto(QStringLiteral("NOME_PREF"), 50),
        C::texto(QStringLiteral("NOMEDEPART"), 100),
        C::texto(QStringLiteral("FONE_PREF"), 30),
        C::texto(QStringLiteral("EMAIL_PREF"), 100),
        C::texto(QStringLiteral("CIDADE_PREF"), 30),
        C::texto(QStringLiteral("UF_PREF"), 2),
        C::texto(QStringLiteral("NOME_RESP"), 50),
        C::texto(QStringLiteral("CNPJ_RESP"), 14),
        C::texto(QStringLiteral("ENDERECO_RESP"), 50),
        C::texto(QStringLiteral("BAIRRO_RESP"), 30),
        C::texto(QStringLiteral("CIDADE_RESP"), 30),
        C::texto(QStringLiteral("UF_RESP"), 2),
        C::texto(QStringLiteral("INS_M_RESP"), 15),
        C::texto(QStringLiteral("INS_E_RESP"), 15),
        C::texto(QStringLiteral("CEP_RESP"), 8),
        C::texto(QStringLiteral("TELEFONE_RESP"), 15),
        C::texto(QStringLiteral("EMAIL_RESP"), 80),
        C::texto(QStringLiteral("NOME_SOLI"), 50),
        C::texto(QStringLiteral("CNPJ_SOLI"), 14),
        C::texto(QStringLiteral("ENDERECO_SOLI"), 50),
        C::texto(QStringLiteral("BAIRRO_SOLI"), 30),
        C::texto(QStringLiteral("CIDADE_SOLI"), 50),
        C::texto(QStringLiteral("UF_SOLI"), 2),
        C::texto(QStringLiteral("CEP_SOLI"), 8),
        C::texto(QStringLiteral("INS_M_SOLI"), 15),
        C::texto(QStringLiteral("INS_E_SOLI"), 15),
        C::texto(QStringLiteral("FONE_SOLI"), 30),
        C::texto(QStringLiteral("EMAIL_SOLI"), 100),
        C::texto(QStringLiteral("NOME_GRAF"), 50),
        C::texto(QStringLiteral("CNPJ_GRAF"), 14),
        C::texto(QStringLiteral("MODELO"), 50),
        C::texto(QStringLiteral("SERIE"), 3),
        C::texto(QStringLiteral("SUB_SERIE"), 3),
        C::texto(QStringLiteral("TIPO"), 50),
        C::inteiro(QStringLiteral("NUME_INICIAL")),
        C::inteiro(QStringLiteral("NUME_FINAL")),
        C::inteiro(QStringLiteral("QUANTIDADE")),
        C::texto(QStringLiteral("NUME_VIA"), 1),
        C::texto(QStringLiteral("NUMERO_ESTADO"), 20),
        C::dataHora(QStringLiteral("EMITIDAEM")),
        C::dataHora(QStringLiteral("APROVADAEM")),
        C::memo(QStringLiteral("OBSERVACAO")),
        C::grafico(QStringLiteral("BRASAO")),
        C::inteiro(QStringLiteral("ID_SOLI_AIDF_EMISSOR")),
        C::texto(QStringLiteral("USUARIO_APROVA_AIDF"), 50),
        C::grafico(QStringLiteral("ASSINATURA")),
        C::inteiro(QStringLiteral("ID_USUARIO_APROV")),
    };
}

QList<CampoPacote> camposRetorno()
{
    using C = CampoPacote;
    return {
        C::inteiro(QStringLiteral("NUMERO_AIDF")),
        C::texto(QStringLiteral("CNPJ_PREF"), 14),
        C::texto(QStringLiteral("CNPJ_RESP"), 14),
        C::texto(QStringLiteral("CNPJ_SOLI"), 14),
        C::dataHora(QStringLiteral("FINALIZADAEM")),
        C::memo(QStringLiteral("OBSERVACAO")),
        C::inteiro(QStringLiteral("ID_SOLI_AIDF_EMISSOR")),
        C::texto(QStringLiteral("STATUS"), 1),
    };
}

PacoteDados novoAidf()
{
    return PacoteDados(camposAidf(), QStringLiteral("cdsAIDFEnviGraf"));
}

PacoteDados novoRetorno()
{
    return PacoteDados(camposRetorno(), QStringLiteral("cdsRetorno"));
}

QString nomeMembroDados(const QString &caminhoArquivo)
{
    return NomeSemExtensao(QFileInfo(caminhoArquivo).fileName()) + QString::fromUtf16(kExtensaoDados);
}

} // namespace lumaro::PacotesAidf
