// The Radant AZV-1 commands and position reply, as bytes.
#pragma once

#include "rotor/angles_protocol.h"
#include "rotor/position_reply_protocol.h"

#include <string>
#include <string_view>

namespace kelvora::rotor {

// "Q" + az + " " + el + CR: Q123.4 45.0.
std::string radantSetCommand(const AzElText& angles);
// The manual direction: "Q" + a + ".0 " + e + ".0" + CR.
std::string radantManualCommand(std::string_view a, std::string_view e);
// The reply "OK123.4 45.6": five characters after the first "K", five after the next space.
LabelTexts parseRadantPosition(std::string_view reply);

} // namespace kelvora::rotor
