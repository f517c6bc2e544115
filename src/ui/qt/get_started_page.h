// The settings dialog's "Get started" page.
#pragma once

#include "ui/qt/window_events.h"

#include <QWidget>

#include <string>

class QComboBox;
class QLabel;
class QVBoxLayout;

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

// Responsibilities:
// - The few choices a first start needs: the place and source group (lent by the dialog while
//   the page shows), the rotor type and port with "Test", the radio type and port.
// - A port is picked from the serial devices found (or typed as a path) and gets a COM name.
// - "Start tracking" saves, closes the dialog and starts; "Skip" shows the usual dialog.
class GetStartedPage : public QWidget {
public:
    GetStartedPage(Kelv& k, WindowEvents& events, QWidget* parent);
    // Where the dialog lends its place group while the page shows.
    QVBoxLayout* placeHolder() const { return m_placeHolder; }
    void refreshDevices();
    void sync();

private:
    QComboBox* typeCombo(const char* name, const char* field,
                         void (*choose)(Kelv&, const std::string&));
    QComboBox* portCombo(const char* name, int role);

    Kelv& m_k;
    WindowEvents& m_events;
    QVBoxLayout* m_placeHolder = nullptr;
    QComboBox* m_rotorType = nullptr;
    QComboBox* m_rotorPort = nullptr;
    QComboBox* m_radioType = nullptr;
    QComboBox* m_radioPort = nullptr;
    QLabel* m_reply = nullptr;
};

} // namespace kelvora::ui
