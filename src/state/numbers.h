// Every text-to-number, rounding, padding and number-to-text rule of the program, in one place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::numbers {

// Separators of the operator's locale, given by the windowing layer at start-up.
struct LocaleSeparators {
    std::string group = ",";
    std::string decimal = ".";
};

// The leading-decimal-number rule: leading blanks skipped, optional sign, digits with an optional
// point and decimals; 0 when the text starts with no number. Anything after the number is ignored.
double leadingNumber(std::string_view text);

// The strict conversion: the whole text (blanks around it allowed) must be a number; the point
// and the locale's decimal separator are both accepted. std::nullopt otherwise.
std::optional<double> strictNumber(std::string_view text, const LocaleSeparators& locale = {});

// Hexadecimal digits read as a number ("94" gives 148); reading stops at the first non-hex
// character, an empty text gives 0.
std::int64_t hexNumber(std::string_view text);

// The text without the blanks, tabs and line ends around it.
std::string_view trimmed(std::string_view text);

// The whole text (blanks around it allowed, an optional '+') as a finite number with a point as
// separator, or std::nullopt: the rule of every newer setting.
std::optional<double> finiteNumber(std::string_view text);

// The whole text (blanks around it allowed) as a whole number, or std::nullopt.
std::optional<long long> wholeNumber(std::string_view text);

// A TCP or UDP port: a whole number 1..65535, blanks around it allowed.
std::optional<int> portNumber(std::string_view text);

// Whole-number conversions round halves to the even neighbour.
std::int64_t roundHalfEven(double value);

// Decimal text with up to 15 significant digits, a point as separator, no grouping, no exponent,
// no trailing zeros: 144125000, 144125500.5, -2.
std::string toText(double value);

// One decimal, a point as separator whatever the C locale: 123.4, 8.0, -0.5.
std::string oneDecimal(double value);

// The text round trip every computed result goes through: to text, read back, to text again.
std::string roundTrip(double value);

// t with '0' put in front until it is n characters long.
std::string padLeft(std::string_view text, std::size_t n, char fill = '0');

// The "###000" format: at least three integer digits with leading zeros ("5" gives "005").
// A text that is not a number comes back unchanged.
std::string formatAtLeast3(std::string_view text, const LocaleSeparators& locale = {});

// The "#,#" format: a whole number grouped in thousands; 0 gives the empty text.
std::string formatThousands(double value, const LocaleSeparators& locale = {});

// Position of `needle` in `text` counted from 1, 0 when absent (search from position `start`).
std::size_t findFrom1(std::string_view text, std::string_view needle, std::size_t start = 1);

// The n characters from position p (counted from 1); fewer at the end of the text, empty past it.
// std::nullopt when p is below 1.
std::optional<std::string> mid(std::string_view text, long p, long n);

} // namespace kelvora::numbers
