// The frequency text of the typed-text CAT commands ("FA...;"): whole hertz only.
#pragma once

#include <string>
#include <string_view>

namespace kelvora::typedtext {

// The frequency text in whole hertz: a text of digits as it is, any other text read as a number
// and rounded to the whole hertz, halves to the even neighbour ("144124499.5" gives "144124500").
std::string wholeHertzText(std::string_view freqText);

// True for a non-empty text of decimal digits only.
bool allDigits(std::string_view text);

} // namespace kelvora::typedtext

namespace kelvora::typedtext {

// The status text for a frequency a model's command cannot carry: "TS-2000 cannot take 7074000 Hz".
std::string refusal(std::string_view model, std::string_view freqText);

} // namespace kelvora::typedtext
