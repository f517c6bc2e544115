// PTT follow: repeats the DSR line of the virtual PTT port as the open state of the real one.
#include "radio/ptt.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "radio/ptt_sequencer_lines.h"
#include "radio/radio_dispatch.h"
#include "state/kelv.h"

#include <optional>
#include <string>

namespace kelvora {

namespace {

// MAP65's PTT line and the line that keys the transmitter run at the same fixed settings.
constexpr platform::LineSettings kPttLine{19200, 'N', 8, 1};

// Reads (and discards) whatever waits on an open line: the only way a line that is never written
// to notices that its device went away. A lost line is reported in the status line and closed.
void probe(Kelv& k, platform::SerialPort& port, const char* role) {
    if (port.isOpen()) {
        port.readAll();
    }
    ports::checkLost(k, port, role);
}

void reportOpenFailure(Kelv& k, const std::string& failure) {
    if (failure == k.rs.Ptt_open_failure) {
        return;
    }
    // Remembered before the box opens: ticks run while it is shown and must not open another.
    k.rs.Ptt_open_failure = failure;
    k.dialogs.messageBox("Cannot open serial port:\n" + failure +
                         "\n\nThe transmitter is not keyed; tracking goes on.");
}

} // namespace

bool openRealPttLine(Kelv& k, bool rtsOnOpen) {
    const std::string& portText = k.settings().Reale_PTT;
    std::optional<int> n = ports::portNumber(portText);
    if (!n) {
        return false; // "None", or no port named: PTT is not followed
    }
    std::string device = ports::portDevice(k.iniPath(), *n);
    std::string reason;
    if (!k.MSComm4.open(device, kPttLine, rtsOnOpen, reason)) {
        reportOpenFailure(k, "Reale_PTT " + portText + " (" + device + "): " + reason);
        return false;
    }
    k.rs.Ptt_open_failure.clear();
    return true;
}

namespace {

void key(Kelv& k) {
    if (!openRealPttLine(k, /*rtsOnOpen=*/true)) {
        return;
    }
    k.ui.Ptt.caption = kPttOn;
    Invio_frequenza(k);
}

void unkey(Kelv& k) {
    k.MSComm4.close();
    k.rs.Fqso_kHz = k.rs.Fqso2_kHz;
    k.ui.Ptt.caption = kPttOff;
    Invio_frequenza(k);
}

} // namespace

void Controllo_PTT_MAP65(Kelv& k) {
    if (pttSequenceOn(k)) {
        return; // the sequencer's own timer follows the line
    }
    if (k.ui.Ptt.caption == kPttOn) {
        // Probed only while keyed, so a line lost once is reported once.
        probe(k, k.MSComm4, "Real PTT");
        if (!k.MSComm4.isOpen()) {
            k.ui.Ptt.caption = kPttOff; // the line is gone or closed: the transmitter is not keyed
        }
    }
    if (k.MSComm3.isOpen()) {
        probe(k, k.MSComm3, "Virtual PTT");
    }
    if (!k.MSComm3.isOpen()) {
        // Without MAP65's line nothing would ever release a keyed transmitter.
        if (k.MSComm4.isOpen()) {
            k.MSComm4.close();
            k.ui.Ptt.caption = kPttOff;
        }
        return;
    }
    // While the transmit interlock is tripped MAP65's key counts as released.
    bool dsr = k.MSComm3.dsr() && !k.rs.interlock.tripped;
    if (dsr && !k.MSComm4.isOpen()) {
        key(k);
    }
    // DSR is read again, so a pulse that has already ended is keyed and released in this call.
    dsr = k.MSComm3.dsr() && !k.rs.interlock.tripped;
    if (!dsr && k.MSComm4.isOpen()) {
        unkey(k);
    }
}

} // namespace kelvora
