// The printed rows of the three reports, computed without a printer.
#include "reports/RigheReport.h"

#include <gtest/gtest.h>

using namespace zar;

namespace {

using A = CellaStampa::Allinea;

// The texts of a row's cells at the given x, "-" where the row has no cell there.
QStringList textsAt(const RigaStampa& row, std::initializer_list<double> xs) {
    QStringList out;
    for (double x : xs) {
        QString t = QStringLiteral("-");
        for (const CellaStampa& c : row)
            if (c.x == x)
                t = c.testo;
        out << t;
    }
    return out;
}

// Eleven list texts of a rankings row: place, bib, handler, dog, breed, then points and
// time of run 1, run 2 and combined.
QStringList rankingRow(const QString& place, const QString& points, const QString& time) {
    return {place, "7", "ROSSI MARIO", "FIDO", "BOXER", points, time, points, time, points, time};
}

} // namespace

TEST(RigheReport, RankingPlaceTexts) {
    const struct {
        const char* stored;
        const char* printed;
    } cases[] = {
        {"1", "1"},       {"2", "2"},       {"4", "4"},     {"9989", "9989"}, {"9990", "F.T."},
        {"9991", "N.C."}, {"9999", "N.C."}, {"", "N.C."},   {"  ", "N.C."},   {"0", "N.C."},
        {"-3", "N.C."},   {"abc", "N.C."},  {"0.5", "0.5"}, {"12,5", "12,5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TestoPosto(QString::fromUtf8(c.stored)), QString::fromUtf8(c.printed)) << c.stored;
}

TEST(RigheReport, RankingPointsAndTimeByRunAndPlace) {
    const struct {
        int run;
        const char* place;
        const char* points;
        const char* time;
        QStringList printed; // place, points, time
    } cases[] = {
        {0, "1", "95", "00'41\"20", {"1", "95", "00'41\"20"}},
        // Over the time limit in a run: points and time still print.
        {0, "9990", "80", "02'10\"00", {"F.T.", "80", "02'10\"00"}},
        // Not classified: 0 points and the zero time are left blank.
        {1, "9999", "0", "00'00\"00", {"N.C.", "-", "-"}},
        {1, "3", "12,5", " 00'30\"00 ", {"3", "12,5", " 00'30\"00 "}},
        {0, "3", "0,5", "", {"3", "-", "-"}},
        {0, "3", " ", "  ", {"3", "-", "-"}},
        // Combined: rows placed 9990 or above print neither; an empty place qualifies.
        {2, "9990", "80", "02'10\"00", {"F.T.", "-", "-"}},
        {2, "9999", "80", "02'10\"00", {"N.C.", "-", "-"}},
        {2, "9989", "80", "02'10\"00", {"9989", "80", "02'10\"00"}},
        {2, "", "80", "02'10\"00", {"N.C.", "80", "02'10\"00"}},
        {5, "2", "80", "02'10\"00", {"2", "80", "02'10\"00"}},
    };
    for (const auto& c : cases) {
        const RigaStampa row = RigaClassifica(c.run, rankingRow(c.place, c.points, c.time));
        EXPECT_EQ(textsAt(row, {22, 246, 265}), c.printed) << c.run << " " << c.place;
        EXPECT_EQ(textsAt(row, {36, 44.5, 119.5, 185.5}), QStringList({"7", "ROSSI MARIO", "FIDO", "BOXER"}));
    }
}

TEST(RigheReport, RankingResultsComeFromTheChosenRun) {
    const QStringList cols{"1", "7", "H", "D", "B", "11", "01'00\"00", "22", "02'00\"00", "33", "03'00\"00"};
    EXPECT_EQ(textsAt(RigaClassifica(0, cols), {246, 265}), QStringList({"11", "01'00\"00"}));
    EXPECT_EQ(textsAt(RigaClassifica(1, cols), {246, 265}), QStringList({"22", "02'00\"00"}));
    EXPECT_EQ(textsAt(RigaClassifica(2, cols), {246, 265}), QStringList({"33", "03'00\"00"}));
}

TEST(RigheReport, CellsAndTheirLimits) {
    const RigaStampa start = RigaPartenza(12, {"105", "ROSSI MARIO", "FIDO", "TIME", "JUNIOR", "SMALL", "3"});
    const RigaStampa expectedStart{{A::Centro, 22.5, "12", 0, 0},
                                   {A::Centro, 37.5, "105", 0, 0},
                                   {A::Sinistra, 47, "ROSSI MARIO", 1, 80},
                                   {A::Sinistra, 132, "FIDO", 1, 61}};
    EXPECT_EQ(start, expectedStart);

    const RigaStampa ranking = RigaClassifica(0, rankingRow("1", "95", "00'41\"20"));
    const RigaStampa expectedRanking{{A::Centro, 22, "1", 0, 0},
                                     {A::Centro, 36, "7", 0, 0},
                                     {A::Sinistra, 44.5, "ROSSI MARIO", 1, 73},
                                     {A::Sinistra, 119.5, "FIDO", 1, 64},
                                     {A::Sinistra, 185.5, "BOXER", 1, 54},
                                     {A::Centro, 246, "95", 0, 0},
                                     {A::Centro, 265, "00'41\"20", 0, 0}};
    EXPECT_EQ(ranking, expectedRanking);

    const RigaStampa entrant = RigaIscritti({"9", "ROSSI MARIO", "FIDO", "TIME", "JUNIOR", "SMALL"});
    EXPECT_EQ(entrant[1], (CellaStampa{A::Sinistra, 30, "ROSSI MARIO", 1, 60}));
    EXPECT_EQ(entrant[2], (CellaStampa{A::Sinistra, 93, "FIDO", 1, 52}));
}

TEST(RigheReport, EntrantAbbreviations) {
    const struct {
        const char* categoria;
        const char* classe;
        const char* taglia;
        QStringList printed; // category, class, size, notes
    } cases[] = {
        {"TIME", "JUNIOR", "SMALL", {"T.", "JUN.", "SMA.", "____"}},
        {"NO TIME", "BIG", "LARGE", {"N.T.", "BIG", "LAR.", "____"}},
        {"", "DEBUTTANTI", "MEDIUM", {"N.T.", "DEB.", "MED.", "____"}},
        {"time", "SENIOR", "", {"N.T.", "SEN.", "", "____"}},
        {"TIME ", "junior", "Small", {"N.T.", "", "", "____"}},
    };
    for (const auto& c : cases) {
        const RigaStampa row = RigaIscritti({"1", "H", "D", c.categoria, c.classe, c.taglia});
        EXPECT_EQ(textsAt(row, {153, 165, 177.5, 189.5}), c.printed) << c.categoria << c.classe << c.taglia;
    }
}
