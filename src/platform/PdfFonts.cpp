#include "platform/PdfFonts.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <optional>

namespace zar {

namespace {

// ---- the file's objects ----

struct PdfObject {
    qsizetype begin = 0, end = 0; // "N 0 obj ... endobj" and what follows up to the next object
    QByteArray dict;              // the object's text up to its stream, if any
    qsizetype dataBegin = -1;     // the stream's first byte
};

class PdfFile {
public:
    explicit PdfFile(const QByteArray& pdf) : m_pdf(pdf) {}

    // Finds the objects through the cross-reference table; false where it is not one plain table.
    bool read() {
        const qsizetype start = m_pdf.lastIndexOf("startxref");
        if (start < 0)
            return false;
        bool ok = false;
        m_xref = m_pdf.mid(start + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
        if (!ok || m_xref <= 0 || m_xref >= start || !m_pdf.mid(m_xref).startsWith("xref"))
            return false;
        const qsizetype trailer = m_pdf.indexOf("trailer", m_xref);
        if (trailer < 0 || trailer > start)
            return false;
        m_trailer = m_pdf.mid(trailer, start - trailer);
        static const QRegularExpression entry(QStringLiteral(R"((\d{10}) (\d{5}) ([nf]))"));
        static const QRegularExpression section(QStringLiteral(R"(^xref\s+(\d+)\s+(\d+)\s)"));
        const QString table = QString::fromLatin1(m_pdf.mid(m_xref, trailer - m_xref));
        const auto head = section.match(table);
        if (!head.hasMatch() || head.captured(1).toInt() != 0)
            return false;
        int number = 0;
        QMap<qsizetype, int> byOffset;
        for (auto it = entry.globalMatch(table, head.capturedEnd()); it.hasNext(); ++number) {
            const auto m = it.next();
            if (m.captured(3) == QLatin1String("n"))
                byOffset.insert(m.captured(1).toLongLong(), number);
        }
        if (number != head.captured(2).toInt() || byOffset.isEmpty())
            return false;
        m_size = number;
        for (auto it = byOffset.begin(); it != byOffset.end(); ++it) {
            const auto next = std::next(it);
            PdfObject o;
            o.begin = it.key();
            o.end = next == byOffset.end() ? m_xref : next.key();
            if (o.begin >= o.end ||
                !m_pdf.mid(o.begin, 24).startsWith(QByteArray::number(it.value()) + " 0 obj"))
                return false;
            const QByteArray text = m_pdf.mid(o.begin, o.end - o.begin);
            static const QRegularExpression stream(QStringLiteral(R"(>>\s*stream\r?\n)"));
            const auto s = stream.match(QString::fromLatin1(text));
            o.dict = s.hasMatch() ? text.left(s.capturedStart() + 2) : text;
            if (s.hasMatch())
                o.dataBegin = o.begin + s.capturedEnd();
            m_objects.insert(it.value(), o);
        }
        return true;
    }

    const QMap<int, PdfObject>& objects() const { return m_objects; }
    QByteArray dict(int number) const { return m_objects.value(number).dict; }

    // The stream's bytes as stored, or nothing where the object holds none.
    std::optional<QByteArray> rawStream(int number) const {
        const auto found = m_objects.constFind(number);
        if (found == m_objects.cend() || found->dataBegin < 0)
            return std::nullopt;
        static const QRegularExpression direct(QStringLiteral(R"(/Length\s+(\d+)(\s+0\s+R)?)"));
        const auto m = direct.match(QString::fromLatin1(found->dict));
        if (!m.hasMatch())
            return std::nullopt;
        bool ok = false;
        qsizetype length = m.captured(1).toLongLong(&ok);
        if (ok && !m.captured(2).isEmpty()) {
            const auto lengthObject = m_objects.constFind(m.captured(1).toInt(&ok));
            if (!ok || lengthObject == m_objects.cend())
                return std::nullopt;
            static const QRegularExpression value(QStringLiteral(R"(obj\s+(\d+)\s+endobj)"));
            length = value
                         .match(QString::fromLatin1(
                             m_pdf.mid(lengthObject->begin, lengthObject->end - lengthObject->begin)))
                         .captured(1)
                         .toLongLong(&ok);
        }
        // The length is untrusted: compared with the room left rather than added to an offset, so
        // that a huge one cannot wrap round; one too long to read is refused.
        if (!ok || length > found->end - found->dataBegin)
            return std::nullopt;
        return m_pdf.mid(found->dataBegin, length);
    }

    // The stream's bytes, inflated where they are.
    std::optional<QByteArray> stream(int number) const {
        std::optional<QByteArray> raw = rawStream(number);
        if (!raw || !dict(number).contains("/Filter"))
            return raw;
        if (!QRegularExpression(QStringLiteral(R"(/Filter\s*/FlateDecode\s*[/>])"))
                 .match(QString::fromLatin1(dict(number)))
                 .hasMatch())
            return std::nullopt;
        QByteArray sized(4, '\0');
        qToBigEndian<quint32>(quint32(std::min<qsizetype>(raw->size() * 4, 1 << 28)), sized.data());
        QByteArray data = qUncompress(sized + *raw);
        if (data.isEmpty() && !raw->isEmpty())
            return std::nullopt;
        return data;
    }

    // The document again, with the objects given replaced (their text between "obj" and
    // "endobj") and a cross-reference table of its own.
    QByteArray written(const QHash<int, QByteArray>& replaced) const {
        QByteArray out = m_pdf.left(m_objects.isEmpty() ? 0 : m_objects.first().begin);
        QList<std::pair<qsizetype, int>> order;
        for (auto it = m_objects.begin(); it != m_objects.end(); ++it)
            order << std::make_pair(it->begin, it.key());
        std::sort(order.begin(), order.end());
        QHash<int, qsizetype> at;
        for (const auto& [begin, number] : order) {
            const PdfObject& o = m_objects[number];
            at.insert(number, out.size());
            const auto r = replaced.constFind(number);
            if (r == replaced.cend())
                out += m_pdf.mid(o.begin, o.end - o.begin);
            else
                out += QByteArray::number(number) + " 0 obj\n" + *r + "\nendobj\n";
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + QByteArray::number(m_size) + "\n";
        for (int n = 0; n < m_size; ++n) {
            if (at.contains(n))
                out += QByteArray::number(at.value(n)).rightJustified(10, '0') + " 00000 n \n";
            else
                out += "0000000000 65535 f \n";
        }
        out += m_trailer + "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return out;
    }

private:
    const QByteArray& m_pdf;
    QMap<int, PdfObject> m_objects;
    QByteArray m_trailer;
    qsizetype m_xref = 0;
    int m_size = 0;
};

std::optional<int> reference(const QByteArray& dict, const char* key) {
    const auto m = QRegularExpression(QStringLiteral(R"(/%1\s+(\d+)\s+0\s+R)").arg(QLatin1String(key)))
                       .match(QString::fromLatin1(dict));
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

bool hasName(const QByteArray& dict, const char* key, const char* value) {
    return QRegularExpression(
               QStringLiteral(R"(/%1\s*/%2(?=[\s/<>\[\]()]))").arg(QLatin1String(key), QLatin1String(value)))
        .match(QString::fromLatin1(dict))
        .hasMatch();
}

QByteArray streamObject(QByteArray dict, const QByteArray& data) {
    static const QRegularExpression length(QStringLiteral(R"(/Length\s+\d+(\s+0\s+R)?)"));
    QString text = QString::fromLatin1(dict);
    text.replace(length, QStringLiteral("/Length %1").arg(data.size()));
    return text.toLatin1() + "\nstream\n" + data + "\nendstream";
}

QByteArray deflated(const QByteArray& data) {
    return qCompress(data).mid(4); // a zlib stream after Qt's length prefix
}

// ---- characters ----

// WinAnsi's code for a character, -1 where it has none.
int winAnsiCode(char32_t u) {
    if ((u >= 0x20 && u <= 0x7E) || (u >= 0xA0 && u <= 0xFF))
        return int(u);
    static const char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (high[i] != 0 && high[i] == u)
            return 0x80 + i;
    return -1;
}

QList<QByteArray> hexTokens(const QByteArray& text) {
    QList<QByteArray> tokens;
    static const QRegularExpression token(QStringLiteral(R"(<([0-9A-Fa-f]*)>|\[|\])"));
    for (auto it = token.globalMatch(QString::fromLatin1(text)); it.hasNext();) {
        const auto m = it.next();
        tokens << (m.captured(0).startsWith(u'<') ? m.captured(1).toLatin1() : m.captured(0).toLatin1());
    }
    return tokens;
}

// The characters of a ToUnicode map, by glyph: only glyphs that stand for one character.
QHash<int, char32_t> glyphCharacters(const QByteArray& cmap) {
    QHash<int, char32_t> chars;
    const auto single = [](const QByteArray& hex) -> char32_t {
        return hex.size() == 4 ? hex.toUInt(nullptr, 16) : 0;
    };
    static const QRegularExpression block(QStringLiteral(R"(begin(bfchar|bfrange)(.*?)end\1)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    for (auto it = block.globalMatch(QString::fromLatin1(cmap)); it.hasNext();) {
        const auto m = it.next();
        const QList<QByteArray> t = hexTokens(m.captured(2).toLatin1());
        if (m.captured(1) == QLatin1String("bfchar")) {
            for (qsizetype i = 0; i + 1 < t.size(); i += 2)
                chars.insert(int(t[i].toUInt(nullptr, 16)), single(t[i + 1]));
            continue;
        }
        for (qsizetype i = 0; i + 2 < t.size();) {
            const int low = int(t[i].toUInt(nullptr, 16)), high = int(t[i + 1].toUInt(nullptr, 16));
            if (t[i + 2] == "[") {
                qsizetype j = i + 3;
                for (int g = low; j < t.size() && t[j] != "]"; ++j, ++g)
                    if (g <= high)
                        chars.insert(g, single(t[j]));
                i = j + 1;
            } else {
                const char32_t first = single(t[i + 2]);
                for (int g = low; g <= high && g - low < 0x10000; ++g)
                    chars.insert(g, first ? first + char32_t(g - low) : 0);
                i += 3;
            }
        }
    }
    return chars;
}

// The widths of a CIDFont's W array, by glyph.
QHash<int, QByteArray> glyphWidths(const QByteArray& w) {
    QHash<int, QByteArray> widths;
    static const QRegularExpression token(QStringLiteral(R"(\[|\]|[-+]?[\d.]+)"));
    QList<QByteArray> t;
    for (auto it = token.globalMatch(QString::fromLatin1(w)); it.hasNext();)
        t << it.next().captured(0).toLatin1();
    for (qsizetype i = 0; i + 1 < t.size();) {
        const int first = t[i].toInt();
        if (t[i + 1] == "[") {
            qsizetype j = i + 2;
            for (int g = first; j < t.size() && t[j] != "]"; ++j, ++g)
                widths.insert(g, t[j]);
            i = j + 1;
        } else if (i + 2 < t.size()) {
            for (int g = first; g <= t[i + 1].toInt() && g - first < 0x10000; ++g)
                widths.insert(g, t[i + 2]);
            i += 3;
        } else {
            break;
        }
    }
    return widths;
}

// ---- the font file ----

quint32 tableChecksum(const QByteArray& table) {
    QByteArray padded = table;
    padded.append((4 - padded.size() % 4) % 4, '\0');
    quint32 sum = 0;
    for (qsizetype i = 0; i < padded.size(); i += 4)
        sum += qFromBigEndian<quint32>(padded.constData() + i);
    return sum;
}

void put16(QByteArray& out, quint16 v) {
    char b[2];
    qToBigEndian(v, b);
    out.append(b, 2);
}
void put32(QByteArray& out, quint32 v) {
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

// The largest power of two not above `count`, and its base-2 logarithm: the search fields that
// the font file's table directory and its cmap segments both carry.
std::pair<int, int> binarySearchSpan(int count) {
    int power = 1, log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    return {power, log};
}

// A cmap table for Windows' Unicode (format 4): one segment a character.
QByteArray unicodeCmap(const QMap<char32_t, int>& glyphs) {
    QList<std::pair<quint16, quint16>> segments; // character, delta
    for (auto it = glyphs.begin(); it != glyphs.end(); ++it)
        segments << std::make_pair(quint16(it.key()), quint16(it.value() - int(it.key())));
    segments << std::make_pair(quint16(0xFFFF), quint16(1));
    const int count = int(segments.size());
    const auto [power, log] = binarySearchSpan(count);
    QByteArray sub;
    put16(sub, 4);
    put16(sub, quint16(16 + 8 * count));
    put16(sub, 0);
    put16(sub, quint16(2 * count));
    put16(sub, quint16(2 * power));
    put16(sub, quint16(log));
    put16(sub, quint16(2 * count - 2 * power));
    for (const auto& s : segments)
        put16(sub, s.first); // ends
    put16(sub, 0);
    for (const auto& s : segments)
        put16(sub, s.first); // starts
    for (const auto& s : segments)
        put16(sub, s.second);
    for (int i = 0; i < count; ++i)
        put16(sub, 0);
    QByteArray cmap;
    put16(cmap, 0);
    put16(cmap, 1);
    put16(cmap, 3);
    put16(cmap, 1);
    put32(cmap, 12);
    return cmap + sub;
}

// The font file with a Unicode cmap (and a post table where it has none), so that a simple
// font finds its glyphs by character.
std::optional<QByteArray> withCmap(const QByteArray& font, const QMap<char32_t, int>& glyphs) {
    if (font.size() < 12)
        return std::nullopt;
    const quint32 version = qFromBigEndian<quint32>(font.constData());
    const int count = qFromBigEndian<quint16>(font.constData() + 4);
    if ((version != 0x00010000 && version != 0x74727565) || font.size() < 12 + 16 * count)
        return std::nullopt;
    QMap<QByteArray, QByteArray> tables;
    for (int i = 0; i < count; ++i) {
        const char* entry = font.constData() + 12 + 16 * i;
        const quint32 offset = qFromBigEndian<quint32>(entry + 8),
                      length = qFromBigEndian<quint32>(entry + 12);
        if (qsizetype(offset) + length > font.size())
            return std::nullopt;
        tables.insert(QByteArray(entry, 4), font.mid(offset, length));
    }
    if (!tables.contains("glyf") || !tables.contains("head") || tables.value("head").size() < 12)
        return std::nullopt;
    tables.insert("cmap", unicodeCmap(glyphs));
    if (!tables.contains("post")) {
        QByteArray post;
        put32(post, 0x00030000);
        post.append(28, '\0');
        tables.insert("post", post);
    }
    QByteArray& head = tables["head"];
    qToBigEndian<quint32>(0, head.data() + 8); // the whole file's checksum, set below

    const int n = int(tables.size());
    const auto [power, log] = binarySearchSpan(n);
    QByteArray out;
    put32(out, 0x00010000);
    put16(out, quint16(n));
    put16(out, quint16(16 * power));
    put16(out, quint16(log));
    put16(out, quint16(16 * n - 16 * power));
    quint32 offset = 12 + 16 * n;
    QByteArray body;
    qsizetype headAt = 0;
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        out += it.key();
        put32(out, tableChecksum(it.value()));
        put32(out, offset + quint32(body.size()));
        put32(out, quint32(it.value().size()));
        if (it.key() == "head")
            headAt = offset + body.size();
        body += it.value();
        body.append((4 - body.size() % 4) % 4, '\0');
    }
    out += body;
    qToBigEndian<quint32>(0xB1B0AFBA - tableChecksum(out), out.data() + headAt + 8);
    return out;
}

// ---- the content streams ----

bool isWhite(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}
bool isDelimiter(char c) {
    return isWhite(c) || std::strchr("()<>[]{}/%", c) != nullptr;
}

struct Token {
    enum Kind { Other, Name, Hex, Literal, Open, Close, Dict } kind = Other;
    qsizetype begin = 0, end = 0;
    QByteArrayView text; // in the stream
};

// Rewrites, in one content stream, the strings shown in a rewritten font (resource name to its
// glyphs' codes). False where the stream holds what this does not read.
bool recoded(const QByteArray& in, const QHash<QByteArray, const QHash<int, uchar>*>& fonts,
             QByteArray& out) {
    QList<Token> operands;
    QList<std::pair<qsizetype, qsizetype>> spans;
    QList<QByteArray> replacements;
    QList<const QHash<int, uchar>*> fontStack;
    const QHash<int, uchar>* codes = nullptr; // those of the current font, if rewritten
    const auto convert = [&](const Token& t) {
        if (!codes)
            return true;
        if (t.kind != Token::Hex)
            return false;
        const QByteArray bytes = QByteArray::fromHex(t.text.toByteArray()); // skips the blanks
        if (bytes.size() % 2)
            return false;
        QByteArray recodedBytes;
        for (qsizetype i = 0; i < bytes.size(); i += 2) {
            const int glyph = uchar(bytes[i]) << 8 | uchar(bytes[i + 1]);
            const auto code = codes->constFind(glyph);
            if (code == codes->cend())
                return false;
            recodedBytes += char(*code);
        }
        spans << std::make_pair(t.begin, t.end);
        replacements << "<" + recodedBytes.toHex().toUpper() + ">";
        return true;
    };
    const QByteArrayView view(in);
    const qsizetype n = in.size();
    for (qsizetype i = 0; i < n;) {
        const char c = in[i];
        if (isWhite(c)) {
            ++i;
            continue;
        }
        Token t;
        t.begin = i;
        if (c == '%') {
            while (i < n && in[i] != '\n' && in[i] != '\r')
                ++i;
            continue;
        }
        if (c == '(') {
            int depth = 0;
            for (; i < n; ++i) {
                if (in[i] == '\\')
                    ++i;
                else if (in[i] == '(')
                    ++depth;
                else if (in[i] == ')' && --depth == 0)
                    break;
            }
            if (i >= n)
                return false;
            t.kind = Token::Literal;
            t.end = ++i;
        } else if (c == '<' && i + 1 < n && in[i + 1] != '<') {
            const qsizetype close = in.indexOf('>', i);
            if (close < 0)
                return false;
            t.kind = Token::Hex;
            t.text = view.sliced(i + 1, close - i - 1);
            t.end = i = close + 1;
        } else if (c == '[' || c == ']') {
            t.kind = c == '[' ? Token::Open : Token::Close;
            t.end = ++i;
        } else if (c == '<' || c == '>' || c == '{' || c == '}') {
            t.kind = Token::Dict;
            t.end = i += (i + 1 < n && in[i + 1] == c) ? 2 : 1;
        } else {
            if (c == '/')
                t.kind = Token::Name;
            ++i;
            while (i < n && !isDelimiter(in[i]))
                ++i;
            t.end = i;
            t.text = view.sliced(t.begin, i - t.begin);
        }
        if (t.kind != Token::Other || std::strchr("+-.0123456789", t.text[0]) != nullptr) {
            operands << t;
            continue;
        }
        // An operator.
        const QByteArrayView op = t.text;
        if (op == "BI" || op == "ID")
            return false; // inline image data is not read here
        if (op == "Tf") {
            if (operands.size() < 2 || operands[operands.size() - 2].kind != Token::Name)
                return false;
            codes = fonts.value(operands[operands.size() - 2].text.sliced(1).toByteArray());
        } else if (op == "q") {
            fontStack << codes;
        } else if (op == "Q") {
            if (!fontStack.isEmpty())
                codes = fontStack.takeLast();
        } else if (op == "Tj" || op == "'" || op == "\"") {
            if (operands.isEmpty() || !convert(operands.last()))
                return false;
        } else if (op == "TJ") {
            for (const Token& o : operands)
                if ((o.kind == Token::Hex || o.kind == Token::Literal) && !convert(o))
                    return false;
        }
        operands.clear();
    }
    out.clear();
    out.reserve(in.size());
    qsizetype at = 0;
    for (qsizetype k = 0; k < spans.size(); ++k) {
        out += view.sliced(at, spans[k].first - at);
        out += replacements[k];
        at = spans[k].second;
    }
    out += view.sliced(at);
    return true;
}

// ---- the fonts ----

struct SimpleFont {
    QHash<int, uchar> codes; // glyph to code
    QHash<int, QByteArray> replaced;
};

// The simple font that stands for the composite font `number`, or nothing where it cannot.
std::optional<SimpleFont> simpleFont(const PdfFile& file, int number) {
    const QByteArray type0 = file.dict(number);
    if (!hasName(type0, "Encoding", "Identity-H"))
        return std::nullopt;
    static const QRegularExpression descendant(
        QStringLiteral(R"(/DescendantFonts\s*\[\s*(\d+)\s+0\s+R\s*\])"));
    const auto d = descendant.match(QString::fromLatin1(type0));
    const std::optional<int> toUnicode = reference(type0, "ToUnicode");
    if (!d.hasMatch() || !toUnicode)
        return std::nullopt;
    const QByteArray cid = file.dict(d.captured(1).toInt());
    if (!hasName(cid, "Subtype", "CIDFontType2") || !hasName(cid, "CIDToGIDMap", "Identity"))
        return std::nullopt;
    const std::optional<int> descriptor = reference(cid, "FontDescriptor");
    if (!descriptor)
        return std::nullopt;
    const QByteArray fd = file.dict(*descriptor);
    const std::optional<int> fontFile = reference(fd, "FontFile2");
    static const QRegularExpression fontName(QStringLiteral(R"(/FontName\s*/([^\s/<>\[\]()]+))"));
    const auto name = fontName.match(QString::fromLatin1(fd));
    const std::optional<QByteArray> cmap = file.stream(*toUnicode);
    if (!fontFile || !name.hasMatch() || !cmap)
        return std::nullopt;
    const std::optional<QByteArray> program = file.stream(*fontFile);
    if (!program)
        return std::nullopt;

    // Each glyph takes the WinAnsi code of its character; a blank that the map gives as a control
    // character is the space.
    SimpleFont simple;
    QMap<char32_t, int> glyphs; // character to glyph, for the font file's cmap
    QHash<int, int> byCode;
    const QHash<int, char32_t> chars = glyphCharacters(*cmap);
    for (auto it = chars.begin(); it != chars.end(); ++it) {
        if (it.key() == 0)
            continue;
        char32_t u = it.value();
        if (u >= 0x09 && u <= 0x0D)
            u = 0x20;
        const int code = winAnsiCode(u);
        if (code < 0 || byCode.contains(code) || it.key() > 0xFFFF)
            return std::nullopt;
        byCode.insert(code, it.key());
        simple.codes.insert(it.key(), uchar(code));
        glyphs.insert(u, it.key());
    }
    if (byCode.isEmpty())
        return std::nullopt;
    // WinAnsi names these two codes as the plain space and hyphen.
    for (const auto& [code, plain] :
         {std::make_pair(0xA0, char32_t(0x20)), std::make_pair(0xAD, char32_t(0x2D))})
        if (byCode.contains(code) && !glyphs.contains(plain))
            glyphs.insert(plain, byCode.value(code));
    const std::optional<QByteArray> font = withCmap(*program, glyphs);
    if (!font)
        return std::nullopt;

    static const QRegularExpression wArray(QStringLiteral(R"(/W\s*\[((?:[^\[\]]|\[[^\[\]]*\])*)\])"));
    static const QRegularExpression dw(QStringLiteral(R"(/DW\s+([\d.]+))"));
    const QHash<int, QByteArray> widths =
        glyphWidths(wArray.match(QString::fromLatin1(cid)).captured(1).toLatin1());
    const auto defaultWidth = dw.match(QString::fromLatin1(cid));
    const QByteArray missing = defaultWidth.hasMatch() ? defaultWidth.captured(1).toLatin1() : "1000";
    const int first = *std::min_element(byCode.keyBegin(), byCode.keyEnd());
    const int last = *std::max_element(byCode.keyBegin(), byCode.keyEnd());
    QByteArray widthList;
    for (int code = first; code <= last; ++code)
        widthList += (code > first ? " " : "") +
                     (byCode.contains(code) ? widths.value(byCode.value(code), missing) : QByteArray("0"));

    simple.replaced.insert(
        number, "<< /Type /Font /Subtype /TrueType /BaseFont /" + name.captured(1).toLatin1() +
                    " /FirstChar " + QByteArray::number(first) + " /LastChar " + QByteArray::number(last) +
                    " /Widths [" + widthList + "] /Encoding /WinAnsiEncoding /FontDescriptor " +
                    QByteArray::number(*descriptor) + " 0 R /ToUnicode " + QByteArray::number(*toUnicode) +
                    " 0 R >>");
    // Not symbolic: the codes are WinAnsi's. A CID set belongs to CIDFonts only.
    QString descriptorText = QString::fromLatin1(fd.mid(fd.indexOf("obj") + 3));
    descriptorText.replace(QRegularExpression(QStringLiteral(R"(/Flags\s+\d+)")),
                           QStringLiteral("/Flags 32"));
    descriptorText.replace(QRegularExpression(QStringLiteral(R"(/CIDSet\s+\d+\s+0\s+R)")), QString());
    descriptorText.truncate(descriptorText.lastIndexOf(QLatin1String(">>")) + 2);
    simple.replaced.insert(*descriptor, descriptorText.trimmed().toLatin1());

    const QByteArray fileDict = file.dict(*fontFile);
    QString fileText = QString::fromLatin1(fileDict.mid(fileDict.indexOf("obj") + 3)).trimmed();
    fileText.replace(QRegularExpression(QStringLiteral(R"(/Length1\s+\d+)")),
                     QStringLiteral("/Length1 %1").arg(font->size()));
    if (!fileText.contains(QLatin1String("/Length1")))
        fileText.insert(2, QStringLiteral(" /Length1 %1").arg(font->size()));
    simple.replaced.insert(
        *fontFile, streamObject(fileText.toLatin1(), fileDict.contains("/Filter") ? deflated(*font) : *font));

    QByteArray unicode = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                         "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                         "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                         "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    QList<int> codeList = byCode.keys();
    std::sort(codeList.begin(), codeList.end());
    for (qsizetype at = 0; at < codeList.size(); at += 100) { // at most 100 to a block
        const QList<int> block = codeList.mid(at, 100);
        unicode += QByteArray::number(block.size()) + " beginbfchar\n";
        for (const int code : block) {
            const char32_t u = chars.value(byCode.value(code));
            unicode += "<" + QByteArray::number(code, 16).rightJustified(2, '0').toUpper() + "> <" +
                       QByteArray::number(uint(u >= 0x20 ? u : 0x20), 16).rightJustified(4, '0').toUpper() +
                       ">\n";
        }
        unicode += "endbfchar\n";
    }
    unicode += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    simple.replaced.insert(*toUnicode, streamObject("<< /Length 0 >>", unicode));
    return simple;
}

// The fonts a page's resources name, by resource name, and the objects read to find them.
struct NamedFonts {
    QHash<QByteArray, int> byName;
    QList<int> dictionaries; // the resource and font dictionaries, where they are objects of their own
};

NamedFonts pageFonts(const PdfFile& file, const QByteArray& page) {
    NamedFonts named;
    QByteArray resources = page;
    if (const std::optional<int> r = reference(page, "Resources")) {
        resources = file.dict(*r);
        named.dictionaries << *r;
    }
    QByteArray fontDict;
    if (const std::optional<int> f = reference(resources, "Font")) {
        fontDict = file.dict(*f);
        named.dictionaries << *f;
    } else {
        static const QRegularExpression inline_(QStringLiteral(R"(/Font\s*<<([^<>]*)>>)"));
        fontDict = inline_.match(QString::fromLatin1(resources)).captured(1).toLatin1();
    }
    static const QRegularExpression entry(QStringLiteral(R"(/([^\s/<>\[\]()]+)\s+(\d+)\s+0\s+R)"));
    for (auto it = entry.globalMatch(QString::fromLatin1(fontDict)); it.hasNext();) {
        const auto m = it.next();
        named.byName.insert(m.captured(1).toLatin1(), m.captured(2).toInt());
    }
    return named;
}

} // namespace

QByteArray withSimpleFonts(const QByteArray& pdf) {
    PdfFile file(pdf);
    if (!file.read())
        return pdf;
    QHash<int, QByteArray> replaced;
    QHash<int, QHash<int, uchar>> codes; // by font object
    static const QRegularExpression type0(QStringLiteral(R"(/Subtype\s*/Type0[\s/>])"));
    for (auto it = file.objects().begin(); it != file.objects().end(); ++it) {
        if (!type0.match(QString::fromLatin1(it->dict)).hasMatch())
            continue;
        if (std::optional<SimpleFont> simple = simpleFont(file, it.key())) {
            codes.insert(it.key(), simple->codes);
            replaced.insert(simple->replaced);
        }
    }
    if (codes.isEmpty())
        return pdf;

    static const QRegularExpression pageType(QStringLiteral(R"(/Type\s*/Page[\s/>])"));
    static const QRegularExpression contents(QStringLiteral(R"(/Contents\s*(\[[^\]]*\]|\d+\s+0\s+R))"));
    static const QRegularExpression ref(QStringLiteral(R"((\d+)\s+0\s+R)"));
    QSet<int> recodedPages, dictionaries; // the pages recoded, and the dictionaries they took fonts from
    for (auto it = file.objects().begin(); it != file.objects().end(); ++it) {
        if (!pageType.match(QString::fromLatin1(it->dict)).hasMatch())
            continue;
        QHash<QByteArray, const QHash<int, uchar>*> fonts;
        const NamedFonts named = pageFonts(file, it->dict);
        for (auto f = named.byName.begin(); f != named.byName.end(); ++f)
            if (const auto c = codes.constFind(f.value()); c != codes.cend())
                fonts.insert(f.key(), &*c);
        if (fonts.isEmpty())
            continue;
        for (auto r = ref.globalMatch(contents.match(QString::fromLatin1(it->dict)).captured(1));
             r.hasNext();) {
            const int stream = r.next().captured(1).toInt();
            const std::optional<QByteArray> data = file.stream(stream);
            QByteArray out;
            if (!data || replaced.contains(stream) || !recoded(*data, fonts, out))
                return pdf;
            const QByteArray dict = file.dict(stream);
            const QByteArray text = dict.mid(dict.indexOf("obj") + 3).trimmed();
            replaced.insert(stream, streamObject(text, dict.contains("/Filter") ? deflated(out) : out));
        }
        recodedPages.insert(it.key());
        dictionaries.unite(QSet<int>(named.dictionaries.begin(), named.dictionaries.end()));
    }

    // A rewritten font must be used by recoded pages alone. Whatever else names it, or names a
    // dictionary those pages took it from (the page tree handing its resources down, a form, a
    // pattern), draws with it in a stream left as it was: then the document stays whole.
    QSet<int> watched = dictionaries;
    for (auto it = codes.keyBegin(); it != codes.keyEnd(); ++it)
        watched.insert(*it);
    for (auto it = file.objects().begin(); it != file.objects().end(); ++it) {
        if (recodedPages.contains(it.key()) || dictionaries.contains(it.key()))
            continue;
        for (auto r = ref.globalMatch(QString::fromLatin1(it->dict)); r.hasNext();)
            if (watched.contains(r.next().captured(1).toInt()))
                return pdf;
    }
    return file.written(replaced);
}

} // namespace zar
