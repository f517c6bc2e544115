// The EasyComm commands and position reply, as bytes.
#pragma once

#include "rotor/angles_protocol.h"
#include "rotor/position_reply_protocol.h"

#include <string>
#include <string_view>

namespace kelvora::rotor {

// "AZ" + az + " EL" + el + CR: AZ123.4 EL45.0.
std::string easyCommSetCommand(const AzElText& angles);
// The manual direction: "AZ" + a + ".0 EL" + e + ".0" + CR.
std::string easyCommManualCommand(std::string_view a, std::string_view e);
// The reply "AZ123.4 EL45.6": the angle two after the first "A", the one two after the next
// "E"; ending in CR, LF or both, with or without a leading space. The standard reply shows the
// five characters of each field.
LabelTexts parseEasyCommPosition(std::string_view reply);

} // namespace kelvora::rotor
