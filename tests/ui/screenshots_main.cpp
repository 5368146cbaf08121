// Saves one picture of the window per page (and one with the device menu open) into the folder
// given as the first argument. Run under a real X server (xvfb-run) or the offscreen platform.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "ui/MainWindow.h"

int main(int argc, char** argv) {
    // A private settings folder and the simulated board: the pictures never depend on the
    // machine's stored settings or its parallel port.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("TAVRIN_PORT", "sim");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Tavrin");
    QApplication::setApplicationName("Eprom");
    const QString out = argc > 1 ? argv[1] : "screenshots";
    QDir().mkpath(out);
    const QString device = argc > 2 ? argv[2] : "27C64";

    tavrin::ui::TfrmEprom window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    window.selectDeviceEntry(device);
    auto* pages = window.findChild<QTabWidget*>("PageControl1");
    const char* names[5] = {"device", "buffer", "temp", "configs", "testhw"};
    auto grab = [&] {
        QCoreApplication::processEvents();
        QTest::qWait(50);
        if (QGuiApplication::platformName() == "xcb")
            return window.screen()->grabWindow(window.winId());
        return window.grab();
    };
    int saved = 0;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        saved += grab().save(QString("%1/%2-%3.png").arg(out).arg(i + 1).arg(names[i]));
    }
    pages->setCurrentIndex(0);
    window.context().profile.tavrin = 1;
    window.winstat();
    saved += grab().save(QString("%1/6-device-pcb3.png").arg(out));

    // A 27C256 half programmed: the progress panel over the Device page.
    window.selectDeviceEntry("27C256");
    auto& ctx = window.context();
    for (int i = 0; i < 32768; ++i) ctx.Buffer[i] = uint8_t(i * 7);
    ctx.profile.bufferLoaded = 32768;
    auto* gauge = window.findChild<QProgressBar*>("gProcess");
    bool midway = false;
    QObject::connect(gauge, &QProgressBar::valueChanged, [&](int v) {
        if (v == 16384 && !midway) midway = grab().save(QString("%1/7-programming.png").arg(out));
    });
    window.findChild<QAction*>("mnuProgram")->trigger();
    saved += midway;
    saved += grab().save(QString("%1/8-programmed.png").arg(out));
    return saved == 8 ? 0 : 1;
}
