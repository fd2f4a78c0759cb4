// A worked example of the ranking rules; the property test covers every category at random.
#include "entries/Ranking.h"

#include "GroupData.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

using namespace zar;
using namespace zar::test;

namespace {

constexpr auto X = std::nullopt;
constexpr double FT = PostoFuoriTempo;
constexpr double NC = PostoNonClassificato;

class RankingTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file(QStringLiteral("ZAR.mdb")));
};

} // namespace

// TIME, JUNIOR, a limit of 1.5 minutes: ties need points and time, a time at the limit counts, one over
// it marks the run whatever the points, and a marked run leaves the combined ranking.
TEST_F(RankingTest, WorkedExampleOfATimeGroup) {
    const std::pair<Results, Places> rows[] = {
        {{180, 1.5, X, X, 180, 1.5}, {1, 77, 1}}, // a time at the limit counts
        {{180, 1.5, X, X, 180, 1.5}, {1, 77, 1}}, // tied on points and time
        {{170, X, X, X, 170, 3}, {3, 77, 4}},     // the count goes on behind a tie; no time sorts first
        {{170, 1.2, X, X, 170, 2}, {4, 77, 3}},   // a missing time ties with nothing
        {{100, 1.6, X, X, 100, 1.6}, {FT, 77, NC}},
        {{0, 1.6, X, X, X, X}, {FT, 77, 77}}, // the time is looked at first
        {{0, 1.0, X, X, 0, 1}, {NC, 77, NC}},
        {{X, 1.0, X, X, X, X}, {77, 77, 77}}, // not scored: every old place stays
    };
    const Group g;
    for (int bib = 1; bib <= 8; ++bib)
        addEntry(*db, g, bib, rows[bib - 1].first);
    CalcolaClassifiche(*db, {g.gara, g.categoria, g.classe, g.taglia}, {2, 1.5, 2, 2});
    for (int bib = 1; bib <= 8; ++bib)
        EXPECT_EQ(placesOf(*db, g.gara, bib), rows[bib - 1].second) << "bib " << bib;
}

TEST_F(RankingTest, OnlyTheSelectedGroupIsRankedAndAFailureKeepsEveryOldPlace) {
    const Group g, other[] = {{.taglia = "LARGE"}, {.classe = "SENIOR"}, {.gara = "20240512Sant"}};
    for (int bib = 1; bib <= 4; ++bib)
        addEntry(*db, g, bib, {100.0 - bib, 1.0, 100.0 - bib, 1.0, 200.0 - 2 * bib, 2.0});
    for (int i = 0; i < 3; ++i)
        addEntry(*db, other[i], 10 + i, {100, 1.0, 100, 1.0, 200, 2.0});
    db->execScript("CREATE TRIGGER Refuse BEFORE UPDATE OF ClassificaCombinata ON TblIscrizioni "
                   "WHEN NEW.Pettorale = 4 BEGIN SELECT RAISE(ABORT, 'refused by test'); END;");
    const GruppoClassifica box{g.gara.toLower(), "TIME", "JUNIOR", "small"}; // typed text: any case
    EXPECT_THROW(CalcolaClassifiche(*db, box, {2, 2, 2, 2}), DbError);
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(placesOf(*db, g.gara, 1), (Places{77, 77, 77}));
    db->execScript("DROP TRIGGER Refuse");
    CalcolaClassifiche(*db, box, {2, 2, 2, 2});
    EXPECT_EQ(placesOf(*db, g.gara, 4), (Places{4, 4, 4}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(placesOf(*db, other[i].gara, 10 + i), (Places{77, 77, 77})) << i;
}

// Ranking again writes only the entries whose places move, and the places stay right.
TEST_F(RankingTest, OnlyEntriesWhosePlacesChangeAreWritten) {
    const Group g;
    for (int bib = 1; bib <= 4; ++bib)
        addEntry(*db, g, bib, {110.0 - 10 * bib, 1.0, 110.0 - 10 * bib, 1.0, 220.0 - 20 * bib, 2.0});
    // The change made first; the rows the ranking writes; each bib's places (run 1, run 2, combined).
    const std::tuple<const char*, int, const char*> steps[] = {
        {"", 4, "111 222 333 444"},
        {"", 0, "111 222 333 444"},
        {"PunteggioRun1 = 95 WHERE Pettorale = 3", 2, "111 322 233 444"}, // passes bib 2 in run 1
        {"ClassificaRun2 = 9 WHERE Pettorale = 1", 1, "111 322 233 444"}, // changed by hand: put back
        {"PunteggioRun2 = NULL, ClassificaRun2 = 7 WHERE Pettorale = 2", 2, "111 372 223 434"}, // unscored
    };
    for (const auto& [change, written, places] : steps) {
        if (*change)
            db->execScript(QStringLiteral("UPDATE TblIscrizioni SET ") + change);
        const qint64 before = db->scalar(QStringLiteral("SELECT total_changes()")).toLongLong();
        CalcolaClassifiche(*db, {g.gara, g.categoria, g.classe, g.taglia}, {2, 2, 2, 2});
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT total_changes()")).toLongLong() - before, written)
            << change;
        for (int bib = 1; bib <= 4; ++bib) {
            const QString p = QString::fromLatin1(places).section(u' ', bib - 1, bib - 1);
            EXPECT_EQ(placesOf(*db, g.gara, bib),
                      (Places{p[0].digitValue(), p[1].digitValue(), p[2].digitValue()}))
                << change << ", bib " << bib;
        }
    }
}
