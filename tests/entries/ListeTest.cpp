// The lists of records: their columns' widths, headings that a sort leaves whole, a sort that
// survives every reload of the list and of its printout, and ticks by keyboard.
#include "entries/frmClassifica.h"
#include "entries/frmIscrizione.h"
#include "frame/ListLook.h"
#include "labels/frmPrintPettorali.h"
#include "platform/Printer.h"
#include "registers/FrmCane.h"
#include "registers/FrmConduttore.h"
#include "registers/FrmGare.h"
#include "reports/ReportForms.h"
#include "support/EntriesDrivers.h"
#include "support/GuiTestBase.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>

#include <cmath>
#include <functional>
#include <tuple>

using namespace zar;
using namespace zar::test;

namespace {

const QString A = QStringLiteral("20240501ROMA"), B = QStringLiteral("20240601PISA");

// One label per entry, on a common A4 sheet.
const QByteArray kFoglio = "[Parametri di Stampa Etichetta]\r\nEtichette_Linea=2\r\nLabel_Height=93.1\r\n"
                           "Label_Width=99.1\r\nLabel_From_Top=8.8\r\nLabel_From_Left=4.6\r\n"
                           "Label_To_Right_Label=2.5\r\nLabel_To_Down_Label=0\r\nEtichette_Colonna=3\r\n"
                           "Etichette_Campione=1\r\nSkip_Vuote=0\r\n";

template <typename F> QDialog* crea(SharedValues& shared) {
    return new F(shared);
}
using Fabbrica = QDialog* (*)(SharedValues&);

// The rows of a header image whose pixels between x0 and x1 are not all alike: where the
// style's face is plain, where something is drawn.
QList<int> righeDisegnate(const QImage& img, int x0, int x1) {
    QList<int> out;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = x0 + 1; x <= x1; ++x) {
            if (img.pixel(x, y) != img.pixel(x0, y)) {
                out << y;
                break;
            }
        }
    }
    return out;
}

} // namespace

class ListeTest : public GuiTestBase {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::shared_ptr<RecordingPrinter> printer;
    std::unique_ptr<QDialog> form;

    Database& db() { return *shared->dbGare; }
    QTreeView* lista(const char* nome = "LstInsRisultati") { return child<QTreeView>(form.get(), nome); }
    void apri(Fabbrica fabbrica) {
        form.reset(fabbrica(*shared));
        showActive(form.get());
    }
    // An entry with its own handler "H<bib> X", so that each printed row names its bib.
    void iscrivi(const QString& gara, int bib, int posto, const char* classe = "JUNIOR") {
        db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, 'X')",
                  {QStringLiteral("CF%1").arg(bib), QStringLiteral("H%1").arg(bib)});
        db().exec("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, "
                  "Classe, Taglia, ClassificaRun1) VALUES (?, ?, ?, ?, 'TIME', ?, 'SMALL', ?)",
                  {gara, bib, QStringLiteral("CF%1").arg(bib), QStringLiteral("CHIP%1").arg(bib),
                   QString::fromLatin1(classe), posto});
    }
    // Types into box i and leaves it, as a user does.
    void lascia(int i, const QString& testo) {
        auto* box = child<QComboBox>(form.get(), QStringLiteral("Cmb_Field_%1").arg(i));
        focusOn(box);
        box->setEditText(testo);
        focusOn(lista());
    }
    // The bibs listed, in the order shown (the rankings list has them second, after the place).
    QString bibs() {
        return column(form.get(), QStringLiteral("LstInsRisultati"),
                      form->objectName() == QLatin1String("frmReportClassifica") ? 1 : 0);
    }
    // The bibs of the rows the form printed, in printed order, from their handlers' names.
    QString stampati(const std::function<void()>& stampa) {
        printer->clear();
        stampa();
        static const QRegularExpression nome(QStringLiteral("^H(\\d+) X$"));
        QStringList out;
        for (const PrintedCall& c : printer->texts())
            if (const auto m = nome.match(c.text); m.hasMatch())
                out << m.captured(1);
        return out.join(u' ');
    }

private slots:
    void init() {
        GuiTestBase::init();
        folder = std::make_unique<TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        shared->printer = printer = std::make_shared<RecordingPrinter>();
        addCompetition(db(), A);
        addCompetition(db(), B);
    }
    void cleanup() {
        form.reset();
        shared.reset();
        folder.reset();
        GuiTestBase::cleanup();
    }

    void twipsArePixelsAtTheScreensResolution() {
        // twips, dots per inch, pixels: 1440 twips to the inch, to the nearest pixel
        const int casi[][3] = {{900, 96, 60},   {1075, 96, 72},  {1087, 96, 72}, {1025, 96, 68},
                               {2950, 96, 197}, {900, 120, 75},  {900, 144, 90}, {1440, 72, 72},
                               {0, 96, 0},      {12500, 96, 833}};
        for (const auto& [twips, dpi, pixel] : casi)
            QCOMPARE(twipsToPixels(twips, dpi), pixel);
    }

    // Every list at its opening size: its columns as many pixels as their twips at the screen's
    // resolution, the last one the rest; no heading loses a letter, sorted or not, and a sort
    // widens no column. The scores and rankings lists show all their columns without scrolling.
    void columnsAtTheirWidthsAndHeadingsWhole() {
        struct Caso {
            Fabbrica fabbrica;
            const char* lista;
            QList<int> twips; // all but the last column
            bool tuttoVisibile;
        };
        const QList<int> g = {900, 2700, 1700, 900, 900, 900, 900, 900, 900, 900, 900};
        const Caso casi[] = {
            {crea<frmIscrizione>, "LvwIscritti", {900, 3500, 2000, 3500}, false},
            {crea<frmClassifica>, "LstInsRisultati", g, true},
            {crea<frmReportPartenza>, "LstInsRisultati", {900, 3500, 2500, 1000, 1200, 1000}, false},
            {crea<frmReportClassifica>,
             "LstInsRisultati",
             {1075, 1025, 2950, 2000, 2000, 1075, 1075, 1075, 1075, 1087},
             true},
            {crea<frmReportIscritti>, "LstInsRisultati", {900, 3500, 3500, 1100, 1200}, false},
            {crea<frmPrintPettorali>, "LstInsRisultati", {900, 3500, 2500, 1000, 1000}, false},
            {crea<FrmConduttore>, "LvwConduttori", {2000, 3500}, false},
            {crea<FrmCane>, "LvwCani", {2000, 3500}, false},
            {crea<FrmGare>, "LvwGare", {1500, 2000, 2000}, false},
        };
        for (const Caso& caso : casi) {
            apri(caso.fabbrica);
            QTreeView* v = lista(caso.lista);
            QHeaderView* h = v->header();
            const int dpi = v->logicalDpiX();
            QList<int> attese, viste;
            int somma = 0;
            for (int c = 0; c < caso.twips.size(); ++c) {
                attese << int(std::lround(caso.twips[c] * dpi / 1440.0));
                somma += attese.last();
            }
            attese << std::max(v->viewport()->width() - somma, h->minimumSectionSize());
            for (int c = 0; c < h->count(); ++c)
                viste << h->sectionSize(c);
            QCOMPARE(viste, attese);
            if (caso.tuttoVisibile) {
                const int ultima = h->count() - 1;
                QVERIFY(h->sectionViewportPosition(ultima) + h->sectionSize(ultima) <=
                        v->viewport()->width());
                QCOMPARE(v->horizontalScrollBar()->maximum(), 0);
            }
            QCOMPARE(cutHeadings(v), QStringList());
            if (!h->sectionsClickable())
                continue;
            for (int c = 0; c < h->count(); ++c) {
                QTest::mouseClick(
                    h->viewport(), Qt::LeftButton, {},
                    QPoint(h->sectionViewportPosition(c) + h->sectionSize(c) / 2, h->height() / 2));
                QVERIFY(h->isSortIndicatorShown() && h->sortIndicatorSection() == c);
                QCOMPARE(cutHeadings(v), QStringList());
            }
            viste.clear();
            for (int c = 0; c < h->count(); ++c)
                viste << h->sectionSize(c);
            QCOMPARE(viste, attese);
        }
    }

    // The narrow result columns of the scores list show their longest texts whole (times,
    // points with decimals, places), and the handlers list a whole fiscal code.
    void resultsShowWholeInTheirColumns() {
        iscrivi(A, 1, 9990);
        iscrivi(A, 1000, 9999, "SENIOR");
        db().exec(
            "UPDATE TblIscrizioni SET Classe = 'JUNIOR', PunteggioRun1 = 199.5, TempoRun1 = 59.9998, "
            "ClassificaRun2 = 9999, PunteggioRun2 = 88.25, TempoRun2 = 48.8148, PunteggioCombinata = 288, "
            "TempoCombinata = 99.9998, ClassificaCombinata = 9990");
        db().exec("UPDATE TblConduttori SET CodiceFiscale = 'DLLMGR75C41H501Z' WHERE CodiceFiscale = 'CF1'");
        // form, list, selection, the columns that must show whole
        const std::tuple<Fabbrica, const char*, QStringList, QList<int>> casi[] = {
            {crea<frmClassifica>,
             "LstInsRisultati",
             {A, "TIME", "JUNIOR", "SMALL"},
             {0, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
            {crea<FrmConduttore>, "LvwConduttori", {}, {0}},
        };
        for (const auto& [fabbrica, nome, scelta, colonne] : casi) {
            apri(fabbrica);
            for (int i = 0; i < scelta.size(); ++i)
                lascia(i, scelta[i]);
            QTreeView* v = lista(nome);
            const int margine = v->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, v) + 1;
            const QAbstractItemModel* m = v->model();
            QCOMPARE(m->rowCount(), 2);
            for (int r = 0; r < m->rowCount(); ++r) {
                for (int c : colonne) {
                    const QString t = m->index(r, c).data().toString();
                    QVERIFY2(!t.isEmpty() && v->fontMetrics().horizontalAdvance(t) + 2 * margine <=
                                                 v->header()->sectionSize(c),
                             qPrintable(t));
                }
            }
        }
    }

    // The sort arrow is drawn above the heading: sorting changes only rows of the heading
    // above its text, and the arrow points up, then down, as the order reverses.
    void theArrowHidesNoLetter() {
        apri(crea<frmReportPartenza>);
        QHeaderView* h = lista()->header();
        for (int c = 0; c < h->count(); ++c) {
            const int x0 = h->sectionViewportPosition(c) + 2, x1 = x0 + h->sectionSize(c) - 5;
            const QImage prima = h->grab().toImage();
            const QList<int> testo = righeDisegnate(prima, x0, x1);
            QVERIFY(!testo.isEmpty());
            QList<int> freccia[2];
            for (QList<int>& f : freccia) {
                qobject_cast<ListaIscritti*>(lista())->clicIntestazione(c);
                const QImage dopo = h->grab().toImage();
                for (int y = 0; y < prima.height(); ++y)
                    for (int x = x0; x <= x1; ++x)
                        if (prima.pixel(x, y) != dopo.pixel(x, y) && !f.contains(y))
                            f << y;
                QVERIFY2(!f.isEmpty() && f.last() < testo.first(),
                         qPrintable(h->model()->headerData(c, Qt::Horizontal).toString()));
            }
            // The same rows, drawn differently: up for ascending, down for descending.
            QCOMPARE(freccia[0], freccia[1]);
        }
    }

    // After a header click every reload lists and prints in the clicked column's order, numbers
    // as numbers, with the arrow on that column; the rankings list keeps the order of the places.
    void theSortSurvivesEveryReload() {
        // bib, run-1 place: by place 11 10 3 1 2; as text the places would give 11 2 10 3 1
        for (const auto& [bib, posto] : {std::pair{1, 4}, {2, 10}, {10, 2}, {11, 1}})
            iscrivi(A, bib, posto);
        iscrivi(A, 3, 3, "SENIOR");
        for (const auto& [bib, posto] : {std::pair{5, 2}, {20, 1}, {100, 3}})
            iscrivi(B, bib, posto);
        QFile ini(shared->iniPath());
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(kFoglio) == kFoglio.size());
        ini.close();

        using Passo = std::function<void(ListeTest*)>;
        const Passo run2 = [](ListeTest* t) {
            QTest::mouseClick(child<QRadioButton>(t->form.get(), "Opt_Run_1"), Qt::LeftButton);
        };
        const Passo classe = [](ListeTest* t) { t->lascia(2, "JUNIOR"); };
        const Passo garaB = [](ListeTest* t) { t->lascia(0, B); };
        const Passo garaA = [](ListeTest* t) { t->lascia(0, A); };
        const Passo taglia = [](ListeTest* t) { t->lascia(3, "SMALL"); };
        const Passo salva = [](ListeTest* t) {
            pickRow(t->form.get(), "LstInsRisultati", "20", false);
            child<QLineEdit>(t->form.get(), "Txt_Clss_0")->setText("85");
            child<QLineEdit>(t->form.get(), "Txt_Clss_1")->setText("013050");
            t->answer({vbYes});
            click(t->form.get(), "cmdSave");
            QCOMPARE(t->takeBoxes().size(), 1); // the question, and no other box
        };
        const auto stampaReport = [](ListeTest* t) {
            static_cast<FormReport*>(t->form.get())->cmdPrint_Click();
        };
        const auto stampaBib = [](ListeTest* t) {
            // A reload drops the ticks: tick every row again, then print.
            auto* v = qobject_cast<ListaIscritti*>(t->lista());
            for (int r = 0; r < v->model()->rowCount(); ++r) {
                v->setCurrentIndex(v->model()->index(r, 1));
                QTest::keyClick(v, Qt::Key_Space);
            }
            static_cast<frmPrintPettorali*>(t->form.get())->cmdPrint_Click();
        };
        struct Caso {
            Fabbrica fabbrica;
            QStringList scelta;    // boxes 0.. as chosen first
            QList<int> clic;       // header clicks
            QList<Passo> ricarica; // one reload each
            QStringList attese;    // the bibs listed after the clicks, then after each reload
            std::function<void(ListeTest*)> stampa; // none: the form prints nothing
        };
        const Caso casi[] = {
            {crea<frmReportPartenza>,
             {A},
             {6},
             {run2, classe, garaB},
             {"11 10 3 1 2", "11 10 3 1 2", "11 10 1 2", "20 5 100"},
             stampaReport},
            {crea<frmReportIscritti>,
             {A},
             {0, 0},
             {garaA, garaB},
             {"11 10 3 2 1", "11 10 3 2 1", "100 20 5"},
             stampaReport},
            {crea<frmPrintPettorali>,
             {A},
             {0, 0},
             {classe, garaB},
             {"11 10 3 2 1", "11 10 2 1", "100 20 5"},
             stampaBib},
            // text, never reversed
            {crea<frmClassifica>,
             {A, "TIME", "JUNIOR", "SMALL"},
             {0, 0},
             {taglia, garaB, salva},
             {"1 10 11 2", "1 10 11 2", "100 20 5", "100 20 5"},
             {}},
            // no header-click sort: by the chosen run's places
            {crea<frmReportClassifica>, {A}, {0, 2}, {classe}, {"11 10 3 1 2", "11 10 1 2"}, stampaReport},
        };
        for (const Caso& caso : casi) {
            apri(caso.fabbrica);
            for (int i = 0; i < caso.scelta.size(); ++i)
                lascia(i, caso.scelta[i]);
            auto* v = qobject_cast<ListaIscritti*>(lista());
            for (int c : caso.clic)
                QTest::mouseClick(
                    v->header()->viewport(), Qt::LeftButton, {},
                    QPoint(v->header()->sectionViewportPosition(c) + 4, v->header()->height() / 2));
            const StatoOrdinamento stato = v->stato();
            for (int passo = 0; passo < caso.attese.size(); ++passo) {
                if (passo > 0)
                    caso.ricarica[passo - 1](this);
                const QString nome = form->objectName() + QString::number(passo);
                QVERIFY2(bibs() == caso.attese[passo], qPrintable(nome + ": " + bibs()));
                if (caso.stampa)
                    QVERIFY2(stampati([&] { caso.stampa(this); }) == caso.attese[passo], qPrintable(nome));
                QHeaderView* h = v->header();
                QCOMPARE(h->isSortIndicatorShown(), stato.colonna >= 0);
                if (stato.colonna >= 0)
                    QVERIFY(h->sortIndicatorSection() == stato.colonna &&
                            (h->sortIndicatorOrder() == Qt::DescendingOrder) == stato.discendente);
            }
        }
    }

    // A cell of one line of plain text that fits is painted quickly, and exactly as the style
    // paints it, in every state; any other cell is left to the style.
    void cellsLookAsTheStyleDrawsThem() {
        QTreeView v;
        PreparaLista(&v);
        v.resize(400, 200);
        const QStyle::State su = QStyle::State_Enabled | QStyle::State_Active;
        const QStyle::State scelta = su | QStyle::State_Selected;
        const Qt::Alignment sinistra = Qt::AlignLeft | Qt::AlignVCenter;
        using F = QStyleOptionViewItem;
        struct Caso {
            QString testo;
            int larghezza;
            QStyle::State stato;
            Qt::Alignment allineamento;
            F::ViewItemFeatures altro;
            bool rapida; // painted quickly, else left to the style
        };
        const Caso casi[] = {
            {"RSSMRA80A01H501U", 133, su, sinistra, {}, true},
            {"ROSSI MARIO", 233, scelta, sinistra, {}, true},
            {"ROSSI MARIO", 233, QStyle::State_Enabled | QStyle::State_Selected, sinistra, {}, true},
            {"ROSSI MARIO", 233, QStyle::State_Active, sinistra, {}, true},
            {"ROSSI MARIO", 233, su, sinistra, F::Alternate, true},
            {"ROSSI MARIO", 233, scelta, sinistra, F::Alternate, true},
            {"NICCOLÒ D'ÀNGELO", 233, su, sinistra, {}, true},
            {"1234", 60, su, Qt::AlignRight | Qt::AlignVCenter, {}, true},
            {"", 133, scelta, sinistra, {}, true},
            {"DE LA FUENTE Y GONZALEZ MARIA", 80, su, sinistra, {}, false},
            {"ROSSI\u2028MARIO", 233, su, sinistra, {}, false},
            {"ROSSI MARIO", 233, su | QStyle::State_HasFocus, sinistra, {}, false},
            {"ROSSI MARIO", 233, su, sinistra, F::HasCheckIndicator, false},
            {"ROSSI MARIO", 233, su, sinistra, F::WrapText, false},
        };
        for (const Caso& caso : casi) {
            QStyleOptionViewItem opt;
            opt.initFrom(&v);
            opt.widget = &v;
            opt.rect = QRect(3, 2, caso.larghezza, v.fontMetrics().height() + 4);
            opt.state = caso.stato;
            opt.text = caso.testo;
            opt.font = v.font();
            opt.features = F::HasDisplay | caso.altro;
            opt.displayAlignment = caso.allineamento;
            opt.decorationAlignment = Qt::AlignCenter;
            opt.textElideMode = Qt::ElideRight;
            opt.showDecorationSelected = true;
            QImage rapida(caso.larghezza + 6, opt.rect.height() + 4, QImage::Format_ARGB32_Premultiplied);
            QImage stile = rapida;
            rapida.fill(Qt::white);
            stile.fill(Qt::white);
            {
                QPainter p(&rapida);
                QCOMPARE(CelleLista::paintPlainText(&p, opt, v.style()), caso.rapida);
            }
            if (!caso.rapida)
                continue;
            {
                QPainter p(&stile);
                v.style()->drawControl(QStyle::CE_ItemViewItem, &opt, &p, &v);
            }
            QVERIFY2(rapida == stile, qPrintable(caso.testo));
            QImage bianca(rapida.size(), rapida.format());
            bianca.fill(Qt::white);
            QVERIFY(rapida != bianca); // the text, or the selection's colour
        }
    }

    // A register's list looks the same as the style alone would draw it: selected row,
    // shortened names and all.
    void registerListLooksAsTheStyleDrawsIt() {
        db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES "
                  "('RSSMRA80A01H501U', 'ROSSI', 'MARIO', '77'), ('BNCNCL70B02F205X', 'BIANCHI', 'NICCOLÒ', "
                  "NULL), ('DLFMRA60C03Z131K', 'DE LA FUENTE Y GONZALEZ DEL CASTILLO', 'MARIA JOSÉ', '8')");
        apri(crea<FrmConduttore>);
        QTreeView* v = lista("LvwConduttori");
        QVERIFY(dynamic_cast<CelleLista*>(v->itemDelegate()));
        v->setCurrentIndex(v->model()->index(1, 1));
        for (bool fuoco : {false, true}) {
            if (fuoco)
                focusOn(v);
            const QImage rapida = v->viewport()->grab().toImage();
            QStyledItemDelegate base;
            QAbstractItemDelegate* mia = v->itemDelegate();
            v->setItemDelegate(&base);
            const QImage stile = v->viewport()->grab().toImage();
            v->setItemDelegate(mia);
            QVERIFY(rapida == stile);
        }
    }

    // In the bib list Space ticks and unticks the current row whichever of its cells has the
    // focus, and no other row.
    void spaceTicksTheRowFromEveryColumn() {
        for (int bib : {1, 2, 3})
            iscrivi(A, bib, bib);
        apri(crea<frmPrintPettorali>);
        lascia(0, A);
        auto* v = qobject_cast<ListaIscritti*>(lista());
        const ListaIscrittiModel* m = v->modello();
        auto spunte = [&] {
            QString out;
            for (int r = 0; r < m->rowCount(); ++r)
                out += m->spuntata(r) ? u'x' : u'.';
            return out;
        };
        for (int c = 0; c < m->columnCount(); ++c) {
            // the cell's middle, away from the check box of the first column
            const QRect cella = v->visualRect(m->index(1, c));
            QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                              QPoint(cella.right() - 4, cella.center().y()));
            QCOMPARE(v->currentIndex().column(), c);
            QCOMPARE(spunte(), QStringLiteral("..."));
            QTest::keyClick(v, Qt::Key_Space);
            QCOMPARE(spunte(), QStringLiteral(".x."));
            QTest::keyClick(v, Qt::Key_Space);
            QCOMPARE(spunte(), QStringLiteral("..."));
        }
        // Moving on with the arrows, then Space, ticks the row moved to.
        QTest::keyClick(v, Qt::Key_Down);
        QTest::keyClick(v, Qt::Key_Space);
        QCOMPARE(spunte(), QStringLiteral("..x"));
    }
};

QTEST_MAIN(ListeTest)
#include "ListeTest.moc"
