// Numbers, words and tokens cut out of controller replies.
#include "rotor/reply_text_protocol.h"

#include "state/numbers.h"

#include <algorithm>

namespace kelvora {

std::optional<double> Firstnum(std::string_view text) {
    // Blanks before and after the number do not change its value, so only the characters a
    // number can be made of need trying; no number is longer than this.
    constexpr std::size_t kLongestNumber = 64;
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) {
        ++start;
    }
    std::size_t end = start;
    while (end < text.size() && end - start < kLongestNumber &&
           std::string_view("0123456789+-.").find(text[end]) != std::string_view::npos) {
        ++end;
    }
    for (std::size_t length = end - start; length > 0; --length) {
        if (std::optional<double> value = numbers::strictNumber(text.substr(start, length))) {
            return value;
        }
    }
    return std::nullopt;
}

bool IsControl(unsigned char b) {
    return b == 8 || b == 9 || b == 10 || b == 13;
}

std::string Firststring(std::string_view text) {
    std::size_t from = text.find_first_not_of(' ');
    if (from == std::string_view::npos) {
        return {};
    }
    std::size_t to = from;
    while (to < text.size() && text[to] != ' ' &&
           !IsControl(static_cast<unsigned char>(text[to]))) {
        ++to;
    }
    return std::string(text.substr(from, to - from));
}

std::string PickWord(std::string_view text, int n) {
    int count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (++count == n) {
            return Firststring(text.substr(i));
        }
        while (i < text.size() && text[i] != ' ') {
            ++i;
        }
    }
    return {};
}

namespace rotor {

std::string showable(std::string_view field) {
    std::string out;
    std::copy_if(field.begin(), field.end(), std::back_inserter(out), [](char c) {
        auto b = static_cast<unsigned char>(c);
        return b >= 0x20 && b != 0x7F;
    });
    return out;
}

std::optional<std::string> fieldAfter(std::string_view reply, std::string_view key,
                                      std::size_t from, long offset, long length, std::size_t* at) {
    std::size_t p = numbers::findFrom1(reply, key, from);
    if (at != nullptr) {
        *at = p;
    }
    if (p == 0) {
        return std::nullopt;
    }
    return showable(*numbers::mid(reply, static_cast<long>(p) + offset, length));
}

std::optional<std::string> angleField(std::string_view reply, std::size_t at, long chars,
                                      double low, double high) {
    if (at == 0 || at > reply.size()) {
        return std::nullopt;
    }
    std::string_view rest = reply.substr(at - 1);
    auto digitsFrom = [rest](std::size_t i) {
        while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
            ++i;
        }
        return i;
    };
    std::size_t n = !rest.empty() && (rest[0] == '+' || rest[0] == '-') ? 1 : 0;
    std::size_t intEnd = digitsFrom(n);
    std::size_t end = intEnd;
    if (end < rest.size() && rest[end] == '.') {
        std::size_t fracEnd = digitsFrom(end + 1);
        if (fracEnd > end + 1) {
            end = fracEnd;
        }
    }
    if (intEnd == n && end == intEnd) {
        return std::nullopt; // no digit
    }
    constexpr std::size_t kLongestAngle = 12; // "-123.4567890": longer is not an angle
    if (end > kLongestAngle) {
        return std::nullopt;
    }
    std::string_view number = rest.substr(0, end);
    std::optional<double> value = numbers::strictNumber(number);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    std::string cut = showable(*numbers::mid(reply, static_cast<long>(at), chars));
    if (cut.starts_with(number) && cut.find_first_not_of(' ', number.size()) == std::string::npos) {
        return cut;
    }
    return std::string(number);
}

} // namespace rotor

} // namespace kelvora
