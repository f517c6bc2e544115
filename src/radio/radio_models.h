// The radio models: one row each holds every fact about a model.
#pragma once

#include "state/control_states.h"

#include <optional>
#include <span>
#include <string_view>

namespace kelvora {
struct Kelv;
}

namespace kelvora::radio {

// How the program speaks to the radio.
enum class Cat : char {
    Civ,        // Icom CI-V frames
    YaesuBlock, // Yaesu 4 parameter bytes and an opcode
    TypedText,  // typed-text commands, "FA...;"
    Rigctld,    // Hamlib's rigctld over the network: no serial port
};

// What the "VFO-A" and "VFO-B" buttons send while tracking.
enum class VfoButtons : char {
    None,           // nothing
    Civ,            // a CI-V select frame: VFO A/B, or main/sub band with `civ.bands`
    Ft1000mp,       // the FT-1000mp's VFO blocks; " A=B" sends its A=B block too
    ElecraftLetter, // nothing: the letter of the next frequency command ("FA"/"FB") picks the VFO
    Rigctld,        // "V VFOA"/"V VFOB"; " A=B" sends "G CPY"
};

// The CI-V facts of a model (only read when `cat` is Cat::Civ).
struct CivFacts {
    bool bothAddresses = false;        // each frequency to Icom_addr, then to Icom_addr2
    bool selectsRememberedVfo = false; // the VFO chosen last is selected before each frequency
    bool bands = false;                // main/sub band (0xD0/0xD1) instead of VFO A/B (0x00/0x01)
    std::optional<int> equalCommand =
        std::nullopt; // the " A=B" sub-command; none keeps the one chosen last
};

struct RadioModel {
    std::string_view name;                   // the exact text of the settings list
    void (*setFrequency)(Kelv& k) = nullptr; // sends Freq_TX (Invio_frequenza calls it)
    Cat cat = Cat::TypedText;
    CivFacts civ = {};
    VfoButtons vfoButtons = VfoButtons::None;
    bool splitButton = false; // "Split": while on, the frequency goes into VFO B (the sub band)
    bool dualWatch = false; // "Dual": while on, the sub band follows the main after each frequency
    bool catOnOff = false;  // the Yaesu block goes between a CAT-on and a CAT-off run
    ui::RadioControls controls = {};
};

// Every model in the order the settings list offers them ("None", first in the list, has no row).
std::span<const RadioModel> radioModels();
// The row of an exact model text; nullptr for "None" or a text no row has.
const RadioModel* findRadioModel(std::string_view name);
// Whether a model text names a radio: anything but "None" (a text no row has counts).
bool radioChosen(std::string_view name);
// Whether a model text's radio is on the radio lines: a chosen radio not reached over the network.
bool radioUsesLine(std::string_view name);

} // namespace kelvora::radio
