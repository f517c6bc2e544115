// Station rules: when a new target may be sent to the rotor, and why it is held otherwise.
// Pure logic on numbers and texts; the tracking cycle calls decide() once per processed second.
#pragma once

#include <array>
#include <bitset>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::station {

// The keys of the [Station] section with their default texts, for the settings layer.
struct KeyDefault {
    std::string_view section;
    std::string_view key;
    std::string_view defaultText;
};
inline constexpr std::array<KeyDefault, 11> kStationKeys = {{
    {"Station", "Hold_Tx", "0"},
    {"Station", "Move_Seconds", ""},
    {"Station", "Az_Min", "0"},
    {"Station", "Az_Max", "360"},
    {"Station", "El_Min", "0"},
    {"Station", "El_Max", "90"},
    {"Station", "Horizon_File", ""},
    {"Station", "Move_Threshold", "0"},
    {"Station", "Park_Az", "180"},
    {"Station", "Park_El", "0"},
    {"Station", "Stale_Seconds", "15"},
}};

// Returns the text stored for a key, or std::nullopt when the key is absent (its default holds).
using KeyLookup = std::function<std::optional<std::string>(std::string_view key)>;

struct StationSettings {
    bool holdTx = false;
    std::bitset<60> moveSeconds = std::bitset<60>().set(); // the seconds a command may go out
    std::string moveSecondsText;                           // as configured, for the status text
    double azMin = 0, azMax = 360, elMin = 0, elMax = 90;
    // The limits at their defaults hold nothing: below 0 degrees the elevation rotors already send
    // nothing and the azimuth-only rotors keep turning, as they always did.
    bool azLimited = false, elLimited = false;
    std::string horizonFile;
    double moveThreshold = 0;
    double parkAz = 180, parkEl = 0;
    double staleSeconds = 15;
    // One message per bad key, naming it. While there is one, every target is held.
    std::vector<std::string> errors;
};

StationSettings parseStationSettings(const KeyLookup& lookup);
StationSettings parseStationSettings(const std::map<std::string, std::string>& values);

// "50-59", "0-4,30-34", "7": the allowed seconds of the minute. Empty (or blanks) allows every
// second. std::nullopt with `error` set for a non-numeric, reversed or out-of-range part.
std::optional<std::bitset<60>> parseSecondRanges(std::string_view text, std::string& error);

// The lowest elevation the antennas may point at, by azimuth: "azimuth,elevation" points with
// rising azimuths in 0..360, linear between them and across 360 back to the first point.
class HorizonMask {
public:
    bool empty() const { return m_az.empty(); }
    // The mask elevation at `az` (any value; taken modulo 360). 0 for an empty mask.
    double elevationAt(double az) const;

    // Parses the text of a mask file. On the first bad line returns std::nullopt and sets `error`
    // to "Horizon file <path>, line <n>: <what>".
    static std::optional<HorizonMask> parse(std::string_view text, std::string_view path,
                                            std::string& error);

private:
    std::vector<double> m_az;
    std::vector<double> m_el;
};

// The mask file named by Horizon_File, read again whenever its size or modification time
// changes, so that a mended file takes effect without a restart.
class HorizonFile {
public:
    // `name` as configured: relative names are taken in `programFolder`. Empty means no mask.
    void configure(std::string_view name, std::string_view programFolder);
    // Re-reads the file if it changed since the last reading; cheap when it did not.
    void refresh();
    const HorizonMask& mask() const { return m_mask; }
    // Why the mask cannot be used ("Horizon file <path>, line 7: ..."); empty when it can.
    const std::string& error() const { return m_error; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_stamp; // size and write time of the last reading
    HorizonMask m_mask;
    std::string m_error;
};

// The resolved path of a Horizon_File value: absolute as is, relative within `programFolder`.
std::string horizonPath(std::string_view name, std::string_view programFolder);

enum class TransmitState { Unknown, Receiving, Transmitting };

// The transmit flag of the tracking file: the line holding "Doppler" ends in ", T" while the
// station transmits and ", R" while it receives. Unknown when there is no such ending.
TransmitState transmitStateOf(std::string_view trackingFileText);

struct AzElTarget {
    double az = 0;
    double el = 0;
};

// What the rules remember between ticks. Zeroed at Start.
struct StationState {
    std::string seenAzText, seenElText;      // the target text of the last tick
    bool pending = false;                    // a target not yet commanded
    std::optional<AzElTarget> lastCommanded; // the last position commanded (park included)
    enum class Pause { None, Parked, Stopped } pause = Pause::None;
    std::string timeText;     // the tracking file's time as last seen
    double timeChangedAt = 0; // monotonic seconds when it last changed
    bool timeSeen = false;
    // The time was seen to change at least once. Until then the file cannot be called stale: a
    // file whose time never moved since Start holds nothing that would move the rotor either.
    bool timeAdvanced = false;
    std::string reported; // the hold text last handed out
};

struct TickInput {
    double az = 0, el = 0;           // the target as numbers
    std::string_view azText, elText; // and as read (Az_text, El_text)
    std::string_view timeText;       // Time_text
    int secondOfMinute = 0;          // 0..59
    double monotonicSeconds = 0;
    bool transmitting = false; // virtual PTT line (DSR) or the tracking file's ", T"
};

struct Decision {
    enum class Action { None, Command, Hold } action = Action::None;
    AzElTarget target;        // Command: where to point
    std::string reason;       // Hold: which rule and what it holds
    bool reasonIsNew = false; // Hold: the reason differs from the one handed out before
    StationState next;        // the state to pass to the next call
};

// One tick. With every key at its default the action is Command exactly when the target text
// changed (as long as the tracking file's time keeps moving), else None.
// `maskError` non-empty (a damaged or unreadable mask file) holds every target.
Decision decide(const TickInput& in, const StationSettings& settings, const HorizonMask& mask,
                std::string_view maskError, const StationState& state);

// The tracking file's time has not advanced for Stale_Seconds (0: never stale).
bool isStale(const StationState& state, const StationSettings& settings, double monotonicSeconds);

// The operator's buttons. Park commands the park position and pauses tracking; Stop pauses it;
// Track resumes it, and the next tick commands the newest target whatever its distance.
Decision park(const StationSettings& settings, const StationState& state);
StationState stopRotor(const StationState& state);
StationState track(const StationState& state);

// The rules with their state, for a caller that wants one object.
class StationRules {
public:
    void configure(const StationSettings& settings, std::string_view programFolder);
    void reset() { m_state = {}; }
    // Refreshes the mask file, then decides and keeps the new state.
    Decision tick(const TickInput& in);
    Decision parkRotor();
    void stopRotor() { m_state = station::stopRotor(m_state); }
    void trackRotor() { m_state = station::track(m_state); }
    // A command the rules let go that did not reach the rotor (no line, the type's own horizon):
    // the threshold keeps measuring from the position last sent.
    void notSent(const std::optional<AzElTarget>& lastSent) { m_state.lastCommanded = lastSent; }
    // The rotor (its line or daemon) came back: the newest target is decided again as if new,
    // whatever its distance from the last command.
    void resendCurrent() {
        m_state.pending = true;
        m_state.lastCommanded.reset();
    }
    void setState(const StationState& state) { m_state = state; }
    const HorizonFile& horizon() const { return m_horizon; }
    const StationSettings& settings() const { return m_settings; }
    const StationState& state() const { return m_state; }

private:
    StationSettings m_settings;
    HorizonFile m_horizon;
    StationState m_state;
};

} // namespace kelvora::station
