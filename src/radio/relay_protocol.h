// The Kelvora unit's frequency relay command.
#pragma once

#include "state/numbers.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvora::relay {

// "FU" + "144" + the kHz as three digits + "00" + carriage return. std::nullopt when the kHz
// text is not a number that makes three digits (the unit would misread a longer command).
std::optional<std::string> relayCommand(std::string_view fqsoKHz,
                                        const numbers::LocaleSeparators& locale = {});

} // namespace kelvora::relay
