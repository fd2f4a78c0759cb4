#include "support/FormHelpers.h"

#include "frame/ListLook.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace zar::test {

StrictResponder::StrictResponder() {
    onUnanswered = [](const MsgBoxRecord& r) {
        QTest::qFail(qPrintable(QStringLiteral("message box with no answer queued: ") + r.text), __FILE__,
                     __LINE__);
    };
}

void onNextModal(std::function<void(QWidget*)> action) {
    // Poll until the modal form is up: exec() shows it after this call returns.
    // A form already modal now is the caller's, not the next one.
    auto* timer = new QTimer(qApp);
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [timer, action, before, triesLeft = 2000]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == before)
            modal = nullptr;
        if (!modal && --triesLeft > 0)
            return;
        timer->stop();
        timer->deleteLater();
        if (modal)
            action(modal);
        else
            QTest::qFail("no modal form appeared", __FILE__, __LINE__);
    });
    timer->start(5);
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void showActive(QWidget* form) {
    form->show();
    QApplication::setActiveWindow(form);
    if (!QTest::qWaitForWindowActive(form))
        qFatal("form did not become active");
}

QString focused() {
    QWidget* w = QApplication::focusWidget();
    if (!w)
        return QString();
    if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget()); combo && combo->lineEdit() == w)
        return combo->objectName();
    return w->objectName();
}

bool hasFocus(QWidget* form) {
    return QTest::qWaitFor([form] {
        QWidget* w = QApplication::focusWidget();
        return w && w->window() == form;
    });
}

bool backTo(QWidget* form) {
    settle();
    form->activateWindow();
    return hasFocus(form);
}

QString text(QWidget* form, const QString& name) {
    if (auto* e = form->findChild<QLineEdit*>(name))
        return e->text();
    if (auto* c = form->findChild<QComboBox*>(name))
        return c->currentText();
    return child<QLabel>(form, name)->text();
}

QLineEdit* box(QWidget* form, int i) {
    return child<QLineEdit>(form, QStringLiteral("Txt_Field_%1").arg(i));
}

void typeInto(QWidget* w, const QString& text) {
    w->setFocus(Qt::TabFocusReason);
    if (auto* le = qobject_cast<QLineEdit*>(w))
        le->selectAll();
    QTest::keyClicks(w, text);
}

void enter(QWidget* w) {
    QTest::keyClick(w, Qt::Key_Return);
}

void typeEnter(const QString& text) {
    QWidget* w = QApplication::focusWidget();
    if (!w)
        return QTest::qFail("no widget has the focus", __FILE__, __LINE__);
    QTest::keyClicks(w, text);
    enter(w);
    settle();
}

void click(QWidget* form, const QString& button) {
    auto* b = child<QPushButton>(form, button);
    if (!b->isEnabled())
        return QTest::qFail(qPrintable(button + QStringLiteral(" is disabled")), __FILE__, __LINE__);
    QTest::mouseClick(b, Qt::LeftButton);
    settle();
}

void pickRow(QWidget* form, const QString& list, const QString& key, bool twice) {
    auto* view = child<QAbstractItemView>(form, list);
    const QAbstractItemModel* m = view->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        const QModelIndex idx = m->index(r, 0);
        if (idx.data().toString() != key)
            continue;
        view->scrollTo(idx);
        const QPoint at = view->visualRect(idx).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        settle();
        return;
    }
    QTest::qFail(qPrintable(QStringLiteral("no row ") + key), __FILE__, __LINE__);
}

void clickRowsAt(QAbstractItemView* list, QPoint at, bool slow) {
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    if (slow)
        settle();
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    settle();
}

QString selectedRows(QAbstractItemView* list) {
    QStringList rows;
    for (const QModelIndex& i : list->selectionModel()->selectedRows())
        rows << QString::number(i.row());
    return rows.join(u' ') + u'|' + QString::number(list->currentIndex().row());
}

QList<QStringList> listRows(QAbstractItemView* list) {
    const QAbstractItemModel* m = list->model();
    QList<QStringList> out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m->columnCount(); ++c)
            row << m->index(r, c).data().toString();
        out << row;
    }
    return out;
}

QList<QStringList> listRows(QWidget* form, const QString& list) {
    return listRows(child<QAbstractItemView>(form, list));
}

void runOn(QWidget* form, const QString& formName, const std::function<void(QWidget*)>& action) {
    const QPointer<QWidget> guard(form);
    [&] {
        QCOMPARE(form->objectName(), formName);
        QVERIFY(hasFocus(form));
        action(form);
    }();
    if (auto* d = qobject_cast<QDialog*>(guard.data()); d && d->isVisible())
        d->reject();
}

void drive(const std::function<void()>& open, const QString& formName,
           const std::function<void(QWidget*)>& action) {
    bool ran = false;
    onNextModal([&](QWidget* form) {
        ran = true;
        runOn(form, formName, action);
    });
    open();
    if (!ran)
        QTest::qFail(qPrintable(QStringLiteral("no modal form ") + formName), __FILE__, __LINE__);
}

QStringList cutHeadings(QTreeView* list) {
    QStringList cut;
    const auto* header = qobject_cast<const IntestazioneLista*>(list->header());
    if (!header)
        return {QStringLiteral("not a list's heading row")};
    const QFontMetrics fm = header->fontMetrics();
    for (int c = 0; c < header->count(); ++c) {
        const QString text = header->model()->headerData(c, Qt::Horizontal).toString();
        // The room the heading's text has, below the sort arrow; its lines must fit whole.
        const QRect room = header->rettangoloTesto(QRect(0, 0, header->sectionSize(c), header->height()));
        const QRect need = fm.boundingRect(room, IntestazioneLista::kFlagTesto, text);
        if (need.width() > room.width() || need.height() > room.height())
            cut << text;
    }
    return cut;
}

QString described(const QString& text, int style, const QString& title) {
    return QStringList{text, QString::number(style), title}.join(u'|');
}

QString described(const MsgBoxRecord& box) {
    return described(box.text, box.style, box.title);
}

QStringList described(const QList<MsgBoxRecord>& boxes) {
    QStringList out;
    for (const MsgBoxRecord& b : boxes)
        out << described(b);
    return out;
}

void chooseSelection(QWidget* form, const QStringList& values, int first) {
    for (int i = 0; i < values.size(); ++i) {
        child<QComboBox>(form, QStringLiteral("Cmb_Field_%1").arg(first + i))->setFocus(Qt::MouseFocusReason);
        settle();
        QTest::keyClicks(QApplication::focusWidget(), values[i]);
    }
    child<QWidget>(form, "LstInsRisultati")->setFocus(Qt::MouseFocusReason);
    settle();
}

} // namespace zar::test
