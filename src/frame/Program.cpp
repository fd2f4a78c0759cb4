#include "frame/Program.h"

#include "frame/ZAR_Main.h"
#include "platform/SingleInstance.h"

#include <QApplication>

namespace zar {

int runProgram(const QString& programFolder) {
    SingleInstance instance(programFolder);
    instance.start();
    ZAR_Main window(programFolder, instance);
    QObject::connect(&instance, &SingleInstance::activateRequested, &window,
                     &ZAR_Main::activateFromOtherCopy);
    if (!window.MDIForm_Load())
        return window.exitCode();
    QObject::connect(&window, &ZAR_Main::programEnded, qApp, &QCoreApplication::exit);
    return QApplication::exec();
}

} // namespace zar
