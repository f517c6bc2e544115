// The station rules: whether a move may go out now, must wait, or is refused, and why; for every
// origin of a move alike. Pure logic on numbers and texts.
#pragma once

#include "station/horizon_mask.h"
#include "station/station_settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::station {

enum class TransmitState { Unknown, Receiving, Transmitting };

// The transmit flag of the tracking file: the line holding "Doppler" ends in ", T" while the
// station transmits and ", R" while it receives. Unknown when there is no such ending.
TransmitState transmitStateOf(std::string_view trackingFileText);

struct AzElTarget {
    double az = 0;
    double el = 0;
};

// Where a move comes from. Each has its row in kOriginPolicies.
enum class Origin {
    Tracking,    // the target of the tracking source, every processed second
    LineBack,    // a rotor line or daemon that came back: the newest target again
    Manual,      // the operator's manual direction
    ParkButton,  // the window's Park
    TrackButton, // the window's Track: tracking resumes; the newest target is then Tracking
    StopButton,  // the window's rotor Stop
    ClientSet,   // a rotctld client's P
    ClientPark,  // a rotctld client's K
    ClientStop,  // a rotctld client's S
    Calibration, // a point of a pointing scan
};

// What a rule does to a move of an origin.
enum class Rule {
    Ignored, // the rule does not apply
    Holds,   // the move waits and goes out when the rule allows
    Refuses, // the move is refused and forgotten
};

// The policy per origin. The README's station-rules section shows the same table.
struct OriginPolicy {
    Origin origin;
    std::string_view name;
    Rule limits;      // Az_Min..Az_Max, El_Min..El_Max (Park: Park_Az/Park_El within them)
    Rule mask;        // the horizon mask
    Rule holdTx;      // Hold_Tx while transmitting
    Rule moveSeconds; // Move_Seconds
    Rule threshold;   // Move_Threshold from the last position commanded
    Rule paused;      // tracking paused by Park or Stop
};

inline constexpr std::array<OriginPolicy, 10> kOriginPolicies = {{
    // origin             name                limits          mask            Hold_Tx
    //                                        Move_Seconds    threshold       paused
    {Origin::Tracking, "tracking target", Rule::Holds, Rule::Holds, Rule::Holds, Rule::Holds,
     Rule::Holds, Rule::Holds},
    {Origin::LineBack, "line back", Rule::Holds, Rule::Holds, Rule::Holds, Rule::Holds,
     Rule::Ignored, Rule::Holds},
    {Origin::Manual, "manual direction", Rule::Refuses, Rule::Refuses, Rule::Ignored, Rule::Ignored,
     Rule::Ignored, Rule::Ignored},
    {Origin::ParkButton, "Park", Rule::Refuses, Rule::Ignored, Rule::Ignored, Rule::Ignored,
     Rule::Ignored, Rule::Ignored},
    {Origin::TrackButton, "Track", Rule::Ignored, Rule::Ignored, Rule::Ignored, Rule::Ignored,
     Rule::Ignored, Rule::Ignored},
    {Origin::StopButton, "Stop", Rule::Ignored, Rule::Ignored, Rule::Ignored, Rule::Ignored,
     Rule::Ignored, Rule::Ignored},
    {Origin::ClientSet, "rotctld P", Rule::Refuses, Rule::Refuses, Rule::Holds, Rule::Holds,
     Rule::Ignored, Rule::Ignored},
    {Origin::ClientPark, "rotctld K", Rule::Refuses, Rule::Ignored, Rule::Holds, Rule::Holds,
     Rule::Ignored, Rule::Ignored},
    {Origin::ClientStop, "rotctld S", Rule::Ignored, Rule::Ignored, Rule::Ignored, Rule::Ignored,
     Rule::Ignored, Rule::Ignored},
    {Origin::Calibration, "calibration scan", Rule::Refuses, Rule::Refuses, Rule::Holds,
     Rule::Ignored, Rule::Ignored, Rule::Ignored},
}};

const OriginPolicy& policyOf(Origin origin);

// What the rules remember between ticks. Zeroed at Start.
struct StationState {
    std::string seenAzText, seenElText;      // the target text of the last tick
    bool pending = false;                    // a target not yet commanded
    std::optional<AzElTarget> lastCommanded; // the last position commanded (park included)
    enum class Pause { None, Parked, Stopped } pause = Pause::None;
    std::string timeText;     // the tracking file's time as last seen
    double timeChangedAt = 0; // monotonic seconds when it last changed
    bool timeSeen = false;
    // The time was seen to change at least once. Until then the file cannot be called stale: a
    // file whose time never moved since Start holds nothing that would move the rotor either.
    bool timeAdvanced = false;
    std::string reported; // the hold text last handed out
    // A client's move that waits for a rule (Hold_Tx, Move_Seconds); it goes out like a held
    // target as soon as the rules allow.
    std::optional<AzElTarget> heldMove;
    Origin heldOrigin = Origin::ClientSet;
};

// This moment's facts the rules weigh.
struct Conditions {
    int secondOfMinute = 0;    // 0..59
    bool transmitting = false; // virtual PTT line (DSR) or the tracking file's ", T"
    double monotonicSeconds = 0;
};

// How a hold for transmitting begins; the state line recognises it by these words.
inline constexpr std::string_view kHeldWhileTransmitting = "Held while transmitting";

struct MoveRequest {
    Origin origin = Origin::Tracking;
    AzElTarget target; // the target's own values, before any rotor type rounds or clamps them
};

enum class Verdict { Send, Hold, Refuse };

struct MoveDecision {
    Verdict verdict = Verdict::Send;
    AzElTarget target;  // Send: where to point (Park: the park position)
    std::string reason; // Hold, Refuse: which rule and what it holds
};

// The one decision on a move: (request, origin, station state, rules) -> send, hold or refuse.
// `maskError` non-empty (a damaged or unreadable mask file) stops every move that obeys the mask.
MoveDecision decideMove(const MoveRequest& request, const Conditions& now,
                        const StationState& state, const StationSettings& settings,
                        const HorizonMask& mask, std::string_view maskError);

struct TickInput {
    double az = 0, el = 0;           // the target as numbers
    std::string_view azText, elText; // and as read (Az_text, El_text)
    std::string_view timeText;       // Time_text
    int secondOfMinute = 0;          // 0..59
    double monotonicSeconds = 0;
    bool transmitting = false; // virtual PTT line (DSR) or the tracking file's ", T"
};

struct Decision {
    enum class Action { None, Command, Hold } action = Action::None;
    AzElTarget target;        // Command: where to point
    std::string reason;       // Hold: which rule and what it holds
    bool reasonIsNew = false; // Hold: the reason differs from the one handed out before
    StationState next;        // the state to pass to the next call
};

// One tick. With every key at its default the action is Command exactly when the target text
// changed (as long as the tracking file's time keeps moving), else None.
// `maskError` non-empty (a damaged or unreadable mask file) holds every target.
// Why a tracking target at `t` is held by the limits or the mask; empty when neither holds it.
std::string trackingTargetHeld(const AzElTarget& t, const StationSettings& settings,
                               const HorizonMask& mask);

Decision decide(const TickInput& in, const StationSettings& settings, const HorizonMask& mask,
                std::string_view maskError, const StationState& state);

// The tracking file's time has not advanced for Stale_Seconds (0: never stale).
bool isStale(const StationState& state, const StationSettings& settings, double monotonicSeconds);

// The operator's buttons. Park commands the park position and pauses tracking; Stop pauses it;
// Track resumes it, and the next tick commands the newest target whatever its distance.
Decision park(const StationSettings& settings, const StationState& state);
StationState stopRotor(const StationState& state);
StationState track(const StationState& state);

} // namespace kelvora::station
