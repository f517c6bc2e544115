// The Linrad link over TCP: connecting at Start and the 8-byte frequency message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

namespace linrad {

// Linrad's window is 96 kHz wide; the centre frequency sits at 48000.
inline constexpr std::int64_t kWindowWidth = 96000;
inline constexpr std::int64_t kWindowCentre = 48000;
// The message code that sets the frequency within the window.
inline constexpr std::uint32_t kSetFrequencyCode = 41660;

// What the frequency message is computed from (decimal texts as the run state holds them).
struct FrequencyInputs {
    std::string_view centre_Hz; // Linrad's centre frequency
    std::string_view offset_Hz; // correction added to the value sent
    std::string_view fqso_kHz;  // QSO frequency in kHz within the band
    std::string_view freqRx_Hz; // Doppler-corrected receive frequency
    bool doppler = false;       // the receive frequency is used instead of the QSO frequency
};

// The whole MHz of the centre frequency, in kHz ("144125000" gives 144000).
double baseKHz(std::string_view centre_Hz);
// The place of the frequency in the window, limited to 0..96000 and rounded halves to even.
std::int64_t offsetValue(const FrequencyInputs& in);
// The 32-bit value, least significant byte first.
std::string littleEndian32(std::uint32_t value);
// The whole message: the code, then the window position.
std::string frequencyMessage(std::int64_t offsetValue);

} // namespace linrad

// Responsibilities:
// - Linrad_connect starts a connection to Linrad_host:Linrad_tcp_port and returns at once; an
//   empty host or port is named in a message and nothing is tried.
// - Linrad_set_frequency sends the frequency message while the link is connected, and says so
//   when it is not. A message Linrad cannot take now is dropped whole, never split.

// Called by Start after the serial ports are opened.
void Linrad_connect(Kelv& k);
// Sends the QSO frequency's place in Linrad's window.
void Linrad_set_frequency(Kelv& k);

} // namespace kelvora
