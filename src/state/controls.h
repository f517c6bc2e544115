// The windows' controls as state the logic sets; the Qt windows show it and report clicks back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvora::ui {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kOrange{255, 128, 0};
inline constexpr Rgb kLightGrey{192, 192, 192};
inline constexpr Rgb kBlack{0, 0, 0};
// The highlight of the split and polarity buttons: colour value 33023 (0x0080FF, blue-green-red).
inline constexpr Rgb kHighlight{255, 128, 0};

// A label, button, check box, text box or menu entry. An empty colour means the system's own.
struct Control {
    Control(std::string text = {}, bool isEnabled = true, bool isVisible = true,
            std::optional<Rgb> foreColour = std::nullopt,
            std::optional<Rgb> backColour = std::nullopt, int checkValue = 0)
        : caption(std::move(text)), enabled(isEnabled), visible(isVisible), fore(foreColour),
          back(backColour), value(checkValue) {}

    std::string caption; // caption of labels, buttons and menus; text of text boxes
    bool enabled = true;
    bool visible = true;
    std::optional<Rgb> fore;
    std::optional<Rgb> back;
    int value = 0; // check boxes and option buttons: 0 or 1
};

struct Timer {
    bool enabled = false;
    int interval = 0; // milliseconds
};

// Control names as the windows' objectNames, with the controls they stand for.
using ControlList = std::vector<std::pair<const char*, Control*>>;

} // namespace kelvora::ui
