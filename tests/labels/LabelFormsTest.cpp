#include "labels/FrmEtichette.h"
#include "labels/frmPrintPettorali.h"
#include "platform/Printer.h"
#include "support/EntriesDrivers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

// The settings boxes in key order, and a sheet as typed and as saved.
const QStringList kBox = {"TxtEtichetteLinea",  "TxtEtichettaH",   "TxtEtichettaW", "TxtEtichettaT",
                          "TxtEtichettaL",      "TxtEtichettaR",   "TxtEtichettaD", "TxtEtichetteColonna",
                          "TxtEtichetteCodice", "TxtSkipEtichette"};
const QStringList kValori = {"2", "93.1", "99.1", "8.8", "4.6", "2.5", "0", "3", "1", "0"};
const QByteArray kSalvato = "[Parametri di Stampa Etichetta]\r\nEtichette_Linea=2\r\nLabel_Height=93.1\r\n"
                            "Label_Width=99.1\r\nLabel_From_Top=8.8\r\nLabel_From_Left=4.6\r\n"
                            "Label_To_Right_Label=2.5\r\nLabel_To_Down_Label=0\r\nEtichette_Colonna=3\r\n"
                            "Etichette_Campione=1\r\nSkip_Vuote=0\r\n";

const QString G = QStringLiteral("20240601ROMA"), kGara = QString::fromUtf8("Trofeo Città di Roma");
// Bib, surname, name, dog.
const QList<QStringList> kSei = {
    {"3", "Rossi", "Mario", "Fido"},      {"7", "Bianchi", "Laura", "Luna"},
    {"11", "Verdi", "Giuseppe", "Argo"},  {"15", "Ferrari", "Giulia", "Nuvola"},
    {"21", "Colombo", "Andrea", "Birba"}, {"104", "De Luca", "Francesca", "Zeus"}};

// A label's texts in drawing order.
QStringList labelTexts(const QString& conduttore, const QString& bib, const QString& cane) {
    return {kGara, conduttore, bib, cane, QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))};
}

// The printed texts set in a font larger than `punti`.
QStringList printed(const RecordingPrinter& p, double punti = 0) {
    QStringList out;
    for (const PrintedCall& c : p.texts())
        if (c.fontSize > punti)
            out << c.text;
    return out;
}

} // namespace

class LabelFormsTest : public test::GuiTestBase {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::shared_ptr<RecordingPrinter> printer;
    std::unique_ptr<QDialog> form;

    QLineEdit* box(const QString& name) { return child<QLineEdit>(form.get(), name); }
    QByteArray ini() {
        QFile f(shared->iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The settings file holds `content`; none when null.
    void setIni(const QByteArray& content) {
        QFile f(shared->iniPath());
        f.remove();
        if (!content.isNull())
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    }
    // The ten label-sheet values, stored by position.
    void setSheet(const QStringList& v) {
        setIni(("[Parametri di Stampa Etichetta]\r\nK=" + v.join("\r\nK=")).toUtf8());
    }
    template <typename F> void show() {
        form.reset();
        form = std::make_unique<F>(*shared);
        test::showActive(form.get());
    }
    QStringList shown() {
        QStringList out;
        for (const QString& b : kBox)
            out << box(b)->text();
        return out;
    }
    void type(const QStringList& values) {
        for (int i = 0; i < kBox.size(); ++i)
            box(kBox[i])->setText(values[i]);
    }

    ListaIscritti* view() { return child<ListaIscritti>(form.get(), QStringLiteral("LstInsRisultati")); }
    void add(const QStringList& e, bool handlerInRegister = true) {
        if (handlerInRegister)
            shared->dbGare->exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, ?)",
                                 {"CF" + e[0], e[1], e[2]});
        shared->dbGare->exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)",
                             {"CHIP" + e[0], e[3]});
        shared->dbGare->exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                             "Categoria, Classe, Taglia) VALUES (?, ?, ?, ?, 'TIME', 'SENIOR', 'LARGE')",
                             {G, e[0].toInt(), "CF" + e[0], "CHIP" + e[0]});
    }
    // Opens the bib form, chooses the competition, moves on to the list (which reloads it)
    // and ticks the bibs, as a user does.
    void openBibs(const QList<int>& bibs) {
        show<frmPrintPettorali>();
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
        shared->dbGare->exec("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, ?, "
                             "'Roma', 'Verdi', '01/06/2024')",
                             {G, kGara});
        setSheet({"3", "40", "60", "10", "5", "2", "3", "5", "3", "0"}); // 3 a row, 5 rows a page, 3 copies
    }
    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
        GuiTestBase::cleanup();
    }

    void settingsShowTheStoredTextsAndOnlySalvaWritesTheTenKeysInOrder() {
        const QStringList other = {"4", "5", "5", "1", "1", "1", "1", "1", "1", "1"};
        const struct {
            const char* caso;
            QByteArray before;
            QStringList typed;  // empty: keep what the form shows
            const char* button; // null: the window's close box
            QByteArray after;
        } cases[] = {
            {"a first save creates the section in key order", {}, kValori, "CmdOK", kSalvato},
            {"stored texts come back, a save keeps them", kSalvato, {}, "CmdOK", kSalvato},
            {"an emptied box keeps its stored value",
             kSalvato,
             {"3", "", "70", "8.8", "4.6", "2.5", "0", "3", "1", "0"},
             "CmdOK",
             QByteArray(kSalvato).replace("Linea=2", "Linea=3").replace("Width=99.1", "Width=70")},
            {"Annulla writes nothing", kSalvato, other, "CmdAnnulla", kSalvato},
            {"the close box writes nothing", kSalvato, other, nullptr, kSalvato},
        };
        for (const auto& k : cases) {
            setIni(k.before);
            show<FrmEtichette>();
            QCOMPARE(shown(), k.before.isNull() ? QStringList(10) : kValori);
            if (!k.typed.isEmpty())
                type(k.typed);
            k.button ? test::click(form.get(), QLatin1String(k.button)) : void(form->close());
            QVERIFY2(!form->isVisible(), k.caso);
            QCOMPARE(ini(), k.after);
        }
        // A file that cannot be written is shown; the form stays with what was typed.
        setIni({});
        QVERIFY(QDir().mkpath(shared->iniPath()));
        show<FrmEtichette>();
        type(kValori);
        test::click(form.get(), QStringLiteral("CmdOK"));
        const auto boxes = takeBoxes();
        QVERIFY(boxes.size() == 1 && boxes[0].text.contains(shared->iniPath()));
        QVERIFY(form->isVisible());
        QCOMPARE(shown(), kValori);
    }

    // Enter walks from the test area into the ring of settings boxes, each selecting its text on
    // arrival; what is typed over it keeps only the keys the box takes.
    void settingsKeysAndEnterRing() {
        show<FrmEtichette>();
        const struct {
            const char *box, *keys, *kept; // keys null: type nothing
        } walk[] = {
            {"TxtTest", "A1-x", "A1-x"},
            {"TxtNumeroETest", "1a2-34", "1234"},
            {"ChkTestoTest", nullptr, nullptr},
            {"TxtEtichetteLinea", "a,-1.2", "12"},
            {"TxtEtichetteColonna", nullptr, nullptr},
            {"TxtEtichettaH", "99a.1 ", "99.1"},
            {"TxtEtichettaW", "1,5.2", "1,5.2"},
            {"TxtEtichettaT", "12.5", "12."},
            {"TxtEtichettaL", nullptr, nullptr},
            {"TxtEtichettaR", nullptr, nullptr},
            {"TxtEtichettaD", nullptr, nullptr},
            {"TxtEtichetteCodice", "3x", "3"},
            {"TxtSkipEtichette", nullptr, nullptr},
            {"TxtEtichetteLinea", nullptr, "12"},
        };
        box("TxtTest")->setFocus(Qt::TabFocusReason);
        for (const auto& k : walk) {
            test::settle();
            QCOMPARE(test::focused(), QLatin1String(k.box));
            auto* b = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (b)
                QCOMPARE(b->selectedText(), b->text());
            if (k.keys)
                QTest::keyClicks(b, QLatin1String(k.keys));
            if (k.kept)
                QCOMPARE(b->text(), QLatin1String(k.kept));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(!child<QCheckBox>(form.get(), "ChkTestoTest")->isChecked()); // Enter does not tick it
        QVERIFY(form->isVisible());
    }

    void settingsTestPrintCodesFromTheBoxes() {
        const struct {
            QString testo, numero;
            bool increment;
            QStringList bibs;
            QString numeroAfter;
        } cases[] = {
            {"10", "3", true, {"10", "10", "11", "11", "12", "12"}, "3"},
            {"10", "3", false, {"10", "10", "10", "10", "10", "10"}, "3"},
            {"A1", "2", true, {"0", "0", "1", "1"}, "2"},
            {"5", "", true, {"5", "5"}, "1"},
            {"5", "0", true, {"5", "5"}, "1"},
        };
        const QByteArray before = ini();
        show<FrmEtichette>();
        type({"3", "40", "60", "10", "5", "2", "3", "2", "2", "0"}); // 2 labels a code
        for (const auto& k : cases) {
            printer->clear();
            box("TxtTest")->setText(k.testo);
            box("TxtNumeroETest")->setText(k.numero);
            child<QCheckBox>(form.get(), "ChkTestoTest")->setChecked(k.increment);
            test::click(form.get(), QStringLiteral("CmdTest"));
            QCOMPARE(printed(*printer, 12), k.bibs);
            QCOMPARE(box("TxtNumeroETest")->text(), k.numeroAfter);
        }
        QCOMPARE(ini(), before); // a test print saves nothing
    }

    void bibsPrintInTheListsOrderEachEntrysCopiesSideBySide() {
        add(kSei[0]);
        add(kSei[1]);
        add(kSei[2], false); // the handler is not in the register
        openBibs({11, 3});
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
            QCOMPARE(printed(*printer), k.texts);
            QCOMPARE(printer->jobsSent(), jobs + 1);
        }
        QCOMPARE(view()->modello()->testo(0, 0), QStringLiteral("11")); // the print left the order as it was
        QVERIFY(view()->modello()->spuntata(0));
    }

    void bibsNothingTickedOrAPrinterFaultIsToldAndTheFormGoesOn() {
        add(kSei[0]);
        openBibs({3});
        test::focusOn(child<QComboBox>(form.get(), "Cmb_Field_2")); // leaving a filter reloads: ticks go
        test::focusOn(view());
        test::click(form.get(), QStringLiteral("cmdPrint"));
        QCOMPARE(test::described(takeBoxes()),
                 QStringList{"Nessun iscritto selezionato per la stampa del pettorale|0|ZAR"});
        QVERIFY(printer->calls().isEmpty());
        tick(3);
        printer->setOffline(true);
        test::click(form.get(), QStringLiteral("cmdPrint"));
        const auto boxes = takeBoxes();
        QVERIFY(boxes.size() == 1 && boxes[0].style == int(vbCritical));
        printer->setOffline(false);
        test::click(form.get(), QStringLiteral("cmdPrint"));
        QCOMPARE(printer->jobsSent(), 1);
        QVERIFY(form->isVisible());
    }

    // A common A4 sheet: 2 across, 3 down, 99.1 x 93.1 mm,
    // top 8.85, left 4.65, gap across 2.5; six entries fill exactly one page.
    void bibsOnARealSheetEachLabelInsideItsOwnRectangle() {
        setSheet(kValori);
        for (const QStringList& e : kSei)
            add(e);
        const QString pdf = folder->file(QStringLiteral("sheet.pdf"));
        shared->printer = Printer::toPdfFile(pdf);
        openBibs({3, 7, 11, 15, 21, 104});
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
        // The logo is the only blue on the page: each one at its own label's top-left corner.
        QProcess render;
        render.start(QStringLiteral("pdftoppm"), {"-png", "-r", "100", "-singlefile", pdf, pdf});
        QVERIFY(render.waitForFinished(30000));
        const QImage page(pdf + ".png");
        const double px = 25.4 / 100;
        QList<QRectF> logos(6);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (const QColor c = page.pixelColor(x, y);
                    c.blue() > 110 && c.red() < 90 && c.green() < 120) {
                    const QRectF dot(x * px, y * px, px, px);
                    const int label = labelOf(dot.adjusted(px / 2, px / 2, -px / 3, -px / 3));
                    QVERIFY2(label >= 0, "logo ink outside every label");
                    logos[label] |= dot;
                }
        for (int i = 0; i < 6; ++i) {
            const QStringList& e = kSei[i];
            QStringList expected = labelTexts(e[1] + " " + e[2], e[0], e[3]).join(' ').split(' ');
            expected.sort();
            found[i].sort(); // reading order mixes lines that share a height
            QCOMPARE(found[i], expected);
            const QPointF off = logos[i].topLeft() - rect(i).topLeft();
            QVERIFY(qAbs(off.x()) < 0.8 && qAbs(off.y()) < 0.8 &&
                    qAbs(logos[i].width() - 307 * 25.4 / 96) < 1);
        }
    }
};

QTEST_MAIN(LabelFormsTest)
#include "LabelFormsTest.moc"
