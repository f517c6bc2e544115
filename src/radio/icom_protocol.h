// Icom CI-V frames: the frequency digits, the frame, the power frames.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::icom {

inline constexpr unsigned char kPreamble = 0xFE;
inline constexpr unsigned char kController = 0xE0; // our own address on the bus
inline constexpr unsigned char kEnd = 0xFD;
inline constexpr unsigned char kSetFrequency = 0x05;
inline constexpr unsigned char kSelectVfo = 0x07;
inline constexpr unsigned char kPower = 0x18;

inline constexpr unsigned char kVfoA = 0x00;
inline constexpr unsigned char kVfoB = 0x01;
inline constexpr unsigned char kEqualAB = 0xA0; // VFO A = VFO B
inline constexpr unsigned char kMainBand = 0xD0;
inline constexpr unsigned char kSubBand = 0xD1;
inline constexpr unsigned char kSubEqualsMain = 0xB1;
inline constexpr int kNoVfoCommand = 0xFF; // a model without an A=B command: nothing is sent

// In cross-band use the sub band lies this far below the main band.
inline constexpr double kCrossBandShift = 1152000000.0;

inline constexpr const char* kAddressOutOfRange = "CI-V address out of range";
inline constexpr const char* kFreqOutOfRange = "Freq. out of range";

// True for an address one byte can carry.
bool addressFits(int address);

// The five BCD bytes of a frequency, least significant digit pair first; the fractional hertz
// are dropped. std::nullopt below 0 Hz or from 10 GHz on, which ten digits cannot hold.
std::optional<std::string> frequencyBcd(double hz);

// 0xFE 0xFE address 0xE0 command data 0xFD; std::nullopt for an address above 0xFF (or below 0).
std::optional<std::string> frame(int address, unsigned char command, std::string_view data = {});

// The set-frequency frame, or std::nullopt when the address or the frequency does not fit.
std::optional<std::string> frequencyFrame(int address, double hz);

// Why the set-frequency frame cannot be built (kAddressOutOfRange or kFreqOutOfRange), nullptr
// when it can.
const char* frequencyFrameProblem(int address, double hz);

// The VFO or band select frame: 0x07 with one data byte.
std::optional<std::string> selectFrame(int address, int vfo);

// Power on: 24 bytes of wake-up preamble in three writes, then the power-on frame with three
// preamble bytes. Power off: 8 wake-up bytes, then the power-off frame.
std::optional<std::string> powerFrame(int address, bool on);
inline constexpr int kWakeUpRunsOn = 3;
inline constexpr int kWakeUpRunsOff = 1;
inline constexpr std::size_t kWakeUpRunLength = 8;

} // namespace kelvora::icom
