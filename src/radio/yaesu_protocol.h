// Yaesu CAT: the BCD blocks of the older radios and the typed "FA" commands of the newer ones.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::yaesu {

inline constexpr unsigned char kSetFrequency = 0x01;     // FT-736R, FT-817 family
inline constexpr unsigned char kSetVfoAFrequency = 0x0A; // FT-1000mp
inline constexpr unsigned char kSelectVfo = 0x05;        // FT-1000mp
inline constexpr unsigned char kVfoAEqualsB = 0x85;      // FT-1000mp
inline constexpr unsigned char kCatOn = 0x00;
inline constexpr unsigned char kCatOff = 0x80;
inline constexpr int kCatRunLength = 5;

inline constexpr const char* kFreqOutOfRange = "Freq. out of range";
inline constexpr const char* kErrorFrequency = "Error frequency";

// Four BCD bytes of the frequency in tens of hertz, most significant pair first, rounded to the
// nearest 10 Hz (halves to even). std::nullopt below 0 Hz or from 1 GHz on.
std::optional<std::string> bcdBigEndian(double hz);

// Four BCD bytes of the frequency in tens of hertz, least significant pair first; the part
// below 10 Hz is dropped. std::nullopt below 0 Hz or from 1 GHz on.
std::optional<std::string> bcdLittleEndian(double hz);

// Four parameter bytes and the opcode.
std::string block(std::string_view parameters, unsigned char opcode);

// The FT-1000mp's VFO blocks: select VFO A or B, and VFO A = VFO B.
std::string selectVfoBlock(bool vfoB);
std::string vfoAEqualsBBlock();

// "FA" + frequency text + ";" for a text of `digits` decimal digits; the FT-991 also takes
// 8 digits, with a leading zero. std::nullopt for any other text (a fractional one, say).
std::optional<std::string> frequencyCommand(std::string_view freqText, std::size_t digits);
std::optional<std::string> ft991Command(std::string_view freqText);

// The FT-991's working range in hertz.
inline constexpr double kFt991Lowest = 30000;
inline constexpr double kFt991Highest = 470000000;

} // namespace kelvora::yaesu
