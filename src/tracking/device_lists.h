// The items of the settings dialog's combos, the device type lists from the device tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

// The items the combo of `field` offers, in order; the rotor and radio type lists are the names
// of the rows of the rotor-type and radio-model tables.
const std::vector<std::string>& settingsComboItems(std::string_view field);

} // namespace kelvora
