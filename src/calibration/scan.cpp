#include "calibration/scan.h"

#include <algorithm>
#include <cmath>

namespace kelvora::calibration {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Near the zenith an azimuth step grows without bound; below this cos(el) the step stops growing.
constexpr double kSmallestCosine = 0.05;

double cosine(double elevationDeg) {
    return std::max(std::cos(elevationDeg * kPi / 180), kSmallestCosine);
}

std::vector<double> axis(const ScanSettings& s) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(s.steps));
    for (int i = 0; i < s.steps; ++i) {
        values.push_back(-s.spanDeg() + 2 * s.spanDeg() * i / (s.steps - 1));
    }
    return values;
}

station::AzElTarget sourceAt(astro::Body body, const astro::Observer& observer, double utc) {
    astro::TopocentricPosition p =
        astro::topocentricPosition(body, astro::UtcTime::fromUnixSeconds(utc), observer);
    return {p.azimuthDeg, p.elevationDeg};
}

} // namespace

Parsed<ScanSettings> readScanSettings(const config::KeyLookup& lookup) {
    config::SectionReader reader("Calibration", lookup);
    ScanSettings s;
    s.powerSource = reader.choice("Power_Source").value_or("rigctld") == "Simulated"
                        ? PowerSource::Simulated
                        : PowerSource::Rigctld;
    s.beamDeg = reader.number("Beam_Deg").value_or(s.beamDeg);
    s.pattern =
        reader.choice("Pattern").value_or("Cross") == "Raster" ? Pattern::Raster : Pattern::Cross;
    s.spanBeams = reader.number("Span_Beams").value_or(s.spanBeams);
    s.steps = static_cast<int>(reader.whole("Steps").value_or(s.steps));
    s.dwellSeconds = reader.number("Dwell_Seconds").value_or(s.dwellSeconds);
    s.offSourceDeg = reader.number("Off_Source_Deg").value_or(5 * s.beamDeg);
    if (!reader.errors.empty()) {
        return parseFailure<ScanSettings>(reader.errors.front());
    }
    return {s, {}};
}

std::vector<ScanOffset> planScan(const ScanSettings& settings) {
    std::vector<ScanOffset> plan;
    const std::vector<double> values = axis(settings);
    if (settings.pattern == Pattern::Cross) {
        for (double x : values) {
            plan.push_back({x, 0, false});
        }
        // An even number of steps has no centre on the azimuth line to share.
        for (double y : values) {
            if (std::abs(y) > 1e-9 || settings.steps % 2 == 0) {
                plan.push_back({0, y, false});
            }
        }
    } else {
        for (std::size_t row = 0; row < values.size(); ++row) {
            for (std::size_t column = 0; column < values.size(); ++column) {
                const std::size_t c = row % 2 == 0 ? column : values.size() - 1 - column;
                plan.push_back({values[c], values[row], false});
            }
        }
    }
    plan.push_back({settings.offSourceDeg, 0, true});
    return plan;
}

station::AzElTarget offsetTarget(const ScanOffset& offset, const station::AzElTarget& source) {
    const double el = source.el + offset.elDeg;
    double az = std::fmod(source.az + offset.crossElDeg / cosine(el), 360.0);
    return {az < 0 ? az + 360 : az, el};
}

Scan::Scan(const ScanSettings& settings, astro::Body body, const astro::Observer& observer)
    : m_settings(settings), m_body(body), m_observer(observer), m_plan(planScan(settings)) {}

StepResult Scan::moveToNext(ScanDevices& devices) {
    if (done()) {
        return StepResult::Done;
    }
    const ScanOffset& offset = m_plan[m_next];
    station::AzElTarget source = sourceAt(m_body, m_observer, devices.utcSeconds());
    m_sent = offsetTarget(offset, source);
    MoveOutcome move = devices.point(m_sent);
    m_reason = move.reason;
    if (move.verdict == station::Verdict::Hold) {
        return StepResult::Paused;
    }
    ++m_next;
    if (move.verdict == station::Verdict::Refuse) {
        return StepResult::Skipped;
    }
    m_dwellStart = devices.utcSeconds();
    m_sum = 0;
    m_readings = 0;
    return StepResult::Dwelling;
}

void Scan::addReading(double powerDb) {
    // Averaged as powers, not as decibels.
    m_sum += std::pow(10.0, powerDb / 10);
    ++m_readings;
}

StepResult Scan::finishPoint(ScanDevices& devices) {
    if (m_readings == 0) {
        m_reason = "no reading from the receiver";
        return StepResult::Skipped;
    }
    const ScanOffset& offset = m_plan[m_next - 1];
    const double db = 10 * std::log10(m_sum / m_readings);
    if (offset.coldSky) {
        m_coldSkyDb = db;
        return StepResult::Measured;
    }
    // The offsets as the rotor reports them (else as sent), against the source at the middle of
    // the dwell.
    const double middle = (m_dwellStart + devices.utcSeconds()) / 2;
    station::AzElTarget source = sourceAt(m_body, m_observer, middle);
    station::AzElTarget at = devices.reported().value_or(m_sent);
    const double dAz = std::remainder(at.az - source.az, 360.0);
    m_points.push_back({offset, {dAz * cosine(at.el), at.el - source.el, db}, middle, source});
    return StepResult::Measured;
}

StepResult Scan::step(ScanDevices& devices) {
    StepResult moved = moveToNext(devices);
    if (moved != StepResult::Dwelling) {
        return moved;
    }
    // A reading once a second through the dwell.
    for (double waited = 0; waited < m_settings.dwellSeconds;) {
        const double pause = std::min(1.0, m_settings.dwellSeconds - waited);
        devices.sleepFor(pause);
        waited += pause;
        if (std::optional<double> db = devices.powerDb()) {
            addReading(*db);
        }
    }
    return finishPoint(devices);
}

BeamFit Scan::fit() const {
    std::vector<ScanPoint> points;
    for (const MeasuredPoint& p : m_points) {
        points.push_back(p.measured);
    }
    return fitBeam(points, m_settings.beamDeg, m_settings.spanDeg(), m_coldSkyDb);
}

Correction correctionOf(const BeamFit& fit, double elevationDeg) {
    return {fit.crossElDeg / cosine(elevationDeg), fit.elDeg};
}

} // namespace kelvora::calibration
