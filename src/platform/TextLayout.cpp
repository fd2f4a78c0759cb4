#include "platform/TextLayout.h"

namespace zar {

namespace {

// Characters that Qt lays out as one glyph each, with nothing but pair kerning between them:
// printable Latin. Controls, the soft hyphen and combining marks take Qt's own layout.
bool simple(char16_t c) {
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x300 && c != 0xAD);
}

} // namespace

TextLayout::TextLayout(const QFont& font) : m_metrics(font), m_raw(QRawFont::fromFont(font)) {}

const TextLayout::Glyph* TextLayout::glyph(char16_t c) const {
    auto found = m_glyphs.constFind(c);
    if (found != m_glyphs.cend())
        return &*found;
    if (!simple(c) || m_refused.contains(c))
        return nullptr;
    const QChar ch(c);
    quint32 index = 0;
    int count = 1;
    // A character the font lacks comes from another font, which only Qt's layout picks.
    if (!m_raw.glyphIndexesForChars(&ch, 1, &index, &count) || count != 1 || index == 0) {
        m_refused.insert(c, true);
        return nullptr;
    }
    return &*m_glyphs.insert(c, Glyph{index, m_metrics.horizontalAdvance(QString(ch))});
}

double TextLayout::kerning(char16_t a, char16_t b) const {
    const quint32 key = quint32(a) << 16 | b;
    auto found = m_kerning.constFind(key);
    if (found != m_kerning.cend())
        return *found;
    // What the pair's shaping adds to the two advances.
    const QChar pair[] = {QChar(a), QChar(b)};
    const double kern =
        m_metrics.horizontalAdvance(QString(pair, 2)) - m_glyphs.value(a).advance - m_glyphs.value(b).advance;
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
        if (i > 0)
            x += kerning(text.at(i - 1).unicode(), c);
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
