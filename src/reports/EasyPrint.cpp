#include "reports/EasyPrint.h"

#include "platform/MsgBox.h"
#include "platform/Printer.h"

#include <algorithm>
#include <cmath>

namespace zar {

namespace {

// Blanks only: a line feed at either end of a line stays part of it.
QString trimBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

} // namespace

EasyPrint::EasyPrint(Printer& printer) : m_printer(printer) {
    m_printer.setScaleMode(vbMillimeters);
    ReadPrinterOffsets();
    m_printer.setCurrentX(OffsetX);
    m_printer.setCurrentY(OffsetY);
}

void EasyPrint::ReadPrinterOffsets() {
    OffsetX = float(m_printer.GetDeviceCaps(112) * -25.4 / m_printer.GetDeviceCaps(88));
    OffsetY = float(m_printer.GetDeviceCaps(113) * -25.4 / m_printer.GetDeviceCaps(90));
}

Printer& EasyPrint::mm() const {
    // The printer is shared: the labels may have left it in twips since the last call.
    if (m_printer.ScaleMode() != vbMillimeters)
        m_printer.setScaleMode(vbMillimeters);
    return m_printer;
}

void EasyPrint::setSpaziaturaLinea(float Spaziatura) {
    LineSpacing = Spaziatura >= 0 ? Spaziatura : 1.0f;
}

float EasyPrint::SpaziaturaLinea() const {
    return LineSpacing;
}

void EasyPrint::setFontSize(int lFontSize) {
    m_printer.setFontSize(lFontSize);
}

int EasyPrint::FontSize() const {
    return int(std::lround(m_printer.FontSize()));
}

void EasyPrint::setFontName(const QString& sFontName) {
    try {
        m_printer.setFontName(sFontName);
    } catch (const PrinterError&) {
        // A refused font leaves the previous one, without a word.
    }
}

QString EasyPrint::FontName() const {
    return m_printer.FontName();
}

void EasyPrint::setFontBold(bool bFontBold) {
    m_printer.setFontBold(bFontBold);
}
bool EasyPrint::FontBold() const {
    return m_printer.FontBold();
}
void EasyPrint::setFontItalic(bool bFontItalic) {
    m_printer.setFontItalic(bFontItalic);
}
bool EasyPrint::FontItalic() const {
    return m_printer.FontItalic();
}
void EasyPrint::setFontUnderline(bool bFontUnderline) {
    m_printer.setFontUnderline(bFontUnderline);
}
bool EasyPrint::FontUnderline() const {
    return m_printer.FontUnderline();
}

void EasyPrint::setForeColor(int Color) {
    try {
        m_printer.setForeColor(Color);
    } catch (const PrinterError&) {
        m_printer.setForeColor(0);
    }
}

int EasyPrint::ForeColor() const {
    return m_printer.ForeColor();
}

void EasyPrint::setPaperSize(int lPapersize) {
    m_printer.setPaperSize(lPapersize);
}
int EasyPrint::PaperSize() const {
    return m_printer.PaperSize();
}
void EasyPrint::setCopies(int lCopies) {
    m_printer.setCopies(lCopies);
}
int EasyPrint::Copies() const {
    return m_printer.Copies();
}
void EasyPrint::setPrintQuality(int Quality) {
    m_printer.setPrintQuality(Quality);
}
void EasyPrint::setColorMode(int Output) {
    m_printer.setColorMode(Output);
}
void EasyPrint::setOrientation(int x) {
    m_printer.setOrientation(x);
}
void EasyPrint::setDrawStyle(int Style) {
    m_printer.setDrawStyle(Style);
}
void EasyPrint::setDrawWidth(int Width) {
    m_printer.setDrawWidth(Width);
}

float EasyPrint::CurrentX() const {
    return float(mm().CurrentX()) - OffsetX;
}
void EasyPrint::setCurrentX(float sCurrentX) {
    mm().setCurrentX(OffsetX + sCurrentX);
}
void EasyPrint::setCurrentY(float sCurrentY) {
    mm().setCurrentY(OffsetY + sCurrentY);
}
float EasyPrint::CurrentY() const {
    return float(mm().CurrentY()) - OffsetY;
}

int EasyPrint::FontCount() const {
    return m_printer.FontCount();
}
QString EasyPrint::Fonts(int iFont) const {
    return m_printer.Fonts(iFont);
}

float EasyPrint::PageHeight() const {
    return float(mm().ScaleHeight()) - 2 * OffsetY;
}
float EasyPrint::PageWidth() const {
    return float(mm().ScaleWidth()) - 2 * OffsetX;
}
int EasyPrint::Page() const {
    return m_printer.Page();
}

void EasyPrint::PrintLeft(float XPos, float YPos, const QString& Testo, float Rientro, int WidthMax) {
    try {
        Printer& p = mm();
        const int n = CountLineBreaks(Testo);
        float x = XPos + Rientro; // the indent is the first line's only
        if (n > 0) {
            for (int i = 0; i <= n; ++i) {
                if (i > 0)
                    x = XPos;
                QString line = GetLine(Testo, i);
                if (WidthMax > 0)
                    line = FitToWidth(line, WidthMax, true);
                if (XPos >= 0)
                    p.setCurrentX(x + OffsetX);
                if (YPos >= 0)
                    p.setCurrentY(YPos + OffsetY + i * (TextHeight(line) + LineSpacing));
                p.Print(line);
            }
        } else {
            if (XPos >= 0)
                p.setCurrentX(x + OffsetX);
            if (YPos >= 0)
                p.setCurrentY(YPos + OffsetY);
            p.Print(WidthMax > 0 ? FitToWidth(Testo, WidthMax, true) : Testo);
        }
    } catch (const PrinterError& e) {
        ShowError(e.number(), e.description());
    }
}

void EasyPrint::PrintRight(float XPos, float YPos, const QString& Testo, float Rientro, int WidthMax) {
    try {
        Printer& p = mm();
        const int n = CountLineBreaks(Testo);
        float x = XPos - Rientro; // the indent moves the first line's end leftwards
        if (n > 0) {
            for (int i = 0; i <= n; ++i) {
                if (i > 0)
                    x = XPos;
                QString line = GetLine(Testo, i);
                if (WidthMax > 0)
                    line = FitToWidth(line, WidthMax, false);
                if (XPos >= 0)
                    p.setCurrentX(x + OffsetX - TextWidth(line));
                if (YPos >= 0)
                    p.setCurrentY(YPos + OffsetY + i * (TextHeight(line) + LineSpacing));
                p.Print(line);
            }
        } else {
            if (YPos >= 0)
                p.setCurrentY(YPos + OffsetY);
            const QString line = WidthMax > 0 ? FitToWidth(Testo, WidthMax, false) : Testo;
            if (XPos >= 0)
                p.setCurrentX(x + OffsetX - TextWidth(line));
            p.Print(line);
        }
    } catch (const PrinterError& e) {
        ShowError(e.number(), e.description());
    }
}

void EasyPrint::PrintCentre(float XPos, float YPos, const QString& Testo, int WidthMax) {
    try {
        Printer& p = mm();
        const int n = CountLineBreaks(Testo);
        if (n > 0) {
            for (int i = 0; i <= n; ++i) {
                QString line = GetLine(Testo, i);
                if (WidthMax > 0)
                    line = FitToWidth(line, WidthMax, true);
                if (XPos >= 0)
                    p.setCurrentX(XPos + OffsetX - TextWidth(line) / 2);
                if (YPos >= 0)
                    p.setCurrentY(YPos + OffsetY + i * (TextHeight(line) + LineSpacing));
                p.Print(line);
            }
        } else {
            const QString line = WidthMax > 0 ? FitToWidth(Testo, WidthMax, true) : Testo;
            if (XPos >= 0)
                p.setCurrentX(XPos + OffsetX - TextWidth(line) / 2);
            if (YPos >= 0)
                p.setCurrentY(YPos + OffsetY);
            p.Print(line);
        }
    } catch (const PrinterError& e) {
        ShowError(e.number(), e.description());
    }
}

void EasyPrint::PrintShape(float StartX, float StartY, float ObjWidth, float ObjHeight, float Rounded) {
    try {
        Printer& p = mm();
        const float X = StartX + OffsetX;
        const float Y = StartY + OffsetY;
        const float W = ObjWidth;
        const float H = ObjHeight;
        const float r = std::min(Rounded, std::min(W, H) / 2);
        if (r <= 0) {
            // Also a rounding on a box with no height or width: that is a plain rule.
            p.Line(X, Y, X + W, Y + H, true);
        } else {
            const float pi = 3.14159265f;
            p.Line(X + r, Y, X + W - r, Y);
            p.Circle(X + W - r, Y + r, r, 0, pi / 2);
            p.Line(X + W, Y + r, X + W, Y + H - r);
            p.Circle(X + W - r, Y + H - r, r, 3 * pi / 2, 0);
            p.Line(X + W - r, Y + H, X + r, Y + H);
            p.Circle(X + r, Y + H - r, r, pi, 3 * pi / 2);
            p.Line(X, Y + H - r, X, Y + r);
            p.Circle(X + r, Y + r, r, pi / 2, pi);
        }
        p.setCurrentX(X + W);
        p.setCurrentY(Y + H);
    } catch (const PrinterError& e) {
        ShowError(e.number(), e.description());
    }
}

void EasyPrint::PrintPicture(float StartX, float StartY, const QImage& objPicture, float Height,
                             float Width) {
    try {
        // A size of -1 tells the printer to take the picture's own.
        float w = -1;
        float h = -1;
        if (Width > 0 && Height > 0) {
            w = Width;
            h = Height;
        } else if (Height > 0 && Width == 0) {
            h = Height;
        } else if (Width > 0 && Height == 0) {
            w = Width;
        }
        mm().PaintPicture(objPicture, StartX + OffsetX, StartY + OffsetY, w, h);
    } catch (const PrinterError& e) {
        ShowError(e.number(), e.description());
    }
}

float EasyPrint::TextWidth(const QString& sText) const {
    return float(mm().TextWidth(sText));
}

float EasyPrint::TextHeight(const QString& sText) const {
    return float(mm().TextHeight(sText));
}

void EasyPrint::EndDoc() {
    m_printer.EndDoc();
}
void EasyPrint::NewPage() {
    m_printer.NewPage();
}
void EasyPrint::KillDoc() {
    m_printer.KillDoc();
}

QString EasyPrint::FitToWidth(QString text, int WidthMax, bool KeepStart) const {
    if (text.isEmpty() || TextWidth(text) <= WidthMax)
        return text;
    // The longest beginning (or ending) that fits: a text grows wider with every character,
    // so the cut is found by halving instead of one character at a time.
    auto part = [&](qsizetype n) { return KeepStart ? text.left(n) : text.right(n); };
    qsizetype fits = 0, tooWide = text.size();
    while (tooWide - fits > 1) {
        const qsizetype mid = (fits + tooWide) / 2;
        (TextWidth(part(mid)) <= WidthMax ? fits : tooWide) = mid;
    }
    // A surrogate pair is one character: never keep half of one.
    if (fits > 0 && KeepStart && text.at(fits - 1).isHighSurrogate())
        --fits;
    if (fits > 0 && !KeepStart && text.at(text.size() - fits).isLowSurrogate())
        --fits;
    return part(fits);
}

QString EasyPrint::GetLine(const QString& text, int n) {
    QString rest = text;
    for (int i = 0; i < n; ++i) {
        const qsizetype cr = rest.indexOf(QLatin1Char('\r'));
        if (cr < 0)
            return {};
        rest = rest.mid(cr + 1);
        if (rest.startsWith(QLatin1Char('\n')))
            rest.remove(0, 1);
        rest = trimBlanks(rest);
    }
    return trimBlanks(rest.left(rest.indexOf(QLatin1Char('\r'))));
}

int EasyPrint::CountLineBreaks(const QString& text) {
    return int(text.count(QLatin1Char('\r')));
}

void EasyPrint::ShowError(int number, const QString& description) {
    MsgBox(QStringLiteral("Errore nella routine di stampa\r\nErrore numero: %1\r\n%2")
               .arg(number)
               .arg(description),
           vbOKOnly + vbCritical, QStringLiteral("EasyPrint"));
}

} // namespace zar
