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
