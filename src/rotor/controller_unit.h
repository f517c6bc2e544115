// The Kelvora unit's host and terminal modes, the manual direction, rotor Stop and polarity,
// and the split and dual buttons of the same row.
#pragma once

namespace kelvora {
struct Kelv;

void Command2_Click(Kelv& k); // "Cmd/KV", or the IC-7800 dual toggle
void Command3_Click(Kelv& k); // "Host/KV"
void Command4_Click(Kelv& k); // "Split"
void Command5_Click(Kelv& k); // manual direction "Start"
void Command6_Click(Kelv& k); // rotor "Stop"
void Command7_Click(Kelv& k); // polarity "H"
void Command8_Click(Kelv& k); // polarity "V"
void Rotorman_Click(Kelv& k); // after the operator changed the manual-direction box

} // namespace kelvora
