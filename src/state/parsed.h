// The one result type of the parsers: a value, or the reason there is none.
#pragma once

#include <optional>
#include <string>

namespace kelvora {

// A value or the reason there is none (a text meant for the user).
template <class T> struct Parsed {
    std::optional<T> value;
    std::string error;

    explicit operator bool() const { return value.has_value(); }
};

// The failed result with its reason.
template <class T> Parsed<T> parseFailure(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace kelvora
