#include "RegisterTestSupport.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QtTest>

namespace zar::test {

std::unique_ptr<RegisterForm> RegisterPatternTest::open(Env& env, int passVar, PickTarget* target) {
    auto f = m_case.make(env.shared);
    f->setPassVar(passVar);
    f->setPickTarget(target);
    showActive(f.get());
    return f;
}

void RegisterPatternTest::listSearchAndLookUp() {
    const RegisterCase& c = m_case;
    Env env;
    {
        auto f = open(env);
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("0"));
        QCOMPARE(listRows(f.get(), c.list).size(), 0);
    }
    c.add(env, c.a, "ALFA");
    c.add(env, c.b, "BETA");
    auto f = open(env);
    auto* list = child<QAbstractItemView>(f.get(), c.list);
    QAbstractItemModelTester tester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(listRows(list), QList<QStringList>({c.listed(c.a, "ALFA"), c.listed(c.b, "BETA")}));
    QCOMPARE(text(f.get(), "LblNumRecords"), QString("2"));

    // The list follows each keystroke; emptying the box widens it again.
    typeInto(box(f.get(), 0), c.narrowToB);
    QCOMPARE(listRows(list), QList<QStringList>({c.listed(c.b, "BETA")}));
    QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
    box(f.get(), 0)->selectAll();
    QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
    QCOMPARE(text(f.get(), "LblNumRecords"), QString("2"));
    // Backspace in an empty box changes nothing; LIKE characters match themselves.
    QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
    QCOMPARE(text(f.get(), "LblNumRecords"), QString("2"));
    QTest::keyClicks(box(f.get(), 0), "%");
    QCOMPARE(text(f.get(), "LblNumRecords"), QString("0"));

    // A typed key holding a quote is looked up as it stands.
    c.add(env, c.quoted, "QUOTA");
    f = open(env);
    c.typeKey(f.get(), c.quoted.toLower());
    QCOMPARE(box(f.get(), c.nameBox)->text(), QString("QUOTA"));
    QVERIFY(!child<QPushButton>(f.get(), "cmdSave")->isEnabled());
    QVERIFY(!child<QPushButton>(f.get(), "cmdDelete")->isEnabled()); // only a double-click allows it
    QCOMPARE(env.boxes.shown().size(), 0);
}

void RegisterPatternTest::noAtTheConfirmation_data() {
    QTest::addColumn<int>("passVar");
    QTest::newRow("register") << 0;
    QTest::newRow("pick") << 1;
}

// No clears the boxes: the register starts over, pick mode hands back empty boxes.
void RegisterPatternTest::noAtTheConfirmation() {
    QFETCH(int, passVar);
    const RegisterCase& c = m_case;
    Env env;
    c.add(env, c.a, "ALFA");
    c.add(env, c.b, "BETA");
    FakeTarget target;
    auto f = open(env, passVar, &target);
    c.typeRecord(f.get(), c.c);
    const QStringList before = env.dump(c.table);
    env.boxes.queue(vbNo);
    click(f.get(), "cmdSave");
    QCOMPARE(env.dump(c.table), before);
    if (passVar == 1) {
        QCOMPARE(target.*c.handedTo, QStringList(c.typed(c.c).size()));
        QTRY_VERIFY(!f->isVisible());
        return;
    }
    QCOMPARE(target.calls, 0);
    QCOMPARE(box(f.get(), c.nameBox)->text(), QString());
    QCOMPARE(text(f.get(), "LblNumRecords"), QString("2")); // the search filter is gone
    QVERIFY(!child<QPushButton>(f.get(), "cmdSave")->isEnabled());
    QVERIFY(f->isVisible());
}

void RegisterPatternTest::pickModeHandsBackByDoubleClickAndSave() {
    const RegisterCase& c = m_case;
    Env env;
    c.add(env, c.a, "ALFA");
    {
        FakeTarget t;
        auto f = open(env, 1, &t);
        pickRow(f.get(), c.list, c.a);
        QCOMPARE(t.*c.handedTo, c.stored(c.a, "ALFA"));
        QTRY_VERIFY(!f->isVisible());
        QVERIFY(!(env.shared.*c.listSet));
    }
    FakeTarget t;
    auto f = open(env, 1, &t);
    c.typeRecord(f.get(), c.c);
    env.boxes.queue(vbYes);
    click(f.get(), "cmdSave");
    QCOMPARE(env.boxes.texts().last(), c.saved);
    QCOMPARE(t.*c.handedTo, c.typed(c.c));
    QCOMPARE(t.calls, 1);
    QTRY_VERIFY(!f->isVisible());
    QCOMPARE(env.count(c.table), 2);
}

// A key that no entry uses may change; the list and its count follow the save and the delete.
void RegisterPatternTest::keyChangeSaveAndDeleteWithoutEntries() {
    const RegisterCase& c = m_case;
    Env env;
    c.add(env, c.a, "ALFA");
    c.add(env, c.b, "BETA");
    auto f = open(env);
    pickRow(f.get(), c.list, c.a);
    QVERIFY(child<QPushButton>(f.get(), "cmdDelete")->isEnabled());
    c.typeKey(f.get(), c.c);
    env.boxes.queue(vbYes);
    click(f.get(), "cmdSave");
    QCOMPARE(env.boxes.texts().last(), c.saved);
    QCOMPARE(env.count(c.table), 2);
    QCOMPARE(listRows(f.get(), c.list).size(), 2);
    QVERIFY(listRows(f.get(), c.list).contains(c.listed(c.c, "ALFA")));

    pickRow(f.get(), c.list, c.c);
    env.boxes.queue(vbNo);
    click(f.get(), "cmdDelete");
    QCOMPARE(env.count(c.table), 2);
    env.boxes.queue(vbYes);
    click(f.get(), "cmdDelete");
    QCOMPARE(env.count(c.table), 1);
    QCOMPARE(listRows(f.get(), c.list), QList<QStringList>({c.listed(c.b, "BETA")}));
    QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
    QCOMPARE(box(f.get(), c.nameBox)->text(), QString());
    // Typed keys are still looked up after the delete.
    c.typeKey(f.get(), c.b);
    QCOMPARE(box(f.get(), c.nameBox)->text(), QString("BETA"));
    QCOMPARE(env.boxes.pendingAnswers(), 0);
}

// An entry refers to the key by its text: the key can be neither changed nor deleted.
void RegisterPatternTest::keyInUseIsNeitherChangedNorDeleted() {
    const RegisterCase& c = m_case;
    Env env;
    c.add(env, c.a, "ALFA");
    QVariantList entry{"G", "CF", "CHIP"};
    entry[QStringList({"CodiceGara", "CodiceFiscale", "Microchip"}).indexOf(c.entriesField)] = c.a;
    env.db().exec(
        "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip) VALUES (?, 1, ?, ?)",
        entry);
    const QStringList before = env.dump(c.table);
    auto f = open(env);
    pickRow(f.get(), c.list, c.a);
    c.typeKey(f.get(), c.c);
    const QString typed = box(f.get(), 1)->text();
    env.boxes.queue(vbYes);
    click(f.get(), "cmdSave");
    QCOMPARE(env.boxes.texts().last(), c.keyChangeRefused + c.a);
    QCOMPARE(env.boxes.shown().last().style, int(vbOKOnly));
    QVERIFY(!child<QPushButton>(f.get(), "cmdDelete")->isEnabled());
    QCOMPARE(box(f.get(), 1)->text(), typed); // kept for a correction

    f = open(env); // the typed key narrowed the list
    pickRow(f.get(), c.list, c.a);
    env.boxes.queue(vbYes);
    click(f.get(), "cmdDelete");
    QCOMPARE(env.boxes.texts().last(), c.deleteRefused);
    QVERIFY(!child<QPushButton>(f.get(), "cmdDelete")->isEnabled());
    QCOMPARE(env.dump(c.table), before);
    QCOMPARE(env.count("TblIscrizioni"), 1);
}

void RegisterPatternTest::duplicateKeysAreRefused_data() {
    QTest::addColumn<int>("path");
    QTest::newRow("loaded record moved onto another key") << 0;
    QTest::newRow("new key typed, then a record loaded") << 1;
    QTest::newRow("key stored behind the form's back") << 2;
}

// Each way to a second record with a stored key, or to overwriting another record, is refused.
void RegisterPatternTest::duplicateKeysAreRefused() {
    QFETCH(int, path);
    const RegisterCase& c = m_case;
    Env env;
    if (path != 2) {
        c.add(env, c.a, "ALFA");
        c.add(env, c.b, "BETA");
    }
    auto f = open(env);
    QString refused = c.a;
    if (path == 0) {
        pickRow(f.get(), c.list, c.a);
        c.typeKey(f.get(), c.b);
        QCOMPARE(box(f.get(), c.nameBox)->text(), QString("ALFA")); // the form keeps its values
        refused = c.b;
    } else if (path == 1) {
        c.typeKey(f.get(), c.c);
        QVERIFY(child<QPushButton>(f.get(), "cmdSave")->isEnabled());
        box(f.get(), 0)->setFocus();
        box(f.get(), 0)->selectAll();
        QTest::keyClick(box(f.get(), 0), Qt::Key_Backspace);
        pickRow(f.get(), c.list, c.a);
    } else {
        c.add(env, c.a, "ALFA");
        c.typeRecord(f.get(), c.a);
    }
    const QStringList before = env.dump(c.table);
    env.boxes.queue(vbYes);
    click(f.get(), "cmdSave");
    QCOMPARE(env.boxes.texts().last(), c.duplicate + refused);
    QCOMPARE(env.dump(c.table), before);
    QVERIFY(f->isVisible());
}

} // namespace zar::test
