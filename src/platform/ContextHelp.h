#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenuBar;

namespace zar {

// F1 on a highlighted menu item opens the help file at the item's help context number.
// The number lives in the action's "HelpContextID" property.
class ContextHelp : public QObject {
    Q_OBJECT
public:
    explicit ContextHelp(QObject* parent = nullptr) : QObject(parent) {}

    // Until a help file is set, F1 does nothing.
    void setHelpFile(const QString& path) { m_helpFile = path; }
    QString helpFile() const { return m_helpFile; }

    // Watches the menu bar and every menu below it (menus added later are not watched).
    void watch(QMenuBar* bar);

    // Opens the help file; returns false when there is none or the desktop cannot open it
    // (a missing file or a file no program opens is told to the user).
    bool showHelp(int contextId);
    int lastContextId() const { return m_lastContext; }

    static void setContextId(QAction* action, int contextId);
    static int contextId(const QAction* action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_helpFile;
    int m_lastContext = 0;
};

} // namespace zar
