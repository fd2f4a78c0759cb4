// The three report forms: enabling of "Stampa", the offer, the rankings' run choice, and
// what each prints on the recording printer (rows, page breaks, footers, orientation).
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
#include <QDate>
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <memory>

using namespace zar;
using namespace zar::test;

namespace {

const QString G = kGara;
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
        for (int i = 1; i < (kind == Iscritti ? 1 : 4); ++i)
            combo(i)->setEditText(QStringList{"", "TIME", "JUNIOR", "SMALL"}[i]);
        leave(0, G);
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
        const QStringList steps{"0=" + G, "1=TIME", "2=JUNIOR", "3=SMALL", "2="};
        for (Kind kind : {Partenza, Classifica}) {
            open(kind);
            QList<bool> seen{printEnabled()};
            for (const QString& s : steps) {
                leave(s.left(1).toInt(), s.mid(2));
                seen << printEnabled();
            }
            QCOMPARE(seen, QList<bool>({false, false, false, false, true, true}));
        }
        IniReadWrite("WRITE", "Ultima Gara", "Codice_Gara", shared->iniPath(), G);
        const char* offers[] = {"le PARTENZE", "le CLASSIFICHE", "la LISTA DEGLI ISCRITTI"};
        for (Kind kind : {Partenza, Classifica, Iscritti}) {
            answer({vbYes});
            open(kind);
            QCOMPARE(printEnabled(), kind == Iscritti);
            QCOMPARE(text(form.get(), "Lbl_Localita") + QString::number(column(0).size()),
                     QStringLiteral("Roma1"));
            leave(0, G);
            combo(0)->setFocus(Qt::TabFocusReason);
            settle();
            QCOMPARE(described(takeBoxes()),
                     QStringList{described("Ultime iscrizioni fatte per la gara : " + G + "\n\rStampare " +
                                               offers[kind] + " per questa gara?",
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
        leave(0, G);
        QCOMPARE(column(1), QStringList({"4", "2", "1", "3"}));
        QCOMPARE(column(0), QStringList({"", "1", "2", "9990"}));
        QTest::mouseClick(child<QRadioButton>(form.get(), "Opt_Run_2"), Qt::LeftButton);
        QCOMPARE(column(1), QStringList({"2", "3", "4", "1"}));
        QCOMPARE(column(0), QStringList({"1", "2", "3", "9999"}));
    }

    // The header of each variant at its millimetres, on the one page an empty list prints:
    // lines one advance apart, the date ending at the band's right edge, headings centred.
    void headerOfEachVariant() {
        const double a12 = advance(12), a10 = advance(10);
        const struct {
            Kind kind;
            double right;                                        // of the printed band
            QList<std::tuple<QString, double, double, bool>> at; // text, x, y, x is the centre
        } cases[] = {
            {Partenza,
             195,
             {{"STAMPA ORDINE PARTENZA ", 15, 28, false},
              {"Località  : Roma", 15, 36 + a12, false},
              {"Categoria : TIME    Classe : JUNIOR    Taglia : SMALL", 15, 36 + 3 * a12, false},
              {"Part.", 22.5, 67 + a10, true},
              {"Nome Cane", 162.5, 70, true}}},
            {Classifica, 282, {{"1° RUN", 95, 28, false}, {"Tempo", 265, 70, true}}},
            {Iscritti, 195, {{"Giudice   : ", 15, 36 + 2 * a12, false}, {"Annot.", 189.5, 70, true}}},
        };
        riempiGara(db(), 0);
        for (const auto& c : cases) {
            const QList<PrintedCall> calls = printChosen(c.kind);
            for (const auto& [text, x, y, centred] : c.at) {
                const PrintedCall* p = find(calls, text);
                QVERIFY2(p && near(centred ? p->x + p->width / 2 : p->x, x) && near(p->y, y),
                         qPrintable(text));
            }
            const PrintedCall* date = find(calls, DataIntestazione(QDate::currentDate()));
            QVERIFY(date && near(date->x + date->width, c.right) && near(date->y, 25) && date->italic);
            QVERIFY(find(calls, "pag.1") && !find(calls, "pag.2", 2));
        }
    }

    // Rows from 80 mm one line advance apart, numbered on from page to page, a footer on each
    // page; a last row that fills its page leaves a page with the header alone.
    void rowsPagesAndFooters() {
        const double a10 = advance(10);
        const struct {
            Kind kind;
            double limit, bibX; // rows go from 80 mm to 80 + limit
        } cases[] = {{Partenza, 200, 37.5}, {Classifica, 115, 36}, {Iscritti, 200, 22}};
        for (const auto& c : cases) {
            const int perPage = int(std::floor(c.limit / a10)) + 1;
            for (const char* t : {"TblIscrizioni", "TblConduttori", "TblCani", "TblGare"})
                db().exec(QStringLiteral("DELETE FROM ") + t);
            riempiGara(db(), 2 * perPage);
            const QList<PrintedCall> calls = printChosen(c.kind);
            for (int page = 1; page <= 3; ++page) {
                QVERIFY(find(calls, QStringLiteral("pag.%1").arg(page), page));
                int k = 0;
                for (const PrintedCall& p : calls)
                    if (p.page == page && p.kind == PrintedCall::Kind::Text && p.y > 79.9 &&
                        p.y < 80 + c.limit + 1 && near(p.x + p.width / 2, c.bibX)) {
                        QCOMPARE(p.text, QString::number((page - 1) * perPage + k + 1));
                        QVERIFY(std::abs(p.y - (80 + k++ * a10)) < 0.01);
                    }
                QCOMPARE(k, page < 3 ? perPage : 0);
            }
            QVERIFY(!find(calls, "pag.4", 4));
            QCOMPARE(printer->Orientation(), int(vbPRORPortrait));
        }
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
