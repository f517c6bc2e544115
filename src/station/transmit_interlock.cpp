#include "station/transmit_interlock.h"

#include "config/settings_schema.h"
#include "state/numbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelvora::station {

InterlockSettings parseInterlockSettings(const KeyLookup& lookup) {
    config::SectionReader reader("Interlock", lookup);
    InterlockSettings s;
    s.enabled = reader.flag("Enabled");
    s.maxErrorDeg = reader.number("Max_Error_Deg").value_or(s.maxErrorDeg);
    s.stalePositionSeconds =
        reader.number("Stale_Position_Seconds").value_or(s.stalePositionSeconds);
    s.errors = std::move(reader.errors);
    return s;
}

double skyAngleDeg(const AzElTarget& a, const AzElTarget& b) {
    constexpr double kRad = std::numbers::pi / 180;
    // The haversine form: exact to small angles, where the pointing error lives.
    double dEl = (b.el - a.el) * kRad, dAz = (b.az - a.az) * kRad;
    double h = std::sin(dEl / 2) * std::sin(dEl / 2) + std::cos(a.el * kRad) *
                                                           std::cos(b.el * kRad) *
                                                           std::sin(dAz / 2) * std::sin(dAz / 2);
    return 2 * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0))) / kRad;
}

std::string interlockCause(const InterlockInput& in, const InterlockSettings& settings) {
    if (!settings.enabled || !in.rotor) {
        return {};
    }
    if (!in.lost.empty()) {
        return in.lost + " lost";
    }
    if (in.pause) {
        return *in.pause == StationState::Pause::Parked ? "antenna parked" : "antenna stopped";
    }
    if (!in.targetHeld.empty()) {
        return "target held: " + in.targetHeld;
    }
    if (!in.feedback) {
        return {};
    }
    if (in.positionAgeSeconds > settings.stalePositionSeconds) {
        return "no rotor position for over " + numbers::oneDecimal(settings.stalePositionSeconds) +
               " s";
    }
    if (in.measured && in.target) {
        double error = skyAngleDeg(*in.measured, *in.target);
        if (error > settings.maxErrorDeg) {
            return "antenna " + numbers::oneDecimal(error) + " deg off target";
        }
    }
    return {};
}

std::string knownCausesText(bool rotor, bool feedback) {
    if (!rotor) {
        return "Transmit interlock: no rotor, nothing to watch";
    }
    std::string text = "Transmit interlock watches: rotor lost, parked or stopped, target held";
    return feedback ? text + ", pointing error, stale position"
                    : text + " (no position feedback: not the pointing error)";
}

bool InterlockHold::update(const std::string& cause, double now) {
    if (!cause.empty()) {
        m_reason = cause;
        m_tripped = true;
        m_lastCauseAt = now;
    } else if (m_tripped && now - m_lastCauseAt >= kInterlockClearSeconds) {
        m_tripped = false;
        m_reason.clear();
    }
    return m_tripped;
}

} // namespace kelvora::station
