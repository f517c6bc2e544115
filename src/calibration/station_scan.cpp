#include "calibration/station_scan.h"

#include "station/station_control.h"

#include <cmath>

namespace kelvora::calibration {

double StationScanDevices::utcSeconds() {
    return m_k.clock.utcSeconds();
}

void StationScanDevices::sleepFor(double seconds) {
    m_k.clock.sleepFor(seconds);
}

MoveOutcome StationScanDevices::point(const station::AzElTarget& target) {
    station::MoveDecision d = station::calibrationMove(m_k, target);
    m_asked = 0;
    m_lastSeen.reset();
    return {d.verdict, d.reason};
}

bool StationScanDevices::settled() {
    const AntennaState& a = m_k.rs.antenna;
    if (!a.measuredAz || !a.measuredEl) {
        return true;
    }
    const station::AzElTarget now{*a.measuredAz, *a.measuredEl};
    const bool still = m_lastSeen && std::abs(now.az - m_lastSeen->az) < 0.05 &&
                       std::abs(now.el - m_lastSeen->el) < 0.05;
    m_lastSeen = now;
    return ++m_asked >= 2 && still;
}

// The rotor reports in its own frame, rotor.dat's correction included; the correction the fit
// finds is one to add to rotor.dat, so the offsets are taken from the targets sent, which are in
// the sky's frame before that correction.
std::optional<station::AzElTarget> StationScanDevices::reported() {
    return std::nullopt;
}

std::optional<double> StationScanDevices::powerDb() {
    if (simulated) {
        const AntennaState& a = m_k.rs.antenna;
        if (!a.commandedAz || !a.commandedEl) {
            return std::nullopt;
        }
        astro::TopocentricPosition p = astro::topocentricPosition(
            m_body, astro::UtcTime::fromUnixSeconds(utcSeconds()), m_observer);
        return simulated->powerDb(*a.commandedAz, *a.commandedEl, p.azimuthDeg, p.elevationDeg);
    }
    std::optional<double> level = m_level;
    m_level.reset();
    return level;
}

} // namespace kelvora::calibration
