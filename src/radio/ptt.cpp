// Placeholder until PTT follow lands: the tracking tick already calls this.
#include "radio/ptt.h"

namespace kelvora {

void Controllo_PTT_MAP65(Kelv& /*k*/) {} // TODO(ptt)

} // namespace kelvora
