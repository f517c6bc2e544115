#include "radio/relay_protocol.h"

namespace kelvora::relay {

std::optional<std::string> relayCommand(std::string_view fqsoKHz,
                                        const numbers::LocaleSeparators& locale) {
    std::string kHz = numbers::formatAtLeast3(fqsoKHz, locale);
    if (kHz.size() != 3) {
        return std::nullopt;
    }
    for (char c : kHz) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    // The unit works on the 144 MHz band only: no offset, no Doppler.
    return "FU144" + kHz + "00\r";
}

} // namespace kelvora::relay
