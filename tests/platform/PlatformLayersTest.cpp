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
#include <QScopeGuard>
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
        QCOMPARE(MsgBox("Dati salvati.", vbInformation), int(vbOK));
        QCOMPARE(MsgBox("Confermi?", vbYesNo + vbQuestion, "Titolo"), int(vbYes));
        QString reported;
        {
            MsgBoxResponder inner;
            inner.onUnanswered = [&](const MsgBoxRecord& box) { reported = box.text; };
            QCOMPARE(MsgBox("Vuoi terminare?", vbYesNo + vbQuestion), int(vbNo));
            QCOMPARE(inner.unanswered(), 1);
        }
        MsgBox("Fuori", vbCritical, QString());
        QCOMPARE(reported, "Vuoi terminare?");
        QCOMPARE(described(takeBoxes()),
                 QStringList({"Dati salvati.|64|ZAR", "Confermi?|36|Titolo", "Fuori|16|ZAR"}));
    }

    void shellStartsTheFirstProgramThatExists() {
        QVERIFY(!ShellStart({"zar-no-such-program-1", "zar-no-such-program-2"}));
        QVERIFY(ShellStart({"zar-no-such-program-1", "true"}));
        QVERIFY(!ShellStart({}));
    }

    // A copy sees another one on its own folder only and wakes it; an ended copy frees the name.
    void secondInstanceSeesTheFirstAndAsksItToActivate() {
        QTemporaryDir folder, otherFolder;
        SingleInstance first(folder.path()), second(folder.path()), elsewhere(otherFolder.path());
        QVERIFY(first.start() && !first.previousInstance());
        QVERIFY(!second.start() && second.previousInstance() && !elsewhere.previousInstance());
        QSignalSpy activated(&first, &SingleInstance::activateRequested);
        QVERIFY(second.activateOther() && activated.wait(3000));
        QVERIFY(!first.activateOther());
        {
            SingleInstance gone(otherFolder.path());
            QVERIFY(gone.start());
        }
        SingleInstance next(otherFolder.path());
        QVERIFY(!next.previousInstance() && next.start());
    }

    // Mode 0 always goes on, 1 says so when another copy runs, 2 hands over to it (the caption
    // becomes the window id and the other copy is woken), any other mode stops.
    void limitaAvvioModes() {
        const QStringList none, shown{described("Già in esecuzione", vbOKOnly)};
        const struct {
            int mode;
            bool otherCopy, goesOn;
            QStringList messages;
            bool handedOver;
        } cases[] = {{0, true, true, none, false},   {1, false, true, none, false},
                     {1, true, false, shown, false}, {2, false, true, none, false},
                     {2, true, false, none, true},   {3, false, false, none, false},
                     {-1, true, false, none, false}};
        for (const auto& c : cases) {
            auto row = qScopeGuard([&] { qWarning("mode %d, other copy %d", c.mode, c.otherCopy); });
            QTemporaryDir folder;
            SingleInstance running(folder.path()), self(folder.path());
            QVERIFY(!c.otherCopy || running.start());
            QSignalSpy activated(&running, &SingleInstance::activateRequested);
            self.start();
            QWidget window;
            window.setWindowTitle("ZAR Gestione Gare");
            QCOMPARE(LimitaAvvio(c.mode, window, "Già in esecuzione", self), c.goesOn);
            QCOMPARE(described(takeBoxes()), c.messages);
            QCOMPARE(window.windowTitle(), c.handedOver
                                               ? QString::number(quint64(window.winId()), 16).toUpper()
                                               : "ZAR Gestione Gare");
            QCOMPARE(c.handedOver ? activated.wait(3000) : activated.count() > 0, c.handedOver);
            row.dismiss();
        }
    }

    // Two programs' worth of shared values: each one's stand-ins and printer serve it alone.
    void standInsBelongToTheirSharedValues() {
        SharedValues a, b;
        QStringList seen;
        const auto standIns = [&](SharedValues& s, const QString& tag, int result) {
            s.modalHook = [&seen, tag, result](QDialog& form) {
                seen << tag + form.metaObject()->className();
                return result;
            };
            s.stampaEtichetta = [&seen, &s, tag](SharedValues& on, int bib, auto&, auto&, auto&) {
                seen << tag + QString("label %1 %2").arg(bib).arg(&on == &s);
            };
        };
        standIns(a, "a:", 7);
        standIns(b, "b:", 9);
        QDialog form;
        QCOMPARE(showModal(a, form), 7);
        QCOMPARE(showModal(b, form), 9);
        StampaEtichetta(a, 12, {}, {}, {});
        StampaEtichetta(b, 13, {}, {}, {});
        QVERIFY(!showPrinterSetup(b, nullptr)); // b's hook cancels it
        QCOMPARE(seen,
                 QStringList({"a:QDialog", "b:QDialog", "a:label 12 1", "b:label 13 1", "b:QPrintDialog"}));
        a.programFolder = b.programFolder = QDir::tempPath();
        QVERIFY(&applicationPrinter(a) != &applicationPrinter(b));
    }
};

QTEST_MAIN(PlatformLayersTest)
#include "PlatformLayersTest.moc"
