#include "calibration/calibration_demo.h"

#include "rotor/easycomm_protocol.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kelvora::calibration {

namespace {

// The demo's station (JN45) and the day it searches for the source.
constexpr double kLatitude = 45.5, kLongitude = 9.2;
constexpr double kFirstUtc = 1782000000; // 2026-06-21
constexpr double kLowestEl = 35, kHighestEl = 60;

std::optional<double> decimal(const std::optional<std::string>& text, double absent) {
    if (!text) {
        return absent;
    }
    double v = 0;
    const char* end = text->data() + text->size();
    auto [ptr, ec] = std::from_chars(text->data(), end, v);
    if (text->empty() || ec != std::errc() || ptr != end || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

std::string oneDecimal(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

// A strong Sun, weaker radio stars, in units of the cold sky.
double fluxOf(astro::Body body) {
    switch (body) {
    case astro::Body::Sun:
        return 30;
    case astro::Body::CasA:
    case astro::Body::CygA:
        return 3;
    default:
        return 1;
    }
}

astro::CommandResult usage(const std::string& message) {
    return {2, {}, "--demo-calibration: " + message + "\n"};
}

} // namespace

SimulatedStation::SimulatedStation(astro::Body body, const astro::Observer& observer, double utc,
                                   unsigned seed)
    : m_body(body), m_observer(observer), m_utc(utc), m_rotor(sim::RotorProtocol::EasyComm),
      m_receiver(seed) {
    m_rules.configure(station::StationSettings{}, "");
}

MoveOutcome SimulatedStation::point(const station::AzElTarget& target) {
    station::MoveDecision d =
        m_rules.move({station::Origin::Calibration, target}, {0, false, m_utc});
    if (d.verdict == station::Verdict::Send) {
        m_rotor.receive(
            rotor::easyCommSetCommand({oneDecimal(d.target.az), oneDecimal(d.target.el)}));
    }
    return {d.verdict, d.reason};
}

std::optional<station::AzElTarget> SimulatedStation::reported() {
    return station::AzElTarget{m_rotor.az, m_rotor.el};
}

std::optional<double> SimulatedStation::powerDb() {
    astro::TopocentricPosition source =
        astro::topocentricPosition(m_body, astro::UtcTime::fromUnixSeconds(m_utc), m_observer);
    return m_receiver.powerDb(m_rotor.pointingAz(), m_rotor.pointingEl(), source.azimuthDeg,
                              source.elevationDeg);
}

astro::Observer demoObserver() {
    return astro::makeObserver(kLatitude, kLongitude, 0).value.value();
}

std::optional<double> demoScanStart(astro::Body body, const astro::Observer& observer) {
    for (double t = kFirstUtc; t < kFirstUtc + 2 * 86400; t += 600) {
        double el = astro::topocentricPosition(body, astro::UtcTime::fromUnixSeconds(t), observer)
                        .elevationDeg;
        if (el >= kLowestEl && el <= kHighestEl) {
            return t;
        }
    }
    return std::nullopt;
}

astro::CommandResult runCalibrationDemo(const DemoRequest& request) {
    std::optional<astro::Body> body = astro::bodyNamed(request.source);
    if (!body) {
        return usage("unknown source '" + request.source +
                     "', use Sun, Moon, \"Cas A\", \"Cyg A\", \"Tau A\" or \"Vir A\"");
    }
    std::optional<double> azError = decimal(request.azError, 0);
    std::optional<double> elError = decimal(request.elError, 0);
    std::optional<double> beam = decimal(request.beam, 3);
    std::optional<double> seed = decimal(request.seed, 1);
    if (!azError || !elError || std::abs(*azError) > 30 || std::abs(*elError) > 30) {
        return usage("--az-error and --el-error take degrees, -30 to 30");
    }
    if (!beam || *beam < 0.1 || *beam > 90) {
        return usage("--beam takes a half-power beamwidth of 0.1 to 90 degrees");
    }
    if (!seed || *seed < 0 || *seed != std::floor(*seed)) {
        return usage("--seed takes a whole number");
    }
    const astro::Observer observer = demoObserver();
    std::optional<double> start = demoScanStart(*body, observer);
    if (!start) {
        return usage("the source does not rise high enough at the demo's station");
    }
    SimulatedStation station(*body, observer, *start, static_cast<unsigned>(*seed));
    station.rotor().hiddenAzError = *azError;
    station.rotor().hiddenElError = *elError;
    station.receiver().beamDeg = *beam;
    station.receiver().flux = fluxOf(*body);

    ScanSettings settings;
    settings.beamDeg = *beam;
    settings.offSourceDeg = 5 * *beam;
    Scan scan(settings, *body, observer);
    for (StepResult r = scan.step(station); r != StepResult::Done; r = scan.step(station)) {
        if (r == StepResult::Paused) {
            station.sleepFor(1);
        }
    }
    BeamFit fit = scan.fit();
    const double el = scan.points().empty() ? 0 : scan.points().front().source.el;
    Correction c = correctionOf(fit, el);
    char line[128];
    std::snprintf(line, sizeof line, "%.2f %.2f %.2f %.2f\n", c.azDeg + 0.0, c.elDeg + 0.0,
                  fit.beamDeg, fit.sourceNoiseDb.value_or(0));
    if (!fit.trustworthy) {
        return {1, line, "--demo-calibration: the fit cannot be trusted: " + fit.verdict + "\n"};
    }
    return {0, line, {}};
}

} // namespace kelvora::calibration
