// "VFO-A", "VFO-B" and " A=B", and the IC-7100 power buttons.
#pragma once

namespace kelvora {
struct Kelv;

void Host_Click(Kelv& k);      // "VFO-A"
void Normal_Click(Kelv& k);    // "VFO-B"
void Posizione_Click(Kelv& k); // " A=B"
void ON_Icom_Click(Kelv& k);   // IC-7100 power, first CI-V address
void ON_Icom1_Click(Kelv& k);  // IC-7100 power, second CI-V address
// The Doppler-mode window's close box.
void frmDoppler_Form_Unload(Kelv& k);

} // namespace kelvora
