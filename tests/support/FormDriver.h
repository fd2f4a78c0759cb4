#pragma once

#include "platform/MsgBox.h"

#include <QWidget>

#include <functional>

namespace zar::test {

// A message-box responder that fails the running QtTest when a question appears with
// no answer queued.
class StrictResponder : public MsgBoxResponder {
public:
    StrictResponder();
};

// Runs `action` on the next modal form as soon as it is shown (QTimer::singleShot(0) plus
// QApplication::activeModalWidget()). The action must close the form.
void onNextModal(std::function<void(QWidget*)> action);

// Finds a child widget by object name, failing the running test when it is missing.
template <typename T> T* child(QWidget* parent, const QString& name) {
    T* w = parent->findChild<T*>(name);
    if (!w)
        qFatal("no widget named %s", qPrintable(name));
    return w;
}

} // namespace zar::test
