// The Kelvora unit's set command and position reply, as bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvora::rotor {

// The end of the unit's prompt: every answer of the unit ends with it.
inline constexpr std::string_view kKvPromptEnd = "ora>>";

// "AZ" + three azimuth digits + " EL" + two elevation digits + CR: AZ123 EL45.
std::string kvSetCommand(double az, double el);
// The manual direction: "AZ" + a + " EL" + e + CR, the texts as given.
std::string kvManualCommand(std::string_view a, std::string_view e);

// The unit's reply after its prompt arrived.
struct KvReply {
    enum class Kind {
        Error,       // "error" in any letter case
        NoPosition,  // no "AZ=": a bare prompt
        NoElevation, // "AZ=" without "EL=" after its "/"; az holds the azimuth when readable
        Unreadable,  // both labels, but an angle after a "/" is not a number
        Position,
    } kind = Kind::NoPosition;
    std::optional<double> az;
    std::optional<double> el;
};
// "AZ=" and "EL=" each followed, after a "/", by the measured angle.
KvReply parseKvReply(std::string_view reply);

// "AZ 123.0   EL 45.5": each angle with at least one integer digit and one decimal.
std::string kvPositionText(double az, double el);

} // namespace kelvora::rotor
