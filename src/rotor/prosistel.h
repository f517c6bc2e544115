// The D-Prosistel azimuth controller on the rotor line: set and position poll.
#pragma once

#include "rotor/antenna_command.h"
#include "rotor/collect.h"

namespace kelvora {
struct Kelv;

namespace rotor {
void sendProsistel(Kelv& k, const AntennaCommand& command);
inline constexpr SetProcedure kProsistelSet{AngleRule::AzOnly, sendProsistel, {}};
const PositionPoll& prosistelPoll();
} // namespace rotor

void D_Prosistel(Kelv& k, double az);

} // namespace kelvora
