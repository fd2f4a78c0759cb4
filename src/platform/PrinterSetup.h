#pragma once

#include <QString>

class QWidget;

namespace zar {

// The printer that every output of the program goes to: empty means the system's default.
QString applicationPrinterName();
void setApplicationPrinterName(const QString& name);

// The printer setup dialog. Choosing a printer makes it the application's printer; a cancel
// or a failure changes nothing. Returns true when a printer was chosen.
bool showPrinterSetup(QWidget* parent);

} // namespace zar
