// GS-232 commands and position replies.
#include "rotor/gs232.h"

#include "ports/serial_ports.h"
#include "rotor/angles.h"
#include "rotor/collect.h"
#include "rotor/reply_text.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

namespace rotor {

namespace {

constexpr char kCr = '\r';
constexpr std::string_view kAzLabel = "AZ=";
constexpr std::string_view kElLabel = "EL=";

void readAndShow(Kelv& k, std::size_t minBytes, int azChars, int elChars) {
    Reply reply = collect(k, minBytes, kAzLabel);
    if (reply.complete) {
        showLabels(k, parseGs232Position(reply.text, azChars, elChars));
    }
}

} // namespace

std::string gs232SetCommand(double az, double el) {
    return "W" + numbers::padLeft(nearestText(az), 3) + " 0" +
           numbers::padLeft(nearestText(el), 2) + kCr;
}

LabelTexts parseGs232Position(std::string_view reply, int azChars, int elChars) {
    LabelTexts out;
    std::size_t p = numbers::findFrom1(reply, kAzLabel);
    if (p == 0) {
        return out;
    }
    out.az = showable(*numbers::mid(reply, static_cast<long>(p + 3), azChars));
    std::size_t q = numbers::findFrom1(reply, kElLabel, p);
    if (q != 0) {
        out.el = showable(*numbers::mid(reply, static_cast<long>(q + 3), elChars));
    }
    return out;
}

void showLabels(Kelv& k, const LabelTexts& texts) {
    if (texts.az) {
        k.ui.LabelAZ.caption = *texts.az;
    }
    if (texts.el) {
        k.ui.LabelEL.caption = *texts.el;
    }
}

} // namespace rotor

void GS232SetAzEl(Kelv& k, double az, double el) {
    std::optional<rotor::AzEl> target = rotor::prepareAzEl(az, el, k.rs);
    if (!target) {
        return;
    }
    std::string command = rotor::gs232SetCommand(target->az, target->el);
    k.ui.RotorAZ.caption = rotor::showable(command);
    ports::WriteToRotorPort(k, command);
}

void GS232ReadFrame(Kelv& k) {
    rotor::readAndShow(k, 15, 3, 4);
}

void GS232_qzrReadFrame(Kelv& k) {
    rotor::readAndShow(k, 20, 5, 5);
}

} // namespace kelvora
