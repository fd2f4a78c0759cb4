#pragma once

#include <QString>
#include <QStringList>

namespace zar {

// Programs tried in turn for the calculator and the text editor.
QStringList calculatorPrograms();
QStringList editorPrograms();

// Opens a document with the desktop's default handler (the shell's "open" verb).
bool ShellOpen(const QString& path);

// Opens a document as ShellOpen does, and tells the user when it cannot: "File Non Trovato"
// when the file is missing, a message naming the file when the desktop has no program that
// opens it. True when it was handed to a program.
bool ShellOpenShown(const QString& path);

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
