// Sending the frequency to the radio, the controller unit's relay and Linrad.
#pragma once

namespace kelvora {
struct Kelv;

// Computes the frequency, then sends it to every configured frequency sink.
void Invio_frequenza(Kelv& k);

} // namespace kelvora
