// The command line's ephemeris mode: where the Moon or the Sun stands for a place and a UTC time,
// printed as "azimuth elevation". Pure: option values in, exit code and texts out.
#pragma once

#include "astro/ephemeris.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvora::astro {

// The option values as given on the command line; absent options are empty.
struct EphemerisRequest {
    std::optional<std::string> body; // Moon, Sun or a radio star ("Cas A"), any letter case
    std::optional<std::string> latitude;
    std::optional<std::string> longitude;
    std::optional<std::string> locator; // instead of latitude and longitude
    std::optional<std::string> height;  // metres, 0 when absent
    std::optional<std::string> utc;     // YYYY-MM-DDTHH:MM:SS
};

struct CommandResult {
    int exitCode = 0;   // 0, or 2 for input the command cannot use
    std::string output; // "123.456 45.678\n": degrees, three decimals
    std::string error;  // one line saying what is wrong, ending in a newline
};

CommandResult runEphemerisCommand(const EphemerisRequest& request);

// The body and the place of a request, for the commands that share these options; `option`
// names the command in the messages.
Parsed<Body> requestedBody(const EphemerisRequest& request, std::string_view option);
Parsed<Observer> requestedPlace(const EphemerisRequest& request);

} // namespace kelvora::astro
