// Tavrin Eprom: the window program.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "ui/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Eprom");
    QApplication::setOrganizationName("Tavrin");
    // No display name: X11 would append it to the window caption, which carries the file name.
    try {
        tavrin::ui::TfrmEprom window;
        window.show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, tavrin::ui::kApplicationTitle, e.what());
    }
    return 0;
}
