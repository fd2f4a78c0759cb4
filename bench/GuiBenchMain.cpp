// The main of the benchmarks that build forms or print: a widget application on the
// offscreen platform unless another is asked for.
#include "Fixtures.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Forms and printers kept by the fixtures go while the application still runs.
    releaseFixtures();
    return 0;
}
