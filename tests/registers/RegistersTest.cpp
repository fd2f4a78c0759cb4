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
    void take(QStringList v) { got = std::move(v), ++calls; }
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

struct Env {
    TestFolder folder;
    SharedValues shared;
    Env() { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    QString scalar(const QString& sql) { return db().scalar(sql).toString(); }
    int count(const QString& table) { return scalar("SELECT COUNT(*) FROM " + table).toInt(); }
    // Every row of a table, to tell that nothing was written.
    QStringList dump(const QString& table) {
        QStringList cells;
        for (Statement st(db(), "SELECT * FROM " + table + " ORDER BY rowid"); st.step();)
            for (int c = 0; c < st.columnCount(); ++c)
                cells << st.column(c).toString();
        return cells;
    }
};

const QString kAskSave = described("Confermi il salvataggio dei dati?.", vbYesNo + vbQuestion);
const QString kAskDelete = described("Confermi la cancellazione del record corrente?", vbYesNo + vbCritical);

// Shows a register, in pick mode for passVar 1, and waits until it has the focus.
template <typename Form>
std::unique_ptr<Form> shown(std::unique_ptr<Form> f, int passVar = 0, PickTarget* target = nullptr) {
    f->setPassVar(passVar), f->setPickTarget(target), showActive(f.get());
    return f;
}
template <typename Form>
std::unique_ptr<Form> openForm(Env& env, int passVar = 0, PickTarget* target = nullptr) {
    return shown(std::make_unique<Form>(env.shared), passVar, target);
}

bool enabled(QWidget* form, const char* button) {
    return child<QPushButton>(form, button)->isEnabled();
}

void typeKey(QWidget* f, const QString& key) {
    typeInto(box(f, 0), key);
    enter(box(f, 0));
}

void addHandler(Env& env, const QString& cf, const QString& cognome) {
    env.db().exec(
        "INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES (?, ?, 'MARIO', 'T1')",
        {cf, cognome});
}

// The four required boxes of a new handler.
void typeNewHandler(QWidget* f, const QString& cf) {
    typeKey(f, cf);
    typeInto(box(f, 1), "Verdi");
    typeInto(box(f, 2), "Anna");
    typeInto(box(f, 9), "T9");
}

void addDog(Env& env, const QString& chip, const QString& nome) {
    env.db().exec("INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia) VALUES (?, ?, 'BEAGLE', 'SMALL')",
                  {chip, nome});
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
         typeKey(f, chip), typeInto(box(f, 1), "Rex"), typeInto(box(f, 2), "Boxer"); },
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
     .typeRecord = [](QWidget* f, const QString& codice) { typeInto(box(f, 0), "Coppa"), typeGaraKey(f, codice); },
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
        auto f = shown(c.make(env.shared));
        auto* list = child<QAbstractItemView>(f.get(), c.list);
        QAbstractItemModelTester tester(list->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(listRows(list), QList<QStringList>({c.listed(c.a, "ALFA"), c.listed(c.b, "BETA")}));
        // The list follows each keystroke; emptying the box widens it again; LIKE characters
        // match themselves.
        const auto count = [&] { return text(f.get(), "LblNumRecords"); };
        typeInto(box(f.get(), 0), c.narrowToB);
        QCOMPARE(listRows(list), QList<QStringList>({c.listed(c.b, "BETA")}));
        QCOMPARE(count(), QString("1"));
        box(f.get(), 0)->selectAll();
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        QCOMPARE(count(), QString("2"));
        QTest::keyClicks(box(f.get(), 0), "%");
        QCOMPARE(count(), QString("0"));
        // A typed key holding a quote is looked up as it stands.
        c.add(env, c.quoted, "QUOTA");
        f = shown(c.make(env.shared));
        c.typeKey(f.get(), c.quoted.toLower());
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString("QUOTA"));
        QVERIFY(!enabled(f.get(), "cmdSave") &&
                !enabled(f.get(), "cmdDelete")); // delete needs a double-click
    }

    // No writes nothing and starts over; a key that no entry uses may change; the list and its
    // count follow the save and the delete.
    void saveDeleteAndNo_data() { perRegister(); }
    void saveDeleteAndNo() {
        QFETCH(int, reg);
        const RegisterCase& c = kCases[reg];
        Env env;
        c.add(env, c.a, "ALFA");
        c.add(env, c.b, "BETA");
        auto f = shown(c.make(env.shared));
        c.typeRecord(f.get(), c.c);
        const QStringList before = env.dump(c.table);
        answer({vbNo});
        click(f.get(), "cmdSave");
        QCOMPARE(env.dump(c.table), before);
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString());
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("2")); // the search filter is gone
        QVERIFY(!enabled(f.get(), "cmdSave"));
        pickRow(f.get(), c.list, c.a);
        c.typeKey(f.get(), c.c);
        answer({vbYes});
        click(f.get(), "cmdSave");
        QVERIFY(listRows(f.get(), c.list).contains(c.listed(c.c, "ALFA")));
        pickRow(f.get(), c.list, c.c);
        answer({vbNo, vbYes});
        click(f.get(), "cmdDelete");
        QCOMPARE(env.count(c.table), 2);
        click(f.get(), "cmdDelete");
        QCOMPARE(described(takeBoxes()), QStringList({kAskSave, kAskSave, described(c.saved, vbInformation),
                                                      kAskDelete, kAskDelete}));
        QCOMPARE(listRows(f.get(), c.list), QList<QStringList>({c.listed(c.b, "BETA")}));
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString());
        c.typeKey(f.get(), c.b); // typed keys are still looked up after the delete
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString("BETA"));
    }

    // Pick mode hands back the stored record on a double-click, what was saved on Yes, empty
    // boxes on No, and closes each time.
    void pickModeHandsBack_data() { perRegister(); }
    void pickModeHandsBack() {
        QFETCH(int, reg);
        const RegisterCase& c = kCases[reg];
        Env env;
        c.add(env, c.a, "ALFA");
        FakeTarget t;
        auto f = shown(c.make(env.shared), 1, &t);
        pickRow(f.get(), c.list, c.a);
        QCOMPARE(t.got, c.stored(c.a, "ALFA"));
        QTRY_VERIFY(!f->isVisible());
        QVERIFY(!(env.shared.*c.listSet));
        for (int yes : {vbNo, vbYes}) {
            f = shown(c.make(env.shared), 1, &t);
            c.typeRecord(f.get(), c.c);
            answer({yes});
            click(f.get(), "cmdSave");
            QCOMPARE(t.got, yes == vbYes ? c.typed(c.c) : QStringList(c.typed(c.c).size()));
            QTRY_VERIFY(!f->isVisible());
        }
        QCOMPARE(described(takeBoxes()),
                 QStringList({kAskSave, kAskSave, described(c.saved, vbInformation)}));
        QCOMPARE(t.calls, 3);
        QCOMPARE(env.count(c.table), 2);
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
        auto f = shown(c.make(env.shared));
        pickRow(f.get(), c.list, c.a);
        c.typeKey(f.get(), c.c);
        const QString typed = box(f.get(), 1)->text();
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(described(takeBoxes()),
                 QStringList({kAskSave, described(c.keyChangeRefused + c.a, vbOKOnly)}));
        QVERIFY(!enabled(f.get(), "cmdDelete"));
        QCOMPARE(box(f.get(), 1)->text(), typed); // kept for a correction
        f = shown(c.make(env.shared));            // the typed key narrowed the list
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
        auto f = shown(c.make(env.shared));
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

    // The handler's checks at the save; a refused save writes nothing.
    void handlerSaveChecks() {
        const struct {
            int box;
            const char *value, *message; // "text|title"; empty when the save goes through
        } rows[] = {
            {6, "1.5", ""},
            {6, "12a", "Codice avviamento postale errato. Solo numeri.|Zip Code non corretto"},
            {7, "12a", "Numero di telefono errato. Solo numeri.|Telefono non corretto"},
            {0, "   ", ""}, // a key of blanks is a key
            {1, "", "Il campo COGNOME è vuoto.|Cognome Mancante"},
            {9, "", "Il campo TESSERA CIS è vuoto.|Tessera CIS Mancante"},
        };
        for (const auto& r : rows) {
            Env env;
            auto f = openForm<FrmConduttore>(env);
            typeNewHandler(f.get(), "NEWKEY");
            box(f.get(), r.box)->setText(r.value);
            const QStringList m = QString::fromUtf8(r.message).split(u'|');
            const bool saved = m.size() == 1;
            if (saved)
                answer({vbYes});
            click(f.get(), "cmdSave");
            QCOMPARE(described(takeBoxes()),
                     saved ? QStringList({kAskSave, described(kCases[0].saved, vbInformation)})
                           : QStringList{described(m[0], vbExclamation, m[1])});
            const QString stored = !saved ? "" : r.box == 0 ? r.value : "NEWKEY";
            QCOMPARE(env.scalar("SELECT group_concat(CodiceFiscale) FROM TblConduttori"), stored);
        }
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
        QVERIFY(boxes.size() == 2 && boxes[1].style == vbCritical && boxes[1].text.contains("TblIscrizioni"));
        QCOMPARE(env.count("TblConduttori"), 1);
        QVERIFY(f->isVisible());
    }

    // Only digits and '/' get in; leaving the box normalises it, an empty one to today, a
    // wrong one to nothing, which the save then asks for.
    void competitionDateAndKey() {
        const char* cases[][2] = {{"150326", "15/03/2026"},
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
            typeInto(box(f.get(), 2), c[0]);
            enter(box(f.get(), 2));
            QCOMPARE(box(f.get(), 2)->text(), QString(c[1]));
        }
        click(f.get(), "cmdSave");
        // The key is the date as yyyymmdd, then the place trimmed at its ends only.
        typeInto(box(f.get(), 1), " San  Donato ");
        typeInto(box(f.get(), 2), "010326");
        enter(box(f.get(), 2));
        answer({vbYes});
        click(f.get(), "cmdSave");
        QCOMPARE(described(takeBoxes()),
                 QStringList({described("Il campo DATA GARA è vuoto.", vbExclamation, "Data Gara Mancante"),
                              kAskSave, described(kCases[2].saved, vbInformation)}));
        QCOMPARE(env.scalar("SELECT CodiceGara || '|' || Localita FROM TblGare"),
                 QString("20260301SAN  DONATO| SAN  DONATO "));
    }

    // A last competition no longer stored hands back nothing, and look-ups still work.
    void competitionLastOneNoLongerStored() {
        Env env;
        addGara(env, "20260315ROMA", "TROFEO");
        env.shared.UltimaGara = "20990101NESSUNA";
        FakeTarget t;
        answer({vbYes});
        auto f = openForm<FrmGare>(env, 1, &t);
        QCOMPARE(described(takeBoxes()),
                 QStringList{described("Ultime iscrizioni fatte per la gara : 20990101NESSUNA"
                                       "\n\rContinuare le iscrizioni per questa gara?",
                                       vbYesNo + vbExclamation)});
        QCOMPARE(t.calls, 0);
        QVERIFY(f->isVisible());
        typeGaraKey(f.get(), "20260315ROMA");
        QCOMPARE(box(f.get(), 0)->text(), QString("TROFEO"));
    }
};

QTEST_MAIN(RegistersTest)
#include "RegistersTest.moc"
