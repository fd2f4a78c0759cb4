#include "frame/ZAR_Main.h"
#include "frame/frmBackUp.h"
#include "frame/frmSplash.h"
#include "platform/ContextHelp.h"
#include "platform/Modal.h"
#include "platform/PrinterSetup.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using namespace zar;
using namespace zar::test;

namespace {
QString noProgramFor(const QString& path) {
    return QStringLiteral("Impossibile aprire il file \"%1\": nel sistema non c'è un programma che apra "
                          "questo tipo di file.")
        .arg(path);
}
} // namespace

class ZAR_MainTest : public QObject {
    Q_OBJECT

    QString panelsShown() const {
        QString shown;
        for (QFrame* frame : m_main->Frame1)
            shown += frame->isVisible() ? QLatin1Char('1') : QLatin1Char('0');
        return shown;
    }
    // Runs the start-up with a login that, once on screen, runs `look` and then types the
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
    void buildAfterLogin() {
        m_main =
            std::make_unique<ZAR_Main>(m_folder->path(), *m_instance, ZAR_Main::Construction::AfterLogin);
    }
    QString versionLine() const { return QStringLiteral("Versione ") + ZAR_Main::versionText(); }
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<ZAR_Main> m_main;

private slots:
    void init() {
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
    }

    void startUpRunsInItsOrder() {
        StrictResponder boxes;
        QStringList seen;
        QVERIFY(startUp(QStringLiteral("Zar"), [&](frmSplash& login) {
            // Shown and locked, the stored password read and the file released again.
            if (m_main->isVisible())
                seen << QStringLiteral("shown");
            if (!m_main->isEnabled())
                seen << QStringLiteral("locked");
            if (!m_main->shared().dbGare)
                seen << QStringLiteral("no connection yet");
            if (login.LeggiPassword() == frmSplash::LoadResult::Ok)
                seen << QStringLiteral("password read");
            if (Database::open(m_folder->file(QStringLiteral("ZAR.mdb"))))
                seen << QStringLiteral("file free");
            if (m_main->statusPanel1->text().isEmpty())
                seen << QStringLiteral("no version line yet");
            return true;
        }));
        QCOMPARE(seen, QStringList({"shown", "locked", "no connection yet", "password read", "file free",
                                    "no version line yet"}));
        QVERIFY(m_main->isEnabled());
        QVERIFY(m_main->shared().dbGare);
        QCOMPARE(m_main->windowTitle(), QStringLiteral("ZAR Gestione Gare"));
        QCOMPARE(m_main->statusPanel1->text(), versionLine());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(ZAR_Main::versionText())
                    .hasMatch());
        QCOMPARE(m_main->contextHelp().helpFile(), m_folder->file(QStringLiteral("DOD_Gare.chm")));
        QVERIFY(boxes.shown().isEmpty());
        // dbGare now holds the file.
        QVERIFY_THROWS_EXCEPTION(DbError, Database::open(m_folder->file(QStringLiteral("ZAR.mdb"))));
    }

    void windowBuiltAfterLoginIsCompletedWhileTheLoginIsUp() {
        buildAfterLogin();
        QSignalSpy completed(m_main.get(), &ZAR_Main::completed);
        QVERIFY(!m_main->isComplete());
        QVERIFY(!m_main->menuItem(QStringLiteral("mnExit")));
        StrictResponder boxes;
        QStringList seen;
        QVERIFY(startUp(QStringLiteral("zar"), [&](frmSplash& login) {
            if (m_main->isVisible() && !m_main->isEnabled() && !m_main->isComplete())
                seen << QStringLiteral("shown and locked, not complete");
            if (!QTest::qWaitForWindowExposed(&login))
                return false;
            if (QTest::qWaitFor([&] { return m_main->isComplete(); }, 2000) && !m_main->isEnabled() &&
                login.isVisible())
                seen << QStringLiteral("completed behind the login");
            return true;
        }));
        QCOMPARE(seen, QStringList({"shown and locked, not complete", "completed behind the login"}));
        QCOMPARE(completed.count(), 1);
        QCOMPARE(m_main->statusPanel1->text(), versionLine());
        QVERIFY(!m_main->windowIcon().isNull());
        // Built on a window already on screen: the panels show, the Help panel in front.
        QVERIFY(m_main->menuBar()->isVisible());
        QVERIFY(m_main->statusPanel1->isVisible());
        QVERIFY(m_main->statusPanel2->isVisible());
        for (QFrame* frame : m_main->Frame1) { // stacked until a tab is clicked
            QVERIFY(frame->isVisible());
            QCOMPARE(frame->geometry(), m_main->Frame1[0]->geometry());
        }
        QWidget* front = m_main->Picture1->childAt(m_main->Frame1[0]->geometry().center());
        QVERIFY(front && (m_main->Frame1[4]->isAncestorOf(front) || front == m_main->Frame1[4]));
        QVERIFY(m_main->CmdConfig[4]->isVisible());
        QTest::mouseClick(m_main->CmdConfig[4], Qt::LeftButton);
        QVERIFY(m_main->Frame1[1]->isVisible());
        QVERIFY(!m_main->Frame1[4]->isVisible());
        QVERIFY(boxes.shown().isEmpty());
    }

    void windowBuiltAfterLoginIsCompleteBeforeItIsUsable() {
        // A login answered before it was ever painted, and one that ends the program.
        buildAfterLogin();
        QSignalSpy completed(m_main.get(), &ZAR_Main::completed);
        QVERIFY(startUp());
        QVERIFY(m_main->isComplete());
        QVERIFY(m_main->isEnabled());
        QCOMPARE(completed.count(), 1);
        QCOMPARE(m_main->statusPanel1->text(), versionLine());
        QCoreApplication::processEvents(); // a pending completion does nothing twice
        QCOMPARE(completed.count(), 1);

        buildAfterLogin();
        StrictResponder boxes;
        m_main->shared().modalHook = [](QDialog& form) {
            form.show();
            QTest::keyClick(&form, Qt::Key_Escape);
            return form.result();
        };
        QVERIFY(!m_main->MDIForm_Load());
        QCOMPARE(m_main->exitCode(), 0);
        QVERIFY(!m_main->isEnabled());
        QVERIFY(!m_main->shared().dbGare);
        QVERIFY(boxes.shown().isEmpty());
    }

    void noStoredPasswordEndsTheProgram() {
        Database::open(m_folder->file(QStringLiteral("ZAR.mdb")))
            ->exec(QStringLiteral("DELETE FROM TblPassword"));
        StrictResponder boxes;
        QVERIFY(!startUp(QString()));
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().style, 16);
        QVERIFY(!m_main->isEnabled());
        QVERIFY(!m_main->shared().dbGare);
        QCOMPARE(m_main->exitCode(), 1);
    }

    void exitQuestion_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<int>("answer");
        QTest::newRow("close box, No") << true << int(vbNo);
        QTest::newRow("close box, Yes") << true << int(vbYes);
        QTest::newRow("Exit, No") << false << int(vbNo);
        QTest::newRow("Exit, Yes") << false << int(vbYes);
    }

    void exitQuestion() {
        QFETCH(bool, closeBox);
        QFETCH(int, answer);
        QVERIFY(startUp());
        m_main->showPanel(2);
        QSignalSpy ended(m_main.get(), &ZAR_Main::programEnded);
        StrictResponder boxes;
        boxes.queue(answer);
        if (closeBox)
            QVERIFY(!m_main->close());
        else
            m_main->menuItem(QStringLiteral("mnExit"))->trigger();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Vuoi terminare il programma?")});
        QCOMPARE(boxes.shown().first().style, 36);
        QCOMPARE(boxes.shown().first().title, QStringLiteral("ZAR"));
        QCOMPARE(ended.count(), answer == vbYes ? 1 : 0);
        // No keeps everything as it was.
        QVERIFY(m_main->isVisible());
        QVERIFY(m_main->shared().dbGare);
        QVERIFY(m_main->Frame1[2]->isVisible());
        QVERIFY(!m_main->Frame1[4]->isVisible());
    }

    // Every item: caption with its access key, help number, place in the menus, no shortcut key.
    void menuItems() {
        const struct {
            const char *name, *caption;
            int help;
            const char* parent;
        } rows[] = {{"mnFile", "File", 650, ""},
                    {"mnRegistrazione", "Registrazione", 620, "mnFile"},
                    {"mnIscrizioni", "Iscrizioni", 600, "mnRegistrazione"},
                    {"mnPunteggi", "Punteggi", 610, "mnRegistrazione"},
                    {"mnuFileSta", "Impostazione Stampante", 630, "mnFile"},
                    {"mnExit", "Exit", 640, "mnFile"},
                    {"mnStampe", "Stampe", 700, ""},
                    {"mnPettorali", "Pettorali", 660, "mnStampe"},
                    {"mnOrdinePartenze", "Ordine Partenza", 670, "mnStampe"},
                    {"mnClassifiche", "Classifiche", 680, "mnStampe"},
                    {"mnIscritti", "Iscritti", 690, "mnStampe"},
                    {"mnTabelleDB", "&Tabelle DB", 740, ""},
                    {"mnGare", "Gare", 710, "mnTabelleDB"},
                    {"mnConduttori", "Conduttori", 720, "mnTabelleDB"},
                    {"mnCani", "Cani", 730, "mnTabelleDB"},
                    {"mnManutenzioneDB", "&Manutenzione DB", 770, ""},
                    {"mnBackUp", "BackUp", 750, "mnManutenzioneDB"},
                    {"mnSincronizzazione", "Sincronizzazione", 760, "mnManutenzioneDB"},
                    {"mnOpzioni", "&Opzioni", 800, ""},
                    {"mnCambioPassword", "Cambio Password", 780, "mnOpzioni"},
                    {"mnEtichettaPettorale", "Impostazione Etichetta Pettorale", 790, "mnOpzioni"},
                    {"mnTools", "Too&ls", 830, ""},
                    {"mnCalcolatrice", "Calcolatrice", 810, "mnTools"},
                    {"mnBloccoNote", "Blocco Note", 820, "mnTools"},
                    {"mnHelp", "Help", 860, ""},
                    {"mnZARHelp", "ZAR Help", 840, "mnHelp"},
                    {"mnAboutZAR", "About ZAR", 850, "mnHelp"}};
        QStringList wrong;
        for (const auto& r : rows) {
            QAction* action = m_main->menuItem(QLatin1String(r.name));
            auto* parent = m_main->menuBar()->findChild<QMenu*>(QLatin1String(r.parent));
            const QList<QAction*> siblings = *r.parent ? parent->actions() : m_main->menuBar()->actions();
            if (!action || action->text() != QLatin1String(r.caption) ||
                ContextHelp::contextId(action) != r.help || !action->shortcut().isEmpty() ||
                !siblings.contains(action))
                wrong << QLatin1String(r.name);
        }
        QCOMPARE(wrong, QStringList());
    }

    void eachTabShowsItsPanel() {
        m_main->show();
        const std::array<std::array<QToolButton*, 5>*, 5> tabs{
            &m_main->CmdGare, &m_main->CmdConfig, &m_main->CmdStamp, &m_main->CmdUtil, &m_main->CmdHelp};
        const QStringList captions{"&Gare", "&Configurazione", "&Stampe", "&Utility", "&Help"};
        for (int k = 0; k < 5; ++k) {
            // Click the copy of the tab that stands in the visible panel (any copy does the same).
            const int from = (k + 2) % 5;
            m_main->showPanel(from);
            QToolButton* button = (*tabs[size_t(k)])[size_t(from)];
            QCOMPARE(button->text(), captions[k]);
            QTest::mouseClick(button, Qt::LeftButton);
            for (int i = 0; i < 5; ++i)
                QCOMPARE(m_main->Frame1[size_t(i)]->isVisible(), i == k);
            // In panel k, tabs 0..k stand at the top, the others below the shortcuts.
            for (int t = 0; t < 5; ++t) {
                const int y = (*tabs[size_t(t)])[size_t(k)]->y();
                QVERIFY2(t <= k ? y < 300 : y >= 400,
                         qPrintable(QStringLiteral("tab %1 in panel %2").arg(t).arg(k)));
            }
        }
        QCOMPARE(m_main->CmdHelp[0]->y(), m_main->CmdHelp[3]->y());
    }

    void tabAccessKeysWorkWhileAllPanelsStand() {
        // At start each access key belongs to five stacked copies; in the Gare panel Alt+C is
        // also the "&Classifica" caption's.
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        StrictResponder boxes;
        const struct {
            Qt::Key key;
            const char* shown;
        } steps[] = {{Qt::Key_C, "01000"},
                     {Qt::Key_G, "10000"},
                     {Qt::Key_C, "01000"},
                     {Qt::Key_U, "00010"},
                     {Qt::Key_H, "00001"}};
        for (const auto& step : steps) {
            QTest::keyClick(m_main.get(), step.key, Qt::AltModifier);
            QTRY_COMPARE(panelsShown(), QString::fromLatin1(step.shown));
        }
        QVERIFY(boxes.shown().isEmpty());
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
        for (const auto& r : rows) {
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
        QVERIFY(m_main->shared().frmChangePassword.isNull());
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
        StrictResponder boxes;
        m_main->menuItem(QStringLiteral("mnAboutZAR"))->trigger();
        m_main->menuItem(QStringLiteral("mnBackUp"))->trigger();
        QCOMPARE(ended.count(), 0);
        QVERIFY(QFile::remove(m_folder->file(QStringLiteral("ZAR.mdb"))));
        m_main->menuItem(QStringLiteral("mnBackUp"))->trigger();
        QCOMPARE(forms, QStringList({"frmAbout", "frmBackUp", "frmBackUp"}));
        QCOMPARE(boxes.shown().size(), 3); // saved; then not saved, and the end
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), 1);
        QVERIFY(m_main->shared().frmBackUp.isNull() && m_main->shared().frmAbout.isNull());
    }

    void userManual() {
        QVERIFY(startUp());
        StrictResponder boxes;
        ShellRecorder shell;
        QAction* manual = m_main->menuItem(QStringLiteral("mnZARHelp"));
        manual->trigger();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("File Non Trovato")});
        QCOMPARE(boxes.shown().first().style, 0);
        QVERIFY(shell.opened.isEmpty());

        const QString path = m_folder->file(QStringLiteral("ZAR manuale d'uso.pdf"));
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write("%PDF-1.4\n");
        pdf.close();
        boxes.clear();
        manual->trigger();
        QVERIFY(boxes.shown().isEmpty());
        QCOMPARE(shell.opened, QStringList{path});

        shell.openResult = false; // the desktop has no program for it
        manual->trigger();
        QCOMPARE(boxes.texts(), QStringList{noProgramFor(path)});
        QCOMPARE(boxes.shown().first().style, 48);
    }

    void calculatorAndEditor() {
        QVERIFY(startUp());
        const struct {
            const char* item;
            QStringList programs;
            QString missing;
        } tools[] = {{"mnCalcolatrice", calculatorPrograms(), "La calcolatrice non è disponibile ..."},
                     {"mnBloccoNote", editorPrograms(), "Il blocco note non è disponibile ..."}};
        for (const auto& tool : tools) {
            for (const bool starts : {true, false}) {
                StrictResponder boxes;
                ShellRecorder shell;
                shell.startResult = starts;
                m_main->menuItem(QLatin1String(tool.item))->trigger();
                QCOMPARE(shell.started, QList<QStringList>{tool.programs});
                QCOMPARE(boxes.texts(), starts ? QStringList() : QStringList{tool.missing});
                for (const auto& box : boxes.shown())
                    QCOMPARE(box.style, 48);
            }
        }
    }

    void printerSetupCancelChangesNothing() {
        QVERIFY(startUp());
        m_main->shared().printerName = QStringLiteral("Ufficio");
        QString dialogClass;
        m_main->shared().modalHook = [&](QDialog& form) {
            dialogClass = QString::fromLatin1(form.metaObject()->className());
            return int(QDialog::Rejected);
        };
        m_main->menuItem(QStringLiteral("mnuFileSta"))->trigger();
        QCOMPARE(dialogClass, QStringLiteral("QPrintDialog"));
        QCOMPARE(m_main->shared().printerName, QStringLiteral("Ufficio"));
    }

    void f1OnAMenuItemOpensTheHelpFile() {
        StrictResponder boxes;
        ShellRecorder shell;
        auto* tools = m_main->menuBar()->findChild<QMenu*>(QStringLiteral("mnTools"));
        tools->setActiveAction(m_main->menuItem(QStringLiteral("mnBloccoNote")));
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(tools, &f1);
        QVERIFY(shell.opened.isEmpty()); // no help file before the login
        QVERIFY(startUp());
        QCoreApplication::sendEvent(tools, &f1);
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("File Non Trovato")}); // a fresh program folder
        QVERIFY(shell.opened.isEmpty());
        const QString chm = m_folder->file(QStringLiteral("DOD_Gare.chm"));
        QFile file(chm);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        boxes.clear();
        QCoreApplication::sendEvent(tools, &f1);
        QCOMPARE(shell.opened, QStringList{chm});
        QCOMPARE(m_main->contextHelp().lastContextId(), 820);
        QVERIFY(shell.started.isEmpty()); // F1 does not run the item
        // Opened, nothing chosen yet: the menu's title is what stands highlighted.
        for (const char* name : {"mnTools", "mnRegistrazione"}) {
            auto* menu = m_main->menuBar()->findChild<QMenu*>(QLatin1String(name));
            menu->popup(m_main->mapToGlobal(QPoint(40, 40)));
            menu->setActiveAction(nullptr);
            QCoreApplication::sendEvent(menu, &f1);
            menu->hide();
            QCOMPARE(m_main->contextHelp().lastContextId(), ContextHelp::contextId(menu->menuAction()));
        }
        QCOMPARE(m_main->contextHelp().lastContextId(), 620);
        QCOMPARE(shell.opened.size(), 3);
        QCoreApplication::sendEvent(tools, &f1); // closed, nothing highlighted: left to the menu
        QCOMPARE(shell.opened.size(), 3);
        QVERIFY(boxes.shown().isEmpty());
    }
};

QTEST_MAIN(ZAR_MainTest)
#include "ZAR_MainTest.moc"
