// The Kelvora unit's set command and position reply.
#include "rotor/kelvora_unit_protocol.h"

#include "rotor/angles_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "state/numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kelvora::rotor {

namespace {

constexpr char kCr = '\r';

// One decimal, rounded for display.
std::string oneDecimal(double x) {
    std::string text = decText(std::round(x * 10) / 10);
    return text.find('.') == std::string::npos ? text + ".0" : text;
}

// The measured angle: the number after the first "/" at or after position p (from 1).
std::optional<double> angleAfterSlash(std::string_view reply, std::size_t p, std::size_t* slash) {
    *slash = numbers::findFrom1(reply, "/", p);
    if (*slash == 0) {
        return std::nullopt;
    }
    return Firstnum(reply.substr(*slash));
}

} // namespace

std::string kvSetCommand(double az, double el) {
    return "AZ" + numbers::padLeft(nearestText(az), 3) + " EL" +
           numbers::padLeft(nearestText(el), 2) + kCr;
}

std::string kvManualCommand(std::string_view a, std::string_view e) {
    return "AZ" + std::string(a) + " EL" + std::string(e) + kCr;
}

KvReply parseKvReply(std::string_view reply) {
    std::string lower(reply);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find("error") != std::string::npos) {
        return {KvReply::Kind::Error, std::nullopt, std::nullopt};
    }
    std::size_t azAt = numbers::findFrom1(reply, "AZ=");
    if (azAt == 0) {
        return {KvReply::Kind::NoPosition, std::nullopt, std::nullopt};
    }
    std::size_t slash = 0;
    std::optional<double> az = angleAfterSlash(reply, azAt, &slash);
    std::size_t elAt = slash == 0 ? 0 : numbers::findFrom1(reply, "EL=", slash);
    if (elAt == 0) {
        return {KvReply::Kind::NoElevation, az, std::nullopt};
    }
    std::optional<double> el = angleAfterSlash(reply, elAt, &slash);
    if (!az || !el) {
        return {KvReply::Kind::Unreadable, az, el};
    }
    return {KvReply::Kind::Position, az, el};
}

std::string kvPositionText(double az, double el) {
    return "AZ " + oneDecimal(az) + "   EL " + oneDecimal(el);
}

} // namespace kelvora::rotor
