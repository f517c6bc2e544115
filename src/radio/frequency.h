// Transmit and receive frequencies from the QSO frequency, with the Doppler modes.
#pragma once

namespace kelvora {
struct Kelv;

// Freq_TX (and with DX Doppler Freq_RX) from the run state; sets Fqso_last and Freq_last.
void Calcolo_frequenza(Kelv& k);
// Applies the mode selected in the Doppler-mode window; shows the window the first time.
void Calcolo_doppler(Kelv& k);

} // namespace kelvora
