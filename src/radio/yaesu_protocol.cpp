#include "radio/yaesu_protocol.h"

#include "radio/typed_text_protocol.h"
#include "state/numbers.h"

#include <cmath>
#include <cstdint>

namespace kelvora::yaesu {

namespace {

char byte(unsigned value) {
    return static_cast<char>(value & 0xFF);
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

std::string selectVfoBlock(bool vfoB) {
    return block(std::string_view(vfoB ? "\x00\x00\x00\x02" : "\x00\x00\x00\x00", 4), kSelectVfo);
}

std::string vfoAEqualsBBlock() {
    return block(std::string_view("\x00\x00\x00\x00", 4), kVfoAEqualsB);
}

std::optional<std::string> frequencyCommand(std::string_view freqText, std::size_t digits) {
    if (freqText.size() != digits || !typedtext::allDigits(freqText)) {
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
