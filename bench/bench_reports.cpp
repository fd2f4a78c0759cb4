// The rankings report of one group from "Stampa" to the finished PDF, against the raw work:
// the group's joined query plus one QPainter pass drawing the same cells to a QPdfWriter.
#include "Fixtures.h"
#include "frame/SharedValues.h"
#include "platform/Database.h"
#include "platform/Printer.h"
#include "platform/Schema.h"
#include "reports/ReportForms.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace zar;

namespace {

const QString G = QStringLiteral("20240501ROMA");

struct Fixture {
    QTemporaryDir dir;
    SharedValues shared;
    std::unique_ptr<frmReportClassifica> form;
    explicit Fixture(int n) {
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
        shared.printer = Printer::toPdfFile(dir.filePath(QStringLiteral("report.pdf")));
        form = std::make_unique<frmReportClassifica>(shared);
        const char* values[] = {"20240501ROMA", "TIME", "JUNIOR", "SMALL"};
        for (int i = 0; i < 4; ++i)
            form->pannello()->box(i)->setEditText(QString::fromLatin1(values[i]));
    }
};

Fixture& fixture(int n) {
    return fixtureOfSize<Fixture>(n);
}

// What "Stampa" costs with the list to load first: the list, then the whole document.
void BM_RankingsReport(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    for (auto _ : state) {
        f.form->pannello()->CaricaLista();
        f.form->cmdPrint_Click();
    }
    state.SetComplexityN(state.range(0));
}

// The same on the recording printer: the report's own work without the PDF.
void BM_RankingsReportRecorded(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    auto keep = f.shared.printer;
    f.shared.printer = std::make_shared<RecordingPrinter>();
    for (auto _ : state) {
        f.form->pannello()->CaricaLista();
        f.form->cmdPrint_Click();
    }
    f.shared.printer = keep;
}

void BM_ListOnly(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    for (auto _ : state)
        f.form->pannello()->CaricaLista();
}

void BM_RawQueryAndPainter(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    Database& db = *f.shared.dbGare;
    const QString path = f.dir.filePath(QStringLiteral("raw.pdf"));
    for (auto _ : state) {
        Statement st(db, "SELECT i.ClassificaRun1, i.Pettorale, c.Cognome, c.Nome, k.NomeCane, k.Razza, "
                         "i.PunteggioRun1, i.TempoRun1 FROM TblIscrizioni i "
                         "LEFT JOIN TblConduttori c ON c.CodiceFiscale = i.CodiceFiscale "
                         "LEFT JOIN TblCani k ON k.Microchip = i.Microchip WHERE i.CodiceGara = ? AND "
                         "i.Categoria = ? AND i.Classe = ? AND i.Taglia = ? ORDER BY i.ClassificaRun1");
        st.bindAll({G, "TIME", "JUNIOR", "SMALL"});
        QPdfWriter writer(path);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, {}));
        QPainter p(&writer);
        QFont font(QStringLiteral("Times New Roman"));
        font.setPointSizeF(10);
        font.setBold(true);
        p.setFont(font);
        const double px = 600 / 25.4; // device pixels per mm
        double y = 80;
        while (st.step()) {
            const double xs[] = {22, 36, 44.5, 119.5, 185.5, 246, 265};
            const QString cells[] = {st.column(0).toString(),
                                     st.column(1).toString(),
                                     st.column(2).toString() + ' ' + st.column(3).toString(),
                                     st.column(4).toString(),
                                     st.column(5).toString(),
                                     st.column(6).toString(),
                                     st.column(7).toString()};
            for (int c = 0; c < 7; ++c)
                p.drawText(QPointF(xs[c] * px, y * px), cells[c]);
            y += 6;
            if (y > 195) {
                writer.newPage();
                y = 80;
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
