// The Kelvora unit's host and terminal modes, the manual direction, rotor Stop and polarity,
// and the split and dual buttons of the same row.
#pragma once

#include <optional>
#include <string>

namespace kelvora {
struct Kelv;

namespace rotor {
// The manual direction's fields, limited and padded as typed, and as numbers.
struct ManualTarget {
    std::string azText, elText;
    double az = 0, el = 0;
};
} // namespace rotor

void Command2_Click(Kelv& k); // "Cmd/KV", or the IC-7800 dual toggle
void Command3_Click(Kelv& k); // "Host/KV"
void Command4_Click(Kelv& k); // "Split"
// The manual direction "Start", in two halves with the station rules between them: the fields
// read (nothing when they are not numbers, the box is not ticked or there is no rotor), then the
// type's command sent.
std::optional<rotor::ManualTarget> readManualDirection(Kelv& k);
void sendManualDirection(Kelv& k, const rotor::ManualTarget& target);
void Command6_Click(Kelv& k); // rotor "Stop"
void Command7_Click(Kelv& k); // polarity "H"
void Command8_Click(Kelv& k); // polarity "V"
void Rotorman_Click(Kelv& k); // after the operator changed the manual-direction box

} // namespace kelvora
