// Placeholder until the Linrad link lands: Start and the tick already call this.
#include "radio/linrad.h"

namespace kelvora {

void Linrad_connect(Kelv& /*k*/) {}       // TODO(linrad)
void Linrad_set_frequency(Kelv& /*k*/) {} // TODO(linrad)

} // namespace kelvora
