#pragma once

class QWidget;

namespace zar {

struct SharedValues;

// The printer setup dialog. Choosing a printer makes it the application's printer
// (shared.printerName); a cancel or a failure changes nothing. Returns true when a printer
// was chosen.
bool showPrinterSetup(SharedValues& shared, QWidget* parent);

} // namespace zar
