#include "platform/PrinterSetup.h"

#include "platform/Modal.h"
#include "platform/PlatformContext.h"
#include "platform/Printer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace zar {

namespace {

// The papers the printer layer takes, by PaperSize code.
struct Paper {
    int code;
    QPageSize::PageSizeId id;
};
constexpr Paper kPapers[] = {
    {vbPRPSA4, QPageSize::A4}, {11, QPageSize::A5},   {8, QPageSize::A3},
    {1, QPageSize::Letter},    {5, QPageSize::Legal},
};

// The printer that a print would go to now: the chosen one while it is installed, else the
// system's default, else any.
QString printerInUse(const QString& chosen) {
    if (!chosen.isEmpty() && !QPrinterInfo::printerInfo(chosen).isNull())
        return chosen;
    const QString byDefault = QPrinterInfo::defaultPrinter().printerName();
    if (!byDefault.isEmpty())
        return byDefault;
    const QStringList names = QPrinterInfo::availablePrinterNames();
    return names.isEmpty() ? QString() : names.first();
}

} // namespace

PrinterSetupDialog::PrinterSetupDialog(const QString& printer, int paperCode, int orientationCode,
                                       QWidget* parent)
    : QDialog(parent), m_paper(paperCode) {
    setObjectName(QStringLiteral("PrinterSetup"));
    setWindowTitle(QStringLiteral("Impostazione Stampante"));

    m_printers = new QComboBox(this);
    m_printers->setObjectName(QStringLiteral("cmbStampante"));
    m_printers->addItems(QPrinterInfo::availablePrinterNames());
    m_details = new QLabel(this);
    m_details->setObjectName(QStringLiteral("lblDettagli"));
    m_details->setWordWrap(true);
    if (m_printers->count() == 0) {
        m_printers->setEnabled(false);
        m_details->setText(QStringLiteral(
            "Nessuna stampante installata: le stampe vanno in file PDF nella cartella \"Stampe\"."));
    } else {
        m_printers->setCurrentText(printerInUse(printer));
    }
    auto* printerBox = new QGroupBox(QStringLiteral("Stampante"), this);
    auto* printerForm = new QFormLayout(printerBox);
    printerForm->addRow(QStringLiteral("Nome:"), m_printers);
    printerForm->addRow(m_details);

    m_papers = new QComboBox(this);
    m_papers->setObjectName(QStringLiteral("cmbFormato"));
    auto* paperBox = new QGroupBox(QStringLiteral("Carta"), this);
    auto* paperForm = new QFormLayout(paperBox);
    paperForm->addRow(QStringLiteral("Formato:"), m_papers);

    m_portrait = new QRadioButton(QStringLiteral("&Verticale"), this);
    m_portrait->setObjectName(QStringLiteral("optVerticale"));
    m_landscape = new QRadioButton(QStringLiteral("&Orizzontale"), this);
    m_landscape->setObjectName(QStringLiteral("optOrizzontale"));
    (orientationCode == vbPRORLandscape ? m_landscape : m_portrait)->setChecked(true);
    auto* orientationBox = new QGroupBox(QStringLiteral("Orientamento"), this);
    auto* orientationLayout = new QVBoxLayout(orientationBox);
    orientationLayout->addWidget(m_portrait);
    orientationLayout->addWidget(m_landscape);

    // Qt's own OK and Cancel, in the language of Qt's translations.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lower = new QHBoxLayout;
    lower->addWidget(paperBox, 1);
    lower->addWidget(orientationBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerBox);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    showPrinter();
    connect(m_printers, &QComboBox::currentIndexChanged, this, [this] { showPrinter(); });
    connect(m_papers, &QComboBox::currentIndexChanged, this, [this] { m_paper = paperSize(); });
    setMinimumWidth(440);
}

// Details and papers of the printer in the list; the paper chosen stays when it has it.
void PrinterSetupDialog::showPrinter() {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName());
    if (!info.isNull()) {
        QStringList lines;
        if (!info.makeAndModel().isEmpty())
            lines << QStringLiteral("Tipo: ") + info.makeAndModel();
        if (!info.location().isEmpty())
            lines << QStringLiteral("Posizione: ") + info.location();
        m_details->setText(lines.join(u'\n'));
    }
    // Only the papers this printer has, when it says which.
    const QList<QPageSize> has = info.isNull() ? QList<QPageSize>() : info.supportedPageSizes();
    const auto held = [&has](const Paper& p) {
        return std::any_of(has.begin(), has.end(), [&p](const QPageSize& s) { return s.id() == p.id; });
    };
    const bool saysWhich = std::any_of(std::begin(kPapers), std::end(kPapers), held);
    const QSignalBlocker quiet(m_papers);
    m_papers->clear();
    for (const Paper& p : kPapers)
        if (!saysWhich || held(p))
            m_papers->addItem(QPageSize::name(p.id), p.code);
    m_papers->setCurrentIndex(std::max(0, m_papers->findData(m_paper)));
}

QString PrinterSetupDialog::printerName() const {
    return m_printers->isEnabled() ? m_printers->currentText() : QString();
}

int PrinterSetupDialog::paperSize() const {
    return m_papers->currentData().toInt();
}

int PrinterSetupDialog::orientation() const {
    return m_landscape->isChecked() ? vbPRORLandscape : vbPRORPortrait;
}

bool showPrinterSetup(PlatformContext& context, QWidget* parent) {
    Printer& printer = applicationPrinter(context);
    PrinterSetupDialog dialog(context.printerName, printer.PaperSize(), printer.Orientation(), parent);
    if (showModal(context, dialog) != QDialog::Accepted)
        return false;
    if (!dialog.printerName().isEmpty())
        context.printerName = dialog.printerName();
    printer.setPaperSize(dialog.paperSize());
    printer.setOrientation(dialog.orientation());
    return true;
}

} // namespace zar
