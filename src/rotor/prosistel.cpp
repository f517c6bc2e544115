// D-Prosistel commands and position replies.
#include "rotor/prosistel.h"

#include "rotor/angles.h"
#include "rotor/collect.h"
#include "rotor/reply_text.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

namespace rotor {

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

} // namespace rotor

void D_Prosistel(Kelv& k, double az) {
    std::optional<double> target = rotor::prepareAz(az, k.rs);
    if (!target) {
        return;
    }
    // This controller's command is not shown in the status line.
    rotor::writeBytewise(k, rotor::prosistelSetCommand(*target));
}

void Prosistel_ReadFrame(Kelv& k) {
    rotor::Reply reply = rotor::collect(k, 5, "?");
    if (reply.complete) {
        rotor::showLabels(k, rotor::parseProsistelPosition(reply.text));
    }
}

} // namespace kelvora
