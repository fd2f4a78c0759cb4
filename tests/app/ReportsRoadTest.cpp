// The three reports from the main window's menu to a PDF file, checked as a reader finds it:
// texts at their millimetres, page numbers, the rankings in landscape and then portrait
// again, and the serif font embedded.
#include "frame/ZAR_Main.h"
#include "platform/Printer.h"
#include "platform/SingleInstance.h"
#include "support/FormHelpers.h"
#include "support/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace zar;
using namespace zar::test;

namespace {

const QString G = QStringLiteral("20240501ROMA");
constexpr double kMmPerPoint = 25.4 / 72;

struct Word {
    int page;
    QString text;
    double xMin, yMin, xMax; // mm
};

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The words of a PDF with their boxes, from pdftotext -bbox.
QList<Word> words(const QString& pdf) {
    const QString html = run("pdftotext", {"-bbox", pdf, "-"});
    QList<Word> out;
    int page = 0;
    static const QRegularExpression re(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        out.append({page, m.captured(4), m.captured(1).toDouble() * kMmPerPoint,
                    m.captured(2).toDouble() * kMmPerPoint, m.captured(3).toDouble() * kMmPerPoint});
    }
    return out;
}

const Word* find(const QList<Word>& ws, const QString& text, int page) {
    for (const Word& w : ws)
        if (w.page == page && w.text == text)
            return &w;
    return nullptr;
}

} // namespace

class ReportsRoadTest : public QObject {
    Q_OBJECT
private slots:
    void reportsFromTheMenuToPdf();
};

void ReportsRoadTest::reportsFromTheMenuToPdf() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    TestFolder folder;
    SingleInstance instance(folder.path());
    ZAR_Main main(folder.path(), instance);
    SharedValues& shared = main.shared();
    shared.openDatabase();
    Database& db = *shared.dbGare;
    db.exec("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, 'Trofeo', 'Roma', "
            "'Verdi', '01/05/2024')",
            {G});
    {
        Transaction tx(db);
        for (int bib = 1; bib <= 120; ++bib) {
            const QString cf = QStringLiteral("CF%1").arg(bib), chip = QStringLiteral("CHIP%1").arg(bib);
            db.exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, 'MARIO')",
                    {cf, QStringLiteral("ROSSI%1").arg(bib)});
            db.exec("INSERT INTO TblCani (Microchip, NomeCane, Razza) VALUES (?, ?, 'BOXER')",
                    {chip, QStringLiteral("FIDO%1").arg(bib)});
            db.exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, "
                    "Classe, Taglia, ClassificaRun1, PunteggioRun1, TempoRun1) "
                    "VALUES (?, ?, ?, ?, 'TIME', 'JUNIOR', 'SMALL', ?, 90, 0.5)",
                    {G, bib, cf, chip, bib});
        }
        tx.commit();
    }
    const QString pdf = folder.file("report.pdf");
    shared.printer = Printer::toPdfFile(pdf);
    showActive(&main);
    StrictResponder r;

    const struct {
        const char* menu;
        const char* form;
        int boxes;
        const char* title;       // its first word, at (15, 28)
        const char* firstRow[2]; // handler of the first and of the last row
        const char* lastRow;
        double handlerX;
        bool landscape;
    } reports[] = {
        {"mnOrdinePartenze", "frmReportPartenza", 4, "STAMPA", {"ROSSI1", "FIDO1"}, "ROSSI120", 48, false},
        {"mnClassifiche",
         "frmReportClassifica",
         4,
         "CLASSIFICA",
         {"ROSSI1", "FIDO1"},
         "ROSSI120",
         45.5,
         true},
        {"mnIscritti", "frmReportIscritti", 1, "STAMPA", {"ROSSI1", "FIDO1"}, "ROSSI120", 31, false},
    };
    for (const auto& rep : reports) {
        drive([&] { main.menuItem(QString::fromLatin1(rep.menu))->trigger(); }, QString::fromLatin1(rep.form),
              [&](QWidget* form) {
                  const char* values[] = {"20240501ROMA", "TIME", "JUNIOR", "SMALL"};
                  for (int i = 0; i < rep.boxes; ++i) {
                      child<QComboBox>(form, QStringLiteral("Cmb_Field_%1").arg(i))
                          ->setFocus(Qt::MouseFocusReason);
                      settle();
                      QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(values[i]));
                  }
                  child<QWidget>(form, "LstInsRisultati")->setFocus(Qt::MouseFocusReason);
                  settle();
                  QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("120"));
                  click(form, "cmdPrint");
                  click(form, "cmdClose");
              });
        QVERIFY(QFile::exists(pdf));
        if (qEnvironmentVariableIsSet("ZAR_KEEP_PDF")) // to look at the pages
            QFile::copy(pdf, qEnvironmentVariable("ZAR_KEEP_PDF") + QLatin1String(rep.form) + ".pdf");
        const QString info = run("pdfinfo", {pdf});
        const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+))").match(info);
        const bool landscape = size.captured(1).toDouble() > size.captured(2).toDouble();
        QCOMPARE(landscape, rep.landscape);
        const QList<Word> ws = words(pdf);
        const Word* title = find(ws, QString::fromLatin1(rep.title), 1);
        QVERIFY(title && std::abs(title->xMin - 15) < 0.3);
        const double right = rep.landscape ? 282 : 195;
        int pages = 0;
        for (const Word& w : ws)
            pages = std::max(pages, w.page);
        QVERIFY(pages >= 3);
        for (int p = 1; p <= pages; ++p) {
            const Word* footer = find(ws, QStringLiteral("pag.%1").arg(p), p);
            QVERIFY2(footer && std::abs(footer->xMax - right) < 0.3, qPrintable(QString::number(p)));
        }
        const Word* first = find(ws, QString::fromLatin1(rep.firstRow[0]), 1);
        QVERIFY(first && std::abs(first->xMin - rep.handlerX) < 0.3);
        // The row's text top sits at 80 mm; the word box starts at the glyphs' top.
        QVERIFY(first->yMin > 79.7 && first->yMin < 81.5);
        const Word* last = nullptr;
        for (const Word& w : ws)
            if (w.text == QLatin1String(rep.lastRow))
                last = &w;
        QVERIFY(last && last->page == pages && std::abs(last->xMin - rep.handlerX) < 0.3);
    }
    // The serif font is embedded.
    const QString fonts = run("pdffonts", {pdf});
    QVERIFY(fonts.contains(QRegularExpression(R"(LiberationSerif\S*\s+\S.*\byes\b)")));
    QCOMPARE(r.pendingAnswers(), 0);
    QVERIFY(r.texts().isEmpty());
}

QTEST_MAIN(ReportsRoadTest)
#include "ReportsRoadTest.moc"
