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

// Ranking again rewrites only the entries whose places move; the stored places are the same
// as when every entry is written.
TEST_F(RankingTest, OnlyEntriesWhosePlacesChangeAreWritten) {
    const Group g;
    for (int bib = 1; bib <= 4; ++bib)
        addEntry(*db, g, bib, {110.0 - 10 * bib, 1.0, 110.0 - 10 * bib, 1.0, 220.0 - 20 * bib, 2.0});
    const struct {
        const char* what;
        const char* change; // run before the ranking
        int written;
        std::array<Places, 4> places; // by bib
    } steps[] = {
        {"first ranking", "", 4, {{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}}},
        {"nothing changed", "", 0, {{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}}},
        {"bib 3 passes bib 2 in run 1",
         "UPDATE TblIscrizioni SET PunteggioRun1 = 95 WHERE Pettorale = 3",
         2,
         {{{1, 1, 1}, {3, 2, 2}, {2, 3, 3}, {4, 4, 4}}}},
        {"a place changed by hand is put back",
         "UPDATE TblIscrizioni SET ClassificaRun2 = 9 WHERE Pettorale = 1",
         1,
         {{{1, 1, 1}, {3, 2, 2}, {2, 3, 3}, {4, 4, 4}}}},
        {"a place stored as a text is rewritten",
         "UPDATE TblIscrizioni SET ClassificaCombinata = 'quarto' WHERE Pettorale = 4",
         1,
         {{{1, 1, 1}, {3, 2, 2}, {2, 3, 3}, {4, 4, 4}}}},
        {"an unscored entry keeps its place, the others close up",
         "UPDATE TblIscrizioni SET PunteggioRun2 = NULL, "
         "ClassificaRun2 = 7 WHERE Pettorale = 2",
         2,
         {{{1, 1, 1}, {3, 7, 2}, {2, 2, 3}, {4, 3, 4}}}},
    };
    for (const auto& s : steps) {
        if (*s.change)
            db->execScript(QString::fromLatin1(s.change));
        const qint64 before = db->scalar(QStringLiteral("SELECT total_changes()")).toLongLong();
        CalcolaClassifiche(*db, {g.gara, g.categoria, g.classe, g.taglia}, {2, 2, 2, 2});
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT total_changes()")).toLongLong() - before, s.written)
            << s.what;
        for (int bib = 1; bib <= 4; ++bib)
            EXPECT_EQ(placesOf(*db, g.gara, bib), s.places[size_t(bib - 1)]) << s.what << ", bib " << bib;
    }
}
