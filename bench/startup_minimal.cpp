// A minimal Qt Widgets program that shows one dialog and ends once it is on screen.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>
#include <QWindow>

#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Password"), &dialog));
    dialog.show();
    while (!dialog.windowHandle() || !dialog.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    dialog.repaint();
    std::exit(0);
}
