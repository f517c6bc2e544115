#include "ports/line.h"

#include <algorithm>
#include <cmath>

namespace kelvora::ports {

bool reportIfLost(Line& line) {
    std::string reason = line.port.lostReason();
    if (reason.empty()) {
        return false;
    }
    line.status = std::string(line.role) + " port lost: " + reason;
    line.port.close();
    return true;
}

void write(Line& line, std::string_view text) {
    if (!line.port.isOpen()) {
        reportIfLost(line); // a loss seen by an earlier read is reported here once
        return;
    }
    if (!line.port.write(text)) {
        reportIfLost(line);
    }
}

void writeBytewise(Line& line, std::string_view text) {
    for (char c : text) {
        write(line, std::string_view(&c, 1));
    }
}

void paceDown(platform::Clock& clock, double seconds) {
    if (std::isnan(seconds)) {
        return; // would never end
    }
    seconds = std::min(seconds, 1.0); // a larger figure would hold the window on every byte
    double start = clock.monotonicSeconds();
    for (;;) {
        double elapsed = clock.monotonicSeconds() - start;
        if (elapsed > seconds) {
            return;
        }
        // Sleep the rest of the wait, and at least a millisecond so the clock moves on.
        clock.sleepFor(std::max(seconds - elapsed, 0.0) + 0.001);
    }
}

namespace {

// Writes one piece; false when the line is closed afterwards. `wasOpen` tells a loss on the way
// from a line that was never open.
bool sendPiece(Line& line, std::string_view piece, bool wasOpen, bool& lost) {
    write(line, piece);
    if (!line.port.isOpen()) {
        lost = wasOpen;
        return false;
    }
    return true;
}

} // namespace

bool sendPaced(Line& line, std::initializer_list<std::string_view> pieces, double pace,
               PaceAfterLast after) {
    bool wasOpen = line.port.isOpen();
    bool lost = false;
    std::size_t left = pieces.size();
    for (std::string_view piece : pieces) {
        --left;
        if (!sendPiece(line, piece, wasOpen, lost)) {
            if (lost) {
                return false;
            }
            continue; // nothing goes out on a closed line: nothing to wait for
        }
        if (left > 0 || after == PaceAfterLast::Yes) {
            paceDown(line.clock, pace);
        }
    }
    return true;
}

bool sendPacedBytewise(Line& line, std::string_view bytes, double pace) {
    bool wasOpen = line.port.isOpen();
    bool lost = false;
    for (char c : bytes) {
        if (!sendPiece(line, std::string_view(&c, 1), wasOpen, lost)) {
            if (lost) {
                return false;
            }
            continue;
        }
        paceDown(line.clock, pace);
    }
    return true;
}

std::string readAll(Line& line) {
    if (!line.port.isOpen()) {
        reportIfLost(line);
        return {};
    }
    std::string bytes = line.port.readAll();
    reportIfLost(line);
    return bytes;
}

double collectionBound(double replyTimeout) {
    return std::min(5.0, 10.0 * replyTimeout);
}

Reply collect(Line& line, std::size_t minBytes, std::string_view marker) {
    Reply reply;
    platform::SerialPort& port = line.port;
    if (!port.isOpen()) {
        return reply;
    }
    const double timeout = line.replyTimeout;
    const double start = line.clock.monotonicSeconds();
    const double bound = collectionBound(timeout);
    double t0 = start;
    // Clock steps below a microsecond do not count, so a wait always makes progress.
    constexpr double kSlack = 1e-6;
    std::string batch; // bytes of the current wait, not yet added to the reply
    bool inputSignalled = false;
    for (;;) {
        std::string bytes = readAll(line);
        if (inputSignalled && bytes.empty()) {
            line.clock.sleepFor(0.005); // input was signalled but none came: never spin
        }
        batch += bytes;
        double now = line.clock.monotonicSeconds();
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
        if (!inputSignalled && reportIfLost(line)) {
            reply.text += batch;
            reply.complete = reply.text.find(marker) != std::string::npos;
            return reply;
        }
    }
}

} // namespace kelvora::ports
