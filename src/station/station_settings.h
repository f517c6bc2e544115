// The [Station] settings (keys, defaults and ranges in config/settings_schema.cpp), parsed once (at
// Start and when the Station dialog applies), never on the tick.
#pragma once

#include "config/settings_schema.h"
#include "state/parsed.h"

#include <bitset>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::station {

using KeyLookup = config::KeyLookup;

// [Rotor_Range]: the rotor's mechanical range.
struct RotorRange {
    double azLow = 0, azHigh = 360; // mechanical azimuth the rotor may be commanded over
    double elHigh = 90;             // 180: the elevation axis goes over the top
    bool flip = false;              // a pass may be flown with az + 180 and 180 - el
    // Anything beyond the plain 0..360, 0..90 mount: the path is chosen and the mechanical
    // azimuth commanded. False keeps every command as it always was.
    bool extended() const { return azLow != 0 || azHigh != 360 || flip; }
    bool canFlip() const { return flip && elHigh == 180; }
};

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
    // The computed Moon and Sun lifted by refraction for this air; a file's positions never.
    bool refraction = false;
    double pressureHpa = 1010, temperatureC = 10;
    std::string dxLocator; // the DX station's locator for the common windows; empty for none
    double dxElMin = 0;
    RotorRange range; // [Rotor_Range], checked against the rotor type at Start
};

StationSettings parseStationSettings(const KeyLookup& lookup);
StationSettings parseStationSettings(const std::map<std::string, std::string>& values);

// "50-59", "0-4,30-34", "7": the allowed seconds of the minute. Empty (or blanks) allows every
// second. std::nullopt with `error` set for a non-numeric, reversed or out-of-range part.
Parsed<std::bitset<60>> parseSecondRanges(std::string_view text);

} // namespace kelvora::station
