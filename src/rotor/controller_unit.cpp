// Placeholder until the controller-unit buttons land.
#include "rotor/controller_unit.h"

namespace kelvora {

// TODO(rotor)
void Command2_Click(Kelv& /*k*/) {}
void Command3_Click(Kelv& /*k*/) {}
void Command4_Click(Kelv& /*k*/) {}
void Command5_Click(Kelv& /*k*/) {}
void Command6_Click(Kelv& /*k*/) {}
void Command7_Click(Kelv& /*k*/) {}
void Command8_Click(Kelv& /*k*/) {}
void Rotorman_Click(Kelv& /*k*/) {}

} // namespace kelvora
