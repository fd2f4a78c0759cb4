#include "RegisterTestSupport.h"

#include "frame/Forms.h"
#include "platform/Modal.h"
#include "registers/FrmConduttore.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

using namespace zar;
using namespace zar::test;

namespace {

void addHandler(Env& env, const QString& cf, const QString& cognome, const QVariant& nascita = QVariant()) {
    env.db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS, DataNascita) "
                  "VALUES (?, ?, 'MARIO', 'T1', ?)",
                  {cf, cognome, nascita});
}

void typeKey(QWidget* f, const QString& cf) {
    typeInto(box(f, 0), cf);
    enter(box(f, 0));
}

// The four required boxes of a new handler.
void typeNewHandler(QWidget* f, const QString& cf) {
    typeKey(f, cf);
    typeInto(box(f, 1), "Verdi");
    typeInto(box(f, 2), "Anna");
    typeInto(box(f, 9), "T9");
}

// clang-format off
RegisterCase handlers() {
    return {.make = [](SharedValues& s) { return std::make_unique<FrmConduttore>(s); },
            .table = "TblConduttori", .list = "LvwConduttori", .entriesField = "CodiceFiscale",
            .listSet = &SharedValues::rsConduttori,
            .handedTo = &FakeTarget::conduttore, .nameBox = 1,
            .a = "AAA", .b = "BBB", .c = "CCC", .quoted = "O'NEIL", .narrowToB = "b",
            .add = [](Env& env, const QString& key, const QString& name) { addHandler(env, key, name); },
            .listed = [](auto k, auto n) { return QStringList{k, n + " MARIO", "T1"}; },
            .stored = [](auto k, auto n) { return QStringList{k, n, "MARIO", "T1"}; },
            .typeKey = typeKey, .typeRecord = typeNewHandler,
            .typed = [](const QString& key) { return QStringList{key, "VERDI", "Anna", "T9"}; },
            .saved = "Dati Conduttore salvati.",
            .duplicate = "Esiste già un conduttore con il Codice Fiscale: ",
            .keyChangeRefused = "Non è possibile MODIFICARE il CODICE FISCALE\r\n"
                                "Sono presenti degli iscritti a competizioni con il Codice Fiscale: ",
            .deleteRefused = "Non è possibile cancellare il record perchè il CONDUTTORE è presente tra gli "
                             "iscritti alle gare"};
}
// clang-format on

} // namespace

class FrmConduttoreTest : public QObject {
    Q_OBJECT
private slots:
    // The name column joins surname and name, and is empty only when the surname is Null.
    void nameColumnJoinsSurnameAndName() {
        Env env;
        env.db().exec("INSERT INTO TblConduttori (CodiceFiscale, Nome) VALUES ('BBB', 'MARIO')");
        addHandler(env, "BBC", "");
        auto f = openForm<FrmConduttore>(env);
        QCOMPARE(listRows(f.get(), "LvwConduttori"),
                 QList<QStringList>({{"BBB", "", ""}, {"BBC", " MARIO", "T1"}}));
    }

    // With nothing to look up, Salva comes on only when the card box is entered.
    void emptyTableEnablesSaveOnTheCardBox() {
        Env env;
        auto f = openForm<FrmConduttore>(env);
        typeKey(f.get(), "ABC");
        QVERIFY(!child<QPushButton>(f.get(), "cmdSave")->isEnabled());
        box(f.get(), 9)->setFocus(Qt::TabFocusReason);
        QVERIFY(child<QPushButton>(f.get(), "cmdSave")->isEnabled());
        QVERIFY(child<QPushButton>(f.get(), "cmdCancel")->isEnabled());
    }

    void enterRunsTheRingAndUpperCasesTheBoxBefore() {
        Env env;
        auto f = openForm<FrmConduttore>(env);
        typeInto(box(f.get(), 7), "abc");
        enter(box(f.get(), 7));
        QCOMPARE(focused(), QString("Txt_Field_8"));
        QCOMPARE(box(f.get(), 7)->text(), QString("ABC"));
        enter(box(f.get(), 8));
        QCOMPARE(focused(), QString("combo_Sesso"));
        enter(child<QComboBox>(f.get(), "combo_Sesso"));
        QCOMPARE(focused(), QString("Txt_Field_9"));
        typeInto(box(f.get(), 10), "nota");
        enter(box(f.get(), 10));
        QCOMPARE(focused(), QString("Txt_Field_0"));
        QCOMPARE(box(f.get(), 10)->text(), QString("nota")); // the last box is never upper-cased
    }

    void saveChecksRequiredAndNumericBoxes_data() {
        QTest::addColumn<int>("boxIndex");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        const struct {
            int box;
            const char *value, *message, *title;
        } rows[] = {
            {6, "1.5", "", ""},
            {6, "-3", "", ""},
            {6, "", "", ""},
            {6, "12a", "Codice avviamento postale errato. Solo numeri.", "Zip Code non corretto"},
            {7, "12a", "Numero di telefono errato. Solo numeri.", "Telefono non corretto"},
            {7, "0612", "", ""},
            {0, "   ", "", ""}, // a key of blanks is a key
            {1, "", "Il campo COGNOME è vuoto.", "Cognome Mancante"},
            {9, "", "Il campo TESSERA CIS è vuoto.", "Tessera CIS Mancante"},
        };
        for (const auto& r : rows)
            QTest::addRow("box %d '%s'", r.box, r.value)
                << r.box << QString::fromUtf8(r.value) << QString::fromUtf8(r.message)
                << QString::fromUtf8(r.title);
    }
    void saveChecksRequiredAndNumericBoxes() {
        QFETCH(int, boxIndex);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, title);
        Env env;
        auto f = openForm<FrmConduttore>(env);
        typeNewHandler(f.get(), "NEWKEY");
        box(f.get(), boxIndex)->setText(value);
        if (message.isEmpty())
            env.boxes.queue(vbYes);
        // On a desktop the message box deactivates the form; the focus lands when it is active again.
        QWidget other;
        showActive(&other);
        click(f.get(), "cmdSave");
        showActive(f.get());
        if (message.isEmpty()) {
            QCOMPARE(env.boxes.texts().last(), QString("Dati Conduttore salvati."));
            QCOMPARE(env.scalar("SELECT CodiceFiscale FROM TblConduttori").toString(),
                     boxIndex == 0 ? value : QString("NEWKEY"));
            return;
        }
        QCOMPARE(env.boxes.shown().size(), 1);
        QCOMPARE(env.boxes.shown()[0].text, message);
        QCOMPARE(env.boxes.shown()[0].title, title);
        QCOMPARE(env.boxes.shown()[0].style, vbExclamation);
        QCOMPARE(env.count("TblConduttori"), 0);
        QVERIFY(box(f.get(), boxIndex)->hasFocus());
        QCOMPARE(box(f.get(), boxIndex)->cursorPosition(), value.size());
        QVERIFY(!box(f.get(), boxIndex)->hasSelectedText());
        QTest::keyClicks(box(f.get(), boxIndex), "9");
        QCOMPARE(box(f.get(), boxIndex)->text(), value + "9");
    }

    void typedSexIsStoredAsTyped() {
        for (const char* typed : {"m", "f", "Mx"}) {
            Env env;
            auto f = openForm<FrmConduttore>(env);
            typeNewHandler(f.get(), "NEWKEY");
            auto* sesso = child<QComboBox>(f.get(), "combo_Sesso");
            sesso->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(sesso, typed);
            enter(sesso);
            env.boxes.queue(vbYes);
            click(f.get(), "cmdSave");
            QCOMPARE(env.scalar("SELECT Sesso FROM TblConduttori").toString(), QString(typed));
        }
    }

    void emptiedBirthDateKeepsTheStoredOne() {
        Env env;
        addHandler(env, "AAA", "ALFA", "01/02/1990");
        auto f = openForm<FrmConduttore>(env);
        pickRow(f.get(), "LvwConduttori", "AAA");
        QCOMPARE(box(f.get(), 8)->text(), QString("01/02/1990"));
        box(f.get(), 8)->setFocus();
        box(f.get(), 8)->clear();
        box(f.get(), 9)->setFocus(); // leaving the box detects the change
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.scalar("SELECT DataNascita FROM TblConduttori").toString(), QString("01/02/1990"));
        QCOMPARE(env.count("TblConduttori"), 1);
    }

    // Iscrizione hands back the stored handler that the typed key loaded.
    void iscrizioneHandsBackTheLoadedHandler() {
        Env env;
        addHandler(env, "AAA", "ALFA");
        auto f = openForm<FrmConduttore>(env);
        typeKey(f.get(), "aaa");
        QVERIFY2(!child<QPushButton>(f.get(), "cmdIscriz")->isEnabled(), "register mode");
        FakeTarget t;
        f = openForm<FrmConduttore>(env, 1, &t);
        typeKey(f.get(), "aaa");
        typeInto(box(f.get(), 2), "ANNA");
        click(f.get(), "cmdIscriz");
        QCOMPARE(t.conduttore, QStringList({"AAA", "ALFA", "MARIO", "T1"}));
        QVERIFY(!f->isVisible());
    }

    void databaseFailureIsShownAndTheFormStaysUsable() {
        Env env;
        addHandler(env, "AAA", "ALFA");
        auto f = openForm<FrmConduttore>(env);
        pickRow(f.get(), "LvwConduttori", "AAA");
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
        env.shared.modalHook = [&](QDialog& d) {
            heldWhileOpen = env.shared.frmConduttore == &d && !static_cast<FrmConduttore&>(d).pickMode();
            d.show();
            QTest::mouseClick(child<QPushButton>(&d, "cmdClose"), Qt::LeftButton);
            return 0;
        };
        showFrmConduttore(env.shared, nullptr);
        env.shared.modalHook = {};
        QVERIFY(heldWhileOpen);
        QVERIFY(env.shared.frmConduttore.isNull());
        QVERIFY(!env.shared.rsConduttori);
        QVERIFY(!env.shared.rsIscrizioni);
    }
};

ZAR_REGISTER_TEST_MAIN(FrmConduttoreTest, handlers())
#include "FrmConduttoreTest.moc"
