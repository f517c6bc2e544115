// Number rules shared by every part of the program.
#include "state/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kelvora::numbers {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Length of the decimal number at the start of `text` (sign, digits, point, digits); 0 if none.
std::size_t numberPrefixLength(std::string_view text, std::string_view decimal) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text.substr(i, decimal.size()) == decimal && !decimal.empty()) {
        std::size_t j = i + decimal.size();
        std::size_t decimals = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++decimals;
        }
        if (digits + decimals > 0) {
            return j;
        }
    }
    return digits > 0 ? i : 0;
}

double parsePrefix(std::string_view text, std::size_t length, std::string_view decimal) {
    std::string plain(text.substr(0, length));
    if (decimal != ".") {
        std::size_t at = plain.find(decimal);
        if (at != std::string::npos) {
            plain.replace(at, decimal.size(), ".");
        }
    }
    return std::strtod(plain.c_str(), nullptr);
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string_view trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<double> finiteNumber(std::string_view text) {
    text = trimmed(text);
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

std::optional<long long> wholeNumber(std::string_view text) {
    text = trimmed(text);
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> portNumber(std::string_view text) {
    std::optional<long long> value = wholeNumber(text);
    if (!value || *value < 1 || *value > 65535) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

double leadingNumber(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    std::size_t length = numberPrefixLength(text, ".");
    return length == 0 ? 0.0 : parsePrefix(text, length, ".");
}

std::optional<double> strictNumber(std::string_view text, const LocaleSeparators& locale) {
    text = trimBlanks(text);
    if (text.empty()) {
        return std::nullopt;
    }
    for (std::string_view decimal : {std::string_view("."), std::string_view(locale.decimal)}) {
        std::size_t length = numberPrefixLength(text, decimal);
        if (length != 0 && length == text.size()) {
            return parsePrefix(text, length, decimal);
        }
    }
    return std::nullopt;
}

std::int64_t hexNumber(std::string_view text) {
    std::int64_t value = 0;
    for (char c : text) {
        int digit;
        if (isDigit(c)) {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        if (value > (INT64_MAX >> 4)) {
            break;
        }
        value = value * 16 + digit;
    }
    return value;
}

std::int64_t roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    double rounded = std::nearbyint(value); // the default rounding mode is to nearest, ties even
    if (rounded >= 9.2e18) {
        return INT64_MAX;
    }
    if (rounded <= -9.2e18) {
        return INT64_MIN;
    }
    return static_cast<std::int64_t>(rounded);
}

std::string oneDecimal(double value) {
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0.0");
}

std::string toText(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (text.find_first_of("eE") != std::string::npos) {
        // Plain notation of a large value has up to 309 integer digits.
        text.assign(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.15f", value)), '\0');
        std::snprintf(text.data(), text.size() + 1, "%.15f", value);
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.') {
                text.pop_back();
            }
        }
    }
    if (text == "-0") {
        text = "0";
    }
    return text;
}

std::string roundTrip(double value) {
    return toText(leadingNumber(toText(value)));
}

std::string padLeft(std::string_view text, std::size_t n, char fill) {
    std::string result(text);
    if (result.size() < n) {
        result.insert(0, n - result.size(), fill);
    }
    return result;
}

std::string formatAtLeast3(std::string_view text, const LocaleSeparators& locale) {
    std::optional<double> value = strictNumber(text, locale);
    if (!value) {
        return std::string(text);
    }
    double rounded = std::round(*value); // display rounding: halves away from zero
    std::string digits = toText(std::fabs(rounded));
    return (rounded < 0 ? "-" : "") + padLeft(digits, 3);
}

std::string formatThousands(double value, const LocaleSeparators& locale) {
    double rounded = std::round(value);
    if (!std::isfinite(rounded) || rounded == 0) {
        return "";
    }
    std::string digits = toText(std::fabs(rounded));
    std::string grouped;
    std::size_t leading = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    grouped = digits.substr(0, leading);
    for (std::size_t i = leading; i < digits.size(); i += 3) {
        grouped += locale.group;
        grouped += digits.substr(i, 3);
    }
    return (rounded < 0 ? "-" : "") + grouped;
}

std::size_t findFrom1(std::string_view text, std::string_view needle, std::size_t start) {
    if (start < 1 || start > text.size() + 1) {
        return 0;
    }
    std::size_t at = text.find(needle, start - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::optional<std::string> mid(std::string_view text, long p, long n) {
    if (p < 1 || n < 0) {
        return std::nullopt;
    }
    std::size_t from = static_cast<std::size_t>(p - 1);
    if (from >= text.size()) {
        return std::string();
    }
    return std::string(text.substr(from, static_cast<std::size_t>(n)));
}

} // namespace kelvora::numbers
