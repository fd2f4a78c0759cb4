// A ranking killed at any moment leaves a sound database with either all the old
// places or all the new ones.
#include "entries/Ranking.h"

#include "GroupData.h"
#include "platform/Schema.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <random>
#include <thread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace zar;
using namespace zar::test;

namespace {

constexpr int kEntries = 5000;
constexpr double kOld = 20000; // no ranking ever writes this

const Group kGroup;
const GruppoClassifica kBox{kGroup.gara, kGroup.categoria, kGroup.classe, kGroup.taglia};
const TempoLimite kLimiti{2.0, 2.0, 2.0, 2.0};

// Every entry's places, in bib order.
QString allPlaces(Database& db) {
    return db
        .scalar("SELECT group_concat(quote(ClassificaRun1) || quote(ClassificaRun2) || "
                "quote(ClassificaCombinata), ' ') FROM (SELECT * FROM TblIscrizioni ORDER BY Pettorale)")
        .toString();
}

// The work file made a fresh copy of `from`, without a journal left by the last round.
bool copyToWork(const QString& from, const QString& work) {
    QFile::remove(work);
    QFile::remove(work + "-journal");
    return QFile::copy(from, work);
}

} // namespace

TEST(RankingKill, KilledAtRandomMomentsAllOldOrAllNew) {
    QTemporaryDir dir;
    const QString pristine = dir.filePath("pristine.mdb");
    const QString work = dir.filePath("ZAR.mdb");
    createDatabaseFile(pristine, "ZAR");
    std::mt19937 rng(7);
    {
        auto db = Database::open(pristine);
        Transaction tx(*db);
        std::uniform_int_distribution<int> points(0, 40);
        std::uniform_int_distribution<int> hundredths(6000, 14000);
        for (int bib = 1; bib <= kEntries; ++bib) {
            const double p1 = points(rng) * 5, p2 = points(rng) * 5;
            const double t1 = hundredths(rng) / 6000.0, t2 = hundredths(rng) / 6000.0;
            addEntry(*db, kGroup, bib, {p1, t1, p2, t2, p1 + p2, t1 + t2, {kOld, kOld, kOld}});
        }
        tx.commit();
    }

    // The places a whole computation gives, and how long it takes once the file is open.
    QString old, expected;
    qint64 computeUs = 0;
    {
        ASSERT_TRUE(copyToWork(pristine, work));
        auto db = Database::open(work);
        old = allPlaces(*db);
        QElapsedTimer timer;
        timer.start();
        CalcolaClassifiche(*db, kBox, kLimiti);
        computeUs = std::max<qint64>(timer.nsecsElapsed() / 1000, 1);
        expected = allPlaces(*db);
    }
    ASSERT_EQ(expected.count(' '), kEntries - 1);
    ASSERT_NE(expected, old);

    // A copy whose ranking never gets past the middle entry's place: a kill of it lands
    // inside the transaction whatever the timing, so some rounds must see the old places.
    const QString stalled = dir.filePath("stalled.mdb");
    ASSERT_TRUE(QFile::copy(pristine, stalled));
    Database::open(stalled)->execScript(
        QStringLiteral("CREATE TRIGGER Stall AFTER UPDATE ON TblIscrizioni WHEN NEW.Pettorale = %1 BEGIN "
                       "SELECT count(*) FROM TblIscrizioni a, TblIscrizioni b, TblIscrizioni c, "
                       "TblIscrizioni d; END;")
            .arg(kEntries / 2));

    int sawOld = 0, sawNew = 0;
    std::uniform_int_distribution<qint64> delay(0, computeUs * 12 / 10);
    for (int round = 0; round < 25; ++round) {
        const bool stall = round % 8 == 0;
        ASSERT_TRUE(copyToWork(stall ? stalled : pristine, work));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                auto db = Database::open(work);
                (void)!write(ready[1], "go", 2); // the slow key derivation is done
                CalcolaClassifiche(*db, kBox, kLimiti);
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        close(ready[1]);
        char buf[2];
        const bool started = read(ready[0], buf, 2) == 2;
        close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(stall ? computeUs : delay(rng)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(started) << "the child could not open the database";
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the child failed";

        auto db = Database::open(work); // rolls a hot journal back
        EXPECT_EQ(db->scalar("PRAGMA integrity_check").toString(), "ok") << "round " << round;
        const QString now = allPlaces(*db);
        if (now == old)
            ++sawOld;
        else if (stall)
            ADD_FAILURE() << "round " << round << ": a stalled ranking was committed";
        else if (now == expected)
            ++sawNew;
        else
            ADD_FAILURE() << "round " << round << ": a mix of old and new places";
    }
    EXPECT_GE(sawOld, 4) << "the stalled rounds must leave the old places";
    std::printf("kills: %d left the old places, %d the new ones\n", sawOld, sawNew);
}
