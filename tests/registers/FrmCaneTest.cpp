#include "RegisterTestSupport.h"

#include "registers/FrmCane.h"

#include <QtTest>

using namespace zar;
using namespace zar::test;

namespace {

void addDog(Env& env, const QString& chip, const QString& nome, const QVariant& taglia,
            const QVariant& centro = QVariant()) {
    env.db().exec("INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia, CentroCinofilo) VALUES (?, ?, "
                  "'BEAGLE', ?, ?)",
                  {chip, nome, taglia, centro});
}

QTreeView* list(QWidget* f) {
    return child<QTreeView>(f, "LvwCani");
}
QComboBox* taglia(QWidget* f) {
    return child<QComboBox>(f, "Cmb_Taglia");
}

} // namespace

class FrmCaneTest : public QObject {
    Q_OBJECT
private slots:
    void listShowsChipNameAndBreed() {
        Env env;
        addDog(env, "111", "FIDO", "SMALL");
        env.db().exec("INSERT INTO TblCani (Microchip) VALUES ('222')");
        auto f = openForm<FrmCane>(env);
        QCOMPARE(listRows(list(f.get())), QList<QStringList>({{"111", "FIDO", "BEAGLE"}, {"222", "", ""}}));
    }

    void pickModeOpensWithTheTypedChipAndSavesANewDog() {
        Env env;
        addDog(env, "111", "FIDO", "SMALL");
        FakeTarget t;
        auto f = std::make_unique<FrmCane>(env.shared);
        f->setPassVar(1);
        f->setPickTarget(&t);
        f->setMicrochip("999");
        f->show();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QCOMPARE(box(f.get(), 0)->text(), QString("999"));
        QCOMPARE(label(f.get(), "LblNumRecords"), QString("1")); // not filtered by the chip
        enter(box(f.get(), 0));
        QVERIFY(button(f.get(), "cmdSave")->isEnabled());
        QVERIFY(button(f.get(), "cmdCancel")->isEnabled());
        typeInto(box(f.get(), 1), "Rex");
        typeInto(box(f.get(), 2), "Boxer");
        typeInto(box(f.get(), 4), "morde");
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.boxes.texts().last(), QString("Dati Ccane salvati."));
        QCOMPARE(t.cane, QStringList({"999", "REX", "Boxer", ""}));
        QVERIFY(!f->isVisible());
        // A new dog's notes are kept; no size stores an empty text.
        QCOMPARE(env.scalar("SELECT Annotazioni FROM TblCani WHERE Microchip = '999'").toString(),
                 QString("morde"));
        QCOMPARE(env.scalar("SELECT Taglia IS NOT NULL AND Taglia = '' FROM TblCani WHERE Microchip = '999'")
                     .toInt(),
                 1);
        QVERIFY(!env.shared.rsCani);
    }

    void sizeChangeAloneIsSavedAndNullCentreShowsEmpty() {
        Env env;
        addDog(env, "111", "FIDO", "SMALL", "CENTRO A");
        addDog(env, "222", "REX", "LARGE");
        auto f = openForm<FrmCane>(env);
        doubleClickRow(list(f.get()), "111");
        QCOMPARE(box(f.get(), 3)->text(), QString("CENTRO A"));
        doubleClickRow(list(f.get()), "222");
        QCOMPARE(box(f.get(), 3)->text(), QString());
        QCOMPARE(label(f.get(), "Lbl_Microchip"), QString("222"));
        QVERIFY(!button(f.get(), "cmdSave")->isEnabled());
        taglia(f.get())->setFocus(Qt::TabFocusReason);
        taglia(f.get())->setEditText("SMALL");
        enter(taglia(f.get())); // leaving the combo detects the change
        QCOMPARE(QApplication::focusWidget(), box(f.get(), 3));
        QVERIFY(button(f.get(), "cmdSave")->isEnabled());
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.scalar("SELECT Taglia FROM TblCani WHERE Microchip = '222'").toString(),
                 QString("SMALL"));
        QCOMPARE(env.count("TblCani"), 2);
    }

    void iscrizioneHandsBackWhatTheBoxesShow() {
        Env env;
        addDog(env, "111", "FIDO", "SMALL");
        FakeTarget t;
        auto f = openForm<FrmCane>(env, 1, &t);
        typeInto(box(f.get(), 0), "111");
        enter(box(f.get(), 0));
        QVERIFY(button(f.get(), "cmdIscriz")->isEnabled());
        typeInto(box(f.get(), 1), "FIDO II");
        click(f.get(), "cmdIscriz");
        QCOMPARE(t.cane, QStringList({"111", "FIDO II", "BEAGLE", "SMALL"}));
        QVERIFY(!f->isVisible());
        QCOMPARE(env.scalar("SELECT NomeCane FROM TblCani").toString(), QString("FIDO"));

        // A double-click hands back the stored record; a Null size as empty text.
        env.db().exec("UPDATE TblCani SET Taglia = NULL");
        f = openForm<FrmCane>(env, 1, &t);
        doubleClickRow(list(f.get()), "111");
        QCOMPARE(t.cane, QStringList({"111", "FIDO", "BEAGLE", ""}));
    }

    void duplicateChipIsRefused() {
        Env env;
        addDog(env, "111", "FIDO", "SMALL");
        addDog(env, "222", "REX", "LARGE");
        auto f = openForm<FrmCane>(env);
        doubleClickRow(list(f.get()), "111");
        typeInto(box(f.get(), 0), "222");
        enter(box(f.get(), 0));
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(env.boxes.texts().last(), QString("Esiste già un cane con Microchip: 222"));
        QCOMPARE(env.scalar("SELECT NomeCane FROM TblCani WHERE Microchip = '222'").toString(),
                 QString("REX"));
        QCOMPARE(env.count("TblCani"), 2);
    }
};

QTEST_MAIN(FrmCaneTest)
#include "FrmCaneTest.moc"
