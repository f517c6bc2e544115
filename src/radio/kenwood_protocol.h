// Kenwood-style typed frequency commands: TS-2000, TS-590, Elecraft K3, FDM-DUO and Flex SDR.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::kenwood {

inline constexpr std::size_t kCommandDigits = 11;
inline constexpr const char* kFreqOutOfRange = "Freq. out of range";

// The TS-590's range in hertz.
inline constexpr double kTs590Lowest = 1800000;
inline constexpr double kTs590Highest = 54000000;

// "F" + vfo ('A' or 'B') + the frequency brought to 11 digits by leading zeros + ";", for a text
// of whole hertz whose length lies in [minLength, maxLength]; std::nullopt otherwise (other
// lengths, a sign, a decimal point).
std::optional<std::string> frequencyCommand(char vfo, std::string_view freqText,
                                            std::size_t minLength, std::size_t maxLength);

} // namespace kelvora::kenwood
