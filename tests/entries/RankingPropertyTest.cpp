// Checks what a stored place means over many random groups, independently of how the
// ranking walks the records.
#include "entries/Ranking.h"
#include "entries/RunTime.h"

#include "GroupData.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

using namespace zar;
using namespace zar::test;

namespace {

struct Entry {
    int bib = 0;
    Results r;
    Places after;
};

struct Ranked {
    Group stored;
    GruppoClassifica box;
    TempoLimite limiti{};
    std::vector<Entry> entries;
};

// Database order of one key: Null first ascending, last descending.
int compare(const Num& a, const Num& b) {
    if (!a || !b)
        return int(bool(a)) - int(bool(b));
    return *a < *b ? -1 : (*a > *b ? 1 : 0);
}

using Keys = std::vector<std::pair<Num, bool>>; // value, descending

struct Rule {
    const char* name;
    int field;                              // index into Places
    std::function<Num(const Entry&)> fixed; // marker or kept place, or nothing if counted
    // The ranking keys of a counted entry; entries equal in all of them tie.
    std::function<Keys(const Entry&)> order;
};

// Checks one ranking: fixed places first, then the counted entries in ranking order.
void check(const Ranked& g, const Rule& rule) {
    const auto placeOf = [&](const Entry* e) { return e->after[size_t(rule.field)]; };
    std::vector<const Entry*> counted;
    for (const Entry& e : g.entries) {
        if (const auto fixed = rule.fixed(e))
            EXPECT_EQ(placeOf(&e), (*fixed < 0 ? e.r.before[size_t(rule.field)] : fixed))
                << rule.name << " bib " << e.bib;
        else
            counted.push_back(&e);
    }
    std::sort(counted.begin(), counted.end(), [&](const Entry* a, const Entry* b) {
        const Keys ka = rule.order(*a), kb = rule.order(*b);
        for (size_t i = 0; i < ka.size(); ++i)
            if (const int c = compare(ka[i].first, kb[i].first))
                return ka[i].second ? c > 0 : c < 0;
        // Entries equal in the order keys may come in any order: take the one the places show.
        return compare(placeOf(a), placeOf(b)) < 0;
    });
    for (size_t k = 0; k < counted.size(); ++k) {
        const Num place = placeOf(counted[k]);
        ASSERT_TRUE(place) << rule.name << " bib " << counted[k]->bib << " counted without a place";
        // Equal in every key to the entry before, it shares its place; else its place is its rank.
        const Keys ka = rule.order(*counted[k]), kb = k ? rule.order(*counted[k - 1]) : Keys();
        const bool tie = k && std::equal(ka.begin(), ka.end(), kb.begin(), [](const auto& a, const auto& b) {
                             return a.first && b.first && *a.first == *b.first;
                         });
        EXPECT_EQ(*place, tie ? *placeOf(counted[k - 1]) : double(k + 1))
            << rule.name << " bib " << counted[k]->bib << (tie ? " should tie" : "");
    }
}

constexpr double kKept = -1; // a fixed place that is the one stored before

void checkGroup(const Ranked& g) {
    const bool time = g.box.Categoria == "TIME";
    const bool ranked = time || g.box.Categoria == "NO TIME"; // any other keeps its places
    const qsizetype classe = ListaClassi().indexOf(g.box.Classe);
    const Num limit = classe >= 0 ? Num(g.limiti[size_t(classe)]) : Num();
    auto isMarker = [](const Num& n) { return n && (*n == 9990 || *n == 9999); };

    for (int run = 0; run < 2; ++run) {
        auto points = [run](const Entry& e) { return run == 0 ? e.r.p1 : e.r.p2; };
        auto runTime = [run](const Entry& e) { return run == 0 ? e.r.t1 : e.r.t2; };
        check(g, {run == 0 ? "run 1" : "run 2", run,
                  [&](const Entry& e) -> Num {
                      if (!points(e))
                          return kKept;
                      if (limit && runTime(e) && *runTime(e) > *limit)
                          return 9990;
                      if (!(*points(e) > 0))
                          return 9999;
                      return ranked ? Num() : Num(kKept);
                  },
                  [&](const Entry& e) {
                      return time ? Keys{{points(e), true}, {runTime(e), false}} : Keys{{points(e), true}};
                  }});
    }
    check(g, {"combined", 2,
              [&](const Entry& e) -> Num {
                  if (!e.r.pc)
                      return kKept;
                  if (isMarker(e.after[0]) || isMarker(e.after[1]) || !(*e.r.pc > 0))
                      return 9999;
                  return ranked ? Num() : Num(kKept);
              },
              [&](const Entry& e) {
                  return time ? Keys{{e.r.pc, true}, {e.r.tc, false}}
                              : Keys{{e.r.pc, true}, {e.r.p1, true}, {e.r.p2, true}};
              }});
}

} // namespace

TEST(RankingProperties, PlacesMeanWhatTheyShouldInRandomGroups) {
    TestFolder folder;
    auto db = Database::open(folder.file("ZAR.mdb"));
    std::mt19937 rng(20240512);
    const auto pick = [&](const auto& from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
    };
    const std::vector<QString> categorie{"TIME", "TIME", "NO TIME", "NO TIME", "time", "ALTRO"};
    const std::vector<QString> classi{"DEBUTTANTI", "JUNIOR", "SENIOR", "BIG", "ALTRA"};
    const std::vector<double> limiti{0, 1.0, 1.5, 2.0};
    const std::vector<Num> punti{std::nullopt, 0, 50, 85, 85.5, 100, 100, 100};
    const std::vector<Num> tempi{std::nullopt, 0, 1.0, 1.5, 1.5, 1.5, 2.0, 2.5};
    const std::vector<Num> combinati{std::nullopt, 0, 100, 150, 185.5, 200, 200};
    const std::vector<Num> tempiCombinati{std::nullopt, 0, 2.0, 3.0, 3.0, 4.0};
    const std::vector<Num> posti{std::nullopt, 77, 9990, 9999, 2};

    std::vector<Ranked> groups(300);
    {
        Transaction tx(*db);
        int bib = 0;
        for (size_t i = 0; i < groups.size(); ++i) {
            Ranked& g = groups[i];
            g.stored.gara = QStringLiteral("G%1").arg(i);
            g.stored.categoria = pick(categorie);
            g.stored.classe = pick(classi);
            g.box = {g.stored.gara, g.stored.categoria, g.stored.classe, g.stored.taglia};
            if (rng() % 5 == 0)
                g.box.Classe = g.box.Classe.toLower(); // still finds the group, no limit
            for (double& l : g.limiti)
                l = pick(limiti);
            const int n = std::uniform_int_distribution<int>(0, 25)(rng);
            for (int k = 0; k < n; ++k) {
                Entry& e = g.entries.emplace_back();
                e.bib = ++bib;
                e.r = {pick(punti), pick(tempi),     pick(punti),
                       pick(tempi), pick(combinati), pick(tempiCombinati)};
                for (Num& place : e.r.before)
                    place = pick(posti);
                addEntry(*db, g.stored, e.bib, e.r);
            }
        }
        tx.commit();
    }
    for (Ranked& g : groups) {
        CalcolaClassifiche(*db, g.box, g.limiti);
        for (Entry& e : g.entries)
            e.after = placesOf(*db, g.stored.gara, e.bib);
        SCOPED_TRACE(("group " + g.stored.gara + " " + g.box.Categoria + " " + g.box.Classe).toStdString());
        checkGroup(g);
        if (HasFailure())
            return; // one group's report is enough
    }
}
