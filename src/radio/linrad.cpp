// The Linrad link: where the QSO frequency lies in Linrad's window, and sending it there.
#include "radio/linrad.h"

#include "config/settings.h"
#include "state/kelv.h"

namespace kelvora {

void Linrad_connect(Kelv& k) {
    k.Winsock1.close();
    if (k.rs.Linrad_host.empty()) {
        k.dialogs.messageBox("Please configure Tcp/ip");
        return;
    }
    if (k.rs.Linrad_tcp_port.empty()) {
        k.dialogs.messageBox("Please configure Tcp/port");
        return;
    }
    if (k.Winsock1.state() != platform::TcpState::Closed) {
        k.dialogs.messageBox("Linrad not active");
        return;
    }
    k.Winsock1.connectToHost(k.rs.Linrad_host, k.rs.Linrad_tcp_port);
}

void Linrad_set_frequency(Kelv& k) {
    std::int64_t v =
        linrad::offsetValue({k.rs.Linrad_center_Hz, k.rs.Linrad_offset_Hz, k.rs.Fqso_kHz,
                             k.rs.Freq_RX, k.settings().Doppler_Check == 1});
    if (k.Winsock1.state() != platform::TcpState::Connected) {
        k.dialogs.messageBox("Linrad not Connected please Stop/Start");
        return;
    }
    // One write: a message dropped because Linrad reads nothing is dropped whole, so the stream
    // never goes out of step.
    if (!k.Winsock1.send(linrad::frequencyMessage(v))) {
        k.ui.RotorAZ.caption = "Linrad busy: frequency not sent";
    }
}

} // namespace kelvora
