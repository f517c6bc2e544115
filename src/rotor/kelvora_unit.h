// The Kelvora controller unit on the rotor line: set, position reply, host and terminal modes.
#pragma once

#include "rotor/antenna_command.h"
#include "rotor/collect.h"

#include <string>

namespace kelvora {
struct Kelv;

namespace rotor {
void sendKv(Kelv& k, const AntennaCommand& command);
inline constexpr SetProcedure kKvSet{AngleRule::AzEl, sendKv, {}};
const PositionPoll& kvPoll();
} // namespace rotor

// Collects the reply up to the prompt ending "ora>>" and returns "00:" (no prompt), "01:" (no
// position), "02:" (the unit reported an error), "03:" (an angle that cannot be read) or the
// position text, which is also shown.
std::string KVRotorReadFrame(Kelv& k);

// Host mode: "7", up to three attempts, each confirmed by a bare prompt ("01:").
void KVRotorSetHost(Kelv& k);
// Terminal mode: "Q", then CR.
void KVRotorSetTerminal(Kelv& k);

} // namespace kelvora
