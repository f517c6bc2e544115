// Firstnum, PickWord, Firststring and what a read-out shows.
#include "rotor/reply_text_protocol.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(Firstnum, LongestLeadingNumber) {
    struct Case {
        std::string text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"179.5 EL=30.0/29.8", 179.5},
        {"  -2.5xyz", -2.5},
        {"+7", 7},
        {"12.", 12},
        {".5 ", 0.5},
        {"3-4", 3},
        {"1.2.3", 1.2},
        {"45\r\nKelvora>>", 45},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"abc", std::nullopt},
        {". 5", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Firstnum(c.text), c.value) << c.text;
    }
}

TEST(Firstnum, LongTextsStayCheap) {
    std::string chatter(200000, '-');
    EXPECT_EQ(Firstnum(chatter), std::nullopt);
    EXPECT_EQ(Firstnum("1" + chatter), 1.0);
}

TEST(Firststring, Tokens) {
    EXPECT_EQ(Firststring("AZ\r\n"), "AZ");
    EXPECT_EQ(Firststring("   01: ok"), "01:");
    EXPECT_EQ(Firststring("a\tb"), "a");
    EXPECT_EQ(Firststring("a\bb"), "a");
    EXPECT_EQ(Firststring("   "), "");
    EXPECT_EQ(Firststring(""), "");
    EXPECT_EQ(Firststring("\r01:"), ""); // only spaces are skipped
}

TEST(PickWord, Words) {
    EXPECT_EQ(PickWord("  01: ok", 1), "01:");
    EXPECT_EQ(PickWord("  01: ok", 2), "ok");
    EXPECT_EQ(PickWord("  01: ok", 3), "");
    EXPECT_EQ(PickWord("AZ 123.0   EL 45.5", 4), "45.5");
    EXPECT_EQ(PickWord("01:\r\nKelvora>>", 1), "01:");
    EXPECT_EQ(PickWord("", 1), "");
    EXPECT_EQ(PickWord("x", 0), "");
}

TEST(IsControl, OnlyBackspaceTabLineFeedAndReturn) {
    for (int b = 0; b < 256; ++b) {
        bool expected = b == 8 || b == 9 || b == 10 || b == 13;
        EXPECT_EQ(IsControl(static_cast<unsigned char>(b)), expected) << b;
    }
}

TEST(Showable, DropsControlCharacters) {
    EXPECT_EQ(rotor::showable("45.6\r"), "45.6");
    EXPECT_EQ(rotor::showable(std::string("1\0"
                                          "2\n3\x7f",
                                          6)),
              "123");
    EXPECT_EQ(rotor::showable("AZ 1"), "AZ 1");
}

} // namespace
} // namespace kelvora
