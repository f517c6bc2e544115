// The main window's state line: what the antenna does and why, in one sentence, chosen from the
// causes that hold at this moment, and the short history of the sentences shown.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvora {

struct Kelv;

// This moment's facts. A cause added later is a field here and a row in the priority table of
// state_line.cpp; the highest cause that holds is the one shown.
struct StateFacts {
    bool tracking = false;              // Start has been pressed
    bool rotorPortLost = false;         // the rotor line went away and is being reopened
    bool parked = false;                // Park paused tracking
    bool stopped = false;               // Stop rotor paused tracking
    bool heldWhileTransmitting = false; // the station rules hold the rotor while transmitting
    bool noPlace = false;               // the computed source has no station place
    std::string body = "Moon";          // the object tracked
    bool fromFile = false;              // the target came from WSJT-X's tracking file
    std::optional<double> elevationDeg; // the target's elevation, when known
    std::optional<int> riseMinuteUtc;   // minutes after midnight UTC of the next rise, if known
    std::string holdReason;             // any other rule that holds the target, in its words
    std::string interlockReason;        // why the transmit interlock is tripped, while it is
    bool wsjtxGone = false;             // every WSJT-X instance heard has closed or gone silent
    std::string pathText;               // the planned path of the window, or that planning is off
};

// The causes, highest priority first; `None` when no fact says anything.
enum class StateCause {
    RotorPortLost,
    InterlockTripped,
    Parked,
    Stopped,
    HeldWhileTransmitting,
    BelowHorizon,
    NoPlace,
    Held,
    WsjtxGone,
    Tracking,
    NotTracking,
};

struct StateText {
    StateCause cause = StateCause::NotTracking;
    std::string text;
};

StateText describeState(const StateFacts& facts);

// The sentences shown, newest last, at most kStateHistorySize; a sentence joins when its cause
// differs from the newest one's, so a falling elevation does not fill the list.
inline constexpr std::size_t kStateHistorySize = 20;
class StateHistory {
public:
    // Returns true when `state` started a new entry.
    bool note(const StateText& state, const std::string& timeText);
    const std::deque<std::string>& entries() const { return m_entries; }

private:
    std::deque<std::string> m_entries;
    std::optional<StateCause> m_last;
};

// The tracking tick and every operator action: gathers the facts from the run state, shows the
// sentence in StateLine and keeps StateHistory. The next rise is computed at most once a minute.
void updateStateLine(Kelv& k);

} // namespace kelvora
