#include "platform/Shell.h"

#include "platform/MsgBox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace zar {

namespace {
ShellRecorder* g_recorder = nullptr;
}

QStringList calculatorPrograms() {
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("xcalc")};
}

QStringList editorPrograms() {
    return {QStringLiteral("gedit"), QStringLiteral("kate"), QStringLiteral("mousepad"),
            QStringLiteral("xed")};
}

bool ShellOpen(const QString& path) {
    if (g_recorder) {
        g_recorder->opened << path;
        return g_recorder->openResult;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool ShellOpenShown(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        MsgBox(QStringLiteral("File Non Trovato"), vbOKOnly);
        return false;
    }
    if (ShellOpen(path))
        return true;
    MsgBox(QStringLiteral("Impossibile aprire il file \"%1\": nel sistema non c'è un programma che apra "
                          "questo tipo di file.")
               .arg(QDir::toNativeSeparators(path)),
           vbExclamation);
    return false;
}

bool ShellStart(const QStringList& programs) {
    if (g_recorder) {
        g_recorder->started << programs;
        return g_recorder->startResult;
    }
    for (const QString& program : programs) {
        // startDetached reports a missing program only through a failed fork/exec; looking
        // it up first keeps the answer the same on every platform.
        const QString found = QStandardPaths::findExecutable(program);
        const QString exe = found.isEmpty() ? program : found;
        if (QProcess::startDetached(exe, {}))
            return true;
    }
    return false;
}

ShellRecorder::ShellRecorder() : m_previous(g_recorder) {
    g_recorder = this;
}

ShellRecorder::~ShellRecorder() {
    g_recorder = m_previous;
}

} // namespace zar
