// The radio models: one row each holds every fact about a model.
#pragma once

#include "state/control_states.h"

#include <span>
#include <string_view>

namespace kelvora::radio {

struct RadioModel {
    std::string_view name; // the exact text of the settings list
    ui::RadioControls controls;
};

// Every model in the order the settings list offers them ("None", first in the list, has no row).
std::span<const RadioModel> radioModels();
// The row of an exact model text; nullptr for "None" or a text no row has.
const RadioModel* findRadioModel(std::string_view name);

} // namespace kelvora::radio
