// The SPID procedures: set frames and position replies on the rotor line.
#include "rotor/spid.h"

#include "rotor/reply_text_protocol.h"
#include "rotor/spid_protocol.h"
#include "state/kelv.h"

namespace kelvora {

namespace rotor {

namespace {

void sendFrame(Kelv& k, const std::string& frame) {
    k.ui.RotorAZ.caption = showable(frame);
    writeBytewise(k, frame);
}

void showRak(Kelv& k, const Reply& reply) {
    if (reply.complete) {
        showLabels(k, parseRakPosition(reply.text));
    }
}

void showRas(Kelv& k, const Reply& reply) {
    if (reply.complete) {
        showLabels(k, parseRasPosition(reply.text));
    }
}

} // namespace

void sendRak(Kelv& k, const AntennaCommand& command) {
    sendFrame(k, rakSetFrame(command.angles.az));
}

void sendRas1(Kelv& k, const AntennaCommand& command) {
    sendFrame(k, rasSetFrame(command.angles.az, command.angles.el, 1));
}

void sendRas2(Kelv& k, const AntennaCommand& command) {
    sendFrame(k, rasSetFrame(command.angles.az, command.angles.el, 2));
}

const PositionPoll& rakPoll() {
    static const PositionPoll poll{
        .request = {spidStatusFrame()}, .minBytes = 5, .marker = "W", .show = showRak};
    return poll;
}

const PositionPoll& rasPoll() {
    static const PositionPoll poll{
        .request = {spidStatusFrame()}, .minBytes = 12, .marker = "W", .show = showRas};
    return poll;
}

} // namespace rotor

void RAKSetAz(Kelv& k, double az) {
    rotor::commandAntenna(k, rotor::kRakSet, az, 0);
}

void RASSetAzEl(Kelv& k, double az, double el, int resolution) {
    rotor::commandAntenna(k, resolution == 2 ? rotor::kRas2Set : rotor::kRas1Set, az, el);
}

} // namespace kelvora
