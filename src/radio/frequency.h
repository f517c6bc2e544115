// Transmit and receive frequencies from the QSO frequency, with the Doppler modes.
#pragma once

namespace kelvora {
struct Kelv;

// The six modes of the Doppler-mode window, numbered as its option buttons.
enum class DopplerMode {
    FullToDxGrid = 1,
    OwnEcho = 2,
    ConstantOnMoon = 3,
    OnDxEcho = 4,
    CallDx = 5,
    None = 6,
};

struct DopplerFrequencies {
    double rx = 0;
    double tx = 0;
};

// Receive and transmit frequency (Hz) for a mode, from the uncorrected base frequency and the
// own-echo and DX Doppler shifts (Hz).
DopplerFrequencies dopplerFrequencies(DopplerMode mode, double base, double myDoppler,
                                      double dxDoppler);

// Freq_TX (and with DX Doppler Freq_RX) from the run state; sets Fqso_last and Freq_last.
// True when a frequency was computed. When the QSO or Doppler field is not a number (before the
// first good reading, say) the previous results stay, Freq_TX is put back to Freq_last, and the
// result is false: there is nothing new to send.
bool Calcolo_frequenza(Kelv& k);
// Applies the mode selected in the Doppler-mode window; shows the window the first time.
// A QSO or Doppler field that is not a number leaves Freq_TX and Freq_RX as they were (false).
bool Calcolo_doppler(Kelv& k);

} // namespace kelvora
