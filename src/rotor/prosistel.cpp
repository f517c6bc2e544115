// The D-Prosistel procedures on the rotor line.
#include "rotor/prosistel.h"

#include "rotor/prosistel_protocol.h"
#include "state/kelv.h"

namespace kelvora {

namespace rotor {

namespace {

void showProsistel(Kelv& k, const Reply& reply) {
    if (reply.complete) {
        showLabels(k, parseProsistelPosition(reply.text));
    }
}

} // namespace

void sendProsistel(Kelv& k, const AntennaCommand& command) {
    // This controller's command is not shown in the status line.
    writeBytewise(k, prosistelSetCommand(command.angles.az));
}

const PositionPoll& prosistelPoll() {
    static const PositionPoll poll{.request = {prosistelPositionRequest()},
                                   .minBytes = 5,
                                   .marker = "?",
                                   .show = showProsistel};
    return poll;
}

} // namespace rotor

void D_Prosistel(Kelv& k, double az) {
    rotor::commandAntenna(k, rotor::kProsistelSet, az, 0);
}

} // namespace kelvora
