// Bytes as "FE FE 10" text, so a failing comparison shows control bytes.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kelvora::fakes {

inline std::string hex(std::string_view bytes) {
    std::string text;
    char pair[4];
    for (char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(c));
        if (!text.empty()) {
            text += ' ';
        }
        text += pair;
    }
    return text;
}

} // namespace kelvora::fakes
