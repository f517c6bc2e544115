// The Kelvora controller unit: set, position reply with its status, host and terminal modes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

namespace rotor {

// "AZ" + three azimuth digits + " EL" + two elevation digits + CR: AZ123 EL45.
std::string kvSetCommand(double az, double el);

// The unit's reply after its prompt arrived.
struct KvReply {
    enum class Kind { Error, NoPosition, NoElevation, Position } kind = Kind::NoPosition;
    double az = 0;
    double el = 0;
};
// "error" in any letter case; "AZ=" and "EL=" each followed, after a "/", by the measured angle.
KvReply parseKvReply(std::string_view reply);

// "AZ 123.0   EL 45.5": each angle with at least one integer digit and one decimal.
std::string kvPositionText(double az, double el);

} // namespace rotor

void KVRotorSetAzEl(Kelv& k, double az, double el);

// Collects the reply up to the prompt ending "ora>>" and returns "00:" (no prompt), "01:" (no
// position), "02:" (the unit reported an error) or the position text, which is also shown.
std::string KVRotorReadFrame(Kelv& k);

// Host mode: "7", up to three attempts, each confirmed by a bare prompt ("01:").
void KVRotorSetHost(Kelv& k);
// Terminal mode: "Q", then CR.
void KVRotorSetTerminal(Kelv& k);

} // namespace kelvora
