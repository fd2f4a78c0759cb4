// The program's start-up up to the login form on screen, then the end: timed against
// startup_minimal by startup_time.sh.
#include "frame/ZAR_Main.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QDialog>
#include <QWindow>

#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    zar::SingleInstance instance(folder);
    zar::ZAR_Main window(folder, instance, zar::ZAR_Main::Construction::AfterLogin);
    window.shared().modalHook = [](QDialog& form) {
        form.show();
        // As soon as the login is painted; what follows (the password read) runs while
        // the user sees the "Loading" animation.
        while (!form.windowHandle() || !form.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        form.repaint();
        std::exit(0);
        return int(QDialog::Rejected);
    };
    QObject::connect(&window, &zar::ZAR_Main::completed, &instance, [&instance] { instance.start(); });
    window.MDIForm_Load();
    return 0;
}
