// One keystroke in the handlers register's key box (query, list rebuild and repaint)
// against the raw query for the same prefix, on 20,000 handlers.
#include "Fixtures.h"
#include "frame/SharedValues.h"
#include "platform/MsgBox.h"
#include "platform/Schema.h"
#include "registers/FrmConduttore.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace zar;

namespace {

constexpr int kHandlers = 20000;

struct Fixture {
    QTemporaryDir dir;
    SharedValues shared;
    Fixture() {
        createDatabaseFile(dir.filePath("ZAR.mdb"), "ZAR");
        shared.programFolder = dir.path();
        shared.openDatabase();
        Database& db = *shared.dbGare;
        Transaction tx(db);
        Statement st(db,
                     "INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS, Zip, Telefono) "
                     "VALUES (?, ?, ?, ?, '00100', '0612345')");
        QRandomGenerator rng(1958);
        for (int i = 0; i < kHandlers; ++i) {
            QString cf;
            for (int c = 0; c < 6; ++c)
                cf += QChar(u'A' + int(rng.bounded(26)));
            cf += QString::number(i).rightJustified(10, u'0');
            st.bindAll({cf, "ROSSI", "MARIO", QString::number(i)});
            st.step();
            st.reset();
        }
        tx.commit();
    }
    // Kept until the application ends (see releaseFixtures).
    static Fixture& get() { return fixtureFor<Fixture>(); }
};

// The prefix after one keystroke: "R" (about 1/26 of the table) or "" (Backspace
// emptying the box: the whole table).
QString prefixOf(int which) {
    return which == 0 ? QStringLiteral("R") : QString();
}

void BM_RawPrefixQuery(benchmark::State& state) {
    Fixture& f = Fixture::get();
    const QString pattern = escapeLike(prefixOf(int(state.range(0)))) + u'%';
    int rows = 0;
    for (auto _ : state) {
        Statement st(*f.shared.dbGare, "SELECT * FROM TblConduttori WHERE CodiceFiscale LIKE ? ESCAPE '\\'");
        st.bind(1, pattern);
        rows = 0;
        while (st.step()) {
            for (int c = 0; c < st.columnCount(); ++c)
                benchmark::DoNotOptimize(st.column(c));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}

void BM_KeystrokeInKeyBox(benchmark::State& state) {
    Fixture& f = Fixture::get();
    MsgBoxResponder quiet;
    FrmConduttore form(f.shared);
    form.show();
    QApplication::processEvents();
    auto* key = form.findChild<QLineEdit*>(QStringLiteral("Txt_Field_0"));
    key->setFocus();
    const bool backspace = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        key->setText(backspace ? QStringLiteral("R") : QString());
        key->end(false);
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, backspace ? Qt::Key_Backspace : Qt::Key_R, Qt::NoModifier,
                        backspace ? QString(QChar(8)) : QStringLiteral("R"));
        QApplication::sendEvent(key, &press);
        QApplication::processEvents(); // the list repaints
    }
    state.counters["rows"] = form.findChild<QAbstractItemModel*>()->rowCount();
}

} // namespace

BENCHMARK(BM_RawPrefixQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeInKeyBox)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
