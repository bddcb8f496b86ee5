#include "Win1252.h"

#include <gtest/gtest.h>

using namespace lumaro;

TEST(Win1252, IdaEVoltaDeTodoByteDefinido)
{
    for (int b = 1; b < 256; ++b) {
        const QByteArray um(1, char(b));
        const QString c = deWin1252(um);
        ASSERT_EQ(paraWin1252(c), um) << b;
    }
}

TEST(Win1252, CaracteresForaDaPaginaViramInterrogacao)
{
    bool ok = true;
    EXPECT_EQ(paraWin1252(QStringLiteral("a中€"), &ok), QByteArray("a?\x80"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(paraWin1252(QStringLiteral("ÇÃO—"), &ok), QByteArray("\xC7\xC3O\x97"));
    EXPECT_TRUE(ok);
}

#include "DialogosConsole.h"

#include <cstdio>

TEST(DialogosConsole, UmaLinhaPorMensagemComAResposta)
{
    char *buf = nullptr;
    size_t tamanho = 0;
    FILE *saida = open_memstream(&buf, &tamanho);
    DialogosConsole nao(false, saida);
    EXPECT_EQ(nao.mostrar({QStringLiteral("Pergunta"), QStringLiteral("Receber de novo?\rSim ou não"), Icone::Pergunta, true, Sim | Nao, Nao}), Nao);
    DialogosConsole sim(true, saida);
    EXPECT_EQ(sim.mostrar({QStringLiteral("Pergunta"), QStringLiteral("De novo?"), Icone::Pergunta, true, Sim | Nao, Nao}), Sim);
    EXPECT_EQ(sim.mostrar({QStringLiteral(" Erro"), QStringLiteral("Falhou"), Icone::Erro, false, Ok, Ok}), Ok);
    std::fclose(saida);
    EXPECT_EQ(QString::fromLocal8Bit(buf, qsizetype(tamanho)),
              QStringLiteral("Pergunta: Receber de novo? Sim ou não [Não]\nPergunta: De novo? [Sim]\nErro: Falhou\n"));
    std::free(buf);
}
