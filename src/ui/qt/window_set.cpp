// Running the logic's procedures from window events, and showing the models afterwards.
#include "ui/qt/window_set.h"

#include "devices/network_devices.h"
#include "radio/ptt_sequencer_lines.h"
#include "sky/sky_view.h"
#include "state/kelv.h"
#include "state/message_box.h"
#include "tracking/state_line.h"
#include "tracking/tracking_cycle.h"
#include "tracking/window_layout.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_binding.h"
#include "ui/qt/settings_window.h"
#include "ui/qt/sky_view.h"
#include "ui/qt/small_windows.h"

#include <QCoreApplication>
#include <QScreen>

#include <QTimer>
#include <tuple>

#include <exception>

namespace kelvora::ui {

WindowSet::WindowSet(Kelv& k, ScreenSize screen)
    : onQuit([] { QCoreApplication::quit(); }), m_k(k), m_screen(screen),
      m_main(std::make_unique<MainWindow>(k, *this)) {
    m_main->setWindowIcon(programIcon());
    m_settings = new SettingsWindow(k, *this, m_main.get());
    m_doppler = new DopplerWindow(k, *this, m_main.get());
    m_message = new MessageWindow(k, *this, m_main.get());
    m_about = new AboutWindow(k, *this, m_main.get());
    m_sky = new SkyViewWindow(k, *this, m_main.get());

    auto timer = [this](const char* name, void (*procedure)(Kelv&)) {
        auto* t = new QTimer(m_main.get());
        t->setObjectName(name);
        QObject::connect(t, &QTimer::timeout, m_main.get(),
                         [this, procedure] { run([this, procedure] { procedure(m_k); }); });
        return t;
    };
    m_tmrRead = timer("tmrRead", tmrRead_Timer);
    m_timer1 = timer("Timer1", Timer1_Timer);
    m_messageTimer = timer("MessageTimer", MessageTimer_Timer);
    // The fast timers (network 20 Hz, PTT sequencer 100 Hz) bring the windows up to date only
    // when their procedure changed something the windows show or a timer they drive.
    auto fastTimer = [this](const char* name, void (*procedure)(Kelv&)) {
        auto* t = new QTimer(m_main.get());
        t->setObjectName(name);
        QObject::connect(t, &QTimer::timeout, m_main.get(), [this, procedure] {
            auto shown = [this] {
                const ui::MainForm& f = m_k.ui;
                return std::tuple(f.RotorAZ.caption, f.LabelAZ.caption, f.LabelEL.caption,
                                  f.Ptt.caption, f.PttSequence.caption, f.PttSequence.visible,
                                  f.tmrPttSequence.enabled, f.tmrPttSequence.interval,
                                  f.tmrNetwork.enabled, m_k.rs.antenna.paused, m_k.rs.Tracking_on,
                                  m_k.frmMessage.visible);
            };
            auto before = shown();
            if (!guarded([this, procedure] { procedure(m_k); }) || shown() != before) {
                sync();
            }
        });
        return t;
    };
    m_tmrNetwork = fastTimer("tmrNetwork", tmrNetwork_Timer);
    // The PTT sequencer's lead and tail are kept to a few milliseconds.
    m_pttSequenceTimer = fastTimer("tmrPttSequence", tmrPttSequence_Timer);
    m_pttSequenceTimer->setTimerType(Qt::PreciseTimer);

    m_main->onClose = [this] { closeProgram(); };
    sync();
}

WindowSet::~WindowSet() {
    m_main->onClose = nullptr;
}

bool WindowSet::guarded(const std::function<void()>& procedure) {
    try {
        procedure();
        return true;
    } catch (const std::exception& error) {
        m_k.dialogs.messageBox(std::string("Unexpected error: ") + error.what());
    } catch (...) {
        m_k.dialogs.messageBox("Unexpected error.");
    }
    return false;
}

void WindowSet::run(const std::function<void()>& procedure) {
    guarded(procedure);
    // An operator's action (Start, Park, Track...) shows in the state line at once.
    guarded([this] { updateStateLine(m_k); });
    sync();
}

void WindowSet::sync() {
    m_main->sync();
    m_settings->sync();
    m_doppler->sync();
    m_message->sync();
    m_about->sync();
    if (m_closing) {
        return;
    }
    m_sky->sync();
    applyTimer(m_tmrRead, m_k.ui.tmrRead);
    applyTimer(m_timer1, m_k.ui.Timer1);
    applyTimer(m_messageTimer, m_k.frmMessage.MessageTimer);
    applyTimer(m_tmrNetwork, m_k.ui.tmrNetwork);
    applyTimer(m_pttSequenceTimer, m_k.ui.tmrPttSequence);
    if (m_k.quitRequested) {
        m_main->close();
    }
    // A first start: the main window and Get started beside each other.
    if (m_k.rs.Get_started && !m_arrangedForGetStarted && m_settings->isVisible()) {
        m_arrangedForGetStarted = true;
        arrangeWindows();
        m_settings->raise();
        m_settings->activateWindow(); // the page takes the keyboard, as a window manager would
    }
}

void WindowSet::arrangeWindows() {
    QScreen* screen = m_main->screen();
    if (screen == nullptr) {
        return;
    }
    // The frame the window manager adds, as the main window has it (none before it is mapped).
    QSize frame = m_main->frameGeometry().size() - m_main->geometry().size();
    std::vector<QWidget*> windows{m_main.get()};
    for (QWidget* w : std::initializer_list<QWidget*>{m_settings, m_sky, m_doppler}) {
        if (w->isVisible()) {
            windows.push_back(w);
        }
    }
    std::vector<WindowSize> sizes;
    for (QWidget* w : windows) {
        QSize want = w->isVisible() ? w->size().expandedTo(w->sizeHint()) : w->sizeHint();
        QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
        sizes.push_back({want.width() + frame.width(), want.height() + frame.height(),
                         least.width() + frame.width(), least.height() + frame.height()});
    }
    QRect area = screen->availableGeometry();
    std::vector<WindowRect> placed =
        tileWindows({area.x(), area.y(), area.width(), area.height()}, sizes);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const WindowRect& r = placed[i];
        windows[i]->resize(r.width - frame.width(), r.height - frame.height());
        windows[i]->move(r.x, r.y);
    }
}

void WindowSet::start(std::string_view commandLine) {
    run([this, commandLine] { Form_Load(m_k, commandLine, m_screen); });
    if (m_closing) {
        return;
    }
    m_main->applyGeometry();
    m_main->show();
    sync();
}

void WindowSet::closeProgram() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    for (QTimer* t : {m_tmrRead, m_timer1, m_messageTimer, m_tmrNetwork, m_pttSequenceTimer}) {
        t->stop();
    }
    run([this] { Form_Unload(m_k, m_screen); });
    run([this] { saveSkyViewPlace(m_k); });
    m_sky->hide(); // its flag stays: the window opens again with the program
    // Every window goes with the main window; a wait for the message box ends with it too.
    m_k.frmRotor.visible = false;
    m_k.frmDoppler.visible = false;
    m_k.frmMessage.visible = false;
    m_k.frmAbout1.visible = false;
    sync();
    if (onQuit) {
        onQuit();
    }
}

} // namespace kelvora::ui
