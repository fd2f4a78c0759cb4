#include "platform/PrinterSetup.h"

#include "frame/SharedValues.h"
#include "platform/Modal.h"

#include <QPrintDialog>
#include <QPrinter>

namespace zar {

bool showPrinterSetup(SharedValues& shared, QWidget* parent) {
    QPrinter printer;
    if (!shared.printerName.isEmpty())
        printer.setPrinterName(shared.printerName);
    QPrintDialog dialog(&printer, parent);
    // Only the choice of printer matters here, not a range of pages.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (showModal(shared, dialog) != QDialog::Accepted)
        return false;
    const QString chosen = dialog.printer()->printerName();
    if (chosen.isEmpty())
        return false;
    shared.printerName = chosen;
    return true;
}

} // namespace zar
