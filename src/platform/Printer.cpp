#include "platform/Printer.h"

#include "frame/SharedValues.h"
#include "platform/PrintDevice.h"

namespace zar {

PrinterError::PrinterError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}

QString PrinterError::standardDescription(int) {
    return {};
}

struct Printer::Geometry {};

Printer::Printer(std::unique_ptr<PrintDevice> device) : m_device(std::move(device)) {}
Printer::~Printer() = default;

std::unique_ptr<Printer> Printer::forApplication(const QString&) {
    return {};
}
std::unique_ptr<Printer> Printer::toPdfFolder(const QString&) {
    return {};
}
std::unique_ptr<Printer> Printer::toPdfFile(const QString&, const DeviceLayout&) {
    return {};
}

void Printer::setScaleMode(int mode) {
    m_scaleMode = mode;
}
double Printer::ScaleWidth() const {
    return 0;
}
double Printer::ScaleHeight() const {
    return 0;
}
int Printer::GetDeviceCaps(int) const {
    return 0;
}
double Printer::CurrentX() const {
    return 0;
}
void Printer::setCurrentX(double) {}
double Printer::CurrentY() const {
    return 0;
}
void Printer::setCurrentY(double) {}
void Printer::setFontName(const QString& name) {
    m_fontName = name;
}
void Printer::setFontSize(double points) {
    m_fontSize = points;
}
void Printer::setFontBold(bool on) {
    m_bold = on;
}
void Printer::setFontItalic(bool on) {
    m_italic = on;
}
void Printer::setFontUnderline(bool on) {
    m_underline = on;
}
int Printer::FontCount() const {
    return 0;
}
QString Printer::Fonts(int) const {
    return {};
}
void Printer::setForeColor(int color) {
    m_foreColor = color;
}
void Printer::setDrawStyle(int style) {
    m_drawStyle = style;
}
void Printer::setDrawWidth(int width) {
    m_drawWidth = width;
}
void Printer::setOrientation(int orientation) {
    m_orientation = orientation;
}
void Printer::setPaperSize(int code) {
    m_paperSize = code;
}
void Printer::setCopies(int copies) {
    m_copies = copies;
}
void Printer::setPrintQuality(int quality) {
    m_printQuality = quality;
}
void Printer::setColorMode(int mode) {
    m_colorMode = mode;
}
void Printer::Print(const QString&) {}
double Printer::TextWidth(const QString&) const {
    return 0;
}
double Printer::TextHeight(const QString&) const {
    return 0;
}
void Printer::Line(double, double, double, double, bool) {}
void Printer::Circle(double, double, double, double, double) {}
void Printer::PaintPicture(const QImage&, double, double, double, double) {}
void Printer::NewPage() {}
void Printer::EndDoc() {}
void Printer::KillDoc() {}
QSizeF Printer::pictureSizeMm(const QImage&) {
    return {};
}
QSize Printer::pictureSizeHimetric(const QImage&) {
    return {};
}
QSizeF Printer::pictureSize(const QImage&) const {
    return {};
}

RecordingPrinter::RecordingPrinter(const DeviceLayout&) : Printer(nullptr) {}
const QList<PrintedCall>& RecordingPrinter::calls() const {
    static const QList<PrintedCall> none;
    return none;
}
QList<PrintedCall> RecordingPrinter::texts() const {
    return {};
}
void RecordingPrinter::clear() {}
DeviceLayout RecordingPrinter::layout() const {
    return {};
}
void RecordingPrinter::setLayout(const DeviceLayout&) {}
void RecordingPrinter::setOffline(bool) {}
int RecordingPrinter::jobsSent() const {
    return 0;
}

Printer& applicationPrinter(SharedValues& shared) {
    if (!shared.printer)
        shared.printer = Printer::forApplication(shared.programFolder);
    return *shared.printer;
}

} // namespace zar
