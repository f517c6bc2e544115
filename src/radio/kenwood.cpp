// The Kenwood-style procedures: they read the run state and write "FA"/"FB" on the radio ports.
#include "radio/kenwood.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "radio/typed_text_protocol.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

using namespace kenwood;

namespace {

// Builds the command for a frequency text in whole hertz, shows it, then writes it; a frequency
// the command cannot carry is named instead.
void send(Kelv& k, char vfo, const std::string& freqText, std::size_t minLength,
          std::size_t maxLength, bool secondPort = false) {
    std::optional<std::string> command =
        frequencyCommand(vfo, typedtext::wholeHertzText(freqText), minLength, maxLength);
    if (!command) {
        k.ui.RotorAZ.caption = typedtext::refusal(k.settings().RtxType, freqText);
        return;
    }
    k.ui.RotorAZ.caption = *command;
    if (secondPort) {
        ports::WriteToRtxPort2(k, *command);
    } else {
        ports::WriteToRtxPort(k, *command);
    }
}

} // namespace

void TS2000SetTXFreq(Kelv& k) {
    send(k, 'A', k.rs.Freq_TX, 8, 10);
}

void TS590SetTXFreq(Kelv& k) {
    double hz = numbers::leadingNumber(typedtext::wholeHertzText(k.rs.Freq_TX));
    if (hz < kTs590Lowest || hz > kTs590Highest) {
        k.ui.RotorAZ.caption = kFreqOutOfRange;
        return;
    }
    send(k, 'A', k.rs.Freq_TX, 7, 10);
}

void ElecraftSetTXFreq(Kelv& k) {
    int state = k.rs.Elecraft_state;
    if (state != 0 && state != 1) {
        return;
    }
    send(k, state == 1 ? 'B' : 'A', k.rs.Freq_TX, 8, 10);
}

void FdmDuoSetTXFreq(Kelv& k) {
    send(k, 'A', k.rs.Freq_TX, 8, 8);
}

void FlexSetTXFreq(Kelv& k) {
    send(k, 'A', k.rs.Freq_TX, 8, 10);
    const config::Settings& s = k.settings();
    if (s.RtxPort2 != "None" && s.Doppler_Check == 1) {
        // The receive frequency is padded by its own length, so the command always has 11
        // digits even when transmit and receive lie on bands of different digit counts.
        send(k, 'A', k.rs.Freq_RX, 8, 10, true);
    }
}

} // namespace kelvora
