// The typed-text frequency: whole hertz, halves to the even neighbour.
#include "radio/typed_text_protocol.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(TypedText, WholeHertzText) {
    struct Case {
        const char* text;
        const char* whole;
    } cases[] = {
        {"144125000", "144125000"},   {"0144125000", "0144125000"}, // digits are left as they are
        {"144124499.5", "144124500"}, {"144124498.5", "144124498"}, // halves to even
        {"14074000.7", "14074001"},   {"14074000.25", "14074000"},  {"-5", "-5"}, {"", "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(typedtext::wholeHertzText(c.text), c.whole) << c.text;
    }
}

} // namespace
} // namespace kelvora
