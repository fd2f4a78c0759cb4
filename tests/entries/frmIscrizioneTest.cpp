#include "entries/frmIscrizione.h"
#include "frame/IniReadWrite.h"
#include "labels/StampaEtichetta.h"
#include "support/FormDriver.h"
#include "support/FormHelpers.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

const QString G = QStringLiteral("20240501ROMA");

struct Stampa {
    int bib;
    QString gara, conduttore, cane;
};

} // namespace

class frmIscrizioneTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<frmIscrizione> form;
    QString garaScelta = G;
    int conduttoriAperti = 0;
    QStringList caniAperti;
    QList<Stampa> stampe;

    Database& db() { return *shared->dbGare; }
    QLineEdit* field(int i) { return child<QLineEdit>(form.get(), QStringLiteral("Txt_Field_%1").arg(i)); }
    QComboBox* combo(int i) { return child<QComboBox>(form.get(), QStringLiteral("Cmb_Field_%1").arg(i)); }
    QPushButton* button(const char* name) { return child<QPushButton>(form.get(), QString::fromUtf8(name)); }
    QLineEdit* bibBox() { return child<QLineEdit>(form.get(), QStringLiteral("Txt_Pettorale")); }
    QString label(const char* name) { return child<QLabel>(form.get(), QString::fromUtf8(name))->text(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void entry(const QString& gara, int bib, const QString& chip = QString()) {
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, 'CF', ?, 'TIME', 'JUNIOR', 'SMALL')"),
            {gara, bib, chip.isNull() ? QStringLiteral("CHIP%1").arg(bib) : chip});
    }

    void open() {
        form = std::make_unique<frmIscrizione>(*shared);
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    // Types into a box and leaves it for the next one, as Enter does.
    void type(int i, const QString& text) {
        field(i)->setFocus(Qt::TabFocusReason);
        settle();
        field(i)->clear();
        QTest::keyClicks(field(i), text);
        QTest::keyClick(field(i), Qt::Key_Return);
        settle();
    }

    void fillAll(const QString& cf, const QString& chip) {
        type(0, cf);
        type(1, QStringLiteral("Rossi "));
        type(2, QStringLiteral(" Mario"));
        type(3, QStringLiteral("T1"));
        type(4, chip);
        type(5, QStringLiteral("Fido"));
        type(6, QStringLiteral("Meticcio"));
        combo(0)->setEditText(QStringLiteral("SMALL"));
        combo(1)->setEditText(QStringLiteral("time"));
        combo(2)->setEditText(QStringLiteral("JUNIOR"));
    }

    QStringList listColumn(int c) {
        QStringList out;
        const auto* m = form->lista()->modello();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->testo(r, c);
        return out;
    }

private slots:

    void init() {
        folder = std::make_unique<test::TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        db().exec(QStringLiteral("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, "
                                 "'Trofeo', 'Roma', 'Verdi', '01/05/2024')"),
                  {G});
        garaScelta = G;
        conduttoriAperti = 0;
        caniAperti.clear();
        stampe.clear();
        shared->registriPick.gare = [this](SharedValues&, PickTarget& t, QWidget*) {
            if (!garaScelta.isEmpty())
                t.riceviGara(garaScelta, QStringLiteral("Trofeo"), QStringLiteral("Roma"),
                             QStringLiteral("Verdi"), QStringLiteral("01/05/2024"));
        };
        shared->registriPick.conduttori = [this](SharedValues&, PickTarget&, QWidget*) {
            ++conduttoriAperti;
        };
        shared->registriPick.cani = [this](SharedValues&, PickTarget&, QWidget*, const QString& chip) {
            caniAperti << chip; // closed without a choice
        };
        shared->stampaEtichetta = [this](SharedValues&, int bib, const QString& g, const QString& c,
                                         const QString& d) {
            stampe << Stampa{bib, g, c, d};
        };
    }

    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
    }

    void openingListsTheChosenCompetitionAndRemembersIt() {
        entry(G, 10);
        entry(G, 2);
        entry(QStringLiteral("OTHER"), 1);
        open();
        QCOMPARE(label("Lbl_Gara"), QStringLiteral("Trofeo"));
        QCOMPARE(listColumn(0), QStringList({"2", "10"}));
        QCOMPARE(label("LblNumRecords"), QStringLiteral("2"));
        QCOMPARE(form->NumPettorale(), 2);
        QCOMPARE(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", shared->iniPath()), G);
        QVERIFY(shared->UltimaGara.isEmpty());
        QVERIFY(!button("cmdSave")->isEnabled());
        QCOMPARE(bibBox()->text(), QStringLiteral("....."));
        // A whole 16-character fiscal code fits its column.
        const auto* list = form->lista();
        QVERIFY(list->header()->sectionSize(2) >
                list->fontMetrics().horizontalAdvance(QStringLiteral("RSSMRA80A01H501U")));
    }

    void noCompetitionChosenKeepsTheLastOne() {
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), QStringLiteral("PREVIOUS"));
        garaScelta.clear();
        entry(G, 1);
        entry(QStringLiteral(""), 7);
        open();
        QCOMPARE(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", shared->iniPath()),
                 QStringLiteral("PREVIOUS"));
        QCOMPARE(listColumn(0), QStringList({"7"})); // the entries without a competition
    }

    void unwritableSettingsFileIsShownAndTheFormGoesOn() {
        // The folder meant to hold "ZAR.ini" is a regular file: nothing can be written there.
        const QString notAFolder = folder->file(QStringLiteral("not-a-folder"));
        QFile(notAFolder).open(QIODevice::WriteOnly);
        shared->programFolder = notAFolder;
        entry(G, 4);
        test::StrictResponder r;
        open();
        QCOMPARE(r.shown().size(), 1);
        const MsgBoxRecord& box = r.shown().first();
        QVERIFY2(box.text.startsWith(QStringLiteral("Impossibile scrivere il file delle impostazioni \"%1\"")
                                         .arg(shared->iniPath())),
                 qPrintable(box.text));
        QVERIFY(box.text.contains(QStringLiteral("non esiste"))); // the reason, in the user's words
        QCOMPARE(box.style, int(vbOKOnly));
        QCOMPARE(box.title, kDefaultTitle);
        QCOMPARE(label("Lbl_Gara"), QStringLiteral("Trofeo"));
        QCOMPARE(listColumn(0), QStringList({"4"}));
    }

    void bibProposals() {
        open();
        test::StrictResponder r;
        type(0, QStringLiteral("cf1"));
        QCOMPARE(bibBox()->text(), QStringLiteral("1")); // no entries yet
        QCOMPARE(conduttoriAperti, 1);                   // unknown handler: the register opens
        QVERIFY(button("cmdPettorale")->isEnabled());
        type(0, QStringLiteral("cf1"));
        QCOMPARE(bibBox()->text(), QStringLiteral("2"));   // leaving again proposes one more
        QCOMPARE(field(0)->text(), QStringLiteral("CF1")); // upper-cased as the next box got the focus

        form.reset();
        conduttoriAperti = 0;
        entry(G, 3);
        entry(G, 7);
        db().exec(
            QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES "
                           "('CF1', 'ROSSI', 'MARIO', 'T9')"));
        open();
        type(0, QStringLiteral("cf1"));
        QCOMPARE(bibBox()->text(), QStringLiteral("8"));
        QCOMPARE(field(1)->text(), QStringLiteral("ROSSI"));
        QCOMPARE(field(3)->text(), QStringLiteral("T9"));
        QCOMPARE(conduttoriAperti, 0); // found: no register
    }

    void typedBib() {
        entry(G, 1);
        entry(G, 2);
        open();
        test::StrictResponder r;
        fillAll(QStringLiteral("CFX"), QStringLiteral("CHIPX"));
        QCOMPARE(bibBox()->text(), QStringLiteral("3"));
        QTest::mouseClick(button("cmdPettorale"), Qt::LeftButton);
        QVERIFY(!button("cmdSave")->isEnabled());
        QVERIFY(bibBox()->hasFocus());

        // Only digits reach the box.
        bibBox()->clear();
        QTest::keyClicks(bibBox(), QStringLiteral("2a-"));
        QCOMPARE(bibBox()->text(), QStringLiteral("2"));
        QTest::keyClick(bibBox(), Qt::Key_Return); // already used
        QCOMPARE(r.texts(),
                 QStringList({QStringLiteral("PETTORALE già utilizzato per questa competizione")}));
        QCOMPARE(r.shown().last().style, 0);
        QVERIFY(!button("cmdSave")->isEnabled());

        const char* refused[] = {"", "32768", "99999999999"};
        for (const char* text : refused) {
            r.clear();
            bibBox()->setText(QString::fromUtf8(text));
            QTest::keyClick(bibBox(), Qt::Key_Return);
            QCOMPARE(r.texts(),
                     QStringList({QStringLiteral("Il PETTORALE deve essere un numero da 0 a 32767.")}));
            QVERIFY(!button("cmdSave")->isEnabled());
        }

        r.clear();
        bibBox()->setText(QStringLiteral("0")); // a free bib like any other
        QTest::keyClick(bibBox(), Qt::Key_Return);
        QVERIFY(r.texts().isEmpty());
        QCOMPARE(form->NumPettorale(), 0);
        bibBox()->setText(QStringLiteral("10"));
        QTest::keyClick(bibBox(), Qt::Key_Return);
        QVERIFY(r.texts().isEmpty());
        QVERIFY(button("cmdSave")->isEnabled());
        QCOMPARE(form->NumPettorale(), 10);

        r.queue(vbYes);
        QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));
        QCOMPARE(count("SELECT Pettorale FROM TblIscrizioni WHERE Microchip = 'CHIPX'"), 10);
        QCOMPARE(form->NumPettorale(), 3);
        QCOMPARE(listColumn(0), QStringList({"1", "2", "10"})); // database order
        type(0, QStringLiteral("CFX"));
        QCOMPARE(bibBox()->text(), QStringLiteral("11"));
    }

    void exhaustedBibsLeaveNothingToSaveUntilABibIsTyped() {
        entry(G, 32767);
        open();
        test::StrictResponder r;
        fillAll(QStringLiteral("CFX"), QStringLiteral("CHIPX"));
        QCOMPARE(r.texts(), QStringList({QStringLiteral("Non ci sono altri PETTORALI disponibili per questa "
                                                        "competizione (massimo 32767).")}));
        QCOMPARE(bibBox()->text(), QStringLiteral("....."));
        r.clear();
        r.queue(vbYes);
        form->cmdSave_Click(); // the listed count (1) must not be stored unseen
        QCOMPARE(r.texts().last(), QStringLiteral("Il PETTORALE deve essere un numero da 0 a 32767."));
        QCOMPARE(count("SELECT COUNT(*) FROM TblIscrizioni"), 1);

        r.clear();
        QTest::mouseClick(button("cmdPettorale"), Qt::LeftButton);
        bibBox()->setText(QStringLiteral("5"));
        QTest::keyClick(bibBox(), Qt::Key_Return);
        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));
        QCOMPARE(count("SELECT Pettorale FROM TblIscrizioni WHERE Microchip = 'CHIPX'"), 5);
    }

    void typedBibEqualToTheUnsavedProposalIsAccepted() {
        open();
        test::StrictResponder r;
        type(0, QStringLiteral("CFX"));
        QCOMPARE(bibBox()->text(), QStringLiteral("1"));
        QTest::mouseClick(button("cmdPettorale"), Qt::LeftButton);
        QTest::keyClick(bibBox(), Qt::Key_Return);
        QVERIFY(r.texts().isEmpty());
        QVERIFY(button("cmdSave")->isEnabled());
    }

    void dogAlreadyEnteredIsRefusedInTheSameCompetitionOnly() {
        db().exec(QStringLiteral("INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia) VALUES ('CHIP9', "
                                 "'REX', 'PASTORE', 'LARGE')"));
        entry(QStringLiteral("OTHER"), 1, QStringLiteral("chip9"));
        open();
        test::StrictResponder r;
        type(4, QStringLiteral("chip9"));
        QVERIFY(r.texts().isEmpty());
        QCOMPARE(field(5)->text(), QStringLiteral("REX"));
        QCOMPARE(combo(0)->currentText(), QStringLiteral("LARGE"));
        QVERIFY(button("cmdSave")->isEnabled());
        QVERIFY(caniAperti.isEmpty());

        entry(G, 5, QStringLiteral("chip9"));
        type(4, QStringLiteral("Chip9"));
        QCOMPARE(r.texts(), QStringList({QStringLiteral("CANE già iscritto a questa competizione")}));
        QCOMPARE(r.shown().last().style, 0);
        for (int i = 4; i < 7; ++i)
            QCOMPARE(field(i)->text(), QString());
        QCOMPARE(combo(0)->currentText(), QString());
        settle();
        QVERIFY(field(4)->hasFocus());

        // An unknown chip, and the user picks the entered dog in the register instead.
        r.clear();
        shared->registriPick.cani = [](SharedValues&, PickTarget& t, QWidget*, const QString&) {
            t.riceviCane(QStringLiteral("CHIP9"), QStringLiteral("REX"), QStringLiteral("PASTORE"),
                         QStringLiteral("LARGE"));
        };
        type(4, QStringLiteral("chip0"));
        QCOMPARE(r.texts(), QStringList({QStringLiteral("CANE già iscritto a questa competizione")}));
        QCOMPARE(field(4)->text(), QString());
        QCOMPARE(combo(0)->currentText(), QString());
    }

    void mandatoryFieldsInOrder() {
        open();
        test::StrictResponder r;
        const QStringList messages{"Il campo CODICE FISCALE è vuoto.", "Il campo COGNOME è vuoto.",
                                   "Il campo NOME è vuoto.",           "Il campo TESSERA CIS è vuoto.",
                                   "Il campo MICROCHIP è vuoto.",      "Il campo NOME CANE è vuoto.",
                                   "Il campo RAZZA è vuoto.",          "Il campo TAGLIA è vuoto.",
                                   "Il campo CATEGOIA è vuoto.",       "Il campo CLASSE è vuoto."};
        const QStringList titles{"Codice Fiscale Mancante", "Cognome Mancante",   "Nome Mancante",
                                 "Tessera CIS Mancante",    "Microchip Mancante", "Nome Cane Mancante",
                                 "Razza Mancante",          "Taglia Mancante",    "Categoria Mancante",
                                 "Classe Mancante"};
        for (int i = 0; i < 10; ++i) {
            r.clear();
            form->cmdSave_Click();
            QCOMPARE(r.shown().size(), 1);
            QCOMPARE(r.shown()[0].text, messages[i]);
            QCOMPARE(r.shown()[0].title, titles[i]);
            QCOMPARE(r.shown()[0].style, 48);
            // A blank passes: only an exactly empty box is refused.
            if (i < 7)
                field(i)->setText(QStringLiteral(" "));
            else
                combo(i - 7)->setEditText(QStringLiteral(" "));
        }
        QCOMPARE(count("SELECT COUNT(*) FROM TblIscrizioni"), 0);
    }

    void saveCreatesHandlerAndDogAndPrintsTheLabel() {
        open();
        test::StrictResponder r;
        child<QCheckBox>(form.get(), QStringLiteral("Chk_StampaPet"))->setChecked(true);
        fillAll(QStringLiteral("rssmra"), QString());
        // A chip typed in lower case and left by a click on a list box stays as typed.
        field(4)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field(4), QStringLiteral("abc1"));
        combo(1)->setFocus(Qt::MouseFocusReason);
        settle();
        QCOMPARE(caniAperti, QStringList({"ABC1"}));
        field(5)->setText(QStringLiteral("Fido"));
        field(6)->setText(QStringLiteral("meticcio"));
        combo(0)->setEditText(QStringLiteral("small"));
        QCOMPARE(field(4)->text(), QStringLiteral("abc1"));
        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(r.shown()[0].text, QStringLiteral("Confermi il salvataggio dei dati?."));
        QCOMPARE(r.shown()[0].style, vbYesNo + vbQuestion);
        QCOMPARE(r.shown()[1].text, QStringLiteral("Dati Iscrizione salvati."));
        QCOMPARE(r.shown()[1].style, vbInformation);
        QCOMPARE(db().scalar("SELECT Microchip FROM TblIscrizioni").toString(), QStringLiteral("abc1"));
        QCOMPARE(db().scalar("SELECT Microchip || NomeCane || Taglia FROM TblCani").toString(),
                 QStringLiteral("ABC1FIDOSMALL"));
        QCOMPARE(db().scalar("SELECT CodiceFiscale || Cognome FROM TblConduttori").toString(),
                 QStringLiteral("RSSMRAROSSI "));
        QCOMPARE(db().scalar("SELECT Categoria FROM TblIscrizioni").toString(), QStringLiteral("time"));
        QCOMPARE(stampe.size(), 1);
        QCOMPARE(stampe[0].bib, 1);
        QCOMPARE(stampe[0].gara, QStringLiteral("Trofeo"));
        QCOMPARE(stampe[0].conduttore, QStringLiteral("ROSSI MARIO"));
        QCOMPARE(stampe[0].cane, QStringLiteral("Fido"));
        // After the save: boxes empty, category and class emptied, buttons off.
        QCOMPARE(field(0)->text(), QString());
        QCOMPARE(combo(1)->currentText(), QString());
        QCOMPARE(combo(2)->currentText(), QString());
        QVERIFY(!button("cmdSave")->isEnabled());
        QVERIFY(!button("cmdPettorale")->isEnabled());
        QCOMPARE(label("LblNumRecords"), QStringLiteral("1"));
    }

    void noAtTheConfirmationStoresAndPrintsNothing() {
        open();
        test::StrictResponder r;
        child<QCheckBox>(form.get(), QStringLiteral("Chk_StampaPet"))->setChecked(true);
        fillAll(QStringLiteral("CF1"), QStringLiteral("CHIP1"));
        r.queue(vbNo);
        form->cmdSave_Click();
        QCOMPARE(r.shown().size(), 1);
        QVERIFY(stampe.isEmpty());
        QCOMPARE(count("SELECT COUNT(*) FROM TblIscrizioni") + count("SELECT COUNT(*) FROM TblCani"), 0);
        QCOMPARE(field(1)->text(), QString());
        QVERIFY(!button("cmdSave")->isEnabled());
    }

    void saveThatWouldDuplicateABibIsRefused() {
        entry(G, 5);
        open(); // one listed entry: the counter is 1
        test::StrictResponder r;
        field(0)->setText(QStringLiteral("CFZ")); // typed without leaving: no proposal
        for (int i = 1; i < 7; ++i)
            field(i)->setText(QStringLiteral("X%1").arg(i));
        for (int i = 0; i < 3; ++i)
            combo(i)->setEditText(QStringLiteral("Y"));
        db().exec("UPDATE TblIscrizioni SET Pettorale = 1");
        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(r.texts().last(), QStringLiteral("PETTORALE già utilizzato per questa competizione"));
        QCOMPARE(count("SELECT COUNT(*) FROM TblIscrizioni"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM TblConduttori"), 0);
        QCOMPARE(field(0)->text(), QStringLiteral("CFZ")); // kept for a correction
        QVERIFY(stampe.isEmpty());
    }

    void navigationAndCancel() {
        open();
        test::StrictResponder r;
        field(5)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field(5), QStringLiteral("fido"));
        QTest::keyClick(field(5), Qt::Key_Return);
        QTest::keyClicks(field(6), QStringLiteral("razza"));
        QTest::keyClick(field(6), Qt::Key_Return);
        settle();
        QCOMPARE(field(5)->text(), QStringLiteral("FIDO"));
        QCOMPARE(field(6)->text(), QStringLiteral("razza")); // the last box is never upper-cased
        QVERIFY(combo(0)->hasFocus());
        // The keyboard types into the focus widget, which is the combo itself; any typed
        // text stays through Enter.
        QCOMPARE(QApplication::focusWidget(), combo(0));
        // Typed text stays as typed: no completion of a prefix, no case change to a listed item.
        QTest::keyClicks(combo(0), QStringLiteral("s"));
        QTest::keyClick(combo(0), Qt::Key_Return);
        QVERIFY(combo(1)->hasFocus());
        QCOMPARE(combo(0)->currentText(), QStringLiteral("s"));
        QTest::keyClicks(combo(1), QStringLiteral("time"));
        QTest::keyClick(combo(1), Qt::Key_Return);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("time"));
        QTest::keyClick(combo(2)->lineEdit(), Qt::Key_Return);
        settle();
        QVERIFY(field(0)->hasFocus());

        // Esc neither closes the form nor drops what is typed.
        field(2)->setText(QStringLiteral("MARIO"));
        QTest::keyClick(field(2), Qt::Key_Escape);
        QVERIFY(form->isVisible());
        QCOMPARE(field(2)->text(), QStringLiteral("MARIO"));

        combo(0)->setEditText(QStringLiteral("SMALL"));
        combo(1)->setEditText(QStringLiteral("TIME"));
        form->cmdCancel_Click();
        for (int i = 0; i < 7; ++i)
            QCOMPARE(field(i)->text(), QString());
        QCOMPARE(combo(0)->currentText(), QStringLiteral("SMALL"));
        QCOMPARE(combo(1)->currentText(), QStringLiteral("TIME"));
        QCOMPARE(bibBox()->text(), QStringLiteral("....."));
        QVERIFY(!button("cmdCancel")->isEnabled());
    }

    void deleteKeepsHandlerAndDog() {
        db().exec(QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale) VALUES ('CF')"));
        db().exec(QStringLiteral("INSERT INTO TblCani (Microchip) VALUES ('CHIP2')"));
        entry(G, 1);
        entry(G, 2);
        open();
        test::StrictResponder r;
        QVERIFY(!button("cmdDelete")->isEnabled());
        auto* list = form->lista();
        const QRect rect = list->visualRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(button("cmdDelete")->isEnabled());
        r.queue(vbYes);
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(r.shown()[0].text, QStringLiteral("Confermi la cancellazione del record corrente?"));
        QCOMPARE(r.shown()[0].style, vbYesNo + vbCritical);
        QCOMPARE(listColumn(0), QStringList({"1"}));
        QCOMPARE(label("LblNumRecords"), QStringLiteral("1"));
        QCOMPARE(count("SELECT COUNT(*) FROM TblConduttori") + count("SELECT COUNT(*) FROM TblCani"), 2);
        QVERIFY(!button("cmdDelete")->isEnabled());
    }

    void bibHeaderSortsByNumberAndReverses() {
        for (int bib : {10, 2, 11, 1})
            entry(G, bib);
        open();
        form->lista()->setRighe({{"10"}, {"2"}, {"11"}, {"1"}});
        QHeaderView* header = form->lista()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(0) + 5, header->height() / 2));
        QCOMPARE(listColumn(0), QStringList({"1", "2", "10", "11"}));
        form->lista()->clicIntestazione(0);
        QCOMPARE(listColumn(0), QStringList({"11", "10", "2", "1"}));
        QCOMPARE(test::cutHeadings(form->lista()), QStringList());
    }
};

QTEST_MAIN(frmIscrizioneTest)
#include "frmIscrizioneTest.moc"
