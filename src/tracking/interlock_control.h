// The transmit interlock run with tracking: the station's state gathered each tick, the
// transmitter kept unkeyed and WSJT-X told to halt while it is tripped.
#pragma once

namespace kelvora {
struct Kelv;

// Start: [Interlock] read; with Enabled=1 the status line says which causes the configured rotor
// can know. A bad value is named in a notice and leaves the interlock off.
void startInterlock(Kelv& k);
void stopInterlock(Kelv& k);
// Each tick, before PTT follow: k.rs.interlock updated; while it is tripped every WSJT-X
// instance heard is told to halt (again while it keeps Tx enabled) and the status line says
// why; a clear is said there too.
void checkInterlock(Kelv& k);

} // namespace kelvora
