// A copy of the program started on a given folder, for the two-process test: it runs the
// program's start-up and reports on stdout what the user would have seen.
#include "frame/ZAR_Main.h"
#include "platform/MsgBox.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QTextStream out(stdout);
    zar::MsgBoxResponder boxes;
    // A form that is still open after a while waits for a user: report it and go on as
    // if it were closed.
    const QString folder = QString::fromLocal8Bit(argv[1]);
    zar::SingleInstance instance(folder);
    instance.start();
    zar::ZAR_Main window(folder, instance);
    window.shared().modalHook = [&out](QDialog& form) {
        form.show();
        QDeadlineTimer deadline(3000);
        while (form.isVisible() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (form.isVisible()) {
            out << "FORM:" << form.objectName() << '\n';
            return int(QDialog::Rejected);
        }
        return form.result();
    };
    const bool goesOn = window.MDIForm_Load();
    for (const auto& box : boxes.shown())
        out << "MSG:" << QString(box.text).replace(u'\n', u' ') << '\n'; // one line per box
    out << "CAPTION:" << window.windowTitle() << '\n';
    out << "WINID:" << QString::number(quint64(window.winId()), 16).toUpper() << '\n';
    out << "GOESON:" << goesOn << '\n';
    return window.exitCode();
}
