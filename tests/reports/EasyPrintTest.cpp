#include "reports/EasyPrint.h"
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

QString text(double x, double y, const QString& t) {
    return QStringLiteral("T %1 %2 %3").arg(mm(x), mm(y), t);
}

// Texts by their point; other calls by their kind alone.
QString describe(const PrintedCall& c) {
    return c.kind == PrintedCall::Kind::Text ? text(c.x, c.y, c.text)
                                             : QStringLiteral("TLBAPNEK").at(int(c.kind));
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
        const QString M6 = "MMMMMM"; // 18.8 mm; seven M are 21.9 mm
        const QString sep = "Errore nella routine di stampa|Errore numero: ";

        QTest::newRow("one line at exactly its point")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintLeft(20, 30, " Abc ", 0, 0); })
            << QStringList{text(20, 30, " Abc "), at(stripL, 30 + H)};
        QTest::newRow("right indent on the first line, fit keeps every line's ending")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintRight(100, 30, "a\rxyzMMMMMMM", 5, 20); })
            << QStringList{text(95 - W("a"), 30, "a"), text(100 - W(M6), 30 + H, M6), at(stripL, 30 + 2 * H)};
        // A width just short of the text's: the last character goes.
        const int justShort = int(std::ceil(W(M6 + "."))) - 1;
        QTest::newRow("left fit keeps the longest beginning")
            << Act([=](EasyPrint& e, RecordingPrinter&) { e.PrintLeft(20, 30, M6 + ".xyz", 0, justShort); })
            << QStringList{text(20, 30, M6), at(stripL, 30 + H)};
        QTest::newRow("right fit keeps the longest ending")
            << Act([](EasyPrint& e, RecordingPrinter&) { e.PrintRight(100, 30, "xyzMMMMMMM", 0, 20); })
            << QStringList{text(100 - W(M6), 30, M6), at(stripL, 30 + H)};
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
    }

    void cases() {
        QFETCH(Act, act);
        QFETCH(QStringList, expected);
        RecordingPrinter printer(shiftedLayout());
        printer.setFontName("Times New Roman");
        printer.setFontSize(10);
        EasyPrint e(printer);
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
