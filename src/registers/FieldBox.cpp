#include "registers/FieldBox.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace zar {

namespace {

bool leavesWindowOnly(const QFocusEvent* e) {
    return e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason;
}

// Shared by the box and the combo: returns whether the hook should run.
bool comingBack(bool& away, const QFocusEvent* e) {
    const bool back = away && leavesWindowOnly(e);
    away = false;
    return back;
}

} // namespace

void FieldBox::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (!comingBack(m_away, e) && hooks.gotFocus)
        hooks.gotFocus();
}

void FieldBox::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (leavesWindowOnly(e)) {
        m_away = true;
        return;
    }
    if (hooks.lostFocus)
        hooks.lostFocus();
}

void FieldBox::keyPressEvent(QKeyEvent* e) {
    if (hooks.keyPress && hooks.keyPress(e)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

FieldCombo::FieldCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void FieldCombo::focusInEvent(QFocusEvent* e) {
    QComboBox::focusInEvent(e);
    if (!comingBack(m_away, e) && hooks.gotFocus)
        hooks.gotFocus();
}

void FieldCombo::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    if (leavesWindowOnly(e)) {
        m_away = true;
        return;
    }
    if (hooks.lostFocus)
        hooks.lostFocus();
}

void FieldCombo::keyPressEvent(QKeyEvent* e) {
    if (hooks.keyPress && hooks.keyPress(e)) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

} // namespace zar
