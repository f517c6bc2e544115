// The SPID controllers: "SpidRak(az)" and "SpidRas(az/el)" at 1 or 0.5 degree resolution.
#pragma once

#include "rotor/gs232.h"

#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

namespace rotor {

// The 13-byte frames. Angles are rounded to the controller's resolution first, so every angle
// field has its exact number of digits.
std::string rakSetFrame(double az);
std::string rasSetFrame(double az, double el, int resolution); // resolution 1 or 2
std::string spidStatusFrame();
std::string spidStopFrame();

// Position replies: the digits are byte values 0..9 counted from the first byte of the reply.
// Nothing is shown when the reply is too short or a digit byte is out of range.
LabelTexts parseRakPosition(std::string_view reply);
LabelTexts parseRasPosition(std::string_view reply);

} // namespace rotor

void RAKSetAz(Kelv& k, double az);
// resolution 1 for "SpidRas(az/el) 1 deg", 2 for "SpidRas(az/el) 0.5 deg".
void RASSetAzEl(Kelv& k, double az, double el, int resolution);
void SPIDRAKReadFrame(Kelv& k);
void SPIDRASReadFrame(Kelv& k);

} // namespace kelvora
