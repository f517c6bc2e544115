#include "radio/kenwood_protocol.h"

#include "radio/typed_text_protocol.h"
#include "state/numbers.h"

namespace kelvora::kenwood {

std::optional<std::string> frequencyCommand(char vfo, std::string_view freqText,
                                            std::size_t minLength, std::size_t maxLength) {
    if (freqText.size() < minLength || freqText.size() > maxLength ||
        freqText.size() > kCommandDigits || !typedtext::allDigits(freqText)) {
        return std::nullopt;
    }
    return std::string("F") + vfo + numbers::padLeft(freqText, kCommandDigits) + ";";
}

} // namespace kelvora::kenwood
