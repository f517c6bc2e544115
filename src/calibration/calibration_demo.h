// The command line's calibration demo: a whole scan and fit on a simulated rotor with a hidden
// pointing error and a simulated receiver, on a simulated clock. Pure: option values in, exit
// code and texts out.
#pragma once

#include "astro/ephemeris_command.h"
#include "calibration/scan.h"
#include "sim/rotor_model.h"
#include "sim/simulated_receiver.h"
#include "station/station_control.h"

#include <optional>
#include <string>

namespace kelvora::calibration {

struct DemoRequest {
    std::string source;                          // Sun, Moon or a radio star, any letter case
    std::optional<std::string> azError, elError; // degrees, the rotor's hidden error (0)
    std::optional<std::string> beam;             // half-power beamwidth, degrees (3)
    std::optional<std::string> seed;             // the receiver noise's seed (1)
};

// Prints "az_offset el_offset beam sun_noise_db" with two decimals: the correction to add to
// the rotor's angles, the fitted beamwidth and the Y-factor. A fit that cannot be trusted still
// prints, with its reason on the error stream and exit code 1.
astro::CommandResult runCalibrationDemo(const DemoRequest& request);

// The demo's station: JN45, with the rules at their defaults.
astro::Observer demoObserver();
// The first time from 2026-06-21 on, every ten minutes, when the source stands 35 to 60 degrees
// high, where neither the horizon nor the zenith distorts the scan.
std::optional<double> demoScanStart(astro::Body body, const astro::Observer& observer);

// The simulated station: EasyComm commands to the rotor model (it moves at once) through the
// station rules, the receiver looking where the antenna really points, time that passes only
// when asked.
class SimulatedStation : public ScanDevices {
public:
    SimulatedStation(astro::Body body, const astro::Observer& observer, double utc, unsigned seed);

    double utcSeconds() override { return m_utc; }
    void sleepFor(double seconds) override { m_utc += seconds; }
    MoveOutcome point(const station::AzElTarget& target) override;
    std::optional<station::AzElTarget> reported() override;
    std::optional<double> powerDb() override;

    sim::RotorModel& rotor() { return m_rotor; }
    sim::SimulatedReceiver& receiver() { return m_receiver; }

private:
    astro::Body m_body;
    astro::Observer m_observer;
    double m_utc;
    station::StationRules m_rules;
    sim::RotorModel m_rotor;
    sim::SimulatedReceiver m_receiver;
};

} // namespace kelvora::calibration
