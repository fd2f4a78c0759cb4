// The road of dogs through a competition: entered with new handlers and dogs and proposed
// bibs, both runs scored, places stored.
#include "entries/RegistriPick.h"
#include "entries/frmClassifica.h"
#include "entries/frmIscrizione.h"
#include "frame/IniReadWrite.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace zar;
using zar::test::child;

namespace {
const QString G = QStringLiteral("20240501ROMA");

struct Dog {
    const char *cf, *surname, *chip, *name;
    const char *p1, *t1, *p2, *t2;
    int place1, place2, combined;
};
} // namespace

class RoadOfOneDogTest : public QObject {
    Q_OBJECT

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

private slots:
    void enterScoreAndRank() {
        test::TestFolder folder;
        SharedValues shared;
        folder.openShared(shared);
        shared.dbGare->exec(QStringLiteral("INSERT INTO TblGare (CodiceGara, Gara) VALUES (?, 'Trofeo')"),
                            {G});
        IniReadWrite("WRITE", "Impostazione Limiti Gara", "Tempo_Limite_2", shared.iniPath(),
                     QStringLiteral("020000"));

        const Dog dogs[] = {
            {"AAA1", "ROSSI", "CHIPA", "FIDO", "90", "013000", "80", "012000", 3, 2, 2},
            {"BBB2", "BIANCHI", "CHIPB", "REX", "95", "014000", "80", "011000", 1, 1, 1},
            {"CCC3", "VERDI", "CHIPC", "LUNA", "90", "012000", "0", "015000", 2, 9999, 9999},
        };
        const Dog* current = nullptr;
        registriPick().gare = [](SharedValues&, PickTarget& t, QWidget*) {
            t.riceviGara(G, QStringLiteral("Trofeo"), QString(), QString(), QString());
        };
        // The registers hand back the new handler and dog as their pick mode does.
        registriPick().conduttori = [&](SharedValues&, PickTarget& t, QWidget*) {
            t.riceviConduttore(QString::fromUtf8(current->cf), QString::fromUtf8(current->surname),
                               QStringLiteral("NOME"), QStringLiteral("T1"));
        };
        registriPick().cani = [&](SharedValues&, PickTarget& t, QWidget*, const QString& chip) {
            t.riceviCane(chip, QString::fromUtf8(current->name), QStringLiteral("METICCIO"),
                         QStringLiteral("SMALL"));
        };

        test::StrictResponder r;
        {
            frmIscrizione form(shared);
            form.show();
            QApplication::setActiveWindow(&form);
            QVERIFY(QTest::qWaitForWindowActive(&form));
            for (const Dog& d : dogs) {
                current = &d;
                auto* cf = child<QLineEdit>(&form, "Txt_Field_0");
                cf->setFocus(Qt::TabFocusReason);
                QTest::keyClicks(cf, QString::fromUtf8(d.cf));
                QTest::keyClick(cf, Qt::Key_Return);
                settle();
                auto* chip = child<QLineEdit>(&form, "Txt_Field_4");
                chip->setFocus(Qt::TabFocusReason);
                QTest::keyClicks(chip, QString::fromUtf8(d.chip));
                QTest::keyClick(chip, Qt::Key_Return);
                settle();
                child<QComboBox>(&form, "Cmb_Field_1")->setEditText(QStringLiteral("TIME"));
                child<QComboBox>(&form, "Cmb_Field_2")->setEditText(QStringLiteral("JUNIOR"));
                r.queue(vbYes);
                QTest::mouseClick(child<QPushButton>(&form, "cmdSave"), Qt::LeftButton);
                QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));
            }
            form.cmdClose_Click();
        }
        QCOMPARE(shared.dbGare->scalar("SELECT group_concat(Pettorale) FROM TblIscrizioni").toString(),
                 QStringLiteral("1,2,3"));
        QCOMPARE(shared.dbGare->scalar("SELECT COUNT(*) FROM TblCani WHERE Razza = 'METICCIO'").toInt(), 3);

        r.queue(vbYes); // the scores form offers the competition just worked on
        frmClassifica scores(shared);
        scores.show();
        QApplication::setActiveWindow(&scores);
        QVERIFY(QTest::qWaitForWindowActive(&scores));
        const QString selection[] = {G, "TIME", "JUNIOR", "SMALL"};
        for (int i = 0; i < 4; ++i) {
            auto* c = child<QComboBox>(&scores, QStringLiteral("Cmb_Field_%1").arg(i));
            c->setFocus(Qt::TabFocusReason);
            settle();
            c->setEditText(selection[i]);
        }
        auto* list = child<ListaIscritti>(&scores, "LstInsRisultati");
        for (int run = 0; run < 2; ++run) {
            QTest::mouseClick(child<QRadioButton>(&scores, QStringLiteral("Opt_Run_%1").arg(run)),
                              Qt::LeftButton);
            settle();
            for (int k = 0; k < 3; ++k) {
                const Dog& d = dogs[k];
                const QRect rect = list->visualRect(list->model()->index(k, 0));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
                auto* points = child<QLineEdit>(&scores, QStringLiteral("Txt_Clss_%1").arg(run * 2));
                auto* time = child<QLineEdit>(&scores, QStringLiteral("Txt_Clss_%1").arg(run * 2 + 1));
                points->setFocus(Qt::TabFocusReason);
                points->setText(QString::fromUtf8(run == 0 ? d.p1 : d.p2));
                QTest::keyClick(points, Qt::Key_Return);
                QVERIFY(time->hasFocus());
                time->setText(QString::fromUtf8(run == 0 ? d.t1 : d.t2));
                r.queue(vbYes);
                QTest::keyClick(time, Qt::Key_Return);
            }
        }
        QCOMPARE(r.pendingAnswers(), 0);
        for (int k = 0; k < 3; ++k) {
            const QVariantList bib{k + 1};
            const auto place = [&](const char* f) {
                return shared.dbGare
                    ->scalar(QStringLiteral("SELECT %1 FROM TblIscrizioni WHERE Pettorale = ?")
                                 .arg(QLatin1String(f)),
                             bib)
                    .toInt();
            };
            QCOMPARE(place("ClassificaRun1"), dogs[k].place1);
            QCOMPARE(place("ClassificaRun2"), dogs[k].place2);
            QCOMPARE(place("ClassificaCombinata"), dogs[k].combined);
        }
        QCOMPARE(list->modello()->testo(1, 11), QStringLiteral("1")); // the list shows the new places
        registriPick() = RegistriPick{[](SharedValues&, PickTarget&, QWidget*) {},
                                      [](SharedValues&, PickTarget&, QWidget*) {},
                                      [](SharedValues&, PickTarget&, QWidget*, const QString&) {}};
    }
};

QTEST_MAIN(RoadOfOneDogTest)
#include "RoadOfOneDogTest.moc"
