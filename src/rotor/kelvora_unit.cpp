// Kelvora unit commands, its position reply and the host/terminal handshake.
#include "rotor/kelvora_unit.h"

#include "ports/serial_ports.h"
#include "rotor/angles.h"
#include "rotor/collect.h"
#include "rotor/reply_text.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "state/error_handler.h"
#include "state/message_box.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kelvora {

namespace rotor {

namespace {

constexpr char kCr = '\r';
constexpr std::string_view kPromptEnd = "ora>>";
constexpr int kHostAttempts = 3;

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

KvReply parseKvReply(std::string_view reply) {
    std::string lower(reply);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find("error") != std::string::npos) {
        return {KvReply::Kind::Error};
    }
    std::size_t azAt = numbers::findFrom1(reply, "AZ=");
    if (azAt == 0) {
        return {KvReply::Kind::NoPosition};
    }
    std::size_t slash = 0;
    std::optional<double> az = angleAfterSlash(reply, azAt, &slash);
    std::size_t elAt = slash == 0 ? 0 : numbers::findFrom1(reply, "EL=", slash);
    if (elAt == 0) {
        return {KvReply::Kind::NoElevation};
    }
    std::optional<double> el = angleAfterSlash(reply, elAt, &slash);
    if (!az || !el) {
        // A label without a readable number carries no position.
        return {KvReply::Kind::NoPosition};
    }
    return {KvReply::Kind::Position, *az, *el};
}

std::string kvPositionText(double az, double el) {
    return "AZ " + oneDecimal(az) + "   EL " + oneDecimal(el);
}

} // namespace rotor

void KVRotorSetAzEl(Kelv& k, double az, double el) {
    std::optional<rotor::AzEl> target = rotor::prepareAzEl(az, el, k.rs);
    if (!target) {
        return;
    }
    std::string command = rotor::kvSetCommand(target->az, target->el);
    k.ui.RotorAZ.caption = rotor::showable(command);
    rotor::writeBytewise(k, command);
}

std::string KVRotorReadFrame(Kelv& k) {
    rotor::Reply reply = rotor::collect(k, 1, rotor::kPromptEnd);
    if (!reply.complete) {
        return "00:";
    }
    rotor::KvReply parsed = rotor::parseKvReply(reply.text);
    switch (parsed.kind) {
    case rotor::KvReply::Kind::Error:
        return "02:";
    case rotor::KvReply::Kind::NoPosition:
        return "01:";
    case rotor::KvReply::Kind::NoElevation:
        ErrorHandler(k, "Kelvora comms.", false);
        return "01:";
    case rotor::KvReply::Kind::Position:
        break;
    }
    k.rs.Az_int = rotor::decText(parsed.az);
    k.rs.El_int = rotor::decText(parsed.el);
    k.ui.LabelAZ.caption = k.rs.Az_int;
    k.ui.LabelEL.caption = k.rs.El_int;
    return rotor::kvPositionText(parsed.az, parsed.el);
}

void KVRotorSetHost(Kelv& k) {
    if (!k.MSComm2.isOpen()) {
        return;
    }
    ports::ReadFromRotorPort(k);
    for (int attempts = rotor::kHostAttempts; attempts > 0; --attempts) {
        ports::WriteToRotorPort(k, "7");
        std::string status = KVRotorReadFrame(k);
        if (numbers::leadingNumber(PickWord(status, 1)) == 1) {
            return;
        }
    }
    ShowMessage(k, "Comms. Error during\rKelvora Set Host Mode", 10);
}

void KVRotorSetTerminal(Kelv& k) {
    ports::WriteToRotorPort(k, "Q");
    ports::WriteToRotorPort(k, "\r");
}

} // namespace kelvora
