// The model table and the one operation that pushes the frequency to every configured sink.
#include "radio/radio_dispatch.h"

#include "ports/serial_ports.h"
#include "radio/frequency.h"
#include "radio/icom.h"
#include "radio/kenwood.h"
#include "radio/linrad.h"
#include "radio/unit_relay.h"
#include "radio/yaesu.h"
#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <array>

namespace kelvora {

namespace {

// IC-275 and IC-756pro3: the split button puts the frequency into VFO B (the sub band).
void icomWithSplit(Kelv& k) {
    if (k.rs.Split_on == 1) {
        IcomRadioSetTXFreq_Split(k);
    } else {
        IcomRadioSetTXFreq(k);
    }
}

// IC-7800: with dual watch on, the sub band follows the main band after each frequency.
void icomWithDual(Kelv& k) {
    IcomRadioSetTXFreq(k);
    if (k.rs.Dual_on) {
        IcomVFO_AB(k);
    }
}

constexpr std::array<RadioModel, 25> kRadioModels = {{
    {"Icom-rtx", IcomRadioSetTXFreq},    {"IC-275", icomWithSplit},
    {"IC-706MK2G", IcomRadioSetTXFreq},  {"IC-756pro3", icomWithSplit},
    {"IC-781", IcomRadioSetTXFreq},      {"IC-7100", IcomRadioSetTXFreq}, // both CI-V addresses
    {"IC-7300", IcomRadioSetTXFreq},     {"IC-7400", IcomRadioSetTXFreq},
    {"IC-7800", icomWithDual},           {"IC-9700", IcomRadioSetTXFreq},
    {"IC-9700-X", IcomRadioSetTXFreq_X}, {"Elecraft-K3", ElecraftSetTXFreq},
    {"Flex-SDR", FlexSetTXFreq},         {"FT-736R", FT736RSetTXFreq},
    {"FT-817", FT817SetTXFreq},          {"FT-847", FT817SetTXFreq},
    {"FT-857", FT817SetTXFreq},          {"FT-897", FT817SetTXFreq},
    {"FT-950", FT950SetTXFreq},          {"FT-991", FT991SetTXFreq},
    {"FT-1000mp", FT1000SetTXFreq},      {"FT-5000", FT5000SetTXFreq},
    {"TS-590", TS590SetTXFreq},          {"TS-2000", TS2000SetTXFreq},
    {"Fdm-Duo", FdmDuoSetTXFreq},
}};

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

const RadioModel* findRadioModel(std::string_view rtxType) {
    for (const RadioModel& model : kRadioModels) {
        if (rtxType == model.type) {
            return &model;
        }
    }
    return nullptr;
}

void discardRadioInput(Kelv& k) {
    discard(k, k.MSComm1, "Radio");
    discard(k, k.MSComm5, "Radio 2");
}

void Invio_frequenza(Kelv& k) {
    discardRadioInput(k);
    bool computed = Calcolo_frequenza(k);
    // Without a fresh frequency (a QSO or Doppler field that is not a number) nothing is sent.
    if (computed && k.MSComm1.isOpen()) {
        if (k.settings().RotorType == "Kelvora") {
            KVRadioSetTXFreq(k);
        }
        if (const RadioModel* model = findRadioModel(k.settings().RtxType)) {
            model->setFrequency(k);
        }
        refreshLabelTx(k);
    }
    if (k.Winsock1.state() == platform::TcpState::Connected && k.ui.Autoupdate.value == 1) {
        Linrad_set_frequency(k);
    }
}

} // namespace kelvora
