// The small text rules the [Station] settings and the horizon file share.
#pragma once

#include "state/numbers.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::station::text {

// The trim and number rules of every newer setting (state/numbers.h).
inline std::string_view trim(std::string_view text) {
    return numbers::trimmed(text);
}

inline std::optional<double> number(std::string_view text) {
    return numbers::finiteNumber(text);
}

inline std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Shortest plain text of a number: 360, 12.5.
inline std::string plain(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

} // namespace kelvora::station::text
