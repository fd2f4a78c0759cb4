#include "labels/frmPrintPettorali.h"
#include "platform/Printer.h"
#include "support/EntriesDrivers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

const QString G = QStringLiteral("20240601ROMA");
const QString kGara = QString::fromUtf8("Trofeo Città di Roma");

// Bib, surname, name, dog.
const QList<QStringList> kSei = {
    {"3", "Rossi", "Mario", "Fido"},      {"7", "Bianchi", "Laura", "Luna"},
    {"11", "Verdi", "Giuseppe", "Argo"},  {"15", "Ferrari", "Giulia", "Nuvola"},
    {"21", "Colombo", "Andrea", "Birba"}, {"104", "De Luca", "Francesca", "Zeus"}};

// A label's texts in drawing order.
QStringList labelTexts(const QString& conduttore, const QString& bib, const QString& cane) {
    return {kGara, conduttore, bib, cane, QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))};
}

} // namespace

class BibPrintTest : public test::GuiTestBase {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<frmPrintPettorali> form;
    std::shared_ptr<RecordingPrinter> printer;

    Database& db() { return *shared->dbGare; }
    ListaIscritti* view() { return child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati")); }

    void add(const QStringList& e, bool handlerInRegister = true) {
        if (handlerInRegister)
            db().exec(
                QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, ?)"),
                {"CF" + e[0], e[1], e[2]});
        db().exec(QStringLiteral("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)"),
                  {"CHIP" + e[0], e[3]});
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, ?, ?, 'TIME', 'SENIOR', 'LARGE')"),
            {G, e[0].toInt(), "CF" + e[0], "CHIP" + e[0]});
    }
    // The ten label-sheet values, stored by position.
    void settings(const QStringList& values) {
        QFile f(shared->iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(("[Parametri di Stampa Etichetta]\r\nK=" + values.join("\r\nK=") + "\r\n").toUtf8());
    }
    // Opens the form, chooses the competition, moves on to the list (which reloads it) and
    // ticks the bibs, as a user does.
    void open(const QList<int>& bibs) {
        form = std::make_unique<frmPrintPettorali>(*shared);
        test::showActive(form.get());
        QVERIFY(!child<QPushButton>(form.get(), "cmdPrint")->isEnabled());
        test::focusOn(child<QComboBox>(form.get(), "Cmb_Field_0"));
        child<QComboBox>(form.get(), "Cmb_Field_0")->setEditText(G);
        test::focusOn(child<QComboBox>(form.get(), "Cmb_Field_1"));
        test::focusOn(view());
        for (const int bib : bibs)
            tick(bib);
    }
    void tick(int bib) {
        const ListaIscrittiModel* m = view()->modello();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->testo(r, 0) == QString::number(bib)) {
                QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                                  view()->visualRect(m->index(r, 0)).center());
                QTest::keyClick(view(), Qt::Key_Space);
                QVERIFY(m->spuntata(r));
                return;
            }
        QFAIL("bib not listed");
    }
private slots:
    void init() {
        GuiTestBase::init();
        folder = std::make_unique<test::TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        printer = std::make_shared<RecordingPrinter>();
        shared->printer = printer;
        db().exec(
            QStringLiteral("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, ?, "
                           "'Roma', 'Verdi', '01/06/2024')"),
            {G, kGara});
        settings({"3", "40", "60", "10", "5", "2", "3", "5", "3", "0"}); // 3 a row, 5 rows a page, 3 copies
    }

    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
        GuiTestBase::cleanup();
    }

    void tickedRowsPrintInTheListsOrderEachEntrysCopiesSideBySide() {
        add(kSei[0]);
        add(kSei[1]);
        add(kSei[2], false); // the handler is not in the register
        open({11, 3});
        const QStringList tre = labelTexts("Rossi Mario", "3", "Fido"), undici = labelTexts("", "11", "Argo");
        const struct {
            int clicks; // on the bib column's header
            QStringList texts;
        } cases[] = {
            {0, tre + tre + tre + undici + undici + undici},
            {2, undici + undici + undici + tre + tre + tre}, // sorted, then reversed
        };
        for (const auto& k : cases) {
            for (int c = 0; c < k.clicks; ++c)
                view()->clicIntestazione(0);
            printer->clear();
            const int jobs = printer->jobsSent();
            test::click(form.get(), QStringLiteral("cmdPrint"));
            QStringList texts;
            for (const PrintedCall& c : printer->texts())
                texts << c.text;
            QCOMPARE(texts, k.texts);
            QCOMPARE(printer->jobsSent(), jobs + 1);
        }
        QCOMPARE(view()->modello()->testo(0, 0), QStringLiteral("11")); // the print left the order as it was
        QVERIFY(view()->modello()->spuntata(0));
    }

    void nothingTickedOrAPrinterFaultIsToldAndTheFormGoesOn() {
        add(kSei[0]);
        open({3});
        test::focusOn(child<QComboBox>(form.get(), "Cmb_Field_2")); // leaving a filter reloads: ticks go
        test::focusOn(view());
        QVERIFY(!view()->modello()->spuntata(0));
        test::click(form.get(), QStringLiteral("cmdPrint"));
        QCOMPARE(test::described(takeBoxes()),
                 QStringList{"Nessun iscritto selezionato per la stampa del pettorale|0|ZAR"});
        QVERIFY(printer->calls().isEmpty());
        tick(3);
        printer->setOffline(true);
        test::click(form.get(), QStringLiteral("cmdPrint"));
        const auto boxes = takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].style, int(vbCritical));
        printer->setOffline(false);
        test::click(form.get(), QStringLiteral("cmdPrint"));
        QCOMPARE(printer->jobsSent(), 1);
        QVERIFY(form->isVisible());
    }

    // A common A4 sheet: 2 across, 3 down, 99.1 x 93.1 mm,
    // top 8.85, left 4.65, gap across 2.5; six entries fill exactly one page.
    void aRealSheetHoldsEveryLabelInsideItsOwnRectangle() {
        settings({"2", "93.1", "99.1", "8.8", "4.6", "2.5", "0", "3", "1", "0"});
        for (const QStringList& e : kSei)
            add(e);
        const QString pdf = folder->file(QStringLiteral("sheet.pdf"));
        shared->printer = Printer::toPdfFile(pdf);
        open({3, 7, 11, 15, 21, 104});
        test::click(form.get(), QStringLiteral("cmdPrint"));

        // mm from the paper's corner, walked row by row. The boxes take three characters (4.6 and
        // 8.8 stand for 4.65 and 8.85) and the across scale runs 0.013 % short: 0.1 mm of slack.
        auto rect = [](int label) {
            return QRectF(4.65 + (label % 2) * (99.1 + 2.5), 8.85 + (label / 2) * 93.1, 99.1, 93.1)
                .adjusted(-0.1, -0.1, 0.1, 0.1);
        };
        auto labelOf = [&](const QRectF& r) {
            for (int i = 5; i >= 0; --i) // the slack overlaps: the later label owns the seam
                if (rect(i).contains(r))
                    return i;
            return -1;
        };
        QProcess words;
        words.start(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"});
        QVERIFY(words.waitForFinished(30000));
        const QString html = QString::fromUtf8(words.readAllStandardOutput());
        QCOMPARE(html.count(QStringLiteral("<page ")), 1);
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        QList<QStringList> found(6);
        for (const auto& m : word.globalMatch(html)) {
            const int label =
                labelOf(QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) * 25.4 / 72,
                               QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()) * 25.4 / 72));
            QVERIFY2(label >= 0, qPrintable(m.captured(5) + " lies outside every label"));
            found[label] << m.captured(5);
        }
        for (int i = 0; i < 6; ++i) {
            const QStringList& e = kSei[i];
            QStringList expected = labelTexts(e[1] + " " + e[2], e[0], e[3]).join(' ').split(' ');
            expected.sort();
            found[i].sort(); // reading order mixes lines that share a height
            QCOMPARE(found[i], expected);
        }

        // The logo is the only blue on the page: each one at its own label's top-left corner.
        QProcess render;
        const QString png = folder->file(QStringLiteral("sheet"));
        render.start(QStringLiteral("pdftoppm"), {"-png", "-r", "100", "-singlefile", pdf, png});
        QVERIFY(render.waitForFinished(30000));
        const QImage page(png + ".png");
        QVERIFY(!page.isNull());
        const double px = 25.4 / 100;
        QList<QRectF> logos(6);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                if (!(c.blue() > 110 && c.red() < 90 && c.green() < 120))
                    continue;
                const QRectF dot((x + 0.5) * px, (y + 0.5) * px, px, px);
                const int label = labelOf(QRectF(dot.topLeft(), QSizeF(1e-3, 1e-3)));
                QVERIFY2(label >= 0, "logo ink outside every label");
                logos[label] |= dot;
            }
        for (int i = 0; i < 6; ++i) {
            QVERIFY(qAbs(logos[i].left() - rect(i).left()) < 0.8);
            QVERIFY(qAbs(logos[i].top() - rect(i).top()) < 0.8);
            QVERIFY(qAbs(logos[i].width() - 307 * 25.4 / 96) < 1);
        }
    }
};

QTEST_MAIN(BibPrintTest)
#include "BibPrintTest.moc"
