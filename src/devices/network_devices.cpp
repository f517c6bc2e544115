#include "devices/network_devices.h"

#include "config/settings.h"
#include "hamlib/hamlib_devices.h"
#include "radio/hamlib_rig.h"
#include "radio/radio_models.h"
#include "rotor/collect.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "station/station_control.h"
#include "wsjtx/wsjtx_link.h"

#include <cstdio>
#include <optional>
#include <string>

namespace kelvora {

namespace {

std::string hamlibValue(Kelv& k, const char* key) {
    return k.settings().value("Hamlib", key);
}

std::optional<hamlib::Position> reportedPosition(const Kelv& k) {
    const AntennaState& a = k.rs.antenna;
    if (a.measuredAz && a.measuredEl) {
        return hamlib::Position{*a.measuredAz, *a.measuredEl};
    }
    if (a.commandedAz && a.commandedEl) {
        return hamlib::Position{*a.commandedAz, *a.commandedEl};
    }
    return std::nullopt; // no rotor report and no command yet
}

void startServer(Kelv& k, hamlib::HamlibDevices& devices, std::string& failures) {
    Parsed<hamlib::ServerSettings> parsed =
        hamlib::parseServerSettings(hamlibValue(k, "Server"), hamlibValue(k, "Server_Address"),
                                    hamlibValue(k, "Server_Port"), hamlibValue(k, "Server_Moves"));
    if (!parsed) {
        failures += parsed.error + "\n";
        return;
    }
    const hamlib::ServerSettings& settings = *parsed.value;
    std::string error;
    hamlib::RotorAccess access;
    access.position = [&k] { return reportedPosition(k); };
    // Every move a client asks for, and the limits it is told, come from the station rules.
    access.move = [&k](const hamlib::MoveRequest& request) {
        return station::clientMove(k, request);
    };
    station::tellClientLimits(k, access);
    if (!devices.startServer(settings, std::move(access), error)) {
        failures += "rotctld server at " + settings.address + ":" + std::to_string(settings.port) +
                    ": " + error + "\n";
    }
}

// rigctld, when the radio model is reached through it.
void startRig(Kelv& k, hamlib::HamlibDevices& devices, std::string& failures) {
    const radio::RadioModel* model = radio::findRadioModel(k.settings().RtxType);
    if (model == nullptr || model->cat != radio::Cat::Rigctld) {
        return;
    }
    std::string error;
    if (devices.startRig(hamlibValue(k, "Rig_Address"), error)) {
        // A daemon that comes (back) gets the current frequency at once.
        devices.rig()->onSplit = [&devices](bool on) {
            if (!devices.splitAtStart) {
                devices.splitAtStart = on;
            }
        };
        devices.rig()->onConnected = [&k, &devices] {
            if (!devices.splitAtStart) {
                devices.rig()->send(hamlib::getSplitCommand()); // left so at Stop
            }
            devices.splitOn = false;
            if (!k.rs.Freq_TX.empty()) {
                hamlibRigSetFrequency(k);
            }
        };
    } else {
        failures += error + "\n";
    }
}

// rotctld, when the rotor type is a network one.
void startRot(Kelv& k, hamlib::HamlibDevices& devices, std::string& failures) {
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    if (type == nullptr || type->network == nullptr) {
        return;
    }
    std::string error;
    if (devices.startRot(hamlibValue(k, "Rot_Address"), error)) {
        devices.rot()->onPosition = [&k](const hamlib::Position& p) {
            rotor::showLabels(k,
                              {numbers::oneDecimal(p.azimuth), numbers::oneDecimal(p.elevation)});
        };
        // A daemon that comes (back) is sent the last command again.
        devices.rot()->onConnected = [&k, &devices] {
            // Only a range beyond the plain one needs the daemon's: the default asks nothing.
            if (k.part<station::StationPart>().rules.settings().range.extended()) {
                devices.rot()->send(hamlib::dumpStateCommand());
            }
            station::resendToRotor(k);
        };
        devices.rot()->onAzimuthRange = [&k](double low, double high) {
            station::checkDaemonRange(k, low, high);
        };
    } else {
        failures += error + "\n";
    }
}

} // namespace

void startNetworkDevices(Kelv& k) {
    auto& devices = k.part<hamlib::HamlibDevices>();
    devices.stop();
    std::string failures;
    startRig(k, devices, failures);
    startRot(k, devices, failures);
    startServer(k, devices, failures);
    std::string wsjtxFailures;
    wsjtx::startWsjtx(k, wsjtxFailures);
    k.ui.tmrNetwork.enabled = devices.rig() != nullptr || devices.rot() != nullptr ||
                              devices.server() != nullptr || wsjtx::wsjtxListening(k);
    if (!wsjtxFailures.empty()) {
        wsjtxFailures.pop_back();
        k.ui.RotorAZ.caption = "WSJT-X: " + wsjtxFailures.substr(0, wsjtxFailures.find('\n'));
        k.dialogs.notice("WSJT-X:\n" + wsjtxFailures + "\n\nTracking goes on without it.");
    }
    if (!failures.empty()) {
        failures.pop_back();
        // A window that does not wait for OK: tracking goes on meanwhile.
        k.ui.RotorAZ.caption = "Hamlib: " + failures.substr(0, failures.find('\n'));
        k.dialogs.notice("Hamlib:\n" + failures + "\n\nTracking goes on without it.");
    }
}

void stopNetworkDevices(Kelv& k) {
    k.part<hamlib::HamlibDevices>().stop();
    wsjtx::stopWsjtx(k);
    k.ui.tmrNetwork.enabled = false;
}

void tmrNetwork_Timer(Kelv& k) {
    k.part<hamlib::HamlibDevices>().poll();
    wsjtx::pollWsjtx(k);
}

} // namespace kelvora
