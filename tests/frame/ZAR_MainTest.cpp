#include "frame/ZAR_Main.h"
#include "frame/frmBackUp.h"
#include "frame/frmSplash.h"
#include "platform/ContextHelp.h"
#include "platform/Modal.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

using namespace zar;
using namespace zar::test;

class ZAR_MainTest : public GuiTestBase {
    Q_OBJECT

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<ZAR_Main> m_main;

    QString panelsShown() const {
        QString shown;
        for (QFrame* frame : m_main->Frame1)
            shown += frame->isVisible() ? QLatin1Char('1') : QLatin1Char('0');
        return shown;
    }
    // Runs the start-up with a login that, once on screen, runs `look`, then types the
    // password and presses Enter.
    bool startUp(const QString& password = QStringLiteral("zar"),
                 const std::function<bool(frmSplash&)>& look = {}) {
        m_main->shared().modalHook = [&](QDialog& form) {
            auto* login = qobject_cast<frmSplash*>(&form);
            if (!login)
                return int(QDialog::Rejected);
            form.show();
            if (look && !look(*login))
                return int(QDialog::Rejected);
            for (int i = 0; i < 6; ++i)
                login->Timer1_Timer();
            QTest::keyClicks(login->txt_Password, password);
            QTest::keyClick(login->txt_Password, Qt::Key_Return);
            return form.result();
        };
        const bool ok = m_main->MDIForm_Load();
        m_main->shared().modalHook = {};
        return ok;
    }
    void rebuild(ZAR_Main::Construction how) {
        m_main = std::make_unique<ZAR_Main>(m_folder->path(), *m_instance, how);
    }
    QString versionLine() const { return QStringLiteral("Versione ") + ZAR_Main::versionText(); }

private slots:
    void init() {
        GuiTestBase::init();
        m_folder = std::make_unique<TestFolder>();
        m_instance = std::make_unique<SingleInstance>(m_folder->path());
        QVERIFY(m_instance->start());
        m_main = std::make_unique<ZAR_Main>(m_folder->path(), *m_instance);
    }
    void cleanup() {
        m_main->shared().modalHook = {};
        m_main.reset();
        m_instance.reset();
        m_folder.reset();
        GuiTestBase::cleanup();
    }

    // Shown and locked under the login, the stored password read and the file released,
    // then unlocked, holding the file, with the version line.
    void startUpRunsInItsOrder() {
        QStringList seen;
        QVERIFY(startUp(QStringLiteral("Zar"), [&](frmSplash& login) {
            seen << QStringLiteral("%1 %2 %3 %4 %5 %6")
                        .arg(m_main->isVisible())
                        .arg(!m_main->isEnabled())
                        .arg(!m_main->shared().dbGare)
                        .arg(login.LeggiPassword() == frmSplash::LoadResult::Ok)
                        .arg(bool(Database::open(m_folder->file(QStringLiteral("ZAR.mdb")))))
                        .arg(m_main->statusPanel1->text().isEmpty());
            return true;
        }));
        QCOMPARE(seen, QStringList{"1 1 1 1 1 1"});
        QVERIFY(m_main->isEnabled());
        QCOMPARE(m_main->windowTitle(), QStringLiteral("ZAR Gestione Gare"));
        QCOMPARE(m_main->statusPanel1->text(), versionLine());
        QCOMPARE(m_main->contextHelp().helpFile(), m_folder->file(QStringLiteral("DOD_Gare.chm")));
        QVERIFY_THROWS_EXCEPTION(DbError, Database::open(m_folder->file(QStringLiteral("ZAR.mdb"))));
    }

    void loginThatEndsTheProgram() {
        for (const bool noPassword : {false, true}) {
            rebuild(noPassword ? ZAR_Main::Construction::Complete : ZAR_Main::Construction::AfterLogin);
            if (noPassword) {
                Database::open(m_folder->file(QStringLiteral("ZAR.mdb")))
                    ->exec(QStringLiteral("DELETE FROM TblPassword"));
                QVERIFY(!startUp(QString()));
            } else {
                m_main->shared().modalHook = [](QDialog& form) {
                    form.show();
                    QTest::keyClick(&form, Qt::Key_Escape);
                    return form.result();
                };
                QVERIFY(!m_main->MDIForm_Load());
            }
            const QList<MsgBoxRecord> boxes = takeBoxes();
            QCOMPARE(boxes.size(), noPassword ? 1 : 0);
            if (noPassword)
                QCOMPARE(boxes.first().style, int(vbCritical));
            QCOMPARE(m_main->exitCode(), noPassword ? 1 : 0);
            QVERIFY(!m_main->isEnabled());
            QVERIFY(!m_main->shared().dbGare);
        }
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
            QCOMPARE(panelsShown(), QStringLiteral("00100"));
        }
    }

    // Icon and label of each shortcut run its menu item, on a left click only.
    void shortcutIconAndLabelRunTheSameMenuItem() {
        QVERIFY(startUp());
        QStringList forms;
        m_main->shared().modalHook = [&](QDialog& form) {
            forms << form.objectName();
            return int(QDialog::Rejected);
        };
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
            forms.clear();
            QTest::mouseClick(img, Qt::LeftButton);
            const QStringList afterIcon = forms;
            const bool iconRan = triggered.count() == 1;
            QTest::mouseClick(lbl, Qt::LeftButton);
            QTest::mouseClick(img, Qt::RightButton);
            QTest::mousePress(lbl, Qt::LeftButton);
            QTest::mouseRelease(lbl, Qt::LeftButton, {}, QPoint(lbl->width() / 2, -30));
            if (lbl->text() != QLatin1String(r.caption) || !img->isVisible() || !lbl->isVisible() ||
                !iconRan || triggered.count() != 2 || forms != afterIcon + afterIcon)
                wrong << QLatin1String(r.icon);
        }
        QCOMPARE(wrong, QStringList());
        QCOMPARE(forms, QStringList({"frmChangePassword", "frmChangePassword"})); // the last row
    }

    // Both open from their items; a backup that cannot put the database back ends the program.
    void backUpAndAboutBox() {
        QVERIFY(startUp());
        QStringList forms;
        m_main->shared().modalHook = [&](QDialog& form) {
            forms << form.objectName();
            if (auto* backup = qobject_cast<frmBackUp*>(&form))
                backup->save(m_folder->path());
            return int(QDialog::Accepted);
        };
        QSignalSpy ended(m_main.get(), &ZAR_Main::programEnded);
        trigger(m_main.get(), QStringLiteral("mnAboutZAR"));
        trigger(m_main.get(), QStringLiteral("mnBackUp"));
        QCOMPARE(ended.count(), 0);
        QVERIFY(QFile::remove(m_folder->file(QStringLiteral("ZAR.mdb"))));
        trigger(m_main.get(), QStringLiteral("mnBackUp"));
        QCOMPARE(forms, QStringList({"frmAbout", "frmBackUp", "frmBackUp"}));
        QCOMPARE(takeBoxes().size(), 3); // saved; then not saved, and the end
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), 1);
        QVERIFY(m_main->shared().frmBackUp.isNull() && m_main->shared().frmAbout.isNull());
    }

    // The manual, the calculator and the editor from their items: opened or started, else a box.
    void shellItems() {
        QVERIFY(startUp());
        const QString pdf = m_folder->file(QStringLiteral("ZAR manuale d'uso.pdf"));
        const QString noProgram = QStringLiteral("Impossibile aprire il file \"%1\": nel sistema non c'è un "
                                                 "programma che apra questo tipo di file.")
                                      .arg(pdf);
        const struct {
            const char* item;
            bool works;
            QStringList opened;
            QList<QStringList> started;
            QString box;
            int style;
        } rows[] = {
            {"mnZARHelp", true, {}, {}, "File Non Trovato", vbOKOnly}, // no manual in the folder yet
            {"mnZARHelp", true, {pdf}, {}, "", 0},
            {"mnZARHelp", false, {pdf}, {}, noProgram, vbExclamation},
            {"mnCalcolatrice", true, {}, {calculatorPrograms()}, "", 0},
            {"mnCalcolatrice",
             false,
             {},
             {calculatorPrograms()},
             "La calcolatrice non è disponibile ...",
             48},
            {"mnBloccoNote", true, {}, {editorPrograms()}, "", 0},
            {"mnBloccoNote", false, {}, {editorPrograms()}, "Il blocco note non è disponibile ...", 48},
        };
        for (const auto& r : rows) {
            ShellRecorder shell;
            shell.openResult = shell.startResult = r.works;
            trigger(m_main.get(), QLatin1String(r.item));
            QCOMPARE(shell.opened, r.opened);
            QCOMPARE(shell.started, r.started);
            QCOMPARE(described(takeBoxes()),
                     r.box.isEmpty() ? QStringList() : QStringList{described(r.box, r.style)});
            QFile manual(pdf);
            QVERIFY(manual.open(QIODevice::WriteOnly));
        }
    }
    // The program's own way: the window is finished behind the login, once, and usable after it.
    void windowBuiltAfterLogin() {
        for (const bool painted : {true, false}) {
            rebuild(ZAR_Main::Construction::AfterLogin);
            QSignalSpy completed(m_main.get(), &ZAR_Main::completed);
            QVERIFY(!m_main->menuItem(QStringLiteral("mnExit")));
            bool behind = !painted;
            QVERIFY(startUp(QStringLiteral("zar"), [&](frmSplash& login) {
                if (painted && QTest::qWaitForWindowExposed(&login))
                    behind =
                        QTest::qWaitFor([&] { return m_main->isComplete(); }, 2000) && !m_main->isEnabled();
                return true;
            }));
            QVERIFY(behind);
            QCoreApplication::processEvents(); // a pending completion does nothing twice
            QCOMPARE(completed.count(), 1);
            QVERIFY(m_main->isEnabled() && m_main->menuItem(QStringLiteral("mnExit")));
            QCOMPARE(m_main->statusPanel1->text(), versionLine());
        }
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

    void printerSetupCancelChangesNothing() {
        QVERIFY(startUp());
        m_main->shared().printerName = QStringLiteral("Ufficio");
        m_main->shared().modalHook = [](QDialog&) { return int(QDialog::Rejected); };
        trigger(m_main.get(), QStringLiteral("mnuFileSta"));
        QCOMPARE(m_main->shared().printerName, QStringLiteral("Ufficio"));
    }
};

QTEST_MAIN(ZAR_MainTest)
#include "ZAR_MainTest.moc"
