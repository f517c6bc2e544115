// Kenwood-style typed commands: the procedures for TS-2000, TS-590, Elecraft K3, FDM-DUO and Flex.
#pragma once

#include "radio/kenwood_protocol.h"

namespace kelvora {
struct Kelv;

// Each takes the frequency rounded to the whole hertz (halves to even); a frequency the model's
// command cannot carry is named in the status line and not sent.
void TS2000SetTXFreq(Kelv& k);
void TS590SetTXFreq(Kelv& k);
void ElecraftSetTXFreq(Kelv& k);
void FdmDuoSetTXFreq(Kelv& k);
void FlexSetTXFreq(Kelv& k);

} // namespace kelvora
