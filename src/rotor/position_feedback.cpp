// The position poll: discard stale input, send the type's request, read its reply.
#include "rotor/position_feedback.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "rotor/collect.h"
#include "rotor/rotor_line_guard.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"

namespace kelvora {

void Controllo_posizione(Kelv& k) {
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    if (type != nullptr && type->network != nullptr) {
        if (k.settings().Refresh_Rotore != "None") {
            type->network->poll(k);
        }
        return;
    }
    if (k.rs.Target_moved != 0 || k.settings().Refresh_Rotore == "None") {
        return;
    }
    pollPositionOnce(k);
}

bool pollPositionOnce(Kelv& k) {
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    if (!k.MSComm2.isOpen() || type == nullptr || type->network != nullptr ||
        type->poll.request.empty()) {
        return false;
    }
    const rotor::PositionPoll& poll = type->poll;
    rotor::onRotorLine(k, rotor::Exchange::Poll, [&k, &poll] {
        // Answers to earlier commands (a SPID controller answers every set with a position
        // frame) would otherwise be read as the answer to this request.
        ports::ReadFromRotorPort(k);
        if (!poll.requestTraceBefore.empty()) {
            rotor::traceRotor(k, poll.requestTraceBefore);
        }
        for (const std::string& write : poll.request) {
            ports::WriteToRotorPort(k, write);
        }
        if (!poll.requestTraceAfter.empty()) {
            rotor::traceRotor(k, poll.requestTraceAfter);
        }
        rotor::readPosition(k, poll);
    });
    return true;
}

} // namespace kelvora
