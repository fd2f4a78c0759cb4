#pragma once

#include <QImage>
#include <QString>

namespace zar {

class Printer;

// The reports' printing class: text, shapes and pictures placed in millimetres from the
// paper's top-left corner on the program's Printer, which stays the place of every other
// setting (fonts, colour, paper, drawing style). It has no page-break logic of its own.
//
// The five drawing procedures (PrintLeft, PrintRight, PrintCentre, PrintShape, PrintPicture)
// report a printer fault in the "EasyPrint" message box and return; the report goes on.
// FontName set ignores a refused font, ForeColor set falls back to black. Every other member
// lets a PrinterError reach the caller.
//
// The printer's unprintable strips are read once, at construction. Every member that deals in
// coordinates works in millimetres even when someone else (the labels, in twips) has changed
// the shared printer's scale mode in between.
class EasyPrint {
public:
    // Sets the printer to millimetres, reads its offsets and moves its current point to the
    // paper's top-left corner. A printer fault here reaches the caller.
    explicit EasyPrint(Printer& printer);

    // Extra gap (mm) between the lines of one multi-line text; a negative value stores 1.
    void setSpaziaturaLinea(float Spaziatura);
    float SpaziaturaLinea() const;

    // Font size in points; reads back rounded to a whole number.
    void setFontSize(int lFontSize);
    int FontSize() const;
    // A refused font name is ignored and leaves the previous font.
    void setFontName(const QString& sFontName);
    QString FontName() const;
    void setFontBold(bool bFontBold);
    bool FontBold() const;
    void setFontItalic(bool bFontItalic);
    bool FontItalic() const;
    void setFontUnderline(bool bFontUnderline);
    bool FontUnderline() const;
    // BGR colour of text and lines; a value the printer refuses sets black.
    void setForeColor(int Color);
    int ForeColor() const;
    void setPaperSize(int lPapersize);
    int PaperSize() const;
    void setCopies(int lCopies);
    int Copies() const;
    void setPrintQuality(int Quality);
    void setColorMode(int Output);
    void setOrientation(int x);
    void setDrawStyle(int Style);
    void setDrawWidth(int Width);

    // The printer's current point, in mm from the paper's corner.
    float CurrentX() const;
    void setCurrentX(float sCurrentX);
    void setCurrentY(float sCurrentY);
    float CurrentY() const;

    int FontCount() const;
    QString Fonts(int iFont) const;
    // The paper's size in mm, taking the far margins as equal to the near ones.
    float PageHeight() const;
    float PageWidth() const;
    int Page() const;

    // Text starting at XPos (the first line indented by Rientro); lines split at carriage
    // returns, each trimmed and, when WidthMax > 0, cut at the end to fit WidthMax mm.
    // A negative XPos or YPos leaves that coordinate where the previous output left it.
    void PrintLeft(float XPos, float YPos, const QString& Testo, float Rientro, int WidthMax);
    // Text ending at XPos (the first line Rientro mm further left), cut at the start to fit.
    void PrintRight(float XPos, float YPos, const QString& Testo, float Rientro, int WidthMax);
    // Text centred on XPos, cut at the end to fit.
    void PrintCentre(float XPos, float YPos, const QString& Testo, int WidthMax);
    // A box outline, a rule (width or height 0) or, with Rounded > 0, a box with quarter-arc
    // corners of that radius (at most half the shorter side). The current point ends at the
    // bottom-right corner.
    void PrintShape(float StartX, float StartY, float ObjWidth, float ObjHeight, float Rounded);
    // A picture with its top-left corner at (StartX, StartY): both sizes > 0 draw it at that
    // size; one of them > 0 with the other exactly 0 keeps the picture's own size for the
    // other; anything else draws it at its own size.
    void PrintPicture(float StartX, float StartY, const QImage& objPicture, float Height, float Width);

    float TextWidth(const QString& sText) const;
    float TextHeight(const QString& sText) const;

    void EndDoc();
    void NewPage();
    void KillDoc();

    // The "EasyPrint" box of a printer fault; also the box of the prints that do not go through
    // this class (the labels).
    static void ShowError(int number, const QString& description);

private:
    QString FitToWidth(QString text, int WidthMax, bool KeepStart) const;
    static QString GetLine(const QString& text, int n);
    static int CountLineBreaks(const QString& text);
    void ReadPrinterOffsets();
    Printer& mm() const; // the printer, set to millimetres

    Printer& m_printer;
    float OffsetX = 0; // mm, minus the unprintable strip at the left
    float OffsetY = 0; // mm, minus the unprintable strip at the top
    float LineSpacing = 0;
};

} // namespace zar
