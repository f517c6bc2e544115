// Yaesu encoders: the BCD blocks in both byte orders.
#include "radio/yaesu_protocol.h"

#include "radio_test_support.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using radiotest::hex;

TEST(YaesuBcd, BigEndianRoundsToTensHalvesToEven) {
    struct Case {
        double hz;
        const char* bytes;
    } cases[] = {
        {144125000, "14 41 25 00"}, {144125007, "14 41 25 01"}, // 144.12510 MHz
        {144125005, "14 41 25 00"}, // half of ten hertz goes to the even neighbour
        {144125015, "14 41 25 02"}, {199999995, "20 00 00 00"}, // the carry reaches the top digit
        {999999994, "99 99 99 99"}, {0, "00 00 00 00"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> bcd = yaesu::bcdBigEndian(c.hz);
        ASSERT_TRUE(bcd) << c.hz;
        EXPECT_EQ(hex(*bcd), c.bytes) << c.hz;
    }
    for (double hz : {999999995.0, 1e9, 1296000000.0, -10.0}) {
        EXPECT_FALSE(yaesu::bcdBigEndian(hz)) << hz;
    }
}

TEST(YaesuBcd, LittleEndianDropsTheUnits) {
    struct Case {
        double hz;
        const char* bytes;
    } cases[] = {
        {144125000, "00 25 41 14"},
        {144125007, "00 25 41 14"},
        {14074000, "00 74 40 01"},
        {999999999, "99 99 99 99"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> bcd = yaesu::bcdLittleEndian(c.hz);
        ASSERT_TRUE(bcd) << c.hz;
        EXPECT_EQ(hex(*bcd), c.bytes) << c.hz;
    }
    EXPECT_FALSE(yaesu::bcdLittleEndian(1e9));
    EXPECT_FALSE(yaesu::bcdLittleEndian(-1));
}

} // namespace
} // namespace kelvora
