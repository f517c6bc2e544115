// The [Station] settings parsed into numbers, each bad key named.
#include "station/station_settings.h"

#include "state/numbers.h"
#include "station/station_text.h"

namespace kelvora::station {

namespace {

using text::inQuotes;
using text::number;
using text::plain;
using text::trim;

std::optional<int> wholeNumber(std::string_view text) {
    text = trim(text);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

struct NumberKey {
    std::string_view key;
    double StationSettings::*field;
    double low, high;
};

constexpr std::array<NumberKey, 8> kNumberKeys = {{
    {"Az_Min", &StationSettings::azMin, 0, 360},
    {"Az_Max", &StationSettings::azMax, 0, 360},
    {"El_Min", &StationSettings::elMin, -90, 180},
    {"El_Max", &StationSettings::elMax, -90, 180},
    {"Move_Threshold", &StationSettings::moveThreshold, 0, 360},
    {"Park_Az", &StationSettings::parkAz, 0, 360},
    {"Park_El", &StationSettings::parkEl, -90, 180},
    {"Stale_Seconds", &StationSettings::staleSeconds, 0, 86400},
}};

void checkReversed(StationSettings& s, std::string_view minKey, double low, std::string_view maxKey,
                   double high) {
    if (low > high) {
        s.errors.push_back("Station settings " + std::string(minKey) + ", " + std::string(maxKey) +
                           ": " + plain(low) + " is above " + plain(high));
    }
}

} // namespace

StationSettings parseStationSettings(const KeyLookup& lookup) {
    StationSettings s;
    auto text = [&](std::string_view key) -> std::string {
        std::optional<std::string> value = lookup(key);
        return value ? std::string(trim(*value)) : std::string();
    };
    auto fail = [&](std::string_view key, const std::string& what) {
        s.errors.push_back("Station setting " + std::string(key) + ": " + what);
    };

    std::string hold = text("Hold_Tx");
    if (hold == "1") {
        s.holdTx = true;
    } else if (!hold.empty() && hold != "0") {
        fail("Hold_Tx", inQuotes(hold) + " is neither 0 nor 1");
    }

    s.moveSecondsText = text("Move_Seconds");
    std::string rangeError;
    if (std::optional<std::bitset<60>> seconds = parseSecondRanges(s.moveSecondsText, rangeError)) {
        s.moveSeconds = *seconds;
    } else {
        fail("Move_Seconds", rangeError);
    }

    for (const NumberKey& n : kNumberKeys) {
        std::string value = text(n.key);
        if (value.empty()) {
            continue; // the default stays
        }
        std::optional<double> v = number(value);
        if (!v) {
            fail(n.key, inQuotes(value) + " is not a number");
        } else if (*v < n.low || *v > n.high) {
            fail(n.key, value + " is outside " + plain(n.low) + ".." + plain(n.high));
        } else {
            s.*n.field = *v;
        }
    }
    checkReversed(s, "Az_Min", s.azMin, "Az_Max", s.azMax);
    checkReversed(s, "El_Min", s.elMin, "El_Max", s.elMax);
    s.azLimited = s.azMin != 0 || s.azMax != 360;
    s.elLimited = s.elMin != 0 || s.elMax != 90;
    s.horizonFile = text("Horizon_File");
    bool parkAzOutside = s.azLimited && (s.parkAz < s.azMin || s.parkAz > s.azMax);
    bool parkElOutside = s.elLimited && (s.parkEl < s.elMin || s.parkEl > s.elMax);
    if (parkAzOutside || parkElOutside) {
        std::string keys = parkAzOutside && parkElOutside ? "Park_Az, Park_El"
                           : parkAzOutside                ? "Park_Az"
                                                          : "Park_El";
        s.parkError = "Station setting " + keys + ": " + numbers::oneDecimal(s.parkAz) + " " +
                      numbers::oneDecimal(s.parkEl) + " is outside the limits " +
                      numbers::oneDecimal(s.azMin) + ".." + numbers::oneDecimal(s.azMax) + " " +
                      numbers::oneDecimal(s.elMin) + ".." + numbers::oneDecimal(s.elMax);
    }
    return s;
}

StationSettings parseStationSettings(const std::map<std::string, std::string>& values) {
    return parseStationSettings([&](std::string_view key) -> std::optional<std::string> {
        auto it = values.find(std::string(key));
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
}

std::optional<std::bitset<60>> parseSecondRanges(std::string_view text, std::string& error) {
    std::bitset<60> seconds;
    if (trim(text).empty()) {
        return seconds.set();
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string_view part =
            trim(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (part.empty()) {
            error = inQuotes(text) + " has an empty range";
            return std::nullopt;
        }
        std::size_t dash = part.find('-', 1);
        std::optional<int> first = wholeNumber(part.substr(0, dash));
        std::optional<int> last =
            dash == std::string_view::npos ? first : wholeNumber(part.substr(dash + 1));
        if (!first || !last) {
            error = inQuotes(part) + " is not a second or a range of seconds";
            return std::nullopt;
        }
        if (*first < 0 || *first > 59 || *last < 0 || *last > 59) {
            error = inQuotes(part) + " is outside 0..59";
            return std::nullopt;
        }
        if (*first > *last) {
            error = inQuotes(part) + " is a reversed range";
            return std::nullopt;
        }
        for (int second = *first; second <= *last; ++second) {
            seconds.set(static_cast<std::size_t>(second));
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    return seconds;
}

} // namespace kelvora::station
