// The command line's calibration demo: a whole scan and fit on a simulated rotor with a hidden
// pointing error and a simulated receiver, on a simulated clock. Pure: option values in, exit
// code and texts out.
#pragma once

#include "astro/ephemeris_command.h"

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

} // namespace kelvora::calibration
