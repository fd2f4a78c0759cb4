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
const double stripL = 99 * 25.4 / 600, stripT = 118 * 25.4 / 600;

// "x y" in millimetres: with a text, a text printed there; "@ x y", the point the next print takes.
QString at(double x, double y, const QString& text = "@") {
    const QString xy = QStringLiteral("%1 %2").arg(x, 0, 'f', 2).arg(y, 0, 'f', 2);
    return text == "@" ? "@ " + xy : xy + " " + text;
}

} // namespace

class EasyPrintTest : public zar::test::GuiTestBase {
    Q_OBJECT

private slots:
    void printsAtItsPointFitsAndReportsFaults() {
        RecordingPrinter p({QMarginsF(stripL, stripT, stripL, stripT)});
        p.setFontName("Times New Roman");
        p.setFontSize(10);
        EasyPrint e(p);
        const auto W = [&](const QString& s) { return e.TextWidth(s); };
        const double H = e.TextHeight(QString());
        const QString M6 = "MMMMMM"; // 18.8 mm; seven M are 21.9 mm
        const struct {
            std::function<void()> act;
            QStringList expected; // texts, boxes shown ("!"), the next print's point
        } cases[] = {
            {[&] { e.PrintLeft(20, 30, " Abc ", 0, 0); }, {at(20, 30, " Abc "), at(stripL, 30 + H)}},
            // a right indent moves the first line only; the fit keeps each line's ending
            {[&] { e.PrintRight(100, 30, "a\rxyzMMMMMMM", 5, 20); },
             {at(95 - W("a"), 30, "a"), at(100 - W(M6), 30 + H, M6), at(stripL, 30 + 2 * H)}},
            // a width just short of the text's: the last character goes
            {[&] { e.PrintLeft(20, 30, M6 + ".", 0, int(std::ceil(W(M6 + "."))) - 1); },
             {at(20, 30, M6), at(stripL, 30 + H)}},
            {[&] { e.PrintRight(100, 30, "xyzMMMMMMM", 0, 20); },
             {at(100 - W(M6), 30, M6), at(stripL, 30 + H)}},
            // a printer fault shows the box and the report goes on
            {[&] {
                 e.PrintLeft(20, 30, "prima", 0, 0);
                 p.setOffline(true);
                 e.PrintCentre(105, 40, "persa", 0);
                 p.setOffline(false);
                 e.PrintLeft(20, 50, "dopo", 0, 0);
             },
             {at(20, 30, "prima"), at(20, 50, "dopo"),
              "! 16 EasyPrint Errore nella routine di stampa|Errore numero: 482|Errore della stampante",
              at(stripL, 50 + H)}},
        };
        for (const auto& c : cases) {
            p.clear();
            c.act();
            QStringList seen;
            for (const PrintedCall& call : p.calls())
                seen << at(call.x, call.y, call.kind == PrintedCall::Kind::Text ? call.text : "kind");
            for (const MsgBoxRecord& box : takeBoxes())
                seen << QStringLiteral("! %1 %2 %3")
                            .arg(box.style)
                            .arg(box.title, box.text)
                            .replace("\r\n", "|");
            QCOMPARE(seen << at(e.CurrentX(), e.CurrentY()), c.expected);
        }
    }
};

QTEST_MAIN(EasyPrintTest)
#include "EasyPrintTest.moc"
