#include "labels/FrmEtichette.h"
#include "platform/Printer.h"
#include "support/EntriesDrivers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

// The boxes in the order of the settings section.
const QStringList kBox = {"TxtEtichetteLinea",  "TxtEtichettaH",   "TxtEtichettaW", "TxtEtichettaT",
                          "TxtEtichettaL",      "TxtEtichettaR",   "TxtEtichettaD", "TxtEtichetteColonna",
                          "TxtEtichetteCodice", "TxtSkipEtichette"};
const QStringList kValori = {"2", "93.1", "99.1", "8.8", "4.6", "2.5", "0", "3", "1", "0"};
const QByteArray kSalvato = "[Parametri di Stampa Etichetta]\r\nEtichette_Linea=2\r\nLabel_Height=93.1\r\n"
                            "Label_Width=99.1\r\nLabel_From_Top=8.8\r\nLabel_From_Left=4.6\r\n"
                            "Label_To_Right_Label=2.5\r\nLabel_To_Down_Label=0\r\nEtichette_Colonna=3\r\n"
                            "Etichette_Campione=1\r\nSkip_Vuote=0\r\n";

} // namespace

class FrmEtichetteTest : public test::GuiTestBase {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<FrmEtichette> form;
    std::shared_ptr<RecordingPrinter> printer;

    QLineEdit* box(const QString& name) { return child<QLineEdit>(form.get(), name); }
    QByteArray file() {
        QFile f(shared->iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A fresh program folder whose settings file holds `ini` (none when null), and the form on it.
    void open(const QByteArray& ini = {}) {
        form.reset();
        shared.reset();
        folder = std::make_unique<test::TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        printer = std::make_shared<RecordingPrinter>();
        shared->printer = printer;
        if (QFile f(shared->iniPath()); !ini.isNull())
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(ini) == ini.size());
        form = std::make_unique<FrmEtichette>(*shared);
        test::showActive(form.get());
    }
    QStringList shown() {
        QStringList out;
        for (const QString& b : kBox)
            out << box(b)->text();
        return out;
    }
    void type(const QStringList& values) {
        for (int i = 0; i < kBox.size(); ++i) {
            box(kBox[i])->clear();
            box(kBox[i])->insert(values[i]);
        }
    }

private slots:
    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
        GuiTestBase::cleanup();
    }

    void openingShowsTheStoredTextsAndOnlySalvaWritesTheTenKeysInOrder() {
        const QByteArray changed =
            QByteArray(kSalvato).replace("Linea=2", "Linea=3").replace("Width=99.1", "Width=70");
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
             changed},
            {"Annulla writes nothing",
             kSalvato,
             {"4", "5", "5", "1", "1", "1", "1", "1", "1", "1"},
             "CmdAnnulla",
             kSalvato},
            {"the close box writes nothing",
             kSalvato,
             {"4", "5", "5", "1", "1", "1", "1", "1", "1", "1"},
             nullptr,
             kSalvato},
        };
        for (const auto& k : cases) {
            open(k.before);
            QCOMPARE(shown(), k.before.isNull() ? QStringList(10) : kValori);
            if (!k.typed.isEmpty())
                type(k.typed);
            k.button ? test::click(form.get(), QLatin1String(k.button)) : void(form->close());
            QVERIFY2(!form->isVisible(), k.caso);
            QCOMPARE(file(), k.after);
        }
    }

    void aSettingsFileThatCannotBeWrittenIsShownAndTheFormKeepsWhatWasTyped() {
        open();
        QVERIFY(QDir().mkpath(shared->iniPath())); // a folder where the file should be
        type(kValori);
        test::click(form.get(), QStringLiteral("CmdOK"));
        const auto boxes = takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.contains(shared->iniPath()));
        QVERIFY(form->isVisible());
        QCOMPARE(shown(), kValori);
    }

    void keysEachBoxTakesAndEnterWalksTheRing() {
        open();
        const struct {
            const char *box, *keys, *kept;
        } cases[] = {
            {"TxtEtichetteLinea", "a,-1.2", "12"}, {"TxtEtichetteCodice", "3x", "3"},
            {"TxtEtichettaW", "1,5.2", "1,5.2"},   {"TxtEtichettaH", "99a.1 ", "99.1"},
            {"TxtEtichettaT", "12.5", "12."},      {"TxtNumeroETest", "1a2-34", "1234"},
            {"TxtTest", "A1-x", "A1-x"},
        };
        for (const auto& k : cases) {
            box(QLatin1String(k.box))->clear();
            test::typeInto(box(QLatin1String(k.box)), QLatin1String(k.keys));
            QCOMPARE(box(QLatin1String(k.box))->text(), QLatin1String(k.kept));
        }
        // From the test area into the ring of settings boxes, each selecting its text on arrival.
        QStringList walked;
        box("TxtTest")->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 14; ++i) {
            test::settle();
            walked << test::focused();
            if (auto* b = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
                QCOMPARE(b->selectedText(), b->text());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(walked, QStringList({"TxtTest", "TxtNumeroETest", "ChkTestoTest", "TxtEtichetteLinea",
                                      "TxtEtichetteColonna", "TxtEtichettaH", "TxtEtichettaW",
                                      "TxtEtichettaT", "TxtEtichettaL", "TxtEtichettaR", "TxtEtichettaD",
                                      "TxtEtichetteCodice", "TxtSkipEtichette", "TxtEtichetteLinea"}));
        QVERIFY(!child<QCheckBox>(form.get(), "ChkTestoTest")->isChecked()); // Enter does not tick it
        QVERIFY(form->isVisible());
    }

    void testPrintCodesFromTheBoxes() {
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
        open();
        // 3 a row, 2 rows a page, 2 labels a code; a test print saves nothing.
        type({"3", "40", "60", "10", "5", "2", "3", "2", "2", "0"});
        for (const auto& k : cases) {
            printer->clear();
            box("TxtTest")->setText(k.testo);
            box("TxtNumeroETest")->setText(k.numero);
            child<QCheckBox>(form.get(), "ChkTestoTest")->setChecked(k.increment);
            test::click(form.get(), QStringLiteral("CmdTest"));
            QStringList bibs; // the text in the biggest font
            for (const PrintedCall& c : printer->texts())
                if (c.fontSize > 12)
                    bibs << c.text;
            QCOMPARE(bibs, k.bibs);
            QCOMPARE(box("TxtNumeroETest")->text(), k.numeroAfter);
        }
        QVERIFY(!QFile::exists(shared->iniPath()));
    }
};

QTEST_MAIN(FrmEtichetteTest)
#include "FrmEtichetteTest.moc"
