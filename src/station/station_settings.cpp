// The [Station] settings parsed into numbers, each bad key named.
#include "station/station_settings.h"

#include "state/numbers.h"
#include "station/station_text.h"

#include <array>

namespace kelvora::station {

namespace {

using text::inQuotes;
using text::plain;
using text::trim;

// The numeric keys and the fields they fill; their defaults and ranges are the schema's.
struct NumberKey {
    std::string_view key;
    double StationSettings::*field;
};

constexpr std::array<NumberKey, 11> kNumberKeys = {{
    {"Az_Min", &StationSettings::azMin},
    {"Az_Max", &StationSettings::azMax},
    {"El_Min", &StationSettings::elMin},
    {"El_Max", &StationSettings::elMax},
    {"Move_Threshold", &StationSettings::moveThreshold},
    {"Park_Az", &StationSettings::parkAz},
    {"Park_El", &StationSettings::parkEl},
    {"Stale_Seconds", &StationSettings::staleSeconds},
    {"Pressure_hPa", &StationSettings::pressureHpa},
    {"Temperature_C", &StationSettings::temperatureC},
    {"DX_El_Min", &StationSettings::dxElMin},
}};

void checkReversed(config::SectionReader& reader, std::string_view minKey, double low,
                   std::string_view maxKey, double high) {
    if (low > high) {
        reader.fail(std::string(minKey) + ", " + std::string(maxKey),
                    plain(low) + " is above " + plain(high));
    }
}

} // namespace

StationSettings parseStationSettings(const KeyLookup& lookup) {
    StationSettings s;
    config::SectionReader reader("Station", lookup);
    s.holdTx = reader.flag("Hold_Tx");
    s.moveSecondsText = reader.text("Move_Seconds");
    if (Parsed<std::bitset<60>> seconds = parseSecondRanges(s.moveSecondsText)) {
        s.moveSeconds = *seconds.value;
    } else {
        reader.fail("Move_Seconds", seconds.error);
    }
    for (const NumberKey& n : kNumberKeys) {
        if (std::optional<double> v = reader.number(n.key)) {
            s.*n.field = *v;
        }
    }
    checkReversed(reader, "Az_Min", s.azMin, "Az_Max", s.azMax);
    checkReversed(reader, "El_Min", s.elMin, "El_Max", s.elMax);
    s.azLimited = s.azMin != 0 || s.azMax != 360;
    s.elLimited = s.elMin != 0 || s.elMax != 90;
    s.horizonFile = reader.text("Horizon_File");
    s.refraction = reader.flag("Refraction");
    s.dxLocator = reader.text("DX_Locator");
    s.errors = std::move(reader.errors);
    bool parkAzOutside = s.azLimited && (s.parkAz < s.azMin || s.parkAz > s.azMax);
    bool parkElOutside = s.elLimited && (s.parkEl < s.elMin || s.parkEl > s.elMax);
    if (parkAzOutside || parkElOutside) {
        std::string keys = parkAzOutside && parkElOutside ? "Park_Az, Park_El"
                           : parkAzOutside                ? "Park_Az"
                                                          : "Park_El";
        s.parkError = config::settingError(
            "Station", keys,
            numbers::oneDecimal(s.parkAz) + " " + numbers::oneDecimal(s.parkEl) +
                " is outside the limits " + numbers::oneDecimal(s.azMin) + ".." +
                numbers::oneDecimal(s.azMax) + " " + numbers::oneDecimal(s.elMin) + ".." +
                numbers::oneDecimal(s.elMax));
    }
    return s;
}

StationSettings parseStationSettings(const std::map<std::string, std::string>& values) {
    return parseStationSettings([&](std::string_view key) -> std::optional<std::string> {
        auto it = values.find(std::string(key));
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
}

Parsed<std::bitset<60>> parseSecondRanges(std::string_view text) {
    std::bitset<60> seconds;
    if (trim(text).empty()) {
        return {seconds.set(), {}};
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string_view part =
            trim(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (part.empty()) {
            return parseFailure<std::bitset<60>>(inQuotes(text) + " has an empty range");
        }
        std::size_t dash = part.find('-', 1);
        std::optional<long long> first = numbers::wholeNumber(part.substr(0, dash));
        std::optional<long long> last =
            dash == std::string_view::npos ? first : numbers::wholeNumber(part.substr(dash + 1));
        if (!first || !last) {
            return parseFailure<std::bitset<60>>(inQuotes(part) +
                                                 " is not a second or a range of seconds");
        }
        if (*first < 0 || *first > 59 || *last < 0 || *last > 59) {
            return parseFailure<std::bitset<60>>(inQuotes(part) + " is outside 0..59");
        }
        if (*first > *last) {
            return parseFailure<std::bitset<60>>(inQuotes(part) + " is a reversed range");
        }
        for (long long second = *first; second <= *last; ++second) {
            seconds.set(static_cast<std::size_t>(second));
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    return {seconds, {}};
}

} // namespace kelvora::station
