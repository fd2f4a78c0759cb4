#include "platform/Printer.h"
#include "frame/SharedValues.h"
#include "platform/PrinterSetup.h"
#include "platform/Shell.h"
#include "support/GuiTestBase.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace zar;

namespace {

DeviceLayout layoutWith(bool strip, int dpi = 600) {
    DeviceLayout layout;
    if (strip)
        layout.unprintableMm = QMarginsF(4.2, 5.0, 4.2, 5.0);
    layout.dpiX = layout.dpiY = dpi;
    return layout;
}

int faultOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const PrinterError& e) {
        return e.number();
    }
    return 0;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class PrinterTest : public zar::test::GuiTestBase {
    Q_OBJECT

private slots:
    // A point in the scale unit from the printable area's corner lands on the paper shifted by
    // the unprintable strip; Print then moves to x 0, one text height lower. The area and the
    // device's own measures follow the strip, the orientation and the resolution.
    void placesPointsOnThePaper_data() {
        QTest::addColumn<int>("scaleMode");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("strip"); // 4.2 mm left and right, 5 mm top and bottom
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QPointF>("at");    // in the scale unit
        QTest::addColumn<QPointF>("paper"); // mm
        QTest::addColumn<QSizeF>("areaMm");
        QTest::addColumn<QPoint>("offsetPixels");
        const QSizeF a4(210, 297);
        QTest::newRow("twips") << int(vbTwips) << 1 << false << 600 << QPointF(1440, 2880)
                               << QPointF(25.4, 50.8) << a4 << QPoint(0, 0);
        QTest::newRow("twips, strip")
            << int(vbTwips) << 1 << true << 600 << QPointF(567, 0) << QPointF(4.2 + 567 / kTwipsPerMm, 5)
            << QSizeF(201.6, 287) << QPoint(99, 118);
        QTest::newRow("mm") << int(vbMillimeters) << 1 << false << 600 << QPointF(10, 20) << QPointF(10, 20)
                            << a4 << QPoint(0, 0);
        QTest::newRow("mm, strip, landscape, 300 dpi")
            << int(vbMillimeters) << 2 << true << 300 << QPointF(10, 20) << QPointF(14.2, 25)
            << QSizeF(288.6, 200) << QPoint(50, 59);
        QTest::newRow("mm, paper corner") << int(vbMillimeters) << 1 << true << 600 << QPointF(-4.2, -5)
                                          << QPointF(0, 0) << QSizeF(201.6, 287) << QPoint(99, 118);
    }
    void placesPointsOnThePaper() {
        QFETCH(int, scaleMode);
        QFETCH(int, orientation);
        QFETCH(bool, strip);
        QFETCH(int, dpi);
        QFETCH(QPointF, at);
        QFETCH(QPointF, paper);
        QFETCH(QSizeF, areaMm);
        QFETCH(QPoint, offsetPixels);
        RecordingPrinter printer(layoutWith(strip, dpi));
        printer.setOrientation(orientation);
        printer.setScaleMode(scaleMode);
        const double unit = scaleMode == vbTwips ? kTwipsPerMm : 1;
        QVERIFY(qAbs(printer.ScaleWidth() - areaMm.width() * unit) +
                    qAbs(printer.ScaleHeight() - areaMm.height() * unit) <
                0.01 * unit);
        QCOMPARE(QList<int>({printer.GetDeviceCaps(88), printer.GetDeviceCaps(90), printer.GetDeviceCaps(112),
                             printer.GetDeviceCaps(113)}),
                 QList<int>({dpi, dpi, offsetPixels.x(), offsetPixels.y()}));
        printer.setCurrentX(at.x());
        printer.setCurrentY(at.y());
        printer.Print(QStringLiteral("Abc"));
        QCOMPARE(printer.CurrentX(), 0.0);
        QVERIFY(qAbs(printer.CurrentY() - at.y() - printer.TextHeight(QStringLiteral("Abc"))) < 1e-9);
        printer.Line(at.x(), at.y(), at.x() + printer.TextWidth(QStringLiteral("Abc")), at.y());
        printer.Circle(at.x(), at.y(), 25.4 * unit);
        const auto& calls = printer.calls();
        QCOMPARE(calls.size(), 3);
        for (const PrintedCall& call : calls)
            QVERIFY(qAbs(call.x - paper.x()) < 1e-9 && qAbs(call.y - paper.y()) < 1e-9);
        QVERIFY(qAbs(calls[1].x2 - calls[0].x2) < 1e-9); // TextWidth is the width drawn
        QVERIFY(qAbs(calls[2].radius - 25.4) < 1e-9);
    }

    void measuresText() {
        RecordingPrinter printer;
        printer.setScaleMode(vbMillimeters);
        printer.setFontSize(10);
        const QString text = QStringLiteral("Cognome Nome");
        const double width = printer.TextWidth(text);
        const double height = printer.TextHeight(text);
        const double em = 10 * 25.4 / 72; // mm
        QVERIFY(height > 1.0 * em && height < 1.25 * em && width > 4 * em && width < 8 * em);
        printer.setFontBold(true);
        QVERIFY(printer.TextWidth(text) > width);
        printer.setFontBold(false);
        printer.setFontSize(20.5);
        QVERIFY(qAbs(printer.TextWidth(text) / width - 2.05) < 0.03); // advances are whole device pixels
        printer.setScaleMode(vbTwips);
        QVERIFY(qAbs(printer.TextHeight(text) / (2.05 * height * kTwipsPerMm) - 1) < 0.02);
    }

    // A refused value is fault 380 and leaves every setting as it was.
    void refusesInvalidValues() {
        const std::pair<const char*, std::function<void(Printer&)>> cases[] = {
            {"scale mode 3", [](Printer& p) { p.setScaleMode(3); }},
            {"colour -1", [](Printer& p) { p.setForeColor(-1); }},
            {"draw style 7", [](Printer& p) { p.setDrawStyle(7); }},
            {"draw width 0", [](Printer& p) { p.setDrawWidth(0); }},
            {"orientation 3", [](Printer& p) { p.setOrientation(3); }},
            {"paper 99", [](Printer& p) { p.setPaperSize(99); }},
            {"font size 0", [](Printer& p) { p.setFontSize(0); }},
            {"font size 2161", [](Printer& p) { p.setFontSize(2161); }},
            {"blank font name", [](Printer& p) { p.setFontName(QStringLiteral(" ")); }},
            {"font past the end", [](Printer& p) { p.Fonts(p.FontCount()); }},
        };
        RecordingPrinter printer;
        printer.setScaleMode(vbMillimeters);
        printer.setForeColor(0xFF);
        const auto state = [&] {
            return QList<QVariant>{printer.ScaleMode(), printer.ForeColor(),   printer.DrawStyle(),
                                   printer.DrawWidth(), printer.Orientation(), printer.PaperSize(),
                                   printer.FontSize(),  printer.FontName()};
        };
        const QList<QVariant> before = state();
        for (const auto& [name, change] : cases) {
            QVERIFY2(faultOf([&] { change(printer); }) == errInvalidValue, name);
            QVERIFY2(state() == before, name);
        }
        QCOMPARE(faultOf([&] { printer.PaintPicture(QImage(), 0, 0); }), int(errInvalidPicture));
        QVERIFY(printer.calls().isEmpty());
    }

    // A picture's own size comes from its dots per metre, 96 dpi when unset.
    void measuresPictures() {
        const std::tuple<QSize, int, QSize> cases[] = {
            {{49, 49}, 0, {1296, 1296}}, {{49, 49}, 3780, {1296, 1296}}, {{300, 150}, 11811, {2540, 1270}}};
        for (const auto& [pixels, dotsPerMetre, himetric] : cases) {
            QImage picture(pixels, QImage::Format_RGB32);
            picture.setDotsPerMeterX(dotsPerMetre);
            picture.setDotsPerMeterY(dotsPerMetre);
            QCOMPARE(Printer::pictureSizeHimetric(picture), himetric);
        }
    }

    // Jobs start with the first drawing, pages count up, EndDoc sends, KillDoc drops; a job
    // that could not start reports once, draws nothing more and reports again at EndDoc.
    void runsJobs() {
        RecordingPrinter printer;
        printer.EndDoc(); // nothing to send
        printer.Print(QStringLiteral("uno"));
        printer.setOrientation(vbPRORLandscape);
        printer.NewPage();
        QCOMPARE(printer.Page(), 2);
        printer.Line(0, 0, 10, 10);
        printer.EndDoc();
        QCOMPARE(printer.Page(), 1);
        QCOMPARE(printer.Orientation(), int(vbPRORLandscape)); // settings outlive the job
        printer.Print(QStringLiteral("due"));
        printer.KillDoc();
        using K = PrintedCall::Kind;
        QList<std::pair<K, int>> seen;
        for (const PrintedCall& call : printer.calls())
            seen.append({call.kind, call.page});
        QCOMPARE(
            seen,
            (QList<std::pair<K, int>>{
                {K::Text, 1}, {K::NewPage, 2}, {K::Line, 2}, {K::EndDoc, 2}, {K::Text, 1}, {K::KillDoc, 1}}));
        QCOMPARE(printer.jobsSent(), 1);

        printer.clear();
        printer.setOffline(true);
        QCOMPARE(faultOf([&] { printer.Print(QStringLiteral("spenta")); }), int(errPrinter));
        printer.setOffline(false);
        QCOMPARE(faultOf([&] { printer.Print(QStringLiteral("persa")); }), 0);
        QCOMPARE(faultOf([&] { printer.EndDoc(); }), int(errPrinter));
        QVERIFY(printer.calls().isEmpty());
        printer.Print(QStringLiteral("di nuovo"));
        printer.EndDoc();
        QCOMPARE(printer.jobsSent(), 2);
    }

    // Without any printer (see main) each job is a new PDF file in "Stampe", opened in the
    // viewer; no file is ever replaced, a dropped job leaves nothing.
    void writesJobsIntoStampe() {
        QTemporaryDir program;
        ShellRecorder shell;
        SharedValues shared;
        shared.programFolder = program.path();
        shared.printerName = QStringLiteral("zar-no-such-printer");
        Printer& printer = applicationPrinter(shared);
        for (int job = 0; job < 3; ++job) {
            printer.Print(QStringLiteral("Lavoro %1").arg(job));
            printer.EndDoc();
        }
        printer.Print(QStringLiteral("annullato"));
        printer.KillDoc();

        QDir stampe(program.filePath(QStringLiteral("Stampe")));
        const QStringList files = stampe.entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), 3);
        QCOMPARE(shell.opened.size(), 3);
        for (int job = 0; job < 3; ++job) {
            QVERIFY(files.contains(QFileInfo(shell.opened[job]).fileName()));
            const QString text = run(QStringLiteral("pdftotext"), {shell.opened[job], QStringLiteral("-")});
            QCOMPARE(text.trimmed(), QStringLiteral("Lavoro %1").arg(job)); // each its own job
        }
    }

    // A folder that cannot be written is a fault naming it, at the first drawing and again at
    // EndDoc, never a job that silently vanishes.
    void reportsAnUnwritableFolder() {
        QTemporaryDir program;
        QFile blocker(program.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString folder = blocker.fileName() + QStringLiteral("/Stampe");
        ShellRecorder shell;
        auto printer = Printer::toPdfFolder(folder);
        try {
            printer->Print(QStringLiteral("uno"));
            QFAIL("no fault");
        } catch (const PrinterError& e) {
            QCOMPARE(e.number(), int(errPathFileAccess));
            QVERIFY2(e.description().contains(QDir::toNativeSeparators(folder)), qPrintable(e.description()));
        }
        QCOMPARE(faultOf([&] { printer->Print(QStringLiteral("due")); }), 0);
        QCOMPARE(faultOf([&] { printer->EndDoc(); }), int(errPathFileAccess));
        QVERIFY(shell.opened.isEmpty());
    }

    // A real PDF: texts where they were put (within 0.3 mm), Times New Roman embedded as its
    // Liberation Serif twin, an orientation change taking effect from the next page.
    void writesARealPdf() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("prova.pdf"));
        auto printer = Printer::toPdfFile(path);
        printer->setFontName(QStringLiteral("Times New Roman"));
        printer->setScaleMode(vbTwips);
        printer->setCurrentX(20 * kTwipsPerMm);
        printer->setCurrentY(30 * kTwipsPerMm);
        printer->Print(QStringLiteral("Twips"));
        printer->setScaleMode(vbMillimeters);
        printer->setFontBold(true);
        printer->setFontSize(14);
        printer->setCurrentX(195 - printer->TextWidth(QStringLiteral("Destra")));
        printer->setCurrentY(280);
        printer->Print(QStringLiteral("Destra"));
        printer->setOrientation(vbPRORLandscape);
        printer->NewPage();
        printer->setCurrentX(250);
        printer->Print(QStringLiteral("Orizzontale"));
        printer->EndDoc();

        const QString bbox =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
        const QRegularExpression word(
            QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>(\w+)<)re"));
        QHash<QString, QList<double>> mm; // xMin, yMin, xMax
        for (const auto& m : word.globalMatch(bbox))
            for (int i = 1; i <= 3; ++i)
                mm[m.captured(4)] << m.captured(i).toDouble() * 25.4 / 72;
        QVERIFY2(mm.size() == 3, qPrintable(bbox));
        const std::tuple<const char*, int, double> at[] = {{"Twips", 0, 20},
                                                           {"Twips", 1, 30},
                                                           {"Destra", 2, 195},
                                                           {"Destra", 1, 280},
                                                           {"Orizzontale", 0, 250}};
        for (const auto& [text, i, want] : at)
            QVERIFY2(qAbs(mm[QString::fromLatin1(text)][i] - want) < 0.3, text);

        const QString fonts = run(QStringLiteral("pdffonts"), {path});
        QVERIFY2(
            QRegularExpression(QStringLiteral(R"(LiberationSerif\S*\s.*\byes\b)")).match(fonts).hasMatch(),
            qPrintable(fonts));
        const QString info =
            run(QStringLiteral("pdfinfo"), {QStringLiteral("-l"), QStringLiteral("2"), path});
        QVERIFY2(
            info.contains(QRegularExpression(QStringLiteral(R"(Page\s+1 size:\s+595(\.\d+)? x 84[12])"))) &&
                info.contains(QRegularExpression(QStringLiteral(R"(Page\s+2 size:\s+84[12](\.\d+)? x 595)"))),
            qPrintable(info));
    }
};

int main(int argc, char** argv) {
    // No queue of this machine may take a test job: the print system is asked at a socket
    // that does not exist, so the program sees no printer at all.
    QTemporaryDir nowhere;
    qputenv("CUPS_SERVER", (nowhere.path() + QStringLiteral("/no-cupsd.sock")).toLocal8Bit());
    QApplication app(argc, argv);
    PrinterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PrinterTest.moc"
