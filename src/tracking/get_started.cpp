// The "Get started" page's procedures.
#include "tracking/get_started.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "ports/serial_ports.h"
#include "rotor/position_feedback.h"
#include "rotor/rotor_types.h"
#include "sources/place_check.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "tracking/rotor_dat.h"
#include "tracking/settings_buttons.h"
#include "tracking/startup.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kelvora {

namespace {

std::string& portField(config::Settings& s, DeviceRole role) {
    return role == DeviceRole::Rotor ? s.RotorPort : s.RtxPort;
}

bool usedByALine(const config::Settings& s, const std::string& com) {
    for (const std::string* field :
         {&s.RtxPort, &s.RtxPort2, &s.RotorPort, &s.Virtual_PTT, &s.Reale_PTT}) {
        if (*field == com) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string choosePortDevice(Kelv& k, DeviceRole role, const std::string& device) {
    config::Settings& s = k.settings();
    std::string& field = portField(s, role);
    std::string chosen;
    for (const std::string& com : config::comboItems("RtxPort")) {
        std::optional<int> n = ports::portNumber(com);
        if (!n) {
            continue;
        }
        std::string mapped = config::ReadStringIni("Ports", com, k.iniPath());
        if (mapped == device) {
            chosen = com; // the name this device already has
            break;
        }
        if (chosen.empty() && mapped.empty() && (!usedByALine(s, com) || com == field)) {
            chosen = com;
        }
    }
    if (chosen.empty() || !config::WriteStringIni("Ports", chosen, device, k.iniPath())) {
        return {};
    }
    field = chosen;
    return chosen;
}

void proposeGetStarted(Kelv& k) {
    config::Settings& s = k.settings();
    if (wsjtxTrackingFileFound()) {
        s.Filename = wsjtxTrackingFile();
        return;
    }
    std::error_code ec;
    if (s.Filename.empty() || !std::filesystem::exists(s.Filename, ec)) {
        s.setValue("General", "Tracking_Source", "Built-in");
    }
}

void chooseRotorType(Kelv& k, const std::string& type) {
    config::Settings& s = k.settings();
    s.RotorType = type;
    const rotor::RotorType* row = rotor::findRotorType(type);
    if (row != nullptr && !row->poll.request.empty() && s.Refresh_Rotore == "None") {
        s.Refresh_Rotore = "2";
    }
}

std::string testRotor(Kelv& k) {
    config::Settings& s = k.settings();
    const rotor::RotorType* type = rotor::findRotorType(s.RotorType);
    if (type == nullptr || !rotor::rotorUsesLine(s.RotorType)) {
        return "Choose a rotor type on a serial line first";
    }
    if (type->poll.request.empty()) {
        return "This rotor type does not report its position";
    }
    bool wasOpen = k.MSComm2.isOpen();
    if (!wasOpen) {
        std::string failure;
        if (!ports::reopenLine(k, k.MSComm2, failure)) {
            return "The rotor port did not open: " + failure;
        }
        // The reply wait Start would use.
        k.rs.Rotor_timeout = static_cast<float>(numbers::leadingNumber(s.RotorTimeOutDelay));
        if (k.rs.Rotor_timeout == 0) {
            k.rs.Rotor_timeout = 0.25f;
        }
    }
    k.rs.antenna.measuredAz.reset();
    k.rs.antenna.measuredEl.reset();
    pollPositionOnce(k);
    if (!wasOpen) {
        k.MSComm2.close();
    }
    const AntennaState& a = k.rs.antenna;
    if (!a.measuredAz) {
        return "No position came back from " + ports::configuredDevice(k, k.MSComm2);
    }
    char text[80];
    std::snprintf(text, sizeof text, "The rotor answers: azimuth %.1f°, elevation %.1f°",
                  *a.measuredAz, a.measuredEl.value_or(0));
    return text;
}

void startFromGetStarted(Kelv& k) {
    k.rs.Get_started = false;
    Save_Click(k);
    // A new station has no pointing corrections yet: the file of zeros Start would offer to
    // write, written here without asking, so that the first Start is not held by a message.
    std::string corrections = k.programFolder + "/rotor.dat";
    std::error_code ec;
    if (rotor::rotorChosen(k.settings().RotorType) && !std::filesystem::exists(corrections, ec)) {
        std::ofstream(corrections, std::ios::binary) << defaultRotorDat();
    }
    Finish_Click(k);
    mnuStart_Click(k);
}

void skipGetStarted(Kelv& k) {
    k.rs.Get_started = false;
}

} // namespace kelvora
