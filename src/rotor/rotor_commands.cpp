// The rotor command for the configured type, through the antenna command decision.
#include "rotor/rotor_commands.h"

#include "rotor/antenna_command.h"

namespace kelvora {

void Invia_Rotori(Kelv& k) {
    rotor::commandTarget(k);
}

} // namespace kelvora
