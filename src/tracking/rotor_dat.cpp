#include "tracking/rotor_dat.h"

#include "state/numbers.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kelvora {

namespace {

bool blankLine(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

// A hand edit often leaves blank lines at the end; they are not records.
std::string_view withoutTrailingBlankLines(std::string_view text) {
    std::size_t last = text.find_last_not_of(" \t\r\n");
    if (last == std::string_view::npos) {
        return {};
    }
    std::size_t end = text.find('\n', last);
    return end == std::string_view::npos ? text : text.substr(0, end + 1);
}

// What is wrong with one record line ("index,correction"), empty when nothing is.
std::string lineFault(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (blankLine(line)) {
        return "is blank";
    }
    std::size_t commas = static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
    if (commas != 1) {
        return "holds " +
               (commas == 0 ? std::string("one value") : std::to_string(commas + 1) + " values") +
               " instead of two";
    }
    std::size_t comma = line.find(',');
    for (auto [name, value] : {std::pair{"index", line.substr(0, comma)},
                               std::pair{"correction", line.substr(comma + 1)}}) {
        if (!numbers::strictNumber(value)) {
            return std::string("has the ") + name + " \"" + std::string(value) +
                   "\", which is not a number";
        }
    }
    return {};
}

// The first fault of the records, named by its line; empty when they are sound.
std::string recordsFault(std::string_view text) {
    if (text.empty()) {
        return "it is empty";
    }
    std::size_t lines = 0;
    for (std::size_t start = 0; start < text.size(); ++lines) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string fault = lineFault(text.substr(start, end - start));
        if (!fault.empty()) {
            return "line " + std::to_string(lines + 1) + " " + fault;
        }
        start = end + 1;
    }
    if (lines < kRotorDatLines) {
        return "it ends at line " + std::to_string(lines) + ", before line " +
               std::to_string(kRotorDatLines) + " (azimuth 0 to 360, then elevation 0 to 90)";
    }
    if (lines % kRotorDatLines != 0) {
        return "it has " + std::to_string(lines) + " lines, not a whole number of sets of " +
               std::to_string(kRotorDatLines) + " (azimuth 0 to 360, then elevation 0 to 90)";
    }
    return {};
}

} // namespace

RotorDat parseRotorDat(std::string_view text) {
    std::string_view records = withoutTrailingBlankLines(text);
    // Fields are separated by commas or line ends; both numbers of a record go into the same
    // element, so the correction (the second) is what stays.
    std::vector<std::string> fields;
    std::string field;
    bool pending = false;
    for (char c : records) {
        if (c == ',' || c == '\n') {
            fields.push_back(field);
            field.clear();
            pending = false;
        } else if (c != '\r') {
            field += c;
            pending = true;
        }
    }
    if (pending) {
        fields.push_back(field);
    }
    RotorDat dat;
    std::size_t used = 0;
    while (used < fields.size()) {
        for (std::size_t i = 0; i < dat.az.size() && used < fields.size(); ++i) {
            dat.az[i] = fields[used++];
            if (used < fields.size()) {
                dat.az[i] = fields[used++];
            }
        }
        for (std::size_t i = 0; i < dat.el.size() && used < fields.size(); ++i) {
            dat.el[i] = fields[used++];
            if (used < fields.size()) {
                dat.el[i] = fields[used++];
            }
        }
    }
    dat.fault = recordsFault(records);
    return dat;
}

std::string defaultRotorDat() {
    std::string text;
    for (int i = 0; i <= 360; ++i) {
        text += std::to_string(i) + ",0\r\n";
    }
    for (int i = 0; i <= 90; ++i) {
        text += std::to_string(i) + ",0\r\n";
    }
    return text;
}

} // namespace kelvora
