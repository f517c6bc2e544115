// EasyComm commands and position replies.
#include "rotor/easycomm_protocol.h"

#include "rotor/reply_text_protocol.h"
#include "state/numbers.h"

namespace kelvora::rotor {

namespace {

constexpr char kCr = '\r';
constexpr long kFieldChars = 5;

} // namespace

std::string easyCommSetCommand(const AzElText& angles) {
    return "AZ" + angles.az + " EL" + angles.el + kCr;
}

std::string easyCommManualCommand(std::string_view a, std::string_view e) {
    return "AZ" + std::string(a) + ".0 EL" + std::string(e) + ".0" + kCr;
}

LabelTexts parseEasyCommPosition(std::string_view reply) {
    LabelTexts out;
    std::size_t p = numbers::findFrom1(reply, "A");
    if (p == 0) {
        return out;
    }
    out.az = angleField(reply, p + 2, kFieldChars, -180, 450);
    std::size_t q = numbers::findFrom1(reply, "E", p);
    if (out.az && q != 0) {
        out.el = angleField(reply, q + 2, kFieldChars, -90, 180);
    }
    return out;
}

} // namespace kelvora::rotor
