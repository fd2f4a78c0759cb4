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
#include <tuple>

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

// An entry's label texts in drawing order.
QStringList labelTexts(const QStringList& e) {
    return {kGara, (e[1] + " " + e[2]).trimmed(), e[0], e[3], QDate::currentDate().toString("dd/MM/yyyy")};
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
    void setIni(const QByteArray& content) { // null: no file
        QFile f(shared->iniPath());
        f.remove();
        if (!content.isNull())
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    }
    template <typename F> void show() {
        form.reset();
        form = std::make_unique<F>(*shared);
        test::showActive(form.get());
    }
    // The settings boxes' texts in key order, after typing `typed` over them when given.
    QStringList sheet(const QStringList& typed = {}) {
        QStringList out;
        for (int i = 0; i < kBox.size(); ++i) {
            if (!typed.isEmpty())
                box(kBox[i])->setText(typed[i]);
            out << box(kBox[i])->text();
        }
        return out;
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
    void tick(const QString& bib) {
        test::pickRow(form.get(), QStringLiteral("LstInsRisultati"), bib, false);
        QTest::keyClick(view(), Qt::Key_Space);
    }
    // Chooses the competition and moves on to the list (which reloads it), as a user does.
    void openBibs(const QStringList& bibs) {
        show<frmPrintPettorali>();
        test::focusOn(child<QComboBox>(form.get(), "Cmb_Field_0"));
        child<QComboBox>(form.get(), "Cmb_Field_0")->setEditText(G);
        test::focusOn(child<QComboBox>(form.get(), "Cmb_Field_1"));
        test::focusOn(view());
        for (const QString& bib : bibs)
            tick(bib);
    }
    void print(const QString& button) {
        printer->clear();
        test::click(form.get(), button);
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
        // Stored by position: 3 a row, 5 rows a page, 3 copies.
        setIni("[Parametri di Stampa "
               "Etichetta]\r\nK=3\r\nK=40\r\nK=60\r\nK=10\r\nK=5\r\nK=2\r\nK=3\r\nK=5\r\nK=3");
    }
    void cleanup() {
        form.reset();
        shared.reset();
        GuiTestBase::cleanup();
    }

    void settingsShowTheStoredTextsAndOnlySalvaWritesTheTenKeysInOrder() {
        // The file before, what is typed (empty: nothing), the button (null: the close box), the file after.
        const std::tuple<QByteArray, QStringList, const char*, QByteArray> cases[] = {
            {{}, kValori, "CmdOK", kSalvato}, // a first save creates the section in key order
            {kSalvato, {}, "CmdOK", kSalvato},
            {kSalvato,
             {"3", "", "70", "8.8", "4.6", "2.5", "0", "3", "1", "0"},
             "CmdOK", // emptied: kept
             QByteArray(kSalvato).replace("Linea=2", "Linea=3").replace("Width=99.1", "Width=70")},
            {{}, kValori, "CmdAnnulla", {}},
            {kSalvato, QStringList(10, "1"), nullptr, kSalvato},
        };
        for (const auto& [before, typed, button, after] : cases) {
            setIni(before);
            show<FrmEtichette>();
            QCOMPARE(sheet(), before.isNull() ? QStringList(10) : kValori);
            sheet(typed);
            button ? test::click(form.get(), QLatin1String(button)) : void(form->close());
            QVERIFY(!form->isVisible());
            QCOMPARE(ini(), after);
        }
        // A file that cannot be written is shown; the form stays with what was typed.
        setIni({});
        QVERIFY(QDir().mkpath(shared->iniPath()));
        show<FrmEtichette>();
        sheet(kValori);
        test::click(form.get(), QStringLiteral("CmdOK"));
        const auto boxes = takeBoxes();
        QVERIFY(boxes.size() == 1 && boxes[0].text.contains(shared->iniPath()) && form->isVisible());
        QCOMPARE(sheet(), kValori);
    }

    // Enter walks from the test area into the ring of settings boxes, each selecting its text on
    // arrival; typed over, a box keeps only the keys it takes.
    void settingsKeysAndEnterRing() {
        show<FrmEtichette>();
        const QStringList ring = {"TxtTest",           "TxtNumeroETest",      "ChkTestoTest",
                                  "TxtEtichetteLinea", "TxtEtichetteColonna", "TxtEtichettaH",
                                  "TxtEtichettaW",     "TxtEtichettaT",       "TxtEtichettaL",
                                  "TxtEtichettaR",     "TxtEtichettaD",       "TxtEtichetteCodice",
                                  "TxtSkipEtichette",  "TxtEtichetteLinea"};
        QMap<QString, QStringList> keys = {
            // typed, kept
            {"TxtTest", {"A1-x", "A1-x"}},           {"TxtNumeroETest", {"1a2-34", "1234"}},
            {"TxtEtichetteLinea", {"a,-1.2", "12"}}, {"TxtEtichettaH", {"99a.1 ", "99.1"}},
            {"TxtEtichettaW", {"1,5.2", "1,5.2"}},   {"TxtEtichettaT", {"12.5", "12."}},
            {"TxtEtichetteCodice", {"3x", "3"}}};
        box("TxtTest")->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < ring.size(); ++i) {
            test::settle();
            QCOMPARE(test::focused(), ring[i]);
            if (auto* b = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
                QCOMPARE(b->selectedText(), b->text());
                if (const QStringList k = keys.take(ring[i]); !k.isEmpty()) {
                    QTest::keyClicks(b, k[0]);
                    QCOMPARE(b->text(), k[1]);
                }
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(!child<QCheckBox>(form.get(), "ChkTestoTest")->isChecked()); // Enter does not tick it
        QVERIFY(form->isVisible());
    }

    void settingsTestPrintCodesFromTheBoxes() {
        // Start, codes, counting up; the bibs printed and the codes box after.
        const std::tuple<QString, QString, bool, QStringList, QString> cases[] = {
            {"10", "3", true, {"10", "10", "11", "11", "12", "12"}, "3"},
            {"10", "3", false, {"10", "10", "10", "10", "10", "10"}, "3"},
            {"A1", "2", true, {"0", "0", "1", "1"}, "2"},
            {"5", "0", true, {"5", "5"}, "1"},
        };
        const QByteArray before = ini();
        show<FrmEtichette>();
        sheet({"3", "40", "60", "10", "5", "2", "3", "2", "2", "0"}); // 2 labels a code
        for (const auto& [testo, numero, increment, bibs, numeroAfter] : cases) {
            box("TxtTest")->setText(testo);
            box("TxtNumeroETest")->setText(numero);
            child<QCheckBox>(form.get(), "ChkTestoTest")->setChecked(increment);
            print(QStringLiteral("CmdTest"));
            QCOMPARE(printed(*printer, 12), bibs);
            QCOMPARE(box("TxtNumeroETest")->text(), numeroAfter);
        }
        QCOMPARE(ini(), before); // a test print saves nothing
    }

    // Ticked rows print in the list's order, each entry's copies side by side; nothing ticked
    // or a printer fault is told and the form goes on.
    void bibsPrintTheTickedRowsInTheListsOrder() {
        add(kSei[0]);
        add(kSei[2], false); // the handler is not in the register
        openBibs({});
        print(QStringLiteral("cmdPrint"));
        QCOMPARE(test::described(takeBoxes()),
                 QStringList{"Nessun iscritto selezionato per la stampa del pettorale|0|ZAR"});
        QVERIFY(printer->calls().isEmpty());
        tick("11");
        tick("3");
        const QStringList tre = labelTexts(kSei[0]), undici = labelTexts({"11", "", "", "Argo"});
        print(QStringLiteral("cmdPrint"));
        QCOMPARE(printed(*printer), tre + tre + tre + undici + undici + undici);
        view()->clicIntestazione(0);
        view()->clicIntestazione(0); // sorted, then reversed
        print(QStringLiteral("cmdPrint"));
        QCOMPARE(printed(*printer), undici + undici + undici + tre + tre + tre);
        QCOMPARE(test::column(form.get(), "LstInsRisultati", 0), "11 3"); // the print kept the order
        printer->setOffline(true);
        print(QStringLiteral("cmdPrint"));
        QCOMPARE(takeBoxes().value(0).style, int(vbCritical));
        QVERIFY(form->isVisible() && printer->jobsSent() == 2);
    }

    // A common A4 sheet: 2 across, 3 down, 99.1 x 93.1 mm, top 8.85, left 4.65, gap across 2.5;
    // six entries fill exactly one page.
    void bibsOnARealSheetEachLabelInsideItsOwnRectangle() {
        setIni(kSalvato);
        for (const QStringList& e : kSei)
            add(e);
        const QString pdf = folder->file(QStringLiteral("sheet.pdf"));
        shared->printer = Printer::toPdfFile(pdf);
        openBibs({"3", "7", "11", "15", "21", "104"});
        test::click(form.get(), QStringLiteral("cmdPrint"));

        // mm from the paper's corner, walked row by row. The boxes take three characters (4.6 and
        // 8.8 stand for 4.65 and 8.85) and the across scale runs 0.013 % short: 0.1 mm of slack.
        auto labelOf = [](const QRectF& r) {
            for (int i = 5; i >= 0; --i) // the slack overlaps: the later label owns the seam
                if (QRectF(4.55 + (i % 2) * 101.6, 8.75 + (i / 2) * 93.1, 99.3, 93.3).contains(r))
                    return i;
            return -1;
        };
        auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.start(program, args);
            return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
        };
        const QString html = run(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"});
        QCOMPARE(html.count(QStringLiteral("<page ")), 1);
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        QList<QStringList> found(6);
        for (const auto& m : word.globalMatch(html)) {
            const auto mm = [&m](int i) { return m.captured(i).toDouble() * 25.4 / 72; };
            const int label = labelOf(QRectF(QPointF(mm(1), mm(2)), QPointF(mm(3), mm(4))));
            QVERIFY2(label >= 0, qPrintable(m.captured(5) + " lies outside every label"));
            found[label] << m.captured(5);
        }
        // The logo is the only blue on the page: each one at its own label's top-left corner.
        run(QStringLiteral("pdftoppm"), {"-png", "-r", "100", "-singlefile", pdf, pdf});
        const QImage page(pdf + ".png");
        QList<QRectF> logos(6);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (const QColor c = page.pixelColor(x, y);
                    c.blue() > 110 && c.red() < 90 && c.green() < 120) {
                    const QRectF dot(x * 0.254, y * 0.254, 0.254, 0.254); // 100 dpi
                    const int label = labelOf(dot.adjusted(0.1, 0.1, -0.1, -0.1));
                    QVERIFY2(label >= 0, "logo ink outside every label");
                    logos[label] |= dot;
                }
        for (int i = 0; i < 6; ++i) {
            QStringList expected = labelTexts(kSei[i]).join(' ').split(' ');
            expected.sort();
            found[i].sort(); // reading order mixes lines that share a height
            QCOMPARE(found[i], expected);
            const QPointF off = logos[i].topLeft() - QPointF(4.65 + (i % 2) * 101.6, 8.85 + (i / 2) * 93.1);
            QVERIFY(qAbs(off.x()) < 0.8 && qAbs(off.y()) < 0.8 &&
                    qAbs(logos[i].width() - 307 * 25.4 / 96) < 1);
        }
    }
};

QTEST_MAIN(LabelFormsTest)
#include "LabelFormsTest.moc"
