// The printed rows of the rankings and the entrants, computed without a printer.
#include "reports/RigheReport.h"
#include "reports/ReportForms.h"
#include "reports/ReportFrame.h"

#include <gtest/gtest.h>

using namespace zar;

// The texts of a row's cells at the given x, "-" where the row has no cell there.
static QString textsAt(const RigaStampa& row, std::initializer_list<double> xs) {
    QStringList out;
    for (double x : xs) {
        auto c = std::find_if(row.begin(), row.end(), [x](const CellaStampa& cell) { return cell.x == x; });
        out << (c == row.end() ? QStringLiteral("-") : c->testo);
    }
    return out.join('|');
}

TEST(RigheReport, RankingPlacesPointsAndTimes) {
    const struct {
        int run;
        const char *place, *points, *time, *printed; // place, bib, points, time
    } cases[] = {
        {0, "1", "95", "00'41\"20", "1|7|95|00'41\"20"},
        {0, "9989", "12,5", " 00'30\"00 ", "9989|7|12,5| 00'30\"00 "}, // 12,5 reads as 12
        {0, "9990", "80", "02'10\"00", "F.T.|7|80|02'10\"00"},         // over the limit: still printed
        {1, "9991", "0", "00'00\"00", "N.C.|7|-|-"},                   // 0 points, zero time: blank
        {1, "9999", "0,5", "", "N.C.|7|-|-"},                          // 0,5 reads as 0
        {0, "0", "1", "x", "N.C.|7|1|x"},
        {2, "9990", "80", "02'10\"00", "F.T.|7|-|-"}, // combined, 9990 and over: neither
        {2, "9999", "80", "02'10\"00", "N.C.|7|-|-"},
        {2, "", "80", "02'10\"00", "N.C.|7|80|02'10\"00"}, // an empty place qualifies
    };
    for (const auto& c : cases) {
        // Each run's own results sit in its own columns; the others hold decoys.
        QStringList cols{c.place, "7", "ROSSI MARIO", "FIDO", "BOXER", "1", "01", "2", "02", "3", "03"};
        cols[5 + c.run * 2] = c.points;
        cols[6 + c.run * 2] = c.time;
        EXPECT_EQ(textsAt(RigaClassifica(c.run, cols), {22, 36, 246, 265}), c.printed) << c.run << c.place;
    }
}

TEST(RigheReport, EntrantAbbreviations) {
    // category, class, size; printed with the notes
    const char* cases[][4] = {{"TIME", "JUNIOR", "SMALL", "T.|JUN.|SMA.|____"},
                              {"", "DEBUTTANTI", "MEDIUM", "N.T.|DEB.|MED.|____"},
                              {"time", "SENIOR", "", "N.T.|SEN.||____"}};
    for (const auto& c : cases)
        EXPECT_EQ(textsAt(RigaIscritti({"1", "H", "D", c[0], c[1], c[2]}), {153, 165, 177.5, 189.5}), c[3]);
}

// The printed date and the points are Italian whatever language the desktop runs in.
TEST(RigheReport, ItalianWhateverTheDesktop) {
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(TestoPunti(12.5), QStringLiteral("12,5"));
    EXPECT_EQ(DataIntestazione(QDate(2026, 12, 7)), QStringLiteral("lunedì, 07 dicembre 2026"));
    QLocale::setDefault(before);
}
