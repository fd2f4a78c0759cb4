// The program as one piece: the main window's menus and shortcuts open the real forms, the
// entries form opens the real registers in pick mode, and a competition goes from its
// entries to stored places as a user at the desk would take it.
#include "entries/ListaIscritti.h"
#include "frame/IniReadWrite.h"
#include "frame/ZAR_Main.h"
#include "platform/SingleInstance.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace zar;
using zar::test::child;

namespace {

const QString G = QStringLiteral("20240501ROMA");

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Closes a form that a failed check left open, so that the test ends instead of waiting.
struct CloseOnExit {
    QPointer<QWidget> form;
    ~CloseOnExit() {
        if (auto* d = qobject_cast<QDialog*>(form.data()); d && d->isVisible())
            d->reject();
    }
};

// The widget that has the focus, for a combo box its own name.
QString focused() {
    QWidget* w = QApplication::focusWidget();
    if (!w)
        return QString();
    if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget()); combo && combo->lineEdit() == w)
        return combo->objectName();
    return w->objectName();
}

// Types into the box that has the focus, as the user does, and presses Enter.
void typeEnter(const QString& text) {
    QWidget* w = QApplication::focusWidget();
    QVERIFY(w);
    if (!text.isEmpty())
        QTest::keyClicks(w, text);
    QTest::keyClick(w, Qt::Key_Return);
    settle();
}

void click(QWidget* form, const QString& button) {
    auto* b = child<QPushButton>(form, button);
    QVERIFY2(b->isEnabled(), qPrintable(button));
    QTest::mouseClick(b, Qt::LeftButton);
    settle();
}

// Clicks (or double-clicks) the list row whose first column reads `key`.
void pickRow(QWidget* form, const QString& list, const QString& key, bool twice = true) {
    auto* view = child<QAbstractItemView>(form, list);
    QAbstractItemModel* m = view->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        if (m->index(r, 0).data().toString() != key)
            continue;
        const QPoint at = view->visualRect(m->index(r, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        settle();
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no row ") + key));
}

// Waits until the focus is inside `form`, as it is when the user starts typing there.
bool hasFocus(QWidget* form) {
    return QTest::qWaitFor([form] {
        QWidget* w = QApplication::focusWidget();
        return w && w->window() == form;
    });
}

// The desktop gives the focus back to the form under a closed modal one; the offscreen
// platform does not, so the test does it.
bool backTo(QWidget* form) {
    settle();
    form->activateWindow();
    return hasFocus(form);
}

QString text(QWidget* form, const QString& name) {
    if (auto* e = form->findChild<QLineEdit*>(name))
        return e->text();
    if (auto* c = form->findChild<QComboBox*>(name))
        return c->currentText();
    return child<QLabel>(form, name)->text();
}

} // namespace

class AppRoadTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestFolder> m_folder;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<ZAR_Main> m_main;

    SharedValues& shared() { return m_main->shared(); }
    QVariant scalar(const QString& sql, const QVariantList& p = {}) {
        return shared().dbGare->scalar(sql, p);
    }

    // Runs `action` on the modal form that `open` brings up; `open` returns when it closes.
    void drive(const std::function<void()>& open, const QString& formName,
               const std::function<void(QWidget*)>& action) {
        bool ran = false;
        test::onNextModal([&](QWidget* form) {
            CloseOnExit guard{form};
            ran = true;
            QCOMPARE(form->objectName(), formName);
            QVERIFY(hasFocus(form));
            action(form);
        });
        open();
        QVERIFY2(ran, qPrintable(formName));
    }

private slots:
    void init() {
        m_folder = std::make_unique<test::TestFolder>();
        m_instance = std::make_unique<SingleInstance>(m_folder->path());
        m_main = std::make_unique<ZAR_Main>(m_folder->path(), *m_instance);
        shared().openDatabase(); // what a good login leads to
        m_main->show();
        QApplication::setActiveWindow(m_main.get());
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

    void cleanup() {
        m_main.reset();
        m_instance.reset();
        m_folder.reset();
    }

    void roadOfDogsThroughACompetition();
    void keysInUseAreProtected_data();
    void keysInUseAreProtected();
};

void AppRoadTest::roadOfDogsThroughACompetition() {
    test::StrictResponder r;
    IniReadWrite("WRITE", "Impostazione Limiti Gara", "Tempo_Limite_2", shared().iniPath(),
                 QStringLiteral("020000"));

    // The first opening: no last competition yet, so a new one is typed in the register.
    const auto newCompetition = [&](QWidget* gare) {
        QCOMPARE(focused(), QStringLiteral("Txt_Field_0"));
        typeEnter("Trofeo");
        typeEnter("Roma");
        typeEnter("01052024");
        QCOMPARE(focused(), QStringLiteral("Txt_Field_3"));
        QCOMPARE(text(gare, "Txt_Field_2"), QStringLiteral("01/05/2024"));
        typeEnter("Neri");
        r.queue(vbYes);
        click(gare, "cmdSave");
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Gara salvati."));
    };
    const auto firstEntries = [&](QWidget* form) {
        QCOMPARE(text(form, "Lbl_CodiceGara"), G);
        QCOMPARE(text(form, "Lbl_Gara"), QStringLiteral("TROFEO"));
        QCOMPARE(text(form, "Lbl_Giudice"), QStringLiteral("NERI"));
        QCOMPARE(text(form, "Lbl_Data"), QStringLiteral("01/05/2024"));

        // A new handler: the handlers register opens in pick mode; the code is typed again there.
        child<QLineEdit>(form, "Txt_Field_0")->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(child<QLineEdit>(form, "Txt_Field_0"), "aaa1");
        drive([&] { typeEnter(QString()); }, "frmConduttore",
              [&](QWidget* reg) {
                  QCOMPARE(text(reg, "Txt_Field_0"), QString());
                  QCOMPARE(focused(), QStringLiteral("Txt_Field_0"));
                  typeEnter("aaa1");
                  for (const char* t : {"rossi", "mario", "", "", "", "", "", "", ""})
                      typeEnter(QString::fromUtf8(t));
                  QCOMPARE(focused(), QStringLiteral("Txt_Field_9"));
                  typeEnter("t001");
                  r.queue(vbYes);
                  click(reg, "cmdSave");
                  QCOMPARE(r.texts().last(), QStringLiteral("Dati Conduttore salvati."));
              });
        QVERIFY(backTo(form));
        QCOMPARE(text(form, "Txt_Field_0"), QStringLiteral("AAA1"));
        QCOMPARE(text(form, "Txt_Field_1"), QStringLiteral("ROSSI"));
        QCOMPARE(text(form, "Txt_Field_2"), QStringLiteral("MARIO"));
        QCOMPARE(text(form, "Txt_Field_3"), QStringLiteral("T001"));
        QCOMPARE(text(form, "Txt_Pettorale"), QStringLiteral("1"));
        QVERIFY(child<QPushButton>(form, "cmdPettorale")->isEnabled());
        QCOMPARE(focused(), QStringLiteral("Txt_Field_1"));

        // A new dog: the dogs register opens with the chip in its key box.
        child<QLineEdit>(form, "Txt_Field_4")->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(child<QLineEdit>(form, "Txt_Field_4"), "chipa");
        drive([&] { typeEnter(QString()); }, "frmCane",
              [&](QWidget* reg) {
                  QCOMPARE(text(reg, "Txt_Field_0"), QStringLiteral("CHIPA"));
                  typeEnter(QString());
                  typeEnter("fido");
                  QVERIFY(child<QPushButton>(reg, "cmdSave")->isEnabled());
                  typeEnter("meticcio");
                  QCOMPARE(focused(), QStringLiteral("Cmb_Taglia"));
                  typeEnter("SMALL");
                  r.queue(vbYes);
                  click(reg, "cmdSave");
                  QCOMPARE(r.texts().last(), QStringLiteral("Dati Ccane salvati."));
              });
        QVERIFY(backTo(form));
        QCOMPARE(text(form, "Txt_Field_4"), QStringLiteral("CHIPA"));
        QCOMPARE(text(form, "Txt_Field_5"), QStringLiteral("FIDO"));
        QCOMPARE(text(form, "Txt_Field_6"), QStringLiteral("METICCIO"));
        QCOMPARE(text(form, "Cmb_Field_0"), QStringLiteral("SMALL"));
        QVERIFY(child<QPushButton>(form, "cmdSave")->isEnabled());

        child<QComboBox>(form, "Cmb_Field_1")->setFocus(Qt::MouseFocusReason);
        typeEnter("TIME");
        typeEnter("JUNIOR");
        r.queue(vbYes);
        click(form, "cmdSave");
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));
        QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("1"));
        click(form, "cmdClose");
    };
    // A dog of the same competition is refused and its boxes emptied.
    const auto refusedDog = [&](QWidget* form) {
        QCOMPARE(r.texts().last(), QStringLiteral("CANE già iscritto a questa competizione"));
        QCOMPARE(r.shown().last().style, int(vbOKOnly));
        for (const char* box : {"Txt_Field_4", "Txt_Field_5", "Txt_Field_6", "Cmb_Field_0"})
            QCOMPARE(text(form, box), QString());
        QCOMPARE(focused(), QStringLiteral("Txt_Field_4"));
    };
    const auto moreEntries = [&](QWidget* form) {
        QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("1"));
        // A known handler and a new dog.
        child<QLineEdit>(form, "Txt_Field_0")->setFocus(Qt::MouseFocusReason);
        typeEnter("aaa1");
        QCOMPARE(text(form, "Txt_Field_1"), QStringLiteral("ROSSI"));
        QCOMPARE(text(form, "Txt_Pettorale"), QStringLiteral("2"));
        child<QLineEdit>(form, "Txt_Field_4")->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(child<QLineEdit>(form, "Txt_Field_4"), "chipb");
        drive([&] { typeEnter(QString()); }, "frmCane",
              [&](QWidget* reg) {
                  typeEnter(QString());
                  QVERIFY(child<QPushButton>(reg, "cmdSave")->isEnabled()); // not in the register
                  typeEnter("rex");
                  typeEnter("boxer");
                  typeEnter("SMALL");
                  r.queue(vbYes);
                  click(reg, "cmdSave");
              });
        QVERIFY(backTo(form));
        child<QComboBox>(form, "Cmb_Field_1")->setFocus(Qt::MouseFocusReason);
        typeEnter("TIME");
        typeEnter("JUNIOR");
        r.queue(vbYes);
        click(form, "cmdSave");
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));

        // A mistyped code: the user finds the handler in the register and hands it back.
        child<QLineEdit>(form, "Txt_Field_0")->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(child<QLineEdit>(form, "Txt_Field_0"), "aaa7");
        drive([&] { typeEnter(QString()); }, "frmConduttore",
              [&](QWidget* reg) {
                  typeEnter("aaa1");
                  QCOMPARE(text(reg, "Txt_Field_1"), QStringLiteral("ROSSI"));
                  click(reg, "cmdIscriz");
              });
        QVERIFY(backTo(form));
        QCOMPARE(text(form, "Txt_Field_0"), QStringLiteral("AAA1"));
        QCOMPARE(text(form, "Txt_Pettorale"), QStringLiteral("3"));

        // The first dog again: known, and already entered.
        child<QLineEdit>(form, "Txt_Field_4")->setFocus(Qt::MouseFocusReason);
        typeEnter("chipa");
        refusedDog(form);
        // An unknown chip, and the user picks the second dog from the register's list.
        QTest::keyClicks(child<QLineEdit>(form, "Txt_Field_4"), "chipx");
        drive([&] { typeEnter(QString()); }, "frmCane",
              [&](QWidget* reg) { pickRow(reg, "LvwCani", "CHIPB"); });
        QVERIFY(backTo(form));
        refusedDog(form);
        // A new dog at last.
        QTest::keyClicks(child<QLineEdit>(form, "Txt_Field_4"), "chipc");
        drive([&] { typeEnter(QString()); }, "frmCane",
              [&](QWidget* reg) {
                  typeEnter(QString());
                  typeEnter("luna");
                  typeEnter("setter");
                  typeEnter("SMALL");
                  r.queue(vbYes);
                  click(reg, "cmdSave");
              });
        QVERIFY(backTo(form));
        QCOMPARE(text(form, "Txt_Field_5"), QStringLiteral("LUNA"));
        QCOMPARE(text(form, "Cmb_Field_0"), QStringLiteral("SMALL"));

        // A typed bib: one in use is refused, a free one accepted.
        click(form, "cmdPettorale");
        QCOMPARE(focused(), QStringLiteral("Txt_Pettorale"));
        QVERIFY(!child<QPushButton>(form, "cmdSave")->isEnabled());
        typeEnter("2");
        QCOMPARE(r.texts().last(), QStringLiteral("PETTORALE già utilizzato per questa competizione"));
        QVERIFY(!child<QPushButton>(form, "cmdSave")->isEnabled());
        QCOMPARE(focused(), QStringLiteral("Txt_Pettorale"));
        typeEnter("10"); // the refused text is selected, so typing replaces it
        QVERIFY(child<QPushButton>(form, "cmdSave")->isEnabled());
        child<QComboBox>(form, "Cmb_Field_1")->setFocus(Qt::MouseFocusReason);
        typeEnter("TIME");
        typeEnter("JUNIOR");
        r.queue(vbYes);
        click(form, "cmdSave");
        QCOMPARE(r.texts().last(), QStringLiteral("Dati Iscrizione salvati."));
        QCOMPARE(text(form, "LblNumRecords"), QStringLiteral("3"));
        click(form, "cmdClose");
    };

    bool entered = false;
    drive([&] { m_main->menuItem("mnIscrizioni")->trigger(); }, "frmGare",
          [&](QWidget* gare) {
              // The entries form comes up once the register has handed the competition back.
              test::onNextModal([&](QWidget* form) {
                  CloseOnExit guard{form};
                  entered = true;
                  QCOMPARE(form->objectName(), QStringLiteral("frmIscrizione"));
                  QVERIFY(hasFocus(form));
                  firstEntries(form);
              });
              newCompetition(gare);
          });
    QVERIFY(entered);
    QCOMPARE(r.pendingAnswers(), 0);
    QCOMPARE(IniReadWrite("GET", "Ultima Gara", "Codice_Gara", shared().iniPath()), G);
    QCOMPARE(
        scalar("SELECT CodiceFiscale || ',' || Cognome || ',' || TesseraCIS FROM TblConduttori").toString(),
        QStringLiteral("AAA1,ROSSI,T001"));
    QCOMPARE(scalar("SELECT Pettorale || CodiceGara || CodiceFiscale || Microchip || Categoria || Classe || "
                    "Taglia FROM TblIscrizioni")
                 .toString(),
             QStringLiteral("1") + G + "AAA1CHIPATIMEJUNIORSMALL");

    // The second opening, from the shortcut: the register offers the last competition.
    m_main->showPanel(0);
    r.queue(vbYes);
    entered = false;
    test::onNextModal([&](QWidget* form) {
        CloseOnExit guard{form};
        entered = true;
        QCOMPARE(form->objectName(), QStringLiteral("frmIscrizione"));
        QVERIFY(hasFocus(form));
        QCOMPARE(r.texts().last(), QStringLiteral("Ultime iscrizioni fatte per la gara : ") + G +
                                       QStringLiteral("\n\rContinuare le iscrizioni per questa gara?"));
        QCOMPARE(r.shown().last().style, 52);
        QCOMPARE(text(form, "Lbl_CodiceGara"), G);
        moreEntries(form);
    });
    QTest::mouseClick(child<QLabel>(m_main.get(), "LblIscrizione"), Qt::LeftButton);
    QVERIFY(entered);
    QCOMPARE(r.pendingAnswers(), 0);
    QCOMPARE(scalar("SELECT group_concat(Pettorale || Microchip, ' ') FROM "
                    "(SELECT * FROM TblIscrizioni ORDER BY Pettorale)")
                 .toString(),
             QStringLiteral("1CHIPA 2CHIPB 10CHIPC"));
    QCOMPARE(scalar("SELECT COUNT(*) FROM TblConduttori").toInt(), 1);
    QCOMPARE(scalar("SELECT group_concat(Microchip || NomeCane || Taglia, ' ') FROM TblCani").toString(),
             QStringLiteral("CHIPAFIDOSMALL CHIPBREXSMALL CHIPCLUNASMALL"));

    // The scores: both runs of the three dogs, each saved by Enter in its time box.
    struct Score {
        const char *bib, *p1, *t1, *p2, *t2;
        int place1, place2, combined;
    };
    const Score scores[] = {
        {"1", "90", "013000", "80", "012000", 3, 2, 2},
        {"2", "95", "014000", "80", "011000", 1, 1, 1},
        {"10", "90", "012000", "0", "015000", 2, 9999, 9999},
    };
    r.queue(vbYes); // the competition just worked on is offered
    drive(
        [&] { m_main->menuItem("mnPunteggi")->trigger(); }, "frmClassifica",
        [&](QWidget* form) {
            settle();
            QCOMPARE(r.pendingAnswers(), 0);
            QCOMPARE(text(form, "Cmb_Field_0"), G);
            QCOMPARE(text(form, "Lbl_Gara"), QStringLiteral("TROFEO"));
            const char* selection[] = {"TIME", "JUNIOR", "SMALL"};
            for (int i = 1; i <= 3; ++i) {
                child<QComboBox>(form, QStringLiteral("Cmb_Field_%1").arg(i))->setFocus(Qt::MouseFocusReason);
                settle();
                QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(selection[i - 1]));
            }
            auto* list = child<ListaIscritti>(form, "LstInsRisultati");
            list->setFocus(Qt::MouseFocusReason);
            settle();
            QCOMPARE(list->model()->rowCount(), 3);
            for (int run = 0; run < 2; ++run) {
                QTest::mouseClick(child<QRadioButton>(form, QStringLiteral("Opt_Run_%1").arg(run)),
                                  Qt::LeftButton);
                for (const Score& sc : scores) {
                    pickRow(form, "LstInsRisultati", QString::fromUtf8(sc.bib), false);
                    auto* points = child<QLineEdit>(form, QStringLiteral("Txt_Clss_%1").arg(run * 2));
                    QTest::mouseClick(points, Qt::LeftButton);
                    points->selectAll();
                    typeEnter(QString::fromUtf8(run == 0 ? sc.p1 : sc.p2));
                    QCOMPARE(focused(), QStringLiteral("Txt_Clss_%1").arg(run * 2 + 1));
                    QApplication::focusWidget()->metaObject()->invokeMethod(QApplication::focusWidget(),
                                                                            "selectAll");
                    r.queue(vbYes);
                    typeEnter(QString::fromUtf8(run == 0 ? sc.t1 : sc.t2));
                    QCOMPARE(r.pendingAnswers(), 0);
                }
            }
            click(form, "cmdClose");
        });
    for (const Score& sc : scores) {
        const QVariantList bib{QString::fromUtf8(sc.bib)};
        const auto place = [&](const char* f) {
            return scalar(QStringLiteral("SELECT %1 FROM TblIscrizioni WHERE Pettorale = ?")
                              .arg(QLatin1String(f)),
                          bib)
                .toInt();
        };
        QCOMPARE(place("ClassificaRun1"), sc.place1);
        QCOMPARE(place("ClassificaRun2"), sc.place2);
        QCOMPARE(place("ClassificaCombinata"), sc.combined);
    }
}

void AppRoadTest::keysInUseAreProtected_data() {
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("changedBox");
    QTest::addColumn<QString>("changeRefused");
    QTest::addColumn<QString>("deleteRefused");
    QTest::addColumn<QString>("stored");
    QTest::newRow("handler")
        << "mnConduttori"
        << "frmConduttore"
        << "LvwConduttori"
        << "AAA1" << 0
        << "Non è possibile MODIFICARE il CODICE FISCALE\r\nSono presenti degli iscritti a "
           "competizioni con il Codice Fiscale: AAA1"
        << "Non è possibile cancellare il record perchè il CONDUTTORE è presente tra gli "
           "iscritti alle gare"
        << "SELECT group_concat(CodiceFiscale) FROM TblConduttori";
    QTest::newRow("dog")
        << "mnCani"
        << "frmCane"
        << "LvwCani"
        << "CHIPA" << 0
        << "Non è possibile MODIFICARE il codice MICROCHIP\r\nSono presenti degli iscritti a "
           "competizioni con Microchip: CHIPA"
        << "Non è possibile CANCELLARE il record perchè il CANE è presente tra gli iscritti a gare"
        << "SELECT group_concat(Microchip) FROM TblCani";
    QTest::newRow("competition")
        << "mnGare"
        << "frmGare"
        << "LvwGare" << G << 1
        << "Non è possibile MODIFICARE la LOCALITA' o la DATA della GARA\r\nSono presenti "
           "degli iscritti a questa competizione\r\n Codice Gara :" +
               G
        << "Non è possibile cancellare questo record GARA, perchè sono presenti degli "
           "iscritti alla competizione"
        << "SELECT group_concat(CodiceGara || Localita) FROM TblGare";
}

// A key that an entry refers to can be neither changed nor deleted.
void AppRoadTest::keysInUseAreProtected() {
    QFETCH(QString, menuItem);
    QFETCH(QString, form);
    QFETCH(QString, list);
    QFETCH(QString, key);
    QFETCH(int, changedBox);
    QFETCH(QString, changeRefused);
    QFETCH(QString, deleteRefused);
    QFETCH(QString, stored);
    test::StrictResponder r;
    Database& db = *shared().dbGare;
    db.exec(
        "INSERT INTO TblGare (CodiceGara, Gara, Localita, Data) VALUES (?, 'TROFEO', 'ROMA', '01/05/2024')",
        {G});
    db.exec(
        "INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) VALUES ('AAA1', 'ROSSI', 'M', "
        "'T1')");
    db.exec("INSERT INTO TblCani (Microchip, NomeCane, Razza) VALUES ('CHIPA', 'FIDO', 'BOXER')");
    db.exec(
        "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip) VALUES (?, 1, 'AAA1', "
        "'CHIPA')",
        {G});
    const QString before = scalar(stored).toString();

    drive([&] { m_main->menuItem(menuItem)->trigger(); }, form,
          [&](QWidget* f) {
              pickRow(f, list, key);
              QVERIFY(child<QPushButton>(f, "cmdDelete")->isEnabled());
              auto* box = child<QLineEdit>(f, QStringLiteral("Txt_Field_%1").arg(changedBox));
              box->setFocus(Qt::MouseFocusReason);
              box->selectAll();
              typeEnter("PISA9"); // leaving the box marks the change
              r.queue(vbYes);
              click(f, "cmdSave");
              QCOMPARE(r.texts().last(), changeRefused);
              QCOMPARE(r.shown().last().style, int(vbOKOnly));
              QVERIFY(!child<QPushButton>(f, "cmdDelete")->isEnabled());
              QCOMPARE(box->text(), QStringLiteral("PISA9")); // kept for a correction

              click(f, "cmdClose");
          });
    // The typed key narrowed the list; the next opening shows every record again.
    drive([&] { m_main->menuItem(menuItem)->trigger(); }, form,
          [&](QWidget* f) {
              pickRow(f, list, key);
              r.queue(vbYes);
              click(f, "cmdDelete");
              QCOMPARE(r.texts().last(), deleteRefused);
              QCOMPARE(r.shown().last().style, int(vbOKOnly));
              QVERIFY(!child<QPushButton>(f, "cmdDelete")->isEnabled());
              click(f, "cmdClose");
          });
    QCOMPARE(r.pendingAnswers(), 0);
    QCOMPARE(scalar(stored).toString(), before);
    QCOMPARE(scalar("SELECT COUNT(*) FROM TblIscrizioni WHERE CodiceGara = ? AND CodiceFiscale = 'AAA1' AND "
                    "Microchip = 'CHIPA'",
                    {G})
                 .toInt(),
             1);
}

QTEST_MAIN(AppRoadTest)
#include "AppRoadTest.moc"
