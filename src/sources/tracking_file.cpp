// Reading the tracking file: every field is one guarded step; a step that fails keeps the field.
#include "sources/tracking_file.h"

#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "station/station_rules.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace kelvora {

using numbers::findFrom1;
using numbers::mid;

namespace {

// Left(text, n): std::nullopt for a negative n, as the position arithmetic then failed.
std::optional<std::string> left(std::string_view text, long n) {
    if (n < 0) {
        return std::nullopt;
    }
    return std::string(text.substr(0, static_cast<std::size_t>(n)));
}

void assign(std::string& field, const std::optional<std::string>& value) {
    if (value) {
        field = *value;
    }
}

// The text before its first ".", or all of it.
std::string cutAtPoint(std::string_view text) {
    std::size_t point = text.find('.');
    return std::string(text.substr(0, point));
}

// A character test at a position: true when the character there is `c`, and also when the
// position does not exist (a test that cannot be evaluated lets its steps run; they then fail).
bool charIs(std::string_view text, long p, char c) {
    std::optional<std::string> at = mid(text, p, 1);
    return !at || *at == std::string(1, c);
}

long pos(std::size_t p) {
    return static_cast<long>(p);
}

void moonBranch(std::string working, RunState& rs) {
    long c = pos(findFrom1(working, ","));
    assign(rs.Time_text, left(working, c - 1));
    working = working.substr(static_cast<std::size_t>(c)); // c = 0 keeps the whole text
    c = pos(findFrom1(working, ","));
    assign(rs.Az_text, left(working, c - 1));
    rs.Az_int = cutAtPoint(rs.Az_text);
    std::string rest = working.substr(static_cast<std::size_t>(c));
    std::optional<std::string> el = left(rest, pos(findFrom1(rest, ",")) - 1);
    assign(rs.El_text, el);
    // Only a complete elevation field (its comma arrived) gives El_int: a file caught while it is
    // rewritten would otherwise command the rotor to a piece of a number.
    if (el) {
        rs.El_int = cutAtPoint(rest);
    }
    assign(rs.Object_name, mid(working, pos(findFrom1(working, "Moon")), 4));
}

void sunBranch(std::string_view working, TrackingInputs& inputs, RunState& rs) {
    long s = pos(findFrom1(working, "Sun"));
    assign(rs.Object_name, mid(working, s, 3));
    assign(rs.Time_text, mid(working, s - 21, 8));
    std::optional<std::string> window = mid(working, s - 12, 12);
    if (window) {
        long c = pos(findFrom1(*window, ","));
        assign(rs.Az_text, left(*window, c - 1));
        rs.Az_int = cutAtPoint(rs.Az_text);
        assign(rs.El_text, mid(*window, 13 - c, 5));
        rs.El_int = cutAtPoint(rs.El_text);
    }
    if (inputs.Doppler_Check == 1) {
        inputs.Doppler_Check = 0;
    }
}

// The value six characters before a keyword whose comma test passes.
std::optional<std::string> keywordValue(std::string_view working, std::string_view keyword) {
    long p = pos(findFrom1(working, keyword));
    if (p != 0 && charIs(working, p - 3, ',')) {
        return mid(working, p - 6, 3);
    }
    if (p == 0) {
        // The test cannot be evaluated at position -3: its step runs and fails.
        return std::nullopt;
    }
    return std::nullopt;
}

void frequencyFields(std::string_view working, const TrackingInputs& inputs, RunState& rs) {
    if (inputs.map65_fqso2 == 1) {
        assign(rs.Fqso_kHz, keywordValue(working, "fQSO2"));
    } else {
        assign(rs.Fqso_kHz, keywordValue(working, "fQSO"));
    }
    assign(rs.Fqso2_kHz, keywordValue(working, "fQSO2"));
}

} // namespace

std::string workingText(std::string_view fileContents) {
    std::string text;
    text.reserve(fileContents.size() + 64);
    for (std::size_t i = 0; i < fileContents.size(); ++i) {
        char c = fileContents[i];
        if (c == '\n' && (i == 0 || fileContents[i - 1] != '\r')) {
            text += '\r';
        }
        text += c;
    }
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
        text.resize(text.size() - 2);
    } else if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    return text;
}

bool parseTrackingText(std::string_view working, TrackingInputs& inputs, RunState& rs) {
    if (working.empty()) {
        return false;
    }
    std::string text(working);
    if (inputs.Sun_combo == "Moon") {
        moonBranch(text, rs);
        std::size_t comma = text.find(',');
        if (comma != std::string::npos) {
            text = text.substr(comma + 1); // the Moon branch works on the text after the time
        }
    } else if (inputs.Sun_combo == "Sun") {
        sunBranch(text, inputs, rs);
    }

    long q = pos(findFrom1(text, "Doppler"));
    switch (q) {
    case 86:
    case 95:
        frequencyFields(text, inputs, rs);
        if (inputs.Doppler_Check == 1) {
            inputs.Doppler_Check = 0;
        }
        break;
    case 93:
        frequencyFields(text, inputs, rs);
        if (charIs(text, q - 8, ',')) {
            assign(rs.Band_MHz, mid(text, q - 19, 4));
            assign(rs.DX_doppler_Hz, mid(text, q - 14, 6));
            assign(rs.My_doppler_Hz, mid(text, q - 7, 6));
        }
        break;
    case 116:
        if (charIs(text, q - 37, ',')) {
            assign(rs.Band_MHz, mid(text, q - 41, 4));
            assign(rs.DX_doppler_Hz, mid(text, q - 36, 8));
            assign(rs.My_doppler_Hz, mid(text, q - 18, 8));
        }
        rs.Fqso_kHz = "0";
        break;
    default:
        break;
    }
    return true;
}

void Read_File(Kelv& k) {
    std::error_code ec;
    const std::string& path = k.rs.Tracking_file;
    if (path.empty()) {
        return;
    }
    std::uintmax_t length = std::filesystem::file_size(path, ec);
    if (ec || length == 0 || length > kMaxTrackingFileSize) {
        return;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    std::string contents = buffer.str();
    if (contents.size() > kMaxTrackingFileSize) {
        return; // grew while being read
    }

    config::Settings& s = k.settings();
    TrackingInputs inputs{s.Sun_combo, s.map65_fqso2, s.Doppler_Check};
    if (!parseTrackingText(workingText(contents), inputs, k.rs)) {
        return;
    }
    s.Doppler_Check = inputs.Doppler_Check;
    k.rs.trackingFileTransmitting =
        station::transmitStateOf(contents) == station::TransmitState::Transmitting;
    k.ui.Label_TX.fore = ui::kGreen;
    k.ui.Label_freq.caption =
        k.rs.Band_MHz + "." + numbers::formatAtLeast3(k.rs.Fqso_kHz, k.locale) + ".000";
}

} // namespace kelvora
