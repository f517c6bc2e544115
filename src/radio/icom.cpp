// Icom CI-V frames and the procedures that send them on the radio's CAT port.
#include "radio/icom.h"

#include "ports/serial_ports.h"
#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <array>
#include <cmath>

namespace kelvora::icom {

namespace {

char byte(unsigned value) {
    return static_cast<char>(value & 0xFF);
}

constexpr std::array<std::string_view, 11> kIcomTypes = {
    "Icom-rtx", "IC-275",  "IC-706MK2G", "IC-756pro3", "IC-781",   "IC-7100",
    "IC-7300",  "IC-7400", "IC-7800",    "IC-9700",    "IC-9700-X"};

} // namespace

bool isIcomType(std::string_view rtxType) {
    for (std::string_view type : kIcomTypes) {
        if (type == rtxType) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> frequencyBcd(double hz) {
    if (!(hz >= 0) || hz >= 1e10) {
        return std::nullopt;
    }
    auto v = static_cast<std::int64_t>(std::floor(hz));
    std::string bytes;
    for (int pair = 0; pair < 5; ++pair) {
        unsigned low = static_cast<unsigned>(v % 10);
        v /= 10;
        unsigned high = static_cast<unsigned>(v % 10);
        v /= 10;
        bytes += byte(high << 4 | low);
    }
    return bytes;
}

// | 0xFE 0xFE | destination | 0xE0 (source: us) | command | data (0 to 5 bytes) | 0xFD |
std::optional<std::string> frame(int address, unsigned char command, std::string_view data) {
    if (address < 0 || address > 0xFF) {
        return std::nullopt;
    }
    std::string bytes;
    bytes += byte(kPreamble);
    bytes += byte(kPreamble);
    bytes += byte(static_cast<unsigned>(address));
    bytes += byte(kController);
    bytes += byte(command);
    bytes += data;
    bytes += byte(kEnd);
    return bytes;
}

std::optional<std::string> frequencyFrame(int address, double hz) {
    std::optional<std::string> bcd = frequencyBcd(hz);
    if (!bcd) {
        return std::nullopt;
    }
    return frame(address, kSetFrequency, *bcd);
}

std::optional<std::string> powerFrame(int address, bool on) {
    std::optional<std::string> f = frame(address, kPower, std::string(1, byte(on ? 1 : 0)));
    if (!f) {
        return std::nullopt;
    }
    // A sleeping radio needs a third preamble byte to catch the frame.
    return std::string(1, byte(kPreamble)) + *f;
}

std::optional<int> vfoEqualCommand(std::string_view rtxType) {
    if (rtxType == "IC-275") {
        return kNoVfoCommand;
    }
    for (std::string_view type :
         {"IC-706MK2G", "IC-781", "IC-7300", "IC-7400", "IC-9700", "IC-9700-X"}) {
        if (rtxType == type) {
            return kEqualAB;
        }
    }
    if (rtxType == "IC-756pro3" || rtxType == "IC-7800") {
        return kSubEqualsMain;
    }
    return std::nullopt;
}

} // namespace kelvora::icom

namespace kelvora {

using namespace icom;

namespace {

bool addressFits(int address) {
    return address >= 0 && address <= 0xFF;
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

void sendFrame(Kelv& k, const std::optional<std::string>& bytes) {
    if (bytes) {
        ports::WriteToRtxPort(k, *bytes);
    } else {
        k.ui.RotorAZ.caption = kAddressOutOfRange;
    }
}

std::string dataByte(int value) {
    return std::string(1, static_cast<char>(value & 0xFF));
}

double freqTxValue(Kelv& k) {
    return numbers::leadingNumber(k.rs.Freq_TX);
}

} // namespace

void IcomVFO_A(Kelv& k, int vfo) {
    k.ui.RotorAZ.caption = "SET VFO A";
    sendFrame(k, frame(k.rs.Icom_addr, kSelectVfo, dataByte(vfo)));
}

void IcomVFO_B(Kelv& k, int vfo) {
    k.ui.RotorAZ.caption = "SET VFO B";
    sendFrame(k, frame(k.rs.Icom_addr, kSelectVfo, dataByte(vfo)));
}

void IcomRadioSetTXFreq(Kelv& k) {
    RunState& rs = k.rs;
    const std::string type = k.settings().RtxType;
    double hz = freqTxValue(k);
    bool twoRadios = type == "IC-7100";
    bool fits = twoRadios ? sequenceFits(k, {rs.Icom_addr, rs.Icom_addr2}, {hz})
                          : sequenceFits(k, {rs.Icom_addr}, {hz});
    // The frequency is consumed by the send; the tracking tick then sends it again.
    rs.Freq_TX = "0";
    if (!fits) {
        return;
    }
    if (type == "IC-275" && rs.Vfo_selected == 1) {
        IcomVFO_A(k, kVfoA);
    }
    if (type == "IC-275" && rs.Vfo_b_on == 1) {
        IcomVFO_B(k, kVfoB);
    }
    sendFrame(k, frequencyFrame(rs.Icom_addr, hz));
    if (twoRadios) {
        sendFrame(k, frequencyFrame(rs.Icom_addr2, hz));
    }
}

void IcomRadioSetTXFreq_Split(Kelv& k) {
    RunState& rs = k.rs;
    bool bands = k.settings().RtxType == "IC-756pro3"; // main and sub band instead of VFO A and B
    double hz = freqTxValue(k);
    rs.Freq_TX = "0";
    if (!sequenceFits(k, {rs.Icom_addr}, {hz})) {
        return;
    }
    // A line lost on the way ends the sequence, so the loss report stays in the status line.
    bool wasOpen = k.MSComm1.isOpen();
    auto lost = [&] { return wasOpen && !k.MSComm1.isOpen(); };
    IcomVFO_B(k, bands ? kSubBand : kVfoB);
    if (lost()) {
        return;
    }
    ports::KVRotorPaceDown(k, rs.Rotor_pace_delay);
    sendFrame(k, frequencyFrame(rs.Icom_addr, hz));
    if (lost()) {
        return;
    }
    ports::KVRotorPaceDown(k, rs.Rotor_pace_delay);
    IcomVFO_A(k, bands ? kMainBand : kVfoA);
}

void IcomRadioSetTXFreq_X(Kelv& k) {
    RunState& rs = k.rs;
    double mainHz = freqTxValue(k);
    double subHz = mainHz - kCrossBandShift;
    if (k.settings().Doppler_Check == 1) {
        subHz -= numbers::strictNumber(rs.My_doppler_Hz, k.locale).value_or(0.0);
    }
    std::string subText = numbers::roundTrip(subHz);
    subHz = numbers::leadingNumber(subText);
    rs.Freq_TX = "0";
    // A main frequency below the shift has no sub band to go with it.
    if (!sequenceFits(k, {rs.Icom_addr}, {mainHz, subHz})) {
        return;
    }
    sendFrame(k, frame(rs.Icom_addr, kSelectVfo, dataByte(kMainBand)));
    sendFrame(k, frequencyFrame(rs.Icom_addr, mainHz));
    sendFrame(k, frame(rs.Icom_addr, kSelectVfo, dataByte(kSubBand)));
    rs.Freq_TX = subText;
    sendFrame(k, frequencyFrame(rs.Icom_addr, subHz));
    rs.Freq_TX = "0";
}

void IcomVFO_AB(Kelv& k) {
    RunState& rs = k.rs;
    const std::string type = k.settings().RtxType;
    // Only CI-V radios understand the frame; other types would get stray binary bytes.
    if (type == "None" || rs.Tracking_on != 1 || !isIcomType(type)) {
        return;
    }
    if (std::optional<int> command = vfoEqualCommand(type)) {
        rs.Icom_vfo_cmd = *command;
    }
    if (rs.Icom_vfo_cmd == kNoVfoCommand) {
        return;
    }
    k.ui.RotorAZ.caption = "SET VFO A = VFO B";
    sendFrame(k, frame(rs.Icom_addr, kSelectVfo, dataByte(rs.Icom_vfo_cmd)));
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
