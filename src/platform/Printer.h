#pragma once

#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <tuple>

namespace zar {

struct PlatformContext;

// Fault numbers of the printer layer.
enum PrinterErrorNumber : int {
    errPathFileAccess = 75,  // the output file or its folder cannot be written
    errInvalidValue = 380,   // a property set to a value it does not take
    errInvalidPicture = 481, // a picture with nothing in it
    errPrinter = 482,        // the printer itself failed (off line, refused the job, ...)
};

// A fault of the printer layer: a number and a description the user can read.
class PrinterError : public std::runtime_error {
public:
    PrinterError(int number, const QString& description, bool repeated = false);
    int number() const { return m_number; }
    QString description() const { return m_description; }
    // The fault an earlier call of the same job threw already (the EndDoc of a job that could
    // not start): whoever told the user then has told them.
    bool repeated() const { return m_repeated; }

    // The standard description of a fault number ("Errore della stampante" for 482, ...).
    static QString standardDescription(int number);

private:
    int m_number;
    QString m_description;
    bool m_repeated;
};

// ScaleMode values.
enum PrinterScaleMode : int { vbTwips = 1, vbMillimeters = 6 };

// Orientation values.
enum PrinterOrientation : int { vbPRORPortrait = 1, vbPRORLandscape = 2 };

// PaperSize value of A4; also taken: 1 Letter, 5 Legal, 8 A3, 11 A5.
inline constexpr int vbPRPSA4 = 9;

// Twips per millimetre (1440 twips an inch).
inline constexpr double kTwipsPerMm = 1440.0 / 25.4;

// The geometry of an output device: the unprintable strips at the paper's edges (millimetres,
// for whatever orientation is set) and the device's pixels per inch. The paper itself comes
// from the printer's PaperSize and Orientation.
struct DeviceLayout {
    QMarginsF unprintableMm; // left, top, right, bottom
    int dpiX = 600;
    int dpiY = 600;
};

// One drawing call as a device received it. Positions and sizes are millimetres from the
// paper's top-left corner, whatever the printer's scale mode and printable area.
struct PrintedCall {
    enum class Kind { Text, Line, Box, Arc, Picture, NewPage, EndDoc, KillDoc };
    Kind kind = Kind::Text;
    int page = 1; // page of the job the call drew on

    // Text: top-left corner of the text, its width and height (TextWidth, TextHeight).
    // Line: start (x, y) and end (x2, y2); width and height are x2 - x and y2 - y.
    // Box: top-left corner (x, y), bottom-right (x2, y2), width and height.
    // Arc: centre (x, y) and radius; angles in radians counter-clockwise from the X axis.
    // Picture: top-left corner and the size drawn.
    double x = 0, y = 0, x2 = 0, y2 = 0, width = 0, height = 0;
    double radius = 0, startAngle = 0, endAngle = 0;

    QString text;
    QImage picture;
    QString fontName;
    double fontSize = 0; // points
    bool bold = false, italic = false, underline = false;

    int foreColor = 0; // BGR, as ForeColor
    int drawStyle = 0;
    int drawWidth = 1;
};

class PrintDevice;
struct CachedFont;
struct PageSetup;

// The program's printer: a current point, a font and drawing settings. One object serves the
// whole program (see applicationPrinter); its settings persist from job to job. A job starts
// with the first drawing call after construction or after EndDoc/KillDoc; EndDoc sends it,
// KillDoc drops it.
//
// Coordinates are in the current scale unit (twips or millimetres) from the top-left corner
// of the printable area. Every fault is thrown as a PrinterError.
//
// When a job cannot start (an unwritable output folder, a printer that refuses it) the call
// that started it throws; the further drawing calls of that job do nothing and its EndDoc
// throws the same fault again, marked repeated, so a loop of drawing calls reports it once and
// the end of the document does not pass for printed. KillDoc clears it.
class Printer {
public:
    explicit Printer(std::unique_ptr<PrintDevice> device);
    virtual ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // The application's output: the printer that chosenPrinter names (the printer setup's
    // choice), else the system's default printer, else (no printer at all) a new PDF file per
    // job in the folder "Stampe" of the program folder, opened in the desktop's PDF viewer.
    // Decided again at each job.
    static std::unique_ptr<Printer> forApplication(const QString& programFolder,
                                                   std::function<QString()> chosenPrinter);
    // Every job is written as a new PDF file into the folder (created when missing), never
    // overwriting one, and opened in the desktop's PDF viewer.
    static std::unique_ptr<Printer> toPdfFolder(const QString& folder);
    // Every job is written to this PDF file (replacing it), with the given device layout.
    static std::unique_ptr<Printer> toPdfFile(const QString& path, const DeviceLayout& layout = {});

    // Scale mode: vbTwips (1) or vbMillimeters (6); others are refused (380).
    int ScaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode);
    // The printable area in the current unit.
    double ScaleWidth() const;
    double ScaleHeight() const;

    // 88/90 pixels per inch across/down, 112/113 the unprintable strip at the left/top in device
    // pixels; 0 for any other index.
    int GetDeviceCaps(int index) const;

    // Top-left corner of the next text, in the current unit.
    double CurrentX() const;
    void setCurrentX(double x);
    double CurrentY() const;
    void setCurrentY(double y);

    // Fonts: a name (empty is refused, 380), a size in points (0 < size <= 2160, else 380).
    QString FontName() const { return m_fontName; }
    void setFontName(const QString& name);
    double FontSize() const { return m_fontSize; }
    void setFontSize(double points);
    bool FontBold() const { return m_bold; }
    void setFontBold(bool on);
    bool FontItalic() const { return m_italic; }
    void setFontItalic(bool on);
    bool FontUnderline() const { return m_underline; }
    void setFontUnderline(bool on);
    int FontCount() const;
    QString Fonts(int index) const; // 0 .. FontCount() - 1, else 380

    // Colour of text and lines as a BGR number (0x00BBGGRR); outside 0 .. 0xFFFFFF is 380.
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int color);
    // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 transparent, 6 inside solid; else 380.
    int DrawStyle() const { return m_drawStyle; }
    void setDrawStyle(int style);
    // Line width in device pixels (1 .. 32767, else 380); PDF output counts 600 to the inch.
    int DrawWidth() const { return m_drawWidth; }
    void setDrawWidth(int width);

    // Page set-up; a change during a job takes effect from the next page.
    int Orientation() const { return m_orientation; }
    void setOrientation(int orientation); // 1 portrait, 2 landscape, else 380
    int PaperSize() const { return m_paperSize; }
    void setPaperSize(int code); // 9 A4 (see vbPRPSA4), else 380 for an unknown code
    int Copies() const { return m_copies; }
    void setCopies(int copies); // 1 or more, else 380
    int PrintQuality() const { return m_printQuality; }
    void setPrintQuality(int quality); // -1 .. -4 (draft .. high) or dots per inch, else 380
    int ColorMode() const { return m_colorMode; }
    void setColorMode(int mode); // 1 monochrome, 2 colour, else 380
    // The name the job carries in the queue and in the PDF file name; "ZAR" by default.
    QString JobName() const { return m_jobName; }
    void setJobName(const QString& name) { m_jobName = name; }

    // Page number of the current job (1 until the first NewPage).
    int Page() const { return m_page; }

    // One line of text with its top at CurrentY and its left edge at CurrentX; then the
    // current point moves to x 0, one TextHeight lower.
    void Print(const QString& text);
    // Width and height of a text in the current font and unit. The height is the font's
    // ascent plus descent, the advance of one Print.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    // A line from (x1, y1) to (x2, y2), or with box the outline of the rectangle they span.
    // The current point moves to (x2, y2).
    void Line(double x1, double y1, double x2, double y2, bool box = false);
    // A circle, or with start/end (radians, counter-clockwise from the X axis, pi/2 up) the arc
    // from start to end. Negative angles count as their absolute value. The current point
    // moves to the centre.
    void Circle(double x, double y, double radius, double start = 0, double end = 0);
    // A picture with its top-left corner at (x, y); a negative width or height is the
    // picture's own width or height. An empty picture is refused (481).
    void PaintPicture(const QImage& picture, double x, double y, double width = -1, double height = -1);

    void NewPage();
    void EndDoc();
    void KillDoc();

    // A picture's own size: from its dots per metre, 96 pixels per inch when those are unset.
    static QSizeF pictureSizeMm(const QImage& picture);
    // In hundredths of a millimetre, rounded (49 pixels at 96 dpi give 1296).
    static QSize pictureSizeHimetric(const QImage& picture);
    // In the current unit.
    QSizeF pictureSize(const QImage& picture) const;

protected:
    PrintDevice& device() const { return *m_device; }
    // The device's layout changed: measure it again.
    void layoutChanged() {
        m_geometry.reset();
        m_font = nullptr;
    }

private:
    struct Geometry {
        QSizeF paperMm; // as oriented
        QMarginsF unprintableMm;
        int dpiX = 600;
        int dpiY = 600;
    };
    const Geometry& geometry() const;
    PageSetup setup() const;
    double toMm(double units) const;
    double fromMm(double mm) const;
    const CachedFont& font() const;
    void fontChanged() { m_font = nullptr; }
    PrintedCall styledCall(PrintedCall::Kind kind) const;
    QPointF toPaper(double x, double y) const; // current unit, printable area -> paper mm
    bool ensureJob();                          // starts a job when none runs; false while a failed one lasts
    void draw(PrintedCall call);
    void endJob();

    std::unique_ptr<PrintDevice> m_device;
    mutable std::optional<Geometry> m_geometry;
    mutable QStringList m_families;

    int m_scaleMode = vbTwips;
    double m_currentXMm = 0; // from the printable area's corner
    double m_currentYMm = 0;

    QString m_fontName = QStringLiteral("Times New Roman");
    double m_fontSize = 10;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    // Measured fonts by name, size (points) and style bits (bold 1, italic 2, underline 4).
    mutable std::map<std::tuple<QString, double, int>, std::unique_ptr<CachedFont>> m_fonts;
    mutable const CachedFont* m_font = nullptr;

    int m_foreColor = 0;
    int m_drawStyle = 0;
    int m_drawWidth = 1;
    int m_orientation = vbPRORPortrait;
    int m_paperSize = vbPRPSA4;
    int m_copies = 1;
    int m_printQuality = -4;
    int m_colorMode = 2;
    QString m_jobName = QStringLiteral("ZAR");

    enum class JobState { Idle, Running, Failed };
    JobState m_job = JobState::Idle;
    int m_failedNumber = 0;
    QString m_failedDescription;
    int m_page = 1;
};

// A printer that draws nothing: every call is recorded, positions in millimetres from the
// paper's top-left corner. The device layout (unprintable strips, dpi) can be set to shift
// the printable area.
class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(const DeviceLayout& layout = {});

    const QList<PrintedCall>& calls() const;
    // The text calls only, in order.
    QList<PrintedCall> texts() const;
    void clear();

    DeviceLayout layout() const;
    void setLayout(const DeviceLayout& layout);
    // While off line every drawing call fails with 482, as a printer that is switched off.
    void setOffline(bool offline);
    // Jobs sent with EndDoc so far.
    int jobsSent() const;
};

// The program's one printer: created on first use with the application's output
// (Printer::forApplication on the program folder). Tests put their own into context.printer.
Printer& applicationPrinter(PlatformContext& context);

} // namespace zar
