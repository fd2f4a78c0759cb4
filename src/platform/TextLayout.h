#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QSet>

namespace zar {

// One font's texts laid out from what is remembered of it: each character's glyph and advance
// and each pair's kerning, asked of Qt once. At the large pixel sizes that keep text at its
// true size, Qt's glyph cache holds nothing, so its own layout loads every glyph's outline
// again for every text. The result is Qt's own, glyph for glyph and position for position.
// Texts that need more than a glyph per character and pair kerning (controls, combining
// marks, other scripts, characters the font lacks, ligatures) are left to Qt's layout, and
// so are fonts whose shaping does more.
class TextLayout {
public:
    explicit TextLayout(const QFont& font);

    struct Run {
        QList<quint32> glyphs;
        QList<QPointF> positions; // pen positions on the baseline, in the font's pixels
        double width = 0;         // advance of the whole text, in the font's pixels
    };

    // Fills run and returns true, or returns false for a text that needs Qt's own layout.
    bool layOut(const QString& text, Run& run) const;
    // Any text's advance in the font's pixels: as Qt's metrics measure it.
    double width(const QString& text) const;

    const QRawFont& rawFont() const { return m_raw; }

private:
    struct Glyph {
        quint32 index = 0;
        double advance = 0;
    };
    const Glyph* glyph(char16_t c) const;         // null: the text takes Qt's own layout
    double kerning(char16_t a, char16_t b) const; // not a number: the text takes Qt's own layout
    QGlyphRun qtRun(const QString& text) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    QRawFont m_raw;
    bool m_plain; // the font's shaping of Latin is no more than glyphs and pair kerning
    mutable QHash<char16_t, Glyph> m_glyphs;
    mutable QSet<char16_t> m_refused;
    mutable QHash<quint32, double> m_kerning; // first character << 16 | second
};

} // namespace zar
