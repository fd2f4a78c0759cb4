#include "platform/Printer.h"
#include "frame/SharedValues.h"
#include "platform/PrinterSetup.h"
#include "platform/Shell.h"
#include "reports/EasyPrint.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace zar;

namespace {

const QMarginsF kStrip(4.2, 5.0, 4.2, 5.0); // a printer's unprintable strips, mm

DeviceLayout layoutWith(const QMarginsF& strips, int dpi = 600) {
    DeviceLayout layout;
    layout.unprintableMm = strips;
    layout.dpiX = layout.dpiY = dpi;
    return layout;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList pdfFiles(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class PrinterTest : public QObject {
    Q_OBJECT

private slots:
    // A point given in the scale unit from the printable area's corner lands on the paper
    // shifted by the unprintable strip.
    void placesPointsOnThePaper_data() {
        QTest::addColumn<int>("scaleMode");
        QTest::addColumn<bool>("strip");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("paperX"); // mm
        QTest::addColumn<double>("paperY");
        QTest::newRow("twips") << int(vbTwips) << false << 1440.0 << 2880.0 << 25.4 << 50.8;
        QTest::newRow("twips, strip")
            << int(vbTwips) << true << 567.0 << 0.0 << 4.2 + 567 / kTwipsPerMm << 5.0;
        QTest::newRow("mm") << int(vbMillimeters) << false << 10.0 << 20.0 << 10.0 << 20.0;
        QTest::newRow("mm, strip") << int(vbMillimeters) << true << 10.0 << 20.0 << 14.2 << 25.0;
        QTest::newRow("mm, left of the area") << int(vbMillimeters) << true << -4.2 << -5.0 << 0.0 << 0.0;
    }
    void placesPointsOnThePaper() {
        QFETCH(int, scaleMode);
        QFETCH(bool, strip);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, paperX);
        QFETCH(double, paperY);
        RecordingPrinter printer(layoutWith(strip ? kStrip : QMarginsF()));
        printer.setScaleMode(scaleMode);
        printer.setCurrentX(x);
        printer.setCurrentY(y);
        QCOMPARE(printer.CurrentX(), x);
        printer.Print(QStringLiteral("Abc"));
        printer.Line(x, y, x + printer.TextWidth(QStringLiteral("Abc")), y);
        printer.Circle(x, y, scaleMode == vbTwips ? 1440 : 25.4);
        const auto& calls = printer.calls();
        QCOMPARE(calls.size(), 3);
        for (const PrintedCall& call : calls) {
            QVERIFY(qAbs(call.x - paperX) < 1e-9);
            QVERIFY(qAbs(call.y - paperY) < 1e-9);
        }
        QVERIFY(qAbs(calls[1].x2 - calls[0].x2) < 1e-9); // TextWidth matches the text drawn
        QVERIFY(qAbs(calls[2].radius - 25.4) < 1e-9);
    }

    void measuresThePrintableArea_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("strip");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("widthMm");
        QTest::addColumn<double>("heightMm");
        QTest::addColumn<int>("offsetX"); // device pixels
        QTest::addColumn<int>("offsetY");
        QTest::newRow("A4 portrait") << 1 << false << 600 << 210.0 << 297.0 << 0 << 0;
        QTest::newRow("A4 portrait, strip") << 1 << true << 600 << 201.6 << 287.0 << 99 << 118;
        QTest::newRow("A4 landscape, strip") << 2 << true << 300 << 288.6 << 200.0 << 50 << 59;
    }
    void measuresThePrintableArea() {
        QFETCH(int, orientation);
        QFETCH(bool, strip);
        QFETCH(int, dpi);
        QFETCH(double, widthMm);
        QFETCH(double, heightMm);
        QFETCH(int, offsetX);
        QFETCH(int, offsetY);
        RecordingPrinter printer(layoutWith(strip ? kStrip : QMarginsF(), dpi));
        printer.setOrientation(orientation);
        printer.setScaleMode(vbMillimeters);
        QVERIFY(qAbs(printer.ScaleWidth() - widthMm) < 0.01);
        QVERIFY(qAbs(printer.ScaleHeight() - heightMm) < 0.01);
        printer.setScaleMode(vbTwips);
        QVERIFY(qAbs(printer.ScaleWidth() - widthMm * kTwipsPerMm) < 1);
        QCOMPARE(printer.GetDeviceCaps(88), dpi);
        QCOMPARE(printer.GetDeviceCaps(90), dpi);
        QCOMPARE(printer.GetDeviceCaps(112), offsetX);
        QCOMPARE(printer.GetDeviceCaps(113), offsetY);
    }

    // Print leaves the current point at the left edge, one text height lower, in either unit.
    void printMovesToTheNextLine_data() {
        QTest::addColumn<int>("scaleMode");
        QTest::newRow("twips") << int(vbTwips);
        QTest::newRow("mm") << int(vbMillimeters);
    }
    void printMovesToTheNextLine() {
        QFETCH(int, scaleMode);
        RecordingPrinter printer(layoutWith(kStrip));
        printer.setScaleMode(scaleMode);
        const double height = printer.TextHeight(QStringLiteral("Abc"));
        printer.setCurrentX(300);
        printer.setCurrentY(400);
        printer.Print(QStringLiteral("Abc"));
        QCOMPARE(printer.CurrentX(), 0.0);
        QVERIFY(qAbs(printer.CurrentY() - (400 + height)) < 1e-9);
        printer.Print(QStringLiteral("Def"));
        const QList<PrintedCall> texts = printer.texts();
        QCOMPARE(texts[1].x, kStrip.left());
        QVERIFY(qAbs(texts[1].y - texts[0].y2) < 1e-9); // the next line starts where the first ends
    }

    void measuresText() {
        RecordingPrinter printer;
        printer.setScaleMode(vbMillimeters);
        printer.setFontName(QStringLiteral("Times New Roman"));
        printer.setFontSize(10);
        const QString text = QStringLiteral("Cognome Nome");
        const double width = printer.TextWidth(text);
        const double height = printer.TextHeight(text);
        const double em = 10 * 25.4 / 72; // mm
        QVERIFY2(height > 1.0 * em && height < 1.25 * em, qPrintable(QString::number(height)));
        QVERIFY(width > 4 * em && width < 8 * em);
        QCOMPARE(printer.TextWidth(QString()), 0.0);
        QCOMPARE(printer.TextHeight(QString()), height);
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
            {"colour 0x1000000", [](Printer& p) { p.setForeColor(0x1000000); }},
            {"draw style 7", [](Printer& p) { p.setDrawStyle(7); }},
            {"draw width 0", [](Printer& p) { p.setDrawWidth(0); }},
            {"orientation 3", [](Printer& p) { p.setOrientation(3); }},
            {"paper 99", [](Printer& p) { p.setPaperSize(99); }},
            {"copies 0", [](Printer& p) { p.setCopies(0); }},
            {"colour mode 0", [](Printer& p) { p.setColorMode(0); }},
            {"quality 0", [](Printer& p) { p.setPrintQuality(0); }},
            {"font size 0", [](Printer& p) { p.setFontSize(0); }},
            {"font size 2161", [](Printer& p) { p.setFontSize(2161); }},
            {"empty font name", [](Printer& p) { p.setFontName(QStringLiteral(" ")); }},
            {"font -1", [](Printer& p) { p.Fonts(-1); }},
            {"font past the end", [](Printer& p) { p.Fonts(p.FontCount()); }},
        };
        RecordingPrinter printer;
        printer.setScaleMode(vbMillimeters);
        printer.setForeColor(0xFF);
        const auto state = [&] {
            return QStringList{QString::number(printer.ScaleMode()),
                               QString::number(printer.ForeColor()),
                               QString::number(printer.DrawStyle()),
                               QString::number(printer.DrawWidth()),
                               QString::number(printer.Orientation()),
                               QString::number(printer.PaperSize()),
                               QString::number(printer.Copies()),
                               QString::number(printer.ColorMode()),
                               QString::number(printer.PrintQuality()),
                               QString::number(printer.FontSize()),
                               printer.FontName()};
        };
        const QStringList before = state();
        for (const auto& [name, change] : cases) {
            int number = 0;
            try {
                change(printer);
            } catch (const PrinterError& e) {
                number = e.number();
            }
            QVERIFY2(number == errInvalidValue, name);
            QVERIFY2(state() == before, name);
        }
        QVERIFY(printer.FontCount() > 0);
        QVERIFY(!printer.Fonts(0).isEmpty());
        int number = 0;
        try {
            printer.PaintPicture(QImage(), 0, 0);
        } catch (const PrinterError& e) {
            number = e.number();
        }
        QCOMPARE(number, int(errInvalidPicture));
        QVERIFY(printer.calls().isEmpty());
    }

    // A picture's own size comes from its dots per metre, 96 dpi when unset.
    void measuresPictures_data() {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<int>("dotsPerMetre");
        QTest::addColumn<QSize>("himetric");
        QTest::newRow("logo, no resolution") << QSize(49, 49) << 0 << QSize(1296, 1296);
        QTest::newRow("logo at 96 dpi") << QSize(49, 49) << 3780 << QSize(1296, 1296);
        QTest::newRow("300 dpi") << QSize(300, 150) << 11811 << QSize(2540, 1270);
    }
    void measuresPictures() {
        QFETCH(QSize, pixels);
        QFETCH(int, dotsPerMetre);
        QFETCH(QSize, himetric);
        QImage picture(pixels, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setDotsPerMeterX(dotsPerMetre);
        picture.setDotsPerMeterY(dotsPerMetre);
        QCOMPARE(Printer::pictureSizeHimetric(picture), himetric);
        RecordingPrinter printer;
        printer.setScaleMode(vbTwips);
        QVERIFY(qAbs(printer.pictureSize(picture).height() - himetric.height() / 100.0 * kTwipsPerMm) < 1);
        printer.PaintPicture(picture, 0, 0);               // own size
        printer.PaintPicture(picture, 0, 0, 1440, -1);     // given width, own height
        printer.PaintPicture(picture, 0, 0, 1440, 2880.0); // both given
        const auto& calls = printer.calls();
        QVERIFY(qAbs(calls[0].width * 100 - himetric.width()) < 0.5);
        QVERIFY(qAbs(calls[1].width - 25.4) < 1e-9);
        QVERIFY(qAbs(calls[1].height * 100 - himetric.height()) < 0.5);
        QVERIFY(qAbs(calls[2].height - 50.8) < 1e-9);
    }

    // Jobs start with the first drawing, pages count up, EndDoc sends, KillDoc drops; a job
    // that could not start reports once and again at its EndDoc.
    void runsJobs() {
        RecordingPrinter printer;
        QCOMPARE(printer.Page(), 1);
        printer.EndDoc(); // nothing to send
        QCOMPARE(printer.jobsSent(), 0);
        QVERIFY(printer.calls().isEmpty());

        printer.Print(QStringLiteral("uno"));
        printer.setOrientation(vbPRORLandscape);
        printer.NewPage();
        QCOMPARE(printer.Page(), 2);
        printer.Line(0, 0, 10, 10);
        printer.EndDoc();
        QCOMPARE(printer.jobsSent(), 1);
        QCOMPARE(printer.Page(), 1);
        QCOMPARE(printer.Orientation(), int(vbPRORLandscape)); // settings outlive the job
        printer.Print(QStringLiteral("due"));
        printer.KillDoc();
        QCOMPARE(printer.jobsSent(), 1);

        using K = PrintedCall::Kind;
        QList<std::pair<K, int>> seen;
        for (const PrintedCall& call : printer.calls())
            seen.append({call.kind, call.page});
        const QList<std::pair<K, int>> expected{{K::Text, 1},   {K::NewPage, 2}, {K::Line, 2},
                                                {K::EndDoc, 2}, {K::Text, 1},    {K::KillDoc, 1}};
        QCOMPARE(seen, expected);

        printer.clear();
        printer.setOffline(true);
        int number = 0;
        try {
            printer.Print(QStringLiteral("spenta"));
        } catch (const PrinterError& e) {
            number = e.number();
        }
        QCOMPARE(number, int(errPrinter));
        printer.setOffline(false);
        printer.Print(QStringLiteral("persa")); // the failed job draws nothing more
        number = 0;
        try {
            printer.EndDoc();
        } catch (const PrinterError& e) {
            number = e.number();
        }
        QCOMPARE(number, int(errPrinter));
        QVERIFY(printer.calls().isEmpty());
        printer.Print(QStringLiteral("di nuovo"));
        printer.EndDoc();
        QCOMPARE(printer.jobsSent(), 2);
    }

    // Without any printer each job becomes a new PDF file in "Stampe", opened in the viewer;
    // no file is ever replaced, a dropped job leaves nothing.
    void writesJobsIntoStampe() {
        QTemporaryDir program;
        ShellRecorder shell;
        SharedValues shared;
        shared.programFolder = program.path();
        setApplicationPrinterName(QStringLiteral("zar-no-such-printer"));
        Printer& printer = applicationPrinter(shared);
        QCOMPARE(&applicationPrinter(shared), &printer);
        const QString stampe = program.filePath(QStringLiteral("Stampe"));
        QByteArray first;
        for (int job = 0; job < 3; ++job) {
            printer.Print(QStringLiteral("Lavoro %1").arg(job));
            printer.EndDoc();
            if (job == 0) {
                QFile file(stampe + QLatin1Char('/') + pdfFiles(stampe).value(0));
                QVERIFY(file.open(QIODevice::ReadOnly));
                first = file.readAll();
            }
        }
        printer.Print(QStringLiteral("annullato"));
        printer.KillDoc();
        setApplicationPrinterName(QString());

        const QStringList files = pdfFiles(stampe);
        QCOMPARE(files.size(), 3);
        QCOMPARE(shell.opened.size(), 3);
        for (const QString& name : files) {
            QVERIFY2(name.startsWith(QStringLiteral("ZAR ")) && name.endsWith(QStringLiteral(".pdf")),
                     qPrintable(name));
            QVERIFY(shell.opened.contains(stampe + QLatin1Char('/') + name));
        }
        QFile file(shell.opened.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), first);
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
        QList<int> numbers;
        QString description;
        const auto attempt = [&](const std::function<void()>& call) {
            try {
                call();
            } catch (const PrinterError& e) {
                numbers << e.number();
                description = e.description();
            }
        };
        attempt([&] { printer->Print(QStringLiteral("uno")); });
        attempt([&] { printer->Print(QStringLiteral("due")); });
        attempt([&] { printer->EndDoc(); });
        QCOMPARE(numbers, (QList<int>{errPathFileAccess, errPathFileAccess}));
        QVERIFY2(description.contains(QDir::toNativeSeparators(folder)), qPrintable(description));
        QVERIFY(shell.opened.isEmpty());
        QCOMPARE(pdfFiles(program.path()), QStringList{QStringLiteral("file")});
    }

    // With a printable area shifted by 4.2 x 5.0 mm, EasyPrint's texts and shapes land on the
    // same paper positions as with none.
    void easyPrintKeepsPaperPositions() {
        QList<QList<PrintedCall>> runs;
        for (const QMarginsF& strip : {QMarginsF(), kStrip}) {
            RecordingPrinter printer(layoutWith(strip));
            EasyPrint ep(printer);
            QCOMPARE(ep.CurrentX(), 0.0f);
            ep.PrintLeft(15, 28, QStringLiteral("CLASSIFICA"), 0, 60);
            ep.PrintRight(195, 25, QStringLiteral("lunedì"), 0, 0);
            ep.PrintShape(15, 65, 180, 220, 1);
            QVERIFY(qAbs(ep.PageWidth() - 210) < 0.02);
            runs << printer.calls();
        }
        QCOMPARE(runs[0].size(), runs[1].size());
        for (qsizetype i = 0; i < runs[0].size(); ++i) {
            QVERIFY(qAbs(runs[0][i].x - runs[1][i].x) < 0.02);
            QVERIFY(qAbs(runs[0][i].y - runs[1][i].y) < 0.02);
        }
        QCOMPARE(runs[0][0].x, 15.0);
        QCOMPARE(runs[0][0].y, 28.0);
    }

    // A real PDF: texts where they were put (within 0.3 mm), Times New Roman embedded as its
    // Liberation Serif twin, and an orientation change taking effect from the next page.
    void writesARealPdf() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("prova.pdf"));
        auto printer = Printer::toPdfFile(path);
        printer->setFontName(QStringLiteral("Times New Roman"));
        printer->setFontSize(12);
        printer->setScaleMode(vbTwips);
        printer->setCurrentX(20 * kTwipsPerMm);
        printer->setCurrentY(30 * kTwipsPerMm);
        printer->Print(QStringLiteral("Twips"));
        printer->setScaleMode(vbMillimeters);
        printer->setFontBold(true);
        printer->setCurrentX(195 - printer->TextWidth(QStringLiteral("Destra")));
        printer->setCurrentY(280);
        printer->Print(QStringLiteral("Destra"));
        printer->Line(15, 23, 195, 23);
        printer->setOrientation(vbPRORLandscape);
        printer->NewPage();
        printer->setCurrentX(250);
        printer->setCurrentY(100);
        printer->Print(QStringLiteral("Orizzontale"));
        printer->EndDoc();
        printer->setOrientation(vbPRORPortrait);

        const QString bbox =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
        const QRegularExpression word(
            QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(\w+)<)re"));
        QHash<QString, QList<double>> boxes; // mm
        for (const auto& m : word.globalMatch(bbox))
            boxes[m.captured(5)] = {m.captured(1).toDouble() * 25.4 / 72,
                                    m.captured(2).toDouble() * 25.4 / 72,
                                    m.captured(3).toDouble() * 25.4 / 72};
        QVERIFY2(boxes.size() == 3, qPrintable(bbox));
        QVERIFY(qAbs(boxes[QStringLiteral("Twips")][0] - 20) < 0.3);
        QVERIFY(qAbs(boxes[QStringLiteral("Twips")][1] - 30) < 0.3);
        QVERIFY(qAbs(boxes[QStringLiteral("Destra")][2] - 195) < 0.3);
        QVERIFY(qAbs(boxes[QStringLiteral("Destra")][1] - 280) < 0.3);
        QVERIFY(qAbs(boxes[QStringLiteral("Orizzontale")][0] - 250) < 0.3);

        const QString fonts = run(QStringLiteral("pdffonts"), {path});
        QVERIFY2(QRegularExpression(QStringLiteral(R"(LiberationSerif\s.*\byes\b)")).match(fonts).hasMatch(),
                 qPrintable(fonts));
        const QString info =
            run(QStringLiteral("pdfinfo"), {QStringLiteral("-l"), QStringLiteral("2"), path});
        QVERIFY2(
            info.contains(QRegularExpression(QStringLiteral(R"(Page\s+1 size:\s+595(\.\d+)? x 84[12])"))),
            qPrintable(info));
        QVERIFY2(
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
