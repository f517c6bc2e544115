// The Kelvora unit's frequency relay: the QSO frequency passed on to a radio through the unit.
#pragma once

#include "radio/relay_protocol.h"

namespace kelvora {
struct Kelv;

// Shows the QSO frequency in Label_freq and writes the relay command to the rotor port one
// character at a time, pausing Rotor_pace_delay after each.
void KVRadioSetTXFreq(Kelv& k);

} // namespace kelvora
