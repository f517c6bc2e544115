// The seam between every origin of an antenna move and the rotor: the station rules read from
// [Station] at Start (and when the Station dialog applies), asked once per processed second for
// the tracking target, and asked for the manual direction, the Park, Track and Stop rotor
// buttons, a rotor line that came back and a rotctld client's P, K and S. Nothing else reaches a
// rotor type's set procedure.
#pragma once

#include "hamlib/rotctld_server.h"
#include "state/kelv.h"
#include "station/horizon_file.h"
#include "station/rotor_range.h"
#include "station/station_rules.h"

#include <map>
#include <string>

namespace kelvora::station {

// The rules with their settings, mask file and state.
class StationRules {
public:
    void configure(const StationSettings& settings, std::string_view programFolder);
    void reset() { m_state = {}; }
    // Refreshes the mask file, then decides and keeps the new state.
    Decision tick(const TickInput& in);
    // Refreshes the mask file, then decides on a move of another origin.
    MoveDecision move(const MoveRequest& request, const Conditions& now);
    Decision parkRotor();
    void stopRotor() { m_state = station::stopRotor(m_state); }
    void trackRotor() { m_state = station::track(m_state); }
    // A command the rules let go that did not reach the rotor (no line, the type's own horizon):
    // the threshold keeps measuring from the position last sent.
    void notSent(const std::optional<AzElTarget>& lastSent) { m_state.lastCommanded = lastSent; }
    // The rotor (its line or daemon) came back: the newest target is decided again as if new,
    // whatever its distance from the last command.
    void resendCurrent() {
        m_state.pending = true;
        m_state.lastCommanded.reset();
    }
    void setState(const StationState& state) { m_state = state; }
    void refreshHorizon() { m_horizon.refresh(); }
    const HorizonFile& horizon() const { return m_horizon; }
    const StationSettings& settings() const { return m_settings; }
    const StationState& state() const { return m_state; }

private:
    StationSettings m_settings;
    HorizonFile m_horizon;
    StationState m_state;
};

struct StationPart : KelvPart {
    // Configured from the settings as they are, so that a tick before any Start has the rules.
    explicit StationPart(Kelv& k);
    StationRules rules;
    // With an extended [Rotor_Range]: the current window's path (set by the planner above this
    // layer), or none: the nearest mechanical azimuth with hysteresis.
    std::optional<PlannedPath> planned;
    std::optional<double> lastMechAz; // the mechanical azimuth last commanded
    // For the state line: the chosen path, or that overlap planning is off; empty on a plain
    // rotor.
    std::string pathText;
};

// Installs the path of the window that has begun (or, without one, none); the first command
// of a new path goes to its start.
void setPlannedPath(Kelv& k, std::optional<PlannedPath> path);

// The [Station] keys of the settings record, each missing one at its default.
StationSettings readStationSettings(Kelv& k);

// The texts of every [Station] key (a missing one as its default), for the Station dialog.
std::map<std::string, std::string> stationValues(Kelv& k);
// Stores the dialog's texts and applies them; a key whose text is what it reads already is left
// alone, so a file without the section stays without it until a value changes.
void storeStationValues(Kelv& k, const std::map<std::string, std::string>& values);

// Start: the rules configured from the settings, the buttons enabled, bad settings, a park
// position outside the limits or a damaged mask named in a message. A pause (Park, Stop rotor)
// outlives Stop and Start.
void startStation(Kelv& k);
// Stop and Options: the buttons disabled.
void stopStation(Kelv& k);

// The tracking cycle, after a reading of the tracking source: a target the station rules let go
// (with every rule off: one whose texts changed) sets Target_moved, becomes the last commanded
// and, with the rotor line open, goes to the rotor; an unchanged or held one clears
// Target_moved. A client's move that waited goes out when the rules allow.
void commandNewTarget(Kelv& k);

// A rotor line or daemon that came back: the newest target goes out at once through the rules
// (so a held target, or one below the horizon mask, stays held); while paused, the last
// position commanded (the park position) goes out again.
void resendToRotor(Kelv& k);

// rotctld told its azimuth range: a [Rotor_Range] beyond it is named and the rotor held.
void checkDaemonRange(Kelv& k, double low, double high);

// What the rotctld clients are told (\dump_state and _): the [Station] limits.
void tellClientLimits(Kelv& k, hamlib::RotorAccess& access);
// A rotctld client's P, K or S through the rules; returns the Hamlib error number.
int clientMove(Kelv& k, const hamlib::MoveRequest& request);

// A point of a pointing scan through the rules: sent with tracking paused (so that the next
// target does not pull the antenna off the point; Track resumes it), held while transmitting
// with Hold_Tx, refused under the mask, outside the limits or while tracking is stopped.
MoveDecision calibrationMove(Kelv& k, const AzElTarget& target);

void Park_Click(Kelv& k);      // the park position, then tracking paused
void Track_Click(Kelv& k);     // tracking resumed with the newest target
void StopRotor_Click(Kelv& k); // the type's stop command where it has one, then tracking paused
void Command5_Click(Kelv& k);  // the manual direction "Start"

} // namespace kelvora::station
