// GS-232 procedures: the set command and the position replies on the rotor line.
#include "rotor/gs232.h"

#include "ports/serial_ports.h"
#include "rotor/gs232_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "state/kelv.h"

namespace kelvora {

namespace rotor {

namespace {

// The "+0123+0045" form has no end marker: it is read from the last bytes that arrived by the
// time-out (a flood of bytes without a marker is not worth searching through).
std::string_view replyText(const Reply& reply) {
    constexpr std::size_t kSignedFormTail = 32;
    std::string_view text = reply.text;
    return reply.complete || text.size() <= kSignedFormTail
               ? text
               : text.substr(text.size() - kSignedFormTail);
}

void showGs232(Kelv& k, const Reply& reply) {
    showLabels(k, parseGs232Position(replyText(reply), 3, 4));
}

void showGs232Qzr(Kelv& k, const Reply& reply) {
    showLabels(k, parseGs232Position(replyText(reply), 5, 5));
}

} // namespace

void sendGs232(Kelv& k, const AntennaCommand& command) {
    std::string bytes = gs232SetCommand(command.angles.az, command.angles.el);
    k.ui.RotorAZ.caption = showable(bytes);
    ports::WriteToRotorPort(k, bytes);
}

const PositionPoll& gs232Poll() {
    static const PositionPoll poll{
        .request = {"C2", "\r"}, .minBytes = 15, .marker = "AZ=", .show = showGs232};
    return poll;
}

const PositionPoll& gs232QzrPoll() {
    static const PositionPoll poll{
        .request = {"C2", "\r"}, .minBytes = 20, .marker = "AZ=", .show = showGs232Qzr};
    return poll;
}

} // namespace rotor

} // namespace kelvora
