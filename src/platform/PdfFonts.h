#pragma once

#include <QByteArray>

namespace zar {

// Qt's PDF writer embeds every font as a composite font (Type0 over a CIDFontType2) whose codes are
// glyph numbers. The print filters' PostScript converter cannot carry composite fonts: it turns
// them into unnamed bitmap fonts, and the printed page keeps no readable text.
//
// Returns the document with each such font written as a simple TrueType font in WinAnsi encoding:
// the same glyphs, widths and positions, the text coded by its characters. A font that shows a
// glyph outside WinAnsi stays as it was; a document not laid out as Qt writes it comes back whole.
QByteArray withSimpleFonts(const QByteArray& pdf);

} // namespace zar
