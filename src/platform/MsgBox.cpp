#include "platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zar {

namespace {

MsgBoxResponder* g_responder = nullptr;

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

// The buttons speak the program's language, whatever translations the system has.
QString buttonText(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Yes:
        return QStringLiteral("&S\u00EC");
    case QMessageBox::No:
        return QStringLiteral("&No");
    case QMessageBox::Cancel:
        return QStringLiteral("Annulla");
    case QMessageBox::Abort:
        return QStringLiteral("&Interrompi");
    case QMessageBox::Retry:
        return QStringLiteral("&Riprova");
    case QMessageBox::Ignore:
        return QStringLiteral("&Ignora");
    default:
        return QStringLiteral("OK");
    }
}

QList<ButtonSpec> buttonsFor(int style) {
    switch (style & 7) {
    case vbOKCancel:
        return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
        return {
            {QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel:
        return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default:
        return {{QMessageBox::Ok, vbOK}};
    }
}

// The answer a box gets when nobody chooses: the choice that changes nothing.
int safeAnswer(int style) {
    switch (style & 7) {
    case vbYesNo:
        return vbNo;
    case vbOKCancel:
    case vbYesNoCancel:
    case vbRetryCancel:
        return vbCancel;
    case vbAbortRetryIgnore:
        return vbAbort;
    default:
        return vbOK;
    }
}

QMessageBox::Icon iconFor(int style) {
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int MsgBox(const QString& text, int style, const QString& title) {
    const MsgBoxRecord record{text, style, title.isEmpty() ? kDefaultTitle : title};
    if (g_responder)
        return g_responder->respond(record);

    // Texts join their lines with CR LF or a lone CR; the label breaks lines on LF only.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(iconFor(style), record.title, shown, QMessageBox::NoButton, QApplication::activeWindow());
    const auto choices = buttonsFor(style);
    for (const auto& choice : choices)
        box.addButton(choice.button)->setText(buttonText(choice.button));
    box.setDefaultButton(choices.first().button);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& choice : choices) {
        if (choice.button == clicked)
            return choice.result;
    }
    // Closed without a button (Esc on a box without Cancel).
    return safeAnswer(style);
}

MsgBoxResponder::MsgBoxResponder() : m_previous(g_responder) {
    g_responder = this;
}

MsgBoxResponder::~MsgBoxResponder() {
    g_responder = m_previous;
}

QStringList MsgBoxResponder::texts() const {
    QStringList out;
    for (const auto& r : m_shown)
        out << r.text;
    return out;
}

void MsgBoxResponder::clear() {
    m_shown.clear();
    m_answers.clear();
    m_unanswered = 0;
}

int MsgBoxResponder::respond(const MsgBoxRecord& record) {
    m_shown << record;
    // A box with only OK needs no answer and takes none from the queue.
    if ((record.style & 7) == vbOKOnly)
        return vbOK;
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    ++m_unanswered;
    if (onUnanswered)
        onUnanswered(record);
    return safeAnswer(record.style);
}

} // namespace zar
