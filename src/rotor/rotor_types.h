// The rotor types: one row each holds every fact about a type.
#pragma once

#include "state/control_states.h"

#include <span>
#include <string_view>

namespace kelvora::rotor {

struct RotorType {
    std::string_view name; // the exact text of the settings list
    ui::RotorControls controls;
};

// Every type in the order the settings list offers them, "None" first.
std::span<const RotorType> rotorTypes();
// The row of an exact type text; nullptr for a text no row has.
const RotorType* findRotorType(std::string_view name);

} // namespace kelvora::rotor
