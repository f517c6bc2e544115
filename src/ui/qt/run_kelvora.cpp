// The program's run function: the platform objects, the main window's logic and the windows.
#include "config/settings_dialog.h"
#include "platform/program_folder.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_tcp_socket.h"
#include "state/kelv.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/window_set.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>

namespace kelvora::ui {

namespace {

ScreenSize screenSizeInTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    QRect area = screen->virtualGeometry();
    return {area.width() * MainWindow::kTwipsPerPixel, area.height() * MainWindow::kTwipsPerPixel};
}

} // namespace

int runKelvora(QApplication& app, const std::string& commandLine) {
    platform::QtSerialPort radio, rotor, virtualPtt, realPtt, radio2;
    platform::QtTcpSocket socket;
    platform::QtClock clock;
    platform::QtDialogs dialogs;
    std::string folder = platform::programFolder();
    config::SettingsDialog settingsDialog(folder + "/Kelvora.ini");
    Kelv k(settingsDialog, radio, rotor, virtualPtt, realPtt, radio2, socket, clock, dialogs,
           folder);
    QLocale locale;
    k.locale.group = locale.groupSeparator().toStdString();
    k.locale.decimal = locale.decimalPoint().toStdString();

    app.setWindowIcon(programIcon());
    int result = 0;
    {
        WindowSet windows(k, screenSizeInTwips());
        dialogs.parent = &windows.mainWindow();
        dialogs.beforeWait = [&windows] { windows.sync(); };
        windows.start(commandLine);
        if (!windows.closed()) {
            result = app.exec();
        }
        dialogs.beforeWait = nullptr;
        dialogs.parent = nullptr;
    }
    return result;
}

} // namespace kelvora::ui
