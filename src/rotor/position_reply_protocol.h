// What a rotor's position reply shows: the texts for the azimuth and elevation labels.
#pragma once

#include <optional>
#include <string>

namespace kelvora::rotor {

// A missing text leaves its label as it is.
struct LabelTexts {
    std::optional<std::string> az;
    std::optional<std::string> el;
};

} // namespace kelvora::rotor
