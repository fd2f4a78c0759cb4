// The three report forms: enabling of "Stampa", the offer, the rankings' run choice, and
// what each prints on the recording printer (header, rows, page breaks, footers, orientation).
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
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <memory>

using namespace zar;
using namespace zar::test;

namespace {

enum Kind { Partenza, Classifica, Iscritti };

bool near(double a, double b) {
    return std::abs(a - b) < 0.001;
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
        for (const QStringList& row : listRows(form.get(), "LstInsRisultati"))
            out << row.value(c);
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
    // The line advance of the bold Times New Roman rows at a size: the width of "Abc".
    double advance(int points) {
        EasyPrint ep(*printer);
        ep.setFontName(QStringLiteral("Times New Roman"));
        ep.setFontBold(true);
        ep.setFontSize(points);
        return ep.TextWidth(QStringLiteral("Abc"));
    }
    // Opens the report on the test competition with its filters chosen and prints it.
    QList<PrintedCall> printChosen(Kind kind) {
        open(kind);
        chooseSelection(form.get(),
                        QStringList{kGara, "TIME", "JUNIOR", "SMALL"}.mid(0, kind == Iscritti ? 1 : 4));
        printer->clear();
        form->cmdPrint_Click();
        return printer->calls();
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

    // "Stampa" comes on once the competition and the three filters are chosen and stays on when
    // one is emptied; the entrants need nothing. The last competition is offered once per opening.
    void printEnablingAndOffer() {
        riempiGara(db(), 1);
        const QStringList steps{"0=" + kGara, "1=TIME", "2=JUNIOR", "3=SMALL", "2="};
        for (Kind kind : {Partenza, Classifica}) {
            open(kind);
            QList<bool> seen{printEnabled()};
            for (const QString& s : steps) {
                leave(s.left(1).toInt(), s.mid(2));
                seen << printEnabled();
            }
            QCOMPARE(seen, QList<bool>({false, false, false, false, true, true}));
        }
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), kGara);
        const char* offers[] = {"le PARTENZE", "le CLASSIFICHE", "la LISTA DEGLI ISCRITTI"};
        for (Kind kind : {Partenza, Classifica, Iscritti}) {
            answer({vbYes});
            open(kind);
            QCOMPARE(printEnabled(), kind == Iscritti);
            QCOMPARE(text(form.get(), "Lbl_Localita") + QString::number(column(0).size()),
                     QStringLiteral("Roma1"));
            leave(0, kGara);
            combo(0)->setFocus(Qt::TabFocusReason);
            settle();
            QCOMPARE(described(takeBoxes()),
                     QStringList{described("Ultime iscrizioni fatte per la gara : " + kGara +
                                               "\n\rStampare " + offers[kind] + " per questa gara?",
                                           vbYesNo + vbExclamation)});
        }
    }

    void rankingsFollowTheRunChoice() {
        riempiGara(db(), 4);
        // bib: run 1, run 2, combined places and run-1 points; the list sorts by the chosen run
        const QVariantList places[] = {
            {2, 9999, 9999, 80}, {1, 1, 1, 12.5}, {9990, 2, 2, 0.5}, {{}, 3, 3, {}}};
        for (int bib = 1; bib <= 4; ++bib)
            db().exec(
                "UPDATE TblIscrizioni SET ClassificaRun1 = ?, ClassificaRun2 = ?, ClassificaCombinata = ?, "
                "PunteggioRun1 = ? WHERE Pettorale = ?",
                places[bib - 1] + QVariantList{bib});
        open(Classifica);
        leave(0, kGara);
        QCOMPARE(column(1) + column(0), QStringList({"4", "2", "1", "3", "", "1", "2", "9990"}));
        QTest::mouseClick(child<QRadioButton>(form.get(), "Opt_Run_2"), Qt::LeftButton);
        QCOMPARE(column(1) + column(0), QStringList({"2", "3", "4", "1", "1", "2", "3", "9999"}));
    }

    // Each variant prints two portrait pages' worth of rows from 80 mm one line advance apart,
    // numbered on from page to page, a footer on each page, the header on each page with its
    // texts at their millimetres (lines one advance apart, the date ending at the band's right
    // edge, headings centred), and leaves the printer in portrait.
    void headerOfEachVariant() {
        const double a12 = advance(12), a10 = advance(10);
        const int n = 2 * (int(std::floor(200 / a10)) + 1);
        // the band's right edge, the limit of the rows from 80 mm, where the bibs are centred
        const std::tuple<Kind, double, double, double> cases[] = {
            {Partenza, 195, 200, 37.5}, {Classifica, 282, 115, 36}, {Iscritti, 195, 200, 22}};
        // text, x, y: the column headings, from 67 mm down, are centred on x
        const std::tuple<Kind, const char*, double, double> texts[] = {
            {Partenza, "STAMPA ORDINE PARTENZA ", 15, 28},
            {Partenza, "Località  : Roma", 15, 36 + a12},
            {Partenza, "Categoria : TIME    Classe : JUNIOR    Taglia : SMALL", 15, 36 + 3 * a12},
            {Partenza, "Part.", 22.5, 67 + a10},
            {Partenza, "Nome Cane", 162.5, 70},
            {Classifica, "1° RUN", 95, 28},
            {Classifica, "Tempo", 265, 70},
            {Iscritti, "Giudice   : ", 15, 36 + 2 * a12},
            {Iscritti, "Annot.", 189.5, 70},
        };
        riempiGara(db(), n);
        for (const auto& [kind, right, limit, bibX] : cases) {
            const QList<PrintedCall> calls = printChosen(kind);
            const int perPage = int(std::floor(limit / a10)) + 1, pages = n / perPage + 1;
            for (const auto& [of, text, x, y] : texts) {
                const PrintedCall* p = find(calls, text, pages);
                QVERIFY2(of != kind || (p && near(y < 67 ? p->x : p->x + p->width / 2, x) && near(p->y, y)),
                         text);
            }
            const PrintedCall* date = find(calls, DataIntestazione(QDate::currentDate()), pages);
            QVERIFY(date && near(date->x + date->width, right) && near(date->y, 25) && date->italic);
            for (int page = 1; page <= pages; ++page) {
                QVERIFY(find(calls, QStringLiteral("pag.%1").arg(page), page));
                int k = 0;
                for (const PrintedCall& p : calls)
                    if (p.page == page && p.kind == PrintedCall::Kind::Text && p.y > 79.9 &&
                        p.y < 80 + limit + 1 && near(p.x + p.width / 2, bibX)) {
                        QCOMPARE(p.text, QString::number((page - 1) * perPage + k + 1));
                        QVERIFY(std::abs(p.y - (80 + k++ * a10)) < 0.01);
                    }
                QCOMPARE(k, std::min(perPage, n - (page - 1) * perPage));
            }
            QVERIFY(!find(calls, QStringLiteral("pag.%1").arg(pages + 1), pages + 1));
            QCOMPARE(printer->Orientation(), int(vbPRORPortrait));
        }
    }

    // An empty list prints one page; a row whose advance ends exactly on the limit keeps the next
    // row on its page; the advance after the last row breaks too, leaving the header alone.
    void pageBreaks() {
        VarianteReport v = VariantePartenza();
        float limit = 0;
        for (int i = 0; i < 5; ++i)
            limit += float(advance(10));
        v.limitePagina = limit;
        DatiIntestazione d;
        d.logo = QImage(8, 8, QImage::Format_RGB32);
        EasyPrint ep(*printer);
        const int cases[][2] = {{0, 1}, {5, 1}, {6, 2}}; // rows, pages; the last row on page 1
        for (const auto& [rows, pages] : cases) {
            printer->clear();
            PaginaReport(ep, v, d).Stampa(rows, [](int r) {
                return RigaStampa{{CellaStampa::Allinea::Sinistra, 30, QStringLiteral("R%1").arg(r + 1)}};
            });
            const QList<PrintedCall>& calls = printer->calls();
            QVERIFY(find(calls, QStringLiteral("pag.%1").arg(pages), pages) &&
                    !find(calls, QStringLiteral("pag.%1").arg(pages + 1), pages + 1) &&
                    (rows == 0 || find(calls, QStringLiteral("R%1").arg(rows), 1)));
        }
    }
};

QTEST_MAIN(ReportsTest)
#include "ReportsTest.moc"
