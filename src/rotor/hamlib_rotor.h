// A rotor behind Hamlib's rotctld: set, position, stop, park and the manual direction.
#pragma once

#include "rotor/antenna_command.h"

namespace kelvora {
struct Kelv;
}

namespace kelvora::rotor {

// "P <az> <el>" with the decimals of the target and the corrections.
extern const SetProcedure kHamlibRotSet;

void hamlibRotPoll(Kelv& k);                         // "p"; the reply shows when it comes
void hamlibRotStop(Kelv& k);                         // "S"
void hamlibRotPark(Kelv& k);                         // "K"
void hamlibRotManual(Kelv& k, double az, double el); // "P" with the manual angles as they are

} // namespace kelvora::rotor
