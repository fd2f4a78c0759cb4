#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;

namespace zar {

struct PlatformContext;

// The printer setup: the user chooses a printer, its paper and its orientation, and confirms.
// Nothing is printed here.
class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    // Opens on the given printer (else the system's default), paper (PaperSize code) and
    // orientation (1 portrait, 2 landscape).
    PrinterSetupDialog(const QString& printer, int paperCode, int orientationCode, QWidget* parent = nullptr);

    // Empty when the system has no printer.
    QString printerName() const;
    int paperSize() const;
    int orientation() const;

private:
    void showPrinter();

    QComboBox* m_printers = nullptr;
    QLabel* m_details = nullptr;
    QComboBox* m_papers = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    int m_paper; // the paper chosen, kept across printers that have it
};

// Shows the printer setup. On OK the chosen printer becomes the application's printer
// (context.printerName) and the chosen paper and orientation those of its one printer; a
// cancel changes nothing. Returns true when the user confirmed.
bool showPrinterSetup(PlatformContext& context, QWidget* parent);

} // namespace zar
