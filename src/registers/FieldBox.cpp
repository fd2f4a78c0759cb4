#include "registers/FieldBox.h"

#include <QFocusEvent>
#include <QKeyEvent>

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

void FieldBox::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    m_tracker.focusIn(this, hooks);
}

void FieldBox::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    m_tracker.focusOut(this, e);
}

void FieldBox::keyPressEvent(QKeyEvent* e) {
    if (hooks.keyPress && hooks.keyPress(e)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

FieldCombo::FieldCombo(FocusTracker& tracker, QWidget* parent) : QComboBox(parent), m_tracker(tracker) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void FieldCombo::focusInEvent(QFocusEvent* e) {
    QComboBox::focusInEvent(e);
    m_tracker.focusIn(this, hooks);
}

void FieldCombo::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    m_tracker.focusOut(this, e);
}

void FieldCombo::keyPressEvent(QKeyEvent* e) {
    if (hooks.keyPress && hooks.keyPress(e)) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

} // namespace zar
