#pragma once

// Records of one request as the data module hands them to the document, and pictures made on
// the spot, so that each test states only what it changes.

#include <QBuffer>
#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QVariantMap>

namespace amostra {

inline QByteArray codificar(const QImage &img, const char *formato)
{
    QByteArray dados;
    QBuffer b(&dados);
    b.open(QIODevice::WriteOnly);
    img.save(&b, formato, 95);
    return dados;
}

// A shield in the municipality's colours.
inline QImage brasao()
{
    QImage img(204, 196, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath escudo;
    escudo.moveTo(12, 10);
    escudo.lineTo(192, 10);
    escudo.lineTo(192, 110);
    escudo.quadTo(192, 170, 102, 190);
    escudo.quadTo(12, 170, 12, 110);
    escudo.closeSubpath();
    p.fillPath(escudo, QColor(0, 90, 160));
    p.setPen(QPen(QColor(230, 180, 0), 8));
    p.drawPath(escudo);
    p.fillRect(QRectF(92, 20, 20, 160), QColor(230, 180, 0));
    p.fillRect(QRectF(30, 70, 144, 20), QColor(230, 180, 0));
    return img;
}

// A handwritten name.
inline QImage assinatura()
{
    QImage img(170, 48, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 30, 110), 2.5));
    QPainterPath traco;
    traco.moveTo(6, 34);
    traco.cubicTo(20, 2, 34, 44, 48, 24);
    traco.cubicTo(60, 8, 70, 40, 86, 22);
    traco.cubicTo(100, 6, 112, 42, 128, 20);
    traco.cubicTo(140, 6, 150, 30, 164, 26);
    p.drawPath(traco);
    return img;
}

inline QVariantMap aidf()
{
    QVariantMap m;
    m["NUMERO_AIDF_PREF"] = 123;
    m["ID_PREFEITURA"] = 7;
    m["MODELO_NF"] = QStringLiteral("Nota Fiscal de Serviços Eletrônica");
    m["TIPO_NF"] = QStringLiteral("Bloco com talonário");
    m["SERIE"] = QStringLiteral("A");
    m["SUB_SERIE"] = QStringLiteral("1");
    m["NUME_INICIAL"] = 1501;
    m["NUME_FINAL"] = 2000;
    m["QUANTIDADE"] = QVariant::fromValue<short>(500);
    m["DATA_HORA_CADASTRO"] = QDateTime(QDate(2024, 3, 4), QTime(9, 15, 42));
    m["DATA_HORA_APROV_REPROV"] = QDateTime(QDate(2024, 3, 5), QTime(16, 2, 7));
    m["DATA_HORA_FINALIZA"] = QVariant();
    m["STATUS"] = QStringLiteral("5");
    m["NUME_VIAS"] = QStringLiteral("3");
    m["NUMERO_ESTADO"] = QStringLiteral("EST-2024/000871");
    m["PREFEITURA"] = QStringLiteral("PREFEITURA MUNICIPAL DE SÃO JOÃO DO OESTE");
    m["CNPJ_PREF"] = QStringLiteral("11222333000181");
    m["NOMEDEPARTAMENTO"] = QStringLiteral("Secretaria Municipal da Fazenda");
    m["EMAIL_PREF"] = QStringLiteral("fazenda@saojoao.example");
    m["BRASAO"] = codificar(brasao(), "JPEG");
    m["CNPJ_RESP"] = QStringLiteral("44555666000172");
    m["CNPJ_RESP_FORM"] = QStringLiteral("44.555.666/0001-72");
    m["NOME_RESP"] = QStringLiteral("Contabilidade Horizonte Ltda");
    m["IE_RESP"] = QStringLiteral("255123987");
    m["IM_RESP"] = QStringLiteral("40021");
    m["ENDE_RESP"] = QStringLiteral("Rua das Acácias, 410");
    m["CEP_RESP"] = QStringLiteral("89870000");
    m["FONE_RESP"] = QStringLiteral("(49) 3642-1100");
    m["EMAIL_RESP"] = QStringLiteral("contato@horizonte.example");
    m["BAIRRO_RESP"] = QStringLiteral("Centro");
    m["CIDADE_RESP"] = QStringLiteral("São João do Oeste");
    m["UF_RESP"] = QStringLiteral("SC");
    m["CNPJ_SOLI"] = QStringLiteral("77888999000155");
    m["CNPJ_SOLI_FORM"] = QStringLiteral("77.888.999/0001-55");
    m["NOME_SOLI"] = QStringLiteral("Mercado Pinheirinho Eireli");
    m["IE_SOLI"] = QStringLiteral("255000111");
    m["IM_SOLI"] = QStringLiteral("40877");
    m["ENDE_SOLI"] = QStringLiteral("Avenida Brasil, 1200, sala 3");
    m["CEP_SOLI"] = QStringLiteral("89870123");
    m["FONE_SOLI"] = QStringLiteral("(49) 3642-2233");
    m["EMAIL_SOLI"] = QStringLiteral("financeiro@pinheirinho.example");
    m["BAIRRO_SOLI"] = QStringLiteral("Vila Nova");
    m["CIDADE_SOLI"] = QStringLiteral("Itapiranga");
    m["UF_SOLI"] = QStringLiteral("SC");
    m["OBSERVACAO_PREF"] = QStringLiteral(
        "Autorizada a confecção conforme solicitado.\r\nOs blocos devem conter a numeração "
        "sequencial e a identificação da gráfica no rodapé de cada via.");
    m["OBSERVACAO_GRAF"] = QVariant();
    m["NOME_DE_QUEM_APROVOU"] = QStringLiteral("Marta Regina Kuhn");
    m["ASSINATURA"] = codificar(assinatura(), "JPEG");
    return m;
}

inline QVariantMap grafica()
{
    QVariantMap m;
    m["RAZAO_SOCIAL"] = QStringLiteral("Gráfica Estrela do Sul Ltda");
    m["CNPJ"] = QStringLiteral("12345678000195");
    m["INS_MUNICIPAL"] = QStringLiteral("30011");
    m["INS_ESTADUAL"] = QStringLiteral("254777888");
    m["ENDERECO"] = QStringLiteral("Rua Tiradentes, 88");
    m["BAIRRO"] = QStringLiteral("Industrial");
    m["CIDADE"] = QStringLiteral("Mondaí");
    m["UF"] = QStringLiteral("SC");
    m["CEP"] = QStringLiteral("89893000");
    m["TELEFONE"] = QStringLiteral("(49) 3674-5500");
    m["EMAIL"] = QStringLiteral("orcamentos@estreladosul.example");
    return m;
}

} // namespace amostra
