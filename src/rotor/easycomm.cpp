// EasyComm procedures on the rotor line.
#include "rotor/easycomm.h"

#include "ports/serial_ports.h"
#include "rotor/easycomm_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "state/kelv.h"

namespace kelvora {

namespace rotor {

namespace {

void showEasyComm(Kelv& k, const Reply& reply) {
    if (reply.complete) {
        showLabels(k, parseEasyCommPosition(reply.text));
    }
}

} // namespace

void sendEasyComm(Kelv& k, const AntennaCommand& command) {
    std::string bytes = easyCommSetCommand(command.texts);
    k.ui.RotorAZ.caption = showable(bytes);
    ports::WriteToRotorPort(k, bytes);
}

const PositionPoll& easyCommPoll() {
    static const PositionPoll poll{
        .request = {"?", "\r"}, .minBytes = 16, .marker = "A", .show = showEasyComm};
    return poll;
}

} // namespace rotor

} // namespace kelvora
