// The PTT sequencer as a state machine: the key and the time in, the two line levels out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvora::radio {

// DTR switches the first step (antenna relay, preamplifier bypass), RTS the transmitter.
enum class PttStep {
    Receive,  // both low
    Lead,     // DTR high; RTS waits for the lead time
    Transmit, // both high
    Tail,     // RTS low; DTR waits for the tail time
};

struct PttLevels {
    bool dtr = false;
    bool rts = false;
    bool operator==(const PttLevels&) const = default;
};

// Responsibilities:
// - A key-down raises DTR at once and RTS `lead` seconds later, if the key is still down then;
//   a key-down in the tail keeps DTR and waits the whole lead again.
// - A key-up drops RTS at once and DTR `tail` seconds later; a key-up inside the lead time never
//   raises RTS.
// - RTS is never high while DTR is low.
class PttSequencer {
public:
    PttSequencer(double leadSeconds, double tailSeconds)
        : m_lead(leadSeconds), m_tail(tailSeconds) {}

    // The key at monotonic time `now`; returns the levels the lines must have from now on.
    PttLevels update(double now, bool keyed);
    // Seconds from `now` to the next change that comes without a change of the key.
    std::optional<double> nextChangeIn(double now) const;

    PttStep step() const { return m_step; }
    PttLevels levels() const;

private:
    double m_lead, m_tail;
    PttStep m_step = PttStep::Receive;
    double m_since = 0; // when Lead or Tail began
};

// The order in which to set the lines to go from `from` to `to`: a falling RTS before DTR, a
// rising RTS after it. Returns up to two changes; each is {isRts, level}.
struct LineChange {
    bool rts = false;
    bool on = false;
};
int lineChanges(PttLevels from, PttLevels to, LineChange (&out)[2]);

// A lead or tail setting in milliseconds, 0 to 2000. Text that is not a number gives `fallback`,
// a number outside the range is clamped; either way `problem` says what was used.
int sequencerMilliseconds(std::string_view key, std::string_view text, int fallback,
                          std::string& problem);

} // namespace kelvora::radio
