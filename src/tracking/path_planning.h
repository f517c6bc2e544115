// The path of each window chosen ahead, for a rotor with an extended [Rotor_Range]: the plan
// made when tracking starts, when no window is under way (once a minute at most) and never on
// the tick in between; the window's path handed to the station seam when the window begins.
#pragma once

#include "plan/pass_plan.h"
#include "state/kelv.h"

#include <optional>

namespace kelvora {

// The plan request for the next `hours` from now: the tracked body, the station's place (none:
// std::nullopt), the [Station] rules, the mask, the range and the DX station.
std::optional<plan::PassPlan> planFromNow(Kelv& k, double hours = 24);

// Start: the plan forgotten; with an extended range and no place, the status says that overlap
// planning is off.
void startPathPlanning(Kelv& k);
// Each processed second, before the target goes to the seam.
void keepPlannedPath(Kelv& k);

} // namespace kelvora
