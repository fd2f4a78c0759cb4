#include "RegisterTestSupport.h"

#include "frame/Forms.h"
#include "platform/Modal.h"
#include "registers/FrmConduttore.h"
#include "registers/RegisterListModel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace zar;
using namespace zar::test;

namespace {

void addHandler(Env& env, const QString& cf, const QString& cognome, const QString& tessera,
                const QVariant& nascita = QVariant()) {
    env.db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS, DataNascita, Zip) "
                  "VALUES (?, ?, 'MARIO', ?, ?, '')",
                  {cf, cognome, tessera, nascita});
}

QTreeView* list(QWidget* f) {
    return child<QTreeView>(f, "LvwConduttori");
}

// Fills the four required boxes of a new handler and moves on with Enter.
void typeNewHandler(QWidget* f, const QString& cf) {
    typeInto(box(f, 0), cf);
    enter(box(f, 0));
    typeInto(box(f, 1), "Verdi");
    typeInto(box(f, 2), "Anna");
    typeInto(box(f, 9), "T9");
}

} // namespace

class FrmConduttoreTest : public QObject {
    Q_OBJECT
private slots:
    void emptyTableListsNothingAndEnablesSaveOnTheCardBox() {
        Env env;
        auto f = openForm<FrmConduttore>(env);
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("0"));
        QCOMPARE(list(f.get())->model()->rowCount(), 0);
        typeInto(box(f.get(), 0), "ABC");
        enter(box(f.get(), 0));
        QVERIFY(!button(f.get(), "cmdSave")->isEnabled());
        box(f.get(), 9)->setFocus(Qt::TabFocusReason);
        QVERIFY(button(f.get(), "cmdSave")->isEnabled());
        QVERIFY(button(f.get(), "cmdCancel")->isEnabled());
        QAbstractItemModelTester tester(list(f.get())->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    // The name column joins surname and name, and is empty only when the surname is Null.
    void listShowsKeyNameAndCard() {
        Env env;
        addHandler(env, "AAA", "ROSSI", "C1");
        env.db().exec("INSERT INTO TblConduttori (CodiceFiscale, Nome) VALUES ('BBB', 'MARIO')");
        addHandler(env, "BBC", "", "C3");
        auto f = openForm<FrmConduttore>(env);
        QCOMPARE(
            listRows(list(f.get())),
            QList<QStringList>({{"AAA", "ROSSI MARIO", "C1"}, {"BBB", "", ""}, {"BBC", " MARIO", "C3"}}));
        typeInto(box(f.get(), 0), "bb");
        QCOMPARE(listRows(list(f.get())), QList<QStringList>({{"BBB", "", ""}, {"BBC", " MARIO", "C3"}}));
        QTest::keyClick(box(f.get(), 0), Qt::Key_C);
        QCOMPARE(listRows(list(f.get())), QList<QStringList>({{"BBC", " MARIO", "C3"}}));
    }

    void typedKeyIsSearchedAndLoadedOnMovingOn() {
        Env env;
        addHandler(env, "RSSMRA", "ROSSI", "C1");
        addHandler(env, "RSSLGI", "ROSSI", "C2");
        addHandler(env, "BNCGNN", "BIANCHI", "C3");
        addHandler(env, "O'NEIL", "O'NEIL", "C4");
        auto f = openForm<FrmConduttore>(env);
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("4"));

        // The list follows each keystroke; Backspace widens it again.
        typeInto(box(f.get(), 0), "rss");
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("2"));
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("4"));
        // Backspace in an empty key box does nothing; LIKE characters match themselves.
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("4"));
        QTest::keyClicks(box(f.get(), 0), "%");
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("0"));
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);

        typeInto(box(f.get(), 0), "rssmra");
        enter(box(f.get(), 0));
        QCOMPARE(box(f.get(), 0)->text(), QString("RSSMRA")); // upper-cased on leaving
        QCOMPARE(box(f.get(), 1)->text(), QString("ROSSI"));
        QCOMPARE(label(f.get(), "Lbl_TesseraFISC"), QString("C1"));
        QVERIFY(!button(f.get(), "cmdDelete")->isEnabled());
        QVERIFY2(!button(f.get(), "cmdIscriz")->isEnabled(), "register mode");

        // A key holding a quote is looked up as it stands.
        f = openForm<FrmConduttore>(env);
        typeInto(box(f.get(), 0), "O'NEIL");
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("1"));
        enter(box(f.get(), 0));
        QCOMPARE(label(f.get(), "Lbl_TesseraFISC"), QString("C4"));
        QCOMPARE(env.boxes.shown().size(), 0);
    }

    void enterRunsTheRingAndUpperCasesTheBoxBefore() {
        Env env;
        auto f = openForm<FrmConduttore>(env);
        auto* combo = child<QComboBox>(f.get(), "combo_Sesso");
        typeInto(box(f.get(), 7), "abc");
        enter(box(f.get(), 7));
        QCOMPARE(QApplication::focusWidget(), box(f.get(), 8));
        QCOMPARE(box(f.get(), 7)->text(), QString("ABC"));
        enter(box(f.get(), 8));
        QVERIFY(combo->hasFocus());
        enter(combo);
        QCOMPARE(QApplication::focusWidget(), box(f.get(), 9));
        typeInto(box(f.get(), 10), "nota");
        enter(box(f.get(), 10));
        QCOMPARE(QApplication::focusWidget(), box(f.get(), 0));
        QCOMPARE(box(f.get(), 10)->text(), QString("nota")); // the last box is never upper-cased
    }

    void saveChecksRequiredAndNumericBoxes_data() {
        QTest::addColumn<int>("boxIndex");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("zip 1.5") << 6 << "1.5"
                                 << "";
        QTest::newRow("zip -3") << 6 << "-3"
                                << "";
        QTest::newRow("zip empty") << 6 << ""
                                   << "";
        QTest::newRow("zip 12a") << 6 << "12a"
                                 << "Codice avviamento postale errato. Solo numeri.";
        QTest::newRow("phone 12a") << 7 << "12a"
                                   << "Numero di telefono errato. Solo numeri.";
        QTest::newRow("phone 0612") << 7 << "0612"
                                    << "";
        QTest::newRow("key of blanks") << 0 << "   "
                                       << "";
        QTest::newRow("no surname") << 1 << ""
                                    << "Il campo COGNOME è vuoto.";
        QTest::newRow("no card") << 9 << ""
                                 << "Il campo TESSERA CIS è vuoto.";
    }
    void saveChecksRequiredAndNumericBoxes() {
        QFETCH(int, boxIndex);
        QFETCH(QString, value);
        QFETCH(QString, message);
        Env env;
        auto f = openForm<FrmConduttore>(env);
        typeNewHandler(f.get(), "NEWKEY");
        box(f.get(), boxIndex)->setText(value);
        if (message.isEmpty())
            env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        if (message.isEmpty()) {
            QCOMPARE(env.boxes.texts().last(), QString("Dati Conduttore salvati."));
            QCOMPARE(env.count("TblConduttori"), 1);
            if (boxIndex == 0)
                QCOMPARE(env.scalar("SELECT CodiceFiscale FROM TblConduttori").toString(), QString("   "));
        } else {
            QCOMPARE(env.boxes.shown().size(), 1);
            QCOMPARE(env.boxes.shown()[0].text, message);
            QCOMPARE(env.boxes.shown()[0].style, vbExclamation);
            QCOMPARE(env.count("TblConduttori"), 0);
            QVERIFY(box(f.get(), boxIndex)->hasFocus());
            QCOMPARE(box(f.get(), boxIndex)->cursorPosition(), value.size());
        }
    }

    void emptiedBirthDateKeepsTheStoredOne() {
        Env env;
        addHandler(env, "AAA", "ALFA", "C1", "01/02/1990");
        auto f = openForm<FrmConduttore>(env);
        doubleClickRow(list(f.get()), "AAA");
        QCOMPARE(box(f.get(), 8)->text(), QString("01/02/1990"));
        QVERIFY(button(f.get(), "cmdDelete")->isEnabled());
        box(f.get(), 8)->setFocus();
        box(f.get(), 8)->clear();
        box(f.get(), 9)->setFocus(); // leaving the box detects the change
        QVERIFY(button(f.get(), "cmdSave")->isEnabled());
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.scalar("SELECT DataNascita FROM TblConduttori").toString(), QString("01/02/1990"));
        QCOMPARE(env.count("TblConduttori"), 1);
        QCOMPARE(box(f.get(), 0)->text(), QString());
    }

    void noAtTheConfirmationClearsOrHandsBackEmptyBoxes() {
        Env env;
        addHandler(env, "AAA", "ALFA", "C1");
        addHandler(env, "BBB", "BETA", "C2");
        {
            auto f = openForm<FrmConduttore>(env);
            typeInto(box(f.get(), 0), "B");
            QCOMPARE(label(f.get(), "LblNumRecords"), QString("1"));
            typeNewHandler(f.get(), "ZZZ");
            env.boxes.queue(vbNo);
            click(f.get(), "cmdSave");
            QCOMPARE(box(f.get(), 1)->text(), QString());
            QCOMPARE(label(f.get(), "LblNumRecords"), QString("2")); // the search filter is gone
            QVERIFY(!button(f.get(), "cmdSave")->isEnabled());
            QVERIFY(f->isVisible());
        }
        FakeTarget target;
        auto f = openForm<FrmConduttore>(env, 1, &target);
        typeNewHandler(f.get(), "ZZZ");
        env.boxes.queue(vbNo);
        click(f.get(), "cmdSave");
        QCOMPARE(target.conduttore, QStringList({"", "", "", ""}));
        QVERIFY(!f->isVisible());
        QCOMPARE(env.count("TblConduttori"), 2);
    }

    // Refusals for keys in use are walked through the main window in the road test.
    void keyChangeAndDeleteWithoutEntries() {
        Env env;
        addHandler(env, "AAA", "ALFA", "C1");
        addHandler(env, "BBB", "BETA", "C2");
        auto f = openForm<FrmConduttore>(env);
        typeInto(box(f.get(), 0), "B");
        doubleClickRow(list(f.get()), "BBB");
        typeInto(box(f.get(), 0), "BBC");
        enter(box(f.get(), 0));
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.boxes.texts().last(), QString("Dati Conduttore salvati."));
        QCOMPARE(env.scalar("SELECT Cognome FROM TblConduttori WHERE CodiceFiscale = 'BBC'").toString(),
                 QString("BETA"));
        QCOMPARE(env.count("TblConduttori"), 2);
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("2"));

        typeInto(box(f.get(), 0), "B"); // a narrowed list comes back whole after the delete
        doubleClickRow(list(f.get()), "BBC");
        env.boxes.queue(vbNo);
        click(f.get(), "cmdDelete");
        QCOMPARE(env.count("TblConduttori"), 2);
        env.boxes.queue(vbYes);
        click(f.get(), "cmdDelete");
        QCOMPARE(env.count("TblConduttori"), 1);
        QCOMPARE(box(f.get(), 0)->text(), QString());
        QCOMPARE(column0(list(f.get())), QStringList({"AAA"}));
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("1"));
        // Typed keys are still looked up after the delete.
        typeInto(box(f.get(), 0), "AAA");
        enter(box(f.get(), 0));
        QCOMPARE(box(f.get(), 1)->text(), QString("ALFA"));
    }

    void duplicateKeysAreRefused() {
        Env env;
        addHandler(env, "AAA", "ALFA", "C1");
        addHandler(env, "BBB", "BETA", "C2");
        auto f = openForm<FrmConduttore>(env);
        // A new key enables Salva; a double-click then loads an existing handler.
        typeInto(box(f.get(), 0), "NEW");
        enter(box(f.get(), 0));
        QVERIFY(button(f.get(), "cmdSave")->isEnabled());
        typeInto(box(f.get(), 0), QString());
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        doubleClickRow(list(f.get()), "AAA");
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.boxes.texts().last(), QString("Esiste già un conduttore con il Codice Fiscale: AAA"));

        // The key of a loaded handler changed to another handler's key.
        doubleClickRow(list(f.get()), "AAA");
        typeInto(box(f.get(), 0), "BBB");
        enter(box(f.get(), 0));
        QCOMPARE(box(f.get(), 1)->text(), QString("ALFA")); // the form keeps its values
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.boxes.texts().last(), QString("Esiste già un conduttore con il Codice Fiscale: BBB"));
        QCOMPARE(env.scalar("SELECT Cognome FROM TblConduttori WHERE CodiceFiscale = 'BBB'").toString(),
                 QString("BETA"));

        QCOMPARE(env.count("TblConduttori"), 2);
    }

    void duplicateKeyTypedWhileTheViewHoldsNoRecordIsRefused() {
        Env env;
        auto f = openForm<FrmConduttore>(env);
        addHandler(env, "AAA", "ALFA", "C1"); // added behind the form's back
        typeNewHandler(f.get(), "AAA");
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.boxes.texts().last(), QString("Esiste già un conduttore con il Codice Fiscale: AAA"));
        QCOMPARE(env.count("TblConduttori"), 1);
    }

    void pickModeHandsBackByEachRoute() {
        Env env;
        addHandler(env, "AAA", "ALFA", "C1");
        {
            FakeTarget t;
            auto f = openForm<FrmConduttore>(env, 1, &t);
            doubleClickRow(list(f.get()), "AAA");
            QCOMPARE(t.conduttore, QStringList({"AAA", "ALFA", "MARIO", "C1"}));
            QVERIFY(!f->isVisible());
            QVERIFY(!env.shared.rsConduttori);
        }
        {
            FakeTarget t;
            auto f = openForm<FrmConduttore>(env, 1, &t);
            typeInto(box(f.get(), 0), "aaa");
            enter(box(f.get(), 0));
            QVERIFY(button(f.get(), "cmdIscriz")->isEnabled());
            click(f.get(), "cmdIscriz");
            QCOMPARE(t.conduttore, QStringList({"AAA", "ALFA", "MARIO", "C1"}));
            QVERIFY(!f->isVisible());
        }
        {
            FakeTarget t;
            auto f = openForm<FrmConduttore>(env, 1, &t);
            typeNewHandler(f.get(), "NEW");
            env.boxes.queue(vbYes);
            click(f.get(), "cmdSave");
            QCOMPARE(t.conduttore, QStringList({"NEW", "VERDI", "Anna", "T9"}));
            QVERIFY(!f->isVisible());
        }
    }

    void databaseFailureIsShownAndTheFormStaysUsable() {
        Env env;
        addHandler(env, "AAA", "ALFA", "C1");
        auto f = openForm<FrmConduttore>(env);
        doubleClickRow(list(f.get()), "AAA");
        env.db().exec("DROP TABLE TblIscrizioni");
        env.boxes.queue(vbYes);
        click(f.get(), "cmdDelete");
        QCOMPARE(env.boxes.shown().last().style, vbCritical);
        QVERIFY(env.boxes.texts().last().contains("TblIscrizioni"));
        QCOMPARE(env.count("TblConduttori"), 1);
        QVERIFY(f->isVisible());
    }

    void launcherHoldsTheFormInItsSlotWhileOpen() {
        Env env;
        bool heldWhileOpen = false;
        setModalHook([&](QDialog& d) {
            heldWhileOpen = env.shared.frmConduttore == &d && !static_cast<FrmConduttore&>(d).pickMode();
            d.show();
            QTest::mouseClick(child<QPushButton>(&d, "cmdClose"), Qt::LeftButton);
            return 0;
        });
        showFrmConduttore(env.shared, nullptr);
        setModalHook({});
        QVERIFY(heldWhileOpen);
        QVERIFY(env.shared.frmConduttore.isNull());
        QVERIFY(!env.shared.rsConduttori);
        QVERIFY(!env.shared.rsIscrizioni);
    }
};

QTEST_MAIN(FrmConduttoreTest)
#include "FrmConduttoreTest.moc"
