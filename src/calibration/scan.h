// A pointing scan: the [Calibration] settings, the offsets a scan visits, and the scan itself,
// one point at a time, every move through the station rules. The devices (clock, antenna through
// the seam, receiver) come in through ScanDevices, so that the same scan runs on the hardware,
// in the window and on the simulated station of the command line.
#pragma once

#include "astro/ephemeris.h"
#include "calibration/beam_fit.h"
#include "config/settings_schema.h"
#include "state/parsed.h"
#include "station/station_rules.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvora::calibration {

enum class Pattern { Cross, Raster };
enum class PowerSource { Rigctld, Simulated };

struct ScanSettings {
    PowerSource powerSource = PowerSource::Rigctld;
    double beamDeg = 10;
    Pattern pattern = Pattern::Cross;
    double spanBeams = 1.5;
    int steps = 7;
    double dwellSeconds = 5;
    double offSourceDeg = 50; // 5 beamwidths unless given
    double spanDeg() const { return beamDeg * spanBeams; }
};

// [Calibration] read through its schema rows; the error names the first key at fault.
Parsed<ScanSettings> readScanSettings(const config::KeyLookup& lookup);

struct ScanOffset {
    double crossElDeg = 0; // on the sky; the azimuth offset is this / cos(elevation)
    double elDeg = 0;
    bool coldSky = false; // the off-source point of the Y-factor
};

// The points of a scan: a cross (the azimuth line, then the elevation line without its centre
// again) or a raster (row by row, every other row reversed), Steps per axis over ±Span, and last
// the cold sky, Off_Source_Deg away in cross-elevation.
std::vector<ScanOffset> planScan(const ScanSettings& settings);

// Where to point for an offset from a source at `source`: the azimuth offset in cross-elevation
// (divided by cos(elevation), which is held off zero near the zenith).
station::AzElTarget offsetTarget(const ScanOffset& offset, const station::AzElTarget& source);

// How a move went at the seam.
struct MoveOutcome {
    station::Verdict verdict = station::Verdict::Send;
    std::string reason;
};

class ScanDevices {
public:
    virtual ~ScanDevices() = default;
    virtual double utcSeconds() = 0;
    // Blocks in the OS (or advances a simulated clock).
    virtual void sleepFor(double seconds) = 0;
    // The move through the station seam: sent, held (transmitting) or refused (mask, limits).
    virtual MoveOutcome point(const station::AzElTarget& target) = 0;
    // Where the rotor says it points, once the move is done; std::nullopt when it does not say.
    virtual std::optional<station::AzElTarget> reported() = 0;
    // One reading of the receiver, dB; std::nullopt when none came.
    virtual std::optional<double> powerDb() = 0;
    // The antenna has arrived at the point last sent (asked once a second before a dwell).
    virtual bool settled() { return true; }
};

struct MeasuredPoint {
    ScanOffset planned;
    ScanPoint measured; // offsets from the source as the rotor reported them
    double utcSeconds = 0;
    station::AzElTarget source;
};

enum class StepResult { Measured, Skipped, Paused, Done, Dwelling };

// Responsibilities:
// - step() visits the next point: the source computed now, the antenna sent through the seam
//   to the offset from it (so the scan follows the source), the receiver read once a second
//   through the dwell and the readings averaged in power.
// - A point the seam refuses (under the mask, outside the limits) is skipped and told; one it
//   holds (transmitting with Hold_Tx) is tried again at the next step: the scan pauses.
// - stop() ends the scan at once; fit() fits what was measured.
// - A driver that cannot block through a dwell (a window, whose receiver replies arrive as
//   events) calls moveToNext(), then addReading() as readings come, then finishPoint() once
//   Dwell_Seconds have passed; step() does all three with the devices' clock.
class Scan {
public:
    Scan(const ScanSettings& settings, astro::Body body, const astro::Observer& observer);

    StepResult step(ScanDevices& devices);
    // Dwelling once the antenna was sent to the next point; else Paused, Skipped or Done.
    StepResult moveToNext(ScanDevices& devices);
    void addReading(double powerDb);
    // Measured, or Skipped when no reading came.
    StepResult finishPoint(ScanDevices& devices);
    void stop() { m_next = m_plan.size(); }
    bool done() const { return m_next >= m_plan.size(); }

    const ScanSettings& settings() const { return m_settings; }
    astro::Body body() const { return m_body; }
    const std::vector<ScanOffset>& plan() const { return m_plan; }
    std::size_t nextIndex() const { return m_next; }
    const std::vector<MeasuredPoint>& points() const { return m_points; }
    std::optional<double> coldSkyDb() const { return m_coldSkyDb; }
    const std::string& lastReason() const { return m_reason; }
    BeamFit fit() const;

private:
    ScanSettings m_settings;
    astro::Body m_body;
    astro::Observer m_observer;
    std::vector<ScanOffset> m_plan;
    std::size_t m_next = 0;
    std::vector<MeasuredPoint> m_points;
    std::optional<double> m_coldSkyDb;
    std::string m_reason;
    station::AzElTarget m_sent; // where the antenna was sent for the point under way
    double m_dwellStart = 0;
    double m_sum = 0; // the readings of the dwell, as powers
    int m_readings = 0;
};

// The correction the fit asks for, as rotor.dat holds it (added to the commanded angles): the
// offset of the peak, the cross-elevation one turned back into azimuth at the elevation of the
// scan.
struct Correction {
    double azDeg = 0;
    double elDeg = 0;
};
Correction correctionOf(const BeamFit& fit, double elevationDeg);

} // namespace kelvora::calibration
