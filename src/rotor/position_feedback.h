// Rotor position polling and the reply readers.
#pragma once

namespace kelvora {
struct Kelv;

// Requests the rotor position and shows the reply in LabelAZ/LabelEL. Called by Timer1.
void Controllo_posizione(Kelv& k);

} // namespace kelvora
