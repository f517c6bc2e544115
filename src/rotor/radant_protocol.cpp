// Radant AZV-1 commands and position replies.
#include "rotor/radant_protocol.h"

#include "rotor/reply_text_protocol.h"

namespace kelvora::rotor {

namespace {

constexpr char kCr = '\r';

} // namespace

std::string radantSetCommand(const AzElText& angles) {
    return "Q" + angles.az + " " + angles.el + kCr;
}

std::string radantManualCommand(std::string_view a, std::string_view e) {
    return "Q" + std::string(a) + ".0 " + std::string(e) + ".0" + kCr;
}

LabelTexts parseRadantPosition(std::string_view reply) {
    LabelTexts out;
    std::size_t p = 0;
    out.az = fieldAfter(reply, "K", 1, 1, 5, &p);
    if (p != 0) {
        out.el = fieldAfter(reply, " ", p, 1, 5);
    }
    return out;
}

} // namespace kelvora::rotor
