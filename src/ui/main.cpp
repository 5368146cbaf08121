// Tavrin Eprom: the window program.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "ui/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Eprom");
    QApplication::setOrganizationName("Tavrin");
    QApplication::setApplicationDisplayName("Tavrin Eprom ");
    try {
        tavrin::ui::TfrmEprom window;
        window.show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "Tavrin Eprom ", e.what());
    }
    return 0;
}
