#include "frame/FieldBox.h"
#include "frame/LimitaAvvio.h"
#include "frame/SharedValues.h"
#include "labels/StampaEtichetta.h"
#include "platform/Modal.h"
#include "platform/MsgBox.h"
#include "platform/Printer.h"
#include "platform/PrinterSetup.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "platform/TextLayout.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/PrintedPdf.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontInfo>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTranslator>

#include <functional>

using namespace zar;
using zar::test::described;

namespace {

// The fault number a call throws (0 for none), its description and whether it was thrown before.
int faultOf(const std::function<void()>& call, QString* description = nullptr, bool* repeated = nullptr) {
    try {
        call();
    } catch (const PrinterError& e) {
        if (description)
            *description = e.description();
        if (repeated)
            *repeated = e.repeated();
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

bool near(double a, double b, double tolerance = 1e-9) {
    return qAbs(a - b) < tolerance;
}

} // namespace

// The platform's layers: message boxes, programs started, running copies, stand-ins, the printer.
class PlatformLayersTest : public zar::test::GuiTestBase {
    Q_OBJECT

private slots:
    // OK boxes take no answer, choices take the queued one; a question nobody answers gets
    // the safe choice and is reported; an inner responder hands back to the outer one.
    void messageBoxesGoThroughTheResponder() {
        answer({vbYes});
        QCOMPARE(MsgBox("Dati salvati.", vbInformation), int(vbOK));
        QCOMPARE(MsgBox("Confermi?", vbYesNo + vbQuestion, "Titolo"), int(vbYes));
        QString reported;
        {
            MsgBoxResponder inner;
            inner.onUnanswered = [&](const MsgBoxRecord& box) { reported = box.text; };
            QCOMPARE(MsgBox("Vuoi terminare?", vbYesNo + vbQuestion), int(vbNo));
            QCOMPARE(inner.unanswered(), 1);
        }
        MsgBox("Fuori", vbCritical, QString());
        QCOMPARE(reported, "Vuoi terminare?");
        QCOMPARE(described(takeBoxes()),
                 QStringList({"Dati salvati.|64|ZAR", "Confermi?|36|Titolo", "Fuori|16|ZAR"}));
    }

    void shellStartsTheFirstProgramThatExists() {
        QVERIFY(!ShellStart({"zar-no-such-program-1", "zar-no-such-program-2"}));
        QVERIFY(ShellStart({"zar-no-such-program-1", "true"}));
        QVERIFY(!ShellStart({}));
    }

    // Copies on other folders are not seen, an ended one frees the name, one alone wakes nobody.
    void endedAndOtherFoldersCopiesAreNotSeen() {
        QTemporaryDir folder, otherFolder;
        {
            SingleInstance gone(folder.path());
            QVERIFY(gone.start() && !SingleInstance(otherFolder.path()).previousInstance());
        }
        SingleInstance next(folder.path());
        QVERIFY(!next.previousInstance() && next.start() && !next.activateOther());
    }

    // Mode 0 always goes on, 1 says so when another copy runs, 2 hands over to it (the caption
    // becomes the window id and the other copy is woken), any other mode stops.
    void limitaAvvioModes() {
        const struct {
            int mode;
            bool otherCopy, goesOn, saysSo, handedOver;
        } cases[] = {{0, true, true, false, false},  {1, false, true, false, false},
                     {1, true, false, true, false},  {2, false, true, false, false},
                     {2, true, false, false, true},  {3, false, false, false, false},
                     {-1, true, false, false, false}};
        for (const auto& c : cases) {
            auto row = qScopeGuard([&] { qWarning("mode %d, other copy %d", c.mode, c.otherCopy); });
            QTemporaryDir folder;
            SingleInstance running(folder.path()), self(folder.path());
            QVERIFY(!c.otherCopy || running.start());
            QSignalSpy activated(&running, &SingleInstance::activateRequested);
            self.start();
            QWidget window;
            window.setWindowTitle("ZAR Gestione Gare");
            QCOMPARE(LimitaAvvio(c.mode, window, "Già in esecuzione", self), c.goesOn);
            QCOMPARE(described(takeBoxes()),
                     c.saysSo ? QStringList{described("Già in esecuzione", vbOKOnly)} : QStringList());
            const QString windowId = QString::number(quint64(window.winId()), 16).toUpper();
            QCOMPARE(window.windowTitle(), c.handedOver ? windowId : "ZAR Gestione Gare");
            QCOMPARE(c.handedOver ? activated.wait(3000) : activated.count() > 0, c.handedOver);
            row.dismiss();
        }
    }

    // Two programs' worth of shared values: each one's stand-ins and printer serve it alone.
    void standInsBelongToTheirSharedValues() {
        SharedValues a, b;
        QStringList seen;
        const auto standIns = [&](SharedValues& s, const QString& tag, int result) {
            s.modalHook = [&seen, tag, result](QDialog& form) {
                seen << tag + form.metaObject()->className();
                return result;
            };
            s.stampaEtichetta = [&seen, &s, tag](SharedValues& on, int bib, auto&, auto&, auto&) {
                seen << tag + QString("label %1 %2").arg(bib).arg(&on == &s);
            };
        };
        standIns(a, "a:", 7);
        standIns(b, "b:", 9);
        QDialog form;
        QCOMPARE(showModal(a, form), 7);
        QCOMPARE(showModal(b, form), 9);
        StampaEtichetta(a, 12, {}, {}, {});
        StampaEtichetta(b, 13, {}, {}, {});
        QVERIFY(!showPrinterSetup(b, nullptr)); // b's hook cancels it
        QCOMPARE(seen, QStringList({"a:QDialog", "b:QDialog", "a:label 12 1", "b:label 13 1",
                                    "b:zar::PrinterSetupDialog"}));
        a.programFolder = b.programFolder = QDir::tempPath();
        QVERIFY(&applicationPrinter(a) != &applicationPrinter(b));
    }

    // A point in the scale unit from the printable area's corner lands on the paper shifted by
    // the unprintable strip; Print then moves to x 0, one text height lower. The area and the
    // device's own measures follow the strip, the orientation and the resolution.
    void placesPointsOnThePaper() {
        const QSizeF a4(210, 297), a4Inside(201.6, 287);
        const QMarginsF none, strip(4.2, 5, 4.2, 5); // unprintable: left, top, right, bottom
        const struct {
            const char* name;
            int scaleMode, orientation;
            QMarginsF unprintable;
            int dpi;
            QPointF at, paper; // in the scale unit, on the paper in mm
            QSizeF areaMm;
            QPoint offsetPixels;
        } cases[] = {
            {"twips", vbTwips, 1, none, 600, {1440, 2880}, {25.4, 50.8}, a4, {0, 0}},
            {"strip", vbTwips, 1, strip, 600, {567, 0}, {4.2 + 567 / kTwipsPerMm, 5}, a4Inside, {99, 118}},
            {"landscape", vbMillimeters, 2, strip, 300, {10, 20}, {14.2, 25}, {288.6, 200}, {50, 59}},
            {"paper corner", vbMillimeters, 1, strip, 600, {-4.2, -5}, {0, 0}, a4Inside, {99, 118}},
        };
        for (const auto& c : cases) {
            RecordingPrinter printer(DeviceLayout{c.unprintable, c.dpi, c.dpi});
            printer.setOrientation(c.orientation);
            printer.setScaleMode(c.scaleMode);
            const double unit = c.scaleMode == vbTwips ? kTwipsPerMm : 1;
            auto row = qScopeGuard([&] { qWarning("in row %s", c.name); });
            QVERIFY(near(printer.ScaleWidth(), c.areaMm.width() * unit, 0.01 * unit));
            QVERIFY(near(printer.ScaleHeight(), c.areaMm.height() * unit, 0.01 * unit));
            QCOMPARE(QList<int>({printer.GetDeviceCaps(88), printer.GetDeviceCaps(90),
                                 printer.GetDeviceCaps(112), printer.GetDeviceCaps(113)}),
                     QList<int>({c.dpi, c.dpi, c.offsetPixels.x(), c.offsetPixels.y()}));
            printer.setCurrentX(c.at.x());
            printer.setCurrentY(c.at.y());
            printer.Print("Abc");
            QCOMPARE(printer.CurrentX(), 0.0);
            QVERIFY(near(printer.CurrentY(), c.at.y() + printer.TextHeight("Abc")));
            printer.Line(c.at.x(), c.at.y(), c.at.x() + printer.TextWidth("Abc"), c.at.y());
            printer.Circle(c.at.x(), c.at.y(), 25.4 * unit);
            const auto& calls = printer.calls();
            QCOMPARE(calls.size(), 3);
            for (const PrintedCall& call : calls)
                QVERIFY(near(call.x, c.paper.x()) && near(call.y, c.paper.y()));
            // TextWidth is the width drawn.
            QVERIFY(near(calls[1].x2, calls[0].x2) && near(calls[2].radius, 25.4));
            row.dismiss();
        }
    }

    // A text is about one em high; bold is wider; a larger size scales it by its points, in
    // either unit.
    void measuresText() {
        RecordingPrinter printer;
        printer.setScaleMode(vbMillimeters);
        printer.setFontSize(10);
        const QString text = "Cognome Nome";
        const double width = printer.TextWidth(text), height = printer.TextHeight(text), em = 10 * 25.4 / 72;
        QVERIFY(height > 1.0 * em && height < 1.25 * em && width > 4 * em && width < 8 * em);
        printer.setFontBold(true);
        QVERIFY(printer.TextWidth(text) > width);
        printer.setFontBold(false);
        printer.setFontSize(20.5);
        printer.setScaleMode(vbTwips);
        QVERIFY(near(printer.TextWidth(text) / (width * kTwipsPerMm), 2.05, 0.03));
        QVERIFY(near(printer.TextHeight(text) / (2.05 * height * kTwipsPerMm), 1, 0.02));
    }

    // A text's width is the font file's own at any size and resolution: no size snaps to pixels.
    void measuresTextAtItsTrueSize() {
        const QString file = test::fontFile(QStringLiteral("Liberation Serif:bold"));
        for (int dpi : {96, 600, 1200})
            for (double points : {10.0, 8.5, 14.4, 700.0, 2160.0}) { // past 655.35 pt, fewer units a point
                RecordingPrinter printer({QMarginsF(), dpi, dpi});
                printer.setScaleMode(vbMillimeters);
                printer.setFontName(QStringLiteral("Times New Roman"));
                printer.setFontBold(true);
                printer.setFontSize(points);
                QVERIFY2(near(printer.TextWidth("ROSSI MARIO"),
                              test::fontFileWidthMm(file, "ROSSI MARIO", points), 0.002),
                         qPrintable(QStringLiteral("%1 pt, %2 dpi").arg(points).arg(dpi)));
            }
    }

    // Texts laid out from each font's remembered glyphs and pairs come out as Qt lays them out
    // itself: the same glyphs at the same pen positions, kerning included, and the same width.
    // What needs more than that is left to Qt, and is measured as Qt measures it.
    void laysOutTextAsQtDoes() {
        const QString texts[] = {"AVANTI, Yves L'Àquila", "WAVE To Ly 11,50 1'07\"45", "Più è già.", ""};
        const QString others[] = {"e\u0301",           "Tab\tto", "Zoë\u00ad",
                                  "Tono \u02e5\u02e6", "漢字",    "Ça\u2028va"};
        const std::tuple<QString, QString, bool, bool> fonts[] = {
            {"Times New Roman", "Liberation Serif", false, false},
            {"Times New Roman", "Liberation Serif", true, false},
            {"Times New Roman", "Liberation Serif", true, true},
            {"Arial", "Liberation Sans", false, true},
            {"Courier New", "Liberation Mono", false, false}};
        for (const auto& [family, twin, bold, italic] : fonts) {
            QFont font;
            font.setFamilies({family, twin});
            font.setPixelSize(1000);
            font.setBold(bold);
            font.setItalic(italic);
            font.setHintingPreference(QFont::PreferNoHinting);
            const TextLayout layout(font);
            const QFontMetricsF metrics(font);
            for (const QString& text : texts) {
                const QString what =
                    QStringLiteral("%1 %2%3: %4").arg(family).arg(bold).arg(italic).arg(text);
                QTextLayout qt(text, font);
                qt.beginLayout();
                qt.createLine();
                qt.endLayout();
                QList<quint32> glyphs;
                QList<double> xs;
                for (const QGlyphRun& run : qt.glyphRuns()) {
                    glyphs << run.glyphIndexes();
                    for (const QPointF& p : run.positions())
                        xs << p.x();
                }
                TextLayout::Run run;
                QVERIFY2(layout.layOut(text, run), qPrintable(what));
                QList<double> ours;
                for (const QPointF& p : run.positions)
                    ours << p.x();
                QCOMPARE(run.glyphs, glyphs);
                QVERIFY2(ours == xs, qPrintable(what));
                QCOMPARE(run.width, metrics.horizontalAdvance(text));
                QCOMPARE(layout.width(text), metrics.horizontalAdvance(text));
            }
            for (const QString& text : others) {
                TextLayout::Run run;
                QVERIFY2(!layout.layOut(text, run), qPrintable(text));
                QCOMPARE(layout.width(text), metrics.horizontalAdvance(text));
            }
        }
        // A character the font lacks is drawn from another font, which only Qt picks.
        QFont mono;
        mono.setFamilies({"Courier New", "Liberation Mono"});
        mono.setPixelSize(1000);
        TextLayout::Run run;
        QVERIFY(!TextLayout(mono).layOut(QStringLiteral("Ja\u0237"), run));
        // A font that joins letters ("ff", "fi") is left to Qt altogether.
        QFont joining(QStringLiteral("DejaVu Sans"));
        joining.setPixelSize(1000);
        QCOMPARE(QFontInfo(joining).family(), QStringLiteral("DejaVu Sans")); // the set-up installs it
        for (const char* text : {"office", "AVANTI"})
            QVERIFY2(!TextLayout(joining).layOut(text, run), text);
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
            {"blank font name", [](Printer& p) { p.setFontName(" "); }},
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

    // Jobs start with the first drawing, pages count up, EndDoc sends, KillDoc drops.
    void runsJobs() {
        RecordingPrinter printer;
        printer.EndDoc(); // nothing to send
        printer.Print("uno");
        printer.setOrientation(vbPRORLandscape);
        printer.NewPage();
        printer.Line(0, 0, 10, 10);
        printer.EndDoc();
        QCOMPARE(printer.Orientation(), int(vbPRORLandscape)); // settings outlive the job
        printer.Print("due");
        printer.KillDoc();
        using K = PrintedCall::Kind;
        QList<std::pair<K, int>> seen;
        for (const PrintedCall& call : printer.calls())
            seen.append({call.kind, call.page});
        const QList<std::pair<K, int>> sent{{K::Text, 1},   {K::NewPage, 2}, {K::Line, 2},
                                            {K::EndDoc, 2}, {K::Text, 1},    {K::KillDoc, 1}};
        QCOMPARE(seen, sent);
        QCOMPARE(printer.jobsSent(), 1);
    }

    // Without any printer (see main) each job is a new PDF file in "Stampe", opened in the
    // viewer; no file is ever replaced, a dropped job leaves nothing.
    void writesJobsIntoStampe() {
        QTemporaryDir program;
        ShellRecorder shell;
        SharedValues shared;
        shared.programFolder = program.path();
        shared.printerName = "zar-no-such-printer";
        Printer& printer = applicationPrinter(shared);
        for (int job = 0; job < 3; ++job) {
            printer.Print(QString("Lavoro %1").arg(job));
            printer.EndDoc();
        }
        printer.Print("annullato");
        printer.KillDoc();

        const QStringList files = QDir(program.filePath("Stampe")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), 3);
        QCOMPARE(shell.opened.size(), 3);
        for (int job = 0; job < 3; ++job) {
            QVERIFY(files.contains(QFileInfo(shell.opened[job]).fileName()));
            const QString text = run("pdftotext", {shell.opened[job], "-"});
            QCOMPARE(text.trimmed(), QString("Lavoro %1").arg(job)); // each its own job
        }
    }

    // A folder that cannot be written is a fault naming it, at the first drawing and again at
    // EndDoc (marked as told already), never a job that silently vanishes; the job drew nothing,
    // and the next one goes out.
    void reportsAnUnwritableFolder() {
        QTemporaryDir program;
        QVERIFY(QFile(program.filePath("file")).open(QIODevice::WriteOnly));
        const QString folder = program.filePath("file/Stampe");
        ShellRecorder shell;
        auto printer = Printer::toPdfFolder(folder);
        QString description;
        bool repeated = true;
        QCOMPARE(faultOf([&] { printer->Print("uno"); }, &description, &repeated), int(errPathFileAccess));
        QVERIFY2(description.contains(QDir::toNativeSeparators(folder)) && !repeated,
                 qPrintable(description));
        QCOMPARE(faultOf([&] { printer->Print("due"); }), 0);
        QCOMPARE(faultOf([&] { printer->EndDoc(); }, nullptr, &repeated), int(errPathFileAccess));
        QVERIFY(repeated);
        QVERIFY(shell.opened.isEmpty() && QFile::remove(program.filePath("file")));
        printer->Print("tre");
        printer->EndDoc();
        QCOMPARE(shell.opened.size(), 1);
        QCOMPARE(run("pdftotext", {shell.opened[0], "-"}).trimmed(), "tre");
    }

    // In a real PDF an orientation change takes effect from the next page (texts, fonts: ReportsRoadTest).
    void turnsFromTheNextPage() {
        QTemporaryDir dir;
        const QString path = dir.filePath("prova.pdf");
        auto printer = Printer::toPdfFile(path);
        printer->Print("Verticale");
        printer->setOrientation(vbPRORLandscape);
        printer->NewPage();
        printer->Print("Orizzontale");
        printer->EndDoc();
        const QString info = run("pdfinfo", {"-l", "2", path});
        QVERIFY2(info.contains(QRegularExpression(
                     R"((?s)Page\s+1 size:\s+595\S* x 84[12].*Page\s+2 size:\s+84[12]\S* x 595)")),
                 qPrintable(info));
    }

    // With Qt's own Italian texts, a text box's menu and the printer setup speak Italian. The
    // setup has no print button; it opens on the printer's paper and orientation, OK keeps the
    // ones chosen, a cancel leaves everything as it was. Without any printer (see main) it says so.
    void printerSetupAndMenusInItalian() {
        QTranslator qtTexts;
        QVERIFY(installQtTexts(qtTexts));
        const auto uninstall = qScopeGuard([&] { QCoreApplication::removeTranslator(&qtTexts); });
        FocusTracker focus;
        FieldBox line(focus, nullptr);
        NotesBox notes(focus, nullptr);
        for (QMenu* m : {line.createStandardContextMenu(), notes.createStandardContextMenu()}) {
            QStringList texts;
            for (const QAction* a : m->actions())
                texts << a->text().section(u'\t', 0, 0);
            delete m;
            texts.removeAll(QString());
            QCOMPARE(texts, QStringList({"Ann&ulla", "&Rifai", "&Taglia", "&Copia", "&Incolla", "Elimina",
                                         "Seleziona tutto"}));
        }

        const struct {
            int paper;
            bool landscape, ok;
        } rows[] = {{11, true, false}, {8, true, true}, {vbPRPSA4, false, false}}; // A5, A3, A4
        PlatformContext context;
        context.programFolder = QDir::tempPath();
        Printer& printer = applicationPrinter(context);
        for (const auto& r : rows) {
            const int paperBefore = printer.PaperSize(), orientationBefore = printer.Orientation();
            QStringList seen;
            context.modalHook = [&](QDialog& form) {
                auto* papers = test::child<QComboBox>(&form, "cmbFormato");
                auto* landscape = test::child<QRadioButton>(&form, "optOrizzontale");
                QStringList captions;
                for (const QAbstractButton* b : form.findChildren<QAbstractButton*>())
                    captions << b->text();
                seen << form.windowTitle() << captions.join('|')
                     << QString::number(test::child<QComboBox>(&form, "cmbStampante")->isEnabled())
                     << QString::number(papers->currentData().toInt() == paperBefore &&
                                        landscape->isChecked() == (orientationBefore == vbPRORLandscape));
                papers->setCurrentIndex(papers->findData(r.paper));
                (r.landscape ? landscape : test::child<QRadioButton>(&form, "optVerticale"))->click();
                test::child<QDialogButtonBox>(&form, "buttonBox")
                    ->button(r.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                    ->click();
                return form.result();
            };
            QCOMPARE(showPrinterSetup(context, nullptr), r.ok);
            QCOMPARE(seen,
                     QStringList({"Impostazione Stampante", "&Verticale|&Orizzontale|OK|Annulla", "0", "1"}));
            QCOMPARE(printer.PaperSize(), r.ok ? r.paper : paperBefore);
            QCOMPARE(printer.Orientation(),
                     r.ok ? (r.landscape ? vbPRORLandscape : vbPRORPortrait) : orientationBefore);
        }
    }
};

int main(int argc, char** argv) {
    // No queue of this machine may take a test job: the print system is asked at a socket
    // that does not exist, so the program sees no printer at all.
    QTemporaryDir nowhere;
    qputenv("CUPS_SERVER", (nowhere.path() + "/no-cupsd.sock").toLocal8Bit());
    QApplication app(argc, argv);
    PlatformLayersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PlatformLayersTest.moc"
