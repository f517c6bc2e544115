// Number texts found wrong by fuzzing, kept so they stay right.
#include "rotor/reply_text_protocol.h"
#include "state/numbers.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvora::numbers {
namespace {

// Values of 1e48 and more have plain texts longer than 64 characters; they used to be cut
// short and read back as another number.
TEST(NumbersRegressionTest, LargeValuesKeepAllTheirDigits) {
    for (double value : {1e47, 1e48, 1.5e63, 1e300, -1e300, 1.7976931348623157e308}) {
        std::string text = toText(value);
        EXPECT_EQ(leadingNumber(text), value) << text;
        EXPECT_EQ(roundTrip(value), text);
        EXPECT_EQ(text.find_first_of(".eE"), std::string::npos) << text;
    }
    EXPECT_EQ(toText(1e300).size(), 301u);
    EXPECT_EQ(toText(-1e300).size(), 302u);
}

// A controller reply with a long run of digits: what is shown is the number that was read.
TEST(NumbersRegressionTest, LongDigitRunsShowTheirValue) {
    std::string digits = "1" + std::string(55, '0');
    std::optional<double> value = Firstnum(digits);
    ASSERT_TRUE(value);
    std::string shown = toText(*value);
    EXPECT_EQ(shown.size(), digits.size()) << shown;
    EXPECT_EQ(Firstnum(shown), value) << shown;
}

} // namespace
} // namespace kelvora::numbers
