// Radant AZV-1 procedures on the rotor line.
#include "rotor/radant.h"

#include "ports/serial_ports.h"
#include "rotor/radant_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "state/kelv.h"

namespace kelvora {

namespace rotor {

namespace {

void showRadant(Kelv& k, const Reply& reply) {
    if (!reply.complete) {
        return;
    }
    LabelTexts texts = parseRadantPosition(reply.text);
    showLabels(k, texts);
    if (texts.el) {
        traceRotor(k, k.ui.LabelAZ.caption);
        traceRotor(k, k.ui.LabelEL.caption);
        traceRotor(k, "Esco da analizza dati ricevuti dai rotori");
    }
}

} // namespace

void sendRadant(Kelv& k, const AntennaCommand& command) {
    std::string bytes = radantSetCommand(command.texts);
    k.ui.RotorAZ.caption = showable(bytes);
    ports::WriteToRotorPort(k, bytes);
    traceRotor(k, showable(bytes));
}

const PositionPoll& radantPoll() {
    static const PositionPoll poll{.request = {"Y", "\r"},
                                   .minBytes = 12,
                                   .marker = "O",
                                   .show = showRadant,
                                   .requestTraceBefore = "Entro richiesta posizione rotori Y",
                                   .requestTraceAfter = "Esco richiesta posizione rotori Y",
                                   .readTrace = "Entro in analizza dati ricevuti dai rotori"};
    return poll;
}

} // namespace rotor

} // namespace kelvora
