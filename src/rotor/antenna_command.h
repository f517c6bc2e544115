// The one decision between "a new target was read" and "a protocol encodes a command".
#pragma once

#include "rotor/angles_protocol.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;
}

namespace kelvora::rotor {

// The preparation a rotor type's command needs.
enum class AngleRule {
    None,    // no rotor: nothing is commanded
    AzEl,    // whole degrees: horizon, overhead flip, corrections, limits
    AzOnly,  // azimuth only: corrections and limits, no horizon
    Decimal, // the decimal texts: horizon, corrections, flip
};

struct AntennaTarget {
    std::string azText, elText; // as the tracking file writes them, with their decimals
    double az = 0, el = 0;      // the whole degrees handed to the set procedure
};

struct AntennaRequest {
    AngleRule rule = AngleRule::None;
    AntennaTarget target{};
    std::optional<AntennaTarget> lastCommanded{}; // the target texts last commanded, when known
    Corrections corrections;
    bool manualDirection = false; // the manual-direction box is ticked: automatic commands stop
};

enum class AntennaDecision { Command, Hold };
enum class HoldReason {
    None, // commanded
    Unchanged,
    NoRotor,
    ManualDirection,
    BelowHorizon,
    NoCorrection, // the corrections table has no entry at the angle
};

struct AntennaCommand {
    AntennaDecision decision = AntennaDecision::Hold;
    HoldReason reason = HoldReason::None;
    AzEl angles{};    // AzEl and AzOnly: corrected and limited (el 0 for AzOnly)
    AzElText texts{}; // Decimal: the two texts with their decimals
};

// Pure: what to command for the request, or why to hold.
AntennaCommand decideAntennaCommand(const AntennaRequest& request);

// How a rotor type's set command goes out.
struct SetProcedure {
    AngleRule angles = AngleRule::None;
    void (*send)(Kelv& k, const AntennaCommand& command) = nullptr; // encodes, shows, writes
    std::string_view traceBefore{}; // traced ahead of a target above the horizon
};

// The carry-out of a move the station rules let go; called only from the station layer (and
// from the types' own manual-direction procedures, which the station layer calls).

// The set procedures with their own angles (the manual direction): these whole degrees, through
// the decision, to the line.
void commandAntenna(Kelv& k, const SetProcedure& set, double az, double el);
// A position of the program's own (a rotctld client's, the park position) through the
// configured rotor type, with the corrections, as if the tracking file had named it. True when
// the command went out.
bool commandPosition(Kelv& k, double az, double el);
// The tracking target (Az_int/El_int, the texts of the run state) through the configured type,
// unless the manual direction is ticked. True when the command went out.
bool commandTrackedTarget(Kelv& k);
// Mechanical angles (an extended [Rotor_Range]: beyond 0..360, over the top) through the
// configured type, unless the manual direction is ticked. True when the command went out.
bool commandMechanical(Kelv& k, double az, double el, const MechanicalLimits& limits);

} // namespace kelvora::rotor
