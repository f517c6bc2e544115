// The Hamlib daemons' type texts, named by their rows and by the settings dialog.
#pragma once

#include <string_view>

namespace kelvora {

// The Hamlib daemons' types: reached over the network, so no serial port is opened for them.
inline constexpr std::string_view kHamlibRigType = "Hamlib rigctld";
inline constexpr std::string_view kHamlibRotType = "Hamlib rotctld";

} // namespace kelvora
