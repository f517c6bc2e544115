// The one operation that pushes the frequency to every configured sink.
#include "radio/radio_dispatch.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "radio/frequency.h"
#include "radio/linrad.h"
#include "radio/radio_models.h"
#include "radio/unit_relay.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

namespace {

void refreshLabelTx(Kelv& k) {
    RunState& rs = k.rs;
    if (k.MSComm3.isOpen() && k.ui.Ptt.caption == "PTT off") {
        k.ui.Label_TX.caption =
            rs.Band_MHz + "." + numbers::formatAtLeast3(rs.Fqso2_kHz, k.locale) + ".000";
    } else {
        k.ui.Label_TX.caption =
            numbers::formatThousands(numbers::leadingNumber(rs.Freq_last), k.locale);
    }
}

void discard(Kelv& k, platform::SerialPort& port, const char* role) {
    if (!port.isOpen()) {
        return;
    }
    if (port.bytesWaiting() > 0) {
        port.readAll();
    }
    ports::checkLost(k, port, role);
}

} // namespace

void discardRadioInput(Kelv& k) {
    discard(k, k.MSComm1, "Radio");
    discard(k, k.MSComm5, "Radio 2");
}

void Invio_frequenza(Kelv& k) {
    discardRadioInput(k);
    bool computed = Calcolo_frequenza(k);
    // Without a fresh frequency (a QSO or Doppler field that is not a number) nothing is sent.
    const radio::RadioModel* model = radio::findRadioModel(k.settings().RtxType);
    bool networkRadio = model != nullptr && model->cat == radio::Cat::Rigctld;
    if (computed && (k.MSComm1.isOpen() || networkRadio)) {
        if (k.rs.devices.rotorRelaysFrequency) {
            KVRadioSetTXFreq(k);
        }
        if (model != nullptr) {
            model->setFrequency(k);
        }
        refreshLabelTx(k);
    }
    if (k.Winsock1.state() == platform::TcpState::Connected && k.ui.Autoupdate.value == 1) {
        Linrad_set_frequency(k);
    }
}

} // namespace kelvora
