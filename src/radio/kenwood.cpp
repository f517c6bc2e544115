// Kenwood-style "FA"/"FB" commands and the procedures that send them on the radio ports.
#include "radio/kenwood.h"

#include "ports/serial_ports.h"
#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora::kenwood {

std::optional<std::string> frequencyCommand(char vfo, std::string_view freqText,
                                            std::size_t minLength, std::size_t maxLength) {
    if (freqText.size() < minLength || freqText.size() > maxLength ||
        freqText.size() > kCommandDigits) {
        return std::nullopt;
    }
    for (char c : freqText) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    return std::string("F") + vfo + numbers::padLeft(freqText, kCommandDigits) + ";";
}

} // namespace kelvora::kenwood

namespace kelvora {

using namespace kenwood;

namespace {

// Shows the command, then writes it; nothing for a text the radio does not take.
bool send(Kelv& k, const std::optional<std::string>& command, bool secondPort = false) {
    if (!command) {
        return false;
    }
    k.ui.RotorAZ.caption = *command;
    if (secondPort) {
        ports::WriteToRtxPort2(k, *command);
    } else {
        ports::WriteToRtxPort(k, *command);
    }
    return true;
}

} // namespace

void TS2000SetTXFreq(Kelv& k) {
    send(k, frequencyCommand('A', k.rs.Freq_TX, 8, 10));
}

void TS590SetTXFreq(Kelv& k) {
    double hz = numbers::leadingNumber(k.rs.Freq_TX);
    if (hz < kTs590Lowest || hz > kTs590Highest) {
        k.ui.RotorAZ.caption = kFreqOutOfRange;
        return;
    }
    send(k, frequencyCommand('A', k.rs.Freq_TX, 7, 10));
}

void ElecraftSetTXFreq(Kelv& k) {
    int state = k.rs.Elecraft_state;
    if (state != 0 && state != 1) {
        return;
    }
    send(k, frequencyCommand(state == 1 ? 'B' : 'A', k.rs.Freq_TX, 8, 10));
}

void FdmDuoSetTXFreq(Kelv& k) {
    send(k, frequencyCommand('A', k.rs.Freq_TX, 8, 8));
}

void FlexSetTXFreq(Kelv& k) {
    send(k, frequencyCommand('A', k.rs.Freq_TX, 8, 10));
    const config::Settings& s = k.settings();
    if (s.RtxPort2 != "None" && s.Doppler_Check == 1) {
        // The receive frequency is padded by its own length, so the command always has 11
        // digits even when transmit and receive lie on bands of different digit counts.
        send(k, frequencyCommand('A', k.rs.Freq_RX, 8, 10), true);
    }
}

} // namespace kelvora
