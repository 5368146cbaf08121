#pragma once
// Helpers of the window tests: a private settings folder per test, the simulated board, ways to
// reach controls by their names, and the device menu.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "sim/SimBoard.h"
#include "ui/MainWindow.h"

namespace tavrin::ui::test {

// Points the per-user settings at a fresh folder for the lifetime of the object.
struct SettingsFolder {
    SettingsFolder() {
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }
    QSettings open() const { return QSettings("Tavrin", "Eprom"); }
    QTemporaryDir dir;
};

// Short-cuts only reach the active window; a closed modal dialog does not always hand the
// activation back on the offscreen platform.
inline bool activate(QWidget& w) {
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

inline std::unique_ptr<TfrmEprom> makeWindow() {
    auto w = std::make_unique<TfrmEprom>();
    w->show();
    if (!activate(*w)) qWarning("window not active");
    return w;
}

inline sim::SimBoard& board(TfrmEprom& w) {
    return dynamic_cast<sim::SimBoard&>(w.context().port());
}

template <typename T>
T* child(QObject& w, const char* name) {
    T* c = w.findChild<T*>(name);
    if (!c) qFatal("no control %s", name);
    return c;
}

inline QString status(TfrmEprom& w) {
    return child<QLabel>(w, "StatusBar")->text();
}

// The device menu entry whose data is `caption`, searched through every submenu.
inline QAction* findDeviceAction(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            if (QAction* found = findDeviceAction(a->menu(), caption)) return found;
        } else if (a->data().toString() == caption) {
            return a;
        }
    }
    return nullptr;
}

// Chooses a device as a click on its menu entry does; fails the test when there is none.
inline void chooseDevice(TfrmEprom& w, const QString& caption) {
    QAction* a = findDeviceAction(w.deviceMenu(), caption);
    QVERIFY2(a, qPrintable(caption));
    a->trigger();
}

// Loads `path` through File -> Load, answering the dialog; returns the dialog's filter list.
inline QStringList loadThroughDialog(TfrmEprom& w, const QString& path) {
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; i < types->count(); ++i) filters << types->itemText(i);
        filters << types->currentText() << dialog->windowTitle();
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    child<QAction>(w, "mnuLoad")->trigger();
    activate(w);
    return filters;
}

// Answers the next modal message box with `button` once it shows up.
inline void answerNextBox(QMessageBox::StandardButton button, QString* text = nullptr) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [button, text, tries, poll] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (text) *text = box->text();
            box->button(button) ? box->button(button)->click() : box->done(button);
            return;
        }
        if (++*tries < 500) QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// Rejects the next modal dialog once it shows up, reporting its object name.
inline void closeNextDialog(QString* name) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [name, tries, poll] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            if (name) *name = dialog->objectName();
            dialog->reject();
            return;
        }
        if (++*tries < 500) QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace tavrin::ui::test
