// Icom CI-V: the procedures that send frequency, split, cross-band, VFO and power frames.
#pragma once

#include "radio/icom_protocol.h"

namespace kelvora {
struct Kelv;

// The frequency as the model's row asks: into VFO B (the sub band) while split is on for a model
// with the split button, the sub band made equal to the main band after it while dual watch is on
// for a model with dual watch, otherwise IcomRadioSetTXFreq.
void icomSetFrequency(Kelv& k);

void IcomRadioSetTXFreq(Kelv& k);
void IcomRadioSetTXFreq_Split(Kelv& k);
void IcomRadioSetTXFreq_X(Kelv& k);
void IcomVFO_A(Kelv& k, int vfo);
void IcomVFO_B(Kelv& k, int vfo);
void IcomVFO_AB(Kelv& k);
// Return false (and send nothing) when `indirizzo` is no CI-V address.
bool Accendo_Icom(Kelv& k, int indirizzo);
bool Spengo_Icom(Kelv& k, int indirizzo);

} // namespace kelvora
