// Rotor position polling: the request per rotor type and its reply reader.
#pragma once

namespace kelvora {
struct Kelv;

// Requests the rotor position and shows the reply in LabelAZ/LabelEL. Called by Timer1. Does
// nothing on a tick whose target moved, or while the rotor port is closed.
void Controllo_posizione(Kelv& k);
// One request and its reply now, whatever Refresh Rotors says (the settings' "Test"); false when
// the type polls nothing or the rotor port is closed.
bool pollPositionOnce(Kelv& k);

} // namespace kelvora
