// Placeholder until the rotor protocols land: the tracking tick already calls this.
#include "rotor/rotor_commands.h"

namespace kelvora {

void Invia_Rotori(Kelv& /*k*/) {} // TODO(rotor)

} // namespace kelvora
