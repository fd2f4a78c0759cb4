// Opening a record set (rows read into memory) against stepping the same query raw.
#include "platform/Recordset.h"
#include "platform/Schema.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

using namespace zar;

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    explicit Fixture(int rows) {
        const QString path = dir.filePath("ZAR.mdb");
        createDatabaseFile(path, "ZAR");
        db = Database::open(path);
        Transaction tx(*db);
        Statement st(
            *db, "INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES (?, ?, ?, ?)");
        for (int i = 0; i < rows; ++i) {
            st.bindAll({QString("CF%1").arg(i, 8, 10, QChar('0')), "Rossi", "Mario", QString::number(i)});
            st.step();
            st.reset();
        }
        tx.commit();
    }
};

void BM_RawSelect(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    for (auto _ : state) {
        Statement st(*f.db, "SELECT * FROM TblConduttori ORDER BY CodiceFiscale");
        int n = 0;
        while (st.step()) {
            for (int c = 0; c < st.columnCount(); ++c)
                benchmark::DoNotOptimize(st.column(c));
            ++n;
        }
        benchmark::DoNotOptimize(n);
    }
}

void BM_RecordsetOpen(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    for (auto _ : state) {
        Recordset rs(*f.db, "SELECT * FROM TblConduttori ORDER BY CodiceFiscale");
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

// The record set keeps texts as the engine gives them; this is the cost when every
// value of every record is also read, as the raw select does.
void BM_RecordsetOpenReadAll(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    for (auto _ : state) {
        Recordset rs(*f.db, "SELECT * FROM TblConduttori ORDER BY CodiceFiscale");
        const int fields = int(rs.fieldNames().size());
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            for (int c = 0; c < fields; ++c)
                benchmark::DoNotOptimize(rs.value(c));
        }
    }
}

} // namespace

BENCHMARK(BM_RawSelect)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordsetOpen)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordsetOpenReadAll)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
