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

class FieldBox : public QLineEdit {
public:
    explicit FieldBox(QWidget* parent = nullptr) : QLineEdit(parent) {}
    FieldHooks hooks;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool m_away = false;
};

class FieldCombo : public QComboBox {
public:
    explicit FieldCombo(QWidget* parent = nullptr);
    FieldHooks hooks;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool m_away = false;
};

} // namespace zar
