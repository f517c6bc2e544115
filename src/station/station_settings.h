// The [Station] settings: their keys and defaults, parsed into numbers once (at Start and when
// the Station dialog applies), never on the tick.
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
    // Park_Az/Park_El outside the limits: Park is refused until they are mended. A park position
    // under the horizon mask is allowed, as parking at the horizon is normal.
    std::string parkError;
};

StationSettings parseStationSettings(const KeyLookup& lookup);
StationSettings parseStationSettings(const std::map<std::string, std::string>& values);

// "50-59", "0-4,30-34", "7": the allowed seconds of the minute. Empty (or blanks) allows every
// second. std::nullopt with `error` set for a non-numeric, reversed or out-of-range part.
std::optional<std::bitset<60>> parseSecondRanges(std::string_view text, std::string& error);

} // namespace kelvora::station
