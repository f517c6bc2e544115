// The Radant AZV-1 on the rotor line: set and position poll, both traced.
#pragma once

#include "rotor/antenna_command.h"
#include "rotor/collect.h"

namespace kelvora {
struct Kelv;

namespace rotor {
void sendRadant(Kelv& k, const AntennaCommand& command);
inline constexpr SetProcedure kRadantSet{AngleRule::Decimal, sendRadant, "Entro Radant AzEl"};
const PositionPoll& radantPoll();
} // namespace rotor

} // namespace kelvora
