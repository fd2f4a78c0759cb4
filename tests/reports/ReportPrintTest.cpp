// The three reports printed from their forms on the recording printer: the page header of
// each variant at its millimetres, rows and cells, page breaks and footers.
#include "platform/Printer.h"
#include "reports/EasyPrint.h"
#include "reports/ReportForms.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <cmath>
#include <memory>

using namespace zar;
using zar::test::child;

namespace {

const QString G = QStringLiteral("20240501ROMA");
enum Kind { Partenza, Classifica, Iscritti };
enum Anchor { L, R, C }; // the x of a text: its left edge, right edge or centre

bool near(double a, double b) {
    return std::abs(a - b) < 0.001;
}

double anchorX(const PrintedCall& c, Anchor a) {
    return a == L ? c.x : a == R ? c.x + c.width : c.x + c.width / 2;
}

} // namespace

class ReportPrintTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::shared_ptr<RecordingPrinter> printer;
    std::unique_ptr<FormReport> form;

    Database& db() { return *shared->dbGare; }

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void entries(int n) {
        Transaction tx(db());
        for (int bib = 1; bib <= n; ++bib) {
            const QString cf = QStringLiteral("CF%1").arg(bib), chip = QStringLiteral("CHIP%1").arg(bib);
            db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, 'MARIO')",
                      {cf, QStringLiteral("ROSSI%1").arg(bib)});
            db().exec("INSERT INTO TblCani (Microchip, NomeCane, Razza) VALUES (?, ?, 'BOXER')",
                      {chip, QStringLiteral("FIDO%1").arg(bib)});
            db().exec(
                "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, "
                "Classe, Taglia, ClassificaRun1, PunteggioRun1, TempoRun1) "
                "VALUES (?, ?, ?, ?, 'TIME', 'JUNIOR', 'SMALL', ?, 90, 0.5)",
                {G, bib, cf, chip, bib});
        }
        tx.commit();
    }

    // Opens the form, chooses the competition (and TIME, JUNIOR, SMALL) and prints.
    QList<PrintedCall> print(Kind kind, bool group = true) {
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
        if (!QTest::qWaitForWindowActive(form.get()))
            return {};
        settle();
        const QStringList values{G, "TIME", "JUNIOR", "SMALL"};
        const int boxes = kind == Iscritti ? 1 : (group ? 4 : 1);
        for (int i = 1; i < boxes; ++i)
            child<QComboBox>(form.get(), QStringLiteral("Cmb_Field_%1").arg(i))->setEditText(values[i]);
        // Leaving the competition box shows its header and lists the selection.
        auto* code = child<QComboBox>(form.get(), "Cmb_Field_0");
        code->setFocus(Qt::TabFocusReason);
        settle();
        code->setEditText(G);
        form->pannello()->LstInsRisultati->setFocus(Qt::TabFocusReason);
        settle();
        printer->clear();
        form->cmdPrint_Click();
        return printer->calls();
    }

    // The line advance of a font size: the width of "Abc" in bold Times New Roman.
    double advance(int points) {
        EasyPrint ep(*printer);
        ep.setFontName(QStringLiteral("Times New Roman"));
        ep.setFontBold(true);
        ep.setFontItalic(false);
        ep.setFontSize(points);
        return ep.TextWidth(QStringLiteral("Abc"));
    }

    static QList<PrintedCall> textsOf(const QList<PrintedCall>& calls, int page) {
        QList<PrintedCall> out;
        for (const PrintedCall& c : calls)
            if (c.kind == PrintedCall::Kind::Text && c.page == page)
                out << c;
        return out;
    }

    static const PrintedCall* find(const QList<PrintedCall>& calls, const QString& text, int page = 1) {
        for (const PrintedCall& c : calls)
            if (c.kind == PrintedCall::Kind::Text && c.page == page && c.text == text)
                return &c;
        return nullptr;
    }

    void header(Kind kind, double right, const QList<std::tuple<QString, int, double, double>>& texts) {
        const double a12 = advance(12), a10 = advance(10);
        const QList<PrintedCall> calls = print(kind);
        const QList<PrintedCall> page = textsOf(calls, 1);
        // The header's texts and the final footer: no rows in the empty list.
        QCOMPARE(page.size(), texts.size() + 2);
        for (const auto& [text, anchor, x, y] : texts) {
            const PrintedCall* c = find(calls, text);
            QVERIFY2(c, qPrintable(text));
            const double expectedY = y >= 0 ? y : y > -10 ? 36 - y * a12 : 67 + a10;
            QVERIFY2(near(anchorX(*c, Anchor(anchor)), x) && near(c->y, expectedY), qPrintable(text));
            QCOMPARE(c->fontName, QStringLiteral("Times New Roman"));
            QVERIFY(c->bold);
        }
        const PrintedCall* date = find(calls, DataIntestazione(QDate::currentDate()));
        QVERIFY(date && near(date->x + date->width, right) && near(date->y, 25) && date->italic);
        QVERIFY(date->text.contains(QLocale().monthName(QDate::currentDate().month())));

        // Rules: solid doubles at 23/24 and 65/66, the heading rule at 78, dotted column rules.
        const VarianteReport& v = kind == Partenza     ? VariantePartenza()
                                  : kind == Classifica ? VarianteClassifica()
                                                       : VarianteIscritti();
        QList<std::tuple<double, double, double, double, int, int>> expected{{15, 23, right, 23, 0, 1},
                                                                             {15, 24, right, 24, 0, 1},
                                                                             {15, 65, right, 65, 0, 1},
                                                                             {15, 66, right, 66, 0, 1},
                                                                             {15, 78, right, 78, 0, 2}};
        for (double x : v.righeColonne)
            expected.append({x, v.cimaRighe, x, v.cimaRighe + v.altezzaCornice, 2, v.spessoreRighe});
        for (const auto& [x, y, x2, y2, style, width] : expected) {
            bool found = false;
            for (const PrintedCall& c : calls)
                found = found || ((c.kind == PrintedCall::Kind::Line || c.kind == PrintedCall::Kind::Box) &&
                                  near(c.x, x) && near(c.y, y) && near(c.x2, x2) && near(c.y2, y2) &&
                                  c.drawStyle == style && c.drawWidth == width);
            QVERIFY2(found, qPrintable(QStringLiteral("rule %1,%2").arg(x).arg(y)));
        }
        // The frame: four corner arcs of 1 mm, drawn 3 wide, down to 285 (200 on the rankings).
        int arcs = 0;
        for (const PrintedCall& c : calls)
            arcs += c.kind == PrintedCall::Kind::Arc && near(c.radius, 1) && c.drawWidth == 3 &&
                    (near(c.y, 66) || near(c.y, 64 + v.altezzaCornice));
        QCOMPARE(arcs, 4);
        const PrintedCall* logo = nullptr;
        for (const PrintedCall& c : calls)
            if (c.kind == PrintedCall::Kind::Picture)
                logo = &c;
        QVERIFY(logo && near(logo->x, 15) && near(logo->y, 5) && logo->y + logo->height < 23);
        QCOMPARE(printer->Orientation(), int(vbPRORPortrait));
    }

private slots:
    void init() {
        folder = std::make_unique<test::TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        printer = std::make_shared<RecordingPrinter>();
        shared->printer = printer;
        db().exec("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, 'Trofeo', "
                  "'Roma', '', '01/05/2024')",
                  {G});
    }

    void cleanup() {
        form.reset();
        shared.reset();
        printer.reset();
        folder.reset();
    }

    void headerOfEachVariant() {
        using T = std::tuple<QString, int, double, double>;
        // text, anchor, x, y; y -1 to -3 is 36 mm plus that many 12 pt advances, -11 is 67 mm
        // plus one 10 pt advance
        const QList<T> lines{{"Data    : 01/05/2024          Gara : Trofeo", L, 15, 36},
                             {"Località  : Roma", L, 15, -1},
                             {"Giudice   : ", L, 15, -2}};
        const T category{"Categoria : TIME    Classe : JUNIOR    Taglia : SMALL", L, 15, -3};
        const struct {
            Kind kind;
            double right; // the printed band's right edge
            QList<T> texts;
        } cases[] = {
            {Partenza, 195,
             lines + QList<T>{category,
                              {"STAMPA ORDINE PARTENZA ", L, 15, 28},
                              {"1° RUN", L, 95, 28},
                              {"Ord.", C, 22.5, 67},
                              {"Part.", C, 22.5, -11},
                              {"Pett.", C, 37.5, 70},
                              {"Cognome Nome  - Conducente", C, 87.5, 70},
                              {"Nome Cane", C, 162.5, 70}}},
            {Classifica, 282,
             lines + QList<T>{category,
                              {"CLASSIFICA ", L, 15, 28},
                              {"1° RUN", L, 95, 28},
                              {"Clas.", C, 22, 70},
                              {"Pett.", C, 36, 70},
                              {"Cognome Nome  - Conducente", C, 80.5, 70},
                              {"Nome Cane", C, 151, 70},
                              {"Razza", C, 212, 70},
                              {"Punti", C, 246, 70},
                              {"Tempo", C, 265, 70}}},
            {Iscritti, 195,
             lines + QList<T>{{"STAMPA LISTA ISCRITTI", L, 15, 28},
                              {"Pett.", C, 22, 70},
                              {"Cognome Nome  - Conducente", C, 60.5, 70},
                              {"Nome Cane", C, 119.5, 70},
                              {"Cat.", C, 153, 70},
                              {"Classe", C, 165, 70},
                              {"Taglia", C, 177.5, 70},
                              {"Annot.", C, 189.5, 70}}},
        };
        for (const auto& c : cases)
            header(c.kind, c.right, c.texts);
    }

    void rowsPagesAndFooters_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("limit");      // rows start from 80 mm up to 80 + limit
        QTest::addColumn<double>("fullFooter"); // y of "pag.N" on a full page; below 0: from the bottom
        QTest::addColumn<double>("lastFooter"); // the same on the last page
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
        const int perPage = int(std::floor(limit / a10)) + 1; // rows whose offset is at most the limit
        // Exactly two full pages: the advance after the last row breaks once more.
        entries(2 * perPage);
        const QList<PrintedCall> calls = print(Kind(kind));
        const double right = kind == Classifica ? 282 : 195;
        EasyPrint ep(*printer);
        ep.setOrientation(kind == Classifica ? vbPRORLandscape : vbPRORPortrait);
        const double pageHeight = ep.PageHeight();
        ep.setOrientation(vbPRORPortrait);
        for (int page = 1; page <= 3; ++page) {
            const QString footer = QStringLiteral("pag.%1").arg(page);
            const PrintedCall* f = find(calls, footer, page);
            QVERIFY2(f, qPrintable(footer));
            const double y = page < 3 ? fullFooter : lastFooter;
            QVERIFY(near(f->x + f->width, right));
            QVERIFY(near(f->y, y > 0 ? y : pageHeight + y));
            QCOMPARE(f->fontSize, page < 3 ? 10.0 : double(lastSize));
            QCOMPARE(f->bold, page < 3 || lastSize == 10);
            // The bib cells of the page, each one advance under the previous, from 80 mm.
            const double bibX = kind == Partenza ? 37.5 : kind == Classifica ? 36 : 22;
            QList<double> ys;
            for (const PrintedCall& c : textsOf(calls, page))
                if (c.y >= 79.9 && c.y < 80 + limit + 1 && near(anchorX(c, C), bibX))
                    ys << c.y;
            QCOMPARE(ys.size(), page < 3 ? perPage : 0);
            for (int k = 0; k < ys.size(); ++k)
                QVERIFY(std::abs(ys[k] - (80 + k * a10)) < 0.01);
        }
        QVERIFY(!find(calls, "pag.4", 4));
        QCOMPARE(printer->jobsSent(), 1);
        QCOMPARE(printer->Orientation(), int(vbPRORPortrait));
    }

    void cellsOfEachReport() {
        entries(2);
        // A sorted start order numbers its rows in the list's order.
        const double a10 = advance(10);
        using T = std::tuple<QString, int, double, double>;
        const struct {
            Kind kind;
            QList<T> cells;
        } cases[] = {
            {Partenza,
             {{"1", C, 22.5, 80},
              {"2", C, 37.5, 80},
              {"ROSSI2 MARIO", L, 48, 80},
              {"FIDO2", L, 133, 80},
              {"2", C, 22.5, 80 + a10},
              {"1", C, 37.5, 80 + a10}}},
            {Classifica,
             {{"1", C, 22, 80},
              {"ROSSI1 MARIO", L, 45.5, 80},
              {"FIDO1", L, 120.5, 80},
              {"BOXER", L, 186.5, 80},
              {"90", C, 246, 80},
              {"00'30\"00", C, 265, 80},
              {"2", C, 36, 80 + a10}}},
            {Iscritti,
             {{"1", C, 22, 80},
              {"ROSSI1 MARIO", L, 31, 80},
              {"FIDO1", L, 94, 80},
              {"T.", C, 153, 80},
              {"JUN.", C, 165, 80},
              {"SMA.", C, 177.5, 80},
              {"____", C, 189.5, 80 + a10}}},
        };
        for (const auto& c : cases) {
            if (c.kind == Partenza) {
                print(c.kind);
                form->pannello()->LstInsRisultati->clicIntestazione(0);
                form->pannello()->LstInsRisultati->clicIntestazione(0); // bib descending
                printer->clear();
                form->cmdPrint_Click();
            } else {
                print(c.kind);
            }
            const QList<PrintedCall> calls = printer->calls();
            for (const auto& [text, anchor, x, y] : c.cells) {
                bool found = false;
                for (const PrintedCall& p : textsOf(calls, 1))
                    found = found || (p.text == text && near(anchorX(p, Anchor(anchor)), x) && near(p.y, y) &&
                                      p.bold && !p.italic && near(p.fontSize, 10));
                QVERIFY2(found, qPrintable(text));
            }
        }
    }

    void longNamesAreShortenedOnPaper() {
        entries(1);
        const QString longName(60, u'W');
        db().exec("UPDATE TblConduttori SET Cognome = ?", {longName});
        db().exec("UPDATE TblCani SET NomeCane = ?", {longName});
        const struct {
            Kind kind;
            double handlerX, handlerMax, dogX, dogMax;
        } cases[] = {
            {Partenza, 48, 80, 133, 61}, {Classifica, 45.5, 73, 120.5, 64}, {Iscritti, 31, 60, 94, 52}};
        for (const auto& c : cases) {
            const QList<PrintedCall> calls = print(c.kind);
            for (const auto& [x, max] : {std::pair{c.handlerX, c.handlerMax}, std::pair{c.dogX, c.dogMax}}) {
                bool found = false;
                for (const PrintedCall& p : textsOf(calls, 1))
                    if (near(p.x, x) && p.text.startsWith(QStringLiteral("WWW"))) {
                        found = true;
                        QVERIFY(p.width <= max + 0.001 && p.text.size() < 60);
                    }
                QVERIFY(found);
            }
        }
    }
};

QTEST_MAIN(ReportPrintTest)
#include "ReportPrintTest.moc"
