#include "entries/Ranking.h"

#include "GroupData.h"
#include "frame/IniReadWrite.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zar;
using namespace zar::test;

namespace {

constexpr auto X = std::nullopt;
constexpr double FT = PostoFuoriTempo;
constexpr double NC = PostoNonClassificato;

struct Row {
    Results results;
    Places expected;
};

struct Case {
    const char* name;
    const char* categoria; // stored in the entries
    const char* classe;
    std::vector<Row> rows;
    TempoLimite limiti{2.0, 2.0, 2.0, 2.0};
    const char* boxCategoria = nullptr; // the selection box's text, when it differs
    const char* boxClasse = nullptr;
};

class RankingTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::unique_ptr<Database> db = Database::open(folder.file(QStringLiteral("ZAR.mdb")));
};

const Case kCases[] = {
    {"NO TIME run ties share a place and the next skips",
     "NO TIME",
     "JUNIOR",
     {{{180, 1.0, X, X, X, X}, {1, 77, 77}},
      {{170, 1.9, X, X, X, X}, {2, 77, 77}},
      {{170, 1.1, X, X, X, X}, {2, 77, 77}},
      {{160, 1.0, X, X, X, X}, {4, 77, 77}}}},
    {"TIME run ties need equal points and equal time",
     "TIME",
     "JUNIOR",
     {{{180, 1.5, X, X, X, X}, {1, 77, 77}},
      {{180, 1.6, X, X, X, X}, {2, 77, 77}},
      {{170, 1.2, X, X, X, X}, {3, 77, 77}},
      {{170, 1.2, X, X, X, X}, {3, 77, 77}},
      {{165, 1.2, X, X, X, X}, {5, 77, 77}}}},
    {"NO TIME combined ties on combined, run 1 and run 2 points",
     "NO TIME",
     "JUNIOR",
     {{{150, 1, 150, 1, 300, 2}, {2, 1, 2}},
      {{160, 1, 140, 1, 300, 2}, {1, 3, 1}},
      {{150, 1, 150, 1, 300, 2}, {2, 1, 2}},
      {{100, 1, 99.5, 1, 200, 2}, {4, 4, 4}}}},
    {"TIME combined ties on combined points and time",
     "TIME",
     "BIG",
     {{{150, 1.5, 150, 1.5, 300, 3.0}, {1, 2, 1}},
      {{150, 1.5, 150, 1.5, 300, 3.0}, {1, 2, 1}},
      {{150, 1.5, 150, 1.6, 300, 3.1}, {1, 4, 3}},
      {{140, 1.0, 150, 1.0, 290, 2.0}, {4, 1, 4}}}},
    {"time test before points test; a time equal to the limit is not over it",
     "TIME",
     "SENIOR",
     {{{0, 0, X, X, X, X}, {NC, 77, 77}},
      {{0, 1.6, X, X, X, X}, {FT, 77, 77}},
      {{100, 1.6, X, X, X, X}, {FT, 77, 77}},
      {{100, 1.5, X, X, X, X}, {1, 77, 77}},
      {{-5, 1.0, X, X, X, X}, {NC, 77, 77}}},
     {2.0, 2.0, 1.5, 2.0}},
    {"a Null time is never over the limit and never ties",
     "TIME",
     "DEBUTTANTI",
     {{{180, 1.5, X, X, X, X}, {1, 77, 77}},
      {{170, X, X, X, X, X}, {2, 77, 77}},
      {{170, 1.5, X, X, X, X}, {3, 77, 77}}},
     {1.5, 2.0, 2.0, 2.0}},
    {"a marked run marks the combined ranking; the first counted is still 1",
     "TIME",
     "BIG",
     {{{100, 2.5, 100, 1.0, 200, 3.5}, {FT, 1, NC}},
      {{90, 1.0, 95, 1.0, 185, 2.0}, {1, 2, 1}},
      {{80, 1.0, 90, 1.0, 170, 2.0}, {2, 3, 2}},
      {{0, 0, 90, 1.0, 90, 1.0}, {NC, 3, NC}},
      {{70, 1.0, 60, 1.0, 0, 2.0}, {3, 5, NC}}}},
    {"a marked entry between equal combined entries does not break their tie",
     "NO TIME",
     "JUNIOR",
     {{{150, 1, 150, 1, 300, 2}, {1, 1, 1}},
      {{150, 9, 150, 1, 300, 2}, {FT, 1, NC}},
      {{150, 1, 150, 1, 300, 2}, {1, 1, 1}},
      {{140, 1, 150, 1, 290, 2}, {3, 1, 3}}}},
    {"an empty run place is not a marker, a stored marker still is",
     "NO TIME",
     "JUNIOR",
     {{{100, 1, X, X, 100, 1, {X, X, X}}, {1, X, 1}},
      {{90, 1, X, X, 90, 1, {X, FT, X}}, {2, FT, NC}},
      {{80, 1, X, X, 80, 1, {X, X, X}}, {3, X, 2}}}},
    {"a Null run point in the combined ranking never ties",
     "NO TIME",
     "JUNIOR",
     {{{150, 1, 150, 1, 300, 2}, {1, 1, 1}},
      {{150, 1, X, X, 300, 1}, {1, 77, 2}},
      {{140, 1, X, X, 280, 1}, {3, 77, 3}}}},
    {"category typed in lower case writes markers only",
     "TIME",
     "JUNIOR",
     {{{100, 1.0, 100, 1.0, 200, 2.0}, {77, 77, 77}},
      {{0, 0, X, X, 0, 0}, {NC, 77, NC}},
      {{50, 3.0, X, X, 50, 3.0}, {FT, 77, NC}}},
     {1.0, 1.0, 1.0, 1.0},
     "time"},
    {"a missing limit marks every run with a time above 0",
     "NO TIME",
     "SENIOR",
     {{{100, 0.01, X, X, X, X}, {FT, 77, 77}},
      {{90, 0, X, X, X, X}, {1, 77, 77}},
      {{80, 0, X, X, X, X}, {2, 77, 77}}},
     {2.0, 2.0, 0.0, 2.0}},
    {"a group with no points writes nothing",
     "TIME",
     "JUNIOR",
     {{{X, 1.0, X, 5.0, X, X}, {77, 77, 77}}, {{X, X, X, X, X, X, {X, 9990, X}}, {X, 9990, X}}}},
};

} // namespace

TEST_F(RankingTest, CasesOfOneGroup) {
    int caseNumber = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Group g;
        g.gara = QStringLiteral("2024051%1Sant'Angelo").arg(caseNumber++);
        g.categoria = QString::fromLatin1(c.categoria);
        g.classe = QString::fromLatin1(c.classe);
        for (size_t i = 0; i < c.rows.size(); ++i)
            addEntry(*db, g, int(i + 1), c.rows[i].results);
        GruppoClassifica box{g.gara, g.categoria, g.classe, g.taglia};
        if (c.boxCategoria)
            box.Categoria = QString::fromLatin1(c.boxCategoria);
        if (c.boxClasse)
            box.Classe = QString::fromLatin1(c.boxClasse);
        CalcolaClassifiche(*db, box, c.limiti);
        for (size_t i = 0; i < c.rows.size(); ++i)
            EXPECT_EQ(placesOf(*db, g.gara, int(i + 1)), c.rows[i].expected)
                << "bib " << i + 1 << ": " << text(placesOf(*db, g.gara, int(i + 1)));
    }
}

TEST_F(RankingTest, OnlyTheSelectedGroupIsRanked) {
    const Results scored{100, 1.0, 100, 1.0, 200, 2.0};
    Group g;
    addEntry(*db, g, 1, scored);
    Group otherSize = g, otherClass = g, otherCompetition = g;
    otherSize.taglia = "LARGE";
    otherClass.classe = "SENIOR";
    otherCompetition.gara = "20240512Sant";
    addEntry(*db, otherSize, 2, scored);
    addEntry(*db, otherClass, 3, scored);
    addEntry(*db, otherCompetition, 4, scored);
    // Criteria compare without regard to case, as the selection boxes take typed text.
    CalcolaClassifiche(*db, {g.gara.toLower(), "TIME", "JUNIOR", "small"}, {2, 2, 2, 2});
    EXPECT_EQ(placesOf(*db, g.gara, 1), (Places{1, 1, 1}));
    for (int bib = 2; bib <= 3; ++bib)
        EXPECT_EQ(placesOf(*db, g.gara, bib), (Places{77, 77, 77})) << bib;
    EXPECT_EQ(placesOf(*db, otherCompetition.gara, 4), (Places{77, 77, 77}));
}

TEST_F(RankingTest, AFailureLeavesEveryOldPlaceAndReachesTheCaller) {
    Group g;
    for (int bib = 1; bib <= 5; ++bib)
        addEntry(*db, g, bib, {100.0 - bib, 1.0, 100.0 - bib, 1.0, 200.0 - 2 * bib, 2.0});
    db->execScript("CREATE TRIGGER Refuse BEFORE UPDATE OF ClassificaCombinata ON TblIscrizioni "
                   "WHEN NEW.Pettorale = 4 BEGIN SELECT RAISE(ABORT, 'refused by test'); END;");
    try {
        CalcolaClassifiche(*db, {g.gara, g.categoria, g.classe, g.taglia}, {2, 2, 2, 2});
        FAIL() << "no error reached the caller";
    } catch (const DbError& e) {
        EXPECT_NE(e.message().indexOf("refused by test"), -1) << e.what();
    }
    EXPECT_FALSE(db->inTransaction());
    for (int bib = 1; bib <= 5; ++bib)
        EXPECT_EQ(placesOf(*db, g.gara, bib), (Places{77, 77, 77})) << bib;

    db->execScript("DROP TRIGGER Refuse");
    CalcolaClassifiche(*db, {g.gara, g.categoria, g.classe, g.taglia}, {2, 2, 2, 2});
    EXPECT_EQ(placesOf(*db, g.gara, 4), (Places{4, 4, 4})) << "the database stays usable";
}

TEST(LeggiTempiLimite, ReadsTheFourKeysLikeTypedTimes) {
    TestFolder folder;
    const QString ini = folder.file("ZAR.ini");
    EXPECT_EQ(LeggiTempiLimite(ini), (TempoLimite{0, 0, 0, 0})) << "missing file";

    const QString section = "Impostazione Limiti Gara";
    IniReadWrite("WRITE", section, "Tempo_Limite_1", ini, "013050");
    IniReadWrite("WRITE", section, "tempo_limite_2", ini, "0200xx"); // key names ignore case
    IniReadWrite("WRITE", section, "Tempo_Limite_4", ini, "abc");
    IniReadWrite("WRITE", "Altra Sezione", "Tempo_Limite_3", ini, "050000");
    const TempoLimite l = LeggiTempiLimite(ini);
    EXPECT_DOUBLE_EQ(l[0], 1 + 30.5 / 60);
    EXPECT_DOUBLE_EQ(l[1], 2);
    EXPECT_EQ(l[2], 0) << "key only in another section";
    EXPECT_EQ(l[3], 0) << "non-numeric value";
}
