#include "platform/TextLayout.h"

#include <QTextLayout>
#include <QtEndian>

#include <cmath>
#include <limits>

namespace zar {

namespace {

// Characters that Qt lays out as one glyph each, with nothing but pair kerning between them:
// printable Latin. Controls, the soft hyphen, modifier letters (tone letters join up) and
// combining marks take Qt's own layout.
bool simple(char16_t c) {
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x2B0 && c != 0xAD);
}

// The feature tags of an OpenType GSUB or GPOS table.
QSet<QByteArray> featureTags(const QByteArray& table) {
    const auto u16 = [&table](qsizetype at) {
        return at >= 0 && at + 2 <= table.size()
                   ? qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(table.constData()) + at)
                   : quint16(0);
    };
    QSet<QByteArray> tags;
    const qsizetype list = u16(6);
    for (int i = 0, count = u16(list); i < count && list + 8 + 6 * i <= table.size(); ++i)
        tags.insert(table.mid(list + 2 + 6 * i, 4));
    return tags;
}

// Whether shaping does nothing to Latin text but pick glyphs, kern pairs and place marks: no
// ligatures or contextual forms that Qt applies unasked, no layout tables of other kinds.
bool plainLatin(const QRawFont& raw) {
    for (const char* table : {"morx", "mort", "kerx"})
        if (!raw.fontTable(table).isEmpty())
            return false;
    const QSet<QByteArray> gsub = featureTags(raw.fontTable("GSUB"));
    for (const char* tag : {"liga", "clig", "calt", "rlig", "rclt", "rvrn", "ltra", "ltrm"})
        if (gsub.contains(tag))
            return false;
    const QSet<QByteArray> gpos = featureTags(raw.fontTable("GPOS"));
    for (const char* tag : {"curs", "dist", "abvm", "blwm"})
        if (gpos.contains(tag))
            return false;
    return true;
}

} // namespace

TextLayout::TextLayout(const QFont& font)
    : m_font(font), m_metrics(font), m_raw(QRawFont::fromFont(font)), m_plain(plainLatin(m_raw)) {}

// Qt's own layout of a short text: its glyphs and their pen positions, when in one run.
QGlyphRun TextLayout::qtRun(const QString& text) const {
    QTextLayout layout(text, m_font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return runs.size() == 1 ? runs.first() : QGlyphRun();
}

const TextLayout::Glyph* TextLayout::glyph(char16_t c) const {
    auto found = m_glyphs.constFind(c);
    if (found != m_glyphs.cend())
        return &*found;
    if (!m_plain || !simple(c) || m_refused.contains(c))
        return nullptr;
    const QString text(QChar{c});
    quint32 index = 0;
    int count = 1;
    // A character the font lacks comes from another font, which only Qt's layout picks.
    if (!m_raw.glyphIndexesForChars(text.constData(), 1, &index, &count) || count != 1 || index == 0 ||
        qtRun(text).glyphIndexes() != QList<quint32>{index}) {
        m_refused.insert(c);
        return nullptr;
    }
    return &*m_glyphs.insert(c, Glyph{index, m_metrics.horizontalAdvance(text)});
}

double TextLayout::kerning(char16_t a, char16_t b) const {
    const quint32 key = quint32(a) << 16 | b;
    auto found = m_kerning.constFind(key);
    if (found != m_kerning.cend())
        return *found;
    // What the pair's shaping adds to the first advance; not a number where it joins or
    // replaces their glyphs.
    const QChar chars[] = {QChar{a}, QChar{b}};
    const QGlyphRun run = qtRun(QString(chars, 2));
    const double kern =
        run.glyphIndexes() == QList<quint32>{m_glyphs.value(a).index, m_glyphs.value(b).index}
            ? run.positions().at(1).x() - run.positions().at(0).x() - m_glyphs.value(a).advance
            : std::numeric_limits<double>::quiet_NaN();
    m_kerning.insert(key, kern);
    return kern;
}

bool TextLayout::layOut(const QString& text, Run& run) const {
    const qsizetype n = text.size();
    run.glyphs.resize(n);
    run.positions.resize(n);
    double x = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        const Glyph* g = glyph(c);
        if (!g)
            return false;
        if (i > 0) {
            const double kern = kerning(text.at(i - 1).unicode(), c);
            if (std::isnan(kern))
                return false;
            x += kern;
        }
        run.glyphs[i] = g->index;
        run.positions[i] = QPointF(x, 0);
        x += g->advance;
    }
    run.width = x;
    return true;
}

double TextLayout::width(const QString& text) const {
    Run run;
    return layOut(text, run) ? run.width : m_metrics.horizontalAdvance(text);
}

} // namespace zar
