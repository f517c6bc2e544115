// The scan's devices on the running station: the clock, the rotor through the station seam, and
// the receiver (rigctld's level as the window hands it over, or the simulated receiver looking
// where the antenna was sent).
#pragma once

#include "calibration/scan.h"
#include "sim/simulated_receiver.h"
#include "state/kelv.h"

#include <optional>

namespace kelvora::calibration {

class StationScanDevices : public ScanDevices {
public:
    StationScanDevices(Kelv& k, astro::Body body, const astro::Observer& observer)
        : m_k(k), m_body(body), m_observer(observer) {}

    double utcSeconds() override;
    void sleepFor(double seconds) override;
    MoveOutcome point(const station::AzElTarget& target) override;
    std::optional<station::AzElTarget> reported() override;
    // The simulated receiver's reading, else the level handed over since the last call.
    std::optional<double> powerDb() override;
    // Once the rotor's reported position stood still for a second, at least two seconds after
    // the move (a poll may still show the old place); at once for a rotor that reports nothing.
    bool settled() override;

    void levelArrived(double db) { m_level = db; }
    std::optional<sim::SimulatedReceiver> simulated;

private:
    Kelv& m_k;
    astro::Body m_body;
    astro::Observer m_observer;
    std::optional<double> m_level;
    std::optional<station::AzElTarget> m_lastSeen;
    int m_asked = 0; // settled() calls since the move
};

} // namespace kelvora::calibration
