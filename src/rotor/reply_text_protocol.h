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

// The angle at position `at` (from 1) of a reply: a number (sign, digits, decimals) between
// `low` and `high`. Shown as the fixed cut of `chars` characters the standard reply fills, so
// that reply shows as it always has; a number that does not fill the cut exactly (decimals,
// fewer digits followed by other text) is shown by itself. std::nullopt without such a number.
// The field of `length` characters at `offset` after the first `key` at or after `from` (from
// 1), as a label shows it; `at` gets the key's position (0 when missing).
std::optional<std::string> fieldAfter(std::string_view reply, std::string_view key,
                                      std::size_t from, long offset, long length,
                                      std::size_t* at = nullptr);

std::optional<std::string> angleField(std::string_view reply, std::size_t at, long chars,
                                      double low, double high);

} // namespace rotor

} // namespace kelvora
