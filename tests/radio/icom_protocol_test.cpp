// CI-V encoders: BCD digits, frames, addresses.
#include "radio/icom_protocol.h"

#include "radio_test_support.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using radiotest::fromHex;
using radiotest::hex;

TEST(IcomBcd, DigitPairsLeastSignificantFirst) {
    struct Case {
        double hz;
        const char* bytes;
    } cases[] = {
        {144125000, "00 50 12 44 01"},
        {1296100000, "00 00 10 96 12"},  // ten digits use all five bytes
        {144125000.7, "00 50 12 44 01"}, // fractional hertz are dropped, not rounded
        {7074000, "00 40 07 07 00"},
        {0, "00 00 00 00 00"},
        {9999999999, "99 99 99 99 99"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> bcd = icom::frequencyBcd(c.hz);
        ASSERT_TRUE(bcd) << c.hz;
        EXPECT_EQ(hex(*bcd), c.bytes) << c.hz;
    }
}

TEST(IcomBcd, RefusesWhatTenDigitsCannotHold) {
    for (double hz : {-1.0, -0.5, 1e10, 12345678901.0}) {
        EXPECT_FALSE(icom::frequencyBcd(hz)) << hz;
    }
}

TEST(IcomFrame, AddressMustBeOneByte) {
    EXPECT_EQ(hex(*icom::frame(0xFF, 0x07, fromHex("D0"))), "FE FE FF E0 07 D0 FD");
    EXPECT_EQ(hex(*icom::frame(0x00, 0x07)), "FE FE 00 E0 07 FD");
    EXPECT_FALSE(icom::frame(0x100, 0x07));
    EXPECT_FALSE(icom::frame(-1, 0x07));
    EXPECT_EQ(hex(*icom::powerFrame(0x88, true)), "FE FE FE 88 E0 18 01 FD");
    EXPECT_FALSE(icom::powerFrame(0x1FF, false));
    EXPECT_EQ(hex(*icom::selectFrame(0x10, icom::kSubBand)), "FE FE 10 E0 07 D1 FD");
}

// Each reason a frequency frame cannot be built is told apart; the address is looked at first.
TEST(IcomFrame, FrequencyFrameProblems) {
    struct Case {
        int address;
        double hz;
        const char* problem; // nullptr: the frame can be built
    } cases[] = {
        {0x10, 144125000, nullptr},           {0x100, 144125000, icom::kAddressOutOfRange},
        {0x10, 1e10, icom::kFreqOutOfRange},  {0x10, -1, icom::kFreqOutOfRange},
        {-1, 1e10, icom::kAddressOutOfRange},
    };
    for (const Case& c : cases) {
        const char* problem = icom::frequencyFrameProblem(c.address, c.hz);
        EXPECT_STREQ(problem, c.problem) << c.address << " " << c.hz;
        EXPECT_EQ(icom::frequencyFrame(c.address, c.hz).has_value(), c.problem == nullptr);
    }
}

} // namespace
} // namespace kelvora
