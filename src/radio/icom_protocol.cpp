#include "radio/icom_protocol.h"

#include <cmath>
#include <cstdint>

namespace kelvora::icom {

namespace {

char byte(unsigned value) {
    return static_cast<char>(value & 0xFF);
}

} // namespace

bool addressFits(int address) {
    return address >= 0 && address <= 0xFF;
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
    if (!addressFits(address)) {
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

const char* frequencyFrameProblem(int address, double hz) {
    if (!addressFits(address)) {
        return kAddressOutOfRange;
    }
    if (!frequencyBcd(hz)) {
        return kFreqOutOfRange;
    }
    return nullptr;
}

std::optional<std::string> selectFrame(int address, int vfo) {
    return frame(address, kSelectVfo, std::string(1, byte(static_cast<unsigned>(vfo))));
}

std::optional<std::string> powerFrame(int address, bool on) {
    std::optional<std::string> f = frame(address, kPower, std::string(1, byte(on ? 1 : 0)));
    if (!f) {
        return std::nullopt;
    }
    // A sleeping radio needs a third preamble byte to catch the frame.
    return std::string(1, byte(kPreamble)) + *f;
}

} // namespace kelvora::icom
