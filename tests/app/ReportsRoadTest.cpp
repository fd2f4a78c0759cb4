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

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace zar;
using namespace zar::test;

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The pages of a PDF with the boxes of their words, from pdftotext -bbox.
QStringList pagesOf(const QString& pdf) {
    return run("pdftotext", {"-bbox", pdf, "-"}).split(QStringLiteral("<page ")).mid(1);
}

// Whether `page` has the word `text` with its left (or right) edge at x and its top at y, in mm.
bool at(const QString& page, const QString& text, double x, double y, bool right = false) {
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = re.globalMatch(page); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(4) == text)
            return std::abs(m.captured(right ? 3 : 1).toDouble() * kMmPerPoint - x) < 0.3 &&
                   std::abs(m.captured(2).toDouble() * kMmPerPoint - y) < 0.3;
    }
    return false;
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
        drive([&] { trigger(&main, QString::fromLatin1(rep.menu)); }, QString::fromLatin1(rep.form),
              [&](QWidget* form) {
                  chooseSelection(form, QStringList({kGara, "TIME", "JUNIOR", "SMALL"}).mid(0, rep.boxes));
                  QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("120"));
                  click(form, "cmdPrint");
                  click(form, "cmdClose");
              });
        const auto size =
            QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+))").match(run("pdfinfo", {pdf}));
        QCOMPARE(size.captured(1).toDouble() > size.captured(2).toDouble(), rep.landscape);
        const QStringList pages = pagesOf(pdf);
        QVERIFY(pages.size() >= 3);
        QVERIFY(at(pages[0], QString::fromLatin1(rep.title), 15, 28));
        QVERIFY(at(pages[0], "ROSSI1", rep.handlerX, 80)); // the first row
        const double right = rep.landscape ? 282 : 195, bottom = rep.landscape ? 201 : 285;
        for (int p = 1; p <= pages.size(); ++p) // the last page's footer: 1 or 2 mm lower
            QVERIFY2(at(pages[p - 1], QStringLiteral("pag.%1").arg(p), right,
                        p < pages.size() || rep.landscape ? bottom : 287, true),
                     qPrintable(QString::number(p)));
    }
    // The serif font is embedded.
    QVERIFY(run("pdffonts", {pdf}).contains(QRegularExpression(R"(LiberationSerif\S*\s+\S.*\byes\b)")));
}

QTEST_MAIN(ReportsRoadTest)
#include "ReportsRoadTest.moc"
