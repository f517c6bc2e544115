// The rows of the newer settings sections and the reader that checks a section against them.
#include "config/settings_schema.h"

#include "state/numbers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace kelvora::config {

namespace {

using enum ValueType;
using enum ShownIn;

// Rows a dialog shows come first in each section, in the order the dialog shows them.
constexpr std::array kRows = std::to_array<SchemaRow>({
    // [Station]: the station rules, the lost lines, the PTT sequencer, the station's place.
    {"Station", "Hold_Tx", Flag, "0", 0, 1, "", "", "Hold the rotor while transmitting",
     "While the radio transmits the rotor is not moved", StationDialog},
    {"Station", "Move_Seconds", Text, "", 0, 0, "", "", "Move in seconds",
     "Seconds of the minute the rotor may move, e.g. 50-59 or 0-4,30-34; empty for any time",
     StationDialog},
    {"Station", "Az_Min", Number, "0", 0, 360, "", "°", "Azimuth from", "Lowest azimuth commanded",
     StationDialog},
    {"Station", "Az_Max", Number, "360", 0, 360, "", "°", "Azimuth to", "Highest azimuth commanded",
     StationDialog},
    {"Station", "El_Min", Number, "0", -90, 180, "", "°", "Elevation from",
     "Lowest elevation commanded", StationDialog},
    {"Station", "El_Max", Number, "90", -90, 180, "", "°", "Elevation to",
     "Highest elevation commanded", StationDialog},
    {"Station", "Horizon_File", Text, "", 0, 0, "", "", "Horizon mask file",
     "Lines of azimuth,elevation; empty for none", StationDialog},
    {"Station", "Move_Threshold", Number, "0", 0, 360, "", "°", "Move threshold",
     "Degrees the target must move before a new command; 0 for every change", StationDialog},
    {"Station", "Park_Az", Number, "180", 0, 360, "", "°", "Park azimuth",
     "Azimuth of the park position", StationDialog},
    {"Station", "Park_El", Number, "0", -90, 180, "", "°", "Park elevation",
     "Elevation of the park position", StationDialog},
    {"Station", "Stale_Seconds", Number, "15", 0, 86400, "", "s", "Stale file after",
     "Seconds without a new time in the tracking file before the rotor is held; 0 for never",
     StationDialog},
    {"Station", "Reopen_Ports", Flag, "1", 0, 1, "", "", "Reopen lost serial lines",
     "Reopen a serial line that went away, by its configured name; 0 for never"},
    {"Station", "Ptt_Sequence", Flag, "0", 0, 1, "", "", "PTT sequencer",
     "Key the relays on DTR and the transmitter on RTS, in order"},
    {"Station", "Ptt_Lead_ms", Whole, "50", 0, 10000, "", "ms", "PTT lead",
     "Time from DTR to RTS when keying"},
    {"Station", "Ptt_Tail_ms", Whole, "50", 0, 10000, "", "ms", "PTT tail",
     "Time from RTS to DTR when releasing"},
    {"Station", "Locator", Text, "", 0, 0, "", "", "Locator",
     "The station's Maidenhead locator, such as JN45ab", PlaceGroup},
    {"Station", "Latitude", Number, "", -90, 90, "", "°", "Latitude",
     "The station's latitude, north positive; with Longitude it wins over Locator", PlaceGroup},
    {"Station", "Longitude", Number, "", -180, 360, "", "°", "Longitude",
     "The station's longitude, east positive", PlaceGroup},
    {"Station", "Height", Number, "0", -500, 10000, "", "m", "Height",
     "The station's height above sea level", PlaceGroup},
    {"Station", "Refraction", Flag, "0", 0, 1, "", "", "Refraction",
     "Lift the computed Moon and Sun by atmospheric refraction"},
    {"Station", "Pressure_hPa", Number, "1010", 0, 1200, "", "hPa", "Pressure",
     "Air pressure for the refraction"},
    {"Station", "Temperature_C", Number, "10", -80, 60, "", "°C", "Temperature",
     "Air temperature for the refraction"},
    {"Station", "DX_Locator", Text, "", 0, 0, "", "", "DX locator",
     "The DX station's locator, for the common windows"},
    {"Station", "DX_El_Min", Number, "0", -90, 90, "", "°", "DX lowest elevation",
     "The DX station's lowest useful elevation"},

    // [Hamlib]: the daemons and Kelvora's own rotctld server, in the settings dialog.
    {"Hamlib", "Rig_Address", Address, "127.0.0.1:4532", 0, 0, "", "", "rigctld address:",
     "host:port of Hamlib's rigctld, which holds the radio's serial port", HamlibGroup},
    {"Hamlib", "Rot_Address", Address, "127.0.0.1:4533", 0, 0, "", "", "rotctld address:",
     "host:port of Hamlib's rotctld, which holds the rotor's serial port", HamlibGroup},
    {"Hamlib", "Server", Flag, "0", 0, 1, "", "", "On",
     "Answer Hamlib's rotctld protocol, so that other programs can read the antenna position",
     HamlibGroup},
    {"Hamlib", "Server_Address", Address, "127.0.0.1", 0, 0, "", "", "Listen on",
     "Address to listen on; 127.0.0.1 keeps it to this machine", HamlibGroup},
    {"Hamlib", "Server_Port", Whole, "4535", 1, 65535, "", "", "Port",
     "TCP port of the rotctld server", HamlibGroup},
    {"Hamlib", "Server_Moves", Flag, "0", 0, 1, "", "", "Clients may move the antenna",
     "If ON, rotctld clients may send P, S and K; a P pauses tracking", HamlibGroup},

    // [General]: the newer keys of an original section. Tracking_Object is the original
    // record's Sun_combo, edited by the hand-made dialog.
    {"General", "Tracking_Source", Choice, "File", 0, 0, "File|Built-in|File, else built-in", "",
     "Tracking source",
     "The tracking file, the built-in Moon and Sun, or the file while it is fresh", PlaceGroup},
    {"General", "Tracking_Object", Choice, "Moon", 0, 0, "Moon|Sun|Cas A|Cyg A|Tau A|Vir A", "",
     "Tracking", "The body the built-in source computes"},

    // [Sky_View]: the sky view's place, written when the program ends.
    {"Sky_View", "Left", Whole, "0", -100000, 100000, "", "px", "Left", "The window's left edge"},
    {"Sky_View", "Top", Whole, "0", -100000, 100000, "", "px", "Top", "The window's top edge"},
    {"Sky_View", "Width", Whole, "0", 0, 100000, "", "px", "Width", "The window's width"},
    {"Sky_View", "Height", Whole, "0", 0, 100000, "", "px", "Height", "The window's height"},
    {"Sky_View", "Visible", Flag, "0", 0, 1, "", "", "Visible", "The window was open"},

    // [Rotor_Range]: the mechanical range of the rotor.
    {"Rotor_Range", "Az_Low", Number, "0", -360, 360, "", "°", "Azimuth low",
     "Lowest azimuth the rotor may be commanded to"},
    {"Rotor_Range", "Az_High", Number, "360", 0, 720, "", "°", "Azimuth high",
     "Highest azimuth; the span runs from 360 to 720"},
    {"Rotor_Range", "El_High", Number, "90", 90, 180, "", "°", "Elevation high",
     "180 for an elevation axis that goes over the top"},
    {"Rotor_Range", "Flip", Flag, "0", 0, 1, "", "", "Fly over the top",
     "Allow a pass flown with azimuth + 180 and elevation 180 - el"},

    // [WSJTX]: the UDP listener.
    {"WSJTX", "Udp", Flag, "0", 0, 1, "", "", "Listen to WSJT-X",
     "Take the transmit state and the DX grid from WSJT-X's UDP messages", Nowhere},
    {"WSJTX", "Udp_Address", Address, "127.0.0.1", 0, 0, "", "", "UDP address",
     "Address to listen on; a multicast group is joined", Nowhere},
    {"WSJTX", "Udp_Port", Whole, "2237", 1, 65535, "", "", "UDP port", "UDP port WSJT-X sends to",
     Nowhere},

    // [Interlock]: the transmit interlock.
    {"Interlock", "Enabled", Flag, "0", 0, 1, "", "", "Transmit interlock",
     "Halt transmitting while the antenna is off target or its position is stale", Nowhere},
    {"Interlock", "Max_Error_Deg", Number, "2.0", 0, 180, "", "°", "Largest pointing error",
     "Pointing error above which transmitting is halted", Nowhere},
    {"Interlock", "Stale_Position_Seconds", Number, "10", 0, 86400, "", "s", "Stale position after",
     "Seconds without a rotor position before transmitting is halted", Nowhere},

    // [Calibration]: the Sun and Moon noise scans.
    {"Calibration", "Power_Source", Choice, "rigctld", 0, 0, "rigctld|Simulated", "",
     "Power source", "Where the received power is read"},
    {"Calibration", "Beam_Deg", Number, "10", 0.1, 90, "", "°", "Beamwidth",
     "Half-power beamwidth of the antenna"},
    {"Calibration", "Pattern", Choice, "Cross", 0, 0, "Cross|Raster", "", "Pattern",
     "The offsets a scan visits"},
    {"Calibration", "Span_Beams", Number, "1.5", 0.1, 10, "", "beams", "Span",
     "How far the scan reaches either side, in beamwidths"},
    {"Calibration", "Steps", Whole, "7", 3, 101, "", "", "Steps", "Offsets per axis"},
    {"Calibration", "Dwell_Seconds", Number, "5", 0.1, 600, "", "s", "Dwell",
     "Time spent at each offset"},
    {"Calibration", "Off_Source_Deg", Number, "", 0, 180, "", "°", "Off source",
     "Offset of the cold sky for the Y-factor; empty for 5 beamwidths"},
});

bool sameNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string plain(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::span<const SchemaRow> settingsSchema() {
    return kRows;
}

const SchemaRow& schemaRow(std::string_view section, std::string_view key) {
    for (const SchemaRow& row : kRows) {
        if (row.section == section && row.key == key) {
            return row;
        }
    }
    throw std::logic_error("no settings row for [" + std::string(section) + "] " +
                           std::string(key));
}

std::vector<std::string_view> choicesOf(const SchemaRow& row) {
    std::vector<std::string_view> items;
    std::string_view rest = row.choices;
    while (!rest.empty()) {
        std::size_t bar = rest.find('|');
        items.push_back(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
    }
    return items;
}

std::string tooltipOf(const SchemaRow& row) {
    std::string tip(row.help);
    if (row.type == Number || row.type == Whole) {
        tip += " (" + plain(row.low) + ".." + plain(row.high) +
               (row.unit.empty() ? "" : " " + std::string(row.unit)) + ")";
    } else if (!row.unit.empty()) {
        tip += " (" + std::string(row.unit) + ")";
    }
    return tip;
}

std::string settingError(std::string_view section, std::string_view keys, std::string_view what) {
    return "[" + std::string(section) + "] " + std::string(keys) + ": " + std::string(what);
}

SectionReader::SectionReader(std::string_view section, KeyLookup lookup)
    : m_section(section), m_lookup(std::move(lookup)) {}

const SchemaRow& SectionReader::row(std::string_view key) const {
    return schemaRow(m_section, key);
}

std::string SectionReader::text(std::string_view key) const {
    const SchemaRow& r = row(key);
    std::optional<std::string> stored = m_lookup(key);
    std::string_view value = stored ? numbers::trimmed(*stored) : std::string_view{};
    return std::string(value.empty() ? r.defaultText : value);
}

void SectionReader::fail(std::string_view keys, std::string_view what) {
    errors.push_back(settingError(m_section, keys, what));
}

bool SectionReader::flag(std::string_view key) {
    std::string value = text(key);
    if (value != "0" && value != "1") {
        fail(key, quoted(value) + " is neither 0 nor 1");
        return false;
    }
    return value == "1";
}

std::optional<double> SectionReader::number(std::string_view key) {
    const SchemaRow& r = row(key);
    std::string value = text(key);
    if (value.empty()) {
        return std::nullopt; // a number without a default, not given
    }
    std::optional<double> n = numbers::finiteNumber(value);
    if (!n) {
        fail(key, quoted(value) + " is not a number");
        return std::nullopt;
    }
    if (*n < r.low || *n > r.high) {
        fail(key, value + " is outside " + plain(r.low) + ".." + plain(r.high));
        return std::nullopt;
    }
    return n;
}

std::optional<long long> SectionReader::whole(std::string_view key) {
    const SchemaRow& r = row(key);
    std::string value = text(key);
    std::optional<long long> n = numbers::wholeNumber(value);
    if (!n) {
        fail(key, quoted(value) + " is not a whole number");
        return std::nullopt;
    }
    if (static_cast<double>(*n) < r.low || static_cast<double>(*n) > r.high) {
        fail(key, value + " is outside " + plain(r.low) + ".." + plain(r.high));
        return std::nullopt;
    }
    return n;
}

std::optional<std::string> SectionReader::choice(std::string_view key) {
    const SchemaRow& r = row(key);
    std::string value = text(key);
    for (std::string_view item : choicesOf(r)) {
        if (sameNoCase(item, value)) {
            return std::string(item);
        }
    }
    std::string items;
    for (std::string_view item : choicesOf(r)) {
        items += (items.empty() ? "" : ", ") + std::string(item);
    }
    fail(key, quoted(value) + " is not one of " + items);
    return std::nullopt;
}

} // namespace kelvora::config
