#include "calibration/calibration_files.h"

#include "config/ini_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelvora::calibration {

namespace {

constexpr int kAzLines = 361, kElLines = 91;

std::string format(const char* pattern, double a, double b = 0, double c = 0, double d = 0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

// A correction's text plus an offset, in decimal: "-0.25" + 0.4 is "0.15", never "0.15000000002".
std::optional<std::string> shifted(std::string_view text, double offset) {
    std::string t(text);
    std::size_t point = t.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(t.size() - point - 1);
    char* end = nullptr;
    double value = std::strtod(t.c_str(), &end);
    // Beyond a million degrees or nine decimals the sum would not fit the integer arithmetic.
    if (t.empty() || end != t.c_str() + t.size() || !(std::abs(value) < 1e6)) {
        return std::nullopt;
    }
    decimals = std::clamp(decimals, 2, 9);
    const double scale = std::pow(10.0, decimals);
    const long long units =
        std::llround(value * scale) + std::llround(std::round(offset * 100) * (scale / 100));
    const long long whole = std::llabs(units) / static_cast<long long>(scale);
    const long long part = std::llabs(units) % static_cast<long long>(scale);
    std::string fraction = std::to_string(part);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    return (units < 0 ? "-" : "") + std::to_string(whole) + "." + fraction;
}

} // namespace

std::string logRecord(std::string_view utcText, const Scan& scan, const BeamFit& fit,
                      const Correction& correction) {
    std::string r = std::string(utcText) + " " + std::string(astro::bodyName(scan.body()));
    r += format(" correction az %+.2f el %+.2f", correction.azDeg, correction.elDeg);
    r += format(" fit cross-el %+.3f±%.3f el %+.3f±%.3f", fit.crossElDeg, fit.crossElSigmaDeg,
                fit.elDeg, fit.elSigmaDeg);
    r += format(" beam %.2f floor %.2f dB peak %.2f dB", fit.beamDeg, fit.floorDb, fit.peakDb);
    if (fit.sourceNoiseDb) {
        r += format(" noise %.2f dB", *fit.sourceNoiseDb);
    }
    r += fit.trustworthy ? " trustworthy\n" : " not trustworthy: " + fit.verdict + "\n";
    for (const MeasuredPoint& p : scan.points()) {
        r += format("  %+.3f %+.3f %.2f dB\n", p.measured.crossElDeg, p.measured.elDeg,
                    p.measured.powerDb);
    }
    if (scan.coldSkyDb()) {
        r += format("  cold sky %.2f dB\n", *scan.coldSkyDb());
    }
    return r + "\n";
}

bool appendToLog(const std::string& folder, std::string_view record) {
    std::ofstream out(std::filesystem::path(folder) / "calibration.log",
                      std::ios::binary | std::ios::app);
    out << record;
    out.flush();
    return static_cast<bool>(out);
}

Parsed<std::string> shiftRotorDat(std::string_view text, double azDeg, double elDeg) {
    // Blank lines after the last record are kept as they are, as the reader of rotor.dat
    // ignores them.
    std::size_t last = text.find_last_not_of(" \t\r\n");
    std::size_t recordsEnd = last == text.npos ? 0 : text.find('\n', last);
    recordsEnd = recordsEnd == text.npos ? text.size() : recordsEnd + 1;
    std::string out;
    int record = 0;
    std::size_t at = 0;
    while (at < recordsEnd) {
        std::size_t end = text.find('\n', at);
        std::string_view line =
            text.substr(at, end == std::string_view::npos ? text.npos : end - at + 1);
        at += line.size();
        std::size_t body = line.find_last_not_of("\r\n");
        std::string_view ending = line.substr(body == line.npos ? 0 : body + 1);
        std::string_view fields = line.substr(0, line.size() - ending.size());
        std::size_t comma = fields.find(',');
        std::optional<std::string> value;
        if (comma != fields.npos && record < kAzLines + kElLines) {
            value = shifted(fields.substr(comma + 1), record < kAzLines ? azDeg : elDeg);
        }
        if (!value) {
            return parseFailure<std::string>("rotor.dat line " + std::to_string(record + 1) +
                                             " is not \"angle,correction\"");
        }
        out += std::string(fields.substr(0, comma + 1)) + *value + std::string(ending);
        ++record;
    }
    if (record != kAzLines + kElLines) {
        return parseFailure<std::string>("rotor.dat has " + std::to_string(record) +
                                         " lines, not 361 + 91");
    }
    out += text.substr(recordsEnd);
    return {out, {}};
}

std::string applyToRotorDat(const std::string& folder, const Correction& correction,
                            std::string_view stamp) {
    const std::filesystem::path path = std::filesystem::path(folder) / "rotor.dat";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "rotor.dat cannot be read in " + folder;
    }
    std::stringstream old;
    old << in.rdbuf();
    Parsed<std::string> next = shiftRotorDat(old.str(), correction.azDeg, correction.elDeg);
    if (!next) {
        return next.error + "; nothing changed";
    }
    const std::string backup = path.string() + ".bak-" + std::string(stamp);
    if (!config::writeFileAtomically(backup, old.str())) {
        return "the backup " + backup + " cannot be written; nothing changed";
    }
    if (!config::writeFileAtomically(path.string(), *next.value)) {
        return "rotor.dat cannot be written; it stays as it was";
    }
    return {};
}

} // namespace kelvora::calibration
