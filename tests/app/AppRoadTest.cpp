// The program as one piece: the main window's menus and shortcuts open the real forms, the
// entries form opens the real registers in pick mode, and a competition goes from its
// entries to stored places as a user at the desk would take it.
#include "frame/IniReadWrite.h"
#include "frame/ZAR_Main.h"
#include "platform/SingleInstance.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <functional>

using namespace zar;
using namespace zar::test;

namespace {

const QString G = QStringLiteral("20240501ROMA");

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

// Types a code into an entries-form box and presses Enter, which opens the register `reg` on it;
// `action` works there, and the focus comes back to the entries form.
void viaRegister(QWidget* form, const char* box, const char* code, const char* reg,
                 const std::function<void(QWidget*)>& action) {
    auto* b = child<QLineEdit>(form, QString::fromLatin1(box));
    b->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(b, QString::fromLatin1(code));
    drive([] { typeEnter(QString()); }, QString::fromLatin1(reg), action);
    QVERIFY(backTo(form));
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
    const auto scalar = [&](const QString& sql) { return shared.dbGare->scalar(sql).toString(); };
    MsgBoxResponder& r = boxes();
    const auto save = [&](QWidget* form) {
        r.queue(vbYes);
        click(form, "cmdSave");
    };
    // The category and class boxes of an entry with its handler and dog, then Salva.
    const auto saveEntry = [&](QWidget* form) {
        child<QComboBox>(form, "Cmb_Field_1")->setFocus(Qt::MouseFocusReason);
        typeEnters({"TIME", "JUNIOR"});
        save(form);
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));
    };
    // A new dog: the register opens with the chip in its key box.
    const auto newDog = [&](QWidget* form, const char* chip, std::initializer_list<const char*> boxes) {
        viaRegister(form, "Txt_Field_4", chip, "frmCane", [&](QWidget* reg) {
            QCOMPARE(text(reg, "Txt_Field_0"), QString::fromLatin1(chip).toUpper());
            typeEnters(boxes);
            save(reg);
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
        viaRegister(form, "Txt_Field_0", "aaa1", "frmConduttore", [&](QWidget* reg) {
            typeEnters({"aaa1", "rossi", "mario", "", "", "", "", "", "", "", "t001"});
            save(reg);
        });
        QCOMPARE(texts(form, {"Txt_Field_0", "Txt_Field_1", "Txt_Field_2", "Txt_Field_3", "Txt_Pettorale"}),
                 QStringList({"AAA1", "ROSSI", "MARIO", "T001", "1"}));
        newDog(form, "chipa", {"", "fido", "meticcio", "SMALL"});
        QCOMPARE(texts(form, {"Txt_Field_4", "Txt_Field_5", "Txt_Field_6", "Cmb_Field_0"}),
                 QStringList({"CHIPA", "FIDO", "METICCIO", "SMALL"}));
        saveEntry(form);
        click(form, "cmdClose");
    };
    // The entries form opens once the register has closed.
    bool entered = false;
    drive([&] { trigger(&main, "mnIscrizioni"); }, "frmGare",
          [&](QWidget* gare) {
              onNextModal([&](QWidget* form) {
                  entered = true;
                  runOn(form, "frmIscrizione", firstEntries);
              });
              typeEnters({"Trofeo", "Roma", "01052024", "Neri"});
              save(gare);
          });
    QVERIFY(entered);
    QCOMPARE(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", shared.iniPath()), G);

    // The second opening, from the shortcut: the register offers the last competition.
    const auto moreEntries = [&](QWidget* form) {
        QCOMPARE(r.texts().last(), QStringLiteral("Ultime iscrizioni fatte per la gara : ") + G +
                                       QStringLiteral("\n\rContinuare le iscrizioni per questa gara?"));
        QCOMPARE(r.shown().last().style, vbYesNo + vbExclamation);
        QCOMPARE(text(form, "Lbl_CodiceGara"), G);

        // A known handler, the next bib, and a new dog.
        child<QLineEdit>(form, "Txt_Field_0")->setFocus(Qt::MouseFocusReason);
        typeEnter("aaa1");
        QCOMPARE(texts(form, {"Txt_Field_1", "Txt_Pettorale"}), QStringList({"ROSSI", "2"}));
        newDog(form, "chipb", {"", "rex", "boxer", "SMALL"});
        saveEntry(form);

        // A mistyped code: the user finds the handler in the register and hands it back.
        viaRegister(form, "Txt_Field_0", "aaa7", "frmConduttore", [&](QWidget* reg) {
            typeEnter("aaa1");
            click(reg, "cmdIscriz");
        });
        QCOMPARE(texts(form, {"Txt_Field_0", "Txt_Field_1", "Txt_Pettorale"}),
                 QStringList({"AAA1", "ROSSI", "3"}));

        // A dog of this competition picked from the register's list is refused and its boxes emptied.
        viaRegister(form, "Txt_Field_4", "chipx", "frmCane",
                    [](QWidget* reg) { pickRow(reg, "LvwCani", "CHIPB"); });
        QCOMPARE(r.texts().last(), QStringLiteral("CANE già iscritto a questa competizione"));
        QCOMPARE(texts(form, {"Txt_Field_4", "Txt_Field_5", "Txt_Field_6", "Cmb_Field_0"}),
                 QStringList({"", "", "", ""}));
        QCOMPARE(focused(), QStringLiteral("Txt_Field_4"));
        newDog(form, "chipc", {"", "luna", "setter", "SMALL"});
        saveEntry(form);
        QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("3"));
        click(form, "cmdClose");
    };

    main.showPanel(0);
    r.queue(vbYes);
    drive([&] { QTest::mouseClick(child<QLabel>(&main, "LblIscrizione"), Qt::LeftButton); }, "frmIscrizione",
          moreEntries);

    // The scores: both runs of the three dogs, each saved by Enter in its time box. Bib 3 beats
    // bib 1 in run 1 by its hundredths alone.
    const char* const scores[][5] = {
        // bib, then points and time of run 1 and of run 2
        {"1", "90", "012100", "80", "012000"},
        {"2", "95", "014000", "80", "011000"},
        {"3", "90", "012095", "0", "015000"},
    };
    r.queue(vbYes); // the competition just worked on is offered
    drive([&] { trigger(&main, "mnPunteggi"); }, "frmClassifica",
          [&](QWidget* form) {
              settle();
              QCOMPARE(text(form, "Cmb_Field_0"), G);
              chooseSelection(form, {"TIME", "JUNIOR", "SMALL"}, 1);
              QCOMPARE(listRows(form, "LstInsRisultati").size(), 3);
              for (int run = 0; run < 2; ++run) {
                  QTest::mouseClick(child<QRadioButton>(form, QStringLiteral("Opt_Run_%1").arg(run)),
                                    Qt::LeftButton);
                  for (const auto& sc : scores) {
                      pickRow(form, "LstInsRisultati", QString::fromLatin1(sc[0]), false);
                      for (int k = 0; k < 2; ++k) {
                          auto* b = child<QLineEdit>(form, QStringLiteral("Txt_Clss_%1").arg(run * 2 + k));
                          if (k == 1)
                              r.queue(vbYes);
                          typeInto(b, QString::fromLatin1(sc[1 + run * 2 + k]));
                          enter(b);
                          settle();
                      }
                  }
              }
              click(form, "cmdClose");
          });
    takeBoxes(); // each box was checked where the road met it
    QCOMPARE(scalar("SELECT (SELECT group_concat(CodiceFiscale || ',' || Cognome || ',' || TesseraCIS) "
                    "FROM TblConduttori) || ' ' || "
                    "(SELECT group_concat(Microchip || NomeCane || Taglia, ' ') FROM TblCani)"),
             QStringLiteral("AAA1,ROSSI,T001 CHIPAFIDOSMALL CHIPBREXSMALL CHIPCLUNASMALL"));
    // Each entry with its places in run 1, run 2 and combined.
    QCOMPARE(scalar("SELECT group_concat(Pettorale || CodiceGara || CodiceFiscale || Microchip || Categoria "
                    "|| Classe || Taglia || ClassificaRun1 || ',' || ClassificaRun2 || ',' || "
                    "ClassificaCombinata, ' ') FROM (SELECT * FROM TblIscrizioni ORDER BY Pettorale)"),
             QStringLiteral("1%1AAA1CHIPATIMEJUNIORSMALL3,2,2 2%1AAA1CHIPBTIMEJUNIORSMALL1,1,1 "
                            "3%1AAA1CHIPCTIMEJUNIORSMALL2,9999,9999")
                 .arg(G));
}

QTEST_MAIN(AppRoadTest)
#include "AppRoadTest.moc"
