#include "entries/frmClassifica.h"
#include "frame/IniReadWrite.h"
#include "support/EntriesDrivers.h"
#include "support/GuiTestBase.h"

#include <QRadioButton>
#include <QTest>

using namespace zar;
using namespace zar::test;

namespace {
const QString G = QStringLiteral("20240501ROMA"), G2 = QStringLiteral("20240601MILANO");
// The form's boxes as text|style|title.
const QString kConfirm = QStringLiteral("Confermi il salvataggio dei dati?.|36|ZAR");
const QString kOffer =
    QStringLiteral("Ultime iscrizioni fatte per la gara : %1\n\rInserire la CLASSIFICA per "
                   "questa gara?|52|ZAR");
const QString kNotFound = QStringLiteral("Gara : %1\n\rNon trovata tra le registrazioni delle gare!|0|ZAR");
} // namespace

class ClassificaFormTest : public GuiTestBase, FormBench<frmClassifica> {
    Q_OBJECT

    QLineEdit* clss(int i) { return child<QLineEdit>(f(), QStringLiteral("Txt_Clss_%1").arg(i)); }
    QString list(int c = 0) { return column(f(), "LstInsRisultati", c); }
    QString stored(const char* fields, int bib, const QString& gara = G) {
        return db()
            .scalar(QStringLiteral("SELECT %1 FROM TblIscrizioni WHERE CodiceGara = ? AND Pettorale = ?")
                        .arg(QLatin1String(fields)),
                    {gara, bib})
            .toString();
    }

    void setBox(int i, const QString& value) {
        focusOn(combo(i));
        combo(i)->setEditText(value);
        focusOn(clss(0));
    }
    void save(int answer) {
        GuiTestBase::answer({answer});
        form->cmdSave_Click();
        QCOMPARE(described(takeBoxes()), QStringList({kConfirm}));
    }

private slots:
    void init() {
        GuiTestBase::init();
        setUpBench(G);
        // Run times up to two minutes for the JUNIOR class.
        IniReadWrite("WRITE", "Impostazione Limiti Gara", "Tempo_Limite_2", shared->iniPath(), "020000");
    }

    void cleanup() {
        tearDownBench();
        GuiTestBase::cleanup();
    }

    void listsOnlyWhenAllFourBoxesHoldTextAndOffersTheLastCompetitionOnce() {
        for (int n : {1, 2, 10, 11})
            addEntry(db(), G, n);
        addEntry(db(), G, 3, QString(), "SENIOR");
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), G);
        answer({vbYes});
        open();
        focusOn(combo(0));
        focusOn(clss(0));
        QCOMPARE(described(takeBoxes()), QStringList({kOffer.arg(G)}));
        QCOMPARE(combo(0)->currentText() + text(f(), "Lbl_Localita") + list(), G + "Roma");
        focusOn(combo(0)); // the focus comes back to the box: not asked again
        chooseSelection(f(), {"TIME", "JUNIOR", "SMALL"}, 1);
        QVERIFY(takeBoxes().isEmpty());
        QCOMPARE(list(), QStringLiteral("1 2 10 11"));
        QCOMPARE(text(f(), "LblNumRecords") + text(f(), "Lbl_Gara") + text(f(), "Lbl_Data"),
                 QStringLiteral("4Trofeo01/05/2024"));
        // The scores list sorts as text and never reverses.
        auto* lista = child<ListaIscritti>(f(), "LstInsRisultati");
        lista->clicIntestazione(0);
        lista->clicIntestazione(0);
        QCOMPARE(list(), QStringLiteral("1 10 11 2"));
        QCOMPARE(cutHeadings(lista), QStringList());
        setBox(3, QString()); // an emptied box empties the list; the count keeps its text
        QCOMPARE(list() + text(f(), "LblNumRecords"), QStringLiteral("4"));

        // A competition no longer in the register.
        form.reset();
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), QStringLiteral("GONE"));
        answer({vbYes});
        open();
        focusOn(combo(0));
        QCOMPARE(described(takeBoxes()), QStringList({kOffer.arg("GONE"), kNotFound.arg("GONE")}));
        QCOMPARE(combo(0)->currentText(), QString());
    }

    void rowClickEnterAndSaveWriteTheChosenEntrysRunCombinedValuesAndPlaces() {
        for (int n : {4, 5, 6})
            addEntry(db(), G, n);
        addEntry(db(), G, 3, QString(), "SENIOR");
        addEntry(db(), G2, 4, "OTHER");
        db().exec("UPDATE TblIscrizioni SET PunteggioCombinata = 7, TempoCombinata = 3");
        open();
        chooseSelection(f(), {G, "TIME", "JUNIOR", "SMALL"});
        QVERIFY(clss(0)->isEnabled() && !clss(2)->isEnabled() && !enabled("cmdSave"));
        save(vbYes); // no row chosen: nothing stored
        pickRow(f(), "LstInsRisultati", "4", false);
        QVERIFY(enabled("cmdSave") && !enabled("cmdCancel"));
        const char* typed[] = {"85", "013050", "90", "012000"};
        for (int i = 0; i < 4; ++i)
            clss(i)->setText(typed[i]);
        save(vbNo);
        QCOMPARE(stored("PunteggioRun1 IS NULL", 4), QStringLiteral("1")); // answered no
        save(vbYes);
        QCOMPARE(
            stored("PunteggioRun1 || '/' || ROUND(TempoRun1 * 6000) || '/' || IFNULL(PunteggioRun2, '-') "
                   "|| '/' || PunteggioCombinata || '/' || ROUND(TempoCombinata * 6000)",
                   4),
            QStringLiteral("85.0/9050.0/-/175.0/17050.0"));
        QCOMPARE(list(4).split(' ').first(), QStringLiteral("01'30\"50"));
        // A row click brings the stored run back, and its time survives a second save unchanged.
        pickRow(f(), "LstInsRisultati", "4", false);
        QCOMPARE(text(f(), "Lbl_SceltaPettorale") + '|' + clss(0)->text() + '|' + clss(1)->text() + '|' +
                     clss(2)->text(),
                 QStringLiteral("4|85|013050|"));
        save(vbYes);
        QTest::mouseClick(child<QRadioButton>(f(), "Opt_Run_1"), Qt::LeftButton);
        QVERIFY(!clss(0)->isEnabled() && clss(2)->isEnabled() && clss(3)->isEnabled());
        QTest::mouseClick(child<QRadioButton>(f(), "Opt_Run_0"), Qt::LeftButton);
        // Enter: points over 200 stay, a time of five characters saves nothing.
        const std::tuple<int, const char*, const char*> steps[] = {
            {0, "201", "Txt_Clss_0"}, {0, "200", "Txt_Clss_1"}, {1, "01305", "Txt_Clss_1"}};
        for (const auto& [i, input, focus] : steps) {
            focusOn(clss(i));
            clss(i)->setText(input);
            QTest::keyClick(clss(i), Qt::Key_Return);
            QCOMPARE(focused(), QString::fromLatin1(focus));
        }
        QCOMPARE(stored("PunteggioRun1 || '/' || ROUND(TempoRun1 * 6000)", 4), QStringLiteral("85.0/9050.0"));

        // Run 2 points box empty: the stored combined values stay; points 0 take the marker.
        pickRow(f(), "LstInsRisultati", "5", false);
        clss(0)->setText("0");
        save(vbYes);
        QCOMPARE(stored("PunteggioCombinata || '/' || TempoCombinata || '/' || ClassificaRun1", 5),
                 QStringLiteral("7.0/3.0/9999"));
        // Over the class's limit: the time marker, whatever the points.
        pickRow(f(), "LstInsRisultati", "6", false);
        clss(0)->setText("90");
        clss(1)->setText("020001");
        save(vbYes);
        QCOMPARE(stored("ClassificaRun1", 6) + stored("ClassificaRun1", 4), QStringLiteral("99901"));
        // Boxes changed after the row click: the chosen entry is saved and its own group ranked;
        // the other competition's entry under the same bib is another dog's and stays as it was.
        pickRow(f(), "LstInsRisultati", "4", false);
        setBox(2, "SENIOR");
        QCOMPARE(list(), QStringLiteral("3"));
        setBox(0, G2);
        clss(0)->setText("0");
        save(vbYes);
        QCOMPARE(stored("PunteggioRun1 || '/' || ClassificaRun1", 4) + '/' +
                     stored("PunteggioRun1 IS NULL", 4, G2),
                 QStringLiteral("0.0/9999/1"));
    }

    // A click on the third row that leaves a box acts on the list the leave reloads, whether the
    // button comes up after the leave ran or before; after the leave's message box, on nothing.
    void rowClickLeavingABoxPicksTheReloadedListsRow() {
        for (int n : {1, 2, 3, 7, 8, 9})
            addEntry(db(), G, n, QString(), n < 5 ? "JUNIOR" : "SENIOR");
        db().exec("UPDATE TblIscrizioni SET PunteggioRun1 = Pettorale * 10");
        open();
        chooseSelection(f(), {G, "TIME", "JUNIOR", "SMALL"});
        auto* lista = child<ListaIscritti>(f(), "LstInsRisultati");
        const QPoint first = lista->visualRect(lista->model()->index(0, 0)).center();
        const QPoint third = lista->visualRect(lista->model()->index(2, 0)).center();
        const std::tuple<int, const char*, QPoint, bool, const char*> cases[] = {
            {2, "SENIOR", third, true, "9|90|2|2"},
            {2, "JUNIOR", third, false, "3|30|2|2"},
            {0, "GONE", first, true, "3|30|2|2"}}; // TblGare is gone by then
        for (const auto& [i, value, at, slow, chosen] : cases) {
            if (i == 0)
                db().exec("ALTER TABLE TblGare RENAME TO Altro");
            focusOn(combo(i));
            combo(i)->setEditText(value);
            clickRowsAt(lista, at, slow);
            QCOMPARE(text(f(), "Lbl_SceltaPettorale") + '|' + clss(0)->text() + '|' + selectedRows(lista),
                     QString::fromLatin1(chosen));
        }
        QCOMPARE(takeBoxes().value(0).style, int(vbCritical));
    }
};

QTEST_MAIN(ClassificaFormTest)
#include "ClassificaFormTest.moc"
