// Enabling, showing and hiding the main window's controls by rotor and radio type.
#pragma once

namespace kelvora {
struct Kelv;

// Called once by Start, after the settings are loaded and before the first tracking-file read.
void Visualizza_pulsanti(Kelv& k);

} // namespace kelvora
