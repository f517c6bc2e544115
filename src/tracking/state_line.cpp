// The state line: the facts gathered from the run state, the cause that wins, its words.
#include "tracking/state_line.h"

#include "astro/ephemeris.h"
#include "sources/tracking_source.h"
#include "state/kelv.h"
#include "station/station_control.h"
#include "tracking/line_reopen.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace kelvora {

namespace {

// Elevation with one decimal and a true minus sign, as people write it: "−61.5°".
std::string degreesText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f°", std::fabs(value));
    return (std::round(value * 10) < 0 ? "\u2212" : "") + std::string(text);
}

std::string belowHorizonText(const StateFacts& f) {
    std::string text = f.body + " below the horizon: " + degreesText(*f.elevationDeg);
    if (f.riseMinuteUtc) {
        char rise[32];
        std::snprintf(rise, sizeof rise, ", rises %02d:%02d UTC", *f.riseMinuteUtc / 60,
                      *f.riseMinuteUtc % 60);
        text += rise;
    }
    return text;
}

std::string trackingText(const StateFacts& f) {
    std::string text = "Tracking the " + f.body + (f.fromFile ? " (WSJT-X file)" : " (computed)");
    return f.pathText.empty() ? text : text + "; " + f.pathText;
}

struct CauseRow {
    StateCause cause;
    bool (*holds)(const StateFacts&);
    std::string (*words)(const StateFacts&);
};

// Highest priority first: a cause the operator must act on outranks one that explains a hold,
// and a hold outranks plain tracking.
constexpr std::array kCauses = std::to_array<CauseRow>({
    {StateCause::RotorPortLost, [](const StateFacts& f) { return f.tracking && f.rotorPortLost; },
     [](const StateFacts&) { return std::string("Rotor port lost, retrying"); }},
    {StateCause::InterlockTripped, [](const StateFacts& f) { return !f.interlockReason.empty(); },
     [](const StateFacts& f) { return "Transmit interlock: " + f.interlockReason; }},
    {StateCause::Parked, [](const StateFacts& f) { return f.parked; },
     [](const StateFacts&) { return std::string("Parked"); }},
    {StateCause::Stopped, [](const StateFacts& f) { return f.stopped; },
     [](const StateFacts&) { return std::string("Rotor stopped: Track resumes tracking"); }},
    {StateCause::HeldWhileTransmitting,
     [](const StateFacts& f) { return f.tracking && f.heldWhileTransmitting; },
     [](const StateFacts&) { return std::string("Held while transmitting"); }},
    {StateCause::BelowHorizon,
     [](const StateFacts& f) { return f.tracking && f.elevationDeg && *f.elevationDeg < 0; },
     belowHorizonText},
    {StateCause::NoPlace, [](const StateFacts& f) { return f.tracking && f.noPlace; },
     [](const StateFacts&) {
         return std::string("No station place for the computed Moon: set it under Options");
     }},
    {StateCause::Held, [](const StateFacts& f) { return f.tracking && !f.holdReason.empty(); },
     [](const StateFacts& f) { return f.holdReason; }},
    {StateCause::WsjtxGone, [](const StateFacts& f) { return f.tracking && f.wsjtxGone; },
     [](const StateFacts& f) { return trackingText(f) + "; WSJT-X gone"; }},
    {StateCause::Tracking, [](const StateFacts& f) { return f.tracking; }, trackingText},
});

bool heldWhileTransmitting(const std::string& holdText) {
    return holdText.starts_with(station::kHeldWhileTransmitting);
}

// The next rise, computed once a minute (and when the body or place changes): a search over
// two days costs some hundred positions, too many for every tick.
struct RiseCache : KelvPart {
    explicit RiseCache(Kelv&) {}
    double computedAt = -1e9;
    astro::Body body = astro::Body::Moon;
    std::optional<double> latitude, longitude;
    std::optional<int> minuteUtc;
};

std::optional<int> nextRiseMinute(Kelv& k, astro::Body body) {
    std::optional<astro::Observer> place = configuredPlace(k);
    RiseCache& cache = k.part<RiseCache>();
    double now = k.clock.utcSeconds();
    std::optional<double> lat = place ? std::optional(place->latitudeDeg) : std::nullopt;
    std::optional<double> lon = place ? std::optional(place->longitudeDeg) : std::nullopt;
    if (now - cache.computedAt < 60 && now >= cache.computedAt && cache.body == body &&
        cache.latitude == lat && cache.longitude == lon) {
        return cache.minuteUtc;
    }
    cache = RiseCache(k);
    cache.computedAt = now;
    cache.body = body;
    cache.latitude = lat;
    cache.longitude = lon;
    if (place) {
        if (std::optional<double> rise = astro::nextRiseUnixSeconds(body, now, *place)) {
            // Rounded up: the body is above the horizon at the minute shown.
            long long minute = static_cast<long long>(std::ceil(*rise / 60));
            cache.minuteUtc = static_cast<int>(minute % (24 * 60));
        }
    }
    return cache.minuteUtc;
}

StateFacts gatherFacts(Kelv& k) {
    StateFacts f;
    const RunState& rs = k.rs;
    f.tracking = rs.Tracking_on == 1;
    // The facts below read the settings; without them loaded there is nothing to tell but that.
    if (!f.tracking && !k.frmRotor.loaded()) {
        return f;
    }
    f.rotorPortLost = rotorLineLost(k);
    station::StationState::Pause pause = k.part<station::StationPart>().rules.state().pause;
    f.parked = pause == station::StationState::Pause::Parked;
    f.stopped = pause == station::StationState::Pause::Stopped;
    f.heldWhileTransmitting = heldWhileTransmitting(rs.antenna.holdText);
    f.holdReason = rs.antenna.holdText;
    astro::Body body = trackedBody(k);
    f.body = rs.Object_name.empty() ? (body == astro::Body::Sun ? "Sun" : "Moon") : rs.Object_name;
    const TrackingSource& source = k.part<TrackingSource>();
    f.fromFile = source.mode == TrackingSourceMode::File || source.used == SourceUsed::File;
    f.noPlace = source.used == SourceUsed::BuiltIn && !source.observer;
    f.elevationDeg = numbers::strictNumber(rs.El_text);
    if (f.tracking && f.elevationDeg && *f.elevationDeg < 0) {
        f.riseMinuteUtc = nextRiseMinute(k, body);
    }
    if (rs.interlock.tripped) {
        f.interlockReason = rs.interlock.reason;
    }
    f.wsjtxGone = rs.wsjtx.gone;
    f.pathText = k.part<station::StationPart>().pathText;
    return f;
}

struct StateLinePart : KelvPart {
    explicit StateLinePart(Kelv&) {}
    StateHistory history;
};

std::string utcTimeText(double utcSeconds) {
    return astro::UtcTime::fromUnixSeconds(utcSeconds).toString().substr(11, 8);
}

} // namespace

StateText describeState(const StateFacts& facts) {
    for (const CauseRow& row : kCauses) {
        if (row.holds(facts)) {
            return {row.cause, row.words(facts)};
        }
    }
    return {StateCause::NotTracking, "Not tracking: Start in the menu bar begins"};
}

bool StateHistory::note(const StateText& state, const std::string& timeText) {
    if (m_last == state.cause) {
        return false;
    }
    m_last = state.cause;
    m_entries.push_back(timeText + "  " + state.text);
    if (m_entries.size() > kStateHistorySize) {
        m_entries.pop_front();
    }
    return true;
}

void updateStateLine(Kelv& k) {
    StateText state = describeState(gatherFacts(k));
    ui::MainForm& f = k.ui;
    f.StateLine.caption = state.text;
    StateHistory& history = k.part<StateLinePart>().history;
    if (history.note(state, utcTimeText(k.clock.utcSeconds()))) {
        f.stateHistory.assign(history.entries().begin(), history.entries().end());
        f.StateHistory.enabled = true;
    }
}

} // namespace kelvora
