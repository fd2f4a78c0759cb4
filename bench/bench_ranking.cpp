// Ranking one group against the raw work: one SELECT of the group in ranking order plus one
// transaction of one UPDATE by rowid per entry. The second argument 1 changes one entry's
// run 1 points before each ranking, as a scores save does; 0 ranks the same results again.
#include "entries/Ranking.h"
#include "platform/Database.h"
#include "platform/Schema.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <random>
#include <vector>

using namespace zar;

namespace {

const GruppoClassifica kGruppo{"20240512Roma", "TIME", "JUNIOR", "SMALL"};
const TempoLimite kLimiti{2.0, 2.0, 2.0, 2.0};

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    std::mt19937 changes{7};
    int entries = 0;
    // One entry of the group gets other run 1 points (untimed).
    void changeOneResult(benchmark::State& state) {
        if (state.range(1) == 0)
            return;
        state.PauseTiming();
        std::uniform_int_distribution<int> entry(1, entries), points(0, 40);
        db->exec("UPDATE TblIscrizioni SET PunteggioRun1 = ? WHERE Pettorale = ?",
                 {points(changes) * 5, entry(changes)});
        state.ResumeTiming();
    }
    explicit Fixture(int n) : entries(n) {
        const QString path = dir.filePath("ZAR.mdb");
        createDatabaseFile(path, "ZAR");
        db = Database::open(path);
        Transaction tx(*db);
        Statement st(*db,
                     "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, "
                     "Classe, Taglia, PunteggioRun1, TempoRun1, PunteggioRun2, TempoRun2, "
                     "PunteggioCombinata, TempoCombinata) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        std::mt19937 rng(1);
        std::uniform_int_distribution<int> points(0, 40), hundredths(6000, 14000);
        // The group, and as many entries again in another size, as a competition has.
        for (int i = 0; i < 2 * entries; ++i) {
            const double p1 = points(rng) * 5, p2 = points(rng) * 5;
            const double t1 = hundredths(rng) / 6000.0, t2 = hundredths(rng) / 6000.0;
            st.bindAll({kGruppo.CodiceGara, i + 1, QString("CF%1").arg(i), QString("CHIP%1").arg(i),
                        kGruppo.Categoria, kGruppo.Classe, i < entries ? kGruppo.Taglia : QString("LARGE"),
                        p1, t1, p2, t2, p1 + p2, t1 + t2});
            st.step();
            st.reset();
        }
        tx.commit();
    }
};

void BM_CalcolaClassifiche(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    for (auto _ : state) {
        f.changeOneResult(state);
        CalcolaClassifiche(*f.db, kGruppo, kLimiti);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_RawSelectAndUpdates(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    std::vector<qint64> rowids;
    for (auto _ : state) {
        f.changeOneResult(state);
        Transaction tx(*f.db);
        rowids.clear();
        Statement sel(
            *f.db, "SELECT rowid, PunteggioRun1, TempoRun1 FROM TblIscrizioni WHERE CodiceGara = ? "
                   "AND Categoria = ? AND Classe = ? AND Taglia = ? ORDER BY PunteggioRun1 DESC, TempoRun1");
        sel.bindAll({kGruppo.CodiceGara, kGruppo.Categoria, kGruppo.Classe, kGruppo.Taglia});
        while (sel.step()) {
            benchmark::DoNotOptimize(sel.column(1));
            benchmark::DoNotOptimize(sel.column(2));
            rowids.push_back(sel.columnInt64(0));
        }
        Statement up(*f.db, "UPDATE TblIscrizioni SET ClassificaRun1 = ? WHERE rowid = ?");
        int place = 0;
        for (const qint64 rowid : rowids) {
            up.bind(1, ++place);
            up.bind(2, QVariant(qlonglong(rowid)));
            up.step();
            up.reset();
        }
        tx.commit();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_RawSelectAndUpdates)->ArgsProduct({{100, 1000, 10000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcolaClassifiche)->ArgsProduct({{100, 1000, 10000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
