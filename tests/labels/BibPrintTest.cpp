#include "labels/FrmEtichette.h"
#include "labels/frmPrintPettorali.h"
#include "platform/Printer.h"
#include "support/FormHelpers.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

const QString G = QStringLiteral("20240601ROMA");
const QString kGara = QString::fromUtf8("Trofeo Città di Roma");

struct Iscritto {
    int bib;
    QString cf, cognome, nome, chip, cane;
};

// A label's texts as the printer got them, in drawing order.
QStringList labelTexts(const QString& gara, const QString& conduttore, const QString& bib,
                       const QString& cane) {
    return {gara, conduttore, bib, cane, QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))};
}

} // namespace

class BibPrintTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<frmPrintPettorali> form;
    std::shared_ptr<RecordingPrinter> printer;

    Database& db() { return *shared->dbGare; }
    ListaIscrittiModel* list() {
        return child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati"))->modello();
    }
    QComboBox* combo(int i) { return child<QComboBox>(form.get(), QStringLiteral("Cmb_Field_%1").arg(i)); }

    void add(const Iscritto& e, bool handlerInRegister = true) {
        if (handlerInRegister)
            db().exec(
                QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, ?)"),
                {e.cf, e.cognome, e.nome});
        db().exec(QStringLiteral("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)"),
                  {e.chip, e.cane});
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, ?, ?, 'TIME', 'SENIOR', 'LARGE')"),
            {G, e.bib, e.cf, e.chip});
    }
    void settings(const QStringList& values) {
        QFile f(shared->iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Parametri di Stampa Etichetta]\r\n");
        for (const QString& v : values)
            f.write(("K=" + v + "\r\n").toUtf8());
    }
    void open() {
        form = std::make_unique<frmPrintPettorali>(*shared);
        test::showActive(form.get());
    }
    // Chooses the competition and leaves its box, as a user does.
    void choose() {
        combo(0)->setFocus(Qt::TabFocusReason);
        test::settle();
        combo(0)->setEditText(G);
        combo(1)->setFocus(Qt::TabFocusReason);
        test::settle();
        // On to the list: leaving the filter box reloads it.
        child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati"))->setFocus(Qt::TabFocusReason);
        test::settle();
    }
    void tick(const QString& bib) {
        auto* view = child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati"));
        for (int r = 0; r < list()->rowCount(); ++r) {
            if (list()->testo(r, 0) != bib)
                continue;
            const QModelIndex index = list()->index(r, 0);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
            QTest::keyClick(view, Qt::Key_Space);
            QVERIFY(list()->spuntata(r));
            return;
        }
        QFAIL("bib not listed");
    }
    QStringList printedTexts() {
        QStringList out;
        for (const PrintedCall& c : printer->texts())
            out << c.text;
        return out;
    }
    void clickHeader(int column) {
        child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati"))->clicIntestazione(column);
    }

private slots:
    void init() {
        folder = std::make_unique<test::TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        printer = std::make_shared<RecordingPrinter>();
        shared->printer = printer;
        db().exec(
            QStringLiteral("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, ?, "
                           "'Roma', 'Verdi', '01/06/2024')"),
            {G, kGara});
        // 3 a row, 5 rows a page, 3 labels an entry.
        settings({"3", "40", "60", "10", "5", "2", "3", "5", "3", "0"});
    }

    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
    }

    void tickedRowsPrintInTheListsOrderAfterASort() {
        add({5, "RSSMRA80A01H501U", "Rossi", "Mario", "380260000000005", "Fido"});
        add({8, "BNCLRA85B41F205X", "Bianchi", "Laura", "380260000000008", "Luna"});
        add({12, "VRDGPP70C10L219K", "Verdi", "Giuseppe", "380260000000012", "Argo"}, false);
        open();
        QVERIFY(!child<QPushButton>(form.get(), "cmdPrint")->isEnabled());
        choose();
        tick("12");
        tick("5");
        const QStringList five = labelTexts(kGara, "Rossi Mario", "5", "Fido");
        const QStringList twelve = labelTexts(kGara, "", "12", "Argo"); // handler not in the register
        const struct {
            std::vector<int> clicks;
            QStringList texts;
        } cases[] = {
            {{}, five + five + five + twelve + twelve + twelve},
            {{0, 0}, twelve + twelve + twelve + five + five + five}, // bib column, then reversed
        };
        int jobs = 0;
        for (const auto& k : cases) {
            for (const int c : k.clicks)
                clickHeader(c);
            printer->clear();
            test::StrictResponder boxes;
            test::click(form.get(), QStringLiteral("cmdPrint"));
            QCOMPARE(boxes.texts(), QStringList());
            QCOMPARE(printedTexts(), k.texts);
            QCOMPARE(printer->jobsSent(), ++jobs);
        }
        QCOMPARE(list()->testo(0, 0), QStringLiteral("12")); // the print left the order as it was
        QVERIFY(list()->spuntata(0));
    }

    void nothingTickedOrTicksGoneWithAReloadPrintNothing() {
        add({5, "RSSMRA80A01H501U", "Rossi", "Mario", "380260000000005", "Fido"});
        open();
        choose();
        tick("5");
        // Entering and leaving a filter reloads the list.
        combo(2)->setFocus(Qt::TabFocusReason);
        test::settle();
        child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati"))->setFocus(Qt::TabFocusReason);
        test::settle();
        QCOMPARE(list()->rowCount(), 1);
        QVERIFY(!list()->spuntata(0));
        test::StrictResponder boxes;
        test::click(form.get(), QStringLiteral("cmdPrint"));
        QCOMPARE(boxes.texts(), QStringList{"Nessun iscritto selezionato per la stampa del pettorale"});
        QCOMPARE(boxes.shown().first().style, 0);
        QVERIFY(printer->calls().isEmpty());
        QVERIFY(form->isVisible());
    }

    void aPrinterFaultIsToldAndTheFormGoesOn() {
        add({5, "RSSMRA80A01H501U", "Rossi", "Mario", "380260000000005", "Fido"});
        open();
        choose();
        tick("5");
        settings({"3", "40", "60", "10", "5", "2", "3", "5", "3", "0"});
        printer->setOffline(true);
        {
            test::StrictResponder boxes;
            test::click(form.get(), QStringLiteral("cmdPrint"));
            QCOMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown().first().style, int(vbCritical));
            QCOMPARE(printer->jobsSent(), 0);
        }
        printer->setOffline(false);
        test::StrictResponder boxes;
        test::click(form.get(), QStringLiteral("cmdPrint"));
        QCOMPARE(printer->jobsSent(), 1);
        QVERIFY(form->isVisible());
    }

    // A common A4 sheet: 2 across, 3 down, 99.1 x 93.1 mm, top 8.85, left 4.65, gap across 2.5.
    void aRealSheetHoldsEveryLabelInsideItsOwnRectangle() {
        QVERIFY(QFile::remove(shared->iniPath())); // saved afresh, so the keys stand in order
        auto* sheet = new FrmEtichette(*shared);
        test::showActive(sheet);
        const std::pair<const char*, const char*> typed[] = {
            {"TxtEtichetteLinea", "2"}, {"TxtEtichettaH", "93.1"},    {"TxtEtichettaW", "99.1"},
            {"TxtEtichettaT", "8.8"},   {"TxtEtichettaL", "4.6"},     {"TxtEtichettaR", "2.5"},
            {"TxtEtichettaD", "0"},     {"TxtEtichetteColonna", "3"}, {"TxtEtichetteCodice", "1"},
            {"TxtSkipEtichette", "0"}};
        for (const auto& [box, value] : typed)
            test::typeInto(child<QLineEdit>(sheet, QLatin1String(box)), QLatin1String(value));
        test::click(sheet, QStringLiteral("CmdOK"));
        QVERIFY(!sheet->isVisible());
        delete sheet;

        const QList<Iscritto> six = {
            {3, "RSSMRA80A01H501U", "Rossi", "Mario", "380260000000003", "Fido"},
            {7, "BNCLRA85B41F205X", "Bianchi", "Laura", "380260000000007", "Luna"},
            {11, "VRDGPP70C10L219K", "Verdi", "Giuseppe", "380260000000011", "Argo"},
            {15, "FRRGLI90D45A944P", "Ferrari", "Giulia", "380260000000015", "Nuvola"},
            {21, "CLMNDR75E20G273Z", "Colombo", "Andrea", "380260000000021", "Birba"},
            {104, "DLCFNC66H12D612Q", "De Luca", "Francesca", "380260000000104", "Zeus"}};
        for (const Iscritto& e : six)
            add(e);
        const QString pdf = folder->file(QStringLiteral("sheet.pdf"));
        shared->printer = Printer::toPdfFile(pdf);
        open();
        choose();
        for (const Iscritto& e : six)
            tick(QString::number(e.bib));
        test::StrictResponder boxes;
        test::click(form.get(), QStringLiteral("cmdPrint"));
        QVERIFY(boxes.shown().isEmpty());

        auto rect = [](int label) { // mm from the paper's corner, walked row by row
            // The boxes take three characters: 4.6 and 8.8 stand for 4.65 and 8.85, and the
            // across scale runs 0.013 % short, so the date, at the left edge, may start up to
            // 0.07 mm before the die cut.
            const double typing = 0.1;
            return QRectF(4.65 + (label % 2) * (99.1 + 2.5), 8.85 + (label / 2) * 93.1, 99.1, 93.1)
                .adjusted(-typing, -typing, typing, typing);
        };
        // Every word, with the label whose rectangle holds it whole.
        QProcess words;
        words.start(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"});
        QVERIFY(words.waitForFinished(30000));
        const QString html = QString::fromUtf8(words.readAllStandardOutput());
        QCOMPARE(html.count(QStringLiteral("<page ")), 1);
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        QList<QStringList> found(6);
        for (const auto& m : word.globalMatch(html)) {
            const QRectF box(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) * 25.4 / 72,
                             QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()) * 25.4 / 72);
            int label = -1;
            for (int i = 0; i < 6; ++i)
                if (rect(i).contains(box))
                    label = i;
            QVERIFY2(label >= 0, qPrintable(m.captured(5) + " lies outside every label"));
            found[label] << m.captured(5);
        }
        for (int i = 0; i < 6; ++i) {
            const Iscritto& e = six[i];
            const QString all =
                labelTexts(kGara, e.cognome + " " + e.nome, QString::number(e.bib), e.cane).join(' ');
            QStringList expected = all.split(' ');
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
        const double mmPerPixel = 25.4 / 100;
        QList<QRectF> logos(6);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                if (!(c.blue() > 110 && c.red() < 90 && c.green() < 120))
                    continue;
                const QPointF at((x + 0.5) * mmPerPixel, (y + 0.5) * mmPerPixel);
                int label = -1;
                for (int i = 0; i < 6; ++i)
                    if (rect(i).contains(at))
                        label = i;
                QVERIFY2(label >= 0, "logo ink outside every label");
                logos[label] |= QRectF(at, QSizeF(mmPerPixel, mmPerPixel));
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
