// The Doppler-mode window, the timed message box and the About box.
#pragma once

#include "ui/qt/window_events.h"

#include <QDialog>

#include <functional>
#include <vector>

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

// Responsibilities of each: widgets named after the model's controls, sync() shows the model
// (including whether the window is shown), and the close box goes to the logic, which decides.
class DopplerWindow : public QDialog {
public:
    DopplerWindow(Kelv& k, WindowEvents& events, QWidget* parent);
    void sync();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<std::function<void()>> m_bindings;
};

class MessageWindow : public QDialog {
public:
    MessageWindow(Kelv& k, WindowEvents& events, QWidget* parent);
    void sync();

protected:
    void closeEvent(QCloseEvent* event) override; // as "OK"
    void reject() override;

private:
    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<std::function<void()>> m_bindings;
};

class AboutWindow : public QDialog {
public:
    AboutWindow(Kelv& k, WindowEvents& events, QWidget* parent);
    void sync();

protected:
    void closeEvent(QCloseEvent* event) override; // as "OK"
    void reject() override;

private:
    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<std::function<void()>> m_bindings;
};

// Shows or hides a window as its model says; true when it is to be shown.
bool applyVisible(QWidget* window, bool visible);

} // namespace kelvora::ui
