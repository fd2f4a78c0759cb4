#pragma once

#include "support/FormHelpers.h"

#include <QList>
#include <QObject>

#include <memory>

class QWidget;

namespace zar::test {

// The base of every QtTest class that drives forms. Each test runs under a strict
// message-box responder: a question with no answer queued fails the test at once, and the
// test fails at its end when an answer it queued was never asked for or a box it did not
// take with takeBoxes() was shown.
class GuiTestBase : public QObject {
    Q_OBJECT
protected:
    // The responder of the running test.
    MsgBoxResponder& boxes() { return *m_boxes; }
    // Queues answers for the questions the next steps will ask, in order.
    void answer(std::initializer_list<int> answers);
    // The boxes shown since the last call, in order; the test thereby accepts them.
    QList<MsgBoxRecord> takeBoxes();
    // Triggers the action called `name` of `window` (menu item), as a user's click would.
    static void trigger(QWidget* window, const QString& name);

protected slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<StrictResponder> m_boxes;
};

} // namespace zar::test
