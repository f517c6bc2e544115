// All windows of the program around one Kelv: runs the logic's procedures and shows the models.
#pragma once

#include "tracking/startup.h"
#include "ui/qt/window_events.h"

#include <functional>
#include <memory>
#include <string_view>

class QTimer;

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

class MainWindow;
class SettingsWindow;
class DopplerWindow;
class MessageWindow;
class AboutWindow;
class SkyViewWindow;

// Responsibilities:
// - Owns the main window (which owns the other windows and the timers).
// - run(): every click, edit and timer tick goes through it; exceptions are reported with a
//   message box and the windows are brought up to date afterwards.
// - sync(): every widget of every window from the models, windows shown or hidden by their
//   visible flags, timers started, stopped or re-intervalled, and the main window closed when
//   the logic asks the program to end.
// - Closing the main window runs Form_Unload once, closes the other windows and calls onQuit.
class WindowSet : public WindowEvents {
public:
    WindowSet(Kelv& k, ScreenSize screen);
    ~WindowSet() override;
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    void run(const std::function<void()>& procedure) override;
    void sync();
    // Form_Load, then the main window at its stored place and size.
    void start(std::string_view commandLine);
    bool closed() const { return m_closing; }
    // The windows shown now placed side by side on the screen, none covering another (the
    // try-it mode, and the first start when Get started opens).
    void arrangeWindows();

    MainWindow& mainWindow() { return *m_main; }
    SettingsWindow& settingsWindow() { return *m_settings; }
    DopplerWindow& dopplerWindow() { return *m_doppler; }
    MessageWindow& messageWindow() { return *m_message; }
    AboutWindow& aboutWindow() { return *m_about; }
    SkyViewWindow& skyViewWindow() { return *m_sky; }

    // What ends the program once the main window has closed; the application's quit by default.
    std::function<void()> onQuit;

private:
    void closeProgram();

    Kelv& m_k;
    ScreenSize m_screen;
    std::unique_ptr<MainWindow> m_main;
    SettingsWindow* m_settings;
    DopplerWindow* m_doppler;
    MessageWindow* m_message;
    AboutWindow* m_about;
    // Runs the procedure; an exception it throws is shown in a message box (false).
    bool guarded(const std::function<void()>& procedure);

    SkyViewWindow* m_sky;
    QTimer* m_tmrRead;
    QTimer* m_timer1;
    QTimer* m_messageTimer;
    QTimer* m_tmrNetwork;
    QTimer* m_pttSequenceTimer;
    bool m_closing = false;
    bool m_arrangedForGetStarted = false;
};

} // namespace kelvora::ui
