// The three report forms on their selection panel: enabling of "Stampa", the offer of the
// last competition, the rankings' run choice and the list sorting.
#include "reports/ReportForms.h"
#include "frame/IniReadWrite.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

const QString G = QStringLiteral("20240501ROMA");
enum Kind { Partenza, Classifica, Iscritti };

} // namespace

class ReportFormsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<FormReport> form;

    Database& db() { return *shared->dbGare; }
    QComboBox* combo(int i) { return child<QComboBox>(form.get(), QStringLiteral("Cmb_Field_%1").arg(i)); }
    QPushButton* print() { return child<QPushButton>(form.get(), "cmdPrint"); }
    ListaIscritti* list() { return child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati")); }

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void open(Kind kind) {
        switch (kind) {
        case Partenza:
            form = std::make_unique<frmReportPartenza>(*shared);
            break;
        case Classifica:
            form = std::make_unique<frmReportClassifica>(*shared);
            break;
        case Iscritti:
            form = std::make_unique<frmReportIscritti>(*shared);
            break;
        }
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        settle();
    }

    // Types into box i and leaves it for the list.
    void leave(int i, const QString& text) {
        combo(i)->setFocus(Qt::TabFocusReason);
        settle();
        combo(i)->setEditText(text);
        list()->setFocus(Qt::TabFocusReason);
        settle();
    }

    void entry(int bib, const QVariantList& places, const QString& classe = QStringLiteral("JUNIOR")) {
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia, ClassificaRun1, ClassificaRun2, "
                           "ClassificaCombinata, PunteggioRun1) "
                           "VALUES (?, ?, 'CF', ?, 'TIME', ?, 'SMALL', ?, ?, ?, ?)"),
            QVariantList{G, bib, QStringLiteral("CHIP%1").arg(bib), classe} + places);
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
        db().exec(QStringLiteral("INSERT INTO TblCani (Microchip, NomeCane, Razza) VALUES ('CHIP1', 'FIDO', "
                                 "'BOXER')"));
    }

    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
    }

    void printEnabling_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("steps");   // "i=text": box i left holding text; "offer"
        QTest::addColumn<QList<bool>>("enabled"); // after each step
        const QStringList three{"1=TIME", "2=JUNIOR", "3=SMALL"};
        for (int k : {Partenza, Classifica}) {
            const char* name = k == Partenza ? "start order" : "rankings";
            QTest::addRow("%s: competition alone", name) << k << QStringList{"0=" + G} << QList<bool>{false};
            QTest::addRow("%s: three filters, no competition, then one emptied", name)
                << k << three + QStringList{"2="} << QList<bool>{false, false, true, true};
            QTest::addRow("%s: the offer does not enable", name)
                << k << QStringList{"offer"} << QList<bool>{false};
        }
        QTest::addRow("entrants: empty competition box")
            << int(Iscritti) << QStringList{"0="} << QList<bool>{true};
        QTest::addRow("entrants: accepted offer")
            << int(Iscritti) << QStringList{"offer"} << QList<bool>{true};
    }

    void printEnabling() {
        QFETCH(int, kind);
        QFETCH(QStringList, steps);
        QFETCH(QList<bool>, enabled);
        const bool offer = steps.first() == QLatin1String("offer");
        test::StrictResponder r;
        if (offer) {
            IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), G);
            r.queue(vbYes);
        }
        open(Kind(kind)); // the form opens with the focus in the competition box
        combo(0)->setFocus(Qt::TabFocusReason);
        settle();
        if (!offer)
            QVERIFY(!print()->isEnabled());
        for (int s = 0; s < steps.size(); ++s) {
            if (!offer)
                leave(steps[s].left(1).toInt(), steps[s].mid(2));
            QCOMPARE(print()->isEnabled(), enabled[s]);
        }
        QCOMPARE(r.shown().size(), offer ? 1 : 0);
        QCOMPARE(r.pendingAnswers(), 0);
    }

    void offerAskedOncePerOpening() {
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), G);
        const char* questions[] = {"Stampare le PARTENZE per questa gara?",
                                   "Stampare le CLASSIFICHE per questa gara?",
                                   "Stampare la LISTA DEGLI ISCRITTI per questa gara?"};
        entry(1, {1, 1, 1, 90});
        for (int k : {Partenza, Classifica, Iscritti}) {
            test::StrictResponder r;
            r.queue(vbYes);
            open(Kind(k));
            combo(0)->setFocus(Qt::TabFocusReason);
            settle();
            QCOMPARE(r.texts(), QStringList{QStringLiteral("Ultime iscrizioni fatte per la gara : ") + G +
                                            "\n\r" + QString::fromUtf8(questions[k])});
            QCOMPARE(child<QLabel>(form.get(), "Lbl_Giudice")->text(), QStringLiteral("Verdi"));
            QCOMPARE(list()->modello()->rowCount(), 1);
            leave(0, G);
            combo(0)->setFocus(Qt::TabFocusReason);
            settle();
            QCOMPARE(r.shown().size(), 1);
            form.reset();
        }
    }

    void rankingsFollowTheRunChoice() {
        // bib: run 1, run 2, combined
        entry(1, {2, 9999, 9999, 80});
        entry(2, {1, 1, 1, 12.5});
        entry(3, {9990, 2, 2, 0.5});
        entry(4, {QVariant(), 3, 3, QVariant()});
        open(Classifica);
        test::StrictResponder r;
        leave(0, G);
        QCOMPARE(column(1), QStringList({"4", "2", "1", "3"}));
        QCOMPARE(column(0), QStringList({"", "1", "2", "9990"}));
        QCOMPARE(column(4), QStringList({"", "", "BOXER", ""}));
        QCOMPARE(column(5), QStringList({"", "12,5", "80", "0,5"}));
        QTest::mouseClick(child<QRadioButton>(form.get(), "Opt_Run_2"), Qt::LeftButton);
        QCOMPARE(form->RunScelta(), 2);
        QVERIFY(!child<QRadioButton>(form.get(), "Opt_Run_0")->isChecked());
        QCOMPARE(column(1), QStringList({"2", "3", "4", "1"}));
        QCOMPARE(column(0), QStringList({"1", "2", "3", "9999"}));
        QCOMPARE(column(5), QStringList({"12,5", "0,5", "", "80"}));
        // No header-click sorting on the rankings.
        list()->clicIntestazione(1);
        QCOMPARE(column(1), QStringList({"2", "3", "4", "1"}));
        QVERIFY(r.texts().isEmpty());
    }

    void headerClicksSortByNumber() {
        for (int bib : {10, 2, 11, 1})
            entry(bib, {bib == 2 ? 10 : bib, QVariant(), QVariant(), QVariant()});
        for (int k : {Partenza, Iscritti}) {
            open(Kind(k));
            test::StrictResponder r;
            leave(0, G);
            list()->clicIntestazione(0);
            QCOMPARE(column(0), QStringList({"1", "2", "10", "11"})); // by number, not as text
            list()->clicIntestazione(0);
            QCOMPARE(column(0), QStringList({"11", "10", "2", "1"})); // the same header reverses
            if (k == Partenza) {
                list()->clicIntestazione(6);
                QCOMPARE(column(6), QStringList({"11", "10", "10", "1"}));
                list()->clicIntestazione(6);
                QCOMPARE(column(6), QStringList({"1", "10", "10", "11"}));
            }
            form.reset();
        }
    }
};

QTEST_MAIN(ReportFormsTest)
#include "ReportFormsTest.moc"
