// The backup of a 50 MB database against `cp` of the same file followed by an fsync.
// BM_Backup times what the user waits for after pressing Save: the form opened the empty
// database while the folder was being chosen. BM_BackupAtOnce presses Save as the form opens,
// so that open is in the time too; BM_CopyVerified is the copy on its own.
#include "frame/BackUp.h"
#include "frame/SharedValues.h"
#include "platform/Schema.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace zar;

namespace {

constexpr qint64 kDatabaseBytes = 50LL * 1024 * 1024;

struct Fixture {
    QTemporaryDir dir;
    SharedValues shared;
    QString target;
    Fixture() {
        shared.programFolder = dir.path();
        createDatabaseFile(shared.databasePath(), QStringLiteral("ZAR"));
        createDatabaseFile(shared.emptyDatabasePath());
        shared.openDatabase();
        const QString note(400, QLatin1Char('n'));
        // Grown in committed batches until the file holds the size wanted.
        for (int i = 0; QFileInfo(shared.databasePath()).size() < kDatabaseBytes;) {
            Transaction tx(*shared.dbGare);
            Statement st(*shared.dbGare, QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome, "
                                                        "Annotazioni) VALUES (?, 'Rossi', ?)"));
            for (int j = 0; j < 5000; ++j, ++i) {
                st.bindAll({QStringLiteral("CF%1").arg(i, 9, 10, QLatin1Char('0')), note});
                st.step();
                st.reset();
            }
            tx.commit();
        }
        const QString folder = dir.filePath(QStringLiteral("copie"));
        QDir().mkpath(folder);
        target = backupTarget(folder);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void backUp(benchmark::State& state, Fixture& f, TemplateOpening* ahead) {
    const QString folder = QFileInfo(f.target).path();
    const BackupOutcome outcome = backUpDatabase(f.shared, folder, QStorageInfo(folder).rootPath(), ahead);
    if (!outcome.copied || !outcome.reopenError.isEmpty())
        state.SkipWithError(qPrintable(outcome.copyError + outcome.reopenError));
}

void BM_Backup(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming(); // the form opens; the user picks the folder
        TemplateOpening ahead = openTemplateAhead(f.shared);
        ahead.wait();
        state.ResumeTiming();
        backUp(state, f, &ahead);
    }
    state.counters["MB"] = double(QFileInfo(f.target).size()) / (1024 * 1024);
}

void BM_BackupAtOnce(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        backUp(state, f, nullptr);
}

// The copy alone: written, flushed, read back and compared, renamed into place.
void BM_CopyVerified(benchmark::State& state) {
    Fixture& f = fixture();
    f.shared.dbGare.reset();
    for (auto _ : state) {
        const QString error = copyFileVerified(f.shared.databasePath(), f.target);
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
    f.shared.openDatabase();
}

void BM_CpAndFsync(benchmark::State& state) {
    Fixture& f = fixture();
    const QByteArray command =
        "cp '" + QFile::encodeName(f.shared.databasePath()) + "' '" + QFile::encodeName(f.target) + "'";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cp failed");
        const int fd = ::open(QFile::encodeName(f.target).constData(), O_RDONLY);
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

BENCHMARK(BM_CpAndFsync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_CopyVerified)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_BackupAtOnce)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK_MAIN();
