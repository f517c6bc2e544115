// The station rules in the running program: read from [Station] at Start, asked by the antenna
// command once per processed second, and the Park, Track and Stop rotor buttons.
#pragma once

#include "rotor/station_rules.h"
#include "state/kelv.h"

#include <map>
#include <string>

namespace kelvora::rotor {

struct StationPart : KelvPart {
    // Configured from the settings as they are, so that a tick before any Start has the rules.
    explicit StationPart(Kelv& k);
    station::StationRules rules;
};

// The [Station] keys of the settings record, each missing one at its default.
station::StationSettings readStationSettings(Kelv& k);

// The texts of every [Station] key (a missing one as its default), for the Station dialog.
std::map<std::string, std::string> stationValues(Kelv& k);
// Stores the dialog's texts; a key whose text is what it reads already is left alone, so a file
// without the section stays without it until a value changes.
void storeStationValues(Kelv& k, const std::map<std::string, std::string>& values);

// Start: the rules configured from the settings, the buttons enabled, bad settings or a damaged
// mask named in a message. A pause (Park, Stop rotor) outlives Stop and Start.
void startStation(Kelv& k);
// Stop and Options: the buttons disabled.
void stopStation(Kelv& k);

// This second's decision on the target of the run state; shows a new hold reason in the status
// line, a stale tracking file in the time read-out, and fills the antenna state.
station::Decision stationDecision(Kelv& k);

// A rotor line or daemon that came back: the newest target goes out at once through the rules
// (so a held target, or one below the horizon mask, stays held); while paused, the last
// position commanded (the park position) goes out again.
void resendToRotor(Kelv& k);

// Tracking paused until Track, for a move of the program's own (a rotctld client's); `why` goes
// to the status line.
void pauseTracking(Kelv& k, const std::string& why);

void Park_Click(Kelv& k);      // the park position, then tracking paused
void Track_Click(Kelv& k);     // tracking resumed with the newest target
void StopRotor_Click(Kelv& k); // the type's stop command where it has one, then tracking paused

} // namespace kelvora::rotor
