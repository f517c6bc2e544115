// The PTT sequencer on the real PTT line: DTR the first step, RTS the transmitter.
#pragma once

namespace kelvora {
struct Kelv;

// Responsibilities:
// - With [Station] Ptt_Sequence=1 (default 0: PTT follow as before), Start opens the real PTT
//   line with both lines low and keeps it open, so keying never depends on an open that may
//   raise the lines on its own; the window timer tmrPttSequence then reads the virtual PTT line
//   every 10 ms (sooner when a step is due) and runs radio::PttSequencer with Ptt_Lead_ms and
//   Ptt_Tail_ms (0 to 2000, default 50; out of range is clamped and said once at Start).
// - A key-down shows "PTT On" and sends the transmit frequency right after DTR rises; a key-up
//   drops RTS first, then takes the second QSO frequency, as PTT follow does.
// - A lost virtual PTT line is a key-up. A lost real PTT line is reported and the sequence ends;
//   the next key-down opens the line again under the real PTT line's open-failure rule.
// - PttSequence on the main window names the step that is keyed.

// Start: reads the settings; opens the line and starts the timer when the sequencer is on.
void pttSequenceStart(Kelv& k);
// Stop, Options and the end of the program, before the ports close: a keyed transmitter drops
// RTS, the tail passes (a wait in the OS), then DTR drops.
void pttSequenceStop(Kelv& k);
// The window timer.
void tmrPttSequence_Timer(Kelv& k);
// True from a Start with the sequencer on until Stop.
bool pttSequenceOn(Kelv& k);

} // namespace kelvora
