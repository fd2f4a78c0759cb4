// The reports: the forms (enabling of "Stampa", the offer, the run choice), what each prints on
// the recording printer, the printed rows' texts, and the printing layer's placing of texts.
#include "frame/IniReadWrite.h"
#include "platform/Printer.h"
#include "platform/Shell.h"
#include "reports/EasyPrint.h"
#include "reports/ReportData.h"
#include "reports/ReportForms.h"
#include "reports/ReportFrame.h"
#include "reports/RigheReport.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/PrintedPdf.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using namespace zar;
using namespace zar::test;

class ReportsTest : public GuiTestBase {
    Q_OBJECT
    enum Kind { Partenza, Classifica, Iscritti };
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::shared_ptr<RecordingPrinter> printer;
    std::unique_ptr<FormReport> form;

    static bool near(double a, double b) { return std::abs(a - b) < 0.001; }
    static const PrintedCall* find(const QList<PrintedCall>& calls, const QString& text, int page = 1) {
        for (const PrintedCall& c : calls)
            if (c.kind == PrintedCall::Kind::Text && c.page == page && c.text == text)
                return &c;
        return nullptr;
    }
    // "x y" in millimetres: with a text, a text printed there; "@ x y", the point the next print takes.
    static QString at(double x, double y, const QString& text = "@") {
        const QString xy = QStringLiteral("%1 %2").arg(x, 0, 'f', 2).arg(y, 0, 'f', 2);
        return text == "@" ? "@ " + xy : xy + " " + text;
    }
    // The texts of a row's cells at the given x, "-" where the row has no cell there.
    static QString textsAt(const RigaStampa& row, std::initializer_list<double> xs) {
        QStringList out;
        for (double x : xs) {
            auto c =
                std::find_if(row.begin(), row.end(), [x](const CellaStampa& cell) { return cell.x == x; });
            out << (c == row.end() ? QStringLiteral("-") : c->testo);
        }
        return out.join('|');
    }

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
        form.reset(kind == Partenza     ? static_cast<FormReport*>(new frmReportPartenza(*shared))
                   : kind == Classifica ? static_cast<FormReport*>(new frmReportClassifica(*shared))
                                        : new frmReportIscritti(*shared));
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
    // Everything runs in the C locale: what is printed is Italian whatever the desktop's language.
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
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

    // A click on the third row that leaves a box selects the third row of the list the leave
    // reloads, or nothing where that list has none.
    void rowClickLeavingABoxPicksTheReloadedListsRow() {
        riempiGara(db(), 5);
        open(Partenza);
        leave(0, kGara);
        auto* lista = form->pannello()->LstInsRisultati;
        const QPoint third = lista->visualRect(lista->model()->index(2, 0)).center();
        for (const char* taglia : {"LARGE", "SMALL"}) {
            combo(3)->setFocus(Qt::TabFocusReason);
            combo(3)->setEditText(taglia);
            clickRowsAt(lista, third, false);
            QCOMPARE(selectedRows(lista), taglia[0] == 'S' ? "2|2" : "|-1");
        }
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
        const float a = float(advance(10));
        v.limitePagina = a + a + a + a + a; // five rows' advances, added up as the rows do
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

    // A text at its point on the paper, whatever the printer's unprintable strips (about 4.2 and
    // 5 mm, whole pixels at 600 dpi); a width keeps the longest beginning on the left, the longest
    // ending on the right; a printer fault shows the box and the report goes on.
    void easyPrintPlacesAndFits() {
        const double stripL = 99 * 25.4 / 600, stripT = 118 * 25.4 / 600;
        RecordingPrinter p({QMarginsF(stripL, stripT, stripL, stripT)});
        p.setFontName("Times New Roman");
        p.setFontSize(10);
        EasyPrint e(p);
        const auto W = [&](const QString& s) { return e.TextWidth(s); };
        const double H = e.TextHeight(QString());
        const QString M6 = "MMMMMM"; // 18.8 mm; seven M are 21.9 mm
        // what is printed: the texts, the boxes shown, the point the next print takes
        const std::pair<std::function<void()>, QStringList> cases[] = {
            {[&] { e.PrintLeft(20, 30, " Abc ", 0, 0); }, {at(20, 30, " Abc "), at(stripL, 30 + H)}},
            // a right indent moves the first line only; the fit keeps each line's ending
            {[&] { e.PrintRight(100, 30, "a\rxyzMMMMMMM", 5, 20); },
             {at(95 - W("a"), 30, "a"), at(100 - W(M6), 30 + H, M6), at(stripL, 30 + 2 * H)}},
            // a width just short of the text's: the last character goes
            {[&] { e.PrintLeft(20, 30, M6 + ".", 0, int(std::ceil(W(M6 + "."))) - 1); },
             {at(20, 30, M6), at(stripL, 30 + H)}},
            {[&] { e.PrintRight(100, 30, "xyzMMMMMMM", 0, 20); },
             {at(100 - W(M6), 30, M6), at(stripL, 30 + H)}},
            {[&] {
                 p.setOffline(true);
                 e.PrintCentre(105, 40, "persa", 0);
                 p.setOffline(false);
                 e.PrintLeft(20, 50, "dopo", 0, 0);
             },
             {at(20, 50, "dopo"),
              described("Errore nella routine di stampa\r\nErrore numero: 482\r\nErrore della stampante",
                        vbOKOnly + vbCritical, "EasyPrint"),
              at(stripL, 50 + H)}},
        };
        for (const auto& [act, expected] : cases) {
            p.clear();
            act();
            QStringList seen;
            for (const PrintedCall& call : p.calls())
                seen << at(call.x, call.y, call.kind == PrintedCall::Kind::Text ? call.text : "kind");
            QCOMPARE(seen << described(takeBoxes()) << at(e.CurrentX(), e.CurrentY()), expected);
        }
    }

    void rankingRows() {
        // run, place, points, time; printed: place, bib, points, time
        const std::tuple<int, const char*, const char*, const char*, const char*> cases[] = {
            {0, "1", "95", "00'41\"20", "1|7|95|00'41\"20"},
            {0, "9989", "12,5", " 00'30\"00 ", "9989|7|12,5| 00'30\"00 "}, // 12,5 reads as 12
            {0, "9990", "80", "02'10\"00", "F.T.|7|80|02'10\"00"},         // over the limit: still printed
            {1, "9991", "0", "00'00\"00", "N.C.|7|-|-"},                   // 0 points, zero time: blank
            {1, "9999", "0,5", "", "N.C.|7|-|-"},                          // 0,5 reads as 0
            {0, "0", "1", "x", "N.C.|7|1|x"},
            {2, "9990", "80", "02'10\"00", "F.T.|7|-|-"}, // combined, 9990 and over: neither
            {2, "9999", "80", "02'10\"00", "N.C.|7|-|-"},
            {2, "", "80", "02'10\"00", "N.C.|7|80|02'10\"00"}, // an empty place qualifies
        };
        for (const auto& [run, place, points, time, printed] : cases) {
            // Each run's own results sit in its own columns; the others hold decoys.
            QStringList cols{place, "7", "ROSSI MARIO", "FIDO", "BOXER", "1", "01", "2", "02", "3", "03"};
            cols[5 + run * 2] = points;
            cols[6 + run * 2] = time;
            QCOMPARE(textsAt(RigaClassifica(run, cols), {22, 36, 246, 265}), printed);
        }
    }

    void entrantRows() {
        // category, class, size; printed with the notes
        const char* cases[][4] = {{"TIME", "JUNIOR", "SMALL", "T.|JUN.|SMA.|____"},
                                  {"", "DEBUTTANTI", "MEDIUM", "N.T.|DEB.|MED.|____"},
                                  {"time", "SENIOR", "", "N.T.|SEN.||____"}};
        for (const auto& c : cases)
            QCOMPARE(textsAt(RigaIscritti({"1", "H", "D", c[0], c[1], c[2]}), {153, 165, 177.5, 189.5}),
                     c[3]);
    }

    // A print that cannot be written into "Stampe" (a plain file in its place) is told once, in
    // the "EasyPrint" box, and leaves the form open and the printer in portrait; with the folder
    // back, the same button prints.
    void anUnwritableStampeIsToldOnce() {
        riempiGara(db(), 40); // two pages
        const QString stampe = folder->file("Stampe");
        ShellRecorder shell;
        shared->printer = Printer::toPdfFolder(stampe);
        for (Kind kind : {Partenza, Classifica, Iscritti}) {
            QFile blocker(stampe);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            printChosen(kind);
            const QList<MsgBoxRecord> shown = takeBoxes();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].text.startsWith("Errore nella routine di stampa\r\nErrore numero: 75\r\n") &&
                         shown[0].style == vbOKOnly + vbCritical && shown[0].title == "EasyPrint",
                     qPrintable(described(shown[0])));
            QVERIFY(form->isVisible() && shell.opened.isEmpty());
            QCOMPARE(shared->printer->Orientation(), int(vbPRORPortrait));

            QVERIFY(QFile::remove(stampe));
            click(form.get(), "cmdPrint");
            QVERIFY(takeBoxes().isEmpty());
            QCOMPARE(QDir(stampe).entryList(QDir::Files | QDir::Hidden).size(), 1);
            QCOMPARE(shell.opened.size(), 1);
            QVERIFY(QDir(stampe).removeRecursively());
            shell.opened.clear();
        }
    }

    // Each report printed to a PDF file and read back: the rows stand one "Abc" of the font file
    // apart; a page holds the rows within its limit, and the advance after the last one breaks.
    void printedRowsAtTrueSize() {
        const double pitch = fontFileWidthMm(fontFile("Liberation Serif:bold"), QStringLiteral("Abc"), 10);
        // report, rows, x the bibs are centred on; rows on each page
        const std::tuple<Kind, int, double, const char*> cases[] = {{Partenza, 34, 37.5, "33 1"},
                                                                    {Iscritti, 33, 22, "33 0"},
                                                                    {Classifica, 19, 36, "19 0"},
                                                                    {Classifica, 18, 36, "18"}};
        for (const auto& [kind, rows, bibX, perPage] : cases) {
            cleanup();
            init();
            const QString pdf = folder->file(QStringLiteral("report.pdf"));
            shared->printer = Printer::toPdfFile(pdf);
            riempiGara(db(), rows);
            printChosen(kind);
            QVERIFY(takeBoxes().isEmpty());
            const PdfText text = pdfText(pdf);
            QStringList seen;
            for (int page = 1; page <= text.pages; ++page) {
                const QList<PdfWord> bibs = pdfColumn(text, page, bibX, 78);
                seen << QString::number(bibs.size());
                if (bibs.size() > 1) // the advance, measured over the page
                    QVERIFY(std::abs((bibs.last().yMin - bibs.first().yMin) / (bibs.size() - 1) - pitch) <
                            0.005);
            }
            QCOMPARE(seen.join(' '), QString::fromLatin1(perPage));
        }
    }

    void italianWhateverTheDesktop() {
        QCOMPARE(TestoPunti(12.5), QStringLiteral("12,5"));
        QCOMPARE(DataIntestazione(QDate(2026, 12, 7)), QStringLiteral("lunedì, 07 dicembre 2026"));
    }
};

QTEST_MAIN(ReportsTest)
#include "ReportsTest.moc"
