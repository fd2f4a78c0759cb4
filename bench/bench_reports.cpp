// The rankings report of one group from "Stampa" to the finished PDF, against the raw work:
// the group's joined query plus one bare QPainter pass drawing the same page content (logo,
// header texts, frame, column lines, rows and footers, as the report drew them) to a
// QPdfWriter set up as the program's PDF output.
#include "Fixtures.h"
#include "frame/SharedValues.h"
#include "platform/Database.h"
#include "platform/Printer.h"
#include "platform/Schema.h"
#include "reports/ReportForms.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace zar;

namespace {

const QString G = QStringLiteral("20240501ROMA");

enum class Output { Pdf, Recorded };

// A group of n entries and a rankings form set on it, printing to a PDF file or to a
// recording printer. The form keeps the printer it first prints on, so each output has a
// form and a printer of its own, both living as long as the fixture.
struct Fixture {
    QTemporaryDir dir;
    SharedValues shared;
    std::shared_ptr<RecordingPrinter> recorder;
    std::unique_ptr<frmReportClassifica> form;
    Fixture(int n, Output output) {
        shared.programFolder = dir.path();
        createDatabaseFile(shared.databasePath(), QStringLiteral("ZAR"));
        shared.openDatabase();
        Database& db = *shared.dbGare;
        Transaction tx(db);
        for (int i = 1; i <= n; ++i) {
            const QString cf = QStringLiteral("CF%1").arg(i), chip = QStringLiteral("CHIP%1").arg(i);
            db.exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, ?)",
                    {cf, QStringLiteral("COGNOME%1").arg(i), QStringLiteral("NOME%1").arg(i)});
            db.exec("INSERT INTO TblCani (Microchip, NomeCane, Razza) VALUES (?, ?, 'BOXER')",
                    {chip, QStringLiteral("CANE%1").arg(i)});
            db.exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, "
                    "Classe, Taglia, ClassificaRun1, PunteggioRun1, TempoRun1) "
                    "VALUES (?, ?, ?, ?, 'TIME', 'JUNIOR', 'SMALL', ?, ?, ?)",
                    {G, i, cf, chip, i, 100 + i % 90, 1 + (i % 60) / 60.0});
        }
        tx.commit();
        if (output == Output::Recorded) {
            recorder = std::make_shared<RecordingPrinter>();
            shared.printer = recorder;
        } else {
            shared.printer = Printer::toPdfFile(dir.filePath(QStringLiteral("report.pdf")));
        }
        form = std::make_unique<frmReportClassifica>(shared);
        const char* values[] = {"20240501ROMA", "TIME", "JUNIOR", "SMALL"};
        for (int i = 0; i < 4; ++i)
            form->pannello()->box(i)->setEditText(QString::fromLatin1(values[i]));
    }
};

Fixture& fixture(int n, Output output) {
    return fixtureFor<Fixture>(n, output);
}

// What "Stampa" costs with the list to load first: the list, then the whole document.
void BM_RankingsReport(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)), Output::Pdf);
    for (auto _ : state) {
        f.form->pannello()->CaricaLista();
        f.form->cmdPrint_Click();
    }
    state.SetComplexityN(state.range(0));
}

// The same on the recording printer: the report's own work without the PDF.
void BM_RankingsReportRecorded(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)), Output::Recorded);
    for (auto _ : state) {
        state.PauseTiming();
        f.recorder->clear();
        state.ResumeTiming();
        f.form->pannello()->CaricaLista();
        f.form->cmdPrint_Click();
    }
    if (f.recorder->jobsSent() == 0)
        state.SkipWithError("nothing reached the recording printer");
}

void BM_ListOnly(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)), Output::Pdf);
    for (auto _ : state)
        f.form->pannello()->CaricaLista();
}

// The page content as the report drew it: printed once on the recording printer.
QList<PrintedCall> recordedReport(int n) {
    Fixture& f = fixture(n, Output::Recorded);
    f.recorder->clear();
    f.form->pannello()->CaricaLista();
    f.form->cmdPrint_Click();
    return f.recorder->calls();
}

void BM_RawQueryAndPainter(benchmark::State& state) {
    const int n = int(state.range(0));
    const QList<PrintedCall> calls = recordedReport(n);
    Fixture& f = fixture(n, Output::Pdf);
    Database& db = *f.shared.dbGare;
    const QString path = f.dir.filePath(QStringLiteral("raw.pdf"));
    constexpr double px = 600 / 25.4; // device pixels per mm
    const auto at = [](double x, double y) { return QPointF(x * px, y * px); };
    for (auto _ : state) {
        Statement st(db, "SELECT i.ClassificaRun1, i.Pettorale, c.Cognome, c.Nome, k.NomeCane, k.Razza, "
                         "i.PunteggioRun1, i.TempoRun1 FROM TblIscrizioni i "
                         "LEFT JOIN TblConduttori c ON c.CodiceFiscale = i.CodiceFiscale "
                         "LEFT JOIN TblCani k ON k.Microchip = i.Microchip WHERE i.CodiceGara = ? AND "
                         "i.Categoria = ? AND i.Classe = ? AND i.Taglia = ? ORDER BY i.ClassificaRun1");
        st.bindAll({G, "TIME", "JUNIOR", "SMALL"});
        while (st.step())
            for (int c = 0; c < 8; ++c)
                benchmark::DoNotOptimize(st.column(c));

        QPdfWriter writer(path);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, {}));
        QPainter p(&writer);
        QFont font;
        double ascent = 0;
        bool fontSet = false;
        for (const PrintedCall& c : calls) {
            switch (c.kind) {
            case PrintedCall::Kind::Text:
                if (!fontSet || c.fontSize != font.pointSizeF() || c.bold != font.bold() ||
                    c.italic != font.italic()) {
                    font.setFamilies({c.fontName, QStringLiteral("Liberation Serif")});
                    font.setPointSizeF(c.fontSize);
                    font.setBold(c.bold);
                    font.setItalic(c.italic);
                    p.setFont(font);
                    ascent = QFontMetricsF(font, &writer).ascent();
                    fontSet = true;
                }
                p.setPen(Qt::black);
                p.drawText(QPointF(c.x * px, c.y * px + ascent), c.text);
                break;
            case PrintedCall::Kind::Line:
            case PrintedCall::Kind::Box:
                p.setPen(QPen(Qt::black, c.drawWidth, c.drawStyle == 2 ? Qt::DotLine : Qt::SolidLine));
                if (c.kind == PrintedCall::Kind::Box && c.width != 0 && c.height != 0)
                    p.drawRect(QRectF(at(c.x, c.y), at(c.x2, c.y2)));
                else
                    p.drawLine(at(c.x, c.y), at(c.x2, c.y2));
                break;
            case PrintedCall::Kind::Arc: {
                p.setPen(QPen(Qt::black, c.drawWidth));
                double span = c.endAngle - c.startAngle;
                if (span <= 0)
                    span += 2 * M_PI;
                p.drawArc(QRectF(at(c.x - c.radius, c.y - c.radius), at(c.x + c.radius, c.y + c.radius)),
                          int(c.startAngle * 180 / M_PI * 16), int(span * 180 / M_PI * 16));
                break;
            }
            case PrintedCall::Kind::Picture:
                p.drawImage(QRectF(at(c.x, c.y), at(c.x2, c.y2)), c.picture);
                break;
            case PrintedCall::Kind::NewPage:
                writer.newPage();
                break;
            default:
                break;
            }
        }
        p.end();
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_RankingsReport)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_RankingsReportRecorded)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListOnly)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawQueryAndPainter)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();
