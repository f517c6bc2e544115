// The Linrad frequency message: where the QSO frequency lies in Linrad's window, in 8 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvora::linrad {

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

} // namespace kelvora::linrad
