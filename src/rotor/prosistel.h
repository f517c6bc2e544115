// The D-Prosistel azimuth controller: set, poll and stop.
#pragma once

#include "rotor/gs232.h"

#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

namespace rotor {

// STX "AG" + azimuth with at least three integer digits + CR: STX AG005 CR.
std::string prosistelSetCommand(double az);
// STX "A?" CR.
std::string prosistelPositionRequest();
// STX "AG999" CR: the controller's stop.
std::string prosistelStopCommand();
// The three characters two after the first "?"; nothing without a "?".
LabelTexts parseProsistelPosition(std::string_view reply);

} // namespace rotor

void D_Prosistel(Kelv& k, double az);
void Prosistel_ReadFrame(Kelv& k);

} // namespace kelvora
