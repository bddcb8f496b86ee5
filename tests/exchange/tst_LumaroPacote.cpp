// lumaro-pacote run as the operator or a test script runs it: real files, real archives.
#include "Apoio.h"

#include "ArquivoZip.h"
#include "Erros.h"
#include "PacoteDados.h"
#include "PacotesAidf.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

std::string s(const QString &t) { return t.toStdString(); }

apoio::Execucao pacote(const QStringList &args, const QString &pasta = {})
{
    return apoio::executar(apoio::ferramenta(), args, pasta);
}

// The line "  CAMPO  Tipo  valor" that mostrar prints for a field.
QString linhaDoCampo(const QByteArray &saida, const QString &campo)
{
    const QRegularExpression re(QStringLiteral("^  %1 +(.*)$").arg(QRegularExpression::escape(campo)), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = re.match(QString::fromUtf8(saida));
    return m.hasMatch() ? m.captured(1).simplified() : QString();
}

PacoteDados lerPacote(const QString &arquivo)
{
    return PacoteDados::ler(ArquivoZip::lerMembro(arquivo, PacotesAidf::nomeMembroDados(arquivo)));
}

struct Valor
{
    const char *campo;
    const char *linha;   // as written in the description
    QVariant esperado;
};

} // namespace

TEST(FerramentaCriarAidf, DescricaoCompletaViraPacoteQueSeLeDeVolta)
{
    QTemporaryDir raiz;
    const QString pastaDescricao = raiz.filePath("descricao");
    QDir().mkpath(pastaDescricao + "/imagens");
    const QByteArray brasao = apoio::jpeg(40, 30, 0x2255AA);
    const QByteArray assinatura = apoio::jpeg(60, 20, 0xEEEEEE);
    apoio::gravar(pastaDescricao + "/imagens/brasão.jpg", brasao);
    apoio::gravar(pastaDescricao + "/assinatura.jpg", assinatura);

    const Valor valores[] = {
        {"NUMERO_AIDF", "1234", 1234},
        {"CNPJ_PREF", "12345678000195", "12345678000195"},
        {"NOME_PREF", "Prefeitura Municipal de São João d'Aliança", QStringLiteral("Prefeitura Municipal de São João d'Aliança")},
        {"NOMEDEPART", "Secretaria da Fazenda — Fiscalização", QStringLiteral("Secretaria da Fazenda — Fiscalização")},
        {"FONE_PREF", "(62) 3459-1234", "(62) 3459-1234"},
        {"EMAIL_PREF", "fiscal@saojoao.go.gov.br", "fiscal@saojoao.go.gov.br"},
        {"CIDADE_PREF", "São João d'Aliança", QStringLiteral("São João d'Aliança")},
        {"UF_PREF", "GO", "GO"},
        {"NOME_RESP", "Contabilidade Exemplo Ltda", "Contabilidade Exemplo Ltda"},
        {"CNPJ_RESP", "98765432000110", "98765432000110"},
        {"ENDERECO_RESP", "Rua 7, nº 45", QStringLiteral("Rua 7, nº 45")},
        {"BAIRRO_RESP", "Centro", "Centro"},
        {"CIDADE_RESP", "Formosa", "Formosa"},
        {"UF_RESP", "GO", "GO"},
        {"INS_M_RESP", "123456", "123456"},
        {"INS_E_RESP", "ISENTO", "ISENTO"},
        {"CEP_RESP", "73800000", "73800000"},
        {"TELEFONE_RESP", "6234321234", "6234321234"},
        {"EMAIL_RESP", "contato@exemplo.com.br", "contato@exemplo.com.br"},
        {"NOME_SOLI", "Padaria Pão Quente ME", QStringLiteral("Padaria Pão Quente ME")},
        {"CNPJ_SOLI", "12345678909", "12345678909"},
        {"ENDERECO_SOLI", "Av. Goiás, 1000", QStringLiteral("Av. Goiás, 1000")},
        {"BAIRRO_SOLI", "Setor Sul", "Setor Sul"},
        {"CIDADE_SOLI", "São João d'Aliança", QStringLiteral("São João d'Aliança")},
        {"UF_SOLI", "GO", "GO"},
        {"CEP_SOLI", "73760000", "73760000"},
        {"INS_M_SOLI", "", ""},
        {"INS_E_SOLI", "\"  10.123.456 \"", "  10.123.456 "},
        {"FONE_SOLI", "62 99999-0000", "62 99999-0000"},
        {"EMAIL_SOLI", "padaria@exemplo.com", "padaria@exemplo.com"},
        {"NOME_GRAF", "Gráfica Modelo", QStringLiteral("Gráfica Modelo")},
        {"CNPJ_GRAF", "11222333000181", "11222333000181"},
        {"MODELO", "Nota Fiscal de Serviços Eletrônica", QStringLiteral("Nota Fiscal de Serviços Eletrônica")},
        {"SERIE", "A", "A"},
        {"SUB_SERIE", "1", "1"},
        {"TIPO", "Talão", QStringLiteral("Talão")},
        {"NUME_INICIAL", "1", 1},
        {"NUME_FINAL", "5000", 5000},
        {"QUANTIDADE", "50", 50},
        {"NUME_VIA", "3", "3"},
        {"NUMERO_ESTADO", "GO-2024/000123", "GO-2024/000123"},
        {"EMITIDAEM", "02/01/2024 03:04:05", QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))},
        {"APROVADAEM", "2024-01-03T16:00:59", QDateTime(QDate(2024, 1, 3), QTime(16, 0, 59))},
        {"OBSERVACAO", "Retirar na sede.\\nTrazer o talão anterior.\\tObrigado", QStringLiteral("Retirar na sede.\r\nTrazer o talão anterior.\tObrigado")},
        {"BRASAO", "imagens/brasão.jpg", brasao},
        {"ID_SOLI_AIDF_EMISSOR", "-987654", -987654},
        {"USUARIO_APROVA_AIDF", "José da Silva", QStringLiteral("José da Silva")},
        {"ASSINATURA", "assinatura.jpg", assinatura},
        {"ID_USUARIO_APROV", "42", 42},
    };
    QByteArray descricao = "\xEF\xBB\xBF# Pedido de teste\r\n\r\n";
    for (const Valor &v : valores)
        descricao += QByteArray(v.campo) + " = " + v.linha + "\r\n";
    apoio::gravar(pastaDescricao + "/pedido.txt", descricao);

    for (bool pendente : {false, true}) {
        SCOPED_TRACE(pendente ? "inclusão pendente" : "dado simples");
        const QString saida = raiz.filePath(pendente ? "Pendente.PrefGraf" : "X.PrefGraf");
        QStringList args{"criar-aidf", "descricao/pedido.txt", QFileInfo(saida).fileName()};
        if (pendente)
            args.insert(1, "--insercao-pendente");
        const apoio::Execucao e = pacote(args, raiz.path());
        ASSERT_EQ(e.codigo, 0) << e.erro.toStdString();

        const QList<ArquivoZip::Membro> membros = ArquivoZip::membros(saida);
        ASSERT_EQ(membros.size(), 1);
        EXPECT_EQ(membros[0].nome, PacotesAidf::nomeMembroDados(saida));
        EXPECT_TRUE(membros[0].cifrado);

        const PacoteDados p = lerPacote(saida);
        const QList<CampoPacote> contrato = PacotesAidf::camposAidf();
        ASSERT_EQ(p.campos.size(), contrato.size());
        for (qsizetype i = 0; i < contrato.size(); ++i) {
            EXPECT_EQ(p.campos[i].nome, contrato[i].nome);
            EXPECT_EQ(p.campos[i].tipo, contrato[i].tipo) << s(contrato[i].nome);
            EXPECT_EQ(p.campos[i].tamanho, contrato[i].tamanho) << s(contrato[i].nome);
        }
        ASSERT_EQ(p.registros.size(), 1);
        for (const Valor &v : valores)
            EXPECT_EQ(p.valor(v.campo), v.esperado) << v.campo;
        EXPECT_EQ(p.linhas()[0].estado, pendente ? 4 : 0);

        // The reference decoder agrees on the stored form.
        const QString membro = raiz.filePath(membros[0].nome);
        apoio::gravar(membro, ArquivoZip::lerMembro(saida, membros[0].nome));
        const QJsonObject o = apoio::oraculo({membro})[membros[0].nome].toObject();
        ASSERT_FALSE(o.contains(u"erro")) << s(o[u"erro"].toString());
        EXPECT_EQ(o[u"linhas"][0][u"estado"].toInt(), pendente ? 4 : 0);
        EXPECT_EQ(o[u"parametros"].toArray().size(), pendente ? 1 : 0);
        EXPECT_EQ(o[u"campos"].toArray().size(), 49);
    }

    const apoio::Execucao m = pacote({"mostrar", raiz.filePath("X.PrefGraf")});
    ASSERT_EQ(m.codigo, 0) << m.erro.toStdString();
    EXPECT_TRUE(m.saida.contains("Membro: X.Aidf\n"));
    EXPECT_TRUE(m.saida.contains("Campos: 49; registros: 1\n"));
    for (const Valor &v : valores)
        EXPECT_FALSE(linhaDoCampo(m.saida, v.campo).isEmpty()) << v.campo;
    EXPECT_EQ(linhaDoCampo(m.saida, "NUMERO_AIDF"), "Inteiro 1234");
    EXPECT_EQ(linhaDoCampo(m.saida, "NOME_PREF"), QStringLiteral("Texto(50) \"Prefeitura Municipal de São João d'Aliança\""));
    EXPECT_EQ(linhaDoCampo(m.saida, "EMITIDAEM"), "DataHora 02/01/2024 03:04:05");
    EXPECT_EQ(linhaDoCampo(m.saida, "OBSERVACAO"), QStringLiteral("Memo \"Retirar na sede.\\r\\nTrazer o talão anterior.\\tObrigado\""));
    EXPECT_EQ(linhaDoCampo(m.saida, "BRASAO"), QStringLiteral("Grafico %1 bytes, imagem JPEG").arg(brasao.size()));
    EXPECT_EQ(linhaDoCampo(m.saida, "INS_M_SOLI"), "Texto(15) \"\"");
}

TEST(FerramentaCriarAidf, CamposOmitidosNulosEEmBranco)
{
    QTemporaryDir raiz;
    const QByteArray naoJpeg = "\x89PNG\r\n\x1a\n não é jpeg";
    apoio::gravar(raiz.filePath("naojpeg.png"), naoJpeg);
    apoio::gravar(raiz.filePath("d.txt"),
                  "# só alguns campos\n"
                  "numero_aidf = 55\n"
                  "NUMERO_ESTADO =\n"
                  "QUANTIDADE =   \n"
                  "OBSERVACAO = <omitir>\n"
                  "BRASAO = <nulo>\n"
                  "ASSINATURA = naojpeg.png\n"
                  "EMITIDAEM = 31/12/2023\n"
                  "   # comentário recuado\n"
                  "NOME_PREF = a = b\n");
    const apoio::Execucao e = pacote({"criar-aidf", raiz.filePath("d.txt"), raiz.filePath("Y.PrefGraf")});
    ASSERT_EQ(e.codigo, 0) << e.erro.toStdString();

    PacoteDados p = lerPacote(raiz.filePath("Y.PrefGraf"));
    EXPECT_EQ(p.campos.size(), 48);
    EXPECT_EQ(p.valor("NUMERO_AIDF"), 55);
    EXPECT_EQ(p.valor("NUMERO_ESTADO"), "");
    EXPECT_FALSE(p.valor("NUMERO_ESTADO").isNull());
    EXPECT_TRUE(p.valor("QUANTIDADE").isNull());
    EXPECT_TRUE(p.valor("BRASAO").isNull());
    EXPECT_TRUE(p.valor("EMAIL_PREF").isNull());   // not in the description: NULL, but there
    EXPECT_EQ(p.valor("EMITIDAEM"), QDateTime(QDate(2023, 12, 31), QTime(0, 0)));
    EXPECT_EQ(p.valor("NOME_PREF"), "a = b");
    EXPECT_FALSE(ehImagemJpeg(p.valor("ASSINATURA").toByteArray()));
    p.nome = "cdsAIDFEnviGraf";
    try {
        p.valor("OBSERVACAO");
        ADD_FAILURE() << "OBSERVACAO não devia existir";
    } catch (const Erro &erro) {
        EXPECT_EQ(erro.texto(), "cdsAIDFEnviGraf: Field 'OBSERVACAO' not found");
    }

    const apoio::Execucao m = pacote({"mostrar", raiz.filePath("Y.PrefGraf")});
    ASSERT_EQ(m.codigo, 0);
    EXPECT_TRUE(linhaDoCampo(m.saida, "OBSERVACAO").isEmpty());
    EXPECT_EQ(linhaDoCampo(m.saida, "BRASAO"), "Grafico nulo");
    EXPECT_EQ(linhaDoCampo(m.saida, "ASSINATURA"), QStringLiteral("Grafico %1 bytes, não é imagem JPEG").arg(naoJpeg.size()));
}

TEST(FerramentaCriarAidf, DescricoesRuinsDaoErroSemCriarPacote)
{
    struct Caso
    {
        const char *descricao;
        const char *trecho;
    };
    const Caso casos[] = {
        {"NUMERO_AIDF = 1\nCAMPO_QUE_NAO_HA = 2\n", "linha 2: campo desconhecido: CAMPO_QUE_NAO_HA"},
        {"NUMERO_AIDF 1\n", "linha 1: esperava CAMPO = valor"},
        {"NUMERO_AIDF = doze\n", "NUMERO_AIDF precisa de um número inteiro"},
        {"NUMERO_AIDF = 99999999999\n", "NUMERO_AIDF precisa de um número inteiro"},
        {"# uf\nUF_PREF = GOI\n", "linha 2: UF_PREF aceita até 2 caracteres"},
        {"EMITIDAEM = 31/02/2024\n", "EMITIDAEM precisa de uma data-hora"},
        {"BRASAO = nao-existe.jpg\n", "não foi possível ler a imagem de BRASAO"},
        {"SERIE = A\nSERIE = B\n", "linha 2: SERIE já foi dado na linha 1"},
        {"NOME_PREF = 世界\n", "NOME_PREF tem caracteres que não existem em Windows-1252"},
    };
    QTemporaryDir raiz;
    const QString saida = raiz.filePath("Z.PrefGraf");
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.descricao);
        apoio::gravar(raiz.filePath("d.txt"), c.descricao);
        const apoio::Execucao e = pacote({"criar-aidf", raiz.filePath("d.txt"), saida});
        EXPECT_EQ(e.codigo, 1);
        EXPECT_TRUE(QString::fromUtf8(e.erro).contains(QString::fromUtf8(c.trecho))) << e.erro.toStdString();
        EXPECT_FALSE(QFileInfo::exists(saida));
    }

    struct Uso
    {
        QStringList args;
        int codigo;
        const char *trecho;
    };
    const Uso usos[] = {
        {{}, 2, "falta o subcomando"},
        {{"desconhecido"}, 2, "subcomando desconhecido: desconhecido"},
        {{"criar-aidf"}, 2, "indique a descrição e o pacote a criar"},
        {{"criar-aidf", raiz.filePath("d.txt")}, 2, "indique a descrição e o pacote a criar"},
        {{"criar-aidf", "--sem-isso", raiz.filePath("d.txt"), saida}, 2, "opção desconhecida: --sem-isso"},
        {{"criar-aidf", raiz.filePath("nao-existe.txt"), saida}, 1, "arquivo não encontrado"},
        {{"mostrar"}, 2, "falta o arquivo"},
        {{"mostrar", raiz.filePath("nao-existe.PrefGraf")}, 1, "arquivo não encontrado"},
    };
    for (const Uso &u : usos) {
        SCOPED_TRACE(s(u.args.join(u' ')));
        const apoio::Execucao e = pacote(u.args);
        EXPECT_EQ(e.codigo, u.codigo);
        EXPECT_TRUE(QString::fromUtf8(e.erro).contains(QString::fromUtf8(u.trecho))) << e.erro.toStdString();
        EXPECT_TRUE(e.saida.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(saida));

    for (const QStringList &ajuda : {QStringList{"--help"}, QStringList{"mostrar", "--help"}, QStringList{"criar-aidf", "--help"}}) {
        const apoio::Execucao e = pacote(ajuda);
        EXPECT_EQ(e.codigo, 0);
        EXPECT_TRUE(e.saida.startsWith("Uso: lumaro-pacote")) << e.saida.toStdString();
    }
}

TEST(FerramentaMostrar, PacotesDeRetornoDeOutroMembroEAvulsos)
{
    QTemporaryDir raiz;

    // A return package as the return operation writes it.
    PacoteDados r = PacotesAidf::novoRetorno();
    r.adicionarRegistro();
    r.definirValor("NUMERO_AIDF", 1234);
    r.definirValor("FINALIZADAEM", QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15)));
    r.definirValor("STATUS", "5");
    const QString retorno = raiz.filePath("000001234GrafRe.Graf");
    ArquivoZip::adicionar(retorno, "000001234GrafRe.Aidf", r.escrever());
    apoio::Execucao e = pacote({"mostrar", retorno});
    ASSERT_EQ(e.codigo, 0) << e.erro.toStdString();
    EXPECT_TRUE(e.saida.contains("Membro: 000001234GrafRe.Aidf\n"));
    EXPECT_TRUE(e.saida.contains("Campos: 8; registros: 1\n"));
    EXPECT_EQ(linhaDoCampo(e.saida, "FINALIZADAEM"), "DataHora 05/03/2024 14:30:15");
    EXPECT_EQ(linhaDoCampo(e.saida, "OBSERVACAO"), "Memo nulo");
    EXPECT_EQ(linhaDoCampo(e.saida, "STATUS"), "Texto(1) \"5\"");
    EXPECT_FALSE(e.erro.contains("aviso")) << e.erro.toStdString();

    // X.PrefGraf without X.Aidf: shows what there is, and says so.
    const QString outro = raiz.filePath("X.PrefGraf");
    ArquivoZip::adicionar(outro, "Y.Aidf", r.escrever());
    e = pacote({"mostrar", outro});
    EXPECT_EQ(e.codigo, 0);
    EXPECT_TRUE(e.saida.contains("Membro: Y.Aidf\n"));
    EXPECT_TRUE(e.erro.contains("X.Aidf")) << e.erro.toStdString();

    // Bare packets, one record or all, and an empty one.
    e = pacote({"mostrar", apoio::pastaFixtures() + "/events.cds"});
    EXPECT_EQ(e.codigo, 0);
    EXPECT_TRUE(e.saida.contains("Registro 1 de 23:\n"));
    EXPECT_FALSE(e.saida.contains("Registro 2 de 23:\n"));
    EXPECT_EQ(linhaDoCampo(e.saida, "Event_Date"), "Data 15/06/1996");
    EXPECT_EQ(linhaDoCampo(e.saida, "Event_Time"), "Hora 10:00:00");
    EXPECT_EQ(linhaDoCampo(e.saida, "Event_Photo"), QStringLiteral("Grafico 27286 bytes, não é imagem JPEG"));
    e = pacote({"mostrar", "--todos", apoio::pastaFixtures() + "/events.cds"});
    EXPECT_TRUE(e.saida.contains("Registro 23 de 23:\n"));
    e = pacote({"mostrar", apoio::pastaFixtures() + "/Clientes_empty.cds"});
    EXPECT_EQ(e.codigo, 0);
    EXPECT_TRUE(e.saida.contains("O pacote não tem registros.\n"));

    // Damaged packets and archives that cannot be opened.
    apoio::gravar(raiz.filePath("curto.cds"), apoio::ler(apoio::pastaFixtures() + "/Vendas.cds").left(300));
    e = pacote({"mostrar", raiz.filePath("curto.cds")});
    EXPECT_EQ(e.codigo, 1);
    EXPECT_TRUE(e.erro.contains("Pacote de dados inválido")) << e.erro.toStdString();
    const QString outraSenha = raiz.filePath("S.PrefGraf");
    ArquivoZip::adicionar(outraSenha, "S.Aidf", r.escrever(), "OUTRA");
    e = pacote({"mostrar", outraSenha});
    EXPECT_EQ(e.codigo, 1);
    EXPECT_TRUE(e.erro.contains("Senha incorreta ou arquivo danificado")) << e.erro.toStdString();
    apoio::gravar(raiz.filePath("vazio.PrefGraf"), QByteArray());
    e = pacote({"mostrar", raiz.filePath("vazio.PrefGraf")});
    EXPECT_EQ(e.codigo, 1);
    EXPECT_FALSE(e.erro.isEmpty());
}
