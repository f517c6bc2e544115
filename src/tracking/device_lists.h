// The items of the settings dialog's combos and the device facts, both from the device tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

struct Kelv;

// The items the combo of `field` offers, in order; the rotor and radio type lists are the names
// of the rows of the rotor-type and radio-model tables.
const std::vector<std::string>& settingsComboItems(std::string_view field);

// Fills k.rs.devices from the rows of the configured radio model and rotor type (at Start).
void learnDeviceFacts(Kelv& k);

} // namespace kelvora
