// EasyComm and Radant AZV-1 commands and position replies.
#include "rotor/easycomm.h"

#include "ports/serial_ports.h"
#include "rotor/collect.h"
#include "rotor/reply_text.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "state/trace_log.h"

namespace kelvora {

namespace rotor {

namespace {

constexpr char kCr = '\r';

// The field of `length` characters at `offset` after the first `key` at or after `from`.
std::optional<std::string> fieldAfter(std::string_view reply, std::string_view key,
                                      std::size_t from, long offset, long length,
                                      std::size_t* at = nullptr) {
    std::size_t p = numbers::findFrom1(reply, key, from);
    if (at != nullptr) {
        *at = p;
    }
    if (p == 0) {
        return std::nullopt;
    }
    return showable(*numbers::mid(reply, static_cast<long>(p) + offset, length));
}

void trace(Kelv& k, std::string_view text) {
    if (k.rs.Trace_on == -1) {
        Tracciatura_file(k, text);
    }
}

} // namespace

std::string easyCommSetCommand(const AzElText& angles) {
    return "AZ" + angles.az + " EL" + angles.el + kCr;
}

std::string radantSetCommand(const AzElText& angles) {
    return "Q" + angles.az + " " + angles.el + kCr;
}

LabelTexts parseEasyCommPosition(std::string_view reply) {
    LabelTexts out;
    std::size_t p = 0;
    out.az = fieldAfter(reply, "A", 1, 2, 5, &p);
    if (p != 0) {
        out.el = fieldAfter(reply, "E", p, 2, 5);
    }
    return out;
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

} // namespace rotor

namespace {

std::optional<rotor::AzElText> decimalTarget(Kelv& k, double az, double el) {
    return rotor::decimalAngles(k.rs.Az_text, k.rs.El_text, az, el, k.rs);
}

} // namespace

void EasyComm(Kelv& k, double az, double el) {
    std::optional<rotor::AzElText> target = decimalTarget(k, az, el);
    if (!target) {
        return;
    }
    std::string command = rotor::easyCommSetCommand(*target);
    k.ui.RotorAZ.caption = rotor::showable(command);
    ports::WriteToRotorPort(k, command);
}

void Radant(Kelv& k, double az, double el) {
    if (numbers::leadingNumber(k.rs.El_text) >= 0) {
        rotor::trace(k, "Entro Radant AzEl");
    }
    std::optional<rotor::AzElText> target = decimalTarget(k, az, el);
    if (!target) {
        return;
    }
    std::string command = rotor::radantSetCommand(*target);
    k.ui.RotorAZ.caption = rotor::showable(command);
    ports::WriteToRotorPort(k, command);
    rotor::trace(k, rotor::showable(command));
}

void EasyCommReadFrame_2(Kelv& k) {
    rotor::Reply reply = rotor::collect(k, 16, "A");
    if (reply.complete) {
        rotor::showLabels(k, rotor::parseEasyCommPosition(reply.text));
    }
}

void RadantCommReadFrame(Kelv& k) {
    rotor::trace(k, "Entro in analizza dati ricevuti dai rotori");
    rotor::Reply reply = rotor::collect(k, 12, "O");
    if (!reply.complete) {
        return;
    }
    rotor::LabelTexts texts = rotor::parseRadantPosition(reply.text);
    rotor::showLabels(k, texts);
    if (texts.el) {
        rotor::trace(k, k.ui.LabelAZ.caption);
        rotor::trace(k, k.ui.LabelEL.caption);
        rotor::trace(k, "Esco da analizza dati ricevuti dai rotori");
    }
}

} // namespace kelvora
