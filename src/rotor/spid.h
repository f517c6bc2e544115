// The SPID controllers on the rotor line: azimuth-only and az/el at 1 or 0.5 degree resolution.
#pragma once

#include "rotor/antenna_command.h"
#include "rotor/collect.h"

namespace kelvora {
struct Kelv;

namespace rotor {
void sendRak(Kelv& k, const AntennaCommand& command);
void sendRas1(Kelv& k, const AntennaCommand& command);
void sendRas2(Kelv& k, const AntennaCommand& command);
inline constexpr SetProcedure kRakSet{AngleRule::AzOnly, sendRak, {}};
inline constexpr SetProcedure kRas1Set{AngleRule::AzEl, sendRas1, {}};
inline constexpr SetProcedure kRas2Set{AngleRule::AzEl, sendRas2, {}};
const PositionPoll& rakPoll();
const PositionPoll& rasPoll();
} // namespace rotor

void RAKSetAz(Kelv& k, double az);
// resolution 1 (whole degrees) or 2 (half degrees).
void RASSetAzEl(Kelv& k, double az, double el, int resolution);

} // namespace kelvora
