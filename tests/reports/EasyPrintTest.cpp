#include "reports/EasyPrint.h"
#include "platform/MsgBox.h"
#include "platform/Printer.h"
#include "support/GuiTestBase.h"

#include <QTest>

#include <cmath>
#include <functional>

using namespace zar;

namespace {

// The printable area starts about 4.2 mm from the paper's left and 5 mm from its top (whole
// pixels at 600 dpi, as a printer reports them), so every expected position on the paper also
// proves the offsets are taken off.
const double stripL = 99 * 25.4 / 600;
const double stripT = 118 * 25.4 / 600;

DeviceLayout shiftedLayout() {
    DeviceLayout layout;
    layout.unprintableMm = QMarginsF(stripL, stripT, stripL, stripT);
    return layout;
}

QString mm(double v) {
    return QString::number(v, 'f', 2);
}

QString describe(const PrintedCall& c) {
    const auto degrees = [](double radians) { return qRound(radians * 180 / 3.14159265); };
    switch (c.kind) {
    case PrintedCall::Kind::Text:
        return QStringLiteral("T %1 %2 %3pt #%4 %5")
            .arg(mm(c.x), mm(c.y))
            .arg(c.fontSize)
            .arg(c.foreColor)
            .arg(c.text);
    case PrintedCall::Kind::Arc:
        return QStringLiteral("A %1 %2 r%3 %4-%5")
            .arg(mm(c.x), mm(c.y), mm(c.radius))
            .arg(degrees(c.startAngle))
            .arg(degrees(c.endAngle));
    case PrintedCall::Kind::Picture:
        return QStringLiteral("P %1 %2 %3x%4").arg(mm(c.x), mm(c.y), mm(c.width), mm(c.height));
    default: // lines and boxes by their ends; page marks by a letter alone
        const QString kind = QStringLiteral("TLBAPNEK").at(int(c.kind));
        return c.kind > PrintedCall::Kind::Picture
                   ? kind
                   : kind + QStringLiteral(" %1 %2 %3 %4").arg(mm(c.x), mm(c.y), mm(c.x2), mm(c.y2));
    }
}

QString text(double x, double y, const QString& t, int size = 10, int colour = 0) {
    return QStringLiteral("T %1 %2 %3pt #%4 %5").arg(mm(x), mm(y)).arg(size).arg(colour).arg(t);
}

QString at(double x, double y) {
    return QStringLiteral("@ %1 %2").arg(mm(x), mm(y));
}

} // namespace

using Act = std::function<void(EasyPrint&, RecordingPrinter&)>;
Q_DECLARE_METATYPE(Act)

class EasyPrintTest : public zar::test::GuiTestBase {
    Q_OBJECT

private slots:
    void cases_data() {
        QTest::addColumn<Act>("act");
        QTest::addColumn<QStringList>("expected"); // calls, boxes shown ("!"), final point ("@")

        // Measures of the table's font, Times New Roman 10 pt.
        RecordingPrinter ruler;
        ruler.setScaleMode(vbMillimeters);
        ruler.setFontSize(10);
        const auto W = [&](const QString& s) { return ruler.TextWidth(s); };
        const double H = ruler.TextHeight(QString());
        ruler.setFontSize(12);
        const double H12 = ruler.TextHeight(QString());
        ruler.setFontSize(10);
        QImage logo(49, 49, QImage::Format_RGB32); // no resolution set: 96 dpi, 12.96 mm
        logo.fill(Qt::blue);
        const QString M6 = "MMMMMM"; // 18.8 mm; seven M are 21.9 mm
        const QString sep = "Errore nella routine di stampa|Errore numero: ";

        QTest::newRow("one line at exactly its point")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintLeft(20, 30, " Abc ", 0, 0); })
            << QStringList{text(20, 30, " Abc "), at(stripL, 30 + H)};
        QTest::newRow("three lines by CR LF, trimmed, spaced")
            << Act([](EasyPrint& e, RecordingPrinter&) {
                   e.setSpaziaturaLinea(2);
                   e.PrintLeft(20, 30, " uno \r\n  due\r\ntre ", 0, 0);
               })
            << QStringList{text(20, 30, "uno"), text(20, 30 + H + 2, "due"),
                           text(20, 30 + 2 * (H + 2), "tre"), at(stripL, 30 + 2 * (H + 2) + H)};
        QTest::newRow("left indent on the first line only")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintLeft(20, 30, "a\rb", 5, 0); })
            << QStringList{text(25, 30, "a"), text(20, 30 + H, "b"), at(stripL, 30 + 2 * H)};
        QTest::newRow("right indent on the first line, fit keeps every line's ending")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintRight(100, 30, "a\rxyzMMMMMMM", 5, 20); })
            << QStringList{text(95 - W("a"), 30, "a"), text(100 - W(M6), 30 + H, M6), at(stripL, 30 + 2 * H)};
        QTest::newRow("single right-aligned line with indent")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintRight(100, 30, "pag.12", 5, 0); })
            << QStringList{text(95 - W("pag.12"), 30, "pag.12"), at(stripL, 30 + H)};
        // A width just short of the text's: the last character goes.
        const int justShort = int(std::ceil(W(M6 + "."))) - 1;
        QTest::newRow("left fit keeps the longest beginning")
            << Act([=](EasyPrint& e, RecordingPrinter&) { e.PrintLeft(20, 30, M6 + ".xyz", 0, justShort); })
            << QStringList{text(20, 30, M6), at(stripL, 30 + H)};
        QTest::newRow("right fit keeps the longest ending")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintRight(100, 30, "xyzMMMMMMM", 0, 20); })
            << QStringList{text(100 - W(M6), 30, M6), at(stripL, 30 + H)};
        QTest::newRow("fit on every line of a multi-line text")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintLeft(20, 30, "MMMMMMMM\rok", 0, 20); })
            << QStringList{text(20, 30, M6), text(20, 30 + H, "ok"), at(stripL, 30 + 2 * H)};
        QTest::newRow("centred lines")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintCentre(22.5, 67, "Ord.\rPart.", 0); })
            << QStringList{text(22.5 - W("Ord.") / 2, 67, "Ord."),
                           text(22.5 - W("Part.") / 2, 67 + H, "Part."), at(stripL, 67 + 2 * H)};
        QTest::newRow("negative positions keep where the last output left off")
            << Act([](EasyPrint& e, RecordingPrinter&) {
                   e.PrintLeft(20, 30, "a", 0, 0);
                   e.PrintLeft(-1, -1, "b", 0, 0);
                   e.PrintCentre(50, -1, "c", 0);
               })
            << QStringList{text(20, 30, "a"), text(stripL, 30 + H, "b"),
                           text(50 - W("c") / 2, 30 + 2 * H, "c"), at(stripL, 30 + 3 * H)};
        QTest::newRow("rounding larger than half the shorter side")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintShape(15, 65, 40, 12, 10); })
            << QStringList{
                   "L 21.00 65.00 49.00 65.00", "A 49.00 71.00 r6.00 0-90",   "L 55.00 71.00 55.00 71.00",
                   "A 49.00 71.00 r6.00 270-0", "L 49.00 77.00 21.00 77.00",  "A 21.00 71.00 r6.00 180-270",
                   "L 15.00 71.00 15.00 71.00", "A 21.00 71.00 r6.00 90-180", at(55, 77)};
        QTest::newRow("height 0 is a rule")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintShape(15, 23, 180, 0, 0); })
            << QStringList{"B 15.00 23.00 195.00 23.00", at(195, 23)};
        QTest::newRow("picture sizes") << Act([logo](EasyPrint& e, RecordingPrinter&) {
            e.PrintPicture(15, 5, logo, 0, 0);
            e.PrintPicture(15, 5, logo, 20, 0);
            e.PrintPicture(15, 5, logo, 0, 30);
            e.PrintPicture(15, 5, logo, 20, 30);
            e.PrintPicture(15, 5, logo, -1, 30);
        }) << QStringList{"P 15.00 5.00 12.96x12.96", "P 15.00 5.00 12.96x20.00", "P 15.00 5.00 30.00x12.96",
                          "P 15.00 5.00 30.00x20.00", "P 15.00 5.00 12.96x12.96", at(0, 0)};
        QTest::newRow("a printer fault shows the box and the report goes on")
            << Act([](EasyPrint& e, RecordingPrinter& p) {
                   e.PrintLeft(20, 30, "prima", 0, 0);
                   p.setOffline(true);
                   e.PrintCentre(105, 40, "persa", 0);
                   p.setOffline(false);
                   e.PrintLeft(20, 50, "dopo", 0, 0);
               })
            << QStringList{text(20, 30, "prima"), text(20, 50, "dopo"),
                           "! 16 EasyPrint " + sep + "482|Errore della stampante", at(stripL, 50 + H)};
        QTest::newRow("an empty picture shows the box")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintPicture(15, 5, QImage(), 0, 0); })
            << QStringList{"! 16 EasyPrint " + sep + "481|Immagine non valida", at(0, 0)};
        QTest::newRow("refused colour is black, refused font keeps the last")
            << Act([](EasyPrint& e, RecordingPrinter&) {
                   e.setForeColor(0xFF);
                   e.setForeColor(-5);
                   e.setFontName(QString());
                   QCOMPARE(e.FontName(), "Times New Roman");
                   e.setFontSize(12);
                   e.PrintLeft(20, 30, "nero", 0, 0);
               })
            << QStringList{text(20, 30, "nero", 12, 0), at(stripL, 30 + H12)};
        QTest::newRow("still millimetres after a print in twips")
            << Act([](EasyPrint& e, RecordingPrinter& p) {
                   p.setScaleMode(vbTwips);
                   e.PrintLeft(20, 30, "a", 0, 0);
                   p.setScaleMode(vbTwips);
                   e.setCurrentX(40);
                   QCOMPARE(e.CurrentX(), 40.0f);
               })
            << QStringList{text(20, 30, "a"), at(40, 30 + H)};
    }

    void cases() {
        QFETCH(Act, act);
        QFETCH(QStringList, expected);
        RecordingPrinter printer(shiftedLayout());
        printer.setFontName("Times New Roman");
        printer.setFontSize(10);
        EasyPrint e(printer);
        QCOMPARE(e.PageWidth(), 210.0f);
        QCOMPARE(e.PageHeight(), 297.0f);
        act(e, printer);
        QStringList seen;
        for (const PrintedCall& call : printer.calls())
            seen << describe(call);
        for (const MsgBoxRecord& box : takeBoxes())
            seen << QStringLiteral("! %1 %2 %3").arg(box.style).arg(box.title, box.text).replace("\r\n", "|");
        seen << at(e.CurrentX(), e.CurrentY());
        QCOMPARE(seen, expected);
    }
};

QTEST_MAIN(EasyPrintTest)
#include "EasyPrintTest.moc"
