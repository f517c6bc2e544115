// The program's wiring: the platform objects, the try-it mode, the main window's logic and the
// windows.
#include "app/run_kelvora.h"

#include "config/settings_dialog.h"
#include "demo/demo.h"
#include "platform/instance_lock.h"
#include "platform/program_folder.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_device_factory.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_tcp_socket.h"
#include "state/kelv.h"
#include "tracking/line_reopen.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/window_set.h"

#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace kelvora::app {

namespace {

// The write end of the pipe the signal handler reports through (the self-pipe pattern).
volatile std::sig_atomic_t g_signalPipe = -1;

extern "C" void onEndSignal(int signal) {
    int saved = errno;
    char byte = static_cast<char>(signal);
    [[maybe_unused]] ssize_t written = ::write(g_signalPipe, &byte, 1);
    // A second signal ends the program at once, should the orderly end hang.
    std::signal(signal, SIG_DFL);
    errno = saved;
}

// SIGTERM, SIGINT and SIGHUP end the program as its close box does (ports closed, a keyed PTT
// line released, the window geometry saved): the handler only writes a byte, and the event
// loop closes the main window when it reads it.
class EndSignals {
public:
    explicit EndSignals(QWidget& mainWindow) {
        std::array<int, 2> fds{};
        if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
            return; // the signals then keep their default: the program ends at once
        }
        m_read = fds[0];
        m_write = fds[1];
        g_signalPipe = m_write;
        m_notifier = std::make_unique<QSocketNotifier>(m_read, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &mainWindow,
                         [this, &mainWindow] {
                             char bytes[16];
                             while (::read(m_read, bytes, sizeof bytes) > 0) {
                             }
                             mainWindow.close();
                         });
        struct sigaction action {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : kSignals) {
            ::sigaction(signal, &action, nullptr);
        }
    }
    ~EndSignals() {
        if (m_read < 0) {
            return;
        }
        for (int signal : kSignals) {
            std::signal(signal, SIG_DFL);
        }
        g_signalPipe = -1;
        m_notifier.reset();
        ::close(m_read);
        ::close(m_write);
    }
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

private:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
    int m_read = -1;
    int m_write = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

ScreenSize screenSizeInTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    QRect area = screen->virtualGeometry();
    return {area.width() * ui::MainWindow::kTwipsPerPixel,
            area.height() * ui::MainWindow::kTwipsPerPixel};
}

// A second program on the same folder would open the same ports: it says so and ends, and so
// does a program that cannot take the lock, since it cannot know that it runs alone.
bool takeInstanceLock(platform::InstanceLock& lock, const std::string& folder) {
    std::string text;
    switch (lock.acquire(folder, text)) {
    case platform::InstanceLock::Result::Acquired:
        return true;
    case platform::InstanceLock::Result::Unavailable:
        break;
    case platform::InstanceLock::Result::HeldElsewhere:
        text = platform::alreadyRunningText(folder);
        break;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    QString platformName = QGuiApplication::platformName();
    if (platformName != "offscreen" && platformName != "minimal") {
        QMessageBox::warning(nullptr, "Kelvora", QString::fromStdString(text));
    }
    return false;
}

} // namespace

int runKelvora(QApplication& app, const LaunchOptions& options) {
    platform::QtSerialPort radio, rotor, virtualPtt, realPtt, radio2;
    platform::QtTcpSocket socket;
    platform::QtClock clock;
    platform::QtDialogs dialogs;
    platform::QtDeviceFactory devices;
    // The try-it mode never touches the real program folder: it does not even choose it.
    std::unique_ptr<demo::DemoSession> demo;
    if (options.demo) {
        demo = std::make_unique<demo::DemoSession>(
            clock, astro::UtcTime::fromUnixSeconds(clock.utcSeconds()));
        if (!demo->ok()) {
            dialogs.messageBox(demo->error());
            return 1;
        }
    }
    std::string folder = demo ? demo->folder() : platform::programFolder();
    platform::SerialPort& radioPort =
        demo ? static_cast<platform::SerialPort&>(demo->radio) : radio;
    platform::SerialPort& rotorPort =
        demo ? static_cast<platform::SerialPort&>(demo->rotor) : rotor;
    platform::InstanceLock instanceLock;
    if (!takeInstanceLock(instanceLock, folder)) {
        return 1;
    }
    config::SettingsDialog settingsDialog(folder + "/Kelvora.ini");
    Kelv k(settingsDialog, radioPort, rotorPort, virtualPtt, realPtt, radio2, socket, clock,
           dialogs, folder);
    k.devices = &devices;
    QLocale locale;
    k.locale.group = locale.groupSeparator().toStdString();
    k.locale.decimal = locale.decimalPoint().toStdString();

    app.setWindowIcon(ui::programIcon());
    int result = 0;
    {
        ui::WindowSet windows(k, screenSizeInTwips());
        EndSignals endSignals(windows.mainWindow());
        dialogs.parent = &windows.mainWindow();
        dialogs.beforeWait = [&windows] { windows.sync(); };
        // The real PTT line is followed by its own timers; the other lines report a loss the
        // port noticed by itself at once.
        for (platform::QtSerialPort* port : {&radio, &rotor, &virtualPtt, &radio2}) {
            port->onLost = [&windows, &k] { windows.run([&k] { noticeLostLines(k); }); };
        }
        windows.start(options.commandLine);
        if (demo && !windows.closed()) {
            windows.run([&k, &demo] { demo::showDemo(k, demo->locator()); });
            windows.arrangeWindows();
        }
        if (!windows.closed()) {
            result = app.exec();
        }
        for (platform::QtSerialPort* port : {&radio, &rotor, &virtualPtt, &radio2}) {
            port->onLost = nullptr;
        }
        dialogs.beforeWait = nullptr;
        dialogs.parent = nullptr;
    }
    return result;
}

} // namespace kelvora::app
