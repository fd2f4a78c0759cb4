// The three report forms: enabling of "Stampa", the offer, the rankings' run choice, and
// what each prints on the recording printer (header, rows, page breaks, footers).
#include "frame/IniReadWrite.h"
#include "platform/Printer.h"
#include "reports/EasyPrint.h"
#include "reports/ReportData.h"
#include "reports/ReportForms.h"
#include "reports/ReportFrame.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <memory>

using namespace zar;
using namespace zar::test;

namespace {

const QString G = kGara;
enum Kind { Partenza, Classifica, Iscritti };
enum Anchor { L, R, C }; // a text's x is its left edge, right edge or centre

bool near(double a, double b) {
    return std::abs(a - b) < 0.001;
}

double anchorX(const PrintedCall& c, int a) {
    return a == L ? c.x : a == R ? c.x + c.width : c.x + c.width / 2;
}

const PrintedCall* find(const QList<PrintedCall>& calls, const QString& text, int page = 1) {
    for (const PrintedCall& c : calls)
        if (c.kind == PrintedCall::Kind::Text && c.page == page && c.text == text)
            return &c;
    return nullptr;
}

} // namespace

class ReportsTest : public GuiTestBase {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::shared_ptr<RecordingPrinter> printer;
    std::unique_ptr<FormReport> form;

    Database& db() { return *shared->dbGare; }
    QComboBox* combo(int i) { return child<QComboBox>(form.get(), QStringLiteral("Cmb_Field_%1").arg(i)); }
    bool printEnabled() { return child<QPushButton>(form.get(), "cmdPrint")->isEnabled(); }
    QStringList column(int c) {
        QStringList out;
        for (int r = 0; r < form->pannello()->LstInsRisultati->modello()->rowCount(); ++r)
            out << form->pannello()->LstInsRisultati->modello()->testo(r, c);
        return out;
    }

    void open(Kind kind) {
        if (kind == Partenza)
            form = std::make_unique<frmReportPartenza>(*shared);
        else if (kind == Classifica)
            form = std::make_unique<frmReportClassifica>(*shared);
        else
            form = std::make_unique<frmReportIscritti>(*shared);
        showActive(form.get());
        settle();
    }
    // Types into box i and leaves it for the list.
    void leave(int i, const QString& text) {
        combo(i)->setFocus(Qt::TabFocusReason);
        settle();
        combo(i)->setEditText(text);
        form->pannello()->LstInsRisultati->setFocus(Qt::TabFocusReason);
        settle();
    }
    // Chooses TIME, JUNIOR, SMALL and the competition, then prints.
    QList<PrintedCall> print(Kind kind) {
        open(kind);
        for (int i = 1; i < (kind == Iscritti ? 1 : 4); ++i)
            combo(i)->setEditText(QStringList{"", "TIME", "JUNIOR", "SMALL"}[i]);
        leave(0, G);
        printer->clear();
        form->cmdPrint_Click();
        return printer->calls();
    }
    // The line advance: the width of "Abc" in bold Times New Roman.
    double advance(int points) {
        EasyPrint ep(*printer);
        ep.setFontName(QStringLiteral("Times New Roman"));
        ep.setFontBold(true);
        ep.setFontSize(points);
        return ep.TextWidth(QStringLiteral("Abc"));
    }

private slots:
    void init() {
        GuiTestBase::init();
        folder = std::make_unique<TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        printer = std::make_shared<RecordingPrinter>();
        shared->printer = printer;
    }
    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
        GuiTestBase::cleanup();
    }

    void printEnabling_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("steps");   // box=text left, in turn; none: the offer taken
        QTest::addColumn<QList<bool>>("enabled"); // after each step
        QTest::addColumn<QString>("question");
        const QStringList three{"1=TIME", "2=JUNIOR", "3=SMALL", "2="};
        const QList<bool> third{false, false, true, true}; // and kept when a box is emptied
        QTest::newRow("start: competition")
            << int(Partenza) << QStringList{"0=" + G} << QList<bool>{false} << "";
        QTest::newRow("start: filters") << int(Partenza) << three << third << "";
        QTest::newRow("start: offer") << int(Partenza) << QStringList{} << QList<bool>{false}
                                      << "Stampare le PARTENZE per questa gara?";
        QTest::newRow("rankings: filters") << int(Classifica) << three << third << "";
        QTest::newRow("rankings: offer") << int(Classifica) << QStringList{} << QList<bool>{false}
                                         << "Stampare le CLASSIFICHE per questa gara?";
        QTest::newRow("entrants: empty box") << int(Iscritti) << QStringList{"0="} << QList<bool>{true} << "";
        QTest::newRow("entrants: offer") << int(Iscritti) << QStringList{} << QList<bool>{true}
                                         << "Stampare la LISTA DEGLI ISCRITTI per questa gara?";
    }
    void printEnabling() {
        QFETCH(int, kind);
        QFETCH(QStringList, steps);
        QFETCH(QList<bool>, enabled);
        QFETCH(QString, question);
        riempiGara(db(), 1);
        if (steps.isEmpty()) {
            IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), G);
            answer({vbYes});
        }
        open(Kind(kind)); // with the focus in the competition box
        QCOMPARE(printEnabled(), steps.isEmpty() && enabled[0]);
        for (int s = 0; s < steps.size(); ++s) {
            leave(steps[s].left(1).toInt(), steps[s].mid(2));
            QCOMPARE(printEnabled(), enabled[s]);
        }
        if (steps.isEmpty()) {
            QCOMPARE(child<QLabel>(form.get(), "Lbl_Localita")->text(), QStringLiteral("Roma"));
            QCOMPARE(column(0).size(), 1);
            leave(0, G);
            combo(0)->setFocus(Qt::TabFocusReason); // asked once per opening
            settle();
            QCOMPARE(described(takeBoxes()),
                     QStringList{described("Ultime iscrizioni fatte per la gara : " + G + "\n\r" + question,
                                           vbYesNo + vbExclamation)});
        }
    }

    void rankingsFollowTheRunChoice() {
        riempiGara(db(), 4);
        // bib: run 1, run 2, combined places and run-1 points
        const QVariantList places[] = {
            {2, 9999, 9999, 80}, {1, 1, 1, 12.5}, {9990, 2, 2, 0.5}, {{}, 3, 3, {}}};
        for (int bib = 1; bib <= 4; ++bib)
            db().exec(
                "UPDATE TblIscrizioni SET ClassificaRun1 = ?, ClassificaRun2 = ?, ClassificaCombinata = ?, "
                "PunteggioRun1 = ? WHERE Pettorale = ?",
                places[bib - 1] + QVariantList{bib});
        open(Classifica);
        leave(0, G);
        QCOMPARE(column(1), QStringList({"4", "2", "1", "3"}));
        QCOMPARE(column(0), QStringList({"", "1", "2", "9990"}));
        QCOMPARE(column(5), QStringList({"", "12,5", "80", "0,5"}));
        QTest::mouseClick(child<QRadioButton>(form.get(), "Opt_Run_2"), Qt::LeftButton);
        QCOMPARE(column(1), QStringList({"2", "3", "4", "1"}));
        QCOMPARE(column(0), QStringList({"1", "2", "3", "9999"}));
        QCOMPARE(column(5), QStringList({"12,5", "0,5", "", "80"}));
        form->pannello()->LstInsRisultati->clicIntestazione(1); // no header sorting here
        QCOMPARE(column(1), QStringList({"2", "3", "4", "1"}));
        printer->clear();
        form->cmdPrint_Click();
        QVERIFY(find(printer->calls(), "COMBINATA") && find(printer->calls(), "N.C."));
    }

    // The header's lines follow one another by the advance of their font; the date ends at
    // the band's right edge, which landscape moves; the entrants have no category line.
    void headerOfEachVariant() {
        riempiGara(db(), 0);
        const double a12 = advance(12), a10 = advance(10);
        const struct {
            Kind kind;
            double right; // of the printed band
            int texts;    // header texts, the date and the footer included
            QList<std::tuple<QString, int, double, double>> at;
        } cases[] = {
            {Partenza,
             195,
             13,
             {{"Località  : Roma", L, 15, 36 + a12},
              {"Categoria : TIME    Classe : JUNIOR    Taglia : SMALL", L, 15, 36 + 3 * a12},
              {"Part.", C, 22.5, 67 + a10}}},
            {Classifica, 282, 15, {{"1° RUN", L, 95, 28}, {"Tempo", C, 265, 70}}},
            {Iscritti, 195, 13, {{"Giudice   : ", L, 15, 36 + 2 * a12}, {"Annot.", C, 189.5, 70}}},
        };
        for (const auto& c : cases) {
            const QList<PrintedCall> calls = print(c.kind);
            int texts = 0;
            for (const PrintedCall& p : calls)
                texts += p.kind == PrintedCall::Kind::Text;
            QCOMPARE(texts, c.texts);
            for (const auto& [text, anchor, x, y] : c.at) {
                const PrintedCall* p = find(calls, text);
                QVERIFY2(p && near(anchorX(*p, anchor), x) && near(p->y, y) && p->bold, qPrintable(text));
            }
            const PrintedCall* date = find(calls, DataIntestazione(QDate::currentDate()));
            QVERIFY(date && near(date->x + date->width, c.right) && near(date->y, 25) && date->italic);
            QCOMPARE(printer->Orientation(), int(vbPRORPortrait));
        }
    }

    void rowsPagesAndFooters_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("limit");      // rows go from 80 mm to 80 + limit
        QTest::addColumn<double>("fullFooter"); // y of "pag.N" on a full page; below 0: from the bottom
        QTest::addColumn<double>("lastFooter");
        QTest::addColumn<int>("lastSize");
        QTest::newRow("start order") << int(Partenza) << 200.0 << 285.0 << -10.0 << 8;
        QTest::newRow("rankings") << int(Classifica) << 115.0 << -9.0 << -9.0 << 10;
        QTest::newRow("entrants") << int(Iscritti) << 200.0 << 285.0 << -10.0 << 8;
    }
    void rowsPagesAndFooters() {
        QFETCH(int, kind);
        QFETCH(double, limit);
        QFETCH(double, fullFooter);
        QFETCH(double, lastFooter);
        QFETCH(int, lastSize);
        const double a10 = advance(10);
        const int perPage = int(std::floor(limit / a10)) + 1;
        // Two full pages: the advance after the last row breaks once more, to a header-only page.
        riempiGara(db(), 2 * perPage);
        const QList<PrintedCall> calls = print(Kind(kind));
        const double right = kind == Classifica ? 282 : 195, pageHeight = kind == Classifica ? 210 : 297;
        const double bibX = kind == Partenza ? 37.5 : kind == Classifica ? 36 : 22;
        for (int page = 1; page <= 3; ++page) {
            const PrintedCall* f = find(calls, QStringLiteral("pag.%1").arg(page), page);
            const double y = page < 3 ? fullFooter : lastFooter;
            QVERIFY(f && near(f->x + f->width, right) && near(f->y, y > 0 ? y : pageHeight + y));
            QCOMPARE(f->fontSize, page < 3 ? 10.0 : double(lastSize));
            QCOMPARE(f->bold, page < 3 || lastSize == 10);
            // The page's rows, from 80 mm one advance apart, numbered on from the last page.
            int k = 0;
            for (const PrintedCall& c : calls)
                if (c.page == page && c.kind == PrintedCall::Kind::Text && c.y > 79.9 &&
                    c.y < 80 + limit + 1 && near(anchorX(c, C), bibX)) {
                    QCOMPARE(c.text, QString::number((page - 1) * perPage + k + 1));
                    QVERIFY(std::abs(c.y - (80 + k++ * a10)) < 0.01);
                }
            QCOMPARE(k, page < 3 ? perPage : 0);
        }
        QVERIFY(!find(calls, "pag.4", 4));
        QCOMPARE(printer->jobsSent(), 1);
        QCOMPARE(printer->Orientation(), int(vbPRORPortrait));
    }

    // A row whose advance ends exactly on the limit keeps the next row on its page.
    void pageBreaksOnlyAboveTheLimit() {
        EasyPrint ep(*printer);
        VarianteReport v = VariantePartenza();
        DatiIntestazione d;
        d.logo = QImage(8, 8, QImage::Format_RGB32);
        PaginaReport probe(ep, v, d);
        probe.ImpostaPagina();
        probe.IntestazionePagina();
        probe.ImpostaInterlinea(10);
        float limit = 0;
        for (int i = 0; i < 5; ++i)
            limit += probe.Interlinea;
        v.limitePagina = limit;
        printer->clear();
        PaginaReport(ep, v, d).Stampa(6, [](int r) {
            return RigaStampa{{CellaStampa::Allinea::Sinistra, 30, QStringLiteral("R%1").arg(r + 1)}};
        });
        QVERIFY(find(printer->calls(), "R6", 1) && find(printer->calls(), "pag.2", 2));
    }
};

QTEST_MAIN(ReportsTest)
#include "ReportsTest.moc"
