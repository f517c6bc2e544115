// Collecting one controller reply from the rotor port, and sending a command byte by byte.
#pragma once

#include "ports/line.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;
}

namespace kelvora::rotor {

using ports::collectionBound;
using ports::Reply;

// COLLECT(N, marker): waits (blocking in the OS) until at least `minBytes` new bytes or the reply
// time-out (Rotor_timeout), appends what arrived, and goes on while the marker is missing; each
// batch of arrivals restarts the time-out, the total is capped by collectionBound(). Ends at once
// when the rotor port is closed or gets lost.
Reply collect(Kelv& k, std::size_t minBytes, std::string_view marker);

// Writes `text` to the rotor port with one write per byte.
void writeBytewise(Kelv& k, std::string_view text);

} // namespace kelvora::rotor
