// Collecting one controller reply from the rotor port, sending a command byte by byte, and the
// position poll of a rotor type.
#pragma once

#include "ports/line.h"
#include "rotor/position_reply_protocol.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// Puts parsed texts into LabelAZ/LabelEL; a missing text leaves its label as it is.
void showLabels(Kelv& k, const LabelTexts& texts);

// A rotor type's position request and the reading of its reply.
struct PositionPoll {
    std::vector<std::string> request{};                  // one entry per write
    std::size_t minBytes = 0;                            // the collection: new bytes per wait
    std::string_view marker{};                           // and the end marker
    void (*show)(Kelv& k, const Reply& reply) = nullptr; // the collected reply to the labels
    std::string_view requestTraceBefore{}, requestTraceAfter{}, readTrace{}; // traced when on
};

// Collects the poll's reply (traced first when it says so) and shows it.
void readPosition(Kelv& k, const PositionPoll& poll);

// Writes `text` to the trace file when the trace is on.
void traceRotor(Kelv& k, std::string_view text);

} // namespace kelvora::rotor
