// Rotor commands: the dispatch by rotor type and one command procedure per controller.
#pragma once

namespace kelvora {
struct Kelv;

// Commands the rotor to Az_int/El_int with the configured protocol, unless the manual direction
// is ticked. Called by the tracking tick when the target text changed and the rotor port is open.
void Invia_Rotori(Kelv& k);

} // namespace kelvora
