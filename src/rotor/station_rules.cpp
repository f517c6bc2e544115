// Station rules: settings parsing, the horizon mask, the transmit flag and the per-tick decision.
#include "rotor/station_rules.h"

#include "state/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kelvora::station {

namespace {

constexpr std::uintmax_t kMaxHorizonFileSize = 1 << 20;
// Angles from text carry a decimal or two; a threshold of 2.0 must pass a move of 123.4 - 121.4.
constexpr double kEpsilon = 1e-9;

std::string_view trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The whole text as a finite number, or std::nullopt.
std::optional<double> number(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> wholeNumber(std::string_view text) {
    text = trim(text);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Shortest plain text of a number: 360, 12.5.
std::string plain(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string azEl(double az, double el) {
    return numbers::oneDecimal(az) + " " + numbers::oneDecimal(el);
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

double azimuthDistance(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
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

double HorizonMask::elevationAt(double az) const {
    std::size_t n = m_az.size();
    if (n == 0) {
        return 0;
    }
    if (n == 1) {
        return m_el.front();
    }
    double a = std::fmod(az, 360.0);
    if (a < 0) {
        a += 360.0;
    }
    std::size_t i =
        static_cast<std::size_t>(std::upper_bound(m_az.begin(), m_az.end(), a) - m_az.begin());
    double az0, el0, az1, el1;
    if (i == 0 || i == n) {
        // Between the last point and the first one, across 360.
        az0 = m_az.back();
        el0 = m_el.back();
        az1 = m_az.front() + 360.0;
        el1 = m_el.front();
        if (a < m_az.front()) {
            a += 360.0;
        }
    } else {
        az0 = m_az[i - 1];
        el0 = m_el[i - 1];
        az1 = m_az[i];
        el1 = m_el[i];
    }
    double span = az1 - az0;
    return span <= 0 ? el0 : el0 + (el1 - el0) * (a - az0) / span;
}

std::optional<HorizonMask> HorizonMask::parse(std::string_view text, std::string_view path,
                                              std::string& error) {
    HorizonMask mask;
    std::string where = "Horizon file " + std::string(path);
    std::size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        std::string_view raw =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view content = trim(raw.substr(0, raw.find('#')));
        if (content.empty()) {
            continue;
        }
        auto fail = [&](const std::string& what) {
            error = where + ", line " + std::to_string(line) + ": " + what;
            return std::nullopt;
        };
        std::size_t comma = content.find(',');
        if (comma == std::string_view::npos || content.find(',', comma + 1) != std::string::npos) {
            return fail(inQuotes(content) + " is not \"azimuth,elevation\"");
        }
        std::optional<double> az = number(content.substr(0, comma));
        std::optional<double> el = number(content.substr(comma + 1));
        if (!az || !el) {
            return fail(inQuotes(content) + " is not two numbers");
        }
        if (*az < 0 || *az > 360) {
            return fail("azimuth " + plain(*az) + " is outside 0..360");
        }
        if (*el < -90 || *el > 90) {
            return fail("elevation " + plain(*el) + " is outside -90..90");
        }
        if (!mask.m_az.empty() && *az == mask.m_az.back()) {
            return fail("azimuth " + plain(*az) + " is repeated");
        }
        if (!mask.m_az.empty() && *az < mask.m_az.back()) {
            return fail("azimuth " + plain(*az) + " is below the previous " +
                        plain(mask.m_az.back()));
        }
        mask.m_az.push_back(*az);
        mask.m_el.push_back(*el);
    }
    if (mask.m_az.empty()) {
        error = where + ": no points";
        return std::nullopt;
    }
    return mask;
}

std::string horizonPath(std::string_view name, std::string_view programFolder) {
    std::filesystem::path p{std::string(name)};
    if (p.is_absolute()) {
        return p.string();
    }
    return (std::filesystem::path{std::string(programFolder)} / p).string();
}

void HorizonFile::configure(std::string_view name, std::string_view programFolder) {
    m_path = name.empty() ? std::string() : horizonPath(name, programFolder);
    m_stamp.clear();
    m_mask = HorizonMask();
    m_error.clear();
    refresh();
}

void HorizonFile::refresh() {
    if (m_path.empty()) {
        return;
    }
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(m_path, ec);
    std::filesystem::file_time_type written = std::filesystem::last_write_time(m_path, ec);
    std::string stamp =
        ec ? std::string("missing")
           : std::to_string(size) + "/" + std::to_string(written.time_since_epoch().count());
    if (stamp == m_stamp) {
        return;
    }
    m_stamp = stamp;
    m_mask = HorizonMask();
    if (ec) {
        m_error = "Horizon file " + m_path + ": cannot be read (" + ec.message() + ")";
        return;
    }
    if (size > kMaxHorizonFileSize) {
        m_error = "Horizon file " + m_path + ": larger than 1 MB";
        return;
    }
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    if (!in) {
        m_error = "Horizon file " + m_path + ": cannot be read";
        return;
    }
    m_error.clear();
    if (std::optional<HorizonMask> mask = HorizonMask::parse(contents.str(), m_path, m_error)) {
        m_mask = std::move(*mask);
    }
}

TransmitState transmitStateOf(std::string_view text) {
    std::size_t keyword = text.find("Doppler");
    if (keyword == std::string_view::npos) {
        return TransmitState::Unknown;
    }
    std::string_view line = text.substr(keyword);
    line = trim(line.substr(0, line.find_first_of("\r\n")));
    if (line.empty() || (line.back() != 'T' && line.back() != 'R')) {
        return TransmitState::Unknown;
    }
    std::string_view before = trim(line.substr(0, line.size() - 1));
    if (before.empty() || before.back() != ',') {
        return TransmitState::Unknown;
    }
    return line.back() == 'T' ? TransmitState::Transmitting : TransmitState::Receiving;
}

Decision decide(const TickInput& in, const StationSettings& settings, const HorizonMask& mask,
                std::string_view maskError, const StationState& state) {
    Decision d;
    d.next = state;
    StationState& s = d.next;
    if (in.azText != s.seenAzText || in.elText != s.seenElText) {
        s.seenAzText = in.azText;
        s.seenElText = in.elText;
        s.pending = true;
    }
    if (!s.timeSeen || in.timeText != s.timeText) {
        s.timeAdvanced = s.timeAdvanced || s.timeSeen;
        s.timeSeen = true;
        s.timeText = in.timeText;
        s.timeChangedAt = in.monotonicSeconds;
    }

    auto hold = [&](std::string reason) {
        d.action = Decision::Action::Hold;
        d.reasonIsNew = reason != s.reported;
        s.reported = reason;
        d.reason = std::move(reason);
        return d;
    };

    // Rules that hold the rotor whether or not the target moved.
    if (!settings.errors.empty()) {
        return hold("Rotor held: " + settings.errors.front());
    }
    if (!maskError.empty()) {
        return hold("Rotor held: " + std::string(maskError));
    }
    if (s.pause == StationState::Pause::Parked) {
        return hold("Rotor parked");
    }
    if (s.pause == StationState::Pause::Stopped) {
        return hold("Rotor stopped");
    }
    if (isStale(s, settings, in.monotonicSeconds)) {
        return hold("Tracking file stale: " + std::string(trim(s.timeText)) + " unchanged for " +
                    plain(settings.staleSeconds) + " s");
    }
    if (!s.pending) {
        s.reported.clear();
        return d;
    }

    // Rules on the target itself.
    std::string target = azEl(in.az, in.el);
    if (settings.holdTx && in.transmitting) {
        return hold("Held while transmitting: " + target);
    }
    if (settings.azLimited && (in.az < settings.azMin || in.az > settings.azMax)) {
        return hold("Outside the azimuth limits: " + target + " beyond " +
                    numbers::oneDecimal(settings.azMin) + ".." +
                    numbers::oneDecimal(settings.azMax));
    }
    if (settings.elLimited && (in.el < settings.elMin || in.el > settings.elMax)) {
        return hold("Outside the elevation limits: " + target + " beyond " +
                    numbers::oneDecimal(settings.elMin) + ".." +
                    numbers::oneDecimal(settings.elMax));
    }
    if (!mask.empty()) {
        double horizon = mask.elevationAt(in.az);
        if (in.el < horizon) {
            return hold("Below horizon mask: " + target + " under " + numbers::oneDecimal(horizon));
        }
    }
    if (settings.moveThreshold > 0 && s.lastCommanded) {
        const AzElTarget& last = *s.lastCommanded;
        double limit = settings.moveThreshold - kEpsilon;
        if (azimuthDistance(in.az, last.az) < limit && std::fabs(in.el - last.el) < limit) {
            return hold("Within the move threshold: " + target + " near " + azEl(last.az, last.el));
        }
    }
    if (in.secondOfMinute < 0 || in.secondOfMinute > 59 ||
        !settings.moveSeconds.test(static_cast<std::size_t>(in.secondOfMinute))) {
        return hold("Waiting for the move window: " + target + " (seconds " +
                    settings.moveSecondsText + ")");
    }

    d.action = Decision::Action::Command;
    d.target = {in.az, in.el};
    s.pending = false;
    s.lastCommanded = d.target;
    s.reported.clear();
    return d;
}

bool isStale(const StationState& state, const StationSettings& settings, double monotonicSeconds) {
    return settings.staleSeconds > 0 && state.timeAdvanced &&
           monotonicSeconds - state.timeChangedAt >= settings.staleSeconds;
}

Decision park(const StationSettings& settings, const StationState& state) {
    Decision d;
    d.next = state;
    if (!settings.errors.empty()) {
        d.action = Decision::Action::Hold;
        d.reason = "Rotor held: " + settings.errors.front();
        d.reasonIsNew = d.reason != state.reported;
        d.next.reported = d.reason;
        return d;
    }
    d.action = Decision::Action::Command;
    d.target = {settings.parkAz, settings.parkEl};
    d.next.pause = StationState::Pause::Parked;
    d.next.lastCommanded = d.target;
    d.next.reported.clear();
    return d;
}

StationState stopRotor(const StationState& state) {
    StationState s = state;
    s.pause = StationState::Pause::Stopped;
    return s;
}

StationState track(const StationState& state) {
    StationState s = state;
    s.pause = StationState::Pause::None;
    // The rotor is elsewhere now: go to the newest target whatever the threshold says.
    s.pending = true;
    s.lastCommanded.reset();
    return s;
}

void StationRules::configure(const StationSettings& settings, std::string_view programFolder) {
    m_settings = settings;
    m_horizon.configure(settings.horizonFile, programFolder);
}

Decision StationRules::tick(const TickInput& in) {
    m_horizon.refresh();
    Decision d = decide(in, m_settings, m_horizon.mask(), m_horizon.error(), m_state);
    m_state = d.next;
    return d;
}

Decision StationRules::parkRotor() {
    Decision d = park(m_settings, m_state);
    m_state = d.next;
    return d;
}

} // namespace kelvora::station
