// The Kelvora unit's frequency relay: the QSO frequency passed on to a radio through the unit.
#pragma once

#include "state/numbers.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;
}

namespace kelvora::relay {

// "FU" + "144" + the kHz as three digits + "00" + carriage return. std::nullopt when the kHz
// text is not a number that makes three digits (the unit would misread a longer command).
std::optional<std::string> relayCommand(std::string_view fqsoKHz,
                                        const numbers::LocaleSeparators& locale = {});

} // namespace kelvora::relay

namespace kelvora {

// Shows the QSO frequency in Label_freq and writes the relay command to the rotor port one
// character at a time, pausing Rotor_pace_delay after each.
void KVRadioSetTXFreq(Kelv& k);

} // namespace kelvora
