#include "entries/frmClassifica.h"
#include "frame/IniReadWrite.h"
#include "support/FormDriver.h"
#include "support/FormHelpers.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {
const QString G = QStringLiteral("20240501ROMA");
}

class frmClassificaTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<frmClassifica> form;

    Database& db() { return *shared->dbGare; }
    QComboBox* combo(int i) { return child<QComboBox>(form.get(), QStringLiteral("Cmb_Field_%1").arg(i)); }
    QLineEdit* box(int i) { return child<QLineEdit>(form.get(), QStringLiteral("Txt_Clss_%1").arg(i)); }
    QPushButton* button(const char* name) { return child<QPushButton>(form.get(), QString::fromUtf8(name)); }
    QString label(const char* name) { return child<QLabel>(form.get(), QString::fromUtf8(name))->text(); }
    ListaIscritti* list() { return child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati")); }
    QVariant field(const char* name, int bib) {
        return db().scalar(
            QStringLiteral("SELECT %1 FROM TblIscrizioni WHERE Pettorale = ?").arg(QLatin1String(name)),
            {bib});
    }

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void entry(int bib, const QString& classe = QStringLiteral("JUNIOR")) {
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, 'CF', ?, 'TIME', ?, 'SMALL')"),
            {G, bib, QStringLiteral("CHIP%1").arg(bib), classe});
    }

    void open() {
        form = std::make_unique<frmClassifica>(*shared);
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void select(const QString& gara = G) {
        const QString values[] = {gara, QStringLiteral("TIME"), QStringLiteral("JUNIOR"),
                                  QStringLiteral("SMALL")};
        for (int i = 0; i < 4; ++i) {
            combo(i)->setFocus(Qt::TabFocusReason);
            settle();
            combo(i)->setEditText(values[i]);
        }
        box(0)->setFocus(Qt::TabFocusReason);
        settle();
    }

    int rowOf(const QString& bib) {
        for (int r = 0; r < list()->modello()->rowCount(); ++r)
            if (list()->modello()->testo(r, 0) == bib)
                return r;
        return -1;
    }

    void clickRow(const QString& bib) {
        const QRect rect = list()->visualRect(list()->model()->index(rowOf(bib), 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    QStringList column(int c) {
        QStringList out;
        for (int r = 0; r < list()->modello()->rowCount(); ++r)
            out << list()->modello()->testo(r, c);
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
    }

    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
    }

    void unreadableSettingsFileIsShownAndTheFormGoesOn() {
        // The settings path is a folder: the last competition and the time limits cannot be read.
        QVERIFY(QDir().mkpath(shared->iniPath()));
        entry(1);
        test::StrictResponder r;
        open();
        QCOMPARE(r.shown().size(), 2);
        for (const MsgBoxRecord& m : r.shown()) {
            QVERIFY2(m.text.startsWith(QStringLiteral("Impossibile leggere il file delle impostazioni \"%1\"")
                                           .arg(shared->iniPath())),
                     qPrintable(m.text));
            QVERIFY(m.text.contains(QStringLiteral("al suo posto c'è una cartella")));
        }
        select();
        QCOMPARE(column(0), QStringList({"1"}));
    }

    void listsOnlyWhenAllFourBoxesHoldText() {
        for (int bib : {1, 2, 10, 11})
            entry(bib);
        entry(3, QStringLiteral("SENIOR"));
        open();
        test::StrictResponder r;
        QCOMPARE(list()->modello()->rowCount(), 0);
        select();
        QCOMPARE(column(0), QStringList({"1", "2", "10", "11"}));
        QCOMPARE(label("LblNumRecords"), QStringLiteral("4"));
        QCOMPARE(label("Lbl_Gara"), QStringLiteral("Trofeo"));
        QCOMPARE(label("Lbl_Data"), QStringLiteral("01/05/2024"));
        QCOMPARE(list()->model()->columnCount(), 12);

        // The scores list sorts as text and never reverses.
        QHeaderView* header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(0) + 5, header->height() / 2));
        QCOMPARE(column(0), QStringList({"1", "10", "11", "2"}));
        list()->clicIntestazione(0);
        QCOMPARE(column(0), QStringList({"1", "10", "11", "2"}));
        QCOMPARE(test::cutHeadings(list()), QStringList());

        // An emptied box empties the list; the count keeps its text.
        combo(3)->setFocus(Qt::TabFocusReason);
        settle();
        combo(3)->setEditText(QString());
        box(0)->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(list()->modello()->rowCount(), 0);
        QCOMPARE(label("LblNumRecords"), QStringLiteral("4"));
        QVERIFY(r.texts().isEmpty());
    }

    void lastCompetitionOfferedOnce() {
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), G);
        test::StrictResponder r;
        r.queue(vbYes);
        open(); // the form opens with the focus in the competition box
        combo(0)->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(r.shown().size(), 1);
        QCOMPARE(r.shown()[0].text, QStringLiteral("Ultime iscrizioni fatte per la gara : 20240501ROMA\n\r"
                                                   "Inserire la CLASSIFICA per questa gara?"));
        QCOMPARE(r.shown()[0].style, vbYesNo + vbExclamation);
        QCOMPARE(combo(0)->currentText(), G);
        QCOMPARE(label("Lbl_Localita"), QStringLiteral("Roma"));
        box(0)->setFocus(Qt::TabFocusReason);
        settle();
        combo(0)->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(r.shown().size(), 1); // not asked again

        form.reset();
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), QStringLiteral("GONE"));
        r.clear();
        r.queue(vbYes);
        open();
        combo(0)->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(r.texts().last(),
                 QStringLiteral("Gara : GONE\n\rNon trovata tra le registrazioni delle gare!"));
        QCOMPARE(r.shown().last().style, int(vbOKOnly));
        QCOMPARE(combo(0)->currentText(), QString());
    }

    void rowClickAndRunOptions() {
        entry(4);
        db().exec("UPDATE TblIscrizioni SET PunteggioRun1 = 85, TempoRun1 = ?", {1 + 30.5 / 60});
        open();
        test::StrictResponder r;
        select();
        QCOMPARE(form->windowTitle(), QStringLiteral("Classifica"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(box(i)->toolTip(),
                     i % 2 ? QStringLiteral("Inserire Tempo in formato ... mmsscc ...") : QString());
        QVERIFY(box(0)->isEnabled());
        QVERIFY(!box(2)->isEnabled());
        QVERIFY(!button("cmdSave")->isEnabled());
        clickRow("4");
        QCOMPARE(label("Lbl_SceltaPettorale"), QStringLiteral("4"));
        QCOMPARE(box(0)->text(), QStringLiteral("85"));
        QCOMPARE(box(1)->text(), QStringLiteral("013050"));
        QCOMPARE(box(2)->text(), QString());
        QCOMPARE(box(3)->text(), QString());
        QVERIFY(button("cmdSave")->isEnabled());
        QVERIFY(!button("cmdCancel")->isEnabled());
        QTest::mouseClick(child<QRadioButton>(form.get(), "Opt_Run_1"), Qt::LeftButton);
        QVERIFY(!box(0)->isEnabled() && !box(1)->isEnabled());
        QVERIFY(box(2)->isEnabled() && box(3)->isEnabled());
        // Starting a label edit (F2) enables both buttons.
        list()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list(), Qt::Key_F2);
        QVERIFY(button("cmdSave")->isEnabled() && button("cmdCancel")->isEnabled());
        QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
        QVERIFY(!button("cmdSave")->isEnabled() && !button("cmdCancel")->isEnabled());
        QCOMPARE(box(0)->text(), QStringLiteral("85"));
    }

    void enterFlows() {
        entry(4);
        open();
        test::StrictResponder r;
        select();
        clickRow("4");
        box(0)->setFocus(Qt::TabFocusReason);
        box(0)->setText(QStringLiteral("201"));
        QTest::keyClick(box(0), Qt::Key_Return);
        QVERIFY(box(0)->hasFocus());
        box(0)->setText(QStringLiteral("200"));
        box(1)->setText(QStringLiteral("0130"));
        QTest::keyClick(box(0), Qt::Key_Return);
        QVERIFY(box(1)->hasFocus());
        settle();
        QCOMPARE(box(1)->selectedText(), QStringLiteral("0130")); // the time box selects its text
        box(1)->setText(QStringLiteral("01305"));
        QTest::keyClick(box(1), Qt::Key_Return);
        QVERIFY(r.texts().isEmpty()); // five characters: nothing saved
        QVERIFY(box(1)->hasFocus());
        QVERIFY(field("PunteggioRun1", 4).isNull());
        // Enter in a box of the other run does nothing.
        box(2)->setText(QStringLiteral("013050"));
        QTest::keyClick(box(2), Qt::Key_Return);
        QVERIFY(r.texts().isEmpty());

        box(1)->setText(QStringLiteral("013050"));
        r.queue(vbYes);
        QTest::keyClick(box(1), Qt::Key_Return);
        QCOMPARE(r.texts(), QStringList({QStringLiteral("Confermi il salvataggio dei dati?.")}));
        QCOMPARE(field("PunteggioRun1", 4).toDouble(), 200.0);
        QVERIFY(!button("cmdSave")->isEnabled());
    }

    void saveWritesTheChosenRunAndTheCombinedValues() {
        entry(4);
        entry(5);
        db().exec("UPDATE TblIscrizioni SET PunteggioCombinata = 7, TempoCombinata = 3");
        open();
        test::StrictResponder r;
        select();
        clickRow("4");
        box(0)->setText(QStringLiteral("85"));
        box(1)->setText(QStringLiteral("013050"));
        box(2)->setText(QStringLiteral("90"));
        box(3)->setText(QStringLiteral("012000"));
        r.queue(vbNo);
        form->cmdSave_Click();
        QVERIFY(field("PunteggioRun1", 4).isNull());
        QVERIFY(button("cmdSave")->isEnabled());

        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(field("PunteggioRun1", 4).toDouble(), 85.0);
        QVERIFY(qAbs(field("TempoRun1", 4).toDouble() - (1 + 30.5 / 60)) < 1e-12);
        QVERIFY(field("PunteggioRun2", 4).isNull()); // the other run is not written
        QCOMPARE(field("PunteggioCombinata", 4).toDouble(), 175.0);
        QVERIFY(qAbs(field("TempoCombinata", 4).toDouble() - (1 + 30.5 / 60 + 1 + 20.0 / 60)) < 1e-12);
        QCOMPARE(list()->modello()->testo(rowOf("4"), 4), QStringLiteral("01'30\"50"));

        // Run 2 points box empty: the stored combined values stay.
        clickRow("5");
        box(0)->setText(QStringLiteral("60"));
        box(2)->clear();
        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(field("PunteggioCombinata", 5).toDouble(), 7.0);
        QCOMPARE(field("TempoCombinata", 5).toDouble(), 3.0);

        // A time survives a row click and a second save unchanged.
        const double before = field("TempoRun1", 4).toDouble();
        clickRow("4");
        QCOMPARE(box(1)->text(), QStringLiteral("013050"));
        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(field("TempoRun1", 4).toDouble(), before);
    }

    void saveGoesToTheChosenEntryAfterTheBoxesChanged() {
        const QString G2 = QStringLiteral("20240601MILANO");
        entry(4);
        entry(3, QStringLiteral("SENIOR"));
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, Microchip, Categoria, Classe, "
                           "Taglia) VALUES (?, 4, 'OTHER', 'TIME', 'JUNIOR', 'SMALL')"),
            {G2});
        const auto result = [&](const QString& gara, int bib, const char* name) {
            return db().scalar(
                QStringLiteral("SELECT %1 FROM TblIscrizioni WHERE CodiceGara = ? AND Pettorale = ?")
                    .arg(QLatin1String(name)),
                {gara, bib});
        };
        open();
        test::StrictResponder r;
        select();
        clickRow("4");
        // Another class: the chosen entry is saved and its own group ranked.
        combo(2)->setFocus(Qt::TabFocusReason);
        settle();
        combo(2)->setEditText(QStringLiteral("SENIOR"));
        box(0)->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(column(0), QStringList({"3"}));
        box(0)->setText(QStringLiteral("85"));
        box(1)->setText(QStringLiteral("013050"));
        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(result(G, 4, "PunteggioRun1").toDouble(), 85.0);
        QVERIFY(!result(G, 4, "ClassificaRun1").isNull());
        QVERIFY(result(G, 3, "ClassificaRun1").isNull());

        // Another competition with the same bib: its entry is another dog's and stays as it was.
        select(G2);
        box(0)->setText(QStringLiteral("70"));
        r.queue(vbYes);
        form->cmdSave_Click();
        QCOMPARE(result(G, 4, "PunteggioRun1").toDouble(), 70.0);
        QVERIFY(result(G2, 4, "PunteggioRun1").isNull());
    }

    void saveWithoutAMatchingEntryIsSilent() {
        entry(4);
        open();
        test::StrictResponder r;
        select();
        r.queue(vbYes);
        form->cmdSave_Click(); // no row chosen
        QCOMPARE(r.shown().size(), 1);
        QVERIFY(field("PunteggioRun1", 4).isNull());
    }
};

QTEST_MAIN(frmClassificaTest)
#include "frmClassificaTest.moc"
