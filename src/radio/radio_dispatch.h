// Sending the frequency to the radio, the controller unit's relay and Linrad.
#pragma once

#include <string_view>

namespace kelvora {
struct Kelv;

// One row per radio type: the exact type text of the settings and the procedure that sends the
// frequency to that radio.
struct RadioModel {
    const char* type;
    void (*setFrequency)(Kelv& k);
};

// The row of a radio type; nullptr for "None" and for any text not in the table.
const RadioModel* findRadioModel(std::string_view rtxType);

// Computes the frequency, then sends it to every configured frequency sink.
void Invio_frequenza(Kelv& k);

// Reads and drops whatever arrived on the two radio ports. Nothing is read back from a radio,
// but CI-V radios echo every frame and acknowledge it, and other radios may answer too; this
// keeps that input from piling up over a long session. Invio_frequenza calls it first.
void discardRadioInput(Kelv& k);

} // namespace kelvora
