// The PTT sequencer's steps.
#include "radio/ptt_sequencer_machine.h"

#include "state/numbers.h"

#include <algorithm>
#include <cmath>

namespace kelvora::radio {

namespace {
// Times are sums of floating-point seconds; a microsecond is far below what a relay notices.
constexpr double kSlack = 1e-6;
} // namespace

PttLevels PttSequencer::update(double now, bool keyed) {
    // Repeats while a step ends at once (a lead or tail of zero), so one call settles.
    for (int i = 0; i < 4; ++i) {
        PttStep before = m_step;
        switch (m_step) {
        case PttStep::Receive:
            if (keyed) {
                m_step = PttStep::Lead;
                m_since = now;
            }
            break;
        case PttStep::Lead:
            if (!keyed) {
                m_step = PttStep::Tail;
                m_since = now;
            } else if (now - m_since >= m_lead - kSlack) {
                m_step = PttStep::Transmit;
            }
            break;
        case PttStep::Transmit:
            if (!keyed) {
                m_step = PttStep::Tail;
                m_since = now;
            }
            break;
        case PttStep::Tail:
            if (keyed) {
                m_step = PttStep::Lead;
                m_since = now;
            } else if (now - m_since >= m_tail - kSlack) {
                m_step = PttStep::Receive;
            }
            break;
        }
        if (m_step == before) {
            break;
        }
    }
    return levels();
}

std::optional<double> PttSequencer::nextChangeIn(double now) const {
    switch (m_step) {
    case PttStep::Lead:
        return std::max(0.0, m_since + m_lead - now);
    case PttStep::Tail:
        return std::max(0.0, m_since + m_tail - now);
    default:
        return std::nullopt;
    }
}

PttLevels PttSequencer::levels() const {
    return {m_step != PttStep::Receive, m_step == PttStep::Transmit};
}

int lineChanges(PttLevels from, PttLevels to, LineChange (&out)[2]) {
    int n = 0;
    if (from.rts && !to.rts) {
        out[n++] = {true, false};
    }
    if (from.dtr != to.dtr) {
        out[n++] = {false, to.dtr};
    }
    if (!from.rts && to.rts) {
        out[n++] = {true, true};
    }
    return n;
}

int sequencerMilliseconds(std::string_view key, std::string_view text, int fallback,
                          std::string& problem) {
    constexpr int kLongest = 2000;
    std::optional<double> value = numbers::strictNumber(text);
    if (!value || !std::isfinite(*value)) {
        problem = std::string(key) + " \"" + std::string(text) + "\" is not a number of " +
                  "milliseconds; " + std::to_string(fallback) + " ms is used.";
        return fallback;
    }
    double clamped = std::clamp(std::round(*value), 0.0, static_cast<double>(kLongest));
    int ms = static_cast<int>(clamped);
    if (*value < 0 || *value > kLongest) {
        problem = std::string(key) + " " + std::string(text) + " is outside 0 to 2000 ms; " +
                  std::to_string(ms) + " ms is used.";
    }
    return ms;
}

} // namespace kelvora::radio
