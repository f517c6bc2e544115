// Fuzzes the reply text tools: Firstnum, Firststring and PickWord.
#include "fuzz_input.h"
#include "rotor/reply_text_protocol.h"
#include "state/numbers.h"

#include <cmath>

using kelvora::fuzz::check;

namespace {

bool hasBreak(std::string_view token) {
    for (char c : token) {
        if (c == ' ' || kelvora::IsControl(static_cast<unsigned char>(c))) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvora::fuzz::FuzzInput in(data, size);
    int n = in.value<std::int8_t>();
    std::string_view text = in.rest();

    std::optional<double> number = kelvora::Firstnum(text);
    if (number) {
        check(std::isfinite(*number), "Firstnum is finite");
        check(kelvora::Firstnum(" " + std::string(text)) == number,
              "blanks in front do not change Firstnum");
        check(kelvora::Firstnum(std::string(text) + "x") == number,
              "a letter after the text does not change Firstnum");
        std::string shown = kelvora::numbers::toText(*number);
        check(kelvora::Firstnum(shown).has_value(), "Firstnum reads its own value", shown);
    }

    std::string first = kelvora::Firststring(text);
    check(!hasBreak(first), "Firststring gives one token", first);
    check(first.empty() || text.find(first) != std::string_view::npos,
          "Firststring is part of the text");
    check(kelvora::PickWord(text, 1) == first, "the first word is the first token");

    std::string word = kelvora::PickWord(text, n);
    check(!hasBreak(word), "PickWord gives one token", word);
    check(word.empty() || text.find(word) != std::string_view::npos,
          "PickWord is part of the text");
    if (n < 1) {
        check(word.empty(), "there is no word before the first");
    }
    return 0;
}
