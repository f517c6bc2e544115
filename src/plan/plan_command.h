// The command line's plan mode: the windows of the Moon or the Sun over the next hours for a
// place, printed as "start end highest" per window. Option values in, exit code and texts out.
#pragma once

#include "astro/ephemeris_command.h"

#include <optional>
#include <string>

namespace kelvora::plan {

struct PlanCommandRequest {
    astro::EphemerisRequest place; // the body, --lat/--lon or --locator, --height, --utc
    std::optional<std::string> hours;
    std::optional<std::string> dxLocator;
    std::optional<std::string> dxElMin;
    // The program folder whose Kelvora.ini gives the mask, the limits and the range.
    std::optional<std::string> home;
};

astro::CommandResult runPlanCommand(const PlanCommandRequest& request);

} // namespace kelvora::plan
