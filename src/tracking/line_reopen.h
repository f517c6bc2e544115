// Serial lines lost while tracking are opened again by themselves, less and less often.
#pragma once

namespace kelvora {
struct Kelv;

// The wait before the n-th attempt to open a lost line again (n = 0 is the first after the loss):
// 2 s, doubling after each failure, at most 30 s.
double reopenDelay(int failedAttempts);

// Responsibilities:
// - With [Station] Reopen_Ports (default 1) not 0, the rotor, radio, second radio and virtual PTT
//   lines that opened at Start are watched; one that fails later is opened again under the device
//   name the settings give (a /dev/serial/by-id/ name or a link survives a renumbering), on the
//   schedule of reopenDelay().
// - While a line is lost the status line reads "Rotor port lost: DEVICE (retrying)"; once it is
//   back, "Rotor port back: DEVICE", and what the line carries goes out again at once (the current
//   target to the rotor, the frequency to the radios).
// - An attempt is one non-blocking open: it never holds the tick up.
// - The real PTT line keeps its own rule (radio/ptt.h); a line that did not open at Start is not
//   tried again, as before.

// Start: remembers which lines are open now.
void watchOpenedLines(Kelv& k);
// The tracking tick: notices a lost line, opens it again when due, re-sends what it carries.
void reopenLostLines(Kelv& k);
// Reports the lines (rotor, radios, virtual PTT) that are found lost, at once: a watched line as
// the tick does, any other as the port primitives do ("Rotor port lost: <reason>"), closed.
// The tick runs it, and a port that notices its loss by itself between ticks.
void noticeLostLines(Kelv& k);
// The rotor line is lost and being opened again.
bool rotorLineLost(Kelv& k);

} // namespace kelvora
