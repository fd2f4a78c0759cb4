// Loading the entries lists against the raw queries over the three tables, and one
// scores-form save on a 200-entry group.
#include "Fixtures.h"
#include "entries/Iscrizioni.h"
#include "entries/ListaIscritti.h"
#include "entries/Punteggi.h"
#include "entries/Selezione.h"
#include "platform/Database.h"
#include "platform/Schema.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace zar;

namespace {

const QString G = QStringLiteral("20240501ROMA");

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    explicit Fixture(int n) {
        const QString path = dir.filePath(QStringLiteral("ZAR.mdb"));
        createDatabaseFile(path, QStringLiteral("ZAR"));
        db = Database::open(path);
        Transaction tx(*db);
        for (int i = 1; i <= n; ++i) {
            const QString cf = QStringLiteral("CF%1").arg(i, 6, 10, QLatin1Char('0'));
            const QString chip = QStringLiteral("CHIP%1").arg(i, 6, 10, QLatin1Char('0'));
            db->exec(
                QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, ?)"),
                {cf, QStringLiteral("COGNOME%1").arg(i), QStringLiteral("NOME%1").arg(i)});
            db->exec(QStringLiteral("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)"),
                     {chip, QStringLiteral("CANE%1").arg(i)});
            db->exec(
                QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                               "Categoria, Classe, Taglia, PunteggioRun1, TempoRun1) VALUES (?, ?, ?, ?, "
                               "'TIME', 'JUNIOR', 'SMALL', ?, ?)"),
                {G, i, cf, chip, 100 + i % 90, 1 + (i % 60) / 60.0});
        }
        tx.commit();
    }
};

Fixture& fixture(int n) {
    return fixtureOfSize<Fixture>(n);
}

// Steps through every row and reads each of its first `columns` values once, as a list load does.
void readEveryValue(Statement& st, int columns) {
    int rows = 0;
    while (st.step()) {
        for (int c = 0; c < columns; ++c)
            benchmark::DoNotOptimize(st.column(c));
        ++rows;
    }
    benchmark::DoNotOptimize(rows);
}

void BM_RawJoin(benchmark::State& state) {
    Database& db = *fixture(int(state.range(0))).db;
    for (auto _ : state) {
        Statement st(db,
                     QStringLiteral("SELECT i.Pettorale, c.Cognome, c.Nome, i.CodiceFiscale, k.NomeCane, "
                                    "i.Microchip FROM TblIscrizioni i "
                                    "JOIN TblConduttori c ON c.CodiceFiscale = i.CodiceFiscale "
                                    "JOIN TblCani k ON k.Microchip = i.Microchip WHERE i.CodiceGara = ?"));
        st.bind(1, G);
        readEveryValue(st, 6);
    }
    state.SetComplexityN(state.range(0));
}

// The raw work of the selection panel's list below: the same query (bib, handler, dog and
// the nine results of the group, in bib order), every value read once.
void BM_RawSelectionQuery(benchmark::State& state) {
    Database& db = *fixture(int(state.range(0))).db;
    for (auto _ : state) {
        Statement st(db, QStringLiteral("SELECT i.Pettorale, c.rowid, c.Cognome, c.Nome, k.NomeCane, "
                                        "i.PunteggioRun1, i.TempoRun1, i.ClassificaRun1, i.PunteggioRun2, "
                                        "i.TempoRun2, i.ClassificaRun2, i.PunteggioCombinata, "
                                        "i.TempoCombinata, i.ClassificaCombinata FROM TblIscrizioni i "
                                        "LEFT JOIN TblConduttori c ON c.CodiceFiscale = i.CodiceFiscale "
                                        "LEFT JOIN TblCani k ON k.Microchip = i.Microchip "
                                        "WHERE i.CodiceGara = ? AND i.Categoria = ? AND i.Classe = ? "
                                        "AND i.Taglia = ? ORDER BY i.Pettorale, i.rowid"));
        st.bindAll({G, QStringLiteral("TIME"), QStringLiteral("JUNIOR"), QStringLiteral("SMALL")});
        readEveryValue(st, 14);
    }
    state.SetComplexityN(state.range(0));
}

// What the entries form's list load does: the rows with their names, into the list's model.
void BM_EntriesFormList(benchmark::State& state) {
    Database& db = *fixture(int(state.range(0))).db;
    ListaIscrittiModel model({"Pettorale", "Cognome_Nome Cond.", "Codice Fiscale", "Nome Cane", "Microchip"});
    for (auto _ : state) {
        FiltroIscritti f;
        f.CodiceGara = G;
        f.risultati = false;
        const auto rows = LeggiIscritti(db, f);
        std::vector<QStringList> cells;
        cells.reserve(rows.size());
        for (const RigaIscritto& r : rows)
            cells.push_back({r.Pettorale, r.Conduttore, r.CodiceFiscale, r.NomeCane, r.Microchip});
        model.setRighe(std::move(cells));
    }
    state.SetComplexityN(state.range(0));
}

// The selection panel's list of the scores form: a group with results and shown times.
// As in the panel, the model formats cells when the view asks, so a screenful of rows
// (40 rows, more than the form shows) is drawn too.
void BM_SelectionPanelList(benchmark::State& state) {
    Database& db = *fixture(int(state.range(0))).db;
    const MembroSelezione& m = MembroClassifica();
    const TestoCella cella = CellaDelMembro(m);
    QStringList headers;
    for (const auto& c : m.colonne)
        headers << c.intestazione;
    ListaIscrittiModel model(headers);
    const Selezione sel{G, QStringLiteral("TIME"), QStringLiteral("JUNIOR"), QStringLiteral("SMALL")};
    for (auto _ : state) {
        model.setIscritti({}, cella);
        model.setIscritti(LeggiIscritti(db, *FiltroPerSelezione(m, sel)), cella);
        for (int r = 0; r < std::min(40, model.rowCount()); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c)));
    }
    state.SetComplexityN(state.range(0));
}

// One scores-form save on a 200-entry group: result, places of the group, list reload.
void BM_ScoresSave200(benchmark::State& state) {
    Database& db = *fixture(200).db;
    const GruppoClassifica g{G, QStringLiteral("TIME"), QStringLiteral("JUNIOR"), QStringLiteral("SMALL")};
    const MembroSelezione& m = MembroClassifica();
    int bib = 0;
    for (auto _ : state) {
        bib = bib % 200 + 1;
        const BoxPunteggi box{1, QStringLiteral("%1").arg(100 + bib % 50), QStringLiteral("013050"),
                              QString(), QString()};
        SalvaPunteggio(db, G, QString::number(bib), box, g, {});
        auto rows =
            LeggiIscritti(db, *FiltroPerSelezione(m, {g.CodiceGara, g.Categoria, g.Classe, g.Taglia}));
        ListaIscrittiModel model(QStringList(m.colonne.size(), QString()));
        model.setIscritti(std::move(rows), CellaDelMembro(m));
        for (int r = 0; r < std::min(40, model.rowCount()); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c)));
    }
}

} // namespace

BENCHMARK(BM_RawJoin)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_RawSelectionQuery)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_EntriesFormList)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_SelectionPanelList)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ScoresSave200)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
