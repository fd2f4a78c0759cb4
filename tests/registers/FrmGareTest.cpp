#include "RegisterTestSupport.h"

#include "registers/FrmGare.h"

#include <QPushButton>
#include <QtTest>

using namespace zar;
using namespace zar::test;

namespace {

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

// clang-format off
RegisterCase competitions() {
    return {.make = [](SharedValues& s) { return std::make_unique<FrmGare>(s); },
            .table = "TblGare", .list = "LvwGare", .entriesField = "CodiceGara",
            .listSet = &SharedValues::rsGare,
            .handedTo = &FakeTarget::gara, .nameBox = 0,
            .a = "20260315ROMA", .b = "20260316PISA", .c = "20260321BARI", .quoted = "20260317L'AQUILA",
            .narrowToB = "et", // the name box lists the names containing it
            .add = addGara,
            .listed = [](auto k, auto n) { return QStringList{k, n, place(k), date(k)}; },
            .stored = [](auto k, auto n) { return QStringList{k, n, place(k), "GIUDICE", date(k)}; },
            .typeKey = typeKey,
            .typeRecord = [](QWidget* f, const QString& codice) {
                typeInto(box(f, 0), "Coppa");
                typeKey(f, codice);
            },
            .typed = [](const QString& key) { return QStringList{key, "COPPA", place(key), "", date(key)}; },
            .saved = "Dati Gara salvati.",
            .duplicate = "Esiste già una gara con Codice Gara: ",
            .keyChangeRefused = "Non è possibile MODIFICARE la LOCALITA' o la DATA della GARA\r\n"
                                "Sono presenti degli iscritti a questa competizione\r\n Codice Gara :",
            .deleteRefused = "Non è possibile cancellare questo record GARA, perchè sono presenti degli iscritti "
                             "alla competizione"};
}
// clang-format on

} // namespace

class FrmGareTest : public QObject {
    Q_OBJECT
private slots:
    // Only digits and '/' get in; leaving the box normalises it, an empty one to today.
    void dateBoxIsNormalisedOnLeaving() {
        const struct {
            const char *typed, *shown;
        } cases[] = {{"150326", "15/03/2026"},
                     {"", "15/03/2026"},
                     {"3102", ""},
                     {"7", "07/03/2026"},
                     {"01122025", "01/12/2025"},
                     {"123", ""},
                     {"1a5b/0x3/2026", "15/03/2026"}};
        Env env;
        auto f = openForm<FrmGare>(env);
        f->setToday([] { return QDate(2026, 3, 15); });
        for (const auto& c : cases) {
            typeInto(box(f.get(), 2), c.typed);
            enter(box(f.get(), 2));
            QCOMPARE(box(f.get(), 2)->text(), QString(c.shown));
        }
    }

    void emptiedDateMakesTheSaveAskForIt() {
        Env env;
        auto f = openForm<FrmGare>(env);
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
        auto f = openForm<FrmGare>(env);
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
        auto f = openForm<FrmGare>(env);
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
        auto f = openForm<FrmGare>(env);
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
            FrmGare f(env.shared);
            f.setPassVar(1);
            f.setPickTarget(&t);
            f.show();
            QTRY_COMPARE(t.calls, 1); // asked at once, as the name box gets the focus
            QCOMPARE(env.boxes.texts(), QStringList({question}));
            QCOMPARE(env.boxes.shown()[0].style, vbYesNo + vbExclamation);
            QCOMPARE(t.gara, QStringList({"20260315ROMA", "TROFEO", "ROMA", "GIUDICE", "15/03/2026"}));
            QTRY_VERIFY(!f.isVisible());
        }
        {
            env.boxes.clear();
            FakeTarget t;
            env.boxes.queue(vbNo);
            auto f = openForm<FrmGare>(env, 1, &t);
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
        auto f = openForm<FrmGare>(env, 1, &t);
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
