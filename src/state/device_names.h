// Device type texts that procedures of more than one layer test.
#pragma once

#include <string_view>

namespace kelvora {

// The rotor type of the Kelvora tracking unit, which also relays the frequency and takes the
// VFO buttons' place when no radio row drives them.
inline constexpr std::string_view kKelvoraUnitType = "Kelvora";

// The Hamlib daemons' types: reached over the network, so no serial port is opened for them.
inline constexpr std::string_view kHamlibRigType = "Hamlib rigctld";
inline constexpr std::string_view kHamlibRotType = "Hamlib rotctld";

} // namespace kelvora
