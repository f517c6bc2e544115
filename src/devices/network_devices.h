// The Hamlib daemons' links and the rotctld server: made at Start, polled by the network timer.
#pragma once

namespace kelvora {
struct Kelv;

// Links to rigctld and rotctld when they are the configured radio and rotor types, and the
// rotctld server when [Hamlib] Server is on. A wrong address or server setting is named in a
// message box; tracking goes on without that link.
void startNetworkDevices(Kelv& k);
void stopNetworkDevices(Kelv& k);
// The network timer: the links and the server, often enough for quick answers to clients.
void tmrNetwork_Timer(Kelv& k);

} // namespace kelvora
