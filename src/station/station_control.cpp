// The station rules wired to the run state, the settings, the status line, the rotor buttons
// and the rotctld clients.
#include "station/station_control.h"

#include "config/settings.h"
#include "config/settings_schema.h"
#include "hamlib/hamlib_devices.h"
#include "rotor/antenna_command.h"
#include "rotor/controller_unit.h"
#include "rotor/rotor_types.h"
#include "state/numbers.h"
#include "station/rotor_range.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kelvora::station {

namespace {

using rotor::findRotorType;
using rotor::RotorType;
using Pause = StationState::Pause;

bool started(Kelv& k) {
    return k.rs.Tracking_on == 1;
}

const RotorType* configuredType(Kelv& k) {
    return findRotorType(k.settings().RotorType);
}

// Transmitting: MAP65's virtual PTT line (DSR, as PTT follow reads it), the tracking file's
// ", T" or a WSJT-X instance's Status. The line is read only when a rule asks, so PTT follow's own
// readings stay as they were.
bool transmitting(Kelv& k, const StationSettings& s) {
    if (!s.holdTx) {
        return false;
    }
    return k.rs.trackingFileTransmitting || k.rs.wsjtx.transmitting ||
           (k.MSComm3.isOpen() && k.MSComm3.dsr());
}

Conditions conditions(Kelv& k) {
    const StationSettings& s = k.part<StationPart>().rules.settings();
    return {k.rs.Sec_now, transmitting(k, s), k.clock.monotonicSeconds()};
}

void showStatus(Kelv& k, const std::string& text) {
    k.ui.RotorAZ.caption = text;
    k.rs.antenna.holdText = text;
}

std::string clientName(const hamlib::MoveRequest& request) {
    return request.client.empty() ? std::string("rotctld client")
                                  : "rotctld client " + request.client;
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

// Tracking paused until Track, for a move of the program's own; `why` goes to the status line.
void pauseTracking(Kelv& k, const std::string& why) {
    k.part<StationPart>().rules.stopRotor();
    showStatus(k, why);
    showPause(k);
}

// Mechanical angles of an extended range to the rotor, kept as the branch it was last sent on.
bool sendMechanical(Kelv& k, const AzElTarget& mech) {
    StationPart& part = k.part<StationPart>();
    const RotorRange& range = part.rules.settings().range;
    if (!rotor::commandMechanical(k, mech.az, mech.el, {range.azLow, range.azHigh, range.elHigh})) {
        return false;
    }
    part.lastMechAz = mech.az;
    return true;
}

// A one-off move (park, a client's, a scan point, a resend while paused), sky angles. With an
// extended range the rotor takes the branch nearest the one it is on, so that no such move
// unwinds it unannounced.
bool sendOneOffMove(Kelv& k, const AzElTarget& sky) {
    StationPart& part = k.part<StationPart>();
    const RotorRange& range = part.rules.settings().range;
    if (!range.extended()) {
        return rotor::commandPosition(k, sky.az, sky.el);
    }
    std::optional<double> from = part.lastMechAz ? part.lastMechAz : k.rs.antenna.measuredAz;
    return sendMechanical(k, {nearestMechanicalAz(sky.az, from, range), sky.el});
}

// The park position to the line, tracking paused. `transmitting`: said in the status line.
void parkNow(Kelv& k, bool whileTransmitting) {
    StationRules& rules = k.part<StationPart>().rules;
    Decision d = rules.parkRotor();
    if (d.action != Decision::Action::Command) {
        showHold(k, d);
        return;
    }
    // Parked either way: a park the line did not take goes out when the line comes back.
    if (!sendOneOffMove(k, d.target)) {
        showStatus(k, "Park not sent to the rotor: it goes out when the rotor line is back");
        showPause(k);
        return;
    }
    k.rs.antenna.commandedAz = d.target.az;
    k.rs.antenna.commandedEl = d.target.el;
    showStatus(k, whileTransmitting ? "Parked while transmitting" : "Rotor parked");
    showPause(k);
}

// A client's move the rules let go; false when the rotor was not sent it.
bool carryOutClientMove(Kelv& k, Origin origin, const AzElTarget& target) {
    const RotorType* type = configuredType(k);
    if (type == nullptr) {
        return false;
    }
    if (origin == Origin::ClientPark) {
        if (type->network != nullptr) {
            type->network->park(k); // the daemon's own park position
            pauseTracking(k, "Rotor parked");
        } else {
            parkNow(k, false);
        }
        return true;
    }
    if (!sendOneOffMove(k, target)) {
        return false;
    }
    pauseTracking(k, "Rotor moved by a rotctld client");
    return true;
}

void forgetHeldMove(Kelv& k) {
    StationRules& rules = k.part<StationPart>().rules;
    StationState state = rules.state();
    state.heldMove.reset();
    rules.setState(state);
}

// A client's move that waited for Hold_Tx or Move_Seconds: out once they allow it.
void releaseHeldMove(Kelv& k) {
    StationRules& rules = k.part<StationPart>().rules;
    if (!rules.state().heldMove) {
        return;
    }
    Origin origin = rules.state().heldOrigin;
    MoveDecision d = rules.move({origin, *rules.state().heldMove}, conditions(k));
    if (d.verdict == Verdict::Hold) {
        if (k.rs.antenna.holdText != d.reason) {
            showStatus(k, d.reason);
        }
        return;
    }
    forgetHeldMove(k);
    if (d.verdict == Verdict::Refuse) {
        showStatus(k, "rotctld client refused: " + d.reason);
        return;
    }
    if (!carryOutClientMove(k, origin, d.target)) {
        showStatus(k, "rotctld client: the rotor was not sent the held move");
    }
}

} // namespace

void StationRules::configure(const StationSettings& settings, std::string_view programFolder) {
    m_settings = settings;
    m_horizon.configure(settings.horizonFile, programFolder);
}

Decision StationRules::tick(const TickInput& in) {
    m_horizon.refresh();
    Decision d = decide(in, m_settings, m_horizon.mask(), m_horizon.error(), m_state);
    m_state = d.next;
    return d;
}

MoveDecision StationRules::move(const MoveRequest& request, const Conditions& now) {
    m_horizon.refresh();
    return decideMove(request, now, m_state, m_settings, m_horizon.mask(), m_horizon.error());
}

Decision StationRules::parkRotor() {
    Decision d = park(m_settings, m_state);
    m_state = d.next;
    return d;
}

StationPart::StationPart(Kelv& k) {
    rules.configure(readStationSettings(k), k.programFolder);
    StationState state;
    // The target last sent counts as seen, so an unchanged target is not sent again.
    state.seenAzText = k.rs.Az_sent;
    state.seenElText = k.rs.El_sent;
    rules.setState(state);
}

StationSettings readStationSettings(Kelv& k) {
    return parseStationWithRange(k.settings().lookup("Station"), k.settings().lookup("Rotor_Range"),
                                 k.settings().RotorType);
}

std::map<std::string, std::string> stationValues(Kelv& k) {
    std::map<std::string, std::string> values;
    for (const config::SchemaRow& row : config::settingsSchema()) {
        if (row.shownIn == config::ShownIn::StationDialog) {
            values[std::string(row.key)] =
                k.settings().value(row.section, row.key, row.defaultText);
        }
    }
    return values;
}

void checkDaemonRange(Kelv& k, double low, double high) {
    StationRules& rules = k.part<StationPart>().rules;
    const RotorRange& range = rules.settings().range;
    if (!range.extended() || (range.azLow >= low && range.azHigh <= high)) {
        return;
    }
    std::string text =
        config::settingError("Rotor_Range", "Az_Low, Az_High",
                             numbers::toText(range.azLow) + ".." + numbers::toText(range.azHigh) +
                                 " is more than the rotctld daemon can be commanded over (" +
                                 numbers::toText(low) + ".." + numbers::toText(high) + ")");
    StationSettings s = rules.settings();
    if (std::find(s.errors.begin(), s.errors.end(), text) != s.errors.end()) {
        return; // told once; the daemon says it again at each connection
    }
    s.errors.push_back(text);
    StationState state = rules.state();
    rules.configure(s, k.programFolder);
    rules.setState(state);
    k.dialogs.messageBox(text + "\n\nThe rotor is held until this is mended.");
}

void tellClientLimits(Kelv& k, hamlib::RotorAccess& access) {
    const StationSettings& s = k.part<StationPart>().rules.settings();
    access.limits = {s.azMin, s.azMax, s.elMin, s.elMax};
    access.info = "Kelvora";
    if (s.azLimited || s.elLimited) {
        access.info += " (azimuth " + numbers::oneDecimal(s.azMin) + ".." +
                       numbers::oneDecimal(s.azMax) + ", elevation " +
                       numbers::oneDecimal(s.elMin) + ".." + numbers::oneDecimal(s.elMax) + ")";
    }
}

void storeStationValues(Kelv& k, const std::map<std::string, std::string>& values) {
    for (const config::SchemaRow& row : config::settingsSchema()) {
        auto it = values.find(std::string(row.key));
        if (row.shownIn == config::ShownIn::StationDialog && it != values.end() &&
            it->second != k.settings().value(row.section, row.key, row.defaultText)) {
            k.settings().setValue(row.section, row.key, it->second);
        }
    }
    // Applied at once: the rules, the mask and the limits the clients are told.
    StationRules& rules = k.part<StationPart>().rules;
    StationState state = rules.state();
    rules.configure(readStationSettings(k), k.programFolder);
    rules.setState(state);
    if (hamlib::RotctldServer* server = k.part<hamlib::HamlibDevices>().server()) {
        tellClientLimits(k, server->access());
    }
}

void startStation(Kelv& k) {
    StationPart& part = k.part<StationPart>();
    part.rules.configure(readStationSettings(k), k.programFolder);
    StationState state = part.rules.state();
    state.seenAzText = k.rs.Az_sent;
    state.seenElText = k.rs.El_sent;
    state.pending = false;
    state.timeSeen = false;
    state.timeAdvanced = false;
    state.reported.clear();
    state.heldMove.reset();
    part.rules.setState(state);
    if (hamlib::RotctldServer* server = k.part<hamlib::HamlibDevices>().server()) {
        tellClientLimits(k, server->access());
    }

    bool rotor = configuredType(k) != nullptr && configuredType(k)->set.send != nullptr;
    for (ui::Control* c : {&k.ui.Park, &k.ui.Track, &k.ui.StopRotor}) {
        c->enabled = rotor;
    }
    showPause(k);

    std::vector<std::string> problems = part.rules.settings().errors;
    if (!part.rules.horizon().error().empty()) {
        problems.push_back(part.rules.horizon().error());
    }
    std::string text;
    for (const std::string& p : problems) {
        text += p + "\n";
    }
    if (!problems.empty()) {
        text += "\nThe rotor is held until this is mended.";
    }
    if (!part.rules.settings().parkError.empty()) {
        text += (text.empty() ? "" : "\n\n") + part.rules.settings().parkError +
                "\n\nPark is refused until this is mended.";
    }
    if (!text.empty()) {
        k.dialogs.messageBox(text);
    }
}

void stopStation(Kelv& k) {
    for (ui::Control* c : {&k.ui.Park, &k.ui.Track, &k.ui.StopRotor}) {
        c->enabled = false;
    }
}

namespace {

// This second's decision on the target of the run state; shows a new hold reason in the status
// line, a stale tracking file in the time read-out, and fills the antenna state.
Decision stationDecision(Kelv& k) {
    RunState& rs = k.rs;
    StationRules& rules = k.part<StationPart>().rules;
    Conditions now = conditions(k);
    TickInput in{.az = numbers::leadingNumber(rs.Az_text),
                 .el = numbers::leadingNumber(rs.El_text),
                 .azText = rs.Az_text,
                 .elText = rs.El_text,
                 .timeText = rs.Time_text,
                 .secondOfMinute = now.secondOfMinute,
                 .monotonicSeconds = now.monotonicSeconds,
                 .transmitting = now.transmitting};
    Decision d = rules.tick(in);
    showHold(k, d);
    showPause(k);
    bool stale = isStale(rules.state(), rules.settings(), now.monotonicSeconds);
    if (stale) {
        k.ui.lblTI.caption = rs.Time_text + " stale";
    }
    k.ui.lblTI.fore = stale ? std::optional(ui::kRed) : std::nullopt;
    return d;
}

// The target the rules let go, to the rotor: as always on a plain rotor; with an extended range
// the mechanical azimuth of the planned path (else the nearest, with hysteresis).
bool sendTarget(Kelv& k, const AzElTarget& sky) {
    StationPart& part = k.part<StationPart>();
    const RotorRange& range = part.rules.settings().range;
    if (!range.extended()) {
        return rotor::commandTrackedTarget(k);
    }
    const bool planned = part.planned && k.clock.utcSeconds() <= part.planned->untilUnix;
    AzElTarget mech = planned
                          ? mechanicalTarget(sky, part.planned->choice, part.lastMechAz, range)
                          : AzElTarget{nearestMechanicalAz(sky.az, part.lastMechAz, range), sky.el};
    return sendMechanical(k, mech);
}

} // namespace

void setPlannedPath(Kelv& k, std::optional<PlannedPath> path) {
    StationPart& part = k.part<StationPart>();
    if (path) {
        part.lastMechAz.reset();
    }
    part.pathText = path ? describePath(*path) : std::string();
    if (path) {
        showStatus(k, "Window planned: " + part.pathText);
    }
    part.planned = std::move(path);
}

void commandNewTarget(Kelv& k) {
    RunState& rs = k.rs;
    StationRules& rules = k.part<StationPart>().rules;
    std::optional<AzElTarget> lastSent = rules.state().lastCommanded;
    Decision d = stationDecision(k);
    releaseHeldMove(k);
    rs.Target_moved = 0;
    if (d.action != Decision::Action::Command) {
        return; // unchanged, or held by a rule: the position polls go on
    }
    rs.Target_moved = 1;
    rs.Az_sent = rs.Az_text;
    rs.El_sent = rs.El_text;
    // The rules have compared the target with the last one: a target they let go is commanded
    // even when its text is the one sent before (Track after Park).
    if (sendTarget(k, d.target)) {
        rs.antenna.commandedAz = d.target.az;
        rs.antenna.commandedEl = d.target.el;
    } else {
        rules.notSent(lastSent);
    }
}

void resendToRotor(Kelv& k) {
    StationRules& rules = k.part<StationPart>().rules;
    const StationState& state = rules.state();
    if (state.pause != Pause::None) {
        // A stopped rotor, or one a client or a scan moved, stays where it is.
        if (state.pause == Pause::Parked && state.lastCommanded) {
            sendOneOffMove(k, *state.lastCommanded); // the park position
        }
        return;
    }
    if (k.rs.Az_int.empty() || k.rs.El_int.empty()) {
        return; // no target read yet
    }
    rules.resendCurrent();
    commandNewTarget(k);
}

MoveDecision calibrationMove(Kelv& k, const AzElTarget& target) {
    const RotorType* type = configuredType(k);
    if (!started(k) || type == nullptr || type->set.send == nullptr) {
        return {Verdict::Refuse, target, "tracking is not running with a rotor"};
    }
    MoveDecision d = k.part<StationPart>().rules.move({Origin::Calibration, target}, conditions(k));
    if (d.verdict == Verdict::Send) {
        // A point the rotor layer does not send (below its horizon, no line) is no point of
        // the scan: the readings would be taken wherever the antenna was left.
        if (!sendOneOffMove(k, d.target)) {
            return {Verdict::Refuse, target, "the rotor was not sent this point"};
        }
        k.rs.antenna.commandedAz = d.target.az;
        k.rs.antenna.commandedEl = d.target.el;
        pauseTracking(k, "Pointing scan");
    }
    return d;
}

int clientMove(Kelv& k, const hamlib::MoveRequest& request) {
    const RotorType* type = configuredType(k);
    if (!started(k) || type == nullptr || type->set.send == nullptr) {
        return hamlib::errors::kRejected;
    }
    if (request.kind == hamlib::MoveKind::Stop) {
        StopRotor_Click(k); // always at once
        return hamlib::errors::kOk;
    }
    Origin origin = request.kind == hamlib::MoveKind::Park ? Origin::ClientPark : Origin::ClientSet;
    StationRules& rules = k.part<StationPart>().rules;
    MoveDecision d =
        rules.move({origin, {request.target.azimuth, request.target.elevation}}, conditions(k));
    switch (d.verdict) {
    case Verdict::Refuse:
        showStatus(k, clientName(request) + " refused: " + d.reason);
        return hamlib::errors::kInvalidArgument;
    case Verdict::Hold: {
        // Tracking pauses now, so that the file's next target does not go out before it.
        rules.stopRotor();
        StationState state = rules.state();
        state.heldMove = d.target;
        state.heldOrigin = origin;
        rules.setState(state);
        showStatus(k, d.reason + " (" + clientName(request) + ")");
        showPause(k);
        return hamlib::errors::kOk;
    }
    case Verdict::Send:
        forgetHeldMove(k);
        if (!carryOutClientMove(k, origin, d.target)) {
            showStatus(k, clientName(request) + ": the rotor was not sent the move");
            return hamlib::errors::kRejected;
        }
        return hamlib::errors::kOk;
    }
    return hamlib::errors::kOk;
}

void Park_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    StationRules& rules = k.part<StationPart>().rules;
    MoveDecision d = rules.move({Origin::ParkButton, {}}, conditions(k));
    if (d.verdict != Verdict::Send) {
        showStatus(k, "Park refused: " + d.reason);
        return;
    }
    forgetHeldMove(k);
    // The operator's wind button: out at once, even while transmitting.
    const StationSettings& s = rules.settings();
    bool whileTransmitting =
        s.holdTx && (k.rs.trackingFileTransmitting || k.rs.wsjtx.transmitting ||
                     (k.MSComm3.isOpen() && k.MSComm3.dsr()));
    parkNow(k, whileTransmitting);
}

void Track_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    forgetHeldMove(k);
    k.part<StationPart>().rules.trackRotor();
    showPause(k);
}

void StopRotor_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    forgetHeldMove(k);
    const RotorType* type = configuredType(k);
    if (type != nullptr && type->stop) {
        Command6_Click(k); // the Stop button's own bytes and pacing
    }
    k.part<StationPart>().rules.stopRotor();
    showStatus(k, "Rotor stopped");
    showPause(k);
}

void Command5_Click(Kelv& k) {
    std::optional<rotor::ManualTarget> target = readManualDirection(k);
    if (!target) {
        return;
    }
    MoveDecision d =
        k.part<StationPart>().rules.move({Origin::Manual, {target->az, target->el}}, conditions(k));
    if (d.verdict != Verdict::Send) {
        showStatus(k, "Manual direction refused: " + d.reason);
        return;
    }
    sendManualDirection(k, *target);
    // The manual azimuth is the mechanical one: later moves on an extended range go on from it.
    StationPart& part = k.part<StationPart>();
    if (part.rules.settings().range.extended()) {
        part.lastMechAz = target->az;
    }
}

} // namespace kelvora::station
