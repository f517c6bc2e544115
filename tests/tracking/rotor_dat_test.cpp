// rotor.dat read from its text: the corrections kept, and the first fault named by its line.
#include "tracking/rotor_dat.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvora {
namespace {

std::string fullSet(std::string_view az0 = "7") {
    std::string text;
    for (std::size_t i = 0; i < kRotorDatLines; ++i) {
        text += std::to_string(i % 361) + "," + (i == 0 ? std::string(az0) : "0") + "\r\n";
    }
    return text;
}

TEST(RotorDatTest, CorrectionsAreTheSecondNumber) {
    std::string text;
    for (int i = 0; i <= 360; ++i) {
        text += std::to_string(i) + "," + (i == 123 ? "1.5" : "0") + "\r\n";
    }
    for (int i = 0; i <= 90; ++i) {
        text += std::to_string(i) + "," + (i == 45 ? "-2" : "0") + "\n";
    }
    RotorDat dat = parseRotorDat(text);
    EXPECT_EQ(dat.fault, "");
    EXPECT_EQ(dat.az[123], "1.5");
    EXPECT_EQ(dat.az[360], "0");
    EXPECT_EQ(dat.el[45], "-2");
    EXPECT_EQ(dat.el[90], "0");
}

// A damaged file keeps what it holds: a lone value fills its own degree, the rest stay empty.
TEST(RotorDatTest, ADamagedFileKeepsWhatWasRead) {
    RotorDat dat = parseRotorDat("0,1\r\n1,2\r\n2,x\r\n3");
    EXPECT_EQ(dat.fault, "line 3 has the correction \"x\", which is not a number");
    EXPECT_EQ(dat.az[0], "1");
    EXPECT_EQ(dat.az[1], "2");
    EXPECT_EQ(dat.az[2], "x");
    EXPECT_EQ(dat.az[3], "3");
    EXPECT_EQ(dat.az[4], "");
    EXPECT_EQ(dat.el[0], "");
}

// A hand-edited file: trailing blank lines are no records; every fault names its line.
TEST(RotorDatTest, FaultsNameTheirLine) {
    const std::string kSets = " (azimuth 0 to 360, then elevation 0 to 90)";
    struct Case {
        std::string text;
        std::string fault;
        std::string az0;
    } cases[] = {
        {fullSet() + "\r\n \r\n", "", "7"},
        {fullSet() + fullSet("9"), "", "9"},
        {defaultRotorDat(), "", "0"},
        {"", "it is empty", ""},
        {"\r\n", "it is empty", ""},
        {"0,7\r\n\r\n1,0\r\n", "line 2 is blank", "7"},
        {"0,7\r\n1\r\n", "line 2 holds one value instead of two", "7"},
        {"0,7\r\n1,0,0\r\n", "line 2 holds 3 values instead of two", "7"},
        {"a,7\r\n", "line 1 has the index \"a\", which is not a number", "7"},
        {"0,7\r\n1,0\r\n\r\n", "it ends at line 2, before line 452" + kSets, "7"},
        {fullSet() + "0,0\r\n", "it has 453 lines, not a whole number of sets of 452" + kSets, "0"},
    };
    for (const Case& c : cases) {
        RotorDat dat = parseRotorDat(c.text);
        EXPECT_EQ(dat.fault, c.fault) << c.text.substr(0, 40);
        EXPECT_EQ(dat.az[0], c.az0) << c.text.substr(0, 40);
    }
}

} // namespace
} // namespace kelvora
