#include "RegisterTestSupport.h"

#include "registers/FrmCane.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

using namespace zar;
using namespace zar::test;

namespace {

void addDog(Env& env, const QString& chip, const QString& nome, const QVariant& taglia = "SMALL",
            const QVariant& centro = QVariant()) {
    env.db().exec("INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia, CentroCinofilo) VALUES (?, ?, "
                  "'BEAGLE', ?, ?)",
                  {chip, nome, taglia, centro});
}

void typeKey(QWidget* f, const QString& chip) {
    typeInto(box(f, 0), chip);
    enter(box(f, 0));
}

// clang-format off
RegisterCase dogs() {
    return {.make = [](SharedValues& s) { return std::make_unique<FrmCane>(s); },
            .table = "TblCani", .list = "LvwCani", .entriesField = "Microchip",
            .listSet = &SharedValues::rsCani,
            .handedTo = &FakeTarget::cane, .nameBox = 1,
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
            .deleteRefused = "Non è possibile CANCELLARE il record perchè il CANE è presente tra gli iscritti "
                             "a gare"};
}
// clang-format on

QComboBox* taglia(QWidget* f) {
    return child<QComboBox>(f, "Cmb_Taglia");
}

} // namespace

class FrmCaneTest : public QObject {
    Q_OBJECT
private slots:
    void pickModeOpensWithTheTypedChipAndKeepsNotes() {
        Env env;
        addDog(env, "111", "FIDO");
        FakeTarget t;
        FrmCane f(env.shared);
        f.setPassVar(1);
        f.setPickTarget(&t);
        f.setMicrochip("999");
        showActive(&f);
        QCOMPARE(box(&f, 0)->text(), QString("999"));
        QCOMPARE(text(&f, "LblNumRecords"), QString("1")); // not filtered by the chip
        enter(box(&f, 0));
        QVERIFY(child<QPushButton>(&f, "cmdSave")->isEnabled());
        typeInto(box(&f, 1), "Rex");
        typeInto(box(&f, 2), "Boxer");
        typeInto(box(&f, 4), "morde");
        env.boxes.queue(vbYes);
        click(&f, "cmdSave");
        QCOMPARE(t.cane, QStringList({"999", "REX", "Boxer", ""}));
        // A new dog's notes are kept; no size stores an empty text.
        QCOMPARE(env.scalar("SELECT Annotazioni FROM TblCani WHERE Microchip = '999'").toString(),
                 QString("morde"));
        QCOMPARE(env.scalar("SELECT Taglia = '' FROM TblCani WHERE Microchip = '999'").toInt(), 1);
    }

    void sizeChangeAloneIsSavedAndNullCentreShowsEmpty() {
        Env env;
        addDog(env, "111", "FIDO", "SMALL", "CENTRO A");
        addDog(env, "222", "REX", "LARGE");
        auto f = openForm<FrmCane>(env);
        pickRow(f.get(), "LvwCani", "111");
        QCOMPARE(box(f.get(), 3)->text(), QString("CENTRO A"));
        pickRow(f.get(), "LvwCani", "222");
        QCOMPARE(box(f.get(), 3)->text(), QString());
        QCOMPARE(text(f.get(), "Lbl_Microchip"), QString("222"));
        QVERIFY(!child<QPushButton>(f.get(), "cmdSave")->isEnabled());
        taglia(f.get())->setFocus(Qt::TabFocusReason);
        taglia(f.get())->setEditText("SMALL");
        enter(taglia(f.get())); // leaving the combo detects the change
        QCOMPARE(focused(), QString("Txt_Field_3"));
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.scalar("SELECT Taglia FROM TblCani WHERE Microchip = '222'").toString(),
                 QString("SMALL"));
    }

    void typedSizeIsStoredAsTyped() {
        for (const char* typed : {"lar", "s", "Large"}) {
            Env env;
            addDog(env, "111", "FIDO");
            auto f = openForm<FrmCane>(env);
            typeKey(f.get(), "333");
            typeInto(box(f.get(), 1), "Rex");
            typeInto(box(f.get(), 2), "Boxer");
            taglia(f.get())->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(taglia(f.get()), typed);
            enter(taglia(f.get()));
            env.boxes.queue(vbYes);
            click(f.get(), "cmdSave");
            QCOMPARE(env.scalar("SELECT Taglia FROM TblCani WHERE Microchip = '333'").toString(),
                     QString(typed));
        }
    }

    // Iscrizione hands back what the boxes show; a double-click the stored record.
    void iscrizioneHandsBackTheBoxes() {
        Env env;
        addDog(env, "111", "FIDO");
        FakeTarget t;
        auto f = openForm<FrmCane>(env, 1, &t);
        QVERIFY(!child<QPushButton>(f.get(), "cmdIscriz")->isEnabled());
        typeKey(f.get(), "111");
        typeInto(box(f.get(), 1), "FIDO II");
        click(f.get(), "cmdIscriz");
        QCOMPARE(t.cane, QStringList({"111", "FIDO II", "BEAGLE", "SMALL"}));
        QVERIFY(!f->isVisible());
        QCOMPARE(env.scalar("SELECT NomeCane FROM TblCani").toString(), QString("FIDO"));

        env.db().exec("UPDATE TblCani SET Taglia = NULL");
        f = openForm<FrmCane>(env, 1, &t);
        pickRow(f.get(), "LvwCani", "111");
        QCOMPARE(t.cane, QStringList({"111", "FIDO", "BEAGLE", ""}));
    }
};

ZAR_REGISTER_TEST_MAIN(FrmCaneTest, dogs())
#include "FrmCaneTest.moc"
