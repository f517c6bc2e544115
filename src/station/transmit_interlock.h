// The transmit interlock: whether the station may transmit, as a pure function of the station's
// state, and the hold that clears it only once the cause has been gone for a while.
#pragma once

#include "station/station_rules.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvora::station {

// A cause must have been gone this long before the interlock clears.
inline constexpr double kInterlockClearSeconds = 3;

struct InterlockSettings {
    bool enabled = false;
    double maxErrorDeg = 2.0;
    double stalePositionSeconds = 10;
    std::vector<std::string> errors;
};
InterlockSettings parseInterlockSettings(const KeyLookup& lookup);

// This moment's facts. A rotor without position feedback leaves `measured` empty.
struct InterlockInput {
    bool rotor = false;                 // a rotor is configured
    bool feedback = false;              // its type answers position polls and they are made
    std::optional<AzElTarget> target;   // where the rotor should report itself (corrections in)
    std::optional<AzElTarget> measured; // the last position reply
    double positionAgeSeconds = 0;      // since that reply (or Start, before the first)
    std::string lost;                   // the rotor line or daemon that is gone, if any
    std::optional<StationState::Pause> pause; // Park or Stop rotor
    std::string targetHeld;                   // the limits or the mask hold the target: why
};

// The angle on the sky between two directions, degrees.
double skyAngleDeg(const AzElTarget& a, const AzElTarget& b);

// Why transmitting must stop now; empty while nothing stops it (and always while disabled).
std::string interlockCause(const InterlockInput& in, const InterlockSettings& settings);

// Which causes a rotor with or without position feedback can know, for the message at Start.
std::string knownCausesText(bool rotor, bool feedback);

// Trips at once on a cause; clears once no cause has been seen for kInterlockClearSeconds.
class InterlockHold {
public:
    // The cause of this moment in, whether tripped out; `reason` is the newest cause seen.
    bool update(const std::string& cause, double now);
    bool tripped() const { return m_tripped; }
    const std::string& reason() const { return m_reason; }

private:
    bool m_tripped = false;
    std::string m_reason;
    double m_lastCauseAt = 0;
};

} // namespace kelvora::station
