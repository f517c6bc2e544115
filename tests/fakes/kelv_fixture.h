// A main window wired to fakes, in a program folder of its own.
#pragma once

#include "config/settings_dialog.h"
#include "fakes/fakes.h"
#include "state/kelv.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kelvora::fakes {

// A fresh temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    void write(const std::string& name, const std::string& contents) const;
    std::string read(const std::string& name) const;

private:
    std::string m_path;
};

struct KelvFixture {
    KelvFixture();

    TempFolder folder;
    FakeClock clock;
    FakeSerialPort radio{&clock}, rotor{&clock}, virtualPtt{&clock}, realPtt{&clock},
        radio2{&clock};
    FakeTcpSocket socket;
    FakeDialogs dialogs;
    FakeDeviceFactory devices;
    config::SettingsDialog settingsDialog;
    Kelv k;
};

} // namespace kelvora::fakes
