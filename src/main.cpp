#include "frame/Program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZAR"));
    // The windows close only through the Exit question.
    QApplication::setQuitOnLastWindowClosed(false);
    return zar::runProgram(QCoreApplication::applicationDirPath());
}
