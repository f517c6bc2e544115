// The GS-232 family's commands and position replies, as bytes.
#pragma once

#include "rotor/position_reply_protocol.h"

#include <string>
#include <string_view>

namespace kelvora::rotor {

// "W" + three azimuth digits + " 0" + two elevation digits + CR: W123 045.
std::string gs232SetCommand(double az, double el);
// The manual direction: "W" + a + " " + e + CR, the texts as given.
std::string gs232ManualCommand(std::string_view a, std::string_view e);

// The position reply in the forms controllers send: "AZ=123  EL=045" (one or two spaces,
// CR or CR LF, decimals, extra line ends or a prompt around it) and "+0123+0045" (each angle a
// sign and four digits). azChars/elChars are the widths of the standard reply's fields (3 and
// 4, 5 and 5 for the qzr variant). Nothing is shown for a reply with neither form.
LabelTexts parseGs232Position(std::string_view reply, long azChars, long elChars);

} // namespace kelvora::rotor
