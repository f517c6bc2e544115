// The horizon mask: its text, its errors and the elevation between its points.
#include "station/horizon_mask.h"

#include <gtest/gtest.h>

namespace kelvora::station {
namespace {

TEST(HorizonMask, ErrorsNameTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"# mask\n0,5\n\n20,3 # tree\n10,4\n", "Horizon file m.txt, line 5: azimuth 10 is below"},
        {"0,5\r\n0,6\r\n", "Horizon file m.txt, line 2: azimuth 0 is repeated"},
        {"0,5\nnorth,6\n", "Horizon file m.txt, line 2: \"north,6\" is not two numbers"},
        {"0;5\n", "Horizon file m.txt, line 1: \"0;5\" is not \"azimuth,elevation\""},
        {"400,5\n", "Horizon file m.txt, line 1: azimuth 400 is outside 0..360"},
        {"# only a comment\n", "Horizon file m.txt: no points"},
        {"\xEF\xBB\xBF"
         "0,10\n0,12\n",
         "Horizon file m.txt, line 2: azimuth 0 is repeated"},
    };
    for (const auto& c : cases) {
        Parsed<HorizonMask> m = HorizonMask::parse(c.text, "m.txt");
        EXPECT_FALSE(m) << c.text;
        EXPECT_EQ(m.error.rfind(c.error, 0), 0u) << m.error;
    }
}

TEST(HorizonMask, FromAWindowsEditorWithAByteOrderMark) {
    Parsed<HorizonMask> m = HorizonMask::parse("\xEF\xBB\xBF"
                                               "0,10\r\n180,30\r\n",
                                               "m");
    ASSERT_TRUE(m) << m.error;
    EXPECT_NEAR(m.value->elevationAt(90), 20, 1e-9);
}

TEST(HorizonMask, InterpolatesAndWrapsAcross360) {
    HorizonMask m = *HorizonMask::parse("90,10 # east\n270,30\n", "m").value;
    const struct {
        double az, el;
    } cases[] = {{90, 10},  {180, 20}, {270, 30}, {0, 20},   {360, 20},
                 {-90, 30}, {45, 15},  {315, 25}, {720, 20}, {89.99, 10.0011}};
    for (const auto& c : cases) {
        EXPECT_NEAR(m.elevationAt(c.az), c.el, 1e-3) << c.az;
    }
}

} // namespace
} // namespace kelvora::station
