#include "frame/Program.h"

#include "frame/ZAR_Main.h"
#include "platform/SingleInstance.h"

#include <QApplication>

namespace zar {

int runProgram(const QString& programFolder) {
    SingleInstance instance(programFolder);
    ZAR_Main window(programFolder, instance, ZAR_Main::Construction::AfterLogin);
    // This copy answers other copies from the moment its login is on screen: still long
    // before its own guard, which runs after a good login.
    QObject::connect(&window, &ZAR_Main::completed, &instance, [&instance] { instance.start(); });
    QObject::connect(&instance, &SingleInstance::activateRequested, &window,
                     &ZAR_Main::activateFromOtherCopy);
    if (!window.MDIForm_Load())
        return window.exitCode();
    QObject::connect(&window, &ZAR_Main::programEnded, qApp, &QCoreApplication::exit);
    return QApplication::exec();
}

} // namespace zar
