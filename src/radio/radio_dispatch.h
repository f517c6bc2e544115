// Sending the frequency to the radio (by its model's row), the controller unit's relay and Linrad.
#pragma once

namespace kelvora {
struct Kelv;

// Computes the frequency, then sends it to every configured frequency sink.
void Invio_frequenza(Kelv& k);

// Reads and drops whatever arrived on the two radio ports. Nothing is read back from a radio,
// but CI-V radios echo every frame and acknowledge it, and other radios may answer too; this
// keeps that input from piling up over a long session. Invio_frequenza calls it first.
void discardRadioInput(Kelv& k);

} // namespace kelvora
