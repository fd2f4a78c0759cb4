// A rankings-like document (landscape A4, a header of texts, rules and a rounded frame per page,
// 50 rows of seven cells a page) written to PDF through EasyPrint, against the raw work: one
// QPainter pass drawing the same texts, rules and frames at the same positions to a QPdfWriter.
//
//   cmake -S . -B build -G Ninja -DZAR_BENCH=ON && cmake --build build --target bench_print
//   build/bench-bin/bench_print

#include "platform/Printer.h"
#include "reports/EasyPrint.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

using namespace zar;

namespace {

enum class Align { Left, Right, Centre };

struct Cell {
    Align align;
    float x, y; // mm from the paper's corner: start, end or centre by align
    QString text;
    int widthMax;
    int font; // 0 row font, 1 header font, 2 title font
};

struct Shape {
    float x, y, w, h, rounded;
    int drawWidth;
    int drawStyle;
};

struct Page {
    std::vector<Cell> cells;
    std::vector<Shape> shapes;
};

struct FontSpec {
    int size;
    bool bold, italic;
};
const FontSpec kFonts[] = {{10, true, false}, {12, true, false}, {16, true, true}};

std::vector<Page> makeDocument(int rows) {
    std::vector<Page> pages;
    const float colX[] = {22, 36, 45, 120, 151, 246, 265};
    for (int row = 0; row < rows; ++row) {
        if (row % 50 == 0) {
            Page page;
            page.cells.push_back({Align::Left, 15, 28, QStringLiteral("CLASSIFICA "), 60, 2});
            page.cells.push_back({Align::Right, 282, 25, QStringLiteral("sabato, 14 settembre 2024"), 0, 2});
            page.cells.push_back(
                {Align::Left, 15, 36, QStringLiteral("Data    : 14/09/2024          Gara : Prova"), 180, 1});
            page.cells.push_back({Align::Left, 15, 41, QStringLiteral("Località  : Campo sportivo"), 180, 1});
            page.cells.push_back({Align::Left, 15, 46, QStringLiteral("Giudice   : Rossi Mario"), 180, 1});
            for (float x : {22.f, 36.f, 80.5f, 151.f, 212.f, 246.f, 265.f})
                page.cells.push_back({Align::Centre, x, 70, QStringLiteral("Pett."), 0, 1});
            page.shapes.push_back({15, 23, 267, 0, 0, 1, 0});
            page.shapes.push_back({15, 24, 267, 0, 0, 1, 0});
            page.shapes.push_back({15, 65, 267, 135, 1, 3, 0});
            page.shapes.push_back({15, 78, 267, 0, 0, 2, 0});
            for (float x : {29.f, 43.f, 118.f, 184.f, 240.f, 252.f})
                page.shapes.push_back({x, 66, 0, 135, 0, 2, 2});
            pages.push_back(std::move(page));
        }
        const float y = 80 + (row % 50) * 2.3f;
        Page& page = pages.back();
        page.cells.push_back({Align::Centre, colX[0], y, QString::number(row % 50 + 1), 0, 0});
        page.cells.push_back({Align::Centre, colX[1], y, QString::number(100 + row), 0, 0});
        page.cells.push_back(
            {Align::Left, colX[2], y, QStringLiteral("Cognome%1 Nome - Conducente").arg(row), 70, 0});
        page.cells.push_back({Align::Left, colX[3], y, QStringLiteral("Cane %1").arg(row), 60, 0});
        page.cells.push_back({Align::Left, colX[4] + 35, y, QStringLiteral("Border Collie"), 50, 0});
        page.cells.push_back({Align::Centre, colX[5], y, QString::number(100 - row % 37, 'f', 2), 0, 0});
        page.cells.push_back({Align::Right, colX[6] + 15, y,
                              QStringLiteral("0%1'%2\"%3")
                                  .arg(row % 3)
                                  .arg(row % 60, 2, 10, QLatin1Char('0'))
                                  .arg(row % 100, 2, 10, QLatin1Char('0')),
                              0, 0});
    }
    return pages;
}

void printWithEasyPrint(const std::vector<Page>& pages, const QString& path) {
    auto printer = Printer::toPdfFile(path);
    printer->setOrientation(vbPRORLandscape);
    EasyPrint ep(*printer);
    ep.setFontName(QStringLiteral("Times New Roman"));
    bool first = true;
    for (const Page& page : pages) {
        if (!first)
            ep.NewPage();
        first = false;
        for (const Shape& s : page.shapes) {
            ep.setDrawWidth(s.drawWidth);
            ep.setDrawStyle(s.drawStyle);
            ep.PrintShape(s.x, s.y, s.w, s.h, s.rounded);
        }
        int font = -1;
        for (const Cell& c : page.cells) {
            if (c.font != font) {
                font = c.font;
                ep.setFontBold(kFonts[font].bold);
                ep.setFontItalic(kFonts[font].italic);
                ep.setFontSize(kFonts[font].size);
            }
            switch (c.align) {
            case Align::Left:
                ep.PrintLeft(c.x, c.y, c.text, 0, c.widthMax);
                break;
            case Align::Right:
                ep.PrintRight(c.x, c.y, c.text, 0, c.widthMax);
                break;
            case Align::Centre:
                ep.PrintCentre(c.x, c.y, c.text, c.widthMax);
                break;
            }
        }
    }
    ep.EndDoc();
    printer->setOrientation(vbPRORPortrait);
}

// What the raw pass draws: device positions worked out beforehand.
struct RawText {
    QPointF baseline; // device pixels
    QString text;
    int font;
};

struct RawPage {
    std::vector<RawText> texts;
    std::vector<Shape> shapes;
};

constexpr double kDpi = 600;
constexpr double kPx = kDpi / 25.4;

std::vector<RawPage> layOut(const std::vector<Page>& pages, const std::vector<QFont>& fonts) {
    std::vector<QFontMetricsF> metrics;
    QPdfWriter probe(QStringLiteral("/dev/null"));
    probe.setResolution(int(kDpi));
    for (const QFont& f : fonts)
        metrics.emplace_back(f, &probe);
    std::vector<RawPage> raw;
    for (const Page& page : pages) {
        RawPage r;
        r.shapes = page.shapes;
        for (const Cell& c : page.cells) {
            const QFontMetricsF& m = metrics[c.font];
            const double width = m.horizontalAdvance(c.text) / kPx;
            const double left = c.align == Align::Left    ? c.x
                                : c.align == Align::Right ? c.x - width
                                                          : c.x - width / 2;
            r.texts.push_back({QPointF(left * kPx, c.y * kPx + m.ascent()), c.text, c.font});
        }
        raw.push_back(std::move(r));
    }
    return raw;
}

void printRaw(const std::vector<RawPage>& pages, const std::vector<QFont>& fonts, const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(int(kDpi));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    QPainter painter(&writer);
    bool first = true;
    for (const RawPage& page : pages) {
        if (!first)
            writer.newPage();
        first = false;
        for (const Shape& s : page.shapes) {
            painter.setPen(QPen(Qt::black, s.drawWidth, s.drawStyle == 2 ? Qt::DotLine : Qt::SolidLine));
            const QRectF r(s.x * kPx, s.y * kPx, s.w * kPx, s.h * kPx);
            if (s.rounded > 0)
                painter.drawRoundedRect(r, s.rounded * kPx, s.rounded * kPx);
            else if (s.w == 0 || s.h == 0)
                painter.drawLine(r.topLeft(), r.bottomRight());
            else
                painter.drawRect(r);
        }
        painter.setPen(Qt::black);
        int font = -1;
        for (const RawText& t : page.texts) {
            if (t.font != font) {
                font = t.font;
                painter.setFont(fonts[font]);
            }
            painter.drawText(t.baseline, t.text);
        }
    }
}

std::vector<QFont> rawFonts() {
    std::vector<QFont> fonts;
    for (const FontSpec& font : kFonts) {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(font.size);
        f.setBold(font.bold);
        f.setItalic(font.italic);
        fonts.push_back(f);
    }
    return fonts;
}

void BM_EasyPrintPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const std::vector<Page> pages = makeDocument(int(state.range(0)));
    for (auto _ : state)
        printWithEasyPrint(pages, dir.filePath(QStringLiteral("easyprint.pdf")));
    state.SetComplexityN(state.range(0));
}

void BM_RawPainterPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const std::vector<QFont> fonts = rawFonts();
    const std::vector<RawPage> pages = layOut(makeDocument(int(state.range(0))), fonts);
    for (auto _ : state)
        printRaw(pages, fonts, dir.filePath(QStringLiteral("raw.pdf")));
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_EasyPrintPdf)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_RawPainterPdf)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
