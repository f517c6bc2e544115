// PTT follow: MAP65's PTT on the virtual PTT line keys the real PTT line.
#pragma once

namespace kelvora {
struct Kelv;

inline constexpr const char* kPttOn = "PTT On";
inline constexpr const char* kPttOff = "PTT off";

// Responsibilities:
// - DSR asserted on the virtual PTT line (MSComm3) opens the real PTT line (MSComm4) with RTS
//   asserted, the caption of Ptt reads "PTT On" and the frequency is sent again.
// - DSR dropped closes the real PTT line, makes the second QSO frequency the QSO frequency, the
//   caption reads "PTT off" and the frequency is sent again.
// - The transmitter is never left keyed without its control: a lost virtual PTT line closes the
//   real one, and a real PTT line that went away sets the caption back to "PTT off".
// - A real PTT line that cannot be opened is reported once until it opens or the failure changes;
//   the state stays Receive and the tick goes on.
// Called on every tracking tick; does nothing while the PTT sequencer (ptt_sequencer_lines.h) is
// on.
void Controllo_PTT_MAP65(Kelv& k);

// Opens the real PTT line Reale_PTT names, under the rule above for a line that cannot be opened;
// false when it did not open or none is named.
bool openRealPttLine(Kelv& k, bool rtsOnOpen);

} // namespace kelvora
