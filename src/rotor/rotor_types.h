// The rotor types: one row each holds every fact about a type.
#pragma once

#include "rotor/antenna_command.h"
#include "rotor/collect.h"
#include "state/control_states.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora {
struct Kelv;
}

namespace kelvora::rotor {

// The Stop button's bytes: each write, then a pause of the pace delay as `pace` says.
struct StopSequence {
    enum class Pace { AfterEachWrite, BetweenWrites, AfterEachByte };
    std::vector<std::string> writes{};
    Pace pace = Pace::AfterEachWrite;
};

// The manual direction's command from the limited, padded field texts: a text built here and
// shown, or the type's set procedure called with the numbers.
struct ManualDirection {
    std::string (*command)(std::string_view a, std::string_view e) = nullptr;
    void (*set)(Kelv& k, double az, double el) = nullptr;
    std::string_view trace{}; // traced, with the command after it, when the trace is on
};

// A rotor reached over the network instead of the rotor port (Hamlib's rotctld).
struct NetworkRotor {
    void (*poll)(Kelv& k) = nullptr; // asks for the position; the reply shows when it arrives
    void (*stop)(Kelv& k) = nullptr;
    void (*park)(Kelv& k) = nullptr; // the controller's own park position
};

// The mechanical azimuth a type's commands can carry.
struct AzimuthReach {
    double low = 0, high = 360;
    bool fromDaemon = false; // the daemon knows its own range and refuses what it cannot do
};

struct RotorType {
    std::string_view name; // the exact text of the settings list
    ui::RotorControls controls{};
    SetProcedure set{};           // the command for a new target
    PositionPoll poll{};          // no request: the type is not polled
    bool stop = false;            // the controller has a known stop command
    StopSequence stopSequence{};  // what the Stop button sends (even where `stop` is false)
    ManualDirection manual{};     // nothing set: the manual direction does nothing
    bool hostModes = false;       // the Kelvora unit's host and terminal modes
    bool relaysFrequency = false; // the unit passes the frequency on and owns the " A=B" button
    bool noRotor = false;         // the "None" row: no rotor at all
    const NetworkRotor* network = nullptr; // set: no rotor port, these instead
    AzimuthReach azReach{};
};

// Every type in the order the settings list offers them, "None" first.
std::span<const RotorType> rotorTypes();
// The row of an exact type text; nullptr for a text no row has.
const RotorType* findRotorType(std::string_view name);
// Whether a type text names a rotor: anything but the "None" row (a text no row has counts).
bool rotorChosen(std::string_view name);
// Whether a type text's rotor is on the rotor line: a chosen rotor that is not a network type.
bool rotorUsesLine(std::string_view name);

} // namespace kelvora::rotor
