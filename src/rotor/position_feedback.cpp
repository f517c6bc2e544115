// Placeholder until the rotor position readers land: the refresh tick already calls this.
#include "rotor/position_feedback.h"

namespace kelvora {

void Controllo_posizione(Kelv& /*k*/) {} // TODO(rotor)

} // namespace kelvora
