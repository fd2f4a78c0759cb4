#include "frame/ZAR_Main.h"
#include "frame/frmBackUp.h"
#include "frame/frmSplash.h"
#include "platform/ContextHelp.h"
#include "platform/Modal.h"
#include "platform/PrinterSetup.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

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

    // Built after the login: completed behind it, once, before it can be used.
    void windowBuiltAfterLogin() {
        rebuild(ZAR_Main::Construction::AfterLogin);
        QSignalSpy completed(m_main.get(), &ZAR_Main::completed);
        QVERIFY(!m_main->menuItem(QStringLiteral("mnExit")));
        QStringList seen;
        QVERIFY(startUp(QStringLiteral("zar"), [&](frmSplash& login) {
            seen << QStringLiteral("%1 %2")
                        .arg(m_main->isVisible() && !m_main->isComplete())
                        .arg(!m_main->isEnabled());
            if (!QTest::qWaitForWindowExposed(&login))
                return false;
            seen << QStringLiteral("%1 %2")
                        .arg(QTest::qWaitFor([&] { return m_main->isComplete(); }, 2000))
                        .arg(!m_main->isEnabled() && login.isVisible());
            return true;
        }));
        QCOMPARE(seen, QStringList({"1 1", "1 1"}));
        QCOMPARE(completed.count(), 1);
        QCOMPARE(m_main->statusPanel1->text(), versionLine());
        QVERIFY(m_main->menuBar()->isVisible() && m_main->statusPanel2->isVisible());
        for (QFrame* frame : m_main->Frame1) // stacked until a tab is clicked, Help in front
            QCOMPARE(frame->geometry(), m_main->Frame1[0]->geometry());
        QWidget* front = m_main->Picture1->childAt(m_main->Frame1[0]->geometry().center());
        QVERIFY(front && (m_main->Frame1[4]->isAncestorOf(front) || front == m_main->Frame1[4]));
        QTest::mouseClick(m_main->CmdConfig[4], Qt::LeftButton);
        QCOMPARE(panelsShown(), QStringLiteral("01000"));

        rebuild(ZAR_Main::Construction::AfterLogin); // a login answered before it was painted
        QSignalSpy again(m_main.get(), &ZAR_Main::completed);
        QVERIFY(startUp());
        QVERIFY(m_main->isComplete() && m_main->isEnabled());
        QCoreApplication::processEvents();
        QCOMPARE(again.count(), 1);
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
    void exitQuestion_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<int>("reply");
        QTest::newRow("close box, No") << true << int(vbNo);
        QTest::newRow("close box, Yes") << true << int(vbYes);
        QTest::newRow("Exit, No") << false << int(vbNo);
        QTest::newRow("Exit, Yes") << false << int(vbYes);
    }
    void exitQuestion() {
        QFETCH(bool, closeBox);
        QFETCH(int, reply);
        QVERIFY(startUp());
        m_main->showPanel(2);
        QSignalSpy ended(m_main.get(), &ZAR_Main::programEnded);
        answer({reply});
        if (closeBox)
            QVERIFY(!m_main->close());
        else
            trigger(m_main.get(), QStringLiteral("mnExit"));
        QCOMPARE(boxLines(takeBoxes()),
                 QStringList{boxLine(QStringLiteral("Vuoi terminare il programma?"), vbYesNo + vbQuestion)});
        QCOMPARE(ended.count(), reply == vbYes ? 1 : 0);
        QVERIFY(m_main->isVisible() && m_main->shared().dbGare);
        QCOMPARE(panelsShown(), QStringLiteral("00100"));
    }

    // The menus as the user meets them: each item's caption with its access key, help number
    // and object name, in place; no item has a shortcut key.
    void menuTree() {
        std::function<QString(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
            QStringList items;
            for (QAction* a : actions) {
                if (a->isSeparator()) {
                    items << QStringLiteral("-");
                    continue;
                }
                QString item = QStringLiteral("%1 %2 %3")
                                   .arg(a->text())
                                   .arg(ContextHelp::contextId(a))
                                   .arg(a->menu() ? a->menu()->objectName() : a->objectName());
                if (!a->shortcut().isEmpty())
                    item += QStringLiteral(" SHORTCUT");
                if (a->menu())
                    item += QStringLiteral(" [") + walk(a->menu()->actions()) + QLatin1Char(']');
                items << item;
            }
            return items.join(QStringLiteral(", "));
        };
        QCOMPARE(
            walk(m_main->menuBar()->actions()),
            QStringLiteral(
                "File 650 mnFile [Registrazione 620 mnRegistrazione [Iscrizioni 600 mnIscrizioni, Punteggi "
                "610 mnPunteggi], -, Impostazione Stampante 630 mnuFileSta, -, Exit 640 mnExit], Stampe 700 "
                "mnStampe [Pettorali 660 mnPettorali, Ordine Partenza 670 mnOrdinePartenze, Classifiche 680 "
                "mnClassifiche, Iscritti 690 mnIscritti], &Tabelle DB 740 mnTabelleDB [Gare 710 mnGare, "
                "Conduttori 720 mnConduttori, Cani 730 mnCani], &Manutenzione DB 770 mnManutenzioneDB "
                "[BackUp 750 mnBackUp, Sincronizzazione 760 mnSincronizzazione], &Opzioni 800 mnOpzioni "
                "[Cambio Password 780 mnCambioPassword, -, Impostazione Etichetta Pettorale 790 "
                "mnEtichettaPettorale], Too&ls 830 mnTools [Calcolatrice 810 mnCalcolatrice, Blocco Note 820 "
                "mnBloccoNote], Help 860 mnHelp [ZAR Help 840 mnZARHelp, About ZAR 850 mnAboutZAR]"));
    }

    // A click on any copy of a tab, or its access key while all panels stand stacked, shows
    // its panel; in panel k tabs 0..k stand at the top, the others below the shortcuts.
    void tabsShowTheirPanels() {
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        const struct {
            Qt::Key key;
            const char* shown;
        } keys[] = {{Qt::Key_C, "01000"},
                    {Qt::Key_G, "10000"},
                    {Qt::Key_C, "01000"},
                    {Qt::Key_U, "00010"},
                    {Qt::Key_H, "00001"}}; // in the Gare panel Alt+C is also "&Classifica"'s
        for (const auto& k : keys) {
            QTest::keyClick(m_main.get(), k.key, Qt::AltModifier);
            QTRY_COMPARE(panelsShown(), QString::fromLatin1(k.shown));
        }
        const std::array<std::array<QToolButton*, 5>*, 5> tabs{
            &m_main->CmdGare, &m_main->CmdConfig, &m_main->CmdStamp, &m_main->CmdUtil, &m_main->CmdHelp};
        const QStringList captions{"&Gare", "&Configurazione", "&Stampe", "&Utility", "&Help"};
        for (int k = 0; k < 5; ++k) {
            const int from = (k + 2) % 5;
            m_main->showPanel(from);
            QToolButton* button = (*tabs[size_t(k)])[size_t(from)];
            QCOMPARE(button->text(), captions[k]);
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(panelsShown(), QString(5, u'0').replace(k, 1, u'1'));
            for (int t = 0; t < 5; ++t) {
                const int y = (*tabs[size_t(t)])[size_t(k)]->y();
                QVERIFY2(t <= k ? y < 300 : y >= 400,
                         qPrintable(QStringLiteral("tab %1 in panel %2").arg(t).arg(k)));
            }
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
            QCOMPARE(boxLines(takeBoxes()),
                     r.box.isEmpty() ? QStringList() : QStringList{boxLine(r.box, r.style)});
            QFile manual(pdf);
            QVERIFY(manual.open(QIODevice::WriteOnly));
        }
    }

    // F1 on a highlighted item opens the help file at the item's number, without running it;
    // on an opened menu with nothing chosen, at the menu's.
    void f1OpensTheHelpFile() {
        ShellRecorder shell;
        auto* tools = m_main->menuBar()->findChild<QMenu*>(QStringLiteral("mnTools"));
        tools->setActiveAction(m_main->menuItem(QStringLiteral("mnBloccoNote")));
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(tools, &f1); // no help file before the login
        QVERIFY(startUp());
        QCoreApplication::sendEvent(tools, &f1);
        QCOMPARE(boxLines(takeBoxes()), QStringList{boxLine(QStringLiteral("File Non Trovato"))});
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
        tools->setActiveAction(nullptr);
        QCoreApplication::sendEvent(tools, &f1); // closed, nothing highlighted: left to the menu
        QCOMPARE(shell.opened.size(), 2);
    }

    void printerSetupCancelChangesNothing() {
        QVERIFY(startUp());
        m_main->shared().printerName = QStringLiteral("Ufficio");
        QString dialogClass;
        m_main->shared().modalHook = [&](QDialog& form) {
            dialogClass = QString::fromLatin1(form.metaObject()->className());
            return int(QDialog::Rejected);
        };
        trigger(m_main.get(), QStringLiteral("mnuFileSta"));
        QCOMPARE(dialogClass, QStringLiteral("QPrintDialog"));
        QCOMPARE(m_main->shared().printerName, QStringLiteral("Ufficio"));
        m_main->shared().printerName = QString();
    }
};

QTEST_MAIN(ZAR_MainTest)
#include "ZAR_MainTest.moc"
