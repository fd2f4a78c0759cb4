#include "frame/ZAR_Main.h"
#include "frame/frmBackUp.h"
#include "frame/frmSplash.h"
#include "platform/ContextHelp.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace zar;
using namespace zar::test;

namespace {

// The names of the widgets painted, in order, each once per run of paints.
struct PaintOrder : QObject {
    QStringList seen;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && seen.value(seen.size() - 1) != watched->objectName())
            seen << watched->objectName();
        return false;
    }
};

} // namespace

class ZAR_MainTest : public GuiTestBase {
    Q_OBJECT

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<ZAR_Main> m_main;

    QString m_loginLeft; // the last login's animation, password box shown, and whether left open

    // Runs the start-up with a login that, once on screen, runs `look`, lets its own timer run
    // out (quickly), then types each try followed by Enter ("\x1b" is the Esc key).
    bool startUp(const QStringList& typed = {QStringLiteral("zar")},
                 const std::function<void(frmSplash&)>& look = {}) {
        m_loginLeft.clear();
        m_main->shared().modalHook = [&](QDialog& form) {
            auto* login = qobject_cast<frmSplash*>(&form);
            if (!login)
                return int(QDialog::Rejected);
            form.show();
            if (look)
                look(*login);
            login->Timer1->setInterval(1); // the same ticks, without the wait between them
            if (!QTest::qWaitFor([&] { return !login->Timer1->isActive(); }, 5000))
                return int(QDialog::Rejected);
            m_loginLeft = login->Label1->text() + (login->txt_Password->isVisible() ? " >" : "");
            for (const QString& t : typed) {
                QTest::keyClicks(login->txt_Password, t);
                if (t != QLatin1String("\x1b"))
                    QTest::keyClick(login->txt_Password, Qt::Key_Return);
            }
            m_loginLeft += form.isVisible() ? " open" : "";
            return form.result();
        };
        const bool ok = m_main->MDIForm_Load();
        m_main->shared().modalHook = {};
        return ok;
    }

private slots:
    void init() {
        GuiTestBase::init();
        m_folder = std::make_unique<TestFolder>();
        m_instance = std::make_unique<SingleInstance>(m_folder->path());
        QVERIFY(m_instance->start());
        m_main = std::make_unique<ZAR_Main>(m_folder->path(), *m_instance);
    }
    void cleanup() {
        m_main.reset();
        m_instance.reset();
        m_folder.reset();
        GuiTestBase::cleanup();
    }

    // The program's own way finishes the window behind the login, once, whether or not the
    // login gets painted, and paints it only once the login is on screen. Under the login the
    // window is shown and locked, the stored password read and the file released; after it the
    // window is usable, holding the file.
    void windowBuiltAfterLogin() {
        for (const int painted : {-1, 1, 0}) { // -1: the window built whole before the login
            m_main = std::make_unique<ZAR_Main>(m_folder->path(), *m_instance,
                                                painted < 0 ? ZAR_Main::Construction::Complete
                                                            : ZAR_Main::Construction::AfterLogin);
            QSignalSpy completed(m_main.get(), &ZAR_Main::completed);
            QCOMPARE(!m_main->menuItem(QStringLiteral("mnExit")), painted >= 0);
            QString seen;
            bool behind = painted != 1;
            PaintOrder order;
            m_main->findChild<QWidget*>(QStringLiteral("Background"))->installEventFilter(&order);
            QVERIFY(startUp({QStringLiteral("Zar")}, [&](frmSplash& login) {
                login.installEventFilter(&order);
                seen = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                           .arg(m_main->isVisible())
                           .arg(!m_main->isEnabled())
                           .arg(!m_main->shared().dbGare)
                           .arg(login.LeggiPassword() == frmSplash::LoadResult::Ok &&
                                !m_main->shared().rsPassword)
                           .arg(login.txt_Password->echoMode() == QLineEdit::Password)
                           .arg(bool(Database::open(m_folder->file(QStringLiteral("ZAR.mdb")))))
                           .arg(!m_main->statusPanel1 || m_main->statusPanel1->text().isEmpty());
                if (painted == 1 && QTest::qWaitForWindowExposed(&login))
                    behind =
                        QTest::qWaitFor([&] { return m_main->isComplete(); }, 2000) && !m_main->isEnabled();
            }));
            QCOMPARE(seen, QStringLiteral("1 1 1 1 1 1 1"));
            QVERIFY(behind);
            if (painted == 1)
                QCOMPARE(order.seen.value(0), QStringLiteral("frmSplash"));
            QVERIFY(m_main->updatesEnabled());
            QVERIFY(QTest::qWaitFor([&] { return order.seen.contains(QStringLiteral("Background")); }, 2000));
            QCoreApplication::processEvents(); // a pending completion does nothing twice
            QCOMPARE(completed.count(), painted < 0 ? 0 : 1);
            QVERIFY(m_main->isEnabled() && m_main->menuItem(QStringLiteral("mnExit")));
            QCOMPARE(m_main->windowTitle(), QStringLiteral("ZAR Gestione Gare"));
            QCOMPARE(m_main->statusPanel1->text(), QStringLiteral("Versione ") + ZAR_Main::versionText());
            QCOMPARE(m_main->contextHelp().helpFile(), m_folder->file(QStringLiteral("DOD_Gare.chm")));
            QVERIFY_THROWS_EXCEPTION(DbError, Database::open(m_folder->file(QStringLiteral("ZAR.mdb"))));
        }
    }

    // Each try is typed over the last one, which a wrong password leaves selected; the third
    // wrong one ends the program, as Esc does. No stored password is never let through, and an
    // empty one is a value the change form may store. The password box comes after six ticks,
    // unless the password cannot be read: that ends the login at the first.
    void login_data() {
        QTest::addColumn<QString>("setUp"); // a statement on the database, or "no file"
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("exitCode"); // -1: the program goes on
        const QString wrong = described(QStringLiteral("Password non valida."), vbExclamation);
        const QString end = described(QStringLiteral("You have reached the maximum tries to enter your "
                                                     "password.\rSystem is terminating."),
                                      vbExclamation);
        const QString noPassword = described(QStringLiteral("Nessuna password registrata nel database: il "
                                                            "programma non può essere avviato."),
                                             vbCritical);
        const QString stored = QStringLiteral("UPDATE TblPassword SET Password = '%1'");
        QTest::newRow("case ignored") << stored.arg("Cane9") << QStringList{"cANE9"} << QStringList() << -1;
        QTest::newRow("accented") << stored.arg(QString::fromUtf8("Città"))
                                  << QStringList{QString::fromUtf8("CITTÀ")} << QStringList() << -1;
        QTest::newRow("one more char") << "" << QStringList{"ZARR", "\x1b"} << QStringList{wrong} << 0;
        QTest::newRow("empty") << "" << QStringList{"", "\x1b"} << QStringList{wrong} << 0;
        QTest::newRow("second try") << "" << QStringList{"uno", "zar"} << QStringList{wrong} << -1;
        QTest::newRow("third wrong ends")
            << "" << QStringList{"uno", "due", "tre"} << QStringList{wrong, wrong, wrong, end} << 0;
        QTest::newRow("empty text stored") << stored.arg("") << QStringList{""} << QStringList() << -1;
        QTest::newRow("no record") << "DELETE FROM TblPassword" << QStringList{"ZAR"}
                                   << QStringList{noPassword} << 1;
        QTest::newRow("null password")
            << "UPDATE TblPassword SET Password = NULL" << QStringList{"ZAR"} << QStringList{noPassword} << 1;
        QTest::newRow("no file")
            << "no file" << QStringList{"ZAR"}
            << QStringList{described(QStringLiteral("Il file del database \"%1\" non esiste."), vbCritical)}
            << 1;
    }
    void login() {
        QFETCH(QString, setUp);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, boxes);
        QFETCH(int, exitCode);
        const QString file = m_folder->file(QStringLiteral("ZAR.mdb"));
        if (setUp == QLatin1String("no file"))
            QVERIFY(QFile::remove(file));
        else if (!setUp.isEmpty())
            Database::open(file)->exec(setUp);
        QCOMPARE(startUp(typed), exitCode < 0);
        QCOMPARE(described(takeBoxes()), boxes.replaceInStrings(QStringLiteral("%1"), file));
        QCOMPARE(m_loginLeft, exitCode == 1 ? QStringLiteral("Loading") : QStringLiteral("Loading...... >"));
        QCOMPARE(m_main->exitCode(), std::max(exitCode, 0));
        QCOMPARE(m_main->isEnabled(), exitCode < 0);
        QCOMPARE(bool(m_main->shared().dbGare), exitCode < 0);
    }

    // Asked from the close box and from Exit; No keeps everything as it was.
    void exitQuestion() {
        QVERIFY(startUp());
        m_main->showPanel(2);
        QSignalSpy ended(m_main.get(), &ZAR_Main::programEnded);
        const std::pair<bool, int> rows[] = {{true, vbNo}, {false, vbNo}, {true, vbYes}, {false, vbYes}};
        int yes = 0;
        for (const auto& [closeBox, reply] : rows) {
            answer({reply});
            if (closeBox)
                QVERIFY(!m_main->close());
            else
                trigger(m_main.get(), QStringLiteral("mnExit"));
            QCOMPARE(
                described(takeBoxes()),
                QStringList{described(QStringLiteral("Vuoi terminare il programma?"), vbYesNo + vbQuestion)});
            yes += reply == vbYes;
            QCOMPARE(ended.count(), yes);
            QVERIFY(m_main->isVisible() && m_main->shared().dbGare);
            QVERIFY(m_main->Frame1[2]->isVisible() && m_main->Frame1[0]->isHidden() &&
                    m_main->Frame1[4]->isHidden());
        }
    }

    // Icon and label of each shortcut run its menu item, on a left click only.
    void shortcutIconAndLabelRunTheSameMenuItem() {
        QVERIFY(startUp());
        m_main->shared().modalHook = [](QDialog&) { return int(QDialog::Rejected); };
        const struct {
            int panel;
            const char *icon, *label, *caption, *item;
        } rows[] = {{0, "Img_Iscrizione", "LblIscrizione", "&Iscrizione", "mnIscrizioni"},
                    {0, "Img_Classifica", "LblClassifica", "&Classifica", "mnPunteggi"},
                    {1, "img_AddNewItemOfJewelry", "Label12", "Gare", "mnGare"},
                    {1, "imgCndt", "LblCndt", "Conduttori", "mnConduttori"},
                    {1, "img_Cani", "LblCani", "Cani", "mnCani"},
                    {2, "ImgPtt", "LblPtt", "Pettorali", "mnPettorali"},
                    {2, "ImgOrd", "LblOrd", "Ordine Partenza", "mnOrdinePartenze"},
                    {2, "ImgClss", "LblClss", "Classifica", "mnClassifiche"},
                    {2, "ImgIscr", "LblIscr", "Iscritti", "mnIscritti"},
                    {3, "img_BackUP", "LblBackup", "BackUp Database", "mnBackUp"},
                    {3, "Img_Sncr", "LblSncr", "Sincronizzazione DB", "mnSincronizzazione"},
                    {4, "Img_About", "LblAbout", "About the System", "mnAboutZAR"},
                    {3, "img_ChangePassword", "Lbl_ChangePassword", "Cambio Password", "mnCambioPassword"}};
        QStringList wrong;
        for (const auto& r : rows) { // a right click and a press dragged off do nothing
            m_main->showPanel(r.panel);
            QFrame* frame = m_main->Frame1[size_t(r.panel)];
            auto* img = child<QLabel>(frame, QLatin1String(r.icon));
            auto* lbl = child<QLabel>(frame, QLatin1String(r.label));
            QSignalSpy triggered(m_main->menuItem(QLatin1String(r.item)), &QAction::triggered);
            QTest::mouseClick(img, Qt::LeftButton);
            const bool iconRan = triggered.count() == 1;
            QTest::mouseClick(lbl, Qt::LeftButton);
            QTest::mouseClick(img, Qt::RightButton);
            QTest::mousePress(lbl, Qt::LeftButton);
            QTest::mouseRelease(lbl, Qt::LeftButton, {}, QPoint(lbl->width() / 2, -30));
            if (lbl->text() != QLatin1String(r.caption) || !img->isVisible() || !lbl->isVisible() ||
                !iconRan || triggered.count() != 2)
                wrong << QLatin1String(r.icon);
        }
        QCOMPARE(wrong, QStringList());
    }

    // Each form opens from its item; a backup that cannot put the database back ends the program,
    // and a printer choice given up changes nothing.
    void backUpAboutAndPrinterSetup() {
        QVERIFY(startUp());
        QStringList forms;
        m_main->shared().modalHook = [&](QDialog& form) {
            forms << form.metaObject()->className();
            if (auto* backup = qobject_cast<frmBackUp*>(&form)) {
                backup->setDirlistPath(m_folder->path());
                backup->cmdSave_Click();
            }
            return int(QDialog::Rejected);
        };
        QSignalSpy ended(m_main.get(), &ZAR_Main::programEnded);
        m_main->shared().printerName = QStringLiteral("Ufficio");
        for (const char* item : {"mnuFileSta", "mnAboutZAR", "mnCambioPassword", "mnBackUp"})
            trigger(m_main.get(), QLatin1String(item));
        QCOMPARE(m_main->shared().printerName, QStringLiteral("Ufficio"));
        QCOMPARE(ended.count(), 0);
        QVERIFY(QFile::remove(m_folder->file(QStringLiteral("ZAR.mdb"))));
        trigger(m_main.get(), QStringLiteral("mnBackUp"));
        QCOMPARE(forms, QStringList({"zar::PrinterSetupDialog", "zar::frmAbout", "zar::frmChangePassword",
                                     "zar::frmBackUp", "zar::frmBackUp"}));
        QCOMPARE(takeBoxes().size(), 3); // saved; then not saved, and the end
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), 1);
        QVERIFY(m_main->shared().frmBackUp.isNull() && m_main->shared().frmAbout.isNull());
    }

    // The about box: its caption, the status bar's version line, OK both default and cancel button.
    // Enter, Esc and the close box each end it, and the main window is the active one again.
    void aboutBoxEndsEveryWayBackToTheMainWindow() {
        QVERIFY(startUp());
        for (const auto& [way, key] :
             {std::pair{"Enter", Qt::Key_Return}, {"Esc", Qt::Key_Escape}, {"close box", Qt::Key_unknown}}) {
            QString seen;
            drive([&] { trigger(m_main.get(), QStringLiteral("mnAboutZAR")); }, QStringLiteral("frmAbout"),
                  [&](QWidget* about) {
                      seen = about->windowTitle() + '|' + text(about, "Label2") + '|' + focused() + '|' +
                             QString::number(child<QPushButton>(about, "CmdOK")->isDefault());
                      if (key == Qt::Key_unknown)
                          about->close();
                      else
                          QTest::keyClick(QApplication::focusWidget(), key);
                      settle();
                      seen += about->isVisible() ? " open" : "";
                  });
            QCOMPARE(seen + ' ' + way,
                     QStringLiteral("About Daduded|%1|CmdOK|1 %2").arg(m_main->statusPanel1->text(), way));
            QVERIFY2(m_main->shared().frmAbout.isNull() &&
                         QTest::qWaitFor([&] { return QApplication::activeWindow() == m_main.get(); }, 2000),
                     way);
        }
        QCOMPARE(m_main->statusPanel1->text(), QStringLiteral("Versione ") + ZAR_Main::versionText());
    }

    // The manual, the calculator and the editor from their items: opened or started, else a box.
    void shellItems() {
        QVERIFY(startUp());
        const QString pdf = m_folder->file(QStringLiteral("ZAR manuale d'uso.pdf"));
        const std::pair<const char*, QString> items[] = {
            {"mnZARHelp",
             QStringLiteral("Impossibile aprire il file \"%1\": nel sistema non c'è un programma "
                            "che apra questo tipo di file.")
                 .arg(pdf)},
            {"mnCalcolatrice", QStringLiteral("La calcolatrice non è disponibile ...")},
            {"mnBloccoNote", QStringLiteral("Il blocco note non è disponibile ...")}};
        ShellRecorder shell;
        trigger(m_main.get(), QStringLiteral("mnZARHelp")); // no manual in the folder yet
        QCOMPARE(described(takeBoxes()),
                 QStringList{described(QStringLiteral("File Non Trovato"), vbOKOnly)});
        QFile manual(pdf);
        QVERIFY(manual.open(QIODevice::WriteOnly));
        for (const auto& [item, failure] : items)
            for (const bool works : {true, false}) {
                shell.openResult = shell.startResult = works;
                trigger(m_main.get(), QLatin1String(item));
                QCOMPARE(described(takeBoxes()),
                         works ? QStringList() : QStringList{described(failure, vbExclamation)});
            }
        QCOMPARE(shell.opened, QStringList({pdf, pdf}));
        const QStringList calculator = calculatorPrograms(), editor = editorPrograms();
        QCOMPARE(shell.started, QList<QStringList>({calculator, calculator, editor, editor}));
    }

    // F1 on a highlighted item opens the help file at the item's number, without running it;
    // on an opened menu with nothing chosen, at the menu's; a missing file is said so.
    void f1OpensTheHelpFile() {
        QVERIFY(startUp());
        ShellRecorder shell;
        auto* tools = m_main->menuBar()->findChild<QMenu*>(QStringLiteral("mnTools"));
        tools->setActiveAction(m_main->menuItem(QStringLiteral("mnBloccoNote")));
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(tools, &f1);
        QCOMPARE(described(takeBoxes()),
                 QStringList{described(QStringLiteral("File Non Trovato"), vbOKOnly)});
        const QString chm = m_folder->file(QStringLiteral("DOD_Gare.chm"));
        QFile file(chm);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCoreApplication::sendEvent(tools, &f1);
        QCOMPARE(shell.opened, QStringList{chm});
        QCOMPARE(m_main->contextHelp().lastContextId(), 820);
        QVERIFY(shell.started.isEmpty());
        auto* menu = m_main->menuBar()->findChild<QMenu*>(QStringLiteral("mnRegistrazione"));
        menu->popup(m_main->mapToGlobal(QPoint(40, 40)));
        menu->setActiveAction(nullptr);
        QCoreApplication::sendEvent(menu, &f1);
        menu->hide();
        QCOMPARE(m_main->contextHelp().lastContextId(), 620);
    }
};

QTEST_MAIN(ZAR_MainTest)
#include "ZAR_MainTest.moc"
