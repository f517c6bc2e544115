// The D-Prosistel commands and position reply, as bytes.
#pragma once

#include "rotor/position_reply_protocol.h"

#include <string>
#include <string_view>

namespace kelvora::rotor {

// STX "AG" + azimuth with at least three integer digits + CR: STX AG005 CR.
std::string prosistelSetCommand(double az);
// STX "A?" CR.
std::string prosistelPositionRequest();
// STX "AG999" CR: the controller's stop.
std::string prosistelStopCommand();
// The three characters two after the first "?"; nothing without a "?".
LabelTexts parseProsistelPosition(std::string_view reply);

} // namespace kelvora::rotor
