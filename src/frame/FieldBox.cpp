#include "frame/FieldBox.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTextLayout>
#include <QtMath>

namespace zar {

namespace {

bool leavesWindowOnly(const QFocusEvent* e) {
    return e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason;
}

bool isEnter(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

// A note is one paragraph: every kind of line break becomes one blank.
QString withoutLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : text)
        if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return text;
}

} // namespace

void FocusTracker::focusIn(QWidget* w, FieldHooks& hooks) {
    if (m_current == w)
        return;
    FieldHooks* previous = m_current ? m_hooks : nullptr;
    m_current = w;
    m_hooks = &hooks;
    if (previous && previous->lostFocus)
        previous->lostFocus();
    if (m_current == w && hooks.gotFocus)
        hooks.gotFocus();
}

void FocusTracker::focusOut(QWidget* w, const QFocusEvent* e) {
    if (leavesWindowOnly(e) || m_current != w)
        return;
    FieldHooks* hooks = m_hooks;
    m_current = nullptr;
    m_hooks = nullptr;
    if (hooks->lostFocus)
        hooks->lostFocus();
}

void keepTypedText(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Without a completer the combo also matches items with their case (Qt's match flags).
    combo->setCompleter(nullptr);
}

FieldCombo::FieldCombo(FocusTracker& tracker, QWidget* parent) : FieldWidget(tracker, parent) {
    keepTypedText(this);
}

NotesBox::NotesBox(FocusTracker& tracker, QWidget* parent) : FieldWidget(tracker, parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A long word without blanks wraps too, rather than scrolling sideways.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { cutToMaxLength(); });
    setLines(3);
}

QString NotesBox::text() const {
    if (!document()->isModified())
        return m_set;
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void NotesBox::setText(const QString& text) {
    m_set = text.left(m_maxLength);
    setPlainText(m_set);
    document()->setModified(false);
}

void NotesBox::caretToEnd() {
    moveCursor(QTextCursor::End);
}

void NotesBox::setMaxLength(int length) {
    m_maxLength = std::max(0, length);
    if (text().size() > m_maxLength)
        setText(text());
}

void NotesBox::setLines(int lines) {
    // A line as the box lays it out, which may be taller than the font's line spacing.
    QTextLayout layout(QStringLiteral("Ag"), font());
    layout.beginLayout();
    QTextLine first = layout.createLine();
    first.setLineWidth(1000);
    const qreal line = first.height();
    layout.endLayout();
    // The box counts one pixel more than its margins when it decides what is in view.
    setFixedHeight(qCeil(line * lines + document()->documentMargin() * 2) + 1 + frameWidth() * 2);
}

int NotesBox::room() const {
    const QTextCursor c = textCursor();
    return m_maxLength - (document()->characterCount() - 1) + (c.selectionEnd() - c.selectionStart());
}

void NotesBox::keyPressEvent(QKeyEvent* e) {
    if (hooks.keyPress && hooks.keyPress(e)) {
        e->accept();
        return;
    }
    if (isEnter(e)) {
        e->ignore(); // never a line break
        return;
    }
    // A typed character that does not fit is dropped, as a full line box drops it.
    const bool typing = !e->text().isEmpty() && e->text().front().isPrint() &&
                        !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (typing && room() < e->text().size()) {
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void NotesBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText())
        return;
    insertPlainText(withoutLineBreaks(source->text()).left(std::max(0, room())));
    ensureCursorVisible();
}

// A commit is cut to the room at the caret, as a line box cuts it, so the note keeps its end.
void NotesBox::inputMethodEvent(QInputMethodEvent* e) {
    const int fits = std::max(0, room() + e->replacementLength());
    if (e->commitString().size() > fits)
        e->setCommitString(e->commitString().left(fits), e->replacementStart(), e->replacementLength());
    QPlainTextEdit::inputMethodEvent(e);
}

// A last guard for any other way in (an accessibility tool): the note never outgrows maxLength.
void NotesBox::cutToMaxLength() {
    const int over = document()->characterCount() - 1 - m_maxLength;
    if (m_cutting || over <= 0)
        return;
    m_cutting = true;
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, over);
    c.removeSelectedText();
    m_cutting = false;
}

} // namespace zar
