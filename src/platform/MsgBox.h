#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <utility>

namespace zar {

// Style numbers of a message box: buttons plus icon.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7
};

inline const QString kDefaultTitle = QStringLiteral("ZAR");

// Shows a message box and returns the button chosen. An empty title gives "ZAR".
int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString());

struct MsgBoxRecord {
    QString text;
    int style = 0;
    QString title; // as shown: the default title when none was given
};

// While one lives, message boxes are not shown: each is recorded, and each box with a
// choice (Yes/No, OK/Cancel, ...) is answered from the queue; OK-only boxes take no
// answer. A choice with no answer queued is recorded as unanswered, reported through
// onUnanswered and answered with the box's safe choice (No or Cancel).
class MsgBoxResponder {
public:
    MsgBoxResponder();
    ~MsgBoxResponder();
    MsgBoxResponder(const MsgBoxResponder&) = delete;
    MsgBoxResponder& operator=(const MsgBoxResponder&) = delete;

    void queue(int answer) { m_answers << answer; }
    const QList<MsgBoxRecord>& shown() const { return m_shown; }
    QStringList texts() const;
    int unanswered() const { return m_unanswered; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear();
    // The boxes shown so far, forgetting them; queued answers stay.
    QList<MsgBoxRecord> takeShown() { return std::exchange(m_shown, {}); }

    std::function<void(const MsgBoxRecord&)> onUnanswered;

    int respond(const MsgBoxRecord& record);

private:
    QList<int> m_answers;
    QList<MsgBoxRecord> m_shown;
    int m_unanswered = 0;
    MsgBoxResponder* m_previous = nullptr;
};

} // namespace zar
