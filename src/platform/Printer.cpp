#include "platform/Printer.h"

#include "platform/CupsQueue.h"
#include "platform/PdfFonts.h"
#include "platform/PlatformContext.h"
#include "platform/PrintDevice.h"
#include "platform/Shell.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zar {

namespace {

// Text is measured and drawn in units of a hundredth of a point, whatever the device. Fonts
// come in whole pixels, so at a device's own resolution a size snaps (10 pt is 83 pixels at
// 600 dpi, 9.96 pt): in these units every size with two decimals is exact, and a printer and
// a PDF file measure the same text alike. Font engines take at most 65535 pixels: the sizes
// beyond 655.35 pt take fewer units to the point.
int textUnitsPerPoint(double points) {
    return std::clamp(int(65535 / points), 1, 100);
}

// A picture flattened onto the white paper. A page with transparency on it reaches many
// printers as one picture, its text and fonts lost: the PostScript filters flatten the whole
// page when a picture carries an alpha channel.
QImage onWhitePaper(const QImage& picture) {
    if (!picture.hasAlphaChannel())
        return picture;
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.setDotsPerMeterX(picture.dotsPerMeterX());
    flat.setDotsPerMeterY(picture.dotsPerMeterY());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    return flat;
}

// Fonts the documents name that a Linux desktop holds as their metric-compatible twins.
QString substituteFamily(const QString& family) {
    static const QHash<QString, QString> twins = {
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
    };
    return twins.value(family.toLower());
}

struct PaperCode {
    int code;
    QPageSize::PageSizeId id;
};
constexpr PaperCode kPapers[] = {
    {1, QPageSize::Letter}, {5, QPageSize::Legal}, {8, QPageSize::A3},
    {9, QPageSize::A4},     {11, QPageSize::A5},
};

QPageSize::PageSizeId pageSizeId(int code) {
    for (const PaperCode& p : kPapers)
        if (p.code == code)
            return p.id;
    return QPageSize::A4;
}

QPageLayout::Orientation qtOrientation(int orientation) {
    return orientation == vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QColor bgrColor(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

Qt::PenStyle penStyle(int drawStyle) {
    switch (drawStyle) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

[[noreturn]] void invalidValue() {
    throw PrinterError(errInvalidValue, PrinterError::standardDescription(errInvalidValue));
}

[[noreturn]] void printerFault(const QString& detail = {}) {
    QString text = PrinterError::standardDescription(errPrinter);
    if (!detail.isEmpty())
        text += QStringLiteral(": ") + detail;
    throw PrinterError(errPrinter, text);
}

// ---- the recording device ----

class RecordingDevice : public PrintDevice {
public:
    explicit RecordingDevice(const DeviceLayout& layout) : m_layout(layout) {}

    DeviceLayout layout(const PageSetup&) override { return m_layout; }
    void beginJob(const PageSetup&) override {
        failWhenOffline();
        m_page = 1;
    }
    void draw(const PrintedCall& call, const CachedFont&) override {
        failWhenOffline();
        m_calls << call;
    }
    void newPage(const PageSetup&) override {
        failWhenOffline();
        record(PrintedCall::Kind::NewPage);
    }
    void endJob() override {
        failWhenOffline();
        record(PrintedCall::Kind::EndDoc);
        ++m_jobsSent;
    }
    void killJob() override { record(PrintedCall::Kind::KillDoc); }

    void failWhenOffline() const {
        if (m_offline)
            printerFault();
    }
    void record(PrintedCall::Kind kind) {
        PrintedCall call;
        call.kind = kind;
        if (kind == PrintedCall::Kind::NewPage)
            ++m_page;
        call.page = m_page; // a new page's mark carries the page it opens
        m_calls << call;
    }

    DeviceLayout m_layout;
    QList<PrintedCall> m_calls;
    bool m_offline = false;
    int m_jobsSent = 0;
    int m_page = 1;
};

// ---- painting on a paged device (PDF writer or printer) ----

// Draws on a paged device in its own pixels; fonts measured at the same resolution.
class Painting {
public:
    Painting(QPagedPaintDevice& device, int dpiX, int dpiY)
        : m_device(device), m_pxX(dpiX / 25.4), m_pxY(dpiY / 25.4) {}

    bool begin() { return m_painter.begin(&m_device); }
    bool end() { return m_painter.isActive() ? m_painter.end() : true; }
    bool newPage() { return m_device.newPage(); }

    void draw(const PrintedCall& call, const CachedFont& font) {
        if (call.kind == PrintedCall::Kind::Text) {
            if (m_font != &font) {
                m_painter.setFont(font.font);
                m_font = &font;
            }
            setPen(call, false);
            // The font is sized in text units: scale them to the device's pixels.
            const double baseline = call.y + font.metrics.ascent() * font.mmPerUnit;
            QTransform toDevice = QTransform::fromTranslate(call.x * m_pxX, baseline * m_pxY);
            toDevice.scale(font.mmPerUnit * m_pxX, font.mmPerUnit * m_pxY);
            m_painter.setTransform(toDevice);
            // Glyphs placed from the font's remembered layout; an underline is Qt's to draw.
            if (!font.font.underline() && font.layout.layOut(call.text, m_run)) {
                m_glyphs.setGlyphIndexes(m_run.glyphs);
                m_glyphs.setPositions(m_run.positions);
                if (m_glyphsFont != &font) {
                    m_glyphs.setRawFont(font.layout.rawFont());
                    m_glyphsFont = &font;
                }
                m_painter.drawGlyphRun(QPointF(0, 0), m_glyphs);
            } else {
                m_painter.drawText(QPointF(0, 0), call.text);
            }
            m_painter.resetTransform();
            return;
        }
        if (call.kind == PrintedCall::Kind::Picture) {
            // One flattened copy per picture, so that each page shares it.
            if (call.picture.cacheKey() != m_flatKey) {
                m_flat = onWhitePaper(call.picture);
                m_flatKey = call.picture.cacheKey();
            }
            m_painter.drawImage(rect(call.x, call.y, call.width, call.height), m_flat);
            return;
        }
        setPen(call, true);
        switch (call.kind) {
        case PrintedCall::Kind::Line:
            m_painter.drawLine(point(call.x, call.y), point(call.x2, call.y2));
            break;
        case PrintedCall::Kind::Box:
            if (call.width == 0 || call.height == 0)
                m_painter.drawLine(point(call.x, call.y), point(call.x2, call.y2));
            else
                m_painter.drawRect(rect(call.x, call.y, call.width, call.height));
            break;
        case PrintedCall::Kind::Arc: {
            const QRectF box =
                rect(call.x - call.radius, call.y - call.radius, 2 * call.radius, 2 * call.radius);
            double span = call.endAngle - call.startAngle;
            if (span <= 0)
                span += 2 * std::numbers::pi;
            const double toDegrees = 180 / std::numbers::pi;
            QPainterPath path;
            path.arcMoveTo(box, call.startAngle * toDegrees);
            path.arcTo(box, call.startAngle * toDegrees, span * toDegrees);
            m_painter.drawPath(path);
            break;
        }
        default:
            break;
        }
    }

private:
    QPointF point(double x, double y) const { return {x * m_pxX, y * m_pxY}; }
    QRectF rect(double x, double y, double w, double h) const {
        return {x * m_pxX, y * m_pxY, w * m_pxX, h * m_pxY};
    }
    void setPen(const PrintedCall& call, bool shapes) {
        const QColor colour = bgrColor(call.foreColor);
        // Text takes a plain pen; lines take the draw style and width (device pixels).
        const int width = shapes ? call.drawWidth : 1;
        const Qt::PenStyle style = shapes ? penStyle(call.drawStyle) : Qt::SolidLine;
        if (colour != m_penColour || width != m_penWidth || style != m_penStyle) {
            m_painter.setPen(QPen(colour, width, style, Qt::FlatCap, Qt::MiterJoin));
            m_penColour = colour;
            m_penWidth = width;
            m_penStyle = style;
        }
        if (shapes)
            m_painter.setBrush(Qt::NoBrush);
    }

    QPagedPaintDevice& m_device;
    QPainter m_painter;
    double m_pxX, m_pxY; // device pixels per mm
    const CachedFont* m_font = nullptr;
    TextLayout::Run m_run;
    QGlyphRun m_glyphs;
    const CachedFont* m_glyphsFont = nullptr;
    qint64 m_flatKey = 0;
    QImage m_flat;
    QColor m_penColour;
    int m_penWidth = -1;
    Qt::PenStyle m_penStyle = Qt::NoPen;
};

QPageLayout pdfPageLayout(const PageSetup& setup) {
    return QPageLayout(QPageSize(pageSizeId(setup.paperSize)), qtOrientation(setup.orientation), QMarginsF(),
                       QPageLayout::Millimeter);
}

// Writes each job to a PDF file. The file is written beside its destination under a temporary
// name and moved into place only when the job ends, so a dropped or failed job leaves nothing.
class PdfDevice : public PrintDevice {
public:
    // folder mode: a new file per job in folder, opened in the viewer; else exactly path.
    PdfDevice(QString target, bool folderMode, const DeviceLayout& layout)
        : m_target(std::move(target)), m_folderMode(folderMode), m_layout(layout) {
        m_layout.dpiX = m_layout.dpiY = 600; // PDF output counts 600 pixels to the inch
    }

    DeviceLayout layout(const PageSetup&) override { return m_layout; }

    void beginJob(const PageSetup& setup) override {
        const QString folder = m_folderMode ? m_target : QFileInfo(m_target).absolutePath();
        if (!QDir(folder).exists() && !QDir().mkpath(folder))
            cannotWrite(folder, QStringLiteral("la cartella non può essere creata"));
        m_file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/.zar-job-XXXXXX.pdf"));
        if (!m_file->open())
            cannotWrite(folder, m_file->errorString());
        m_jobName = setup.jobName;
        m_writer = std::make_unique<QPdfWriter>(m_file.get());
        m_writer->setResolution(600);
        m_writer->setCreator(QStringLiteral("ZAR"));
        m_writer->setTitle(setup.jobName);
        m_writer->setPageLayout(pdfPageLayout(setup));
        m_painting = std::make_unique<Painting>(*m_writer, 600, 600);
        if (!m_painting->begin()) {
            drop();
            cannotWrite(folder, QStringLiteral("il file non può essere scritto"));
        }
    }

    void draw(const PrintedCall& call, const CachedFont& font) override { m_painting->draw(call, font); }

    void newPage(const PageSetup& setup) override {
        m_writer->setPageLayout(pdfPageLayout(setup));
        m_painting->newPage();
    }

    void endJob() override {
        m_painting->end();
        m_painting.reset();
        m_writer.reset();
        const bool flushed = m_file->flush();
        const QString folder = QFileInfo(m_file->fileName()).absolutePath();
        if (!flushed) {
            const QString reason = m_file->errorString();
            drop();
            cannotWrite(folder, reason);
        }
        const QString path = m_folderMode ? freeName(folder) : m_target;
        if (!m_folderMode && QFile::exists(path))
            QFile::remove(path);
        // rename never replaces an existing file; in the folder a name taken meanwhile is
        // tried again with the next number.
        int attempts = 0;
        QString destination = path;
        while (!m_file->rename(destination)) {
            if (!m_folderMode || ++attempts > 100) {
                const QString reason = m_file->errorString();
                drop();
                cannotWrite(folder, reason);
            }
            destination = freeName(folder);
        }
        m_file->setAutoRemove(false);
        m_file.reset();
        if (m_folderMode)
            ShellOpen(destination);
    }

    void killJob() override { drop(); }

private:
    [[noreturn]] static void cannotWrite(const QString& folder, const QString& reason) {
        throw PrinterError(errPathFileAccess,
                           QStringLiteral("Impossibile scrivere la stampa nella cartella \"%1\": %2")
                               .arg(QDir::toNativeSeparators(folder), reason));
    }

    // "<job> <date and time>.pdf", numbered when that name is taken.
    QString freeName(const QString& folder) const {
        QString job = m_jobName.isEmpty() ? QStringLiteral("ZAR") : m_jobName;
        for (QChar& c : job)
            if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
                c = QLatin1Char('_');
        const QString stem = folder + QLatin1Char('/') + job + QLatin1Char(' ') +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
        QString name = stem + QStringLiteral(".pdf");
        for (int n = 2; QFile::exists(name); ++n)
            name = stem + QStringLiteral(" (%1).pdf").arg(n);
        return name;
    }

    void drop() {
        if (m_painting)
            m_painting->end();
        m_painting.reset();
        m_writer.reset();
        m_file.reset(); // removes the temporary file
    }

    QString m_target;
    bool m_folderMode;
    DeviceLayout m_layout;
    QString m_jobName;
    std::unique_ptr<QTemporaryFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<Painting> m_painting;
};

// A printer of the system (CUPS through Qt's print support).
class SystemPrinterDevice : public PrintDevice {
public:
    explicit SystemPrinterDevice(const QString& name) {
        m_printer.setPrinterName(name);
        m_printer.setFullPage(true); // painter origin at the paper's corner
    }

    DeviceLayout layout(const PageSetup& setup) override {
        if (!m_painting)
            configure(setup);
        QPageLayout page = m_printer.pageLayout();
        page.setUnits(QPageLayout::Millimeter);
        DeviceLayout layout;
        layout.unprintableMm = page.minimumMargins();
        layout.dpiX = layout.dpiY = m_printer.resolution();
        return layout;
    }

    void beginJob(const PageSetup& setup) override {
        configure(setup);
        m_printer.setDocName(setup.jobName);
        m_printer.setCopyCount(setup.copies);
        m_printer.setColorMode(setup.colorMode == 1 ? QPrinter::GrayScale : QPrinter::Color);
        if (!m_printer.isValid())
            printerFault(m_printer.printerName());
        // A queue that refuses jobs is told before anything is drawn.
        if (const QString refused = queueRefusal(m_printer.printerName()); !refused.isEmpty())
            printerFault(refused);
        // The document is written into a file of ours and handed to the queue by us (see endJob).
        // Without a ".pdf" ending the printer stays the queue's, with its paper and margins.
        m_file = jobFile();
        if (!m_file->open()) {
            m_file.reset();
            printerFault(cannotWrite());
        }
        m_file->close();
        m_printer.setOutputFileName(m_file->fileName());
        const int dpi = m_printer.resolution();
        m_painting = std::make_unique<Painting>(m_printer, dpi, dpi);
        if (!m_painting->begin()) {
            m_painting.reset();
            printerFault(m_printer.printerName());
        }
    }

    void draw(const PrintedCall& call, const CachedFont& font) override {
        if (m_printer.printerState() == QPrinter::Error)
            printerFault(m_printer.printerName());
        m_painting->draw(call, font);
    }

    void newPage(const PageSetup&) override {
        if (!m_painting->newPage())
            printerFault(m_printer.printerName());
    }

    void endJob() override {
        const auto drawn = std::move(m_file); // removed however the job ends
        const bool ended = m_painting->end();
        m_painting.reset();
        if (!ended || m_printer.printerState() == QPrinter::Error)
            printerFault(m_printer.printerName());
        QFile file(drawn->fileName());
        const QByteArray written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        // Qt keeps quiet when its file stops short (a full disk); a document it finished ends so.
        if (!QByteArrayView(written).trimmed().endsWith("%%EOF"))
            printerFault(cannotWrite());
        // Qt writes its fonts as composite fonts, which the print filters' PostScript step turns
        // into bitmaps: the page would reach the printer with no text in it. Simple fonts pass.
        // The rewrite is larger and goes into a file of its own: where it does not fit whole, the
        // job goes as Qt drew it.
        const QByteArray simple = withSimpleFonts(written);
        std::unique_ptr<QTemporaryFile> rewritten;
        if (simple != written) {
            rewritten = jobFile();
            if (!rewritten->open() || rewritten->write(simple) != simple.size() || !rewritten->flush())
                rewritten.reset();
        }
        const QString refused =
            printFile(m_printer.printerName(), (rewritten ? rewritten : drawn)->fileName(),
                      m_printer.docName(), options());
        if (!refused.isEmpty())
            printerFault(refused);
    }

    // A dropped job is never handed to the queue.
    void killJob() override {
        if (m_painting)
            m_painting->end();
        m_painting.reset();
        m_file.reset();
    }

private:
    static std::unique_ptr<QTemporaryFile> jobFile() {
        return std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/zar-job-XXXXXX"));
    }

    // Why the job cannot be written into the temporary folder.
    static QString cannotWrite() {
        const QString folder = QDir::tempPath();
        QString text = QStringLiteral("la stampa non può essere scritta nella cartella \"%1\"")
                           .arg(QDir::toNativeSeparators(folder));
        const QStorageInfo disk(folder);
        if (disk.isValid() && disk.bytesAvailable() < std::max(disk.blockSize(), 1))
            text += QStringLiteral(": il disco è pieno");
        return text;
    }

    void configure(const PageSetup& setup) {
        m_printer.setPageSize(QPageSize(pageSizeId(setup.paperSize)));
        m_printer.setPageOrientation(qtOrientation(setup.orientation));
    }

    // What Qt itself would tell the queue of the job.
    QList<std::pair<QByteArray, QByteArray>> options() const {
        const QPageLayout page = m_printer.pageLayout();
        QList<std::pair<QByteArray, QByteArray>> o;
        const auto add = [&o](const QByteArray& name, const QByteArray& value) { o.append({name, value}); };
        add("media", page.pageSize().key().toUtf8());
        if (m_printer.copyCount() > 1) {
            add("copies", QByteArray::number(m_printer.copyCount()));
            if (m_printer.collateCopies())
                add("Collate", "True");
        }
        const bool portrait = page.orientation() == QPageLayout::Portrait;
        switch (m_printer.duplex()) {
        case QPrinter::DuplexNone:
            add("sides", "one-sided");
            break;
        case QPrinter::DuplexAuto:
            add("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge");
            break;
        case QPrinter::DuplexLongSide:
            add("sides", "two-sided-long-edge");
            break;
        case QPrinter::DuplexShortSide:
            add("sides", "two-sided-short-edge");
            break;
        }
        if (!portrait)
            add("landscape", "");
        return o;
    }

    QPrinter m_printer{QPrinter::HighResolution};
    std::unique_ptr<QTemporaryFile> m_file;
    std::unique_ptr<Painting> m_painting;
};

// The application's output, chosen again for each job (the user may pick another printer in
// between): the set-up's printer, the system default, any printer, else PDF files in "Stampe".
class ApplicationDevice : public PrintDevice {
public:
    ApplicationDevice(QString programFolder, std::function<QString()> chosenPrinter)
        : m_programFolder(std::move(programFolder)), m_chosenPrinter(std::move(chosenPrinter)) {}

    DeviceLayout layout(const PageSetup& setup) override { return target().layout(setup); }
    void beginJob(const PageSetup& setup) override {
        m_target.reset(); // the printer chosen now, not when the layout was last asked
        try {
            target().beginJob(setup);
        } catch (...) {
            m_target.reset();
            throw;
        }
    }
    void draw(const PrintedCall& call, const CachedFont& font) override { target().draw(call, font); }
    void newPage(const PageSetup& setup) override { target().newPage(setup); }
    void endJob() override {
        auto done = std::move(m_target);
        done->endJob();
    }
    void killJob() override {
        auto done = std::move(m_target);
        if (done)
            done->killJob();
    }

private:
    PrintDevice& target() {
        if (!m_target) {
            QString name = m_chosenPrinter ? m_chosenPrinter() : QString();
            if (!name.isEmpty() && QPrinterInfo::printerInfo(name).isNull())
                name.clear();
            if (name.isEmpty())
                name = QPrinterInfo::defaultPrinter().printerName();
            if (name.isEmpty()) {
                const QStringList names = QPrinterInfo::availablePrinterNames();
                if (!names.isEmpty())
                    name = names.first();
            }
            if (name.isEmpty())
                m_target = std::make_unique<PdfDevice>(m_programFolder + QStringLiteral("/Stampe"), true,
                                                       DeviceLayout{});
            else
                m_target = std::make_unique<SystemPrinterDevice>(name);
        }
        return *m_target;
    }

    QString m_programFolder;
    std::function<QString()> m_chosenPrinter;
    std::unique_ptr<PrintDevice> m_target;
};

} // namespace

// ---- PrinterError ----

PrinterError::PrinterError(int number, const QString& description, bool repeated)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description),
      m_repeated(repeated) {}

QString PrinterError::standardDescription(int number) {
    switch (number) {
    case errPathFileAccess:
        return QStringLiteral("Errore di accesso al percorso/file");
    case errInvalidValue:
        return QStringLiteral("Valore di proprietà non valido");
    case errInvalidPicture:
        return QStringLiteral("Immagine non valida");
    case errPrinter:
        return QStringLiteral("Errore della stampante");
    default:
        return QStringLiteral("Errore definito dall'applicazione o dall'oggetto");
    }
}

// ---- Printer ----

Printer::Printer(std::unique_ptr<PrintDevice> device) : m_device(std::move(device)) {}
Printer::~Printer() = default;

std::unique_ptr<Printer> Printer::forApplication(const QString& programFolder,
                                                 std::function<QString()> chosenPrinter) {
    return std::make_unique<Printer>(
        std::make_unique<ApplicationDevice>(programFolder, std::move(chosenPrinter)));
}

std::unique_ptr<Printer> Printer::toPdfFolder(const QString& folder) {
    return std::make_unique<Printer>(std::make_unique<PdfDevice>(folder, true, DeviceLayout{}));
}

std::unique_ptr<Printer> Printer::toPdfFile(const QString& path, const DeviceLayout& layout) {
    return std::make_unique<Printer>(std::make_unique<PdfDevice>(path, false, layout));
}

PageSetup Printer::setup() const {
    PageSetup s;
    s.paperSize = m_paperSize;
    s.orientation = m_orientation;
    QSizeF paper = QPageSize(pageSizeId(m_paperSize)).size(QPageSize::Millimeter);
    if (m_orientation == vbPRORLandscape)
        paper.transpose();
    s.paperMm = paper;
    s.copies = m_copies;
    s.colorMode = m_colorMode;
    s.printQuality = m_printQuality;
    s.jobName = m_jobName;
    return s;
}

const Printer::Geometry& Printer::geometry() const {
    if (!m_geometry) {
        const PageSetup s = setup();
        const DeviceLayout layout = m_device->layout(s);
        m_geometry = Geometry{s.paperMm, layout.unprintableMm, layout.dpiX, layout.dpiY};
    }
    return *m_geometry;
}

double Printer::toMm(double units) const {
    return m_scaleMode == vbTwips ? units / kTwipsPerMm : units;
}

double Printer::fromMm(double mm) const {
    return m_scaleMode == vbTwips ? mm * kTwipsPerMm : mm;
}

QPointF Printer::toPaper(double x, double y) const {
    const Geometry& g = geometry();
    return {toMm(x) + g.unprintableMm.left(), toMm(y) + g.unprintableMm.top()};
}

void Printer::setScaleMode(int mode) {
    if (mode != vbTwips && mode != vbMillimeters)
        invalidValue();
    m_scaleMode = mode;
}

double Printer::ScaleWidth() const {
    const Geometry& g = geometry();
    return fromMm(g.paperMm.width() - g.unprintableMm.left() - g.unprintableMm.right());
}

double Printer::ScaleHeight() const {
    const Geometry& g = geometry();
    return fromMm(g.paperMm.height() - g.unprintableMm.top() - g.unprintableMm.bottom());
}

int Printer::GetDeviceCaps(int index) const {
    const Geometry& g = geometry();
    switch (index) {
    case 88:
        return g.dpiX;
    case 90:
        return g.dpiY;
    case 112:
        return qRound(g.unprintableMm.left() * g.dpiX / 25.4);
    case 113:
        return qRound(g.unprintableMm.top() * g.dpiY / 25.4);
    default:
        return 0;
    }
}

double Printer::CurrentX() const {
    return fromMm(m_currentXMm);
}
void Printer::setCurrentX(double x) {
    m_currentXMm = toMm(x);
}
double Printer::CurrentY() const {
    return fromMm(m_currentYMm);
}
void Printer::setCurrentY(double y) {
    m_currentYMm = toMm(y);
}

void Printer::setFontName(const QString& name) {
    if (name.trimmed().isEmpty())
        invalidValue();
    m_fontName = name;
    fontChanged();
}

void Printer::setFontSize(double points) {
    if (!(points > 0 && points <= 2160))
        invalidValue();
    m_fontSize = points;
    fontChanged();
}

void Printer::setFontBold(bool on) {
    m_bold = on;
    fontChanged();
}
void Printer::setFontItalic(bool on) {
    m_italic = on;
    fontChanged();
}
void Printer::setFontUnderline(bool on) {
    m_underline = on;
    fontChanged();
}

int Printer::FontCount() const {
    if (m_families.isEmpty())
        m_families = QFontDatabase::families();
    return int(m_families.size());
}

QString Printer::Fonts(int index) const {
    if (index < 0 || index >= FontCount())
        invalidValue();
    return m_families.at(index);
}

const CachedFont& Printer::font() const {
    if (m_font)
        return *m_font;
    const auto key =
        std::make_tuple(m_fontName, m_fontSize, int(m_bold) | int(m_italic) << 1 | int(m_underline) << 2);
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) {
        QFont f(m_fontName);
        const QString twin = substituteFamily(m_fontName);
        if (!twin.isEmpty())
            f.setFamilies({m_fontName, twin});
        // In pixels of the text resolution, so that no device sizes it again; unhinted, so
        // that the advances are the font's own.
        const int unitsPerPoint = textUnitsPerPoint(m_fontSize);
        f.setPixelSize(std::max(1, qRound(m_fontSize * unitsPerPoint)));
        f.setBold(m_bold);
        f.setItalic(m_italic);
        f.setUnderline(m_underline);
        f.setHintingPreference(QFont::PreferNoHinting);
        QFontMetricsF metrics(f);
        auto cached = std::make_unique<CachedFont>(
            CachedFont{f, metrics, 25.4 / 72 / unitsPerPoint, TextLayout(f), {}});
        found = m_fonts.emplace(key, std::move(cached)).first;
    }
    m_font = found->second.get();
    return *m_font;
}

void Printer::setForeColor(int color) {
    if (color < 0 || color > 0xFFFFFF)
        invalidValue();
    m_foreColor = color;
}

void Printer::setDrawStyle(int style) {
    if (style < 0 || style > 6)
        invalidValue();
    m_drawStyle = style;
}

void Printer::setDrawWidth(int width) {
    if (width < 1 || width > 32767)
        invalidValue();
    m_drawWidth = width;
}

void Printer::setOrientation(int orientation) {
    if (orientation != vbPRORPortrait && orientation != vbPRORLandscape)
        invalidValue();
    if (orientation != m_orientation)
        layoutChanged();
    m_orientation = orientation;
}

void Printer::setPaperSize(int code) {
    if (std::none_of(std::begin(kPapers), std::end(kPapers),
                     [code](const PaperCode& p) { return p.code == code; }))
        invalidValue();
    if (code != m_paperSize)
        layoutChanged();
    m_paperSize = code;
}

void Printer::setCopies(int copies) {
    if (copies < 1)
        invalidValue();
    m_copies = copies;
}

void Printer::setPrintQuality(int quality) {
    if (quality < -4 || quality == 0)
        invalidValue();
    m_printQuality = quality;
}

void Printer::setColorMode(int mode) {
    if (mode != 1 && mode != 2)
        invalidValue();
    m_colorMode = mode;
}

PrintedCall Printer::styledCall(PrintedCall::Kind kind) const {
    PrintedCall call;
    call.kind = kind;
    call.fontName = m_fontName;
    call.fontSize = m_fontSize;
    call.bold = m_bold;
    call.italic = m_italic;
    call.underline = m_underline;
    call.foreColor = m_foreColor;
    call.drawStyle = m_drawStyle;
    call.drawWidth = m_drawWidth;
    return call;
}

bool Printer::ensureJob() {
    if (m_job == JobState::Failed)
        return false;
    if (m_job == JobState::Idle) {
        layoutChanged(); // a job may go to another printer than the last one
        try {
            m_device->beginJob(setup());
        } catch (const PrinterError& e) {
            m_job = JobState::Failed;
            m_failedNumber = e.number();
            m_failedDescription = e.description();
            throw;
        }
        m_job = JobState::Running;
        m_page = 1;
    }
    return true;
}

void Printer::draw(PrintedCall call) {
    if (!ensureJob())
        return;
    call.page = m_page;
    m_device->draw(call, font());
}

void Printer::Print(const QString& text) {
    const QPointF at = toPaper(CurrentX(), CurrentY());
    PrintedCall call = styledCall(PrintedCall::Kind::Text);
    call.x = at.x();
    call.y = at.y();
    call.text = text;
    const CachedFont& f = font();
    call.width = f.widthMm(text);
    call.height = f.metrics.height() * f.mmPerUnit;
    call.x2 = call.x + call.width;
    call.y2 = call.y + call.height;
    draw(call);
    m_currentXMm = 0;
    m_currentYMm += call.height;
}

double Printer::TextWidth(const QString& text) const {
    const CachedFont& f = font();
    return fromMm(f.widthMm(text));
}

double Printer::TextHeight(const QString&) const {
    const CachedFont& f = font();
    return fromMm(f.metrics.height() * f.mmPerUnit);
}

void Printer::Line(double x1, double y1, double x2, double y2, bool box) {
    QPointF a = toPaper(x1, y1);
    QPointF b = toPaper(x2, y2);
    PrintedCall call = styledCall(box ? PrintedCall::Kind::Box : PrintedCall::Kind::Line);
    if (box) {
        // A box is the same whichever corners span it.
        const QRectF r = QRectF(a, b).normalized();
        a = r.topLeft();
        b = r.bottomRight();
    }
    call.x = a.x();
    call.y = a.y();
    call.x2 = b.x();
    call.y2 = b.y();
    call.width = b.x() - a.x();
    call.height = b.y() - a.y();
    draw(call);
    m_currentXMm = toMm(x2);
    m_currentYMm = toMm(y2);
}

void Printer::Circle(double x, double y, double radius, double start, double end) {
    const QPointF c = toPaper(x, y);
    PrintedCall call = styledCall(PrintedCall::Kind::Arc);
    call.x = c.x();
    call.y = c.y();
    call.radius = std::abs(toMm(radius));
    call.startAngle = std::abs(start);
    call.endAngle = std::abs(end);
    call.width = call.height = 2 * call.radius;
    draw(call);
    m_currentXMm = toMm(x);
    m_currentYMm = toMm(y);
}

void Printer::PaintPicture(const QImage& picture, double x, double y, double width, double height) {
    if (picture.isNull())
        throw PrinterError(errInvalidPicture, PrinterError::standardDescription(errInvalidPicture));
    const QPointF at = toPaper(x, y);
    const QSizeF own = pictureSizeMm(picture);
    PrintedCall call = styledCall(PrintedCall::Kind::Picture);
    call.x = at.x();
    call.y = at.y();
    call.width = width < 0 ? own.width() : toMm(width);
    call.height = height < 0 ? own.height() : toMm(height);
    call.x2 = call.x + call.width;
    call.y2 = call.y + call.height;
    call.picture = picture;
    draw(call);
}

void Printer::NewPage() {
    if (!ensureJob())
        return;
    m_device->newPage(setup());
    ++m_page;
    m_currentXMm = m_currentYMm = 0;
}

void Printer::endJob() {
    m_job = JobState::Idle;
    m_page = 1;
    m_currentXMm = m_currentYMm = 0;
    layoutChanged(); // the next job may go to another printer
}

void Printer::EndDoc() {
    if (m_job == JobState::Failed) {
        endJob();
        throw PrinterError(m_failedNumber, m_failedDescription, true);
    }
    if (m_job == JobState::Idle)
        return;
    endJob();
    m_device->endJob();
}

void Printer::KillDoc() {
    if (m_job == JobState::Running)
        m_device->killJob();
    endJob();
}

QSizeF Printer::pictureSizeMm(const QImage& picture) {
    const auto perMm = [](int dotsPerMeter) { return dotsPerMeter > 0 ? dotsPerMeter / 1000.0 : 96 / 25.4; };
    return {picture.width() / perMm(picture.dotsPerMeterX()),
            picture.height() / perMm(picture.dotsPerMeterY())};
}

QSize Printer::pictureSizeHimetric(const QImage& picture) {
    const QSizeF mm = pictureSizeMm(picture);
    return {qRound(mm.width() * 100), qRound(mm.height() * 100)};
}

QSizeF Printer::pictureSize(const QImage& picture) const {
    const QSizeF mm = pictureSizeMm(picture);
    return {fromMm(mm.width()), fromMm(mm.height())};
}

// ---- RecordingPrinter ----

namespace {
RecordingDevice& recorder(PrintDevice& device) {
    return static_cast<RecordingDevice&>(device);
}
} // namespace

RecordingPrinter::RecordingPrinter(const DeviceLayout& layout)
    : Printer(std::make_unique<RecordingDevice>(layout)) {}

const QList<PrintedCall>& RecordingPrinter::calls() const {
    return recorder(device()).m_calls;
}

QList<PrintedCall> RecordingPrinter::texts() const {
    QList<PrintedCall> result;
    for (const PrintedCall& call : calls())
        if (call.kind == PrintedCall::Kind::Text)
            result << call;
    return result;
}

void RecordingPrinter::clear() {
    recorder(device()).m_calls.clear();
}

DeviceLayout RecordingPrinter::layout() const {
    return recorder(device()).m_layout;
}

void RecordingPrinter::setLayout(const DeviceLayout& layout) {
    recorder(device()).m_layout = layout;
    layoutChanged();
}

void RecordingPrinter::setOffline(bool offline) {
    recorder(device()).m_offline = offline;
}

int RecordingPrinter::jobsSent() const {
    return recorder(device()).m_jobsSent;
}

Printer& applicationPrinter(PlatformContext& context) {
    if (!context.printer)
        // The printer holds the name's owner: context owns the printer, so it outlives it.
        context.printer =
            Printer::forApplication(context.programFolder, [&context] { return context.printerName; });
    return *context.printer;
}

} // namespace zar
