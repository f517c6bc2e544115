// PTT follow: MAP65's PTT on the virtual PTT line keys the real PTT line.
#pragma once

namespace kelvora {
struct Kelv;

// Called on every tracking tick.
void Controllo_PTT_MAP65(Kelv& k);

} // namespace kelvora
