// The Yaesu CAT procedures: they read the run state and the model's row and write the bytes.
#include "radio/yaesu.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "radio/radio_models.h"
#include "radio/typed_text_protocol.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

using namespace yaesu;

namespace {

// The block radios take one byte per write.
void writeBytewise(Kelv& k, std::string_view bytes) {
    for (char c : bytes) {
        ports::WriteToRtxPort(k, std::string_view(&c, 1));
    }
}

void writeCatRun(Kelv& k, unsigned char value) {
    writeBytewise(k, std::string(kCatRunLength, static_cast<char>(value)));
}

// The frequency parameters from Freq_TX, which the send consumes; shows why when they do not fit.
std::optional<std::string> takeFrequency(Kelv& k, std::optional<std::string> (*encode)(double)) {
    std::optional<std::string> parameters = encode(numbers::leadingNumber(k.rs.Freq_TX));
    k.rs.Freq_TX = "0";
    if (!parameters) {
        k.ui.RotorAZ.caption = kFreqOutOfRange;
    }
    return parameters;
}

// Builds the typed command from Freq_TX in whole hertz, shows it and writes it; names the
// frequency when the command cannot carry it.
void sendTyped(Kelv& k, std::optional<std::string> (*build)(std::string_view)) {
    if (std::optional<std::string> command = build(typedtext::wholeHertzText(k.rs.Freq_TX))) {
        k.ui.RotorAZ.caption = *command;
        ports::WriteToRtxPort(k, *command);
    } else {
        k.ui.RotorAZ.caption = typedtext::refusal(k.settings().RtxType, k.rs.Freq_TX);
    }
}

std::optional<std::string> eightDigits(std::string_view freqText) {
    return frequencyCommand(freqText, 8);
}

void sendVfoBlock(Kelv& k, const std::string& bytes, const char* status) {
    ports::WriteToRtxPort(k, bytes);
    k.ui.RotorAZ.caption = status;
}

} // namespace

void FT736RSetTXFreq(Kelv& k) {
    std::optional<std::string> parameters = takeFrequency(k, bcdBigEndian);
    if (!parameters) {
        return;
    }
    ports::KVRotorPaceDown(k, k.rs.Rotor_pace_delay);
    writeCatRun(k, kCatOn);
    writeBytewise(k, block(*parameters, kSetFrequency));
    writeCatRun(k, kCatOff);
}

void FT817SetTXFreq(Kelv& k) {
    const radio::RadioModel* model = radio::findRadioModel(k.settings().RtxType);
    bool catOnOff = model && model->catOnOff;
    std::optional<std::string> parameters = takeFrequency(k, bcdBigEndian);
    if (!parameters) {
        return;
    }
    if (catOnOff) {
        writeCatRun(k, kCatOn);
    }
    writeBytewise(k, block(*parameters, kSetFrequency));
    if (catOnOff) {
        writeCatRun(k, kCatOff);
    }
}

void FT1000SetTXFreq(Kelv& k) {
    std::optional<std::string> parameters = takeFrequency(k, bcdLittleEndian);
    if (parameters) {
        writeBytewise(k, block(*parameters, kSetVfoAFrequency));
    }
}

void FT950SetTXFreq(Kelv& k) {
    sendTyped(k, eightDigits);
}

void FT5000SetTXFreq(Kelv& k) {
    sendTyped(k, eightDigits);
}

void FT991SetTXFreq(Kelv& k) {
    sendTyped(k, ft991Command);
    double hz = numbers::leadingNumber(k.rs.Freq_TX);
    if (hz < kFt991Lowest || hz > kFt991Highest) {
        k.ui.RotorAZ.caption = kErrorFrequency;
    }
}

void FT1000mpVFO_A(Kelv& k) {
    sendVfoBlock(k, selectVfoBlock(false), "SET VFO A");
}

void FT1000mpVFO_B(Kelv& k) {
    sendVfoBlock(k, selectVfoBlock(true), "SET VFO B");
}

void FT1000mpVFO_AB(Kelv& k) {
    sendVfoBlock(k, vfoAEqualsBBlock(), "SET VFO A = VFO B");
}

} // namespace kelvora
