// Placeholder until the VFO and power buttons land.
#include "radio/vfo_buttons.h"

namespace kelvora {

// TODO(radio)
void Host_Click(Kelv& /*k*/) {}
void Normal_Click(Kelv& /*k*/) {}
void Posizione_Click(Kelv& /*k*/) {}
void ON_Icom_Click(Kelv& /*k*/) {}
void ON_Icom1_Click(Kelv& /*k*/) {}
void frmDoppler_Form_Unload(Kelv& /*k*/) {}

} // namespace kelvora
