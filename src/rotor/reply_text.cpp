// Numbers, words and tokens cut out of controller replies.
#include "rotor/reply_text.h"

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

} // namespace rotor

} // namespace kelvora
