// The reply collection shared by every rotor reply reader, on the rotor line.
#include "rotor/collect.h"

#include "ports/serial_ports.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "state/trace_log.h"

namespace kelvora::rotor {

Reply collect(Kelv& k, std::size_t minBytes, std::string_view marker) {
    ports::Line line = ports::rotorLine(k);
    return ports::collect(line, minBytes, marker);
}

void writeBytewise(Kelv& k, std::string_view text) {
    ports::Line line = ports::rotorLine(k);
    ports::writeBytewise(line, text);
}

void showLabels(Kelv& k, const LabelTexts& texts) {
    // The numbers too, for the sky view and the rotctld server; a text that is no number (a
    // damaged reply) leaves the last one standing.
    auto measured = [](const std::string& text) { return numbers::strictNumber(text); };
    if (texts.az) {
        k.ui.LabelAZ.caption = *texts.az;
        if (std::optional<double> az = measured(*texts.az)) {
            k.rs.antenna.measuredAz = *az;
            k.rs.antenna.measuredAt = k.clock.monotonicSeconds();
        }
    }
    if (texts.el) {
        k.ui.LabelEL.caption = *texts.el;
        if (std::optional<double> el = measured(*texts.el)) {
            k.rs.antenna.measuredEl = *el;
            k.rs.antenna.measuredAt = k.clock.monotonicSeconds();
        }
    }
}

void readPosition(Kelv& k, const PositionPoll& poll) {
    if (!poll.readTrace.empty()) {
        traceRotor(k, poll.readTrace);
    }
    poll.show(k, collect(k, poll.minBytes, poll.marker));
}

void traceRotor(Kelv& k, std::string_view text) {
    if (k.rs.Trace_on == -1) {
        Tracciatura_file(k, text);
    }
}

} // namespace kelvora::rotor
