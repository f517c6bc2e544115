#include "radio/linrad_protocol.h"

#include "state/numbers.h"

#include <algorithm>
#include <cmath>

namespace kelvora::linrad {

double baseKHz(std::string_view centre_Hz) {
    // Centres of 7 to 12 digits keep their whole MHz; any other text is taken whole.
    std::size_t length = centre_Hz.size();
    std::string_view mhz =
        length >= 7 && length <= 12 ? centre_Hz.substr(0, length - 6) : centre_Hz;
    return numbers::leadingNumber(mhz) * 1000;
}

std::int64_t offsetValue(const FrequencyInputs& in) {
    double base = baseKHz(in.centre_Hz);
    double f = (numbers::leadingNumber(in.fqso_kHz) + base) * 1000;
    if (in.doppler) {
        // The MHz of the centre with the hertz below 1 MHz of the receive frequency. Taken
        // numerically, so a receive frequency with a fractional hertz keeps its place.
        double belowMHz = std::fmod(numbers::leadingNumber(in.freqRx_Hz), 1e6);
        f = base * 1000 + belowMHz; // (base + belowMHz / 1000) x 1000 without the rounding
    }
    double v = f - numbers::leadingNumber(in.centre_Hz) + static_cast<double>(kWindowCentre) +
               numbers::leadingNumber(in.offset_Hz);
    v = std::clamp(v, 0.0, static_cast<double>(kWindowWidth));
    return numbers::roundHalfEven(v);
}

std::string littleEndian32(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// Offset 0: the code 41660 (BC A2 00 00); offset 4: the window position, 0 to 96000.
std::string frequencyMessage(std::int64_t offsetValue) {
    return littleEndian32(kSetFrequencyCode) +
           littleEndian32(
               static_cast<std::uint32_t>(std::clamp<std::int64_t>(offsetValue, 0, kWindowWidth)));
}

} // namespace kelvora::linrad
