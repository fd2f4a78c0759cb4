// The three reports from the main window's menu to a PDF file, checked as a reader finds it:
// texts at their millimetres, page numbers, the rankings in landscape and then portrait
// again, and the serif font embedded.
#include "frame/ZAR_Main.h"
#include "platform/Printer.h"
#include "platform/SingleInstance.h"
#include "reports/ReportData.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QAction>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace zar;
using namespace zar::test;

namespace {

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

} // namespace

class ReportsRoadTest : public GuiTestBase {
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
    riempiGara(*shared.dbGare, 120);
    const QString pdf = folder.file("report.pdf");
    shared.printer = Printer::toPdfFile(pdf);
    showActive(&main);

    const struct {
        const char* menu;
        const char* form;
        int boxes;
        const char* title; // its first word, at (15, 28)
        double handlerX;   // where the handlers' names start
        bool landscape;
    } reports[] = {
        {"mnOrdinePartenze", "frmReportPartenza", 4, "STAMPA", 48, false},
        {"mnClassifiche", "frmReportClassifica", 4, "CLASSIFICA", 45.5, true},
        {"mnIscritti", "frmReportIscritti", 1, "STAMPA", 31, false},
    };
    for (const auto& rep : reports) {
        drive([&] { main.menuItem(QString::fromLatin1(rep.menu))->trigger(); }, QString::fromLatin1(rep.form),
              [&](QWidget* form) {
                  chooseSelection(form, QStringList({kGara, "TIME", "JUNIOR", "SMALL"}).mid(0, rep.boxes));
                  QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("120"));
                  click(form, "cmdPrint");
                  click(form, "cmdClose");
              });
        const QString info = run("pdfinfo", {pdf});
        const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+))").match(info);
        const bool landscape = size.captured(1).toDouble() > size.captured(2).toDouble();
        QCOMPARE(landscape, rep.landscape);
        const QList<Word> ws = words(pdf);
        const auto at = [&](const QString& text, int page, double x, double y, bool right = false) {
            for (const Word& w : ws)
                if (w.page == page && w.text == text)
                    return std::abs((right ? w.xMax : w.xMin) - x) < 0.3 && std::abs(w.yMin - y) < 0.3;
            return false;
        };
        QVERIFY(at(QString::fromLatin1(rep.title), 1, 15, 28));
        int pages = 0;
        for (const Word& w : ws)
            pages = std::max(pages, w.page);
        QVERIFY(pages >= 3);
        const double right = rep.landscape ? 282 : 195, bottom = rep.landscape ? 201 : 285;
        for (int p = 1; p <= pages; ++p) // the last page's footer: 1 or 2 mm lower
            QVERIFY2(at(QStringLiteral("pag.%1").arg(p), p, right, p < pages || rep.landscape ? bottom : 287,
                        true),
                     qPrintable(QString::number(p)));
        QVERIFY(at("ROSSI1", 1, rep.handlerX, 80)); // the first row
    }
    // The serif font is embedded.
    const QString fonts = run("pdffonts", {pdf});
    QVERIFY(fonts.contains(QRegularExpression(R"(LiberationSerif\S*\s+\S.*\byes\b)")));
}

QTEST_MAIN(ReportsRoadTest)
#include "ReportsRoadTest.moc"
