// A radio behind Hamlib's rigctld: the frequency and the VFO buttons as rigctld commands.
#pragma once

namespace kelvora {
struct Kelv;

// Freq_TX as "F <Hz>"; with the Doppler window giving receive and transmit apart, receive as
// "F", split on VFO B once, and transmit as "I". Nothing while rigctld is not connected.
void hamlibRigSetFrequency(Kelv& k);
void hamlibRigSelectVfo(Kelv& k, bool vfoB); // "V VFOA" / "V VFOB"
void hamlibRigCopyAToB(Kelv& k);             // "G CPY"

} // namespace kelvora
