// Kelvora unit procedures: set, position reply and the host/terminal handshake.
#include "rotor/kelvora_unit.h"

#include "ports/serial_ports.h"
#include "rotor/kelvora_unit_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "rotor/rotor_line_guard.h"
#include "state/error_handler.h"
#include "state/kelv.h"
#include "state/message_box.h"
#include "state/numbers.h"

namespace kelvora {

namespace rotor {

namespace {

constexpr int kHostAttempts = 3;

// The reply to the labels and Az_int/El_int; the status text.
std::string takeReply(Kelv& k, const Reply& reply) {
    if (!reply.complete) {
        return "00:";
    }
    KvReply parsed = parseKvReply(reply.text);
    // The azimuth is kept as soon as it is read, before the elevation is looked for.
    if (parsed.az &&
        (parsed.kind == KvReply::Kind::NoElevation || parsed.kind == KvReply::Kind::Unreadable ||
         parsed.kind == KvReply::Kind::Position)) {
        k.rs.Az_int = decText(*parsed.az);
    }
    switch (parsed.kind) {
    case KvReply::Kind::Error:
        return "02:";
    case KvReply::Kind::NoPosition:
        return "01:";
    case KvReply::Kind::NoElevation:
        ErrorHandler(k, "Kelvora comms.", false);
        return "01:";
    case KvReply::Kind::Unreadable:
        return "03:";
    case KvReply::Kind::Position:
        break;
    }
    k.rs.El_int = decText(*parsed.el);
    k.ui.LabelAZ.caption = k.rs.Az_int;
    k.ui.LabelEL.caption = k.rs.El_int;
    return kvPositionText(*parsed.az, *parsed.el);
}

void showKv(Kelv& k, const Reply& reply) {
    takeReply(k, reply);
}

} // namespace

void sendKv(Kelv& k, const AntennaCommand& command) {
    std::string bytes = kvSetCommand(command.angles.az, command.angles.el);
    k.ui.RotorAZ.caption = showable(bytes);
    writeBytewise(k, bytes);
}

const PositionPoll& kvPoll() {
    static const PositionPoll poll{
        .request = {"?A", "\r"}, .minBytes = 1, .marker = kKvPromptEnd, .show = showKv};
    return poll;
}

} // namespace rotor

std::string KVRotorReadFrame(Kelv& k) {
    const rotor::PositionPoll& poll = rotor::kvPoll();
    return rotor::takeReply(k, rotor::collect(k, poll.minBytes, poll.marker));
}

void KVRotorSetHost(Kelv& k) {
    if (!k.MSComm2.isOpen()) {
        return;
    }
    rotor::onRotorLine(k, rotor::Exchange::Command, [&k] {
        ports::ReadFromRotorPort(k);
        for (int attempts = rotor::kHostAttempts; attempts > 0; --attempts) {
            ports::WriteToRotorPort(k, "7");
            std::string status = KVRotorReadFrame(k);
            if (numbers::leadingNumber(PickWord(status, 1)) == 1) {
                return;
            }
        }
        ShowMessage(k, "Comms. Error during\rKelvora Set Host Mode", 10);
    });
}

void KVRotorSetTerminal(Kelv& k) {
    rotor::onRotorLine(k, rotor::Exchange::Command, [&k] {
        ports::WriteToRotorPort(k, "Q");
        ports::WriteToRotorPort(k, "\r");
    });
}

} // namespace kelvora
