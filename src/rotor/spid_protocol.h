// The SPID frames: set, status and stop, and the position replies, as bytes.
#pragma once

#include "rotor/position_reply_protocol.h"

#include <string>
#include <string_view>

namespace kelvora::rotor {

// The 13-byte frames. Angles are rounded to the controller's resolution first, so every angle
// field has its exact number of digits.
std::string rakSetFrame(double az);
std::string rasSetFrame(double az, double el, int resolution); // resolution 1 or 2
std::string spidStatusFrame();
std::string spidStopFrame();

// Position replies: 'W', then the digits as byte values 0..9, counted from the first byte of the
// reply. Nothing is shown when the reply is too short or a digit byte is out of range.
LabelTexts parseRakPosition(std::string_view reply);
LabelTexts parseRasPosition(std::string_view reply);

} // namespace kelvora::rotor
