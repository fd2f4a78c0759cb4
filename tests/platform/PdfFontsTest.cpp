// Qt's composite fonts rewritten as simple ones: the page reads the same, and keeps its text
// through the print filters' PostScript step (Ghostscript's ps2write, then back to PDF).

#include "platform/PdfFonts.h"
#include "support/PrintedPdf.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace zar;

namespace {

using Drawing = std::function<void(QPdfWriter&, QPainter&)>;

// As the printer layer draws: the font in hundredths of a point, scaled to 600 dpi.
void scaledText(QPainter& painter, const QString& family, bool bold, double yPt, const QString& text) {
    QFont f(family);
    f.setBold(bold);
    f.setPixelSize(1000);
    f.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(f);
    QTransform t = QTransform::fromTranslate(500, yPt * 600 / 72);
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
    writer.setPageMargins(QMarginsF());
    QPainter painter(&writer);
    draw(writer, painter);
    painter.end();
    return pdf;
}

QString saved(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return file.fileName();
}

QStringList fontLines(const QString& pdf) {
    return test::runTool("pdffonts", {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
}

// Words with their boxes, to a hundredth of a millimetre.
QStringList wordsOf(const QString& pdf) {
    QStringList words;
    for (const test::PdfWord& w : test::pdfText(pdf).words)
        words << w.text + QString::asprintf(" %.2f,%.2f %.2f,%.2f", w.xMin, w.yMin, w.xMax, w.yMax);
    return words;
}

// The document with its cross-reference table fitted again to where its objects begin after an edit.
QByteArray reindexed(const QByteArray& pdf) {
    const qsizetype xref = pdf.lastIndexOf("\nxref\n0 ") + 1;
    const int count = pdf.mid(xref + 7, 12).split('\n').value(0).trimmed().toInt();
    QByteArray out = pdf.left(xref) + "xref\n0 " + QByteArray::number(count) + "\n0000000000 65535 f \n";
    for (int n = 1; n < count; ++n)
        out += QByteArray::number(pdf.indexOf("\n" + QByteArray::number(n) + " 0 obj") + 1)
                   .rightJustified(10, '0') +
               " 00000 n \n";
    const qsizetype trailer = pdf.indexOf("trailer", xref);
    return out + pdf.mid(trailer, pdf.lastIndexOf("startxref") - trailer) + "startxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
}

QByteArray edited(const QByteArray& pdf, const QString& pattern, const QString& with) {
    return reindexed(QString::fromLatin1(pdf).replace(QRegularExpression(pattern), with).toLatin1());
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

        const QString serif = QStringLiteral("Liberation Serif");
        QTest::newRow("a report row; another face on a second page")
            << Drawing([=](QPdfWriter& w, QPainter& p) {
                   scaledText(p, serif, true, 100, QStringLiteral("7 ROSSI MARIO FIDO 00'30\"00"));
                   scaledText(p, serif, false, 120, QStringLiteral("lunedì, 7 dicembre — «città» €5 ‘sì’"));
                   w.newPage();
                   scaledText(p, QStringLiteral("Liberation Sans"), false, 100, QStringLiteral("Pagina due"));
                   scaledText(p, serif, true, 120, QStringLiteral("Classifica"));
               })
            << 0 << QStringList{"ROSSI", "lunedì,", "—", "«città»", "€5", "‘sì’", "due", "Classifica"};
        // More than a hundred glyphs in one font.
        QString all;
        for (char16_t c = 0x21; c <= 0xFF; ++c)
            if (c < 0x7F || (c > 0xA0 && c != 0xAD))
                all += QChar(c);
        QStringList lines;
        for (qsizetype at = 0; at < all.size(); at += 24)
            lines << all.mid(at, 24);
        QTest::newRow("every Latin-1 character") << Drawing([=](QPdfWriter&, QPainter& p) {
            for (qsizetype i = 0; i < lines.size(); ++i)
                scaledText(p, serif, false, 100 + 20 * double(i), lines[i]);
        }) << 0 << lines;
        QTest::newRow("a letter outside WinAnsi keeps its font") << Drawing([=](QPdfWriter&, QPainter& p) {
            scaledText(p, serif, true, 100, QStringLiteral("Łódź"));
            scaledText(p, serif, false, 120, QStringLiteral("Roma"));
        }) << 1 << QStringList{"Roma"};
    }

    void keepsTheTextThroughPostScript() {
        QFETCH(Drawing, draw);
        QFETCH(int, composite);
        QFETCH(QStringList, read);
        QTemporaryDir dir;
        const QByteArray qt = written(draw);
        const QString before = saved(dir, "qt.pdf", qt),
                      after = saved(dir, "simple.pdf", withSimpleFonts(qt));

        // The same words in the same boxes, every font named and embedded.
        QCOMPARE(wordsOf(after), wordsOf(before));
        const QStringList fonts = fontLines(after);
        QCOMPARE(fonts.filter("CID TrueType").size(), composite);
        QCOMPARE(
            fonts.filter(QRegularExpression(R"(^\w{6}\+Liberation\S+\s+TrueType\s+WinAnsi\s+yes)")).size(),
            fonts.size() - composite);

        if (QStandardPaths::findExecutable("gs").isEmpty())
            QSKIP("Ghostscript is not installed");
        const QString ps = dir.filePath("job.ps"), back = dir.filePath("back.pdf");
        const QStringList gs{"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER"};
        test::runTool("gs", gs + QStringList{"-sDEVICE=ps2write", "-dLanguageLevel=2", "-r300",
                                             "-sOutputFile=" + ps, after});
        test::runTool("gs", gs + QStringList{"-sDEVICE=pdfwrite", "-sOutputFile=" + back, ps});
        const QStringList words =
            test::runTool("pdftotext", {back, "-"}).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (const QString& word : read)
            QVERIFY2(words.contains(word), qPrintable(word + " in " + words.join(' ')));
        QCOMPARE(fontLines(back).filter("Type 3").size(), composite);
    }

    // What is not laid out as Qt writes it comes back whole.
    void leavesOtherDocumentsAlone_data() {
        QTest::addColumn<QByteArray>("pdf");
        const QByteArray qt =
            written([](QPdfWriter&, QPainter& p) { p.drawText(QPointF(500, 500), "Prova"); });
        const QByteArray wrongXref = qt.left(qt.lastIndexOf("startxref")) + "startxref\n" +
                                     QByteArray::number(qt.indexOf("xref\n0 ") + 1) + "\n%%EOF\n";
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("not a PDF") << QByteArray("startxref\n5\n%%EOF");
        QTest::newRow("cut in half") << qt.left(qt.size() / 2);
        QTest::newRow("a cross-reference table elsewhere") << wrongXref;
        QTest::newRow("streams in another filter") << QByteArray(qt).replace("/FlateDecode", "/LZWDecode   ");
        QTest::newRow("no text") << written([](QPdfWriter&, QPainter& p) { p.drawLine(0, 0, 500, 500); });
        // Legal, though Qt never writes it: the page takes its resources from the page tree.
        const QString resources =
            QRegularExpression(R"(/Resources \d+ 0 R)").match(QString::fromLatin1(qt)).captured();
        QTest::newRow("resources handed down the page tree")
            << edited(edited(qt, resources, {}), "/Type /Pages", "/Type /Pages " + resources);
        // The page's own content stream given a length that cannot be so.
        const QString length =
            QStringLiteral(R"((\n%1 0 obj\s*<<\s*/Length )\d+ 0 R)")
                .arg(QRegularExpression(R"(/Contents (\d+) 0 R)").match(QString::fromLatin1(qt)).captured(1));
        QTest::newRow("a length past any file") << edited(qt, length, R"(\19223372036854775807)");
        QTest::newRow("a length past any number") << edited(qt, length, R"(\199999999999999999999)");
    }

    void leavesOtherDocumentsAlone() {
        QFETCH(QByteArray, pdf);
        QCOMPARE(withSimpleFonts(pdf), pdf);
    }
};

QTEST_MAIN(PdfFontsTest)

#include "PdfFontsTest.moc"
