#include "labels/FrmEtichette.h"
#include "labels/StampaEtichetta.h"
#include "labels/frmPrintPettorali.h"
#include "platform/Printer.h"
#include "support/EntriesDrivers.h"
#include "support/GuiTestBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <tuple>

using namespace zar;

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
const QByteArray kSezione = kSalvato.left(kSalvato.indexOf('\n') + 1); // the header line
// Stored by position, as every test starts: 3 a row, 5 rows a page, 3 copies.
const QByteArray kIniziale = kSezione + "K=3\r\nK=40\r\nK=60\r\nK=10\r\nK=5\r\nK=2\r\nK=3\r\nK=5\r\nK=3";

const QString G = QStringLiteral("20240601ROMA"), kGara = QString::fromUtf8("Trofeo Città di Roma");
// Bib, surname, name, dog.
const QList<QStringList> kSei = {{"3", "Rossi", "Mario", "Fido"},   {"7", "Bianchi", "Laura", "Luna"},
                                 {"11", "Verdi", "Pino", "Argo"},   {"15", "Ferrari", "Giulia", "Neve"},
                                 {"21", "Colombo", "Ugo", "Birba"}, {"104", "De Luca", "Anna", "Zeus"}};

// An entry's label texts in drawing order.
QStringList labelTexts(const QStringList& e) {
    return {kGara, (e[1] + " " + e[2]).trimmed(), e[0], e[3], QDate::currentDate().toString("dd/MM/yyyy")};
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class LabelFormsTest : public test::GuiTestBase, test::FormBench<QDialog> {
    Q_OBJECT

    std::shared_ptr<RecordingPrinter> printer;

    void setIni(const QByteArray& content) { // null: no file
        QFile file(shared->iniPath());
        file.remove();
        if (!content.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    template <typename F> void show() {
        form = std::make_unique<F>(*shared);
        test::showActive(f());
    }
    // The settings boxes' texts in key order, after putting `typed` into the first ones.
    QStringList sheet(const QStringList& typed = {}) {
        QStringList out;
        for (int i = 0; i < kBox.size(); ++i) {
            if (i < typed.size())
                test::child<QLineEdit>(f(), kBox[i])->setText(typed[i]);
            out << test::child<QLineEdit>(f(), kBox[i])->text();
        }
        return out;
    }
    ListaIscritti* view() { return test::child<ListaIscritti>(f(), QStringLiteral("LstInsRisultati")); }
    void add(const QStringList& e) { // no name: the handler is not in the register
        if (!e[1].isEmpty())
            db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, ?)",
                      {"CF" + e[0], e[1], e[2]});
        db().exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES (?, ?)", {"CHIP" + e[0], e[3]});
        db().exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, "
                  "Classe, Taglia) VALUES (?, ?, ?, ?, 'TIME', 'SENIOR', 'LARGE')",
                  {G, e[0].toInt(), "CF" + e[0], "CHIP" + e[0]});
    }
    // Opens the bibs form on the competition, as a user does, and ticks `bibs`.
    void openBibs(const QStringList& bibs) {
        show<frmPrintPettorali>();
        test::chooseSelection(f(), {G});
        for (const QString& bib : bibs) {
            test::pickRow(f(), QStringLiteral("LstInsRisultati"), bib, false);
            QTest::keyClick(view(), Qt::Key_Space);
        }
    }
    // What the button printed, the texts set in a font larger than `punti`.
    QStringList print(const char* button = "cmdPrint", double punti = 0) {
        printer->clear();
        test::click(f(), QLatin1String(button));
        QStringList out;
        for (const PrintedCall& c : printer->texts())
            if (c.fontSize > punti)
                out << c.text;
        return out;
    }

private slots:
    void init() {
        GuiTestBase::init();
        setUpBench(G);
        db().exec("UPDATE TblGare SET Gara = ?", {kGara});
        shared->printer = printer = std::make_shared<RecordingPrinter>();
        setIni(kIniziale);
    }
    void cleanup() {
        tearDownBench();
        GuiTestBase::cleanup();
    }

    void settingsReadByPositionAndOnlySalvaWritesTheTenKeysInOrder() {
        // Read by position: the names before "=" do not matter. The file, the boxes shown.
        auto chiavi = [](int n) { return "K=" + kValori.mid(0, n).join("\r\nK=").toUtf8() + "\r\n"; };
        const std::pair<QByteArray, QString> letti[] = {
            {{}, "|||||||||"}, // no file
            {kSalvato, kValori.join(u'|')},
            {"[parametri di stampa etichetta]\r\n" + chiavi(10), "|||||||||"},
            // the next section's lines are values too (the boxes keep two characters)
            {kSezione + chiavi(8) + "[Ultima Gara]\r\nCodice=G7\r\n", "2|93.1|99.1|8.8|4.6|2.5|0|3|[U|G7"},
            {kSezione + "Label_Height=40\r\n; ok\r\n\r\nA=B=C\r\n", "40|; ok||B=C||||||"}, // any line
            // after another section, blanks around; a later header starts over
            {"[Ultima Gara]\r\nCodice_Gara=G1\r\n  [Parametri di Stampa Etichetta]  \n" + chiavi(10) +
                 kSezione + "Etichette_Linea=4\r\nLabel_Height=30",
             "4|30|99.1|8.8|4.6|2.5|0|3|1|0"},
        };
        for (const auto& [file, shown] : letti) {
            setIni(file);
            show<FrmEtichette>();
            QCOMPARE(sheet().join(u'|'), shown);
        }
        // The file before, what is typed (emptied: kept), the button (null: the close box), the file after.
        const std::tuple<QByteArray, QStringList, const char*, QByteArray> salvati[] = {
            {{}, kValori, "CmdOK", kSalvato}, // a first save creates the section in key order
            {kSalvato, {"3", ""}, "CmdOK", QByteArray(kSalvato).replace("Linea=2", "Linea=3")},
            {kSalvato, {"1", "1"}, nullptr, kSalvato},
            {{}, kValori, "CmdAnnulla", {}},
        };
        for (const auto& [before, typed, button, after] : salvati) {
            setIni(before);
            show<FrmEtichette>();
            sheet(typed);
            button ? test::click(f(), QLatin1String(button)) : void(form->close());
            QVERIFY(!form->isVisible());
            QCOMPARE(contents(shared->iniPath()), after);
        }
        // A file that cannot be written (the last row left none) is shown; the form stays open, as typed.
        QVERIFY(QDir().mkpath(shared->iniPath()));
        show<FrmEtichette>();
        sheet(kValori);
        test::click(f(), QStringLiteral("CmdOK"));
        QVERIFY(takeBoxes().value(0).text.contains(shared->iniPath()) && form->isVisible());
        QCOMPARE(sheet(), kValori); // nothing typed is lost
    }

    // Enter walks from the test area round the settings boxes in the form's order; each box
    // selects its text on arrival, so typing replaces it, and keeps only the keys it takes.
    void settingsKeysAndEnterRing() {
        show<FrmEtichette>();
        const QStringList ring = QStringList{"TxtTest", "TxtNumeroETest", "ChkTestoTest", kBox[0], kBox[7]} +
                                 kBox.mid(1, 6) + kBox.mid(8) + kBox.mid(0, 1);
        QMap<QString, QStringList> keys = {// typed, kept
                                           {"TxtTest", {"A1-x", "A1-x"}},
                                           {"TxtNumeroETest", {"1a2-34", "1234"}},
                                           {"TxtEtichetteLinea", {"a,-1.2", "12"}},
                                           {"TxtEtichettaH", {"99a,1 ", "99,1"}},
                                           {"TxtEtichettaT", {"12.5", "12."}}};
        test::child<QLineEdit>(f(), "TxtTest")->setFocus(Qt::TabFocusReason);
        for (const QString& name : ring) {
            test::settle();
            QCOMPARE(test::focused(), name);
            if (const QStringList k = keys.take(name); !k.isEmpty()) {
                QTest::keyClicks(QApplication::focusWidget(), k[0]);
                QCOMPARE(test::child<QLineEdit>(f(), name)->text(), k[1]);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(!test::child<QCheckBox>(f(), "ChkTestoTest")->isChecked() && form->isVisible());
    }

    // In every sheet box the editing and moving keys, each with the text the desktop's keyboard
    // gives it, keep their meaning; typed letters are dropped. Esc closes the form, saving nothing.
    void settingsBoxesKeepEditingAndMovingKeys() {
        // the tab order, from the button before the first box to the box after the last
        const QStringList order = QStringList{"CmdAnnulla"} + kBox.mid(0, 1) + kBox.mid(7, 1) +
                                  kBox.mid(1, 6) + kBox.mid(8) + QStringList{"TxtTest"};
        // On "12" ("1" for a letter) with the cursor after the "1": the text and cursor after the
        // key, and how far along the tab order the focus went ("-": the form closed).
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, const char*, const char*> keys[] = {
            {Qt::Key_Tab, Qt::NoModifier, "\t", "12 1 1"},
            {Qt::Key_Backtab, Qt::ShiftModifier, "\t", "12 1 -1"},
            {Qt::Key_Delete, Qt::NoModifier, "\x7f", "1 1 0"},
            {Qt::Key_Backspace, Qt::NoModifier, "\b", "2 0 0"},
            {Qt::Key_Escape, Qt::NoModifier, "\x1b", "12 1 -"},
            {Qt::Key_Home, Qt::NoModifier, "", "12 0 0"},
            {Qt::Key_X, Qt::NoModifier, "x", "1 1 0"},
        };
        QStringList wrong;
        for (int i = 1; i < order.size() - 1; ++i)
            for (const auto& [key, modifiers, text, expected] : keys) {
                show<FrmEtichette>();
                auto* box = test::child<QLineEdit>(f(), order[i]);
                box->setFocus(Qt::TabFocusReason);
                test::settle(); // the box selects its text on arrival
                box->setText(*text == 'x' ? "1" : "12");
                box->setCursorPosition(1);
                QTest::sendKeyEvent(QTest::Click, box, key, QString::fromLatin1(text), modifiers);
                test::settle();
                const QString focus =
                    form->isVisible() ? QString::number(order.indexOf(test::focused()) - i) : "-";
                const QString seen = box->text() + ' ' + QString::number(box->cursorPosition()) + ' ' + focus;
                if (seen != QLatin1String(expected))
                    wrong << QStringLiteral("%1 key %2: %3").arg(order[i]).arg(key, 0, 16).arg(seen);
            }
        QCOMPARE(wrong.join(u'\n'), QString());
        QCOMPARE(contents(shared->iniPath()), kIniziale);
    }

    // A sheet without a width is refused alike by the single-label print, the settings form's
    // test print and the bibs form's print: told, and no job started.
    void everyPrintRefusesASheetWithoutAWidth() {
        add(kSei[0]);
        for (const char* larghezza : {"0", "-3", "0.5"}) // the last prints
            for (const QString stampa : {"one entry", "CmdTest", "cmdPrint"}) {
                setIni(kSezione + "K=3\r\nK=40\r\nK=" + larghezza +
                       "\r\nK=10\r\nK=5\r\nK=2\r\nK=3\r\nK=5\r\nK=3");
                shared->printer = printer = std::make_shared<RecordingPrinter>();
                if (stampa == "CmdTest")
                    show<FrmEtichette>();
                if (stampa == "cmdPrint")
                    openBibs({"3"});
                if (stampa == "one entry")
                    StampaEtichetta(*shared, 3, kGara, "Rossi Mario", "Fido");
                else
                    test::click(f(), stampa);
                const QStringList detto = test::described(takeBoxes());
                const bool stampato = detto.isEmpty() && printer->jobsSent() == 1;
                const bool rifiutato = detto.size() == 1 && printer->calls().isEmpty() &&
                                       detto[0].startsWith("Larghezza dell'etichetta non valida") &&
                                       detto[0].endsWith("\nNessuna etichetta stampata.|48|ZAR");
                QVERIFY2(larghezza == QLatin1String("0.5") ? stampato : rifiutato,
                         qPrintable(QStringLiteral("%1, %2: ").arg(stampa, larghezza) + detto.join(u'/')));
            }
    }

    void settingsTestPrintCodesFromTheBoxes() {
        // Start, codes, counting up; the bibs printed (3 labels a code) and the codes box after.
        const std::tuple<QString, QString, bool, QString, QString> cases[] = {
            {"10", "2", true, "10 10 10 11 11 11", "2"},
            {"10", "2", false, "10 10 10 10 10 10", "2"},
            {"A1", "2", true, "0 0 0 1 1 1", "2"},
            {"5", "0", true, "5 5 5", "1"},
        };
        show<FrmEtichette>();
        for (const auto& [testo, numero, increment, bibs, numeroAfter] : cases) {
            test::child<QLineEdit>(f(), "TxtTest")->setText(testo);
            test::child<QLineEdit>(f(), "TxtNumeroETest")->setText(numero);
            test::child<QCheckBox>(f(), "ChkTestoTest")->setChecked(increment);
            QCOMPARE(print("CmdTest", 12).join(u' '), bibs);
            QCOMPARE(test::child<QLineEdit>(f(), "TxtNumeroETest")->text(), numeroAfter);
        }
        QCOMPARE(contents(shared->iniPath()), kIniziale); // a test print saves nothing
    }

    // Ticked rows print in the list's order, each entry's copies side by side; nothing ticked
    // or a printer fault is told and the form goes on.
    void bibsPrintTheTickedRowsInTheListsOrder() {
        const QStringList undici = {"11", "", "", "Argo"};
        add(kSei[0]);
        add(undici);
        openBibs({});
        QVERIFY(print().isEmpty());
        QCOMPARE(test::described(takeBoxes()),
                 QStringList{"Nessun iscritto selezionato per la stampa del pettorale|0|ZAR"});
        openBibs({"3", "11"});
        view()->clicIntestazione(0);
        view()->clicIntestazione(0); // sorted, then reversed: 11 before 3
        const QStringList tre = labelTexts(kSei[0]), u = labelTexts(undici);
        QCOMPARE(print(), u + u + u + tre + tre + tre);
        printer->setOffline(true);
        print();
        QCOMPARE(test::described(takeBoxes()),
                 QStringList{test::described(
                     "Errore nella routine di stampa\r\nErrore numero: 482\r\nErrore della stampante",
                     vbOKOnly + vbCritical, "EasyPrint")});
        QVERIFY(form->isVisible() && printer->jobsSent() == 1);
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
        test::click(f(), QStringLiteral("cmdPrint"));
        QProcess::execute(QStringLiteral("pdftohtml"), {"-xml", "-q", "-zoom", "3", pdf, pdf}); // 216 dpi
        const QString xml = QString::fromUtf8(contents(pdf + ".xml"));
        QCOMPARE(xml.count(QStringLiteral("<page ")), 1);

        // mm from the paper's corner, row by row. The boxes take three characters (4.6, 8.8 stand for 4.65,
        // 8.85) and the scales run short, 0.013 % across, 0.22 % down: slack 0.1 mm across, 0.5 down.
        auto corner = [](int i) { return QPointF(4.65 + (i % 2) * 101.6, 8.85 + (i / 2) * 93.1); };
        static const QRegularExpression item(R"re(<(image|text) top="(\d+)" left="(\d+)" width="(\d+)" )re"
                                             R"re(height="(\d+)"[^>]*>(?:([^<]*)</text>)?)re");
        QList<QStringList> found(6);
        for (const auto& m : item.globalMatch(xml)) {
            const auto mm = [&m](int i) { return m.captured(i).toDouble() * 25.4 / 216; };
            const QRectF r(mm(3), mm(2), mm(4), mm(5));
            int label = 5; // the slack overlaps: the later label owns the seam
            while (label >= 0 && !QRectF(corner(label) - QPointF(0.1, 0.5), QSizeF(99.3, 93.7)).contains(r))
                --label;
            QVERIFY2(label >= 0, qPrintable(m.captured() + " lies outside every label"));
            found[label] << (m.captured(1) == "image" ? "logo" : m.captured(6));
            if (m.captured(1) == "image") // on its label's corner, 307 pixels at 96 dpi wide
                QVERIFY(QRectF(corner(label) - QPointF(0.2, 0.5), QSizeF(0.4, 0.7)).contains(r.topLeft()) &&
                        qAbs(r.width() - 307 * 25.4 / 96) < 0.2);
        }
        for (int i = 0; i < 6; ++i)
            QCOMPARE(found[i], QStringList{"logo"} + labelTexts(kSei[i]));
    }
};

QTEST_MAIN(LabelFormsTest)
#include "LabelFormsTest.moc"
