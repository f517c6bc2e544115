// The station rules: the transmit flag, the decision on a move from any origin, and the tick.
#include "station/station_rules.h"

#include "state/numbers.h"
#include "station/station_text.h"

#include <algorithm>
#include <cmath>

namespace kelvora::station {

namespace {

using text::plain;
using text::trim;

// Angles from text carry a decimal or two; a threshold of 2.0 must pass a move of 123.4 - 121.4.
constexpr double kEpsilon = 1e-9;

std::string azEl(double az, double el) {
    return numbers::oneDecimal(az) + " " + numbers::oneDecimal(el);
}

double azimuthDistance(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

} // namespace

TransmitState transmitStateOf(std::string_view text) {
    std::size_t keyword = text.find("Doppler");
    if (keyword == std::string_view::npos) {
        return TransmitState::Unknown;
    }
    std::string_view line = text.substr(keyword);
    line = trim(line.substr(0, line.find_first_of("\r\n")));
    if (line.empty() || (line.back() != 'T' && line.back() != 'R')) {
        return TransmitState::Unknown;
    }
    std::string_view before = trim(line.substr(0, line.size() - 1));
    if (before.empty() || before.back() != ',') {
        return TransmitState::Unknown;
    }
    return line.back() == 'T' ? TransmitState::Transmitting : TransmitState::Receiving;
}

const OriginPolicy& policyOf(Origin origin) {
    for (const OriginPolicy& p : kOriginPolicies) {
        if (p.origin == origin) {
            return p;
        }
    }
    return kOriginPolicies.front();
}

namespace {

Verdict verdictOf(Rule r) {
    return r == Rule::Refuses ? Verdict::Refuse : Verdict::Hold;
}

// Rules that stop every move of an origin that obeys any rule: damaged settings, a mask file
// that cannot be read, a pause.
std::optional<MoveDecision> standingHold(const OriginPolicy& p, const AzElTarget& t,
                                         const StationState& state, const StationSettings& settings,
                                         std::string_view maskError) {
    const Rule rules[] = {p.limits, p.mask, p.holdTx, p.moveSeconds, p.threshold, p.paused};
    Rule strictest = Rule::Ignored;
    for (Rule r : rules) {
        if (r == Rule::Refuses || (r == Rule::Holds && strictest == Rule::Ignored)) {
            strictest = r;
        }
    }
    if (strictest != Rule::Ignored && !settings.errors.empty()) {
        return MoveDecision{verdictOf(strictest), t, "Rotor held: " + settings.errors.front()};
    }
    if (p.mask != Rule::Ignored && !maskError.empty()) {
        return MoveDecision{verdictOf(p.mask), t, "Rotor held: " + std::string(maskError)};
    }
    if (p.paused != Rule::Ignored && state.pause != StationState::Pause::None) {
        return MoveDecision{verdictOf(p.paused), t,
                            state.pause == StationState::Pause::Parked ? "Rotor parked"
                                                                       : "Rotor stopped"};
    }
    return std::nullopt;
}

// Each reason below is empty when its rule lets the move go.
std::string limitsReason(const MoveRequest& request, bool park, const AzElTarget& t,
                         const std::string& target, const StationSettings& settings) {
    // A client is told the limits, even the default ones, and held to them; a tracking target
    // at the default limits is judged by the rotor type as it always was.
    bool client = request.origin == Origin::ClientSet;
    bool azLimited = settings.azLimited || client, elLimited = settings.elLimited || client;
    if (park) {
        return settings.parkError;
    }
    if (azLimited && (t.az < settings.azMin || t.az > settings.azMax)) {
        return "Outside the azimuth limits: " + target + " beyond " +
               numbers::oneDecimal(settings.azMin) + ".." + numbers::oneDecimal(settings.azMax);
    }
    if (elLimited && (t.el < settings.elMin || t.el > settings.elMax)) {
        return "Outside the elevation limits: " + target + " beyond " +
               numbers::oneDecimal(settings.elMin) + ".." + numbers::oneDecimal(settings.elMax);
    }
    return {};
}

std::string maskReason(const HorizonMask& mask, const AzElTarget& t, const std::string& target) {
    if (!mask.empty() && t.el < mask.elevationAt(t.az)) {
        return "Below horizon mask: " + target + " under " +
               numbers::oneDecimal(mask.elevationAt(t.az));
    }
    return {};
}

std::string thresholdReason(const StationState& state, const StationSettings& settings,
                            const AzElTarget& t, const std::string& target) {
    if (settings.moveThreshold <= 0 || !state.lastCommanded) {
        return {};
    }
    const AzElTarget& last = *state.lastCommanded;
    double limit = settings.moveThreshold - kEpsilon;
    if (azimuthDistance(t.az, last.az) < limit && std::fabs(t.el - last.el) < limit) {
        return "Within the move threshold: " + target + " near " + azEl(last.az, last.el);
    }
    return {};
}

std::string windowReason(const Conditions& now, const StationSettings& settings,
                         const std::string& target) {
    if (now.secondOfMinute < 0 || now.secondOfMinute > 59 ||
        !settings.moveSeconds.test(static_cast<std::size_t>(now.secondOfMinute))) {
        return "Waiting for the move window: " + target + " (seconds " + settings.moveSecondsText +
               ")";
    }
    return {};
}

} // namespace

std::string trackingTargetHeld(const AzElTarget& t, const StationSettings& settings,
                               const HorizonMask& mask) {
    std::string target = azEl(t.az, t.el);
    std::string limits = limitsReason({Origin::Tracking, t}, false, t, target, settings);
    return limits.empty() ? maskReason(mask, t, target) : limits;
}

MoveDecision decideMove(const MoveRequest& request, const Conditions& now,
                        const StationState& state, const StationSettings& settings,
                        const HorizonMask& mask, std::string_view maskError) {
    const OriginPolicy& p = policyOf(request.origin);
    bool park = request.origin == Origin::ParkButton || request.origin == Origin::ClientPark;
    MoveDecision d;
    d.target = park ? AzElTarget{settings.parkAz, settings.parkEl} : request.target;
    const AzElTarget& t = d.target;
    if (std::optional<MoveDecision> held = standingHold(p, t, state, settings, maskError)) {
        return *held;
    }

    // The rules on the target's own values, in the order their reasons are reported.
    struct Check {
        Rule rule;
        std::string reason; // empty: the rule lets the move go
    };
    std::string target = azEl(t.az, t.el);
    const Check checks[] = {
        {p.holdTx, settings.holdTx && now.transmitting
                       ? std::string(kHeldWhileTransmitting) + ": " + target
                       : ""},
        {p.limits, limitsReason(request, park, t, target, settings)},
        {p.mask, maskReason(mask, t, target)},
        {p.threshold, thresholdReason(state, settings, t, target)},
        {p.moveSeconds, windowReason(now, settings, target)},
    };
    // A refusal outweighs a hold: a move that can never go out is not kept waiting.
    for (Rule kind : {Rule::Refuses, Rule::Holds}) {
        for (const Check& c : checks) {
            if (c.rule == kind && !c.reason.empty()) {
                return {verdictOf(kind), t, c.reason};
            }
        }
    }
    return d;
}

Decision decide(const TickInput& in, const StationSettings& settings, const HorizonMask& mask,
                std::string_view maskError, const StationState& state) {
    Decision d;
    d.next = state;
    StationState& s = d.next;
    if (in.azText != s.seenAzText || in.elText != s.seenElText) {
        s.seenAzText = in.azText;
        s.seenElText = in.elText;
        s.pending = true;
    }
    if (!s.timeSeen || in.timeText != s.timeText) {
        s.timeAdvanced = s.timeAdvanced || s.timeSeen;
        s.timeSeen = true;
        s.timeText = in.timeText;
        s.timeChangedAt = in.monotonicSeconds;
    }

    auto hold = [&](std::string reason) {
        d.action = Decision::Action::Hold;
        d.reasonIsNew = reason != s.reported;
        s.reported = reason;
        d.reason = std::move(reason);
        return d;
    };

    // Rules that hold the rotor whether or not the target moved.
    if (!settings.errors.empty()) {
        return hold("Rotor held: " + settings.errors.front());
    }
    if (!maskError.empty()) {
        return hold("Rotor held: " + std::string(maskError));
    }
    if (s.pause == StationState::Pause::Parked) {
        return hold("Rotor parked");
    }
    if (s.pause == StationState::Pause::Stopped) {
        return hold("Rotor stopped");
    }
    if (isStale(s, settings, in.monotonicSeconds)) {
        return hold("Tracking file stale: " + std::string(trim(s.timeText)) + " unchanged for " +
                    plain(settings.staleSeconds) + " s");
    }
    if (!s.pending) {
        s.reported.clear();
        return d;
    }

    MoveDecision move = decideMove({Origin::Tracking, {in.az, in.el}},
                                   {in.secondOfMinute, in.transmitting, in.monotonicSeconds}, s,
                                   settings, mask, maskError);
    if (move.verdict != Verdict::Send) {
        return hold(std::move(move.reason));
    }
    d.action = Decision::Action::Command;
    d.target = {in.az, in.el};
    s.pending = false;
    s.lastCommanded = d.target;
    s.reported.clear();
    return d;
}

bool isStale(const StationState& state, const StationSettings& settings, double monotonicSeconds) {
    return settings.staleSeconds > 0 && state.timeAdvanced &&
           monotonicSeconds - state.timeChangedAt >= settings.staleSeconds;
}

Decision park(const StationSettings& settings, const StationState& state) {
    Decision d;
    d.next = state;
    MoveDecision move = decideMove({Origin::ParkButton, {}}, {}, state, settings, {}, {});
    if (move.verdict != Verdict::Send) {
        d.action = Decision::Action::Hold;
        d.reason = move.reason;
        d.reasonIsNew = d.reason != state.reported;
        d.next.reported = d.reason;
        return d;
    }
    d.action = Decision::Action::Command;
    d.target = move.target;
    d.next.pause = StationState::Pause::Parked;
    d.next.lastCommanded = d.target;
    d.next.reported.clear();
    return d;
}

StationState stopRotor(const StationState& state) {
    StationState s = state;
    s.pause = StationState::Pause::Stopped;
    return s;
}

StationState track(const StationState& state) {
    StationState s = state;
    s.pause = StationState::Pause::None;
    // The rotor is elsewhere now: go to the newest target whatever the threshold says.
    s.pending = true;
    s.lastCommanded.reset();
    return s;
}

} // namespace kelvora::station
