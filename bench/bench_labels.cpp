// A bib print of 1,000 entries x 2 labels to PDF through the printer layer, against one raw
// QPainter pass drawing the same texts and pictures at the same places.
#include "frame/SharedValues.h"
#include "labels/StampaFoglio.h"
#include "platform/MsgBox.h"
#include "platform/Printer.h"

#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace zar;

namespace {

// A4 sheet of 2 x 3 labels of 99.1 x 93.1 mm.
const ParametriStampaEtichetta kSheet{"2", "93.1", "99.1", "8.8", "4.6", "2.5", "0", "3", "2", "0"};

std::vector<Etichetta> labels() {
    std::vector<Etichetta> out;
    for (int i = 1; i <= 1000; ++i) {
        const auto two = EtichetteIscritto(QString::number(i), QStringLiteral("Cognome%1 Nome%1").arg(i),
                                           QStringLiteral("Cane%1").arg(i), 2);
        out.insert(out.end(), two.begin(), two.end());
    }
    return out;
}

void BM_StampaBibPdf(benchmark::State& state) {
    QTemporaryDir dir;
    SharedValues shared;
    shared.programFolder = dir.path();
    shared.printer = Printer::toPdfFile(dir.filePath(QStringLiteral("bib.pdf")));
    const auto list = labels();
    const auto m = MisureEtichetta::da(kSheet);
    MsgBoxResponder boxes;
    for (auto _ : state) {
        if (!StampaFoglioEtichette(shared, list, QStringLiteral("Trofeo di Roma"), m,
                                   TipoEtichetta::RigaParziale)) {
            state.SkipWithError(qPrintable(boxes.texts().join(' ')));
            break;
        }
    }
}

void BM_RawQPainterPdf(benchmark::State& state) {
    QTemporaryDir dir;
    // The places and texts as the printer layer drew them, recorded once.
    SharedValues shared;
    shared.programFolder = dir.path();
    auto recorder = std::make_shared<RecordingPrinter>();
    shared.printer = recorder;
    StampaFoglioEtichette(shared, labels(), QStringLiteral("Trofeo di Roma"), MisureEtichetta::da(kSheet),
                          TipoEtichetta::RigaParziale);
    const QList<PrintedCall> calls = recorder->calls();
    const QImage logo = LogoEtichetta();
    for (auto _ : state) {
        QPdfWriter pdf(dir.filePath(QStringLiteral("raw.pdf")));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(600);
        QPainter p(&pdf);
        const double unit = 600 / 25.4; // device pixels per mm
        QFont font(QStringLiteral("Times New Roman"));
        double size = 0;
        int page = 1;
        for (const PrintedCall& c : calls) {
            if (c.page != page) {
                pdf.newPage();
                page = c.page;
            }
            if (c.kind == PrintedCall::Kind::Picture) {
                p.drawImage(QRectF(c.x * unit, c.y * unit, c.width * unit, c.height * unit), logo);
            } else if (c.kind == PrintedCall::Kind::Text) {
                if (c.fontSize != size) {
                    size = c.fontSize;
                    font.setPointSizeF(size);
                    p.setFont(font);
                }
                p.drawText(QPointF(c.x * unit, c.y * unit + p.fontMetrics().ascent()), c.text);
            }
        }
        p.end();
    }
}

} // namespace

BENCHMARK(BM_StampaBibPdf)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_RawQPainterPdf)->Unit(benchmark::kMillisecond)->MinTime(3);
