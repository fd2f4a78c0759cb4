#include "platform/ContextHelp.h"

#include "platform/Shell.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace zar {

namespace {
constexpr const char* kProperty = "HelpContextID";

void watchMenu(QMenu* menu, QObject* filter) {
    menu->installEventFilter(filter);
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu())
            watchMenu(sub, filter);
    }
}
} // namespace

void ContextHelp::setContextId(QAction* action, int contextId) {
    action->setProperty(kProperty, contextId);
}

int ContextHelp::contextId(const QAction* action) {
    return action ? action->property(kProperty).toInt() : 0;
}

void ContextHelp::watch(QMenuBar* bar) {
    bar->installEventFilter(this);
    for (QAction* action : bar->actions()) {
        if (QMenu* menu = action->menu())
            watchMenu(menu, this);
    }
}

bool ContextHelp::showHelp(int contextId) {
    m_lastContext = contextId;
    if (m_helpFile.isEmpty())
        return false;
    // The desktop's handler takes no topic number, so the file opens at its start.
    return ShellOpenShown(m_helpFile);
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return QObject::eventFilter(watched, event);
    QAction* active = nullptr;
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        active = menu->activeAction();
        // A menu just opened with no item chosen: what stands highlighted is its own title.
        if (!active && menu->isVisible())
            active = menu->menuAction();
    } else if (auto* bar = qobject_cast<QMenuBar*>(watched))
        active = bar->activeAction();
    if (!active)
        return QObject::eventFilter(watched, event);
    showHelp(contextId(active));
    return true;
}

} // namespace zar
