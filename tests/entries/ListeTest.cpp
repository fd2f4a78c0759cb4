// The lists of records: their columns' widths, whole headings, a sort that survives every reload
// of the list and of its printout, and ticks by keyboard.
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

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>

#include <cmath>
#include <functional>
#include <numeric>

using namespace zar;
using namespace zar::test;

namespace {

const QString A = QStringLiteral("20240501ROMA"), B = QStringLiteral("20240601PISA");

using Fabbrica = QDialog* (*)(SharedValues&);

} // namespace

class ListeTest : public GuiTestBase, FormBench<QDialog> {
    Q_OBJECT
    std::shared_ptr<RecordingPrinter> printer;
    template <typename F> static QDialog* crea(SharedValues& shared) { return new F(shared); }

    QTreeView* lista() { return child<QTreeView>(form.get(), "LstInsRisultati"); }
    void apri(Fabbrica fabbrica) {
        form.reset(fabbrica(*shared));
        showActive(form.get());
    }
    // An entry whose handler "H<bib> X" names its bib on the printed row.
    void iscrivi(const QString& gara, int bib, int posto, const char* classe = "JUNIOR") {
        db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, 'X')",
                  {QStringLiteral("CF%1").arg(bib), QStringLiteral("H%1").arg(bib)});
        addEntry(db(), gara, bib, {}, QString::fromLatin1(classe));
        db().exec("UPDATE TblIscrizioni SET CodiceFiscale = ?, ClassificaRun1 = ? WHERE Pettorale = ?",
                  {QStringLiteral("CF%1").arg(bib), posto, bib});
    }
    // Types into box i and leaves it, as a user does.
    void lascia(int i, const QString& testo) {
        focusOn(combo(i));
        combo(i)->setEditText(testo);
        focusOn(lista());
    }
    void clicIntestazione(QHeaderView* h, int c) {
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(c) + 4, h->height() / 2));
    }
    // Prints the list (every row ticked in the bib list) and gives the printed rows' bibs in order.
    QString stampati() {
        printer->clear();
        if (auto* bib = dynamic_cast<frmPrintPettorali*>(form.get())) {
            for (int r = 0; r < lista()->model()->rowCount(); ++r) {
                lista()->setCurrentIndex(lista()->model()->index(r, 1));
                QTest::keyClick(lista(), Qt::Key_Space);
            }
            bib->cmdPrint_Click();
        } else {
            static_cast<FormReport*>(form.get())->cmdPrint_Click();
        }
        QStringList out;
        for (const PrintedCall& c : printer->texts())
            if (c.text.startsWith(u'H') && c.text.endsWith(QLatin1String(" X")))
                out << c.text.mid(1).chopped(2);
        return out.join(u' ');
    }

private slots:
    void init() {
        GuiTestBase::init();
        setUpBench(A);
        addCompetition(db(), B);
        shared->printer = printer = std::make_shared<RecordingPrinter>();
    }
    void cleanup() {
        tearDownBench();
        GuiTestBase::cleanup();
    }

    // At its opening size each list's columns are their twips at the screen's resolution, the
    // last the rest, in view; no heading loses a letter, sorted or not, and the sort arrow is
    // drawn above the heading's text, up and down alike.
    void columnsAtTheirWidthsAndHeadingsWhole() {
        const std::pair<Fabbrica, QList<int>> casi[] = {
            {crea<frmIscrizione>, {900, 3500, 2000, 3500}},
            {crea<frmClassifica>, {900, 2700, 1700, 900, 900, 900, 900, 900, 900, 900, 900}},
            {crea<frmReportPartenza>, {900, 3500, 2500, 1000, 1200, 1000}},
            {crea<frmReportClassifica>, {1075, 1025, 2950, 2000, 2000, 1075, 1075, 1075, 1075, 1087}},
            {crea<frmReportIscritti>, {900, 3500, 3500, 1100, 1200}},
            {crea<frmPrintPettorali>, {900, 3500, 2500, 1000, 1000}},
            {crea<FrmConduttore>, {2000, 3500}},
            {crea<FrmCane>, {2000, 3500}},
            {crea<FrmGare>, {1500, 2000, 2000}},
        };
        for (const auto& [fabbrica, twips] : casi) {
            apri(fabbrica);
            auto* v = form->findChild<QTreeView*>();
            auto* h = qobject_cast<IntestazioneLista*>(v->header());
            const int ultima = h->count() - 1;
            QVERIFY(h->sectionViewportPosition(ultima) + h->sectionSize(ultima) <= v->viewport()->width() &&
                    v->horizontalScrollBar()->maximum() == 0);
            QCOMPARE(cutHeadings(v), QStringList());
            for (int c = 0; c < h->count() && h->sectionsClickable(); ++c) {
                const QRect sezione(h->sectionViewportPosition(c) + 2, 0, h->sectionSize(c) - 4, h->height());
                QList<int> freccia[2]; // the rows the arrow changes, pointing up then down
                const QImage prima = h->grab(sezione).toImage();
                for (QList<int>& f : freccia) {
                    clicIntestazione(h, c);
                    const QImage dopo = h->grab(sezione).toImage();
                    for (int y = 0; y < prima.height(); ++y)
                        for (int x = 0; x < prima.width() && !f.contains(y); ++x)
                            if (prima.pixel(x, y) != dopo.pixel(x, y))
                                f << y;
                    QVERIFY(!f.isEmpty() &&
                            f.last() < h->rettangoloTesto(QRect(0, 0, 10, h->height())).top());
                    QVERIFY(h->isSortIndicatorShown() && h->sortIndicatorSection() == c);
                    QCOMPARE(cutHeadings(v), QStringList());
                }
                QCOMPARE(freccia[0], freccia[1]);
            }
            QList<int> attese, viste; // after the sorts too
            for (int t : twips)
                attese << int(std::lround(t * v->logicalDpiX() / 1440.0));
            attese << v->viewport()->width() - std::accumulate(attese.begin(), attese.end(), 0);
            for (int c = 0; c <= ultima; ++c)
                viste << h->sectionSize(c);
            QCOMPARE(viste, attese);
        }
    }

    // After header clicks every reload lists and prints in that order, numbers as numbers, with
    // the arrow on the clicked column; the rankings list keeps the order of the places.
    void theSortSurvivesEveryReload() {
        // bib, run-1 place: by place 11 10 3 1 2; as text the places would give 11 2 10 3 1
        for (const auto& [bib, posto] : {std::pair{1, 4}, {2, 10}, {10, 2}, {11, 1}})
            iscrivi(A, bib, posto);
        iscrivi(A, 3, 3, "SENIOR");
        for (const auto& [bib, posto] : {std::pair{5, 2}, {20, 1}, {100, 3}})
            iscrivi(B, bib, posto);
        QFile ini(shared->iniPath()); // one label an entry
        QVERIFY(ini.open(QIODevice::WriteOnly) &&
                ini.write("[Parametri di Stampa Etichetta]\r\nK=2\r\nK=93\r\nK=99\r\nK=8\r\nK=4\r\nK=2\r\n"
                          "K=0\r\nK=3\r\nK=1\r\nK=0\r\n") > 0);
        ini.close();
        // The reloads: another run, leaving a selection box.
        const QMap<QString, std::function<void()>> ricarica = {
            {"run2",
             [this] { QTest::mouseClick(child<QRadioButton>(form.get(), "Opt_Run_1"), Qt::LeftButton); }},
            {"classe", [this] { lascia(2, "JUNIOR"); }},
            {"A", [this] { lascia(0, A); }},
            {"B", [this] { lascia(0, B); }},
            {"taglia", [this] { lascia(3, "SMALL"); }},
        };
        // form, header clicks; the bibs listed and printed after the clicks, then after each reload
        const std::tuple<Fabbrica, QList<int>, const char*> casi[] = {
            {crea<frmReportPartenza>, {6}, "clic 11 10 3 1 2|run2 11 10 3 1 2|classe 11 10 1 2|B 20 5 100"},
            {crea<frmReportIscritti>, {0, 0}, "clic 11 10 3 2 1|A 11 10 3 2 1|B 100 20 5"},
            {crea<frmPrintPettorali>, {0, 0}, "clic 11 10 3 2 1|classe 11 10 2 1|B 100 20 5"},
            {crea<frmClassifica>, {0, 0}, "clic 1 10 11 2|taglia 1 10 11 2|B 100 20 5"}, // as text
            {crea<frmReportClassifica>,
             {0, 2},
             "clic 11 10 3 1 2|classe 11 10 1 2"}, // by place, no header sort
        };
        for (const auto& [fabbrica, clic, passi] : casi) {
            apri(fabbrica);
            const bool punteggi = dynamic_cast<frmClassifica*>(form.get());
            chooseSelection(f(), punteggi ? QStringList{A, "TIME", "JUNIOR", "SMALL"} : QStringList{A});
            auto* v = qobject_cast<ListaIscritti*>(lista());
            QHeaderView* h = v->header();
            for (int c : clic)
                clicIntestazione(h, c);
            const StatoOrdinamento stato = v->stato();
            for (const QString& passo : QString::fromLatin1(passi).split(u'|')) {
                ricarica.value(passo.section(u' ', 0, 0), [] {})();
                const QString attese = passo.section(u' ', 1);
                // the rankings list has the bibs second, after the places
                const QString lette =
                    column(form.get(), "LstInsRisultati", fabbrica == crea<frmReportClassifica>);
                const QString stampate = punteggi ? attese : stampati();
                QVERIFY2(lette == attese && stampate == attese,
                         qPrintable(form->objectName() + ' ' + passo + ": " + lette + " / " + stampate));
                QVERIFY(h->isSortIndicatorShown()
                            ? h->sortIndicatorSection() == stato.colonna &&
                                  (h->sortIndicatorOrder() == Qt::DescendingOrder) == stato.discendente
                            : stato.colonna < 0);
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
        QTreeView* v = child<QTreeView>(form.get(), "LvwConduttori");
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

    // In the bib list Space ticks and unticks the current row from any of its cells.
    void spaceTicksTheRowFromEveryColumn() {
        for (int bib : {1, 2, 3})
            iscrivi(A, bib, bib);
        apri(crea<frmPrintPettorali>);
        lascia(0, A);
        auto* v = qobject_cast<ListaIscritti*>(lista());
        const ListaIscrittiModel* m = v->modello();
        for (int c = 0; c < m->columnCount(); ++c) {
            v->setCurrentIndex(m->index(1, c));
            for (const bool spuntata : {true, false}) {
                QTest::keyClick(v, Qt::Key_Space);
                QVERIFY2(m->spuntata(1) == spuntata && !m->spuntata(0) && !m->spuntata(2),
                         qPrintable(QString::number(c)));
            }
        }
        QTest::keyClick(v, Qt::Key_Down);
        QTest::keyClick(v, Qt::Key_Space);
        QVERIFY(m->spuntata(2) && !m->spuntata(1));
    }
};

// At 100 dots per inch, where widths taken at a fixed 96 would show.
int main(int argc, char** argv) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "100");
    QApplication app(argc, argv);
    ListeTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ListeTest.moc"
