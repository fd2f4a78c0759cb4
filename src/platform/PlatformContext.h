#pragma once

#include <QString>

#include <functional>
#include <memory>

class QDialog;

namespace zar {

class Printer;

// What the platform services keep for one program run (or one test): no process-wide state.
// The application's shared values hold it, so every form hands it on as it is.
struct PlatformContext {
    // The program folder (executable, databases, settings file); with no printer at all,
    // prints go into its "Stampe".
    QString programFolder;

    // The program's one printer (applicationPrinter creates it on first use); tests put
    // their own here before a form prints.
    std::shared_ptr<Printer> printer;
    // The printer chosen in the printer setup, for every output; empty: the system's default.
    QString printerName;

    // Shows a form modally instead of exec(): gets the form and returns its result. Empty
    // unless a test drives the forms.
    std::function<int(QDialog&)> modalHook;
};

} // namespace zar
