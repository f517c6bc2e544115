// The station rules wired to the run state, the settings, the status line and the rotor buttons.
#include "rotor/station_control.h"

#include "config/settings.h"
#include "rotor/antenna_command.h"
#include "rotor/controller_unit.h"
#include "rotor/rotor_types.h"
#include "state/numbers.h"

#include <cmath>
#include <string>

namespace kelvora::rotor {

namespace {

using station::Decision;
using Pause = station::StationState::Pause;

bool started(Kelv& k) {
    return k.rs.Tracking_on == 1;
}

const RotorType* configuredType(Kelv& k) {
    return findRotorType(k.settings().RotorType);
}

// Transmitting: MAP65's virtual PTT line (DSR, as PTT follow reads it) or the tracking file's
// ", T". The line is read only when a rule asks, so PTT follow's own readings stay as they were.
bool transmitting(Kelv& k, const station::StationSettings& s) {
    if (!s.holdTx) {
        return false;
    }
    return k.rs.trackingFileTransmitting || (k.MSComm3.isOpen() && k.MSComm3.dsr());
}

// The pause is shown on its button; Track stands out while there is one to leave.
void showPause(Kelv& k) {
    Pause pause = k.part<StationPart>().rules.state().pause;
    k.rs.antenna.paused = pause != Pause::None;
    k.ui.Park.back = pause == Pause::Parked ? std::optional(ui::kHighlight) : std::nullopt;
    k.ui.StopRotor.back = pause == Pause::Stopped ? std::optional(ui::kHighlight) : std::nullopt;
    k.ui.Track.back = pause != Pause::None ? std::optional(ui::kYellow) : std::nullopt;
}

void showHold(Kelv& k, const Decision& d) {
    AntennaState& antenna = k.rs.antenna;
    if (d.action == Decision::Action::Hold) {
        if (d.reasonIsNew) {
            k.ui.RotorAZ.caption = d.reason;
        }
        antenna.holdText = d.reason;
        return;
    }
    // A hold that ended no longer stands in the status line; anything written since stays.
    if (!antenna.holdText.empty() && k.ui.RotorAZ.caption == antenna.holdText) {
        k.ui.RotorAZ.caption.clear();
    }
    antenna.holdText.clear();
}

} // namespace

StationPart::StationPart(Kelv& k) {
    rules.configure(readStationSettings(k), k.programFolder);
    station::StationState state;
    // The target last sent counts as seen, so an unchanged target is not sent again.
    state.seenAzText = k.rs.Az_sent;
    state.seenElText = k.rs.El_sent;
    rules.setState(state);
}

station::StationSettings readStationSettings(Kelv& k) {
    config::Settings& settings = k.settings();
    return station::parseStationSettings([&settings](std::string_view key) {
        for (const station::KeyDefault& entry : station::kStationKeys) {
            if (entry.key == key) {
                return std::optional(settings.value(entry.section, key, entry.defaultText));
            }
        }
        return std::optional<std::string>();
    });
}

std::map<std::string, std::string> stationValues(Kelv& k) {
    std::map<std::string, std::string> values;
    for (const station::KeyDefault& entry : station::kStationKeys) {
        values[std::string(entry.key)] =
            k.settings().value(entry.section, entry.key, entry.defaultText);
    }
    return values;
}

void storeStationValues(Kelv& k, const std::map<std::string, std::string>& values) {
    for (const station::KeyDefault& entry : station::kStationKeys) {
        auto it = values.find(std::string(entry.key));
        if (it != values.end() &&
            it->second != k.settings().value(entry.section, entry.key, entry.defaultText)) {
            k.settings().setValue(entry.section, entry.key, it->second);
        }
    }
}

void startStation(Kelv& k) {
    StationPart& part = k.part<StationPart>();
    part.rules.configure(readStationSettings(k), k.programFolder);
    station::StationState state = part.rules.state();
    state.seenAzText = k.rs.Az_sent;
    state.seenElText = k.rs.El_sent;
    state.pending = false;
    state.timeSeen = false;
    state.timeAdvanced = false;
    state.reported.clear();
    part.rules.setState(state);

    bool rotor = configuredType(k) != nullptr && configuredType(k)->set.send != nullptr;
    for (ui::Control* c : {&k.ui.Park, &k.ui.Track, &k.ui.StopRotor}) {
        c->enabled = rotor;
    }
    showPause(k);

    std::vector<std::string> problems = part.rules.settings().errors;
    if (!part.rules.horizon().error().empty()) {
        problems.push_back(part.rules.horizon().error());
    }
    if (!problems.empty()) {
        std::string text;
        for (const std::string& p : problems) {
            text += p + "\n";
        }
        k.dialogs.messageBox(text + "\nThe rotor is held until this is mended.");
    }
}

void stopStation(Kelv& k) {
    for (ui::Control* c : {&k.ui.Park, &k.ui.Track, &k.ui.StopRotor}) {
        c->enabled = false;
    }
}

station::Decision stationDecision(Kelv& k) {
    RunState& rs = k.rs;
    station::StationRules& rules = k.part<StationPart>().rules;
    double now = k.clock.monotonicSeconds();
    station::TickInput in{.az = numbers::leadingNumber(rs.Az_text),
                          .el = numbers::leadingNumber(rs.El_text),
                          .azText = rs.Az_text,
                          .elText = rs.El_text,
                          .timeText = rs.Time_text,
                          .secondOfMinute = rs.Sec_now,
                          .monotonicSeconds = now,
                          .transmitting = transmitting(k, rules.settings())};
    Decision d = rules.tick(in);
    showHold(k, d);
    showPause(k);
    bool stale = station::isStale(rules.state(), rules.settings(), now);
    if (stale) {
        k.ui.lblTI.caption = rs.Time_text + " stale";
    }
    k.ui.lblTI.fore = stale ? std::optional(ui::kRed) : std::nullopt;
    return d;
}

void Park_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    station::StationRules& rules = k.part<StationPart>().rules;
    Decision d = rules.parkRotor();
    if (d.action != Decision::Action::Command) {
        showHold(k, d);
        return;
    }
    if (commandPosition(k, d.target.az, d.target.el)) {
        k.rs.antenna.commandedAz = d.target.az;
        k.rs.antenna.commandedEl = d.target.el;
    }
    k.ui.RotorAZ.caption = "Rotor parked";
    k.rs.antenna.holdText = k.ui.RotorAZ.caption;
    showPause(k);
}

void resendToRotor(Kelv& k) {
    station::StationRules& rules = k.part<StationPart>().rules;
    const station::StationState& state = rules.state();
    if (state.pause != station::StationState::Pause::None) {
        if (state.lastCommanded) { // the park position, say
            commandPosition(k, state.lastCommanded->az, state.lastCommanded->el);
        }
        return;
    }
    if (k.rs.Az_int.empty() || k.rs.El_int.empty()) {
        return; // no target read yet
    }
    rules.resendCurrent();
    commandNewTarget(k);
}

void pauseTracking(Kelv& k, const std::string& why) {
    k.part<StationPart>().rules.stopRotor();
    k.ui.RotorAZ.caption = why;
    k.rs.antenna.holdText = why;
    showPause(k);
}

void Track_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    k.part<StationPart>().rules.trackRotor();
    showPause(k);
}

void StopRotor_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    const RotorType* type = configuredType(k);
    if (type != nullptr && type->stop) {
        Command6_Click(k); // the Stop button's own bytes and pacing
    }
    k.part<StationPart>().rules.stopRotor();
    k.ui.RotorAZ.caption = "Rotor stopped";
    k.rs.antenna.holdText = k.ui.RotorAZ.caption;
    showPause(k);
}

} // namespace kelvora::rotor
