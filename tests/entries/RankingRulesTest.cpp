// Worked examples of the ranking rules; the property test checks the same rules at random.
#include "entries/Ranking.h"

#include "GroupData.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zar;
using namespace zar::test;

namespace {

constexpr auto X = std::nullopt;
constexpr double FT = PostoFuoriTempo;
constexpr double NC = PostoNonClassificato;

struct Case {
    const char* name;
    const char* categoria; // stored; the selection box says `box`
    const char* box;
    TempoLimite limiti; // DEBUTTANTI, JUNIOR, SENIOR, BIG
    std::vector<std::pair<Results, Places>> rows;
};

const Case kCases[] = {
    {"TIME: ties need points and time, a time at the limit counts, markers and Null values",
     "TIME",
     "TIME",
     {2, 1.5, 2, 2},
     {{{180, 1.5, X, X, X, X}, {1, 77, 77}},
      {{180, 1.5, X, X, X, X}, {1, 77, 77}},
      {{170, X, X, X, X, X}, {3, 77, 77}},
      {{170, 1.2, X, X, X, X}, {4, 77, 77}},
      {{100, 1.6, X, X, X, X}, {FT, 77, 77}},
      {{0, 1.6, X, X, X, X}, {FT, 77, 77}},
      {{0, 1.0, X, X, X, X}, {NC, 77, 77}},
      {{X, 1.0, X, X, X, X}, {77, 77, 77}}}},
    {"NO TIME: runs tie on points alone, combined on combined, run 1 and run 2 points",
     "NO TIME",
     "NO TIME",
     {2, 2, 2, 2},
     {{{150, 1, 150, 1, 300, 2}, {2, 1, 2}},
      {{160, 1, 140, 1, 300, 2}, {1, 3, 1}},
      {{150, 1.9, 150, 1, 300, 2}, {2, 1, 2}},
      {{100, 1, 99.5, 1, 200, 2}, {4, 4, 4}},
      {{90, 2.5, 95, 1, 185, 3.5}, {FT, 5, NC}},
      {{80, 1, 0, 1, 80, 2}, {5, NC, NC}}}},
    {"another category (typed in lower case) gets markers only; a stored marker still counts",
     "TIME",
     "time",
     {1, 1, 1, 1},
     {{{100, 1.0, 100, 1.0, 200, 2.0}, {77, 77, 77}},
      {{0, 0, X, X, 0, 0}, {NC, 77, NC}},
      {{50, 3.0, X, X, 50, 3.0}, {FT, 77, NC}},
      {{X, X, X, X, 90, 1, {X, FT, X}}, {X, FT, NC}}}},
};

class RankingTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file(QStringLiteral("ZAR.mdb")));
};

} // namespace

TEST_F(RankingTest, WorkedExamples) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Group g{QString::fromLatin1(c.name), QString::fromLatin1(c.categoria)};
        for (size_t i = 0; i < c.rows.size(); ++i)
            addEntry(*db, g, int(i + 1), c.rows[i].first);
        CalcolaClassifiche(*db, {g.gara, QString::fromLatin1(c.box), g.classe, g.taglia}, c.limiti);
        for (size_t i = 0; i < c.rows.size(); ++i)
            EXPECT_EQ(placesOf(*db, g.gara, int(i + 1)), c.rows[i].second) << "bib " << i + 1;
    }
}

TEST_F(RankingTest, OnlyTheSelectedGroupIsRankedAndAFailureKeepsEveryOldPlace) {
    Group g, other[3];
    other[0].taglia = "LARGE";
    other[1].classe = "SENIOR";
    other[2].gara = "20240512Sant";
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
