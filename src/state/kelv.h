// The main window frmKelv as the logic sees it: run state, controls, ports, socket, settings.
#pragma once

#include "platform/clock.h"
#include "platform/device_factory.h"
#include "platform/dialogs.h"
#include "platform/serial_port.h"
#include "platform/tcp_socket.h"
#include "state/forms.h"
#include "state/numbers.h"
#include "state/run_state.h"

#include <map>
#include <memory>
#include <string>
#include <typeindex>

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

// State of a higher layer that lives as long as the main window (a Hamlib link, the station
// rules), reached through Kelv::part<T>() so that this layer need not know its type.
class KelvPart {
public:
    virtual ~KelvPart() = default;
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
    // Makes the network connections beyond Winsock1; null where none can be made.
    platform::DeviceFactory* devices = nullptr;

    // The part of type T (derived from KelvPart, constructible from Kelv&), made on first use.
    template <class T> T& part() {
        std::unique_ptr<KelvPart>& slot = m_parts[std::type_index(typeid(T))];
        if (!slot) {
            slot = std::make_unique<T>(*this);
        }
        return static_cast<T&>(*slot);
    }

private:
    // Last, so that the parts go before the references they hold.
    std::map<std::type_index, std::unique_ptr<KelvPart>> m_parts;
};

} // namespace kelvora
