// The horizon mask: the lowest elevation the antennas may point at, by azimuth. Pure: the file
// is read by horizon_file.h.
#pragma once

#include "state/parsed.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::station {

// The lowest elevation the antennas may point at, by azimuth: "azimuth,elevation" points with
// rising azimuths in 0..360, linear between them and across 360 back to the first point.
class HorizonMask {
public:
    bool empty() const { return m_az.empty(); }
    // The mask elevation at `az` (any value; taken modulo 360). 0 for an empty mask.
    double elevationAt(double az) const;

    // Parses the text of a mask file. The first bad line fails it with
    // "Horizon file <path>, line <n>: <what>".
    static Parsed<HorizonMask> parse(std::string_view text, std::string_view path);

private:
    std::vector<double> m_az;
    std::vector<double> m_el;
};

} // namespace kelvora::station
