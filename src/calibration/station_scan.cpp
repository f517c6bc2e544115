#include "calibration/station_scan.h"

#include "station/station_control.h"

namespace kelvora::calibration {

double StationScanDevices::utcSeconds() {
    return m_k.clock.utcSeconds();
}

void StationScanDevices::sleepFor(double seconds) {
    m_k.clock.sleepFor(seconds);
}

MoveOutcome StationScanDevices::point(const station::AzElTarget& target) {
    station::MoveDecision d = station::calibrationMove(m_k, target);
    return {d.verdict, d.reason};
}

std::optional<station::AzElTarget> StationScanDevices::reported() {
    const AntennaState& a = m_k.rs.antenna;
    if (a.measuredAz && a.measuredEl) {
        return station::AzElTarget{*a.measuredAz, *a.measuredEl};
    }
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
