#include "RegisterTestSupport.h"

#include "registers/FrmGare.h"

#include <QPushButton>
#include <QtTest>

using namespace zar;
using namespace zar::test;

namespace {

const QDate kToday(2026, 3, 15);

// A code is yyyymmdd and the place.
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
void typeKey(QWidget* f, const QString& codice) {
    typeInto(box(f, 1), place(codice));
    typeInto(box(f, 2), date(codice).remove(u'/'));
    enter(box(f, 2));
}

RegisterCase competitions() {
    RegisterCase c;
    c.make = [](SharedValues& s) { return std::make_unique<FrmGare>(s); };
    c.table = "TblGare";
    c.keyField = "CodiceGara";
    c.nameField = "Gara";
    c.list = "LvwGare";
    c.listSet = &SharedValues::rsGare;
    c.handedTo = &FakeTarget::gara;
    c.nameBox = 0;
    c.a = "20260315ROMA";
    c.b = "20260316PISA";
    c.c = "20260321BARI";
    c.quoted = "20260317L'AQUILA";
    c.narrowToB = "et"; // the name box lists the names containing it
    c.add = addGara;
    c.listed = [](const QString& key, const QString& name) {
        return QStringList{key, name, place(key), date(key)};
    };
    c.stored = [](const QString& key, const QString& name) {
        return QStringList{key, name, place(key), "GIUDICE", date(key)};
    };
    c.typeKey = typeKey;
    c.typeRecord = [](QWidget* f, const QString& codice) {
        typeInto(box(f, 0), "Coppa");
        typeKey(f, codice);
    };
    c.typed = [](const QString& key) { return QStringList{key, "COPPA", place(key), "", date(key)}; };
    c.saved = "Dati Gara salvati.";
    c.duplicate = "Esiste già una gara con Codice Gara: ";
    return c;
}

std::unique_ptr<FrmGare> open(Env& env, int passVar = 0, PickTarget* target = nullptr,
                              bool waitActive = true) {
    auto f = std::make_unique<FrmGare>(env.shared);
    f->setToday([] { return kToday; });
    f->setPassVar(passVar);
    f->setPickTarget(target);
    if (waitActive)
        showActive(f.get());
    else
        f->show();
    return f;
}

} // namespace

class FrmGareTest : public QObject {
    Q_OBJECT
private slots:
    void dateBoxIsNormalisedOnLeaving_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("six digits") << "150326"
                                    << "15/03/2026";
        QTest::newRow("empty is today") << ""
                                        << "15/03/2026";
        QTest::newRow("no 31 February") << "3102"
                                        << "";
        QTest::newRow("day only") << "7"
                                  << "07/03/2026";
        QTest::newRow("eight digits") << "01122025"
                                      << "01/12/2025";
        QTest::newRow("three digits") << "123"
                                      << "";
        QTest::newRow("letters swallowed") << "1a5b/0x3/2026"
                                           << "15/03/2026";
    }
    void dateBoxIsNormalisedOnLeaving() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Env env;
        auto f = open(env);
        typeInto(box(f.get(), 2), typed);
        enter(box(f.get(), 2));
        QCOMPARE(box(f.get(), 2)->text(), shown);
    }

    void emptiedDateMakesTheSaveAskForIt() {
        Env env;
        auto f = open(env);
        typeInto(box(f.get(), 0), "Trofeo");
        typeInto(box(f.get(), 1), "Roma");
        typeInto(box(f.get(), 2), "3102");
        enter(box(f.get(), 2));
        click(f.get(), "cmdSave");
        QCOMPARE(env.boxes.texts(), QStringList({"Il campo DATA GARA è vuoto."}));
        QCOMPARE(env.boxes.shown()[0].title, QString("Data Gara Mancante"));
        QVERIFY(box(f.get(), 2)->hasFocus());
    }

    void keyIsDateThenTrimmedPlaceAndNotesAreKept() {
        Env env;
        auto f = open(env);
        typeInto(box(f.get(), 0), "Trofeo");
        typeInto(box(f.get(), 1), " Roma ");
        typeInto(box(f.get(), 2), "150326");
        enter(box(f.get(), 2));
        typeInto(box(f.get(), 4), "note");
        env.boxes.queue(vbYes);
        click(f.get(), "cmdSave");
        QCOMPARE(
            env.scalar("SELECT CodiceGara || '|' || Localita || '|' || Annotazioni FROM TblGare").toString(),
            QString("20260315ROMA| ROMA |note"));
    }

    void longCodeIsCutAndThePlaceBoxDoesNotSearch() {
        Env env;
        const QString longCode = "20260315SAN GIOVANNI IN PERSICETO";
        addGara(env, longCode, "TROFEO");
        addGara(env, "20260316PISA", "COPPA");
        auto f = open(env);
        pickRow(f.get(), "LvwGare", longCode);
        QCOMPARE(text(f.get(), "Lbl_CodiceGara"), longCode.left(21));
        typeInto(box(f.get(), 1), "P");
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("2"));
    }

    // A competition left out of the narrowed list is found in the table: loaded, not added again.
    void codeMissingFromTheNarrowedListIsLoaded() {
        Env env;
        addGara(env, "20260315ROMA", "TROFEO");
        addGara(env, "20260316PISA", "COPPA");
        auto f = open(env);
        typeInto(box(f.get(), 0), "COPPA");
        QCOMPARE(text(f.get(), "LblNumRecords"), QString("1"));
        typeKey(f.get(), "20260315ROMA");
        QCOMPARE(box(f.get(), 0)->text(), QString("TROFEO"));
        QVERIFY(!child<QPushButton>(f.get(), "cmdSave")->isEnabled());
    }

    void lastCompetitionIsOfferedOnTheNameBox() {
        Env env;
        addGara(env, "20260315ROMA", "TROFEO");
        env.shared.UltimaGara = "20260315ROMA";
        const QString question = "Ultime iscrizioni fatte per la gara : 20260315ROMA\n\r"
                                 "Continuare le iscrizioni per questa gara?";
        {
            FakeTarget t;
            env.boxes.queue(vbYes);
            auto f = open(env, 1, &t, false);
            QTRY_COMPARE(t.calls, 1); // asked at once, as the name box gets the focus
            QCOMPARE(env.boxes.texts(), QStringList({question}));
            QCOMPARE(env.boxes.shown()[0].style, vbYesNo + vbExclamation);
            QCOMPARE(t.gara, QStringList({"20260315ROMA", "TROFEO", "ROMA", "GIUDICE", "15/03/2026"}));
            QTRY_VERIFY(!f->isVisible());
        }
        {
            env.boxes.clear();
            FakeTarget t;
            env.boxes.queue(vbNo);
            auto f = open(env, 1, &t);
            env.boxes.queue(vbNo);
            typeInto(box(f.get(), 1), "x");
            box(f.get(), 0)->setFocus(Qt::TabFocusReason);
            QCOMPARE(env.boxes.texts(), QStringList({question, question}));
            QCOMPARE(t.calls, 0);
            QVERIFY(f->isVisible());
        }
        env.boxes.clear();
        env.shared.UltimaGara = "20990101NESSUNA";
        FakeTarget t;
        env.boxes.queue(vbYes);
        auto f = open(env, 1, &t);
        QCOMPARE(env.boxes.shown().size(), 1);
        QCOMPARE(t.calls, 0);
        QVERIFY(f->isVisible());
        // Look-ups still work afterwards.
        typeKey(f.get(), "20260315ROMA");
        QCOMPARE(box(f.get(), 0)->text(), QString("TROFEO"));
    }
};

ZAR_REGISTER_TEST_MAIN(FrmGareTest, competitions())
#include "FrmGareTest.moc"
