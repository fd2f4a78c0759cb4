#pragma once

#include "platform/MsgBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAbstractItemView;
class QTreeView;

namespace zar::test {

// Fails the running QtTest when a question appears with no answer queued.
class StrictResponder : public MsgBoxResponder {
public:
    StrictResponder();
};

// Runs `action` on the next modal form as soon as it is shown (QTimer::singleShot(0) plus
// QApplication::activeModalWidget()). The action must close the form.
void onNextModal(std::function<void(QWidget*)> action);

// Finds a child widget by object name; a missing one ends the test program.
template <typename T> T* child(QWidget* parent, const QString& name) {
    T* w = parent->findChild<T*>(name);
    if (!w)
        qFatal("no widget named %s", qPrintable(name));
    return w;
}

// Lets queued events run: focus changes, queued closes, repaints.
void settle();

// Shows a form and waits until it is the active window, as a user would find it.
void showActive(QWidget* form);

// The object name of the widget that has the focus; for an editable combo box its own.
QString focused();
// Waits until the focus is inside `form`.
bool hasFocus(QWidget* form);
// The desktop gives the focus back to the form under a closed modal one; the offscreen
// platform does not, so tests do it.
bool backTo(QWidget* form);

// The text of the line edit, combo box (current text) or label called `name`.
QString text(QWidget* form, const QString& name);
// The box Txt_Field_i.
QLineEdit* box(QWidget* form, int i);

// Focuses a widget, selects what a line edit holds and types over it.
void typeInto(QWidget* w, const QString& text);
void enter(QWidget* w);
// Types into the widget that has the focus and presses Enter.
void typeEnter(const QString& text);
// Clicks a button; clicking a disabled one fails the test, since it would do nothing.
void click(QWidget* form, const QString& button);

// Clicks, then double-clicks unless `twice` is false, the row whose first column is `key`.
void pickRow(QWidget* form, const QString& list, const QString& key, bool twice = true);
// A user's click at `at` on a list; slow: what the press queued runs before the button comes up.
void clickRowsAt(QAbstractItemView* list, QPoint at, bool slow);
// The selected rows of a list and its current row, as "selected|current".
QString selectedRows(QAbstractItemView* list);
// Every row of a list, each as its column texts.
QList<QStringList> listRows(QAbstractItemView* list);
QList<QStringList> listRows(QWidget* form, const QString& list);
// The headings of a list that lose letters, sorted or not.
QStringList cutHeadings(QTreeView* list);

// Runs `action` on a modal form once it is up and has the focus. A form that a failed check
// leaves open is closed, so the test ends instead of waiting.
void runOn(QWidget* form, const QString& formName, const std::function<void(QWidget*)>& action);
// Runs `action` on the modal form that `open` brings up; `open` returns once it is closed.
void drive(const std::function<void()>& open, const QString& formName,
           const std::function<void(QWidget*)>& action);

// A message box as one line, "text|style|title", so a whole list compares in one go.
QString described(const MsgBoxRecord& box);
QStringList described(const QList<MsgBoxRecord>& boxes);
QString described(const QString& text, int style, const QString& title = kDefaultTitle);

// Types the values into the selection boxes Cmb_Field_first... of a results form as a user
// would, then moves into the list, which fills it.
void chooseSelection(QWidget* form, const QStringList& values, int first = 0);

} // namespace zar::test
