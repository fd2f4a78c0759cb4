#include "platform/PrinterSetup.h"

#include "platform/Modal.h"

#include <QPrintDialog>
#include <QPrinter>

namespace zar {

namespace {
QString& printerName() {
    static QString name;
    return name;
}
} // namespace

QString applicationPrinterName() {
    return printerName();
}

void setApplicationPrinterName(const QString& name) {
    printerName() = name;
}

bool showPrinterSetup(QWidget* parent) {
    QPrinter printer;
    if (!printerName().isEmpty())
        printer.setPrinterName(printerName());
    QPrintDialog dialog(&printer, parent);
    // Only the choice of printer matters here, not a range of pages.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (showModal(dialog) != QDialog::Accepted)
        return false;
    const QString chosen = dialog.printer()->printerName();
    if (chosen.isEmpty())
        return false;
    printerName() = chosen;
    return true;
}

} // namespace zar
