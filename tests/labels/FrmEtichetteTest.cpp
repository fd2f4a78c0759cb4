#include "labels/FrmEtichette.h"
#include "platform/Printer.h"
#include "support/FormHelpers.h"
#include "support/TestFolder.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

// The boxes in the order of the settings section.
const QStringList kBox = {"TxtEtichetteLinea",  "TxtEtichettaH",   "TxtEtichettaW", "TxtEtichettaT",
                          "TxtEtichettaL",      "TxtEtichettaR",   "TxtEtichettaD", "TxtEtichetteColonna",
                          "TxtEtichetteCodice", "TxtSkipEtichette"};
const QByteArray kSalvato = "[Parametri di Stampa Etichetta]\r\nEtichette_Linea=2\r\nLabel_Height=93.1\r\n"
                            "Label_Width=99.1\r\nLabel_From_Top=8.8\r\nLabel_From_Left=4.6\r\n"
                            "Label_To_Right_Label=2.5\r\nLabel_To_Down_Label=0\r\nEtichette_Colonna=3\r\n"
                            "Etichette_Campione=1\r\nSkip_Vuote=0\r\n";

} // namespace

class FrmEtichetteTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<FrmEtichette> form;
    std::shared_ptr<RecordingPrinter> printer;

    QLineEdit* box(const QString& name) { return child<QLineEdit>(form.get(), name); }
    QString ini() { return shared->iniPath(); }
    QByteArray file() {
        QFile f(ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QByteArray& bytes) {
        QFile f(ini());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void open() {
        form = std::make_unique<FrmEtichette>(*shared);
        test::showActive(form.get());
    }
    void type(const QStringList& values) {
        for (int i = 0; i < kBox.size(); ++i) {
            box(kBox[i])->clear();
            box(kBox[i])->insert(values[i]);
        }
    }
    QStringList printedBibs() {
        // Each label prints competition, bib and date (test kind) or five lines; the bib is
        // the text in the biggest font.
        QStringList bibs;
        for (const PrintedCall& c : printer->texts())
            if (c.fontSize > 12)
                bibs << c.text;
        return bibs;
    }

private slots:
    void init() {
        folder = std::make_unique<test::TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        printer = std::make_shared<RecordingPrinter>();
        shared->printer = printer;
    }

    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
    }

    void openingShowsTheStoredTextsAndSaveWritesTheTenKeysInOrder() {
        const struct {
            const char* caso;
            QByteArray before;
            QStringList typed; // empty: keep what the form shows
            QByteArray after;
        } cases[] = {
            {"a first save creates the section in key order",
             "",
             {"2", "93.1", "99.1", "8.8", "4.6", "2.5", "0", "3", "1", "0"},
             kSalvato},
            {"stored texts come back as typed, a save keeps them", kSalvato, {}, kSalvato},
            {"an emptied box keeps its stored value",
             kSalvato,
             {"3", "", "70", "8.8", "4.6", "2.5", "0", "3", "2", "0"},
             QByteArray(kSalvato)
                 .replace("Linea=2", "Linea=3")
                 .replace("Width=99.1", "Width=70")
                 .replace("Campione=1", "Campione=2")},
        };
        for (const auto& k : cases) {
            init();
            if (!k.before.isEmpty())
                writeFile(k.before);
            open();
            if (k.before == kSalvato)
                QCOMPARE(box("TxtEtichettaH")->text(), QStringLiteral("93.1"));
            if (!k.typed.isEmpty())
                type(k.typed);
            test::StrictResponder boxes;
            test::click(form.get(), QStringLiteral("CmdOK"));
            QVERIFY2(boxes.shown().isEmpty(), k.caso);
            QVERIFY2(!form->isVisible(), k.caso);
            QCOMPARE(file(), k.after);
            cleanup();
        }
    }

    void annullaAndTheCloseBoxWriteNothing() {
        for (const bool closeBox : {false, true}) {
            writeFile(kSalvato);
            open();
            type({"4", "50", "50", "1", "1", "1", "1", "1", "1", "1"});
            if (closeBox)
                form->close();
            else
                test::click(form.get(), QStringLiteral("CmdAnnulla"));
            QVERIFY(!form->isVisible());
            QCOMPARE(file(), kSalvato);
        }
    }

    void aSettingsFileThatCannotBeWrittenIsShownAndTheFormStaysWithWhatWasTyped() {
        QVERIFY(QDir().mkpath(ini())); // a folder where the file should be
        open();
        type({"2", "93.1", "99.1", "8.8", "4.6", "2.5", "0", "3", "1", "0"});
        test::StrictResponder boxes;
        test::click(form.get(), QStringLiteral("CmdOK"));
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().first().text.contains(ini()));
        QVERIFY(form->isVisible());
        QCOMPARE(box("TxtEtichettaW")->text(), QStringLiteral("99.1"));
    }

    void keysEachBoxTakes() {
        open();
        const struct {
            const char* box;
            QString keys;
            QString kept;
        } cases[] = {
            {"TxtEtichetteLinea", "a,-1.2", "12"}, {"TxtEtichetteCodice", "3x", "3"},
            {"TxtEtichettaW", "1,5.2", "1,5.2"},   {"TxtEtichettaH", "99a.1 ", "99.1"},
            {"TxtEtichettaT", "12.5", "12."},      {"TxtNumeroETest", "1a2-34", "1234"},
            {"TxtTest", "A1-x", "A1-x"},
        };
        for (const auto& k : cases) {
            QLineEdit* b = box(QLatin1String(k.box));
            b->clear();
            b->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(b, k.keys);
            QCOMPARE(b->text(), k.kept);
        }
    }

    void enterWalksTheRingAndEachBoxSelectsItsText() {
        open();
        type({"2", "93.1", "99.1", "8.8", "4.6", "2.5", "0", "3", "1", "0"});
        box("TxtTest")->setText(QStringLiteral("10"));
        box("TxtNumeroETest")->setText(QStringLiteral("3"));
        const QStringList ring = {"TxtEtichetteColonna", "TxtEtichettaH",      "TxtEtichettaW",
                                  "TxtEtichettaT",       "TxtEtichettaL",      "TxtEtichettaR",
                                  "TxtEtichettaD",       "TxtEtichetteCodice", "TxtSkipEtichette",
                                  "TxtEtichetteLinea"};
        QStringList walked;
        box("TxtTest")->setFocus(Qt::TabFocusReason);
        for (const QString& start :
             {QStringLiteral("TxtTest"), QStringLiteral("TxtNumeroETest"), QStringLiteral("ChkTestoTest")}) {
            QCOMPARE(test::focused(), start);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            test::settle();
        }
        for (int i = 0; i <= ring.size(); ++i) {
            auto* b = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            QVERIFY(b);
            walked << b->objectName();
            QCOMPARE(b->selectedText(), b->text());
            QTest::keyClick(b, Qt::Key_Return);
            test::settle();
        }
        QCOMPARE(walked, QStringList{"TxtEtichetteLinea"} + ring);
        QVERIFY(!form->findChild<QCheckBox*>("ChkTestoTest")->isChecked()); // Enter does not tick it
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
        // 3 a row, 2 rows a page, 2 labels a code; nothing is saved by a test print.
        type({"3", "40", "60", "10", "5", "2", "3", "2", "2", "0"});
        for (const auto& k : cases) {
            printer->clear();
            box("TxtTest")->setText(k.testo);
            box("TxtNumeroETest")->setText(k.numero);
            form->findChild<QCheckBox*>("ChkTestoTest")->setChecked(k.increment);
            test::StrictResponder boxes;
            test::click(form.get(), QStringLiteral("CmdTest"));
            QCOMPARE(printedBibs(), k.bibs);
            QCOMPARE(box("TxtNumeroETest")->text(), k.numeroAfter);
            QVERIFY(boxes.shown().isEmpty());
        }
        QVERIFY(!QFile::exists(ini()));
    }
};

QTEST_MAIN(FrmEtichetteTest)
#include "FrmEtichetteTest.moc"
