#include "frame/SharedValues.h"
#include "platform/SingleInstance.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace zar;
using namespace zar::test;

// Two processes: this test holds the database like a running copy, a second process runs
// the program's start-up on the same folder.
class SecondCopyTest : public GuiTestBase {
    Q_OBJECT

    // The lines the second copy reports, then "EXIT:" and its exit code; nothing when it hangs.
    static QStringList runSecondCopy(const QString& folder) {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(ZAR_SECOND_COPY), {folder});
        // Wait inside the event loop, so that this copy can answer the hand-over.
        if (!process.waitForStarted(10000) || !finished.wait(30000)) {
            process.kill();
            process.waitForFinished(5000);
            return {};
        }
        return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)
               << QStringLiteral("EXIT:%1").arg(process.exitCode());
    }

private slots:
    void secondCopyHandsOverAndEnds() {
        TestFolder folder;
        SingleInstance running(folder.path());
        QVERIFY(running.start());
        SharedValues shared;
        folder.openShared(shared); // the running copy holds the file
        QSignalSpy activated(&running, &SingleInstance::activateRequested);

        // No box and no form: the second copy names its window by its id, for the hand-over, and ends.
        const QStringList out = runSecondCopy(folder.path());
        const QString id = out.value(1).mid(6); // after "WINID:"
        QCOMPARE(out, QStringList({"CAPTION:" + id, "WINID:" + id, "GOESON:0", "EXIT:0"}));
        QTRY_COMPARE_WITH_TIMEOUT(activated.count(), 1, 5000);
        QVERIFY(shared.dbGare); // the running copy keeps its connection
    }

    void fileHeldByAnotherProgramIsReported() {
        TestFolder folder;
        auto other = Database::open(folder.file(QStringLiteral("ZAR.mdb")));

        const QStringList out = runSecondCopy(folder.path());
        const QStringList messages = out.filter(QRegularExpression("^MSG:"));
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(QStringLiteral("è già in uso")));
        QVERIFY(messages[0].contains(QStringLiteral("database is locked")));
        QCOMPARE(out.filter(QRegularExpression("^(FORM|CAPTION|EXIT):")),
                 QStringList({"CAPTION:ZAR Gestione Gare", "EXIT:1"}));
    }
};

QTEST_MAIN(SecondCopyTest)
#include "SecondCopyTest.moc"
