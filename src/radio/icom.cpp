// The Icom CI-V procedures: they read the run state and the model's row and write the frames.
#include "radio/icom.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "radio/radio_models.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

using namespace icom;

namespace {

const radio::RadioModel* civModel(Kelv& k) {
    const radio::RadioModel* model = radio::findRadioModel(k.settings().RtxType);
    return model && model->cat == radio::Cat::Civ ? model : nullptr;
}

// Checks that every frame of a sequence can be expressed before the first byte goes out, so a
// radio is never left half-way through a sequence; shows the reason otherwise.
bool sequenceFits(Kelv& k, std::initializer_list<int> addresses,
                  std::initializer_list<double> frequencies) {
    for (int address : addresses) {
        if (!addressFits(address)) {
            k.ui.RotorAZ.caption = kAddressOutOfRange;
            return false;
        }
    }
    for (double hz : frequencies) {
        if (!frequencyBcd(hz)) {
            k.ui.RotorAZ.caption = kFreqOutOfRange;
            return false;
        }
    }
    return true;
}

// A select frame to Icom_addr; an address no byte can carry is shown instead.
void sendSelect(Kelv& k, int vfo) {
    if (std::optional<std::string> bytes = selectFrame(k.rs.Icom_addr, vfo)) {
        ports::WriteToRtxPort(k, *bytes);
    } else {
        k.ui.RotorAZ.caption = kAddressOutOfRange;
    }
}

// A frequency frame; what keeps it from being built (the address or the frequency) is shown.
void sendFrequency(Kelv& k, int address, double hz) {
    if (const char* problem = frequencyFrameProblem(address, hz)) {
        k.ui.RotorAZ.caption = problem;
        return;
    }
    ports::WriteToRtxPort(k, *frequencyFrame(address, hz));
}

double freqTxValue(Kelv& k) {
    return numbers::leadingNumber(k.rs.Freq_TX);
}

} // namespace

void IcomVFO_A(Kelv& k, int vfo) {
    k.ui.RotorAZ.caption = "SET VFO A";
    sendSelect(k, vfo);
}

void IcomVFO_B(Kelv& k, int vfo) {
    k.ui.RotorAZ.caption = "SET VFO B";
    sendSelect(k, vfo);
}

void icomSetFrequency(Kelv& k) {
    const radio::RadioModel* model = civModel(k);
    if (model && model->splitButton && k.rs.Split_on == 1) {
        IcomRadioSetTXFreq_Split(k);
        return;
    }
    IcomRadioSetTXFreq(k);
    if (model && model->dualWatch && k.rs.Dual_on) {
        IcomVFO_AB(k);
    }
}

void IcomRadioSetTXFreq(Kelv& k) {
    RunState& rs = k.rs;
    const radio::RadioModel* model = civModel(k);
    bool twoRadios = model && model->civ.bothAddresses;
    bool rememberedVfo = model && model->civ.selectsRememberedVfo;
    double hz = freqTxValue(k);
    bool fits = twoRadios ? sequenceFits(k, {rs.Icom_addr, rs.Icom_addr2}, {hz})
                          : sequenceFits(k, {rs.Icom_addr}, {hz});
    // The frequency is consumed by the send; the tracking tick then sends it again.
    rs.Freq_TX = "0";
    if (!fits) {
        return;
    }
    if (rememberedVfo && rs.Vfo_selected == 1) {
        IcomVFO_A(k, kVfoA);
    }
    if (rememberedVfo && rs.Vfo_b_on == 1) {
        IcomVFO_B(k, kVfoB);
    }
    sendFrequency(k, rs.Icom_addr, hz);
    if (twoRadios) {
        sendFrequency(k, rs.Icom_addr2, hz);
    }
}

void IcomRadioSetTXFreq_Split(Kelv& k) {
    RunState& rs = k.rs;
    const radio::RadioModel* model = civModel(k);
    bool bands = model && model->civ.bands; // main and sub band instead of VFO A and B
    double hz = freqTxValue(k);
    rs.Freq_TX = "0";
    if (!sequenceFits(k, {rs.Icom_addr}, {hz})) {
        return;
    }
    std::string toB = *selectFrame(rs.Icom_addr, bands ? kSubBand : kVfoB);
    std::string frequency = *frequencyFrame(rs.Icom_addr, hz);
    std::string toA = *selectFrame(rs.Icom_addr, bands ? kMainBand : kVfoA);
    k.ui.RotorAZ.caption = "SET VFO B";
    // A line lost on the way ends the sequence, so the loss report stays in the status line.
    ports::Line line = ports::radioLine(k);
    if (ports::sendPaced(line, {toB, frequency, toA}, rs.Rotor_pace_delay,
                         ports::PaceAfterLast::No)) {
        k.ui.RotorAZ.caption = "SET VFO A";
    }
}

void IcomRadioSetTXFreq_X(Kelv& k) {
    RunState& rs = k.rs;
    double mainHz = freqTxValue(k);
    double subHz = mainHz - kCrossBandShift;
    if (k.settings().Doppler_Check == 1) {
        subHz -= numbers::strictNumber(rs.My_doppler_Hz, k.locale).value_or(0.0);
    }
    // The sub frequency goes through the text round trip like every computed frequency.
    subHz = numbers::leadingNumber(numbers::roundTrip(subHz));
    // Both frames consume the frequency: the tracking tick sends the pair again.
    rs.Freq_TX = "0";
    // A main frequency below the shift has no sub band to go with it.
    if (!sequenceFits(k, {rs.Icom_addr}, {mainHz, subHz})) {
        return;
    }
    sendSelect(k, kMainBand);
    sendFrequency(k, rs.Icom_addr, mainHz);
    sendSelect(k, kSubBand);
    sendFrequency(k, rs.Icom_addr, subHz);
}

void IcomVFO_AB(Kelv& k) {
    RunState& rs = k.rs;
    // Only CI-V radios understand the frame; other types would get stray binary bytes.
    const radio::RadioModel* model = civModel(k);
    if (!model || rs.Tracking_on != 1) {
        return;
    }
    if (model->civ.equalCommand) {
        rs.Icom_vfo_cmd = *model->civ.equalCommand;
    }
    if (rs.Icom_vfo_cmd == kNoVfoCommand) {
        return;
    }
    k.ui.RotorAZ.caption = "SET VFO A = VFO B";
    sendSelect(k, rs.Icom_vfo_cmd);
}

namespace {

bool power(Kelv& k, int address, bool on) {
    std::optional<std::string> bytes = powerFrame(address, on);
    if (!bytes) {
        k.ui.RotorAZ.caption = kAddressOutOfRange;
        return false;
    }
    const std::string wakeUp(kWakeUpRunLength, static_cast<char>(kPreamble));
    for (int run = 0; run < (on ? kWakeUpRunsOn : kWakeUpRunsOff); ++run) {
        ports::WriteToRtxPort(k, wakeUp);
    }
    ports::WriteToRtxPort(k, *bytes);
    return true;
}

} // namespace

bool Accendo_Icom(Kelv& k, int indirizzo) {
    return power(k, indirizzo, true);
}
bool Spengo_Icom(Kelv& k, int indirizzo) {
    return power(k, indirizzo, false);
}

} // namespace kelvora
