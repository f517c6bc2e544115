// Target angles on their way to a rotor: the rotor.dat corrections, limits and number texts.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::rotor {

// The per-degree corrections of rotor.dat: azimuth 0..360, elevation 0..90.
struct Corrections {
    const std::array<std::string, 361>& az;
    const std::array<std::string, 91>& el;
};

struct AzEl {
    double az = 0;
    double el = 0;
};

// az plus the azimuth correction at az rounded to a whole degree; std::nullopt when that index
// has no entry (outside 0..360).
std::optional<double> correctAz(double az, const Corrections& corrections);
// The same with the elevation table (0..90).
std::optional<double> correctEl(double el, const Corrections& corrections);

double limit(double value, double low, double high);

// The preparation shared by the elevation rotors: nothing below the horizon, the overhead flip
// (el above 90 becomes 180 - el), the corrections, azimuth limited to 0..360 and elevation to
// 0..90. std::nullopt when nothing is to be sent.
std::optional<AzEl> prepareAzEl(double az, double el, const Corrections& corrections);
// The mechanical range of a rotor that turns past 0..360 or over the top.
struct MechanicalLimits {
    double azLow = 0, azHigh = 360, elHigh = 90;
};
// Mechanical angles (an azimuth in the range, an elevation up to elHigh): the corrections of the
// sky direction they point at, limited to the range; with elHigh 90 an elevation above 90 is
// flown as 180 - el as always. std::nullopt without a correction entry.
std::optional<AzEl> prepareMechanical(double az, double el, const Corrections& corrections,
                                      const MechanicalLimits& limits);
// Azimuth-only rotors: corrected and limited to 0..360, with no horizon test.
std::optional<double> prepareAz(double az, const Corrections& corrections);

// The two decimal texts of the EasyComm and Radant commands, built from Az_text/El_text with
// the corrections at the whole angles azInt/elInt. A correction pushing the elevation over 90
// flips it. std::nullopt below the horizon or without a correction entry.
struct AzElText {
    std::string az;
    std::string el;
};
std::optional<AzElText> decimalAngles(std::string_view azText, std::string_view elText,
                                      double azInt, double elInt, const Corrections& corrections);

// x rounded to a whole number (halves to even) as digits.
std::string nearestText(double x);
// Plain decimal notation with only the decimals the value has: 483, 483.5.
std::string decText(double x);

} // namespace kelvora::rotor
