// Hamlib's plain-text protocol: fixed command texts and strict readers of the replies.
#include "hamlib/hamlib_protocol.h"

#include "state/numbers.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace kelvora::hamlib {

namespace {

std::string withHertz(char command, long long hz) {
    return std::string(1, command) + ' ' + std::to_string(hz) + '\n';
}

bool parseWhole(std::string_view text, long long& value) {
    std::optional<long long> v = numbers::wholeNumber(text);
    if (!v) {
        return false;
    }
    value = *v;
    return true;
}

} // namespace

std::string_view trimmed(std::string_view text) {
    return numbers::trimmed(text);
}

std::string setFrequencyCommand(long long hz) {
    return withHertz('F', hz);
}
std::string setSplitFrequencyCommand(long long hz) {
    return withHertz('I', hz);
}
std::string splitOnVfoBCommand() {
    return "S 1 VFOB\n";
}

std::string splitOffCommand() {
    return "S 0 VFOA\n";
}

std::string selectVfoCommand(Vfo vfo) {
    return vfo == Vfo::A ? "V VFOA\n" : "V VFOB\n";
}
std::string copyVfoAToBCommand() {
    return "G CPY\n";
}
std::string getFrequencyCommand() {
    return "f\n";
}
std::string getLevelCommand(std::string_view level) {
    return "l " + std::string(level) + "\n";
}
std::string getSplitCommand() {
    return "s\n";
}

std::string reportText(int code) {
    // Hamlib's published error numbers, in order from 1.
    static constexpr const char* kMeanings[] = {
        "invalid parameter",  "invalid configuration",   "out of memory",
        "not implemented",    "communication timed out", "I/O error",
        "internal error",     "protocol error",          "command rejected",
        "argument truncated", "not available",           "VFO not targetable",
        "bus error",          "bus collision",           "invalid handle or argument",
        "invalid VFO",        "argument out of domain"};
    std::string text = "RPRT " + std::to_string(code);
    int n = -code;
    if (n >= 1 && n <= static_cast<int>(std::size(kMeanings))) {
        text += std::string(" (") + kMeanings[n - 1] + ')';
    }
    return text;
}

std::string setPositionCommand(double azimuth, double elevation) {
    char text[96];
    std::snprintf(text, sizeof text, "P %.6f %.6f\n", azimuth, elevation);
    return text;
}
std::string dumpStateCommand() {
    return "\\dump_state\n";
}

std::string getPositionCommand() {
    return "p\n";
}
std::string stopCommand() {
    return "S\n";
}
std::string parkCommand() {
    return "K\n";
}

std::size_t LineReader::feed(std::string_view bytes) {
    std::size_t taken = 0;
    while (taken < bytes.size()) {
        std::string_view rest = bytes.substr(taken);
        if (m_skipping) {
            std::size_t lf = rest.find('\n');
            if (lf == std::string_view::npos) {
                return bytes.size(); // all of it belongs to the overlong line
            }
            m_skipping = false;
            taken += lf + 1;
            continue;
        }
        std::size_t n = std::min(rest.size(), room());
        if (n == 0) {
            break;
        }
        m_buffer.append(rest.substr(0, n));
        taken += n;
        // An unfinished tail longer than a line can be is dropped now, so the buffer cannot
        // fill with it.
        std::size_t lastLf = m_buffer.rfind('\n');
        std::size_t tail =
            lastLf == std::string::npos ? m_buffer.size() : m_buffer.size() - lastLf - 1;
        if (tail > m_maxLine) {
            m_buffer.resize(m_buffer.size() - tail);
            m_skipping = true;
            ++m_overlong;
        }
    }
    return taken;
}

std::optional<std::string> LineReader::nextLine() {
    for (;;) {
        std::size_t lf = m_buffer.find('\n');
        if (lf == std::string::npos) {
            return std::nullopt;
        }
        std::string line = m_buffer.substr(0, lf);
        m_buffer.erase(0, lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > m_maxLine) {
            ++m_overlong;
            continue;
        }
        return line;
    }
}

void LineReader::clear() {
    m_buffer.clear();
    m_skipping = false;
    m_overlong = 0;
}

std::optional<int> parseReport(std::string_view line) {
    line = trimmed(line);
    if (line.substr(0, 5) != "RPRT ") {
        return std::nullopt;
    }
    long long value = 0;
    if (!parseWhole(line.substr(5), value) || value < -1000 || value > 1000) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<long long> parseFrequency(std::string_view line) {
    long long value = 0;
    if (!parseWhole(line, value) || value < 1 || value > 1'000'000'000'000LL) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseDecimal(std::string_view text) {
    text = trimmed(text);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    int digits = 0;
    int points = 0;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            ++digits;
        } else if (text[i] == '.' && points == 0) {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 30) {
        return std::nullopt;
    }
    return numbers::finiteNumber(text);
}

std::optional<double> parseAngle(std::string_view line) {
    std::optional<double> value = parseDecimal(line);
    if (!value || *value < -360.0 || *value > 540.0) {
        return std::nullopt;
    }
    return value;
}

std::optional<Position> parsePosition(std::string_view azimuthLine,
                                      std::string_view elevationLine) {
    std::optional<double> az = parseAngle(azimuthLine);
    std::optional<double> el = parseAngle(elevationLine);
    if (!az || !el) {
        return std::nullopt;
    }
    return Position{*az, *el};
}

} // namespace kelvora::hamlib
