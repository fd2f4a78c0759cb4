#include "frame/LimitaAvvio.h"
#include "frame/SharedValues.h"
#include "labels/StampaEtichetta.h"
#include "platform/Modal.h"
#include "platform/MsgBox.h"
#include "platform/Printer.h"
#include "platform/PrinterSetup.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "support/GuiTestBase.h"

#include <QDialog>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zar;

class PlatformLayersTest : public zar::test::GuiTestBase {
    Q_OBJECT

private slots:
    void shellStartsTheFirstProgramThatExists() {
        QVERIFY(
            !ShellStart({QStringLiteral("zar-no-such-program-1"), QStringLiteral("zar-no-such-program-2")}));
        QVERIFY(ShellStart({QStringLiteral("zar-no-such-program-1"), QStringLiteral("true")}));
        QVERIFY(!ShellStart({}));
    }

    void secondInstanceSeesTheFirstAndAsksItToActivate() {
        QTemporaryDir folder, otherFolder;
        SingleInstance first(folder.path());
        QVERIFY(first.start());
        QVERIFY(first.isServing());
        QVERIFY(!first.previousInstance());

        SingleInstance second(folder.path());
        QVERIFY(!second.start());
        QVERIFY(second.previousInstance());
        SingleInstance elsewhere(otherFolder.path());
        QVERIFY(!elsewhere.previousInstance());

        QSignalSpy activated(&first, &SingleInstance::activateRequested);
        QVERIFY(second.activateOther());
        QVERIFY(activated.wait(3000));
        QCOMPARE(activated.count(), 1);
        QVERIFY(!first.activateOther()); // the running copy has nobody to hand over to

        // A copy that has ended leaves the name free.
        QTemporaryDir again;
        {
            SingleInstance gone(again.path());
            QVERIFY(gone.start());
        }
        SingleInstance next(again.path());
        QVERIFY(!next.previousInstance());
        QVERIFY(next.start());
    }

    void limitaAvvioModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherCopy");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("handedOver"); // and the caption becomes the window id
        const QStringList none;
        const QStringList msg{QStringLiteral("Già in esecuzione")};
        QTest::newRow("0 alone") << 0 << false << true << none << false;
        QTest::newRow("0 with copy") << 0 << true << true << none << false;
        QTest::newRow("1 alone") << 1 << false << true << none << false;
        QTest::newRow("1 with copy") << 1 << true << false << msg << false;
        QTest::newRow("2 alone") << 2 << false << true << none << false;
        QTest::newRow("2 with copy") << 2 << true << false << none << true;
        QTest::newRow("3 alone") << 3 << false << false << none << false;
        QTest::newRow("-1 with copy") << -1 << true << false << none << false;
    }

    void limitaAvvioModes() {
        QFETCH(int, mode);
        QFETCH(bool, otherCopy);
        QFETCH(bool, goesOn);
        QFETCH(QStringList, messages);
        QFETCH(bool, handedOver);

        QTemporaryDir folder;
        SingleInstance running(folder.path());
        if (otherCopy)
            QVERIFY(running.start());
        QSignalSpy activated(&running, &SingleInstance::activateRequested);
        SingleInstance self(folder.path());
        self.start();

        QWidget window;
        window.setWindowTitle(QStringLiteral("ZAR Gestione Gare"));
        QCOMPARE(LimitaAvvio(mode, window, QStringLiteral("Già in esecuzione"), self), goesOn);
        QStringList texts;
        for (const MsgBoxRecord& box : takeBoxes())
            texts << box.text;
        QCOMPARE(texts, messages);
        QCOMPARE(window.windowTitle(), handedOver ? QString::number(quint64(window.winId()), 16).toUpper()
                                                  : QStringLiteral("ZAR Gestione Gare"));
        if (handedOver)
            QVERIFY(activated.wait(3000));
        else
            QCOMPARE(activated.count(), 0);
    }

    // Two programs' worth of shared values: each one's stand-ins and printer serve it alone.
    void standInsBelongToTheirSharedValues() {
        SharedValues a, b;
        QStringList seen;
        a.modalHook = [&](QDialog& form) {
            seen << QStringLiteral("a:") + form.metaObject()->className();
            return 7;
        };
        b.modalHook = [&](QDialog& form) {
            seen << QStringLiteral("b:") + form.metaObject()->className();
            return 9;
        };
        a.stampaEtichetta = [&](SharedValues& s, int bib, const QString&, const QString&, const QString&) {
            seen << QStringLiteral("a:label %1 %2").arg(bib).arg(&s == &a);
        };
        b.stampaEtichetta = [&](SharedValues& s, int bib, const QString&, const QString&, const QString&) {
            seen << QStringLiteral("b:label %1 %2").arg(bib).arg(&s == &b);
        };
        a.printerName = QStringLiteral("Ufficio");
        b.printerName = QStringLiteral("Magazzino");

        QDialog form;
        QCOMPARE(showModal(a, form), 7);
        QCOMPARE(showModal(b, form), 9);
        StampaEtichetta(a, 12, {}, {}, {});
        StampaEtichetta(b, 13, {}, {}, {});
        QVERIFY(!showPrinterSetup(b, nullptr)); // b's hook cancels it
        QCOMPARE(seen, QStringList({QStringLiteral("a:QDialog"), QStringLiteral("b:QDialog"),
                                    QStringLiteral("a:label 12 1"), QStringLiteral("b:label 13 1"),
                                    QStringLiteral("b:QPrintDialog")}));
        QCOMPARE(a.printerName, QStringLiteral("Ufficio"));
        QCOMPARE(b.printerName, QStringLiteral("Magazzino"));

        a.programFolder = b.programFolder = QDir::tempPath();
        QVERIFY(&applicationPrinter(a) != &applicationPrinter(b));
    }
};

QTEST_MAIN(PlatformLayersTest)
#include "PlatformLayersTest.moc"
