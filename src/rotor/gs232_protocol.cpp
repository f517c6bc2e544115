// GS-232 commands and position replies.
#include "rotor/gs232_protocol.h"

#include "rotor/angles_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "state/numbers.h"

namespace kelvora::rotor {

namespace {

constexpr char kCr = '\r';
constexpr std::string_view kAzLabel = "AZ=";
constexpr std::string_view kElLabel = "EL=";
// The overlap range of the azimuth rotors, and an elevation past the zenith.
constexpr double kAzLow = -180, kAzHigh = 450, kElLow = -90, kElHigh = 180;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "+0123" at i (from 0): sign and four digits. Shown without the "+" and the leading 0.
std::optional<std::string> signedField(std::string_view reply, std::size_t i) {
    if (i + 5 > reply.size() || (reply[i] != '+' && reply[i] != '-')) {
        return std::nullopt;
    }
    for (std::size_t d = 1; d < 5; ++d) {
        if (!isDigit(reply[i + d])) {
            return std::nullopt;
        }
    }
    std::string digits(
        reply.substr(i + (reply[i + 1] == '0' ? 2 : 1), reply[i + 1] == '0' ? 3 : 4));
    return reply[i] == '-' ? "-" + digits : digits;
}

LabelTexts parseSignedForm(std::string_view reply) {
    for (std::size_t i = 0; i + 10 <= reply.size(); ++i) {
        std::optional<std::string> az = signedField(reply, i);
        std::optional<std::string> el = az ? signedField(reply, i + 5) : std::nullopt;
        if (el) {
            return {az, el};
        }
    }
    return {};
}

} // namespace

std::string gs232SetCommand(double az, double el) {
    // Three digits each: azimuth to 450 on an overlap controller, elevation to 180 over the top.
    return "W" + numbers::padLeft(nearestText(az), 3) + " " + numbers::padLeft(nearestText(el), 3) +
           kCr;
}

std::string gs232ManualCommand(std::string_view a, std::string_view e) {
    return "W" + std::string(a) + " " + std::string(e) + kCr;
}

LabelTexts parseGs232Position(std::string_view reply, long azChars, long elChars) {
    std::size_t p = numbers::findFrom1(reply, kAzLabel);
    if (p == 0) {
        return parseSignedForm(reply);
    }
    LabelTexts out;
    out.az = angleField(reply, p + 3, azChars, kAzLow, kAzHigh);
    std::size_t q = numbers::findFrom1(reply, kElLabel, p);
    if (out.az && q != 0) {
        out.el = angleField(reply, q + 3, elChars, kElLow, kElHigh);
    }
    return out;
}

} // namespace kelvora::rotor
