// The main window frmKelv as the logic sees it: run state, controls, ports, socket, settings.
#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/serial_port.h"
#include "platform/tcp_socket.h"
#include "state/forms.h"
#include "state/numbers.h"
#include "state/run_state.h"

#include <string>

namespace kelvora {

namespace config {
struct Settings;
}

// The settings dialog as the shared layer sees it: it owns the settings record, which exists
// from the first access until the dialog is unloaded (its close box).
class SettingsSource {
public:
    virtual ~SettingsSource() = default;
    // The settings record; loads the dialog when it is not loaded.
    virtual config::Settings& fields() = 0;
    virtual bool loaded() const = 0;
    virtual void unload() = 0;

    bool visible = false;
};

// Everything the main window's procedures share. The program entry (or a test) owns the platform
// objects and hands them in; the procedures are free functions taking a Kelv&.
struct Kelv {
    Kelv(SettingsSource& settingsDialog, platform::SerialPort& radio, platform::SerialPort& rotor,
         platform::SerialPort& virtualPtt, platform::SerialPort& realPtt,
         platform::SerialPort& radio2, platform::TcpSocket& socket, platform::Clock& clockRef,
         platform::Dialogs& dialogsRef, std::string folder)
        : frmRotor(settingsDialog), MSComm1(radio), MSComm2(rotor), MSComm3(virtualPtt),
          MSComm4(realPtt), MSComm5(radio2), Winsock1(socket), clock(clockRef), dialogs(dialogsRef),
          programFolder(std::move(folder)) {}

    // The current settings, read at the moment they are needed.
    config::Settings& settings() { return frmRotor.fields(); }
    std::string iniPath() const { return programFolder + "/Kelvora.ini"; }

    RunState rs;
    ui::MainForm ui;
    ui::DopplerForm frmDoppler;
    ui::MessageForm frmMessage;
    ui::AboutForm frmAbout1;
    SettingsSource& frmRotor;

    platform::SerialPort& MSComm1; // radio CAT
    platform::SerialPort& MSComm2; // rotor, and the Kelvora unit
    platform::SerialPort& MSComm3; // virtual PTT (MAP65's PTT as DSR)
    platform::SerialPort& MSComm4; // real PTT (keys the transmitter with RTS)
    platform::SerialPort& MSComm5; // second radio port
    platform::TcpSocket& Winsock1; // Linrad
    platform::Clock& clock;
    platform::Dialogs& dialogs;
    std::string programFolder;
    numbers::LocaleSeparators locale;
    // Set by a fatal error report; the window then closes and the program ends.
    bool quitRequested = false;
};

} // namespace kelvora
