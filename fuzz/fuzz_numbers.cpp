// Fuzzes the number rules: text to number, number to text, padding, grouping and positions.
#include "fuzz_input.h"
#include "state/numbers.h"

#include <cmath>
#include <cstdlib>

using kelvora::fuzz::check;
namespace numbers = kelvora::numbers;

namespace {

bool isDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

void numberToText(double x) {
    std::string text = numbers::toText(x);
    if (!std::isfinite(x)) {
        check(text == "0", "a value that is not finite shows as 0");
        return;
    }
    check(text.find_first_of("eE,") == std::string::npos, "no exponent, no grouping", text);
    check(text.size() < 2 || text.back() != '0' || text.find('.') == std::string::npos,
          "no trailing zeros", text);
    check(numbers::toText(numbers::leadingNumber(text)) == text, "toText reads back", text);
    check(numbers::roundTrip(x) == text, "the round trip of a shown value is that value", text);
    std::optional<double> strict = numbers::strictNumber(text);
    check(strict && *strict == numbers::leadingNumber(text), "toText is a strict number", text);

    if (std::fabs(x) < 9e18) {
        std::int64_t r = numbers::roundHalfEven(x);
        double diff = std::fabs(static_cast<double>(r) - x);
        check(diff <= 0.5, "rounding moves at most a half", text);
        if (diff == 0.5) {
            check(r % 2 == 0, "halves round to even", text);
        }
    }

    std::string grouped = numbers::formatThousands(x);
    std::string digits;
    for (char c : grouped) {
        if (c != ',' && c != '-') {
            digits += c;
        }
    }
    double rounded = std::round(x);
    check(grouped.empty() == (rounded == 0), "only 0 groups to the empty text", text);
    if (!grouped.empty()) {
        check(digits == numbers::toText(std::fabs(rounded)), "grouping keeps the digits", grouped);
        check((grouped.front() == '-') == (rounded < 0), "grouping keeps the sign", grouped);
    }
}

void textToNumber(std::string_view text, const numbers::LocaleSeparators& locale) {
    double leading = numbers::leadingNumber(text);
    std::optional<double> strict = numbers::strictNumber(text, locale);
    if (strict && locale.decimal == ".") {
        check(*strict == leading || (std::isnan(*strict) && std::isnan(leading)),
              "a strict number is its leading number", text);
    }
    std::string padded = numbers::formatAtLeast3(text, locale);
    if (!strict) {
        check(padded == text, "a text that is no number is not formatted", text);
    } else {
        std::string_view digits = padded;
        if (!digits.empty() && digits.front() == '-') {
            digits.remove_prefix(1);
        }
        check(digits.size() >= 3 && isDigits(digits), "at least three digits", padded);
    }
    std::int64_t hex = numbers::hexNumber(text);
    check(hex >= 0, "hexadecimal digits give no negative value", text);
    std::size_t hexDigits = text.find_first_not_of("0123456789abcdefABCDEF");
    hexDigits = hexDigits == std::string_view::npos ? text.size() : hexDigits;
    if (hexDigits > 0 && hexDigits <= 15) {
        std::string plain(text.substr(0, hexDigits));
        check(hex == std::strtoll(plain.c_str(), nullptr, 16), "hexadecimal value", plain);
    }
}

void positions(std::string_view text, std::string_view needle, long p, long n) {
    std::size_t start = static_cast<std::size_t>(p < 0 ? 0 : p);
    std::size_t at = numbers::findFrom1(text, needle, start);
    if (at != 0) {
        check(at >= start && text.substr(at - 1, needle.size()) == needle, "found where it is");
        check(numbers::mid(text, static_cast<long>(at), static_cast<long>(needle.size())) ==
                  std::string(needle),
              "mid at a found position gives the needle");
    } else if (start >= 1 && start <= text.size() + 1) {
        check(text.find(needle, start - 1) == std::string_view::npos, "absent only when absent");
    }
    std::optional<std::string> part = numbers::mid(text, p, n);
    check(part.has_value() == (p >= 1 && n >= 0), "mid fails only before the start");
    if (part) {
        check(part->size() <= static_cast<std::size_t>(n), "mid is at most n long");
        check(part->empty() || text.substr(static_cast<std::size_t>(p - 1), part->size()) == *part,
              "mid is the text at p");
    }
    std::string padded = numbers::padLeft(text, static_cast<std::size_t>(n & 0xFFF));
    check(padded.size() == std::max(text.size(), static_cast<std::size_t>(n & 0xFFF)),
          "padding to n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvora::fuzz::FuzzInput in(data, size);
    std::uint8_t mode = in.byte();
    double x = in.value<double>();
    long p = in.value<std::int16_t>();
    long n = in.value<std::int16_t>();
    std::string_view needle = in.until('\0');
    std::string_view text = in.rest();

    numbers::LocaleSeparators locale;
    if (mode & 1) {
        locale = {".", ","};
    }
    numberToText(x);
    // The same properties for a number the text holds, as computed values come from texts.
    numberToText(numbers::leadingNumber(text));
    textToNumber(text, locale);
    textToNumber(needle, locale);
    positions(text, needle, p, n);
    return 0;
}
