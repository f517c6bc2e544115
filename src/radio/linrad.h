// The Linrad link over TCP: connecting at Start and sending the 8-byte frequency message.
#pragma once

#include "radio/linrad_protocol.h"

namespace kelvora {
struct Kelv;

// Responsibilities:
// - Linrad_connect starts a connection to Linrad_host:Linrad_tcp_port and returns at once; an
//   empty host or port is named in a message and nothing is tried.
// - Linrad_set_frequency sends the frequency message while the link is connected, and says so
//   when it is not. A message Linrad cannot take now is dropped whole, never split.

// Called by Start after the serial ports are opened.
void Linrad_connect(Kelv& k);
// Sends the QSO frequency's place in Linrad's window.
void Linrad_set_frequency(Kelv& k);

} // namespace kelvora
