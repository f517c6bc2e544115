// The number rules every part of the program relies on.
#include "state/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvora::numbers {
namespace {

TEST(NumbersTest, LeadingDecimalNumber) {
    const std::pair<const char*, double> cases[] = {
        {"144000", 144000}, {" 45.6", 45.6}, {"-2.5x", -2.5}, {"12abc", 12},  {"abc", 0}, {"", 0},
        {".5", 0.5},        {"1,5", 1},      {"+7", 7},       {"1.2.3", 1.2}, {"-", 0},   {".", 0}};
    for (auto [text, value] : cases) {
        EXPECT_DOUBLE_EQ(leadingNumber(text), value) << text;
    }
}

TEST(NumbersTest, StrictConversionFailsOnAnythingButANumber) {
    LocaleSeparators comma{".", ","};
    EXPECT_EQ(strictNumber(" 125 "), 125);
    EXPECT_EQ(strictNumber("-1200.5"), -1200.5);
    EXPECT_EQ(strictNumber("12,5", comma), 12.5);
    EXPECT_EQ(strictNumber("12.5", comma), 12.5);
    for (const char* bad : {"", "  ", "12a", "a12", "1 2", "--1", "."}) {
        EXPECT_FALSE(strictNumber(bad)) << bad;
    }
}

TEST(NumbersTest, HexAddresses) {
    EXPECT_EQ(hexNumber("94"), 148);
    EXPECT_EQ(hexNumber("A2"), 162);
    EXPECT_EQ(hexNumber("a2"), 162);
    EXPECT_EQ(hexNumber(""), 0);
    EXPECT_EQ(hexNumber("1G"), 1);
    EXPECT_EQ(hexNumber("100"), 256);
}

TEST(NumbersTest, HalvesRoundToTheEvenNeighbour) {
    const std::pair<double, long long> cases[] = {{0.5, 0},     {1.5, 2}, {2.5, 2}, {-0.5, 0},
                                                  {-1.5, -2},   {2.4, 2}, {2.6, 3}, {123.0, 123},
                                                  {359.5, 360}, {NAN, 0}};
    for (auto [value, rounded] : cases) {
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    }
}

TEST(NumbersTest, TextKeepsWholeHertzAndHalves) {
    EXPECT_EQ(toText(144125000), "144125000");
    EXPECT_EQ(toText(144125500.5), "144125500.5");
    EXPECT_EQ(toText(1296050000), "1296050000");
    EXPECT_EQ(toText(-2), "-2");
    EXPECT_EQ(toText(0.1 + 0.2), "0.3");
    EXPECT_EQ(toText(-0.0), "0");
    EXPECT_EQ(toText(1e16), "10000000000000000");
    EXPECT_EQ(roundTrip(14412550.05), "14412550.05");
}

TEST(NumbersTest, Formats) {
    EXPECT_EQ(padLeft("7", 3), "007");
    EXPECT_EQ(padLeft("1234", 3), "1234");
    EXPECT_EQ(formatAtLeast3("  5"), "005");
    EXPECT_EQ(formatAtLeast3("125"), "125");
    EXPECT_EQ(formatAtLeast3("1296"), "1296");
    EXPECT_EQ(formatAtLeast3("abc"), "abc");
    EXPECT_EQ(formatAtLeast3(""), "");
    EXPECT_EQ(formatThousands(144125000), "144,125,000");
    EXPECT_EQ(formatThousands(144125000, {".", ","}), "144.125.000");
    EXPECT_EQ(formatThousands(999), "999");
    EXPECT_EQ(formatThousands(1000), "1,000");
    EXPECT_EQ(formatThousands(-1200), "-1,200");
    EXPECT_EQ(formatThousands(0), "");
}

TEST(NumbersTest, PositionsCountFromOne) {
    EXPECT_EQ(findFrom1("abcabc", "c"), 3u);
    EXPECT_EQ(findFrom1("abcabc", "c", 4), 6u);
    EXPECT_EQ(findFrom1("abc", "x"), 0u);
    EXPECT_EQ(findFrom1("abc", "a", 9), 0u);
    EXPECT_EQ(mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(mid("abcdef", 5, 9), "ef");
    EXPECT_EQ(mid("abc", 9, 2), "");
    EXPECT_FALSE(mid("abc", 0, 2));
    EXPECT_FALSE(mid("abc", -4, 2));
}

} // namespace
} // namespace kelvora::numbers
