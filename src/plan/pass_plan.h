// The pass plan: the windows in which the tracked body stands above the horizon mask and inside
// the limits over the next hours, from the computed places for the station, and for each window
// the path the rotor flies it on. Pure: the ephemeris and the settings in, the plan out.
#pragma once

#include "astro/ephemeris.h"
#include "station/horizon_mask.h"
#include "station/rotor_range.h"
#include "station/station_settings.h"

#include <optional>
#include <span>
#include <vector>

namespace kelvora::plan {

struct PlanRequest {
    astro::Body body = astro::Body::Moon;
    astro::Observer observer;
    double startUnix = 0; // POSIX seconds
    double hours = 24;
    // The limits, the range, the refraction and the DX elevation; the mask comes separately.
    station::StationSettings settings;
    station::HorizonMask mask;
    std::optional<astro::Observer> dx; // the DX station, for the common windows
    // The grid: two minutes keep a pass a degree from the zenith under 60 degrees of azimuth a
    // step and a day's Sun plan under 50 ms; the ends and the highest point are refined.
    double stepSeconds = 120;
};

// The body at one instant, as the plan draws it.
struct PlanSample {
    double unix = 0;
    double az = 0, el = 0; // refraction included when it is on
    double maskEl = 0;     // the mask at the body's azimuth
    double dxEl = 0;       // the body seen from the DX station (0 without one)
    bool up = false;       // above the mask and inside the limits
    bool common = false;   // and up for the DX station too
};

// How a window is flown: the path chosen for it, and where it cannot be flown in one go, the
// instants of the unwinds (the path changes by 360 degrees there).
struct WindowPath {
    station::PathChoice path;         // at the window's start
    double mechLow = 0, mechHigh = 0; // the mechanical azimuths the window uses
    double endMechAz = 0;             // where the window ends
    std::vector<double> unwinds;      // POSIX seconds; empty: no unwind, no stop
};

struct PassWindow {
    double rise = 0, set = 0; // POSIX seconds; the plan's ends where it is up at either
    double highestEl = 0, highestAt = 0;
    WindowPath path;
};

struct PassPlan {
    std::vector<PlanSample> samples;
    std::vector<PassWindow> windows;
    std::vector<PassWindow> common; // with a DX station: both up (path not chosen)
};

// `fromMechAz`: where the rotor points before the first window (none: the plain azimuth is
// preferred); each later window starts from where the one before ended.
PassPlan planPasses(const PlanRequest& request, std::optional<double> fromMechAz = std::nullopt);

// The path for a window's sky track (azimuth and elevation at rising instants): the mechanical
// azimuths of the range from which the whole track is flown without an unwind or a stop, least
// travel from `fromMechAz`; else flipped where the range allows; else the least unwinds.
// `times` gives the instant of each point for the unwinds.
WindowPath choosePath(std::span<const station::AzElTarget> track, std::span<const double> times,
                      const station::RotorRange& range, std::optional<double> fromMechAz);

} // namespace kelvora::plan
