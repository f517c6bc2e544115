// Small text tools for controller replies: numbers, words and tokens, and what a read-out shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {

// The value of the longest leading part of `text` that is a number (optional sign, digits,
// decimal point, blanks around it); std::nullopt when no leading part is one.
std::optional<double> Firstnum(std::string_view text);

// True for backspace, tab, line feed and carriage return.
bool IsControl(unsigned char b);

// The first token: leading spaces skipped, cut before the next space or control character.
std::string Firststring(std::string_view text);

// The n-th space-separated word (n from 1), cut by Firststring; empty when there are fewer.
std::string PickWord(std::string_view text, int n);

namespace rotor {

// A reply field as a label shows it: without CR, LF, NUL or other control characters.
std::string showable(std::string_view field);

} // namespace rotor

} // namespace kelvora
