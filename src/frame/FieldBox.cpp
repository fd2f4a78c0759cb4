#include "frame/FieldBox.h"

#include <QFocusEvent>

namespace zar {

namespace {

bool leavesWindowOnly(const QFocusEvent* e) {
    return e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason;
}

} // namespace

void FocusTracker::focusIn(QWidget* w, FieldHooks& hooks) {
    if (m_current == w)
        return;
    FieldHooks* previous = m_current ? m_hooks : nullptr;
    m_current = w;
    m_hooks = &hooks;
    if (previous && previous->lostFocus)
        previous->lostFocus();
    if (m_current == w && hooks.gotFocus)
        hooks.gotFocus();
}

void FocusTracker::focusOut(QWidget* w, const QFocusEvent* e) {
    if (leavesWindowOnly(e) || m_current != w)
        return;
    FieldHooks* hooks = m_hooks;
    m_current = nullptr;
    m_hooks = nullptr;
    if (hooks->lostFocus)
        hooks->lostFocus();
}

void keepTypedText(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Without a completer the combo also matches items with their case (Qt's match flags).
    combo->setCompleter(nullptr);
}

FieldCombo::FieldCombo(FocusTracker& tracker, QWidget* parent) : FieldWidget(tracker, parent) {
    keepTypedText(this);
}

} // namespace zar
