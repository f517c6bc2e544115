// Yaesu CAT blocks and ASCII commands, and the procedures that send them on the CAT port.
#include "radio/yaesu.h"

#include "ports/serial_ports.h"
#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <cmath>
#include <cstdint>

namespace kelvora::yaesu {

namespace {

char byte(unsigned value) {
    return static_cast<char>(value & 0xFF);
}

bool allDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Eight decimal digits of `tens` as four BCD bytes, most significant pair first.
std::string packBigEndian(std::int64_t tens) {
    std::string bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        unsigned low = static_cast<unsigned>(tens % 10);
        tens /= 10;
        unsigned high = static_cast<unsigned>(tens % 10);
        tens /= 10;
        bytes[static_cast<std::size_t>(i)] = byte(high << 4 | low);
    }
    return bytes;
}

constexpr std::int64_t kTensLimit = 100000000; // eight digits of tens of hertz: below 1 GHz

} // namespace

std::optional<std::string> bcdBigEndian(double hz) {
    // Rounding first lets a carry reach the top digit (199999995 Hz is 200 MHz, not 100 MHz).
    std::int64_t tens = numbers::roundHalfEven(hz / 10);
    if (!(hz >= 0) || tens >= kTensLimit) {
        return std::nullopt;
    }
    return packBigEndian(tens);
}

std::optional<std::string> bcdLittleEndian(double hz) {
    if (!(hz >= 0) || hz >= 1e9) {
        return std::nullopt;
    }
    std::string bytes = packBigEndian(static_cast<std::int64_t>(std::floor(hz / 10)));
    return std::string(bytes.rbegin(), bytes.rend());
}

std::string block(std::string_view parameters, unsigned char opcode) {
    return std::string(parameters) + byte(opcode);
}

std::optional<std::string> frequencyCommand(std::string_view freqText, std::size_t digits) {
    if (freqText.size() != digits || !allDigits(freqText)) {
        return std::nullopt;
    }
    return "FA" + std::string(freqText) + ";";
}

std::optional<std::string> ft991Command(std::string_view freqText) {
    if (std::optional<std::string> nine = frequencyCommand(freqText, 9)) {
        return nine;
    }
    if (frequencyCommand(freqText, 8)) {
        return "FA0" + std::string(freqText) + ";";
    }
    return std::nullopt;
}

} // namespace kelvora::yaesu

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

void sendAscii(Kelv& k, const std::optional<std::string>& command) {
    if (command) {
        k.ui.RotorAZ.caption = *command;
        ports::WriteToRtxPort(k, *command);
    }
}

void sendVfoBlock(Kelv& k, std::string_view parameters, unsigned char opcode, const char* status) {
    ports::WriteToRtxPort(k, block(parameters, opcode));
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
    bool catOnOff = k.settings().RtxType == "FT-847";
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
    sendAscii(k, frequencyCommand(k.rs.Freq_TX, 8));
}

void FT5000SetTXFreq(Kelv& k) {
    sendAscii(k, frequencyCommand(k.rs.Freq_TX, 8));
}

void FT991SetTXFreq(Kelv& k) {
    sendAscii(k, ft991Command(k.rs.Freq_TX));
    double hz = numbers::leadingNumber(k.rs.Freq_TX);
    if (hz < kFt991Lowest || hz > kFt991Highest) {
        k.ui.RotorAZ.caption = kErrorFrequency;
    }
}

void FT1000mpVFO_A(Kelv& k) {
    sendVfoBlock(k, std::string_view("\x00\x00\x00\x00", 4), kSelectVfo, "SET VFO A");
}

void FT1000mpVFO_B(Kelv& k) {
    sendVfoBlock(k, std::string_view("\x00\x00\x00\x02", 4), kSelectVfo, "SET VFO B");
}

void FT1000mpVFO_AB(Kelv& k) {
    sendVfoBlock(k, std::string_view("\x00\x00\x00\x00", 4), kVfoAEqualsB, "SET VFO A = VFO B");
}

} // namespace kelvora
