#pragma once

// Printed pages read back: a PDF's words with their boxes, and a font file's own advances.

#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace zar::test {

// One word on a page; millimetres from the paper's top-left corner.
struct PdfWord {
    int page = 0; // from 1
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
    double xMid() const { return (xMin + xMax) / 2; }
};

struct PdfText {
    int pages = 0;
    QList<PdfWord> words;
};

inline QString runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline PdfText pdfText(const QString& pdf) {
    PdfText out;
    const QString xml =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression tag(QStringLiteral(
        R"re((<page )|)re"
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re"));
    for (auto it = tag.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        const auto mm = [&m](int i) { return m.captured(i).toDouble() * 25.4 / 72; };
        if (!m.captured(1).isEmpty())
            ++out.pages;
        else
            out.words << PdfWord{out.pages, mm(2), mm(3), mm(4), mm(5), m.captured(6)};
    }
    return out;
}

// The words of one page centred on x (within 0.5 mm) and starting below top, top to bottom.
inline QList<PdfWord> pdfColumn(const PdfText& pdf, int page, double x, double top) {
    QList<PdfWord> column;
    for (const PdfWord& w : pdf.words)
        if (w.page == page && std::abs(w.xMid() - x) < 0.5 && w.yMin > top)
            column << w;
    std::sort(column.begin(), column.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.yMin < b.yMin; });
    return column;
}

// The file fontconfig picks for a pattern ("Liberation Serif:bold").
inline QString fontFile(const QString& pattern) {
    return runTool(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{file}"), pattern});
}

// A text's width in mm at a size in points, from the font file's own advances, unkerned.
inline double fontFileWidthMm(const QString& file, const QString& text, double points) {
    const QRawFont raw(file, 12);
    const QByteArray head = raw.fontTable("head"), hhea = raw.fontTable("hhea"), hmtx = raw.fontTable("hmtx");
    if (head.size() < 54 || hhea.size() < 36 || hmtx.isEmpty())
        return -1;
    const auto u16 = [](const QByteArray& t, qsizetype at) {
        return qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(t.constData()) + at);
    };
    const int unitsPerEm = u16(head, 18), longMetrics = u16(hhea, 34);
    double units = 0;
    for (quint32 glyph : raw.glyphIndexesForString(text)) {
        const qsizetype entry = std::min<qsizetype>(glyph, longMetrics - 1) * 4;
        if (entry + 2 > hmtx.size())
            return -1;
        units += u16(hmtx, entry);
    }
    return units / unitsPerEm * points / 72 * 25.4;
}

} // namespace zar::test
