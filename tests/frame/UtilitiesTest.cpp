#include "frame/Utilities.h"

#include <gtest/gtest.h>

using namespace zar;

TEST(Arrotonda, ModesAtHalvesNegativesAndExactValues) {
    const struct {
        double value;
        int decimals;
        double difetto, eccesso, matematico;
    } cases[] = {{12.999, 0, 12, 13, 13},      {12.5, 0, 12, 13, 13},    {12.4999, 0, 12, 13, 12},
                 {12, 0, 12, 12, 12},          {-1.5, 0, -2, -1, -2},    {-2.5, 0, -3, -2, -3},
                 {1.234, 2, 1.23, 1.24, 1.23}, {1.235, 1, 1.2, 1.3, 1.2}};
    for (const auto& c : cases) {
        EXPECT_NEAR(Arrotonda(c.value, c.decimals, "Difetto"), c.difetto, 1e-9) << c.value;
        EXPECT_NEAR(Arrotonda(c.value, c.decimals, "Eccesso"), c.eccesso, 1e-9) << c.value;
        EXPECT_NEAR(Arrotonda(c.value, c.decimals, "Matematico"), c.matematico, 1e-9) << c.value;
    }
    // The mode is compared as written; an unknown one leaves the value as it is.
    EXPECT_EQ(Arrotonda(1.234, 2, "difetto"), 1.234);
    EXPECT_EQ(Arrotonda(7.7, 0, ""), 7.7);
}

// On 15 March 2026 unless another day is handed in: months and centuries are today's.
TEST(NormalizzaData, EveryShape) {
    const QDate today(2026, 3, 15);
    const struct {
        const char* typed;
        const char* expected;
    } good[] = {{"5", "05/03/2026"},        {"15", "15/03/2026"},       {"1503", "15/03/2026"},
                {"150326", "15/03/2026"},   {"15032026", "15/03/2026"}, {"15/03/2026", "15/03/2026"},
                {"29022028", "29/02/2028"}, {"15/03/26", "15/03/26"},   {"15-03-2026", "15-03-2026"}};
    for (const auto& c : good)
        EXPECT_EQ(NormalizzaData(c.typed, today), QString(c.expected)) << c.typed;
    // Wrong lengths, impossible days and months, letters, signs and points.
    for (const char* typed :
         {"123", "3102", "31022026", "29022026", "abc", "", "12345", "1234567", "123456789", "12345678901",
          "0", "00", "32", "1513", "1503202", "2026031500", "1.5", "31/04/2026", "-3"})
        EXPECT_EQ(NormalizzaData(typed, today), QString()) << typed;
    EXPECT_EQ(NormalizzaData("31", QDate(2026, 2, 10)), "") << "31 February does not exist";
    EXPECT_EQ(NormalizzaData("31", QDate(2026, 1, 10)), "31/01/2026");
    EXPECT_EQ(NormalizzaData("010199", QDate(2126, 1, 1)), "01/01/2199") << "century of today";
}
