#pragma once

#include "frame/SharedValues.h"

#include <QLabel>
#include <QMainWindow>

#include <array>

class QAction;
class QFrame;
class QMenu;
class QToolButton;

namespace zar {

class ContextHelp;
class SingleInstance;

// A label that reports a mouse click: the shortcut icons and captions.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The main window: menus, the shortcut panels on the left and the status bar. It edits no
// data; every task is a modal form opened from a menu item or a shortcut.
class ZAR_Main : public QMainWindow {
    Q_OBJECT
public:
    // Complete: the whole window now. AfterLogin: only the empty work area now; menus,
    // shortcut panels and status bar once the login is on screen, and in any case before
    // the window is first usable, so that the login shows sooner.
    enum class Construction { Complete, AfterLogin };

    ZAR_Main(const QString& programFolder, SingleInstance& instance,
             Construction construction = Construction::Complete, QWidget* parent = nullptr);
    ~ZAR_Main() override;

    SharedValues& shared() { return m_shared; }
    ContextHelp& contextHelp() { return *m_help; }

    // The start-up: version text, show, lock, login, open dbGare, single-instance guard,
    // status-bar version line. Returns false when the program must end now (exitCode()).
    bool MDIForm_Load();
    int exitCode() const { return m_exitCode; }

    // major.minor.revision of the program.
    static QString versionText();
    // The version as the status bar and the about box show it.
    static QString versionLine(const QString& version = versionText());

    // Menu handlers.
    void mnIscrizioni_Click();
    void mnPunteggi_Click();
    void mnOrdinePartenze_Click();
    void mnClassifiche_Click();
    void mnIscritti_Click();
    void mnPettorali_Click();
    void mnEtichettaPettorale_Click();
    void mnuFileSta_Click();
    void mnExit_Click();
    void mnGare_Click();
    void mnConduttori_Click();
    void mnCani_Click();
    void mnSincronizzazione_Click() {}
    void mnCambioPassword_Click();
    void mnBackUp_Click();
    void mnAboutZAR_Click();
    void mnCalcolatrice_Click();
    void mnBloccoNote_Click();
    void mnZARHelp_Click();

    // The tab buttons: shows panel k of Frame1 and hides the others.
    void showPanel(int k);

    // Another copy handed over: bring this window (and a form open on it) to the front.
    void activateFromOtherCopy();

    QAction* menuItem(const QString& name) const;
    // Whether menus, shortcut panels and status bar stand (always after a good login).
    bool isComplete() const { return m_complete; }

    QWidget* Picture1 = nullptr;
    std::array<QFrame*, 5> Frame1{};
    std::array<QToolButton*, 5> CmdGare{};
    std::array<QToolButton*, 5> CmdConfig{};
    std::array<QToolButton*, 5> CmdStamp{};
    std::array<QToolButton*, 5> CmdUtil{};
    std::array<QToolButton*, 5> CmdHelp{};
    QLabel* statusPanel1 = nullptr;
    QWidget* statusPanel2 = nullptr;

signals:
    // The program must end with this code (the Exit question answered Yes).
    void programEnded(int code);
    // Menus, panels and status bar stand now.
    void completed();

protected:
    // MDIForm_Unload: the window never closes without the Exit question.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildWorkArea();
    void completeWindow();
    void buildPanels();
    void buildStatusBar();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption, int helpContext);
    QMenu* addMenu(QWidget* parentMenu, const QString& name, const QString& caption, int helpContext);
    bool openFailed(const QString& description, bool locked);

    SharedValues m_shared;
    SingleInstance& m_instance;
    ContextHelp* m_help;
    QDialog* m_login = nullptr; // while its first paint is awaited
    bool m_complete = false;
    int m_exitCode = 0;
};

} // namespace zar
