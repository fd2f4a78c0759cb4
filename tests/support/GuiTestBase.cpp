#include "support/GuiTestBase.h"

#include <QAction>
#include <QTest>
#include <QWidget>

namespace zar::test {

void GuiTestBase::answer(std::initializer_list<int> answers) {
    for (int a : answers)
        m_boxes->queue(a);
}

QList<MsgBoxRecord> GuiTestBase::takeBoxes() {
    return m_boxes->takeShown();
}

void GuiTestBase::trigger(QWidget* window, const QString& name) {
    auto* action = window->findChild<QAction*>(name);
    if (!action)
        return QTest::qFail(qPrintable(QStringLiteral("no action named ") + name), __FILE__, __LINE__);
    action->trigger();
}

void GuiTestBase::init() {
    m_boxes = std::make_unique<StrictResponder>();
}

void GuiTestBase::cleanup() {
    const int pending = m_boxes->pendingAnswers();
    const QStringList unseen = m_boxes->texts();
    m_boxes.reset();
    QVERIFY2(pending == 0, qPrintable(QStringLiteral("%1 queued answer(s) never asked for").arg(pending)));
    QVERIFY2(unseen.isEmpty(),
             qPrintable(QStringLiteral("boxes shown but not checked: ") + unseen.join(" | ")));
}

} // namespace zar::test
