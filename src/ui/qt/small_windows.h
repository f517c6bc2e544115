// The Doppler-mode window, the timed message box and the About box.
#pragma once

#include "ui/qt/window_events.h"

#include <QDialog>

class QPushButton;

#include <functional>
#include <vector>

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

// Responsibilities of each: widgets named after the model's controls, sync() shows the model
// (including whether the window is shown), and the close box goes to the logic, which decides.
class ModelDialog : public QDialog {
public:
    void sync();

protected:
    // `visible` is the form's flag; `onClose` is the procedure its close box (and Escape) runs.
    ModelDialog(Kelv& k, WindowEvents& events, QWidget* parent, const char* name, const char* title,
                const bool& visible, void (*onClose)(Kelv&));
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    // Runs a procedure of the logic on a click.
    void runOnClick(QPushButton* button, void (*procedure)(Kelv&));

    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<std::function<void()>> m_bindings;
    bool m_fitWhenShown = false; // the message box follows its text's size

private:
    const bool& m_visible;
    void (*m_onClose)(Kelv&);
};

class DopplerWindow : public ModelDialog {
public:
    DopplerWindow(Kelv& k, WindowEvents& events, QWidget* parent);
};

class MessageWindow : public ModelDialog {
public:
    MessageWindow(Kelv& k, WindowEvents& events, QWidget* parent);
};

class AboutWindow : public ModelDialog {
public:
    AboutWindow(Kelv& k, WindowEvents& events, QWidget* parent);
};

// Shows or hides a window as its model says; true when it is to be shown.
bool applyVisible(QWidget* window, bool visible);

} // namespace kelvora::ui
