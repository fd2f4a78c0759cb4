#pragma once

#include "platform/Printer.h"
#include "platform/TextLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>

namespace zar {

// A font state resolved once: the font and its metrics at the fixed text resolution, the same
// for every device.
struct CachedFont {
    QFont font;
    QFontMetricsF metrics;
    double mmPerUnit; // millimetres per metrics unit
    TextLayout layout;

    // Reports measure a text and then print it, and repeat many texts (numbers, breeds,
    // headings): widths are remembered, within a bound.
    mutable QHash<QString, double> widths;

    double widthMm(const QString& text) const {
        auto found = widths.constFind(text);
        if (found != widths.cend())
            return *found;
        if (widths.size() >= 65536)
            widths.clear();
        const double width = layout.width(text) * mmPerUnit;
        widths.insert(text, width);
        return width;
    }
};

// The page set-up a job starts with (and each new page takes).
struct PageSetup {
    QSizeF paperMm; // as oriented
    int paperSize = vbPRPSA4;
    int orientation = vbPRORPortrait;
    int copies = 1;
    int colorMode = 2;
    int printQuality = -4;
    QString jobName;
};

// Where a Printer's pages go. Calls carry millimetres from the paper's top-left corner.
class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    // The unprintable strips and resolution for this set-up, outside or inside a job.
    virtual DeviceLayout layout(const PageSetup& setup) = 0;
    virtual void beginJob(const PageSetup& setup) = 0;
    virtual void draw(const PrintedCall& call, const CachedFont& font) = 0;
    virtual void newPage(const PageSetup& setup) = 0;
    virtual void endJob() = 0;
    virtual void killJob() = 0;
};

} // namespace zar
