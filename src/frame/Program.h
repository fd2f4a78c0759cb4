#pragma once

#include <QString>

namespace zar {

// Runs the program on its folder: registers this copy, starts the main window and runs
// the event loop. Returns the process exit code.
int runProgram(const QString& programFolder);

} // namespace zar
