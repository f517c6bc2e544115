// The GS-232 controller family ("GS232" and its "GS232-qzr" variant): set, poll, stop.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

namespace rotor {

// "W" + three azimuth digits + " 0" + two elevation digits + CR: W123 045.
std::string gs232SetCommand(double az, double el);

// What the position reply shows: the azimuth after "AZ=", the elevation after the next "EL=".
struct LabelTexts {
    std::optional<std::string> az;
    std::optional<std::string> el;
};
// azChars/elChars: 3 and 4 for "GS232", 5 and 5 for "GS232-qzr". Empty without "AZ=".
LabelTexts parseGs232Position(std::string_view reply, int azChars, int elChars);

// Puts parsed texts into LabelAZ/LabelEL; a missing text leaves its label as it is.
void showLabels(Kelv& k, const LabelTexts& texts);

} // namespace rotor

void GS232SetAzEl(Kelv& k, double az, double el);
void GS232ReadFrame(Kelv& k);
void GS232_qzrReadFrame(Kelv& k);

} // namespace kelvora
