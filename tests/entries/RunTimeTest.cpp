#include "entries/RunTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zar;

namespace {

double minuti(int m, int s, int c) {
    return m + (s + c / 100.0) / 60.0;
}

} // namespace

TEST(TempoDaTesto, ReadsTwoCharacterParts) {
    const struct {
        const char* typed;
        double expected;
    } cases[] = {
        {"012400", 1.4},
        {"013050", minuti(1, 30, 50)},
        {"012345", minuti(1, 23, 45)},
        {"000000", 0},
        {"0", 0},
        {"", 0},
        {"995999", minuti(99, 59, 99)},
        {"1a2b3c", minuti(1, 2, 3)},   // leading digits of each part
        {"ab3050", minuti(0, 30, 50)}, // non-numeric part: 0
        {"01  50", minuti(1, 0, 50)},  // blank part: 0
        {"01305", minuti(1, 30, 5)},   // hundredths: the last two characters
        {"01.530", minuti(1, 0, 30)},  // ".5" rounds to the even 0, not to 1
        {"1.3050", minuti(1, 30, 50)}, // "1." is 1
        {"-13050", minuti(-1, 30, 50)},
        {"0190xx", minuti(1, 90, 0)}, // seconds are not checked against 60
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(TempoDaTesto(QString::fromLatin1(c.typed)), c.expected) << c.typed;
}

TEST(FormatTempo, ShowsMinutesSecondsHundredths) {
    const struct {
        double minutes;
        const char* shown;
    } cases[] = {
        {1.4, "01'24\"00"},
        {minuti(1, 30, 50), "01'30\"50"},
        {minuti(1, 23, 45), "01'23\"45"},
        {0, "00'00\"00"},
        {-0.0000001, "00'00\"00"}, // rounds to zero, shown without a sign
        {100, "100'00\"00"},
        {minuti(123, 4, 5), "123'04\"05"},
        {minuti(0, 59, 99), "00'59\"99"},
        {59.9996 / 60.0, "01'00\"00"}, // 59.9996 s is 6000 hundredths: a whole minute
        {59.9949 / 60.0, "00'59\"99"},
        // 3/32 minute is exactly 562.5 hundredths: the half goes away from zero.
        {3.0 / 32.0, "00'05\"63"},
        {1.0 / 32.0, "00'01\"88"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTempo(c.minutes), QString::fromUtf8(c.shown)) << c.minutes;
}

TEST(FormatTempo, OutOfRangeValuesDoNotCrash) {
    EXPECT_EQ(FormatTempo(1e12), QString::fromUtf8("1000000000000'00\"00"));
    EXPECT_FALSE(FormatTempo(std::numeric_limits<double>::quiet_NaN()).isEmpty());
    EXPECT_FALSE(FormatTempo(std::numeric_limits<double>::infinity()).isEmpty());
}

TEST(TestoDaTempoMostrato, TakesBackTheTypedCharacters) {
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("01'23\"45")), "012345");
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("00'00\"00")), "000000");
    EXPECT_EQ(TestoDaTempoMostrato(QString()), QString());
    // Beyond the largest typed time, and negative minutes: the characters as they stand.
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("100'40\"00")), "10'400");
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("-10'20\"00")), "-1'200");
}

TEST(RunTime, RoundTripOfEveryTypedTime) {
    // Below sixty seconds the characters come back; above, at least the time does
    // (99 minutes and 60 seconds or more show as 100 minutes).
    int failures = 0;
    for (int m = 0; m < 100; ++m)
        for (int s = 0; s < 100; ++s)
            for (int c = 0; c < 100; c += s < 60 ? 1 : 11) {
                const QString t = QString::asprintf("%02d%02d%02d", m, s, c);
                const double tempo = TempoDaTesto(t);
                const QString back = TestoDaTempoMostrato(FormatTempo(tempo));
                const bool ok =
                    s < 60 ? back == t : back.size() == 6 && std::abs(TempoDaTesto(back) - tempo) < 1e-9;
                if (!ok && ++failures <= 5)
                    ADD_FAILURE() << t.toStdString() << " came back as " << back.toStdString();
            }
    EXPECT_EQ(failures, 0);
}

TEST(ValoreNumerico, ReadsLeadingNumericCharacters) {
    const struct {
        const char* typed;
        double expected;
    } cases[] = {
        {"", 0},   {"85", 85}, {"85.5", 85.5}, {"85,5", 85},       {"12abc", 12}, {"abc", 0},
        {" 7", 7}, {"-3", -3}, {".5", 0.5},    {"5.", 5},          {"+2", 2},     {"1.2.3", 1.2},
        {"-", 0},  {".", 0},   {"200", 200},   {"200.01", 200.01},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ValoreNumerico(QString::fromLatin1(c.typed)), c.expected) << c.typed;
}

TEST(ValueLists, OfferedOrderAndTimeLimitKeys) {
    EXPECT_EQ(ListaCategorie(), QStringList({"NO TIME", "TIME"}));
    EXPECT_EQ(ListaClassi(), QStringList({"DEBUTTANTI", "JUNIOR", "SENIOR", "BIG"}));
    EXPECT_EQ(ListaTaglie(), QStringList({"SMALL", "LARGE"}));
    const struct {
        const char* classe;
        const char* key;
    } cases[] = {
        {"DEBUTTANTI", "Tempo_Limite_1"},
        {"JUNIOR", "Tempo_Limite_2"},
        {"SENIOR", "Tempo_Limite_3"},
        {"BIG", "Tempo_Limite_4"},
        {"junior", ""},
        {"Big", ""},
        {"BIG ", ""},
        {"", ""},
        {"MEDIUM", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChiaveTempoLimite(QString::fromLatin1(c.classe)), QString::fromLatin1(c.key)) << c.classe;
}
