#include "frame/Program.h"
#include "platform/QtTexts.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZAR"));
    // The windows close only through the Exit question.
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator qtTexts;
    zar::installQtTexts(qtTexts);
    return zar::runProgram(QCoreApplication::applicationDirPath());
}
