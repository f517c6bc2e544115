// The EasyComm controllers on the rotor line: set and position poll.
#pragma once

#include "rotor/antenna_command.h"
#include "rotor/collect.h"

namespace kelvora {
struct Kelv;

namespace rotor {
void sendEasyComm(Kelv& k, const AntennaCommand& command);
inline constexpr SetProcedure kEasyCommSet{AngleRule::Decimal, sendEasyComm, {}};
const PositionPoll& easyCommPoll();
} // namespace rotor

} // namespace kelvora
