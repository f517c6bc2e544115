// One serial line as a protocol procedure uses it: write, paced send, reply collection.
#pragma once

#include "platform/clock.h"
#include "platform/serial_port.h"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvora::ports {

// Responsibilities:
// - A write to a closed line is dropped; a line that fails is reported once in `status`
//   ("Rotor port lost: <reason>") and closed.
// - Every wait blocks in the OS through the clock; nothing here runs window events.
struct Line {
    platform::SerialPort& port;
    platform::Clock& clock;
    const char* role;        // "Rotor", "Radio", "Radio 2": names the line in a loss report
    std::string& status;     // the status line
    double replyTimeout = 0; // seconds one reply may take to arrive
};

// Reports a lost line in the status line and closes it; true when it was lost.
bool reportIfLost(Line& line);

// Hands the whole text to the port at once.
void write(Line& line, std::string_view text);
// One write per byte.
void writeBytewise(Line& line, std::string_view text);

// Waits until more than `seconds` have passed, sleeping in the OS.
void paceDown(platform::Clock& clock, double seconds);

enum class PaceAfterLast { No, Yes };

// Writes each piece as one write with a pause of `pace` seconds between pieces (and after the last
// with PaceAfterLast::Yes). A line lost on the way ends the send, so the loss report stays in the
// status line; a line closed from the start sends nothing and waits for nothing. Returns false when
// the line was lost on the way.
bool sendPaced(Line& line, std::initializer_list<std::string_view> pieces, double pace,
               PaceAfterLast after);
// The same with every byte of `bytes` a piece of its own, paced after every one.
bool sendPacedBytewise(Line& line, std::string_view bytes, double pace);

// Every byte waiting on the line (none when it is closed).
std::string readAll(Line& line);

struct Reply {
    std::string text;      // every byte collected, one character per byte
    bool complete = false; // the end marker arrived
};

// The longest one collection may take, whatever the controller sends: the lesser of 5 s and ten
// reply time-outs.
double collectionBound(double replyTimeout);

// Waits (blocking in the OS) until at least `minBytes` new bytes or the reply time-out, appends
// what arrived, and goes on while the marker is missing; each batch of arrivals restarts the
// time-out, the total is capped by collectionBound(). Ends at once when the line is closed or lost.
Reply collect(Line& line, std::size_t minBytes, std::string_view marker);

} // namespace kelvora::ports
