#pragma once

#include <QComboBox>
#include <QLineEdit>

#include <functional>

class QFocusEvent;
class QKeyEvent;

namespace zar {

// Focus and key hooks of one register box. A focus change caused only by the window
// losing or regaining activation (a message box, a popup) runs no hook, so a question
// asked while a box gets the focus is not asked again when the question closes.
struct FieldHooks {
    std::function<void()> gotFocus;
    std::function<void()> lostFocus;
    // Runs before the key reaches the box; true swallows the key.
    std::function<bool(QKeyEvent*)> keyPress;
};

// Which box of a form holds the focus as its hooks see it. Qt may announce the focus of
// a box twice (on showing and on activating the window), and a box given the focus while
// the window is inactive gets it only on activation; the tracker runs each hook once,
// in order: the old box's lostFocus, then the new box's gotFocus.
class FocusTracker {
public:
    void focusIn(QWidget* w, FieldHooks& hooks);
    void focusOut(QWidget* w, const QFocusEvent* e);

private:
    QWidget* m_current = nullptr;
    FieldHooks* m_hooks = nullptr;
};

class FieldBox : public QLineEdit {
public:
    FieldBox(FocusTracker& tracker, QWidget* parent) : QLineEdit(parent), m_tracker(tracker) {}
    FieldHooks hooks;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    FocusTracker& m_tracker;
};

class FieldCombo : public QComboBox {
public:
    FieldCombo(FocusTracker& tracker, QWidget* parent);
    FieldHooks hooks;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    FocusTracker& m_tracker;
};

} // namespace zar
