#include "radio/typed_text_protocol.h"

#include "state/numbers.h"

namespace kelvora::typedtext {

bool allDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string wholeHertzText(std::string_view freqText) {
    if (allDigits(freqText)) {
        return std::string(freqText);
    }
    return std::to_string(numbers::roundHalfEven(numbers::leadingNumber(freqText)));
}

} // namespace kelvora::typedtext

namespace kelvora::typedtext {

std::string refusal(std::string_view model, std::string_view freqText) {
    return std::string(model) + " cannot take " + std::string(freqText) + " Hz";
}

} // namespace kelvora::typedtext
