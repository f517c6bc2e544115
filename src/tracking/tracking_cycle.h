// The two timer ticks and the buttons that run part of the cycle on demand.
#pragma once

namespace kelvora {
struct Kelv;

void tmrRead_Timer(Kelv& k);     // the tracking tick, every 500 ms
void Timer1_Timer(Kelv& k);      // the rotor-position refresh tick
void Command1_Click(Kelv& k);    // "TX-Freq"
void Linrad_freq_Click(Kelv& k); // "Linrad-Fre"

} // namespace kelvora
