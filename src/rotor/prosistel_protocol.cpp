// D-Prosistel commands and position replies.
#include "rotor/prosistel_protocol.h"

#include "rotor/angles_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "state/numbers.h"

namespace kelvora::rotor {

namespace {

constexpr char kStx = 0x02;
constexpr char kCr = '\r';

} // namespace

std::string prosistelSetCommand(double az) {
    std::string a = decText(az);
    if (az < 10) {
        a = "00" + a;
    } else if (az < 100) {
        a = "0" + a;
    }
    return std::string(1, kStx) + "AG" + a + kCr;
}

std::string prosistelPositionRequest() {
    return std::string(1, kStx) + "A?" + kCr;
}

std::string prosistelStopCommand() {
    return std::string(1, kStx) + "AG999" + kCr;
}

LabelTexts parseProsistelPosition(std::string_view reply) {
    std::size_t p = numbers::findFrom1(reply, "?");
    if (p == 0) {
        return {};
    }
    return {showable(*numbers::mid(reply, static_cast<long>(p + 2), 3)), std::nullopt};
}

} // namespace kelvora::rotor
