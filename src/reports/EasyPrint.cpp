#include "reports/EasyPrint.h"

#include "platform/Printer.h"

namespace zar {

EasyPrint::EasyPrint(Printer& printer) : m_printer(printer) {}

void EasyPrint::setSpaziaturaLinea(float) {}
float EasyPrint::SpaziaturaLinea() const {
    return LineSpacing;
}
void EasyPrint::setFontSize(int) {}
int EasyPrint::FontSize() const {
    return 0;
}
void EasyPrint::setFontName(const QString&) {}
QString EasyPrint::FontName() const {
    return {};
}
void EasyPrint::setFontBold(bool) {}
bool EasyPrint::FontBold() const {
    return false;
}
void EasyPrint::setFontItalic(bool) {}
bool EasyPrint::FontItalic() const {
    return false;
}
void EasyPrint::setFontUnderline(bool) {}
bool EasyPrint::FontUnderline() const {
    return false;
}
void EasyPrint::setForeColor(int) {}
int EasyPrint::ForeColor() const {
    return 0;
}
void EasyPrint::setPaperSize(int) {}
int EasyPrint::PaperSize() const {
    return 0;
}
void EasyPrint::setCopies(int) {}
int EasyPrint::Copies() const {
    return 0;
}
void EasyPrint::setPrintQuality(int) {}
void EasyPrint::setColorMode(int) {}
void EasyPrint::setOrientation(int) {}
void EasyPrint::setDrawStyle(int) {}
void EasyPrint::setDrawWidth(int) {}
float EasyPrint::CurrentX() const {
    return 0;
}
void EasyPrint::setCurrentX(float) {}
void EasyPrint::setCurrentY(float) {}
float EasyPrint::CurrentY() const {
    return 0;
}
int EasyPrint::FontCount() const {
    return 0;
}
QString EasyPrint::Fonts(int) const {
    return {};
}
float EasyPrint::PageHeight() const {
    return 0;
}
float EasyPrint::PageWidth() const {
    return 0;
}
int EasyPrint::Page() const {
    return 0;
}
void EasyPrint::PrintLeft(float, float, const QString&, float, int) {}
void EasyPrint::PrintRight(float, float, const QString&, float, int) {}
void EasyPrint::PrintCentre(float, float, const QString&, int) {}
void EasyPrint::PrintShape(float, float, float, float, float) {}
void EasyPrint::PrintPicture(float, float, const QImage&, float, float) {}
float EasyPrint::TextWidth(const QString&) const {
    return 0;
}
float EasyPrint::TextHeight(const QString&) const {
    return 0;
}
void EasyPrint::EndDoc() {}
void EasyPrint::NewPage() {}
void EasyPrint::KillDoc() {}
QString EasyPrint::FitToWidth(QString text, int, bool) const {
    return text;
}
QString EasyPrint::GetLine(const QString& text, int) {
    return text;
}
int EasyPrint::CountLineBreaks(const QString&) {
    return 0;
}
void EasyPrint::ShowError(int, const QString&) {}
void EasyPrint::ReadPrinterOffsets() {}
Printer& EasyPrint::mm() const {
    return m_printer;
}

} // namespace zar
