// Placeholder until the radio dispatch lands: the tracking tick already calls this.
#include "radio/radio_dispatch.h"

namespace kelvora {

void Invio_frequenza(Kelv& /*k*/) {} // TODO(radio)

} // namespace kelvora
