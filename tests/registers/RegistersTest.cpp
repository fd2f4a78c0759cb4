// The three registers: the behaviour they share, run on each, then each one's own rules.
#include "frame/PickTarget.h"
#include "frame/SharedValues.h"
#include "platform/Database.h"
#include "platform/Schema.h"
#include "registers/FrmCane.h"
#include "registers/FrmConduttore.h"
#include "registers/FrmGare.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include <functional>
#include <memory>

using namespace zar;
using namespace zar::test;

namespace {

using S = const QString&;

// Stands in for the entries form: records what a register hands back.
struct FakeTarget : PickTarget {
    QStringList got;
    int calls = 0;
    void riceviConduttore(S a, S b, S c, S d) override { got = {a, b, c, d}, ++calls; }
    void riceviCane(S a, S b, S c, S d) override { got = {a, b, c, d}, ++calls; }
    void riceviGara(S a, S b, S c, S d, S e) override { got = {a, b, c, d, e}, ++calls; }
};

const QString kAskSave = described("Confermi il salvataggio dei dati?.", vbYesNo + vbQuestion);
const QString kAskDelete = described("Confermi la cancellazione del record corrente?", vbYesNo + vbCritical);

void typeKey(QWidget* f, const QString& key) {
    typeInto(box(f, 0), key);
    enter(box(f, 0));
}

// Empties the key box as a user would, which lists everything again.
void clearKeyBox(QWidget* f) {
    box(f, 0)->setFocus();
    box(f, 0)->selectAll();
    QTest::keyClick(box(f, 0), Qt::Key_Backspace);
}

// A competition code is yyyymmdd and the place.
const auto place = [](S code) -> QString { return code.mid(8); };
const auto date = [](S k) -> QString { return k.mid(6, 2) + '/' + k.mid(4, 2) + '/' + k.left(4); };

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
    int nameBox;
    QString a, b, c, quoted; // two stored keys, a free one, one holding a quote
    QString narrowToB;       // typed into box 0, lists b alone
    QString insert;          // stores a record from its key and name
    // The list row and the double-click hand-back of a stored record.
    std::function<QStringList(S key, S name)> listed, stored;
    // typeKey types a key and moves on into the box that looks it up; typeRecord types a
    // whole new record, and `typed` gives what saving it in pick mode hands back.
    std::function<void(QWidget*, S key)> typeKey, typeRecord;
    std::function<QStringList(S key)> typed;
    QString saved, duplicate, keyChangeRefused, deleteRefused;
};

// clang-format off
const RegisterCase kCases[] = {
    {.make = [](SharedValues& s) -> std::unique_ptr<RegisterForm> { return std::make_unique<FrmConduttore>(s); },
     .table = "TblConduttori", .list = "LvwConduttori", .entriesField = "CodiceFiscale",
     .nameBox = 1,
     .a = "AAA", .b = "BBB", .c = "CCC", .quoted = "O'NEIL", .narrowToB = "b",
     .insert = "INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES (?, ?, 'MARIO', 'T1')",
     .listed = [](auto k, auto n) { return QStringList{k, n + " MARIO", "T1"}; },
     .stored = [](auto k, auto n) { return QStringList{k, n, "MARIO", "T1"}; }, .typeKey = typeKey,
     .typeRecord = [](QWidget* f, auto cf) {  // the four required boxes
         typeKey(f, cf), typeInto(box(f, 1), "Verdi"), typeInto(box(f, 2), "Anna"), typeInto(box(f, 9), "T9"); },
     .typed = [](auto k) { return QStringList{k, "VERDI", "Anna", "T9"}; },
     .saved = "Dati Conduttore salvati.", .duplicate = "Esiste già un conduttore con il Codice Fiscale: ",
     .keyChangeRefused = "Non è possibile MODIFICARE il CODICE FISCALE\r\n"
                         "Sono presenti degli iscritti a competizioni con il Codice Fiscale: ",
     .deleteRefused = "Non è possibile cancellare il record perchè il CONDUTTORE è presente tra gli "
                      "iscritti alle gare"},
    {.make = [](SharedValues& s) -> std::unique_ptr<RegisterForm> { return std::make_unique<FrmCane>(s); },
     .table = "TblCani", .list = "LvwCani", .entriesField = "Microchip",
     .nameBox = 1,
     .a = "111", .b = "222", .c = "333", .quoted = "O'1", .narrowToB = "2",
     .insert = "INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia) VALUES (?, ?, 'BEAGLE', 'SMALL')",
     .listed = [](auto k, auto n) { return QStringList{k, n, "BEAGLE"}; },
     .stored = [](auto k, auto n) { return QStringList{k, n, "BEAGLE", "SMALL"}; }, .typeKey = typeKey,
     .typeRecord = [](QWidget* f, auto chip) {
         typeKey(f, chip), typeInto(box(f, 1), "Rex"), typeInto(box(f, 2), "Boxer"); },
     .typed = [](auto k) { return QStringList{k, "REX", "Boxer", ""}; },
     .saved = "Dati Ccane salvati.", .duplicate = "Esiste già un cane con Microchip: ",
     .keyChangeRefused = "Non è possibile MODIFICARE il codice MICROCHIP\r\n"
                         "Sono presenti degli iscritti a competizioni con Microchip: ",
     .deleteRefused = "Non è possibile CANCELLARE il record perchè il CANE è presente tra gli iscritti a gare"},
    {.make = [](SharedValues& s) -> std::unique_ptr<RegisterForm> { return std::make_unique<FrmGare>(s); },
     .table = "TblGare", .list = "LvwGare", .entriesField = "CodiceGara",
     .nameBox = 0,
     .a = "20260315ROMA", .b = "20260316PISA", .c = "20260321BARI", .quoted = "20260317L'AQUILA",
     .narrowToB = "et", // the name box lists the names containing it
     .insert = "INSERT INTO TblGare (CodiceGara, Gara, Localita, Data, Giudice) VALUES (?1, ?2, substr(?1, 9), "
               "substr(?1, 7, 2) || '/' || substr(?1, 5, 2) || '/' || substr(?1, 1, 4), 'GIUDICE')",
     .listed = [](auto k, auto n) { return QStringList{k, n, place(k), date(k)}; },
     .stored = [](auto k, auto n) { return QStringList{k, n, place(k), "GIUDICE", date(k)}; },
     .typeKey = typeGaraKey,
     .typeRecord = [](QWidget* f, auto codice) { typeInto(box(f, 0), "Coppa"), typeGaraKey(f, codice); },
     .typed = [](auto k) { return QStringList{k, "COPPA", place(k), "", date(k)}; },
     .saved = "Dati Gara salvati.", .duplicate = "Esiste già una gara con Codice Gara: ",
     .keyChangeRefused = "Non è possibile MODIFICARE la LOCALITA' o la DATA della GARA\r\n"
                         "Sono presenti degli iscritti a questa competizione\r\n Codice Gara :",
     .deleteRefused = "Non è possibile cancellare questo record GARA, perchè sono presenti degli iscritti "
                      "alla competizione"},
};
// clang-format on
enum { Conduttori, Cani, Gare };
// Types text with accents, which QTest::keyClicks cannot; "\n" is Enter.
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text)
        c == u'\n' ? QTest::keyClick(w, Qt::Key_Return)
                   : QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

constexpr int kNotesBox[] = {10, 4, 4}; // the box before it leads into it by Enter

// A fresh database and one register on it.
struct Env {
    TestFolder folder;
    SharedValues shared;
    const RegisterCase& c;
    std::unique_ptr<RegisterForm> f;
    explicit Env(int reg) : c(kCases[reg]) { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    // The rows written so far, to tell that a step wrote nothing.
    int changes() { return db().scalar("SELECT total_changes()").toInt(); }
    void add(const QString& key, const QString& name) { db().exec(c.insert, {key, name}); }
    // Shows the register, in pick mode for passVar 1, and waits until it has the focus.
    QWidget* open(int passVar = 0, PickTarget* target = nullptr) {
        f = c.make(shared);
        f->setPassVar(passVar), f->setPickTarget(target), showActive(f.get());
        return f.get();
    }
    QString name() { return box(f.get(), c.nameBox)->text(); }
    QList<QStringList> rows() { return listRows(f.get(), c.list); }
    QString numRecords() { return text(f.get(), "LblNumRecords"); }
    bool enabled(const char* button) { return child<QPushButton>(f.get(), button)->isEnabled(); }
    // The boxes of a save that goes through, and of one refused with `text`.
    QStringList saved() const { return {kAskSave, described(c.saved, vbInformation)}; }
    static QStringList refused(S ask, S text) { return {ask, described(text, vbOKOnly)}; }
};

} // namespace

class RegistersTest : public GuiTestBase {
    Q_OBJECT
    // Clicks a button, answering the question it asks unless `reply` is 0; gives the boxes shown.
    QStringList press(QWidget* f, const char* button, int reply = 0) {
        if (reply)
            answer({reply});
        click(f, button);
        return described(takeBoxes());
    }

private slots:
    // One walk through each register: the list and its count follow the key box (LIKE characters
    // match themselves), a save and a delete; a typed key is looked up as it stands; No writes
    // nothing; no record may take a stored key; a key that an entry uses can be neither changed nor
    // deleted; a database failure leaves the form usable; pick mode hands back the record
    // double-clicked, what was saved on Yes and empty boxes on No, and closes.
    void registerWalk_data() {
        QTest::addColumn<int>("reg");
        for (int r = 0; r < 3; ++r)
            QTest::addRow("%s", kCases[r].table.toLatin1().constData()) << r;
    }
    void registerWalk() {
        QFETCH(int, reg);
        Env e(reg);
        const RegisterCase& c = e.c;
        QWidget* f = e.open(); // on an empty table, which then gets its records behind the form's back
        e.add(c.a, "ALFA"), e.add(c.b, "BETA"), e.add(c.quoted, "QUOTA");
        e.db().exec("INSERT INTO TblIscrizioni (" + c.entriesField + ") VALUES (?)", {c.quoted});
        c.typeRecord(f, c.a);
        QCOMPARE(press(f, "cmdSave", vbYes), e.refused(kAskSave, c.duplicate + c.a));

        f = e.open();
        QAbstractItemModelTester tester(child<QAbstractItemView>(f, c.list)->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(e.rows(),
                 QList({c.listed(c.a, "ALFA"), c.listed(c.b, "BETA"), c.listed(c.quoted, "QUOTA")}));
        typeInto(box(f, 0), c.narrowToB);
        QCOMPARE(e.rows(), QList({c.listed(c.b, "BETA")}));
        clearKeyBox(f);
        QCOMPARE(e.numRecords(), QString("3"));
        QTest::keyClicks(box(f, 0), "%");
        QCOMPARE(e.numRecords(), QString("0"));
        c.typeKey(f, c.quoted.toLower());
        QCOMPARE(e.name(), QString("QUOTA"));
        QVERIFY(!e.enabled("cmdSave") && !e.enabled("cmdDelete")); // delete needs a double-click

        c.typeRecord(f, c.c);
        const int written = e.changes();
        QCOMPARE(press(f, "cmdSave", vbNo), QStringList{kAskSave});
        QVERIFY(e.name().isEmpty() && !e.enabled("cmdSave"));
        QCOMPARE(e.numRecords(), QString("3")); // the search filter is gone
        // A new key typed, then a stored record loaded; then that record moved onto b, which
        // keeps the form's values.
        c.typeKey(f, c.c);
        clearKeyBox(f);
        pickRow(f, c.list, c.a);
        QCOMPARE(press(f, "cmdSave", vbYes), e.refused(kAskSave, c.duplicate + c.a));
        c.typeKey(f, c.b);
        QCOMPARE(e.name(), QString("ALFA"));
        QCOMPARE(press(f, "cmdSave", vbYes), e.refused(kAskSave, c.duplicate + c.b));
        QCOMPARE(e.changes(), written);
        c.typeKey(f, c.c);
        QCOMPARE(press(f, "cmdSave", vbYes), e.saved());
        QVERIFY(e.rows().contains(c.listed(c.c, "ALFA")));
        pickRow(f, c.list, c.c);
        QCOMPARE(press(f, "cmdDelete", vbNo), QStringList{kAskDelete});
        QCOMPARE(e.changes(), written + 1);
        QCOMPARE(press(f, "cmdDelete", vbYes), QStringList{kAskDelete});
        QCOMPARE(e.rows(), QList({c.listed(c.b, "BETA"), c.listed(c.quoted, "QUOTA")}));
        QVERIFY(e.numRecords() == "2" && e.name().isEmpty());
        c.typeKey(f, c.b); // typed keys are still looked up after the delete
        QCOMPARE(e.name(), QString("BETA"));

        // The quoted key is in use; each typed key narrowed the list.
        clearKeyBox(f);
        pickRow(f, c.list, c.quoted);
        c.typeKey(f, c.a);
        const QString typed = box(f, 1)->text();
        QCOMPARE(press(f, "cmdSave", vbYes), e.refused(kAskSave, c.keyChangeRefused + c.quoted));
        QVERIFY(!e.enabled("cmdDelete") && box(f, 1)->text() == typed); // kept for a correction
        clearKeyBox(f);
        pickRow(f, c.list, c.quoted);
        QCOMPARE(press(f, "cmdDelete", vbYes), e.refused(kAskDelete, c.deleteRefused));
        QVERIFY(!e.enabled("cmdDelete"));
        pickRow(f, c.list, c.quoted);
        e.db().exec("DROP TABLE TblIscrizioni");
        const QStringList boxes = press(f, "cmdDelete", vbYes);
        QVERIFY(boxes.size() == 2 && boxes[1].contains("TblIscrizioni") &&
                boxes[1].endsWith(described("", vbCritical)));
        QVERIFY(f->isVisible() && e.changes() == written + 2);

        FakeTarget t;
        pickRow(e.open(1, &t), c.list, c.b);
        QCOMPARE(t.got, c.stored(c.b, "BETA"));
        QTRY_VERIFY(!e.f->isVisible());
        QVERIFY(!e.shared.rsConduttori && !e.shared.rsCani && !e.shared.rsGare);
        for (int yes : {vbNo, vbYes}) {
            c.typeRecord(e.open(1, &t), c.a);
            QCOMPARE(press(e.f.get(), "cmdSave", yes), yes == vbYes ? e.saved() : QStringList{kAskSave});
            QCOMPARE(t.got, yes == vbYes ? c.typed(c.a) : QStringList(c.typed(c.a).size()));
            QTRY_VERIFY(!e.f->isVisible());
        }
        QVERIFY(t.calls == 3 && e.changes() == written + 3);
    }

    // A save on a full disk is refused in the user's words, keeps what was typed, writes
    // nothing, and goes through once there is room again.
    void saveOnFullDisk_data() { registerWalk_data(); }
    void saveOnFullDisk() {
        QFETCH(int, reg);
        SmallVolume volume;
        if (!volume.isMounted())
            QSKIP("mounting a small tmpfs needs root");
        Env e(reg);
        e.shared.programFolder = volume.path();
        createDatabaseFile(e.shared.databasePath(), "ZAR");
        e.shared.openDatabase();
        QVERIFY(volume.fill());
        QWidget* f = e.open();
        e.c.typeRecord(f, e.c.c);
        const QString name = e.name();
        const QStringList shown = press(f, "cmdSave", vbYes);
        QVERIFY2(shown.value(1).contains("è pieno: i dati non sono stati salvati."),
                 qPrintable(shown.join("|")));
        QCOMPARE(e.name(), name);
        QCOMPARE(e.changes(), 0);
        volume.makeRoom();
        QCOMPARE(press(f, "cmdSave", vbYes), e.saved());
        QCOMPARE(e.db().scalar("SELECT COUNT(*) FROM " + e.c.table).toInt(), 1);
    }

    // A handler's row: surname, one blank and name; nothing when the surname is Null, the
    // blank alone after a Null name; accents as stored; a number stored as a number as its digits.
    void handlerRows() {
        Env e(Conduttori);
        const struct {
            QVariant cognome, nome, tessera;
            QStringList riga; // the second and third cells
        } casi[] = {
            {"ROSSI", "MARIO", "T7", {"ROSSI MARIO", "T7"}},
            {QVariant(), "MARIO", QVariant(), {"", ""}},
            {"ROSSI", QVariant(), "", {"ROSSI ", ""}},
            {"", "MARIO", 42, {" MARIO", "42"}},
            {QString::fromUtf8("DÈ SANTIS"),
             QString::fromUtf8("NICCOLÒ"),
             QString::fromUtf8("Ü1"),
             {QString::fromUtf8("DÈ SANTIS NICCOLÒ"), QString::fromUtf8("Ü1")}},
        };
        QList<QStringList> attese;
        for (int i = 0; i < int(std::size(casi)); ++i) {
            const QString cf = QStringLiteral("CF%1").arg(i);
            e.db().exec(
                "INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES (?, ?, ?, ?)",
                {cf, casi[i].cognome, casi[i].nome, casi[i].tessera});
            attese << QStringList{cf} + casi[i].riga;
        }
        QWidget* f = e.open();
        QCOMPARE(e.rows(), attese);
        typeInto(box(f, 0), "c"); // the search builds its rows the same way
        QCOMPARE(e.rows(), attese);
    }

    // Each key typed into the key box lists its matches and their count before the next key,
    // with the box painted once for it; a paste lists them too.
    void keyBoxFollowsEachKey() {
        Env e(Conduttori);
        e.add("RAA", "UNO"), e.add("RBB", "DUE"), e.add("SCC", "TRE");
        QWidget* f = e.open();
        const int flash = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0); // no blinking caret to repaint the box
        struct Paints : QObject {
            QMap<QString, int> count;
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::Paint)
                    ++count[watched->objectName()];
                return false;
            }
        } paints;
        QWidget* key = box(f, 0);
        key->installEventFilter(&paints);
        child<QWidget>(f, "LblNumRecords")->installEventFilter(&paints);
        QCoreApplication::processEvents();
        // typed, rows listed, count
        const std::tuple<Qt::Key, int, QString> keys[] = {{Qt::Key_R, 2, "2"},
                                                          {Qt::Key_B, 1, "1"},
                                                          {Qt::Key_Backspace, 2, "2"},
                                                          {Qt::Key_Backspace, 3, "3"}};
        for (const auto& [k, rows, count] : keys) {
            paints.count.clear();
            QTest::keyPress(key, k);
            QCOMPARE(e.rows().size(), rows);
            QCOMPARE(e.numRecords(), count);
            QCoreApplication::processEvents();
            QCOMPARE(paints.count.value(key->objectName()), 1);
            QCOMPARE(paints.count.value("LblNumRecords"), 1);
            QTest::keyRelease(key, k);
        }
        QApplication::setCursorFlashTime(flash);
        QApplication::clipboard()->setText("s");
        QTest::keyClick(key, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.rows(), QList({e.c.listed("SCC", "TRE")}));
    }

    // The handler's checks at the save; a refused save writes nothing.
    void handlerSaveChecks() {
        const struct {
            int box;
            const char *value, *stored, *refusal; // "text|title" when the save is refused
        } rows[] = {
            {6, "1.5", "NEWKEY", ""},
            {6, "12a", "", "Codice avviamento postale errato. Solo numeri.|Zip Code non corretto"},
            {7, "12a", "", "Numero di telefono errato. Solo numeri.|Telefono non corretto"},
            {0, "   ", "   ", ""}, // a key of blanks is a key
            {1, "", "", "Il campo COGNOME è vuoto.|Cognome Mancante"},
            {9, "", "", "Il campo TESSERA CIS è vuoto.|Tessera CIS Mancante"},
        };
        for (const auto& r : rows) {
            Env e(Conduttori);
            QWidget* f = e.open();
            e.c.typeRecord(f, "NEWKEY");
            box(f, r.box)->setText(r.value);
            const QStringList m = QString::fromUtf8(r.refusal).split(u'|');
            QCOMPARE(press(f, "cmdSave", *r.stored ? vbYes : 0),
                     *r.stored ? e.saved() : QStringList{described(m[0], vbExclamation, m.value(1))});
            QCOMPARE(e.db().scalar("SELECT CodiceFiscale FROM TblConduttori").toString(), r.stored);
        }
    }

    // Only digits and '/' get in; leaving the box normalises it (typed=shown), an empty one to
    // today, a wrong one to nothing, which the save then asks for.
    void competitionDateAndKey() {
        const QStringList cases = {
            "150326=15/03/2026",        "=15/03/2026", "7=07/03/2026", "123=", "01122025=01/12/2025",
            "1a5b/0x3/2026=15/03/2026", "3102="};
        Env e(Gare);
        QWidget* f = e.open();
        static_cast<FrmGare*>(e.f.get())->setToday([] { return QDate(2026, 3, 15); });
        typeInto(box(f, 0), "Trofeo");
        typeInto(box(f, 1), "Roma");
        for (const QString& c : cases) {
            typeInto(box(f, 2), c.section(u'=', 0, 0));
            enter(box(f, 2));
            QCOMPARE(box(f, 2)->text(), c.section(u'=', 1));
        }
        QCOMPARE(press(f, "cmdSave"),
                 QStringList{described("Il campo DATA GARA è vuoto.", vbExclamation, "Data Gara Mancante")});
        // The key is the date as yyyymmdd, then the place trimmed at its ends only.
        typeInto(box(f, 1), " San  Donato ");
        typeInto(box(f, 2), "010326");
        enter(box(f, 2));
        QCOMPARE(press(f, "cmdSave", vbYes), e.saved());
        QCOMPARE(e.db().scalar("SELECT CodiceGara || '|' || Localita FROM TblGare").toString(),
                 QString("20260301SAN  DONATO| SAN  DONATO "));
    }

    // A last competition no longer stored hands back nothing, and look-ups still work.
    void competitionLastOneNoLongerStored() {
        Env e(Gare);
        e.add(e.c.a, "TROFEO");
        e.shared.UltimaGara = "20990101NESSUNA";
        FakeTarget t;
        answer({vbYes});
        QWidget* f = e.open(1, &t);
        QCOMPARE(described(takeBoxes()),
                 QStringList{described("Ultime iscrizioni fatte per la gara : 20990101NESSUNA"
                                       "\n\rContinuare le iscrizioni per questa gara?",
                                       vbYesNo + vbExclamation)});
        QVERIFY(t.calls == 0 && f->isVisible());
        typeGaraKey(f, e.c.a);
        QCOMPARE(e.name(), QString("TROFEO"));
    }

    // Typed, pasted or committed by an input method, no more than 50 characters get into the notes box
    // and what it held stays whole; no line break (a pasted one is a blank). The note is saved, loaded
    // whole in view, selected on entering, and change-detected as any box's value; a stored line break
    // is kept and is no change.
    void notesBox_data() { registerWalk_data(); }
    void notesBox() {
        QFETCH(int, reg);
        const QString note = "Annotazione lunga: già iscritto l'anno scorso, per"; // 50 characters
        const QString xs(60, u'x');
        Env e(reg);
        QWidget* f = e.open();
        auto* notes = child<QPlainTextEdit>(f, QString("Txt_Field_%1").arg(kNotesBox[reg]));
        const auto stored = [&] { return e.db().scalar("SELECT Annotazioni FROM " + e.c.table).toString(); };
        // clang-format off
        const struct {
            QString before;
            int from, to; // the selection that typing, pasting and committing replace
            QString typed, pasted, committed; // committed by an input method
            int replaced; // characters before the caret that the commit replaces (an accent)
            QString after;
        } inputs[] = {
            {"Nota:  fine", 6, 6, {}, "uno\r\ndue\nTre" + xs, {}, 0, "Nota: uno due Tre" + xs.left(28) + " fine"},
            {note, 0, 50, {}, "Breve", {}, 0, "Breve"},
            {note, 0, 50, "Ok", {}, {}, 0, "Ok"},
            {note, 10, 10, {}, {}, "È", 0, note},
            {note, 10, 10, {}, {}, "È", 1, note.left(9) + "È" + note.mid(10)},
            {note.left(48), 10, 10, {}, {}, "àèì", 0, note.left(10) + "àè" + note.mid(10, 38)},
            {"", 0, 0, note.left(11) + "\n" + note.mid(11) + "ché", {}, {}, 0, note}, // kept for the save below
        };
        // clang-format on
        for (const auto& in : inputs) {
            notes->setFocus();
            notes->setPlainText(in.before);
            QTextCursor caret = notes->textCursor();
            caret.setPosition(in.from);
            caret.setPosition(in.to, QTextCursor::KeepAnchor);
            notes->setTextCursor(caret);
            typeText(notes, in.typed);
            if (!in.pasted.isEmpty()) {
                QGuiApplication::clipboard()->setText(in.pasted);
                QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
            }
            if (!in.committed.isEmpty()) {
                QInputMethodEvent commit;
                commit.setCommitString(in.committed, -in.replaced, in.replaced);
                QApplication::sendEvent(notes, &commit);
            }
            QCOMPARE(notes->toPlainText(), in.after);
        }

        e.c.typeRecord(f, e.c.c);
        QCOMPARE(press(f, "cmdSave", vbYes), e.saved());
        QCOMPARE(stored(), note);
        f = e.open(); // loaded into a fresh register
        notes = child<QPlainTextEdit>(f, QString("Txt_Field_%1").arg(kNotesBox[reg]));
        pickRow(f, e.c.list, e.c.c);
        QCOMPARE(notes->toPlainText(), note);
        QTRY_COMPARE(notes->verticalScrollBar()->maximum(), 0); // all of it in view
        QCOMPARE(notes->horizontalScrollBar()->maximum(), 0);

        enter(box(f, kNotesBox[reg] - 1));
        QCOMPARE(notes->textCursor().selectedText(), note);
        QTest::keyClicks(notes, "Nuova nota");
        enter(notes);
        QVERIFY(e.enabled("cmdSave") && focused() == "Txt_Field_0");
        QCOMPARE(press(f, "cmdSave", vbYes), e.saved());
        QCOMPARE(stored(), QString("Nuova nota"));

        const QString twoLines = "riga uno\r\nriga due";
        e.db().exec("UPDATE " + e.c.table + " SET Annotazioni = ?", {twoLines});
        pickRow(f, e.c.list, e.c.c);
        notes->setFocus();
        enter(notes);
        QVERIFY(!e.enabled("cmdSave"));
        typeInto(box(f, e.c.nameBox), "Altro");
        enter(box(f, e.c.nameBox));
        QCOMPARE(press(f, "cmdSave", vbYes), e.saved());
        QCOMPARE(stored(), twoLines);
    }
};

QTEST_MAIN(RegistersTest)
#include "RegistersTest.moc"
