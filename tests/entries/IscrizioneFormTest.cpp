#include "entries/frmIscrizione.h"
#include "frame/IniReadWrite.h"
#include "frame/PickTarget.h"
#include "support/EntriesDrivers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QTest>

#include <memory>

using namespace zar;
using namespace zar::test;

namespace {
const QString G = QStringLiteral("20240501ROMA");
const QString kSaved = QStringLiteral("Dati Iscrizione salvati.|64|ZAR");
const QString kConfirm = QStringLiteral("Confermi il salvataggio dei dati?.|36|ZAR");
const QString kBibUsed = QStringLiteral("PETTORALE già utilizzato per questa competizione|0|ZAR");
const QString kBibRange = QStringLiteral("Il PETTORALE deve essere un numero da 0 a 32767.|0|ZAR");
const QString kTypedRange = QStringLiteral("Il PETTORALE deve essere un numero da 0 a 32767.|48|ZAR");
} // namespace

class IscrizioneFormTest : public GuiTestBase {
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<frmIscrizione> form;
    QString garaScelta;
    int conduttoriAperti = 0;
    QStringList caniAperti, stampe;

    Database& db() { return *shared->dbGare; }
    QWidget* f() { return form.get(); }
    QComboBox* combo(int i) { return child<QComboBox>(f(), QStringLiteral("Cmb_Field_%1").arg(i)); }
    QLineEdit* bib() { return child<QLineEdit>(f(), "Txt_Pettorale"); }
    bool enabled(const char* button) { return child<QPushButton>(f(), button)->isEnabled(); }
    QString list() { return column(f(), "LvwIscritti", 0); }
    QString count(const QString& sql) { return db().scalar(sql).toString(); }

    void open() {
        form = std::make_unique<frmIscrizione>(*shared);
        showActive(f());
    }
    // Types into a box and leaves it by Enter, as the desk does.
    void type(int i, const QString& text) {
        focusOn(box(f(), i));
        box(f(), i)->clear();
        QTest::keyClicks(box(f(), i), text);
        QTest::keyClick(box(f(), i), Qt::Key_Return);
        settle();
    }
    void typeBib(const QString& text) {
        bib()->setText(text);
        QTest::keyClick(bib(), Qt::Key_Return);
    }
    void fillAll(const QString& cf, const QString& chip) {
        const QString texts[] = {cf, "Rossi ", " Mario", "T1", chip, "Fido", "Meticcio"};
        for (int i = 0; i < 7; ++i)
            type(i, texts[i]);
        const char* combos[] = {"SMALL", "time", "JUNIOR"};
        for (int i = 0; i < 3; ++i)
            combo(i)->setEditText(combos[i]);
    }

private slots:
    void init() {
        GuiTestBase::init();
        folder = std::make_unique<TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        addCompetition(db(), G);
        garaScelta = G;
        conduttoriAperti = 0;
        caniAperti.clear();
        stampe.clear();
        shared->registriPick.gare = [this](SharedValues&, PickTarget& t, QWidget*) {
            if (!garaScelta.isEmpty())
                t.riceviGara(garaScelta, "Trofeo", "Roma", "Verdi", "01/05/2024");
        };
        shared->registriPick.conduttori = [this](SharedValues&, PickTarget&, QWidget*) {
            ++conduttoriAperti;
        };
        shared->registriPick.cani = [this](SharedValues&, PickTarget&, QWidget*, const QString& chip) {
            caniAperti << chip; // closed without a choice
        };
        shared->stampaEtichetta = [this](SharedValues&, int n, const QString& g, const QString& c,
                                         const QString& d) {
            stampe << QStringLiteral("%1|%2|%3|%4").arg(n).arg(g, c, d);
        };
    }

    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
        GuiTestBase::cleanup();
    }

    void openingListsTheChosenCompetitionAndRemembersIt() {
        for (int n : {10, 2, 11, 1})
            addEntry(db(), G, n);
        addEntry(db(), "OTHER", 5);
        open();
        QCOMPARE(text(f(), "Lbl_Gara"), QStringLiteral("Trofeo"));
        QCOMPARE(list(), QStringLiteral("1 2 10 11"));
        QCOMPARE(text(f(), "LblNumRecords"), QStringLiteral("4"));
        QCOMPARE(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", shared->iniPath()), G);
        QCOMPARE(bib()->text(), QStringLiteral("....."));
        QVERIFY(!enabled("cmdSave"));
        // The bib heading sorts by number and a second click reverses.
        auto* lista = child<ListaIscritti>(f(), "LvwIscritti");
        const QPoint heading(lista->header()->sectionPosition(0) + 5, lista->header()->height() / 2);
        QTest::mouseClick(lista->header()->viewport(), Qt::LeftButton, {}, heading);
        lista->clicIntestazione(0);
        QCOMPARE(list(), QStringLiteral("11 10 2 1"));
        QCOMPARE(cutHeadings(lista), QStringList());

        // No competition chosen: the last one is kept, the entries without one are listed.
        form.reset();
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), QStringLiteral("PREVIOUS"));
        garaScelta.clear();
        addEntry(db(), "", 7);
        open();
        QCOMPARE(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", shared->iniPath()),
                 QStringLiteral("PREVIOUS"));
        QCOMPARE(list(), QStringLiteral("7"));
    }

    void unwritableSettingsFileIsShownAndTheFormGoesOn() {
        const QString notAFolder = folder->file("not-a-folder"); // a regular file: nothing goes in it
        QFile(notAFolder).open(QIODevice::WriteOnly);
        shared->programFolder = notAFolder;
        addEntry(db(), G, 4);
        open();
        const auto shown = takeBoxes();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(
            shown[0].text.startsWith(QStringLiteral("Impossibile scrivere il file delle impostazioni \"%1\"")
                                         .arg(shared->iniPath())) &&
                shown[0].text.contains("non esiste"),
            qPrintable(shown[0].text));
        QCOMPARE(list(), QStringLiteral("4"));
    }

    void bibProposalsAndTypedBibs() {
        open();
        type(0, "cf1");
        QCOMPARE(bib()->text(), QStringLiteral("1")); // no entries yet
        QCOMPARE(conduttoriAperti, 1);                // unknown handler: the register opens
        type(0, "cf1");
        QCOMPARE(bib()->text(), QStringLiteral("2")); // leaving again proposes one more
        QCOMPARE(box(f(), 0)->text(), QStringLiteral("CF1"));

        form.reset();
        addEntry(db(), G, 3);
        addEntry(db(), G, 7);
        db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES "
                  "('CF1', 'ROSSI', 'MARIO', 'T9')");
        open();
        fillAll("cf1", "CHIPX");
        QCOMPARE(bib()->text(), QStringLiteral("8")); // the stored 7 beats the two listed

        click(f(), "cmdPettorale");
        QVERIFY(!enabled("cmdSave") && bib()->hasFocus());
        bib()->clear();
        QTest::keyClicks(bib(), "2a-"); // only digits reach the box
        QCOMPARE(bib()->text(), QStringLiteral("2"));
        const struct {
            const char* typed;
            QString box; // empty: accepted
        } typed[] = {{"3", kBibUsed}, {"", kTypedRange}, {"32768", kTypedRange}, {"99999999999", kTypedRange},
                     {"0", {}},       {"10", {}}};
        for (const auto& c : typed) {
            typeBib(c.typed);
            QCOMPARE(described(takeBoxes()), c.box.isEmpty() ? QStringList() : QStringList{c.box});
            QCOMPARE(enabled("cmdSave"), c.box.isEmpty());
        }
        answer({vbYes});
        click(f(), "cmdSave");
        QCOMPARE(described(takeBoxes()), QStringList({kConfirm, kSaved}));
        QCOMPARE(count("SELECT Pettorale FROM TblIscrizioni WHERE Microchip = 'CHIPX'"),
                 QStringLiteral("10"));
        QCOMPARE(list(), QStringLiteral("3 7 10"));
        type(0, "CF1");
        QCOMPARE(bib()->text(), QStringLiteral("11"));
    }

    void exhaustedBibsLeaveNothingToSaveUntilABibIsTyped() {
        addEntry(db(), G, 32767);
        open();
        fillAll("CFX", "CHIPX");
        QCOMPARE(takeBoxes().last().text, QStringLiteral("Non ci sono altri PETTORALI disponibili per questa "
                                                         "competizione (massimo 32767)."));
        QCOMPARE(bib()->text(), QStringLiteral("....."));
        answer({vbYes});
        form->cmdSave_Click(); // the listed count (1) must not be stored unseen
        QCOMPARE(described(takeBoxes()), QStringList({kConfirm, kBibRange}));
        QCOMPARE(count("SELECT COUNT(*) FROM TblIscrizioni"), QStringLiteral("1"));
        click(f(), "cmdPettorale");
        typeBib("5");
        answer({vbYes});
        click(f(), "cmdSave");
        QCOMPARE(described(takeBoxes()), QStringList({kConfirm, kSaved}));
    }

    void dogAlreadyEnteredIsRefusedInTheSameCompetitionOnly() {
        db().exec(
            "INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia) VALUES ('CHIP9', 'REX', 'PASTORE', "
            "'LARGE')");
        addEntry(db(), "OTHER", 1, "chip9");
        open();
        type(4, "chip9");
        QCOMPARE(text(f(), "Txt_Field_5") + combo(0)->currentText(), QStringLiteral("REXLARGE"));
        QVERIFY(caniAperti.isEmpty());
        addEntry(db(), G, 5, "chip9");
        type(4, "Chip9");
        // An unknown chip, and the user picks the entered dog in the register instead.
        shared->registriPick.cani = [](SharedValues&, PickTarget& t, QWidget*, const QString&) {
            t.riceviCane("CHIP9", "REX", "PASTORE", "LARGE");
        };
        type(4, "chip0");
        const QString refused = "CANE già iscritto a questa competizione|0|ZAR";
        QCOMPARE(described(takeBoxes()), QStringList({refused, refused}));
        QCOMPARE(text(f(), "Txt_Field_4") + text(f(), "Txt_Field_5") + combo(0)->currentText(), QString());
        QCOMPARE(focused(), QStringLiteral("Txt_Field_4"));
    }

    void mandatoryFieldsInOrder() {
        open();
        const char* missing[][2] = {{"CODICE FISCALE", "Codice Fiscale"},
                                    {"COGNOME", "Cognome"},
                                    {"NOME", "Nome"},
                                    {"TESSERA CIS", "Tessera CIS"},
                                    {"MICROCHIP", "Microchip"},
                                    {"NOME CANE", "Nome Cane"},
                                    {"RAZZA", "Razza"},
                                    {"TAGLIA", "Taglia"},
                                    {"CATEGOIA", "Categoria"},
                                    {"CLASSE", "Classe"}};
        for (int i = 0; i < 10; ++i) {
            form->cmdSave_Click();
            QCOMPARE(
                described(takeBoxes()),
                QStringList(
                    QStringLiteral("Il campo %1 è vuoto.|48|%2 Mancante").arg(missing[i][0], missing[i][1])));
            // A blank passes: only an exactly empty box is refused.
            if (i < 7)
                box(f(), i)->setText(" ");
            else
                combo(i - 7)->setEditText(" ");
        }
        answer({vbNo});
        form->cmdSave_Click();
        QCOMPARE(described(takeBoxes()), QStringList({kConfirm}));
        QCOMPARE(count("SELECT COUNT(*) FROM TblIscrizioni") + count("SELECT COUNT(*) FROM TblCani"),
                 QStringLiteral("00"));
    }

    void saveCreatesHandlerAndDogAndPrintsTheLabel() {
        open();
        child<QCheckBox>(f(), "Chk_StampaPet")->setChecked(true);
        fillAll("rssmra", QString());
        // A chip typed in lower case and left by a click on a list box stays as typed.
        focusOn(box(f(), 4));
        box(f(), 4)->clear();
        QTest::keyClicks(box(f(), 4), "abc1");
        combo(1)->setFocus(Qt::MouseFocusReason);
        settle();
        QCOMPARE(caniAperti, QStringList({"ABC1"}));
        answer({vbYes});
        form->cmdSave_Click();
        QCOMPARE(described(takeBoxes()), QStringList({kConfirm, kSaved}));
        QCOMPARE(count("SELECT Microchip || Categoria FROM TblIscrizioni"), QStringLiteral("abc1time"));
        QCOMPARE(count("SELECT Microchip || NomeCane || Taglia FROM TblCani"),
                 QStringLiteral("ABC1FIDOSMALL"));
        QCOMPARE(count("SELECT CodiceFiscale || Cognome FROM TblConduttori"), QStringLiteral("RSSMRAROSSI "));
        QCOMPARE(stampe, QStringList({"1|Trofeo|ROSSI MARIO|FIDO"}));
        QCOMPARE(text(f(), "Txt_Field_0") + combo(1)->currentText() + combo(2)->currentText(), QString());
        QVERIFY(!enabled("cmdSave") && !enabled("cmdPettorale"));
        QCOMPARE(text(f(), "LblNumRecords"), QStringLiteral("1"));
    }

    void saveThatWouldDuplicateABibIsRefused() {
        addEntry(db(), G, 5);
        open();                      // one listed entry: the counter is 1
        box(f(), 0)->setText("CFZ"); // typed without leaving: no proposal
        for (int i = 1; i < 7; ++i)
            box(f(), i)->setText(QStringLiteral("X%1").arg(i));
        for (int i = 0; i < 3; ++i)
            combo(i)->setEditText("Y");
        db().exec("UPDATE TblIscrizioni SET Pettorale = 1");
        child<QCheckBox>(f(), "Chk_StampaPet")->setChecked(true);
        answer({vbYes});
        form->cmdSave_Click();
        QCOMPARE(described(takeBoxes()), QStringList({kConfirm, kBibUsed}));
        QCOMPARE(count("SELECT COUNT(*) FROM TblIscrizioni") + count("SELECT COUNT(*) FROM TblConduttori"),
                 QStringLiteral("10"));
        QCOMPARE(text(f(), "Txt_Field_0"), QStringLiteral("CFZ")); // kept for a correction
        QVERIFY(stampe.isEmpty());
    }

    void navigationCancelAndDelete() {
        addEntry(db(), G, 1);
        addEntry(db(), G, 2);
        db().exec("INSERT INTO TblConduttori (CodiceFiscale) VALUES ('CF')");
        open();
        focusOn(box(f(), 5));
        typeEnter("fido");
        typeEnter("razza");
        QCOMPARE(text(f(), "Txt_Field_5") + text(f(), "Txt_Field_6"), QStringLiteral("FIDOrazza"));
        QCOMPARE(focused(), QStringLiteral("Cmb_Field_0"));
        typeEnter("s"); // typed text stays as typed: no completion, no case change
        typeEnter("time");
        typeEnter("");
        QCOMPARE(combo(0)->currentText() + combo(1)->currentText(), QStringLiteral("stime"));
        QCOMPARE(focused(), QStringLiteral("Txt_Field_0"));
        box(f(), 2)->setText("MARIO");
        QTest::keyClick(box(f(), 2), Qt::Key_Escape); // Esc neither closes nor drops
        QVERIFY(form->isVisible());
        QCOMPARE(text(f(), "Txt_Field_2"), QStringLiteral("MARIO"));
        form->cmdCancel_Click();
        QCOMPARE(text(f(), "Txt_Field_2") + text(f(), "Txt_Field_5") + combo(1)->currentText(),
                 QStringLiteral("time"));
        QVERIFY(!enabled("cmdCancel"));

        pickRow(f(), "LvwIscritti", "2");
        answer({vbYes});
        click(f(), "cmdDelete");
        QCOMPARE(described(takeBoxes()),
                 QStringList({"Confermi la cancellazione del record corrente?|20|ZAR"}));
        QCOMPARE(list() + text(f(), "LblNumRecords"), QStringLiteral("11"));
        QCOMPARE(count("SELECT COUNT(*) FROM TblConduttori"), QStringLiteral("1"));
        QVERIFY(!enabled("cmdDelete"));
    }
};

QTEST_MAIN(IscrizioneFormTest)
#include "IscrizioneFormTest.moc"
