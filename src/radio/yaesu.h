// Yaesu CAT: the procedures that send the blocks and the typed commands on the CAT port.
#pragma once

#include "radio/yaesu_protocol.h"

namespace kelvora {
struct Kelv;

void FT736RSetTXFreq(Kelv& k);
void FT817SetTXFreq(Kelv& k); // FT-817, FT-847, FT-857, FT-897
void FT1000SetTXFreq(Kelv& k);
// The typed-text models take the frequency rounded to the whole hertz (halves to even); one they
// cannot take is named in the status line.
void FT950SetTXFreq(Kelv& k);
void FT991SetTXFreq(Kelv& k);
void FT5000SetTXFreq(Kelv& k);
void FT1000mpVFO_A(Kelv& k);
void FT1000mpVFO_B(Kelv& k);
void FT1000mpVFO_AB(Kelv& k);

} // namespace kelvora
