#pragma once

#include <QString>
#include <QStringList>

namespace zar {

// Programs tried in turn for the calculator and the text editor.
QStringList calculatorPrograms();
QStringList editorPrograms();

// Opens a document with the desktop's default handler (the shell's "open" verb).
bool ShellOpen(const QString& path);

// Starts the first program of the list that can be started, detached; false when none.
bool ShellStart(const QStringList& programs);

// While one lives, nothing is opened or started: each call is recorded and answered
// with the result set here.
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    QStringList opened;
    QList<QStringList> started;
    bool openResult = true;
    bool startResult = true;

private:
    ShellRecorder* m_previous;
};

} // namespace zar
