// The reply collection shared by every rotor reply reader.
#include "rotor/collect.h"

#include "ports/serial_ports.h"
#include "state/kelv.h"

#include <algorithm>

namespace kelvora::rotor {

double collectionBound(double replyTimeout) {
    return std::min(5.0, 10.0 * replyTimeout);
}

Reply collect(Kelv& k, std::size_t minBytes, std::string_view marker) {
    Reply reply;
    platform::SerialPort& port = k.MSComm2;
    if (!port.isOpen()) {
        return reply;
    }
    const double timeout = k.rs.Rotor_timeout;
    const double start = k.clock.monotonicSeconds();
    const double bound = collectionBound(timeout);
    double t0 = start;
    // Clock steps below a microsecond do not count, so a wait always makes progress.
    constexpr double kSlack = 1e-6;
    std::string batch; // bytes of the current wait, not yet added to the reply
    bool inputSignalled = false;
    for (;;) {
        std::string bytes = ports::ReadFromRotorPort(k);
        if (inputSignalled && bytes.empty()) {
            k.clock.sleepFor(0.005); // input was signalled but none came: never spin
        }
        batch += bytes;
        double now = k.clock.monotonicSeconds();
        bool timedOut = now - t0 >= timeout - kSlack || now - start >= bound - kSlack;
        if (batch.size() >= minBytes || timedOut || !port.isOpen()) {
            reply.text += batch;
            batch.clear();
            reply.complete = reply.text.find(marker) != std::string::npos;
            if (reply.complete || timedOut || !port.isOpen()) {
                return reply;
            }
            t0 = now; // an arrival restarts the time-out
            continue;
        }
        double wait = std::min(timeout - (now - t0), bound - (now - start));
        inputSignalled = port.waitForInput(wait);
        if (!inputSignalled && ports::checkLost(k, port, "Rotor")) {
            reply.text += batch;
            reply.complete = reply.text.find(marker) != std::string::npos;
            return reply;
        }
    }
}

void writeBytewise(Kelv& k, std::string_view text) {
    for (char c : text) {
        ports::WriteToRotorPort(k, std::string_view(&c, 1));
    }
}

} // namespace kelvora::rotor
