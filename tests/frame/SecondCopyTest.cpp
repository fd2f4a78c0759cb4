#include "frame/SharedValues.h"
#include "platform/SingleInstance.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace zar;
using namespace zar::test;

// Two processes: this test holds the database like a running copy, a second process runs
// the program's start-up on the same folder.
class SecondCopyTest : public GuiTestBase {
    Q_OBJECT

    struct Run {
        int exitCode = -1;
        QStringList lines;
        QStringList with(const QString& prefix) const {
            QStringList found;
            for (const QString& l : lines)
                if (l.startsWith(prefix))
                    found << l.mid(prefix.size());
            return found;
        }
    };
    Run runSecondCopy(const QString& folder) {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(ZAR_SECOND_COPY), {folder});
        // Wait inside the event loop, so that this copy can answer the hand-over.
        if (!process.waitForStarted(10000) || !finished.wait(30000)) {
            process.kill();
            process.waitForFinished(5000);
            return {};
        }
        Run run;
        run.exitCode = process.exitCode();
        run.lines =
            QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return run;
    }

private slots:
    void secondCopyHandsOverAndEnds() {
        TestFolder folder;
        SingleInstance running(folder.path());
        QVERIFY(running.start());
        SharedValues shared;
        folder.openShared(shared); // the running copy holds the file
        QSignalSpy activated(&running, &SingleInstance::activateRequested);

        const Run run = runSecondCopy(folder.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.with(QStringLiteral("MSG:")), QStringList());
        QCOMPARE(run.with(QStringLiteral("FORM:")), QStringList());
        QCOMPARE(run.with(QStringLiteral("GOESON:")), QStringList{QStringLiteral("0")});
        const QStringList caption = run.with(QStringLiteral("CAPTION:"));
        QCOMPARE(caption.size(), 1);
        QCOMPARE(caption, run.with(QStringLiteral("WINID:")));
        QVERIFY(caption.first() != QStringLiteral("ZAR Gestione Gare"));
        QTRY_COMPARE_WITH_TIMEOUT(activated.count(), 1, 5000);
        QVERIFY(shared.dbGare); // the running copy keeps its connection
    }

    void fileHeldByAnotherProgramIsReported() {
        TestFolder folder;
        auto other = Database::open(folder.file(QStringLiteral("ZAR.mdb")));

        const Run run = runSecondCopy(folder.path());
        QCOMPARE(run.exitCode, 1);
        const QStringList messages = run.with(QStringLiteral("MSG:"));
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(QStringLiteral("è già in uso")));
        QVERIFY(messages.first().contains(QStringLiteral("database is locked")));
        QCOMPARE(run.with(QStringLiteral("FORM:")), QStringList());
        QCOMPARE(run.with(QStringLiteral("CAPTION:")), QStringList{QStringLiteral("ZAR Gestione Gare")});
    }
};

QTEST_MAIN(SecondCopyTest)
#include "SecondCopyTest.moc"
