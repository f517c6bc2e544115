// The GS-232 controllers and their qzr variant on the rotor line: set and position poll.
#pragma once

#include "rotor/antenna_command.h"
#include "rotor/collect.h"

namespace kelvora {
struct Kelv;

namespace rotor {
void sendGs232(Kelv& k, const AntennaCommand& command);
inline constexpr SetProcedure kGs232Set{AngleRule::AzEl, sendGs232, {}};
const PositionPoll& gs232Poll();
const PositionPoll& gs232QzrPoll();
} // namespace rotor

} // namespace kelvora
