#pragma once

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>

class QFocusEvent;

namespace zar {

// Focus and key hooks of one register box. A focus change caused only by the window
// losing or regaining activation (a message box, a popup) runs no hook, so a question
// asked while a box gets the focus is not asked again when the question closes.
struct FieldHooks {
    std::function<void()> gotFocus;
    std::function<void()> lostFocus;
    // Runs before the key reaches the box; true swallows the key.
    std::function<bool(QKeyEvent*)> keyPress;
    // Runs once the box has dealt with a key that keyPress let through.
    std::function<void()> keyTaken;
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

// A register box (line or combo) that reports its focus to the tracker and runs its key hook.
template <typename Base> class FieldWidget : public Base {
public:
    FieldWidget(FocusTracker& tracker, QWidget* parent) : Base(parent), m_tracker(tracker) {}
    FieldHooks hooks;
    // Whether the box is dealing with a key (its text may still change, its look is not final).
    bool takingKey() const { return m_takingKey; }

protected:
    void focusInEvent(QFocusEvent* e) override {
        Base::focusInEvent(e);
        m_tracker.focusIn(this, hooks);
    }
    void focusOutEvent(QFocusEvent* e) override {
        Base::focusOutEvent(e);
        m_tracker.focusOut(this, e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (hooks.keyPress && hooks.keyPress(e)) {
            e->accept();
            return;
        }
        m_takingKey = true;
        Base::keyPressEvent(e);
        m_takingKey = false;
        if (hooks.keyTaken)
            hooks.keyTaken();
    }

private:
    FocusTracker& m_tracker;
    bool m_takingKey = false;
};

// What a form asks of a text box, whether it holds one line or several.
class FieldText {
public:
    virtual ~FieldText() = default;
    virtual QWidget* widget() = 0;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void clear() = 0;
    virtual void selectAll() = 0;
    // The caret after the last character, nothing selected.
    virtual void caretToEnd() = 0;
};

class FieldBox : public FieldWidget<QLineEdit>, public FieldText {
public:
    using FieldWidget::FieldWidget;

    QWidget* widget() override { return this; }
    QString text() const override { return QLineEdit::text(); }
    void setText(const QString& text) override { QLineEdit::setText(text); }
    void clear() override { QLineEdit::clear(); }
    void selectAll() override { QLineEdit::selectAll(); }
    void caretToEnd() override { end(false); }
};

// A notes box: the whole note shows, wrapped over lines. Otherwise it behaves as a line box:
// at most maxLength characters, typed, pasted or from an input method; no line break (Enter
// belongs to the form, and a pasted line break comes in as a blank); setText cuts at maxLength,
// and text() gives back what was set, character for character, until the user edits it.
class NotesBox : public FieldWidget<QPlainTextEdit>, public FieldText {
public:
    NotesBox(FocusTracker& tracker, QWidget* parent);

    QWidget* widget() override { return this; }
    QString text() const override;
    void setText(const QString& text) override;
    void clear() override { setText(QString()); }
    void selectAll() override { QPlainTextEdit::selectAll(); }
    void caretToEnd() override;

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length);
    // Tall enough for this many lines of text.
    void setLines(int lines);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    // Characters that still fit in place of the selection.
    int room() const;
    void cutToMaxLength();

    QString m_set;
    int m_maxLength = 32767;
    bool m_cutting = false;
};

// Makes an editable combo store what is typed, as typed: no completion to an item while
// typing, and so no case-blind match to an item either.
void keepTypedText(QComboBox* combo);

class FieldCombo : public FieldWidget<QComboBox> {
public:
    FieldCombo(FocusTracker& tracker, QWidget* parent);
};

} // namespace zar
