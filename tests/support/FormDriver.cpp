#include "support/FormDriver.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace zar::test {

StrictResponder::StrictResponder() {
    onUnanswered = [](const MsgBoxRecord& r) {
        QTest::qFail(qPrintable(QStringLiteral("message box with no answer queued: ") + r.text), __FILE__,
                     __LINE__);
    };
}

void onNextModal(std::function<void(QWidget*)> action) {
    // Poll until the modal form is up: exec() shows it after this call returns.
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    auto triesLeft = std::make_shared<int>(2000);
    // A form already modal now is the caller's, not the next one.
    QPointer<QWidget> before = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [timer, triesLeft, action, before] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == before)
            modal = nullptr;
        if (!modal && --*triesLeft > 0)
            return;
        timer->stop();
        timer->deleteLater();
        if (modal)
            action(modal);
        else
            QTest::qFail("no modal form appeared", __FILE__, __LINE__);
    });
    timer->start();
}

} // namespace zar::test
