// The three registers: the behaviour they share, run on each, then each one's own rules.
#include "frame/Forms.h"
#include "frame/PickTarget.h"
#include "frame/SharedValues.h"
#include "platform/Database.h"
#include "platform/Modal.h"
#include "registers/FrmCane.h"
#include "registers/FrmConduttore.h"
#include "registers/FrmGare.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QComboBox>
#include <QtTest>

#include <functional>
#include <memory>

using namespace zar;
using namespace zar::test;

namespace {

// Stands in for the entries form: records what a register hands back.
struct FakeTarget : PickTarget {
    QStringList got;
    int calls = 0;
    void take(QStringList v) {
        got = std::move(v);
        ++calls;
    }
    void riceviConduttore(const QString& cf, const QString& cognome, const QString& nome,
                          const QString& tessera) override {
        take({cf, cognome, nome, tessera});
    }
    void riceviCane(const QString& chip, const QString& nome, const QString& razza,
                    const QString& taglia) override {
        take({chip, nome, razza, taglia});
    }
    void riceviGara(const QString& codice, const QString& gara, const QString& localita,
                    const QString& giudice, const QString& data) override {
        take({codice, gara, localita, giudice, data});
    }
};

// A program folder with its database open.
struct Env {
    TestFolder folder;
    SharedValues shared;
    Env() { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    QString scalar(const QString& sql) { return db().scalar(sql).toString(); }
    int count(const QString& table) { return scalar("SELECT COUNT(*) FROM " + table).toInt(); }
    // Every row of a table, to tell that nothing was written.
    QStringList dump(const QString& table) {
        Statement st(db(), "SELECT * FROM " + table + " ORDER BY rowid");
        QStringList rows;
        while (st.step()) {
            QStringList row;
            for (int c = 0; c < st.columnCount(); ++c)
                row << st.column(c).toString();
            rows << row.join(u'|');
        }
        return rows;
    }
};

const QString kAskSave = described("Confermi il salvataggio dei dati?.", vbYesNo + vbQuestion);
const QString kAskDelete = described("Confermi la cancellazione del record corrente?", vbYesNo + vbCritical);

// Builds a register, shows it and waits until it has the focus.
template <typename Form>
std::unique_ptr<Form> shown(std::unique_ptr<Form> form, int passVar = 0, PickTarget* target = nullptr) {
    form->setPassVar(passVar);
    form->setPickTarget(target);
    showActive(form.get());
    return form;
}
template <typename Form>
std::unique_ptr<Form> openForm(Env& env, int passVar = 0, PickTarget* target = nullptr) {
    return shown(std::make_unique<Form>(env.shared), passVar, target);
}

bool enabled(QWidget* form, const char* button) {
    return child<QPushButton>(form, button)->isEnabled();
}

// Types a key and presses Enter, which looks it up.
void typeKey(QWidget* f, const QString& key) {
    typeInto(box(f, 0), key);
    enter(box(f, 0));
}

void addHandler(Env& env, const QString& cf, const QString& cognome, const QVariant& nascita = QVariant()) {
    env.db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS, DataNascita) "
                  "VALUES (?, ?, 'MARIO', 'T1', ?)",
                  {cf, cognome, nascita});
}

// The four required boxes of a new handler.
void typeNewHandler(QWidget* f, const QString& cf) {
    typeKey(f, cf);
    typeInto(box(f, 1), "Verdi");
    typeInto(box(f, 2), "Anna");
    typeInto(box(f, 9), "T9");
}

void addDog(Env& env, const QString& chip, const QString& nome, const QVariant& taglia = "SMALL",
            const QVariant& centro = QVariant()) {
    env.db().exec("INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia, CentroCinofilo) VALUES (?, ?, "
                  "'BEAGLE', ?, ?)",
                  {chip, nome, taglia, centro});
}

// A competition code is yyyymmdd and the place.
QString place(const QString& code) {
    return code.mid(8);
}
QString date(const QString& code) {
    return code.mid(6, 2) + u'/' + code.mid(4, 2) + u'/' + code.left(4);
}

void addGara(Env& env, const QString& codice, const QString& gara) {
    env.db().exec(
        "INSERT INTO TblGare (CodiceGara, Gara, Localita, Data, Giudice) VALUES (?, ?, ?, ?, 'GIUDICE')",
        {codice, gara, place(codice), date(codice)});
}

// Place and date typed, then Enter into the judge box, which looks the code up.
void typeGaraKey(QWidget* f, const QString& codice) {
    typeInto(box(f, 1), place(codice));
    typeInto(box(f, 2), date(codice).remove(u'/'));
    enter(box(f, 2));
}

// What the shared register checks need to know of one register.
struct RegisterCase {
    std::function<std::unique_ptr<RegisterForm>(SharedValues&)> make;
    QString table, list, entriesField; // the field of TblIscrizioni that holds the key
    std::unique_ptr<Recordset> SharedValues::*listSet;
    int nameBox;
    QString a, b, c, quoted; // two stored keys, a free one, one holding a quote
    QString narrowToB;       // typed into box 0, lists b alone
    std::function<void(Env&, const QString& key, const QString& name)> add;
    // The list row and the double-click hand-back of a stored record.
    std::function<QStringList(const QString&key, const QString&name)> listed, stored;
    // typeKey types a key and moves on into the box that looks it up; typeRecord types a
    // whole new record, and `typed` gives what saving it in pick mode hands back.
    std::function<void(QWidget*, const QString&key)> typeKey, typeRecord;
    std::function<QStringList(const QString& key)> typed;
    QString saved, duplicate, keyChangeRefused, deleteRefused;
};

// clang-format off
const RegisterCase kCases[] = {
    {.make = [](SharedValues& s) { return std::make_unique<FrmConduttore>(s); },
     .table = "TblConduttori", .list = "LvwConduttori", .entriesField = "CodiceFiscale",
     .listSet = &SharedValues::rsConduttori, .nameBox = 1,
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
                      "iscritti alle gare"},
    {.make = [](SharedValues& s) { return std::make_unique<FrmCane>(s); },
     .table = "TblCani", .list = "LvwCani", .entriesField = "Microchip",
     .listSet = &SharedValues::rsCani, .nameBox = 1,
     .a = "111", .b = "222", .c = "333", .quoted = "O'1", .narrowToB = "2",
     .add = [](Env& env, const QString& key, const QString& name) { addDog(env, key, name); },
     .listed = [](auto k, auto n) { return QStringList{k, n, "BEAGLE"}; },
     .stored = [](auto k, auto n) { return QStringList{k, n, "BEAGLE", "SMALL"}; },
     .typeKey = typeKey,
     .typeRecord = [](QWidget* f, const QString& chip) {
         typeKey(f, chip);
         typeInto(box(f, 1), "Rex");
         typeInto(box(f, 2), "Boxer");
     },
     .typed = [](const QString& key) { return QStringList{key, "REX", "Boxer", ""}; },
     .saved = "Dati Ccane salvati.",
     .duplicate = "Esiste già un cane con Microchip: ",
     .keyChangeRefused = "Non è possibile MODIFICARE il codice MICROCHIP\r\n"
                         "Sono presenti degli iscritti a competizioni con Microchip: ",
     .deleteRefused = "Non è possibile CANCELLARE il record perchè il CANE è presente tra gli iscritti a gare"},
    {.make = [](SharedValues& s) { return std::make_unique<FrmGare>(s); },
     .table = "TblGare", .list = "LvwGare", .entriesField = "CodiceGara",
     .listSet = &SharedValues::rsGare, .nameBox = 0,
     .a = "20260315ROMA", .b = "20260316PISA", .c = "20260321BARI", .quoted = "20260317L'AQUILA",
     .narrowToB = "et", // the name box lists the names containing it
     .add = addGara,
     .listed = [](auto k, auto n) { return QStringList{k, n, place(k), date(k)}; },
     .stored = [](auto k, auto n) { return QStringList{k, n, place(k), "GIUDICE", date(k)}; },
     .typeKey = typeGaraKey,
     .typeRecord = [](QWidget* f, const QString& codice) {
         typeInto(box(f, 0), "Coppa");
         typeGaraKey(f, codice);
     },
     .typed = [](const QString& key) { return QStringList{key, "COPPA", place(key), "", date(key)}; },
     .saved = "Dati Gara salvati.",
     .duplicate = "Esiste già una gara con Codice Gara: ",
     .keyChangeRefused = "Non è possibile MODIFICARE la LOCALITA' o la DATA della GARA\r\n"
                         "Sono presenti degli iscritti a questa competizione\r\n Codice Gara :",
     .deleteRefused = "Non è possibile cancellare questo record GARA, perchè sono presenti degli iscritti "
                      "alla competizione"},
};
// clang-format on

// One row per register, crossed with the variants given.
void perRegister(const QStringList& variants = {QString()}) {
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("variant");
    for (int r = 0; r < 3; ++r)
        for (int v = 0; v < variants.size(); ++v)
            QTest::addRow("%s %s", kCases[r].table.toLatin1().constData(), qPrintable(variants[v])) << r << v;
}

std::unique_ptr<RegisterForm> open(const RegisterCase& c, Env& env, int passVar = 0,
                                   PickTarget* t = nullptr) {
    return shown(c.make(env.shared), passVar, t);
}

} // namespace

class RegistersTest : public GuiTestBase {
    Q_OBJECT
private slots:
    void listSearchAndLookUp_data() { perRegister(); }
    void listSearchAndLookUp() {
        QFETCH(int, reg);
        const RegisterCase& c = kCases[reg];
        Env env;
        c.add(env, c.a, "ALFA");
        c.add(env, c.b, "BETA");
        auto f = open(c, env);
        auto* list = child<QAbstractItemView>(f.get(), c.list);
        QAbstractItemModelTester tester(list->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(listRows(list), QList<QStringList>({c.listed(c.a, "ALFA"), c.listed(c.b, "BETA")}));
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("2"));
        // The list follows each keystroke; emptying the box widens it again; LIKE characters
        // match themselves.
        typeInto(box(f.get(), 0), c.narrowToB);
        QCOMPARE(listRows(list), QList<QStringList>({c.listed(c.b, "BETA")}));
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
        box(f.get(), 0)->selectAll();
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("2"));
        QTest::keyClicks(box(f.get(), 0), "%");
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("0"));
        // A typed key holding a quote is looked up as it stands.
        c.add(env, c.quoted, "QUOTA");
        f = open(c, env);
        c.typeKey(f.get(), c.quoted.toLower());
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString("QUOTA"));
        QVERIFY(!enabled(f.get(), "cmdSave"));
        QVERIFY(!enabled(f.get(), "cmdDelete")); // only a double-click allows it
    }

    // No clears the boxes: the register starts over, pick mode hands back empty boxes.
    void noAtTheConfirmation_data() { perRegister({"register", "pick"}); }
    void noAtTheConfirmation() {
        QFETCH(int, reg);
        QFETCH(int, variant);
        const RegisterCase& c = kCases[reg];
        Env env;
        c.add(env, c.a, "ALFA");
        c.add(env, c.b, "BETA");
        FakeTarget target;
        auto f = open(c, env, variant, &target);
        c.typeRecord(f.get(), c.c);
        const QStringList before = env.dump(c.table);
        answer({vbNo});
        click(f.get(), "cmdSave");
        QCOMPARE(described(takeBoxes()), QStringList{kAskSave});
        QCOMPARE(env.dump(c.table), before);
        if (variant == 1) {
            QCOMPARE(target.got, QStringList(c.typed(c.c).size()));
            QTRY_VERIFY(!f->isVisible());
            return;
        }
        QCOMPARE(target.calls, 0);
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString());
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("2")); // the search filter is gone
        QVERIFY(!enabled(f.get(), "cmdSave"));
        QVERIFY(f->isVisible());
    }

    void pickModeHandsBackByDoubleClickAndSave_data() { perRegister(); }
    void pickModeHandsBackByDoubleClickAndSave() {
        QFETCH(int, reg);
        const RegisterCase& c = kCases[reg];
        Env env;
        c.add(env, c.a, "ALFA");
        FakeTarget t;
        auto f = open(c, env, 1, &t);
        pickRow(f.get(), c.list, c.a);
        QCOMPARE(t.got, c.stored(c.a, "ALFA"));
        QTRY_VERIFY(!f->isVisible());
        QVERIFY(!(env.shared.*c.listSet));
        f = open(c, env, 1, &t);
        c.typeRecord(f.get(), c.c);
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(described(takeBoxes()), QStringList({kAskSave, described(c.saved, vbInformation)}));
        QCOMPARE(t.got, c.typed(c.c));
        QCOMPARE(t.calls, 2);
        QTRY_VERIFY(!f->isVisible());
        QCOMPARE(env.count(c.table), 2);
    }

    // A key that no entry uses may change; the list and its count follow the save and the delete.
    void keyChangeSaveAndDeleteWithoutEntries_data() { perRegister(); }
    void keyChangeSaveAndDeleteWithoutEntries() {
        QFETCH(int, reg);
        const RegisterCase& c = kCases[reg];
        Env env;
        c.add(env, c.a, "ALFA");
        c.add(env, c.b, "BETA");
        auto f = open(c, env);
        pickRow(f.get(), c.list, c.a);
        c.typeKey(f.get(), c.c);
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(env.count(c.table), 2);
        QVERIFY(listRows(f.get(), c.list).contains(c.listed(c.c, "ALFA")));
        pickRow(f.get(), c.list, c.c);
        answer({vbNo});
        click(f.get(), "cmdDelete");
        QCOMPARE(env.count(c.table), 2);
        answer({vbYes});
        click(f.get(), "cmdDelete");
        QCOMPARE(described(takeBoxes()),
                 QStringList({kAskSave, described(c.saved, vbInformation), kAskDelete, kAskDelete}));
        QCOMPARE(listRows(f.get(), c.list), QList<QStringList>({c.listed(c.b, "BETA")}));
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString());
        // Typed keys are still looked up after the delete.
        c.typeKey(f.get(), c.b);
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString("BETA"));
    }

    // An entry refers to the key by its text: the key can be neither changed nor deleted.
    void keyInUseIsNeitherChangedNorDeleted_data() { perRegister(); }
    void keyInUseIsNeitherChangedNorDeleted() {
        QFETCH(int, reg);
        const RegisterCase& c = kCases[reg];
        Env env;
        c.add(env, c.a, "ALFA");
        QVariantList entry{"G", "CF", "CHIP"};
        entry[QStringList({"CodiceGara", "CodiceFiscale", "Microchip"}).indexOf(c.entriesField)] = c.a;
        env.db().exec(
            "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip) VALUES (?, 1, ?, ?)",
            entry);
        const QStringList before = env.dump(c.table);
        auto f = open(c, env);
        pickRow(f.get(), c.list, c.a);
        c.typeKey(f.get(), c.c);
        const QString typed = box(f.get(), 1)->text();
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(described(takeBoxes()),
                 QStringList({kAskSave, described(c.keyChangeRefused + c.a, vbOKOnly)}));
        QVERIFY(!enabled(f.get(), "cmdDelete"));
        QCOMPARE(box(f.get(), 1)->text(), typed); // kept for a correction
        f = open(c, env);                         // the typed key narrowed the list
        pickRow(f.get(), c.list, c.a);
        answer({vbYes});
        click(f.get(), "cmdDelete");
        QCOMPARE(described(takeBoxes()), QStringList({kAskDelete, described(c.deleteRefused, vbOKOnly)}));
        QVERIFY(!enabled(f.get(), "cmdDelete"));
        QCOMPARE(env.dump(c.table), before);
    }

    // Each way to a second record with a stored key, or to overwriting another record, is refused.
    void duplicateKeysAreRefused_data() {
        perRegister({"loaded record moved onto another key", "new key typed, then a record loaded",
                     "key stored behind the form's back"});
    }
    void duplicateKeysAreRefused() {
        QFETCH(int, reg);
        QFETCH(int, variant);
        const RegisterCase& c = kCases[reg];
        Env env;
        if (variant != 2) {
            c.add(env, c.a, "ALFA");
            c.add(env, c.b, "BETA");
        }
        auto f = open(c, env);
        QString refused = c.a;
        if (variant == 0) {
            pickRow(f.get(), c.list, c.a);
            c.typeKey(f.get(), c.b);
            QCOMPARE(box(f.get(), c.nameBox)->text(), QString("ALFA")); // the form keeps its values
            refused = c.b;
        } else if (variant == 1) {
            c.typeKey(f.get(), c.c);
            box(f.get(), 0)->setFocus();
            box(f.get(), 0)->selectAll();
            QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
            pickRow(f.get(), c.list, c.a);
        } else {
            c.add(env, c.a, "ALFA");
            c.typeRecord(f.get(), c.a);
        }
        const QStringList before = env.dump(c.table);
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(described(takeBoxes()), QStringList({kAskSave, described(c.duplicate + refused, vbOKOnly)}));
        QCOMPARE(env.dump(c.table), before);
        QVERIFY(f->isVisible());
    }

    // The name column joins surname and name, and is empty only when the surname is Null.
    void handlerNameColumn() {
        Env env;
        env.db().exec("INSERT INTO TblConduttori (CodiceFiscale, Nome) VALUES ('BBB', 'MARIO')");
        addHandler(env, "BBC", "");
        auto f = openForm<FrmConduttore>(env);
        QCOMPARE(listRows(f.get(), "LvwConduttori"),
                 QList<QStringList>({{"BBB", "", ""}, {"BBC", " MARIO", "T1"}}));
    }

    // Enter runs the ring; a box is upper-cased when the next one gets the focus, the last never.
    // With nothing to look up, Salva comes on only on the card box.
    void handlerRingAndUpperCasing() {
        Env env;
        auto f = openForm<FrmConduttore>(env);
        typeKey(f.get(), "abc");
        QCOMPARE(box(f.get(), 0)->text(), QString("ABC"));
        QVERIFY(!enabled(f.get(), "cmdSave"));
        typeInto(box(f.get(), 7), "abc");
        enter(box(f.get(), 7));
        QCOMPARE(focused(), QString("Txt_Field_8"));
        QCOMPARE(box(f.get(), 7)->text(), QString("ABC"));
        enter(box(f.get(), 8));
        enter(child<QComboBox>(f.get(), "combo_Sesso"));
        QCOMPARE(focused(), QString("Txt_Field_9"));
        QVERIFY(enabled(f.get(), "cmdSave") && enabled(f.get(), "cmdCancel"));
        typeInto(box(f.get(), 10), "nota");
        enter(box(f.get(), 10));
        QCOMPARE(focused(), QString("Txt_Field_0"));
        QCOMPARE(box(f.get(), 10)->text(), QString("nota"));
    }

    void handlerSaveChecks_data() {
        QTest::addColumn<int>("boxIndex");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // "text|title", empty when the save goes through
        const struct {
            int box;
            const char *value, *message;
        } rows[] = {
            {6, "1.5", ""},
            {6, "-3", ""},
            {6, "12a", "Codice avviamento postale errato. Solo numeri.|Zip Code non corretto"},
            {7, "12a", "Numero di telefono errato. Solo numeri.|Telefono non corretto"},
            {7, "0612", ""},
            {0, "   ", ""}, // a key of blanks is a key
            {1, "", "Il campo COGNOME è vuoto.|Cognome Mancante"},
            {9, "", "Il campo TESSERA CIS è vuoto.|Tessera CIS Mancante"},
        };
        for (const auto& r : rows)
            QTest::addRow("box %d '%s'", r.box, r.value)
                << r.box << QString::fromUtf8(r.value) << QString::fromUtf8(r.message);
    }
    void handlerSaveChecks() {
        QFETCH(int, boxIndex);
        QFETCH(QString, value);
        QFETCH(QString, message);
        Env env;
        auto f = openForm<FrmConduttore>(env);
        typeNewHandler(f.get(), "NEWKEY");
        box(f.get(), boxIndex)->setText(value);
        if (message.isEmpty())
            answer({vbYes});
        // On a desktop the message box deactivates the form; the focus lands when it is active again.
        QWidget other;
        showActive(&other);
        click(f.get(), "cmdSave");
        showActive(f.get());
        if (message.isEmpty()) {
            QCOMPARE(described(takeBoxes()),
                     QStringList({kAskSave, described(kCases[0].saved, vbInformation)}));
            QCOMPARE(env.scalar("SELECT CodiceFiscale FROM TblConduttori"), boxIndex == 0 ? value : "NEWKEY");
            return;
        }
        const QStringList parts = message.split(u'|');
        QCOMPARE(described(takeBoxes()), QStringList{described(parts[0], vbExclamation, parts[1])});
        QCOMPARE(env.count("TblConduttori"), 0);
        // The caret waits at the end of the faulty box.
        QVERIFY(box(f.get(), boxIndex)->hasFocus());
        QTest::keyClicks(box(f.get(), boxIndex), "9");
        QCOMPARE(box(f.get(), boxIndex)->text(), value + "9");
    }

    // A typed sex is stored as typed; an emptied birth date keeps the stored one.
    void handlerStoredAsTypedAndBirthDateKept() {
        Env env;
        addHandler(env, "AAA", "ALFA", "01/02/1990");
        auto f = openForm<FrmConduttore>(env);
        pickRow(f.get(), "LvwConduttori", "AAA");
        QCOMPARE(box(f.get(), 8)->text(), QString("01/02/1990"));
        box(f.get(), 8)->setFocus();
        box(f.get(), 8)->clear();
        auto* sesso = child<QComboBox>(f.get(), "combo_Sesso");
        sesso->setFocus(Qt::TabFocusReason); // leaving the box detects the change
        QTest::keyClicks(sesso, "Mx");
        enter(sesso);
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(takeBoxes().size(), 2);
        QCOMPARE(env.dump("TblConduttori").size(), 1);
        QCOMPARE(env.scalar("SELECT DataNascita || Sesso FROM TblConduttori"), QString("01/02/1990Mx"));
    }

    // Iscrizione hands back the stored handler that the typed key loaded.
    void handlerIscrizioneHandsBackTheLoadedOne() {
        Env env;
        addHandler(env, "AAA", "ALFA");
        auto f = openForm<FrmConduttore>(env);
        typeKey(f.get(), "aaa");
        QVERIFY2(!enabled(f.get(), "cmdIscriz"), "register mode");
        FakeTarget t;
        f = openForm<FrmConduttore>(env, 1, &t);
        typeKey(f.get(), "aaa");
        typeInto(box(f.get(), 2), "ANNA");
        click(f.get(), "cmdIscriz");
        QCOMPARE(t.got, QStringList({"AAA", "ALFA", "MARIO", "T1"}));
        QVERIFY(!f->isVisible());
    }

    void handlerDatabaseFailureIsShownAndTheFormStaysUsable() {
        Env env;
        addHandler(env, "AAA", "ALFA");
        auto f = openForm<FrmConduttore>(env);
        pickRow(f.get(), "LvwConduttori", "AAA");
        env.db().exec("DROP TABLE TblIscrizioni");
        answer({vbYes});
        click(f.get(), "cmdDelete");
        const QList<MsgBoxRecord> boxes = takeBoxes();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].style, int(vbCritical));
        QVERIFY(boxes[1].text.contains("TblIscrizioni"));
        QCOMPARE(env.count("TblConduttori"), 1);
        QVERIFY(f->isVisible());
    }

    void handlerLauncherHoldsTheFormInItsSlotWhileOpen() {
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
        QVERIFY(!env.shared.rsConduttori && !env.shared.rsIscrizioni);
    }

    void dogPickModeOpensWithTheTypedChipAndKeepsNotes() {
        Env env;
        addDog(env, "111", "FIDO");
        FakeTarget t;
        auto form = std::make_unique<FrmCane>(env.shared);
        form->setMicrochip("999");
        auto f = shown(std::move(form), 1, &t);
        QCOMPARE(box(f.get(), 0)->text(), QString("999"));
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("1")); // not filtered by the chip
        enter(box(f.get(), 0));
        typeInto(box(f.get(), 1), "Rex");
        typeInto(box(f.get(), 2), "Boxer");
        typeInto(box(f.get(), 4), "morde");
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(takeBoxes().size(), 2);
        QCOMPARE(t.got, QStringList({"999", "REX", "Boxer", ""}));
        // A new dog's notes are kept; no size stores an empty text.
        QCOMPARE(env.scalar("SELECT quote(Taglia) || Annotazioni FROM TblCani WHERE Microchip = '999'"),
                 QString("''morde"));
    }

    // A size typed alone is a change and is stored as typed; a Null centre shows empty.
    void dogTypedSizeAloneIsSavedAndNullCentreShowsEmpty() {
        Env env;
        addDog(env, "111", "FIDO", "SMALL", "CENTRO A");
        addDog(env, "222", "REX", "LARGE");
        auto f = openForm<FrmCane>(env);
        pickRow(f.get(), "LvwCani", "111");
        QCOMPARE(box(f.get(), 3)->text(), QString("CENTRO A"));
        pickRow(f.get(), "LvwCani", "222");
        QCOMPARE(box(f.get(), 3)->text(), QString());
        QCOMPARE(text(f.get(), "Lbl_Microchip"), QString("222"));
        QVERIFY(!enabled(f.get(), "cmdSave"));
        auto* taglia = child<QComboBox>(f.get(), "Cmb_Taglia");
        taglia->setFocus(Qt::TabFocusReason);
        taglia->lineEdit()->selectAll();
        QTest::keyClicks(taglia, "sma");
        enter(taglia); // leaving the combo detects the change
        QCOMPARE(focused(), QString("Txt_Field_3"));
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(takeBoxes().size(), 2);
        QCOMPARE(env.scalar("SELECT group_concat(Taglia) FROM TblCani"), QString("SMALL,sma"));
    }

    // Iscrizione hands back what the boxes show; a double-click the stored record.
    void dogIscrizioneHandsBackTheBoxes() {
        Env env;
        addDog(env, "111", "FIDO");
        FakeTarget t;
        auto f = openForm<FrmCane>(env, 1, &t);
        QVERIFY(!enabled(f.get(), "cmdIscriz"));
        typeKey(f.get(), "111");
        typeInto(box(f.get(), 1), "FIDO II");
        click(f.get(), "cmdIscriz");
        QCOMPARE(t.got, QStringList({"111", "FIDO II", "BEAGLE", "SMALL"}));
        QVERIFY(!f->isVisible());
        QCOMPARE(env.scalar("SELECT NomeCane FROM TblCani"), QString("FIDO"));
        env.db().exec("UPDATE TblCani SET Taglia = NULL");
        f = openForm<FrmCane>(env, 1, &t);
        pickRow(f.get(), "LvwCani", "111");
        QCOMPARE(t.got, QStringList({"111", "FIDO", "BEAGLE", ""}));
    }

    // Only digits and '/' get in; leaving the box normalises it, an empty one to today, a
    // wrong one to nothing, which the save then asks for.
    void competitionDateBoxIsNormalisedOnLeaving() {
        const struct {
            const char *typed, *shown;
        } cases[] = {{"150326", "15/03/2026"},
                     {"", "15/03/2026"},
                     {"7", "07/03/2026"},
                     {"123", ""},
                     {"01122025", "01/12/2025"},
                     {"1a5b/0x3/2026", "15/03/2026"},
                     {"3102", ""}};
        Env env;
        auto f = openForm<FrmGare>(env);
        f->setToday([] { return QDate(2026, 3, 15); });
        typeInto(box(f.get(), 0), "Trofeo");
        typeInto(box(f.get(), 1), "Roma");
        for (const auto& c : cases) {
            typeInto(box(f.get(), 2), c.typed);
            enter(box(f.get(), 2));
            QCOMPARE(box(f.get(), 2)->text(), QString(c.shown));
        }
        click(f.get(), "cmdSave");
        QCOMPARE(described(takeBoxes()),
                 QStringList{described("Il campo DATA GARA è vuoto.", vbExclamation, "Data Gara Mancante")});
        QVERIFY(box(f.get(), 2)->hasFocus());
    }

    // The key is the date as yyyymmdd, then the place trimmed at its ends only.
    void competitionKeyIsDateThenTrimmedPlaceAndNotesAreKept() {
        Env env;
        auto f = openForm<FrmGare>(env);
        typeInto(box(f.get(), 0), "Trofeo");
        typeInto(box(f.get(), 1), " San  Donato ");
        typeInto(box(f.get(), 2), "010326");
        enter(box(f.get(), 2));
        typeInto(box(f.get(), 4), "note");
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(takeBoxes().size(), 2);
        QCOMPARE(env.scalar("SELECT CodiceGara || '|' || Localita || '|' || Annotazioni FROM TblGare"),
                 QString("20260301SAN  DONATO| SAN  DONATO |note"));
    }

    // A long code is cut on its label; a competition left out of the narrowed list is found in
    // the table, loaded and not added again; the place box does not search.
    void competitionLongCodesAndCodesOutsideTheList() {
        Env env;
        const QString longCode = "20260315SAN GIOVANNI IN PERSICETO";
        addGara(env, longCode, "TROFEO");
        addGara(env, "20260316PISA", "COPPA");
        auto f = openForm<FrmGare>(env);
        pickRow(f.get(), "LvwGare", longCode);
        QCOMPARE(text(f.get(), "Lbl_CodiceGara"), longCode.left(21));
        f = openForm<FrmGare>(env);
        typeInto(box(f.get(), 0), "COPPA");
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
        typeGaraKey(f.get(), longCode);
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
        QCOMPARE(box(f.get(), 0)->text(), QString("TROFEO"));
        QVERIFY(!enabled(f.get(), "cmdSave"));
    }

    void competitionLastOneIsOfferedOnTheNameBox() {
        Env env;
        addGara(env, "20260315ROMA", "TROFEO");
        env.shared.UltimaGara = "20260315ROMA";
        const QString question = described("Ultime iscrizioni fatte per la gara : 20260315ROMA\n\r"
                                           "Continuare le iscrizioni per questa gara?",
                                           vbYesNo + vbExclamation);
        FakeTarget t;
        answer({vbYes});
        auto unshown = std::make_unique<FrmGare>(env.shared);
        unshown->setPassVar(1);
        unshown->setPickTarget(&t);
        unshown->show();
        QTRY_COMPARE(t.calls, 1); // asked at once, as the name box gets the focus
        QCOMPARE(described(takeBoxes()), QStringList{question});
        QCOMPARE(t.got, QStringList({"20260315ROMA", "TROFEO", "ROMA", "GIUDICE", "15/03/2026"}));
        QTRY_VERIFY(!unshown->isVisible());
        unshown.reset();

        answer({vbNo, vbNo}); // asked again each time the name box gets the focus
        auto f = openForm<FrmGare>(env, 1, &t);
        typeInto(box(f.get(), 1), "x");
        box(f.get(), 0)->setFocus(Qt::TabFocusReason);
        QCOMPARE(described(takeBoxes()), QStringList({question, question}));
        QCOMPARE(t.calls, 1);
        QVERIFY(f->isVisible());

        // A competition no longer stored hands back nothing; look-ups still work afterwards.
        env.shared.UltimaGara = "20990101NESSUNA";
        answer({vbYes});
        f = openForm<FrmGare>(env, 1, &t);
        QCOMPARE(takeBoxes().size(), 1);
        QCOMPARE(t.calls, 1);
        QVERIFY(f->isVisible());
        typeGaraKey(f.get(), "20260315ROMA");
        QCOMPARE(box(f.get(), 0)->text(), QString("TROFEO"));
    }
};

QTEST_MAIN(RegistersTest)
#include "RegistersTest.moc"
