// The rotor's mechanical range ([Rotor_Range]) and the path a window is flown on: which of the
// mechanical azimuths of a sky azimuth (az, az - 360, az + 360) is commanded, and whether the
// pass is flown over the top. Pure.
#pragma once

#include "config/settings_schema.h"
#include "rotor/rotor_types.h"
#include "station/station_rules.h"
#include "station/station_settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::station {

// [Rotor_Range] read and checked: the span 360..720, El_High 90 or 180, and a range the type's
// protocol can carry (`typeName` for the message). Each fault is added to `errors`, naming the
// key; a faulty section gives the plain range.
RotorRange parseRotorRange(const config::KeyLookup& lookup, const rotor::AzimuthReach& type,
                           std::string_view typeName, std::vector<std::string>& errors);

// [Station] with [Rotor_Range] checked against the rotor type the settings name (its text).
StationSettings parseStationWithRange(const config::KeyLookup& station,
                                      const config::KeyLookup& range, std::string_view rotorType);

// The path of a window: where its first command points and whether it is flown over the top.
// Each later command takes the branch (az + k * 360 inside the range) nearest the one before, so
// a window planned without an unwind is flown in one sweep.
struct PathChoice {
    double startMechAz = 0;
    bool flipped = false;
};

// The mechanical angles of a sky direction on a path: the azimuth (az + 180 flipped) on the
// branch nearest `lastMechAz` (the path's start when none), the elevation 180 - el flipped.
AzElTarget mechanicalTarget(AzElTarget sky, const PathChoice& path,
                            std::optional<double> lastMechAz, const RotorRange& range);

// The path the current window is flown on, kept until the window ends.
struct PlannedPath {
    PathChoice choice;
    double untilUnix = 0; // the window's end, POSIX seconds
    double mechLow = 0, mechHigh = 0;
    bool unwinds = false;          // no path of the range flies the whole window in one sweep
    std::vector<AzElTarget> track; // the window's sky positions, for the sky view
};

// The state text of the path: "path 12..287, flipped, until 13:13:32 UTC" and the like.
std::string describePath(const PlannedPath& path);
inline constexpr std::string_view kPlanningOff = "overlap planning is off";

// Without a plan: the mechanical azimuth of `skyAz` in the range nearest the last one commanded,
// kept until the other one is nearer by more than `hysteresisDeg`, so that the rotor does not
// hunt between two equal choices.
double nearestMechanicalAz(double skyAz, std::optional<double> lastMechanical,
                           const RotorRange& range, double hysteresisDeg = 10);

// The sky azimuth in 0..360.
double skyAzimuth(double az);

} // namespace kelvora::station
