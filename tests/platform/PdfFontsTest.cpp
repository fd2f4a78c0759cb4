// Qt's composite fonts rewritten as simple ones: the page reads and looks the same, and keeps its
// text through the print filters' PostScript step (Ghostscript's ps2write, then back to PDF).

#include "platform/PdfFonts.h"
#include "support/PrintedPdf.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace zar;

namespace {

using Drawing = std::function<void(QPdfWriter&, QPainter&)>;

QFont face(const QString& family, bool bold = false, bool italic = false) {
    QFont f(family);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// As the printer layer draws: the font in hundredths of a point, scaled to 600 dpi.
void scaledText(QPainter& painter, const QFont& font, double xPt, double yPt, const QString& text) {
    QFont f = font;
    f.setPixelSize(1000);
    painter.setFont(f);
    QTransform t = QTransform::fromTranslate(xPt * 600 / 72, yPt * 600 / 72);
    t.scale(6.0 / 72, 6.0 / 72);
    painter.setTransform(t);
    painter.drawText(QPointF(0, 0), text);
    painter.resetTransform();
}

QByteArray written(const Drawing& draw) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF());
    QPainter painter(&writer);
    draw(writer, painter);
    painter.end();
    return pdf;
}

QString saved(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return path;
}

QStringList fontLines(const QString& pdf) {
    return test::runTool(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
}

// Words with their boxes, to a hundredth of a millimetre.
QStringList wordsOf(const QString& pdf, bool withBoxes = true) {
    QStringList words;
    for (const test::PdfWord& w : test::pdfText(pdf).words)
        words << (withBoxes ? QStringLiteral("%1 %2,%3 %4,%5")
                                  .arg(w.text)
                                  .arg(w.xMin, 0, 'f', 2)
                                  .arg(w.yMin, 0, 'f', 2)
                                  .arg(w.xMax, 0, 'f', 2)
                                  .arg(w.yMax, 0, 'f', 2)
                            : w.text);
    return words;
}

} // namespace

Q_DECLARE_METATYPE(Drawing)

class PdfFontsTest : public QObject {
    Q_OBJECT

private slots:
    void keepsTheTextThroughPostScript_data() {
        QTest::addColumn<Drawing>("draw");
        QTest::addColumn<int>("composite");    // fonts left as they were
        QTest::addColumn<QStringList>("read"); // words read back after the PostScript step

        const QFont serif = face(QStringLiteral("Liberation Serif"));
        const QFont bold = face(QStringLiteral("Liberation Serif"), true);
        QTest::newRow("a report row, as the printer draws it") << Drawing([=](QPdfWriter&, QPainter& p) {
            scaledText(p, bold, 60, 100, QStringLiteral("7 ROSSI MARIO FIDO BOXER 00'30\"00"));
            scaledText(p, serif, 60, 120, QStringLiteral("lunedì, 7 dicembre 2026 — «città» €5 perché"));
        }) << 0 << QStringList{"7", "ROSSI", "MARIO", "lunedì,", "—", "«città»", "€5", "perché"};
        QTest::newRow("three faces on two pages") << Drawing([=](QPdfWriter& w, QPainter& p) {
            p.setFont(face(QStringLiteral("Liberation Sans"), false, true));
            p.drawText(QPointF(500, 500), QStringLiteral("Pagina uno"));
            scaledText(p, bold, 60, 200, QStringLiteral("Classifica"));
            w.newPage();
            scaledText(p, serif, 60, 100, QStringLiteral("Pagina due"));
            scaledText(p, bold, 60, 120, QStringLiteral("Classifica"));
        }) << 0 << QStringList{"Pagina", "uno", "Classifica", "Pagina", "due", "Classifica"};
        // More than a hundred glyphs in one font, every WinAnsi character but the blanks.
        QStringList lines;
        for (int code = 0x21; code <= 0xFF; ++code) {
            const char32_t special[] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
            const char32_t u = code >= 0x80 && code < 0xA0 ? special[code - 0x80] : char32_t(code);
            if (u == 0 || code == 0x7F || code == 0xA0 || code == 0xAD)
                continue;
            if (lines.isEmpty() || lines.last().size() == 24)
                lines << QString();
            lines.last() += QString::fromUcs4(&u, 1);
        }
        QTest::newRow("every character of WinAnsi") << Drawing([=](QPdfWriter&, QPainter& p) {
            for (qsizetype i = 0; i < lines.size(); ++i)
                scaledText(p, serif, 60, 100 + 20 * double(i), lines[i]);
        }) << 0 << lines;
        QTest::newRow("a letter outside WinAnsi keeps its font as it was")
            << Drawing([=](QPdfWriter&, QPainter& p) {
                   scaledText(p, bold, 60, 100, QStringLiteral("Łódź"));
                   scaledText(p, serif, 60, 120, QStringLiteral("Roma"));
               })
            << 1 << QStringList{"Roma"};
    }

    void keepsTheTextThroughPostScript() {
        QFETCH(Drawing, draw);
        QFETCH(int, composite);
        QFETCH(QStringList, read);
        QTemporaryDir dir;
        const QByteArray qt = written(draw);
        const QByteArray simple = withSimpleFonts(qt);
        const QString before = saved(dir, QStringLiteral("qt.pdf"), qt);
        const QString after = saved(dir, QStringLiteral("simple.pdf"), simple);

        // The same words in the same boxes, every font named and embedded.
        QCOMPARE(wordsOf(after), wordsOf(before));
        const QStringList fonts = fontLines(after);
        QCOMPARE(fonts.filter(QStringLiteral("CID TrueType")).size(), composite);
        QCOMPARE(fonts
                     .filter(QRegularExpression(
                         QStringLiteral(R"(^\w{6}\+Liberation\S+\s+TrueType\s+WinAnsi\s+yes)")))
                     .size(),
                 fonts.size() - composite);

        if (QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty())
            QSKIP("Ghostscript is not installed");
        // As the filters and a PDF printer's backend do.
        const QString ps = dir.filePath(QStringLiteral("job.ps")),
                      back = dir.filePath(QStringLiteral("back.pdf"));
        const QStringList gs{QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                             QStringLiteral("-dSAFER")};
        test::runTool(QStringLiteral("gs"),
                      gs + QStringList{QStringLiteral("-sDEVICE=ps2write"),
                                       QStringLiteral("-dLanguageLevel=2"), QStringLiteral("-r300"),
                                       QStringLiteral("-sOutputFile=") + ps, after});
        test::runTool(QStringLiteral("gs"), gs + QStringList{QStringLiteral("-sDEVICE=pdfwrite"),
                                                             QStringLiteral("-sOutputFile=") + back, ps});
        QStringList words = wordsOf(back, false);
        for (QString& w : words) // as pdftotext writes them in its XML
            w.replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&apos;"), QLatin1String("'"))
                .replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&amp;"), QLatin1String("&"));
        for (const QString& word : read)
            QVERIFY2(words.contains(word), qPrintable(word + QStringLiteral(" in ") + words.join(u' ')));
        QCOMPARE(fontLines(back).filter(QStringLiteral("Type 3")).size(), composite);
    }

    // What is not laid out as Qt writes it comes back whole.
    void leavesOtherDocumentsAlone_data() {
        QTest::addColumn<QByteArray>("pdf");
        const QByteArray qt = written([](QPdfWriter&, QPainter& p) {
            p.setFont(face(QStringLiteral("Liberation Serif")));
            p.drawText(QPointF(500, 500), QStringLiteral("Prova"));
        });
        const qsizetype start = qt.lastIndexOf("startxref");
        const QByteArray wrongXref =
            qt.left(start) + "startxref\n" + QByteArray::number(qt.indexOf("xref\n0 ") + 1) + "\n%%EOF\n";
        QByteArray cutStream = qt;
        cutStream.replace("/FlateDecode", "/LZWDecode   ");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("not a PDF") << QByteArray("startxref\n5\n%%EOF");
        QTest::newRow("cut in half") << qt.left(qt.size() / 2);
        QTest::newRow("a cross-reference table elsewhere") << wrongXref;
        QTest::newRow("streams in another filter") << cutStream;
        QTest::newRow("no text") << written([](QPdfWriter&, QPainter& p) { p.drawLine(0, 0, 500, 500); });
    }

    void leavesOtherDocumentsAlone() {
        QFETCH(QByteArray, pdf);
        QCOMPARE(withSimpleFonts(pdf), pdf);
    }
};

QTEST_MAIN(PdfFontsTest)

#include "PdfFontsTest.moc"
