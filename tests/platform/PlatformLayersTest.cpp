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
using zar::test::described;

class PlatformLayersTest : public zar::test::GuiTestBase {
    Q_OBJECT

private slots:
    // OK boxes take no answer, choices take the queued one; a question nobody answers gets
    // the safe choice and is reported; an inner responder hands back to the outer one.
    void messageBoxesGoThroughTheResponder() {
        answer({vbYes});
        QCOMPARE(MsgBox(QStringLiteral("Dati salvati."), vbInformation), int(vbOK));
        QCOMPARE(MsgBox(QStringLiteral("Confermi?"), vbYesNo + vbQuestion, QStringLiteral("Titolo")),
                 int(vbYes));
        QString reported;
        {
            MsgBoxResponder inner;
            inner.onUnanswered = [&](const MsgBoxRecord& box) { reported = box.text; };
            QCOMPARE(MsgBox(QStringLiteral("Vuoi terminare?"), vbYesNo + vbQuestion), int(vbNo));
            QCOMPARE(inner.unanswered(), 1);
        }
        MsgBox(QStringLiteral("Fuori"), vbCritical, QString());
        QCOMPARE(reported, QStringLiteral("Vuoi terminare?"));
        QCOMPARE(described(takeBoxes()),
                 QStringList({QStringLiteral("Dati salvati.|64|ZAR"), QStringLiteral("Confermi?|36|Titolo"),
                              QStringLiteral("Fuori|16|ZAR")}));
    }

    void shellStartsTheFirstProgramThatExists() {
        QVERIFY(
            !ShellStart({QStringLiteral("zar-no-such-program-1"), QStringLiteral("zar-no-such-program-2")}));
        QVERIFY(ShellStart({QStringLiteral("zar-no-such-program-1"), QStringLiteral("true")}));
        QVERIFY(!ShellStart({}));
    }

    // The second copy in a folder sees the first and wakes it; an ended copy frees the name.
    void secondInstanceSeesTheFirstAndAsksItToActivate() {
        QTemporaryDir folder, otherFolder, again;
        SingleInstance first(folder.path()), second(folder.path()), elsewhere(otherFolder.path());
        QVERIFY(first.start() && !first.previousInstance());
        QVERIFY(!second.start() && second.previousInstance());
        QVERIFY(!elsewhere.previousInstance());
        QSignalSpy activated(&first, &SingleInstance::activateRequested);
        QVERIFY(second.activateOther());
        QVERIFY(activated.wait(3000));
        QVERIFY(!first.activateOther());
        {
            SingleInstance gone(again.path());
            QVERIFY(gone.start());
        }
        SingleInstance next(again.path());
        QVERIFY(!next.previousInstance() && next.start());
    }

    void limitaAvvioModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherCopy");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("handedOver"); // and the caption becomes the window id
        const QStringList none, msg{described(QStringLiteral("Già in esecuzione"), vbOKOnly)};
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
        SingleInstance running(folder.path()), self(folder.path());
        if (otherCopy)
            QVERIFY(running.start());
        QSignalSpy activated(&running, &SingleInstance::activateRequested);
        self.start();
        QWidget window;
        window.setWindowTitle(QStringLiteral("ZAR Gestione Gare"));
        QCOMPARE(LimitaAvvio(mode, window, QStringLiteral("Già in esecuzione"), self), goesOn);
        QCOMPARE(described(takeBoxes()), messages);
        QCOMPARE(window.windowTitle(), handedOver ? QString::number(quint64(window.winId()), 16).toUpper()
                                                  : QStringLiteral("ZAR Gestione Gare"));
        QCOMPARE(handedOver ? activated.wait(3000) : activated.count() > 0, handedOver);
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
        QDialog form;
        QCOMPARE(showModal(a, form), 7);
        QCOMPARE(showModal(b, form), 9);
        StampaEtichetta(a, 12, {}, {}, {});
        StampaEtichetta(b, 13, {}, {}, {});
        QVERIFY(!showPrinterSetup(b, nullptr)); // b's hook cancels it
        QCOMPARE(seen, QStringList({QStringLiteral("a:QDialog"), QStringLiteral("b:QDialog"),
                                    QStringLiteral("a:label 12 1"), QStringLiteral("b:label 13 1"),
                                    QStringLiteral("b:QPrintDialog")}));
        a.programFolder = b.programFolder = QDir::tempPath();
        QVERIFY(&applicationPrinter(a) != &applicationPrinter(b));
    }
};

QTEST_MAIN(PlatformLayersTest)
#include "PlatformLayersTest.moc"
