// The Linrad link over TCP.
#pragma once

namespace kelvora {
struct Kelv;

// Called by Start after the serial ports are opened.
void Linrad_connect(Kelv& k);
// Sends the QSO frequency's place in Linrad's window.
void Linrad_set_frequency(Kelv& k);

} // namespace kelvora
