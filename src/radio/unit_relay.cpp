// The frequency relay command of the Kelvora unit, written with the unit's character pacing.
#include "radio/unit_relay.h"

#include "ports/serial_ports.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

void KVRadioSetTXFreq(Kelv& k) {
    RunState& rs = k.rs;
    k.ui.Label_freq.caption =
        rs.Band_MHz + "." + numbers::formatAtLeast3(rs.Fqso_kHz, k.locale) + ".000";
    std::optional<std::string> command = relay::relayCommand(rs.Fqso_kHz, k.locale);
    if (!command) {
        k.ui.RotorAZ.caption = "Freq. out of range";
        return;
    }
    // The unit reads its serial line slowly: one character, then a pause. A line lost on the way
    // ends the send, and the status line keeps the loss report.
    ports::Line line = ports::rotorLine(k);
    if (!ports::sendPacedBytewise(line, *command, rs.Rotor_pace_delay)) {
        return;
    }
    k.ui.RotorAZ.caption = *command;
}

} // namespace kelvora
