// The program as one piece: the main window's menus and shortcuts open the real forms, the
// entries form opens the real registers in pick mode, and a competition goes from its
// entries to stored places as a user at the desk would take it.
#include "frame/IniReadWrite.h"
#include "frame/ZAR_Main.h"
#include "platform/SingleInstance.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace zar;
using namespace zar::test;

namespace {

const QString G = QStringLiteral("20240501ROMA");

// Types a code into an entries-form box and presses Enter, which opens the register on it.
void typeCode(QWidget* form, const char* box, const char* code) {
    auto* b = child<QLineEdit>(form, QString::fromLatin1(box));
    b->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(b, QString::fromLatin1(code));
}

// Enters several boxes in a row, as Enter moves through them.
void typeEnters(std::initializer_list<const char*> texts) {
    for (const char* t : texts)
        typeEnter(QString::fromUtf8(t));
}

QStringList texts(QWidget* form, std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* n : names)
        out << text(form, QString::fromLatin1(n));
    return out;
}

} // namespace

class AppRoadTest : public GuiTestBase {
    Q_OBJECT
private slots:
    void roadOfDogsThroughACompetition();
};

void AppRoadTest::roadOfDogsThroughACompetition() {
    TestFolder folder;
    SingleInstance instance(folder.path());
    ZAR_Main main(folder.path(), instance);
    SharedValues& shared = main.shared();
    shared.openDatabase(); // what a good login leads to
    showActive(&main);
    const auto scalar = [&](const QString& sql, const QVariantList& p = {}) {
        return shared.dbGare->scalar(sql, p).toString();
    };
    const auto menu = [&](const char* item) { main.menuItem(QString::fromLatin1(item))->trigger(); };
    MsgBoxResponder& r = boxes();
    // The category and class boxes of an entry with its handler and dog, then Salva.
    const auto saveEntry = [&](QWidget* form) {
        child<QComboBox>(form, "Cmb_Field_1")->setFocus(Qt::MouseFocusReason);
        typeEnters({"TIME", "JUNIOR"});
        r.queue(vbYes);
        click(form, "cmdSave");
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));
    };
    // A new dog: the register opens with the chip in its key box.
    const auto newDog = [&](const char* chip, std::initializer_list<const char*> boxes) {
        drive([] { typeEnter(QString()); }, "frmCane",
              [&](QWidget* reg) {
                  QCOMPARE(text(reg, "Txt_Field_0"), QString::fromLatin1(chip));
                  typeEnters(boxes);
                  r.queue(vbYes);
                  click(reg, "cmdSave");
              });
    };
    IniReadWrite("WRITE", "Impostazione Limiti Gara", "Tempo_Limite_2", shared.iniPath(),
                 QStringLiteral("020000"));

    // The first opening: no last competition yet, so a new one is typed in the register, and
    // the entries form comes up once the register has handed it back.
    const auto firstEntries = [&](QWidget* form) {
        QCOMPARE(texts(form, {"Lbl_CodiceGara", "Lbl_Gara", "Lbl_Giudice", "Lbl_Data"}),
                 QStringList({G, "TROFEO", "NERI", "01/05/2024"}));
        // A new handler: the register opens in pick mode and the code is typed again there.
        typeCode(form, "Txt_Field_0", "aaa1");
        drive([] { typeEnter(QString()); }, "frmConduttore",
              [&](QWidget* reg) {
                  typeEnters({"aaa1", "rossi", "mario", "", "", "", "", "", "", "", "t001"});
                  r.queue(vbYes);
                  click(reg, "cmdSave");
              });
        QVERIFY(backTo(form));
        QCOMPARE(texts(form, {"Txt_Field_0", "Txt_Field_1", "Txt_Field_2", "Txt_Field_3", "Txt_Pettorale"}),
                 QStringList({"AAA1", "ROSSI", "MARIO", "T001", "1"}));
        typeCode(form, "Txt_Field_4", "chipa");
        newDog("CHIPA", {"", "fido", "meticcio", "SMALL"});
        QVERIFY(backTo(form));
        QCOMPARE(texts(form, {"Txt_Field_4", "Txt_Field_5", "Txt_Field_6", "Cmb_Field_0"}),
                 QStringList({"CHIPA", "FIDO", "METICCIO", "SMALL"}));
        saveEntry(form);
        click(form, "cmdClose");
    };
    bool entered = false;
    drive([&] { menu("mnIscrizioni"); }, "frmGare",
          [&](QWidget* gare) {
              onNextModal([&](QWidget* form) {
                  entered = true;
                  runOn(form, "frmIscrizione", firstEntries);
              });
              typeEnters({"Trofeo", "Roma", "01052024", "Neri"});
              r.queue(vbYes);
              click(gare, "cmdSave");
          });
    QVERIFY(entered);
    QCOMPARE(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", shared.iniPath()), G);
    QCOMPARE(scalar("SELECT CodiceFiscale || ',' || Cognome || ',' || TesseraCIS FROM TblConduttori"),
             QStringLiteral("AAA1,ROSSI,T001"));
    QCOMPARE(scalar("SELECT Pettorale || CodiceGara || CodiceFiscale || Microchip || Categoria || Classe || "
                    "Taglia FROM TblIscrizioni"),
             QStringLiteral("1") + G + "AAA1CHIPATIMEJUNIORSMALL");

    const auto moreEntries = [&](QWidget* form) {
        // A known handler, the next bib, and a new dog.
        child<QLineEdit>(form, "Txt_Field_0")->setFocus(Qt::MouseFocusReason);
        typeEnter("aaa1");
        QCOMPARE(texts(form, {"Txt_Field_1", "Txt_Pettorale"}), QStringList({"ROSSI", "2"}));
        typeCode(form, "Txt_Field_4", "chipb");
        newDog("CHIPB", {"", "rex", "boxer", "SMALL"});
        QVERIFY(backTo(form));
        saveEntry(form);

        // A mistyped code: the user finds the handler in the register and hands it back.
        typeCode(form, "Txt_Field_0", "aaa7");
        drive([] { typeEnter(QString()); }, "frmConduttore",
              [&](QWidget* reg) {
                  typeEnter("aaa1");
                  click(reg, "cmdIscriz");
              });
        QVERIFY(backTo(form));
        QCOMPARE(texts(form, {"Txt_Field_0", "Txt_Field_1", "Txt_Pettorale"}),
                 QStringList({"AAA1", "ROSSI", "3"}));

        // A dog of this competition picked from the register's list is refused and its boxes emptied.
        typeCode(form, "Txt_Field_4", "chipx");
        drive([] { typeEnter(QString()); }, "frmCane",
              [](QWidget* reg) { pickRow(reg, "LvwCani", "CHIPB"); });
        QVERIFY(backTo(form));
        QCOMPARE(r.texts().last(), QStringLiteral("CANE già iscritto a questa competizione"));
        QCOMPARE(texts(form, {"Txt_Field_4", "Txt_Field_5", "Txt_Field_6", "Cmb_Field_0"}),
                 QStringList({"", "", "", ""}));
        QCOMPARE(focused(), QStringLiteral("Txt_Field_4"));
        typeCode(form, "Txt_Field_4", "chipc");
        newDog("CHIPC", {"", "luna", "setter", "SMALL"});
        QVERIFY(backTo(form));

        saveEntry(form);
        QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("3"));
        click(form, "cmdClose");
    };

    // The second opening, from the shortcut: the register offers the last competition.
    main.showPanel(0);
    r.queue(vbYes);
    drive([&] { QTest::mouseClick(child<QLabel>(&main, "LblIscrizione"), Qt::LeftButton); }, "frmIscrizione",
          [&](QWidget* form) {
              QCOMPARE(r.texts().last(), QStringLiteral("Ultime iscrizioni fatte per la gara : ") + G +
                                             QStringLiteral("\n\rContinuare le iscrizioni per questa gara?"));
              QCOMPARE(r.shown().last().style, vbYesNo + vbExclamation);
              QCOMPARE(text(form, "Lbl_CodiceGara"), G);
              moreEntries(form);
          });
    QCOMPARE(scalar("SELECT group_concat(Pettorale || Microchip, ' ') FROM "
                    "(SELECT * FROM TblIscrizioni ORDER BY Pettorale)"),
             QStringLiteral("1CHIPA 2CHIPB 3CHIPC"));
    QCOMPARE(scalar("SELECT COUNT(*) FROM TblConduttori"), QStringLiteral("1"));
    QCOMPARE(scalar("SELECT group_concat(Microchip || NomeCane || Taglia, ' ') FROM TblCani"),
             QStringLiteral("CHIPAFIDOSMALL CHIPBREXSMALL CHIPCLUNASMALL"));

    // The scores: both runs of the three dogs, each saved by Enter in its time box.
    struct Score {
        const char* bib;
        const char* run[2][2]; // points and time of each run
        int places[3];         // run 1, run 2, combined
    };
    // Bib 3 beats bib 1 in run 1 by its hundredths alone.
    const Score scores[] = {
        {"1", {{"90", "012100"}, {"80", "012000"}}, {3, 2, 2}},
        {"2", {{"95", "014000"}, {"80", "011000"}}, {1, 1, 1}},
        {"3", {{"90", "012095"}, {"0", "015000"}}, {2, 9999, 9999}},
    };
    r.queue(vbYes); // the competition just worked on is offered
    drive([&] { menu("mnPunteggi"); }, "frmClassifica",
          [&](QWidget* form) {
              settle();
              QCOMPARE(text(form, "Cmb_Field_0"), G);
              chooseSelection(form, {"TIME", "JUNIOR", "SMALL"}, 1);
              QCOMPARE(listRows(form, "LstInsRisultati").size(), 3);
              for (int run = 0; run < 2; ++run) {
                  QTest::mouseClick(child<QRadioButton>(form, QStringLiteral("Opt_Run_%1").arg(run)),
                                    Qt::LeftButton);
                  for (const Score& sc : scores) {
                      pickRow(form, "LstInsRisultati", QString::fromLatin1(sc.bib), false);
                      for (int k = 0; k < 2; ++k) {
                          auto* b = child<QLineEdit>(form, QStringLiteral("Txt_Clss_%1").arg(run * 2 + k));
                          if (k == 1)
                              r.queue(vbYes);
                          typeInto(b, QString::fromLatin1(sc.run[run][k]));
                          enter(b);
                          settle();
                      }
                  }
              }
              click(form, "cmdClose");
          });
    takeBoxes(); // each box was checked where the road met it
    for (const Score& sc : scores) {
        QCOMPARE(scalar("SELECT ClassificaRun1 || ',' || ClassificaRun2 || ',' || ClassificaCombinata "
                        "FROM TblIscrizioni WHERE Pettorale = ?",
                        {QString::fromLatin1(sc.bib)}),
                 QStringLiteral("%1,%2,%3").arg(sc.places[0]).arg(sc.places[1]).arg(sc.places[2]));
    }
}

QTEST_MAIN(AppRoadTest)
#include "AppRoadTest.moc"
