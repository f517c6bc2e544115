// Placeholder until the frequency computation lands: the tracking tick already calls this.
#include "radio/frequency.h"

namespace kelvora {

void Calcolo_frequenza(Kelv& /*k*/) {} // TODO(radio)
void Calcolo_doppler(Kelv& /*k*/) {}   // TODO(radio)

} // namespace kelvora
