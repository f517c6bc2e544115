// Corrections, limits and the overhead flip of the rotor angles.
#include "rotor/angles_protocol.h"

#include <gtest/gtest.h>

namespace kelvora::rotor {
namespace {

// Tables named as the run state names them.
struct Tables {
    std::array<std::string, 361> Az_correction{};
    std::array<std::string, 91> El_correction{};
    operator Corrections() const { return {Az_correction, El_correction}; }
};

TEST(RotorAngles, CommonPreparation) {
    Tables rs;
    rs.Az_correction[359] = "3"; // pushes past 360
    rs.Az_correction[2] = "-5";  // pushes below 0
    rs.Az_correction[100] = "1.5";
    rs.El_correction[90] = "2";
    rs.El_correction[85] = "-1";
    rs.El_correction[1] = "-4";
    rs.El_correction[10] = "abc"; // not a number: 0
    struct Case {
        double az, el;
        bool sent;
        double wantAz, wantEl;
    };
    const Case cases[] = {
        {0, 0, true, 0, 0},         {359, 45, true, 360, 45}, {2, 45, true, 0, 45},
        {100, 10, true, 101.5, 10}, {10, 90, true, 10, 90},   {10, 95, true, 10, 84},
        {10, 1, true, 10, 0},       {10, -2, false, 0, 0},    {10, -0.5, false, 0, 0},
        {360, 0, true, 360, 0},     {361, 0, false, 0, 0},    {10, 181, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.az << " " << c.el);
        std::optional<AzEl> got = prepareAzEl(c.az, c.el, rs);
        ASSERT_EQ(got.has_value(), c.sent);
        if (got) {
            EXPECT_DOUBLE_EQ(got->az, c.wantAz);
            EXPECT_DOUBLE_EQ(got->el, c.wantEl);
        }
    }
}

// Mechanical angles: the corrections of the sky direction, the range's own limits, and the
// elevation past 90 kept on an axis that goes over the top.
TEST(RotorAngles, MechanicalAnglesPastTheCircleAndOverTheTop) {
    Tables rs;
    rs.Az_correction[10] = "2";
    rs.El_correction[30] = "1";
    const MechanicalLimits overlap{0, 450, 90}, overTop{0, 360, 180}, southStop{-180, 180, 90};
    const struct {
        double az, el;
        const MechanicalLimits& limits;
        double wantAz, wantEl;
    } cases[] = {
        {370, 30, overlap, 372, 31}, // corrected at sky azimuth 10
        {449, 45, overlap, 449, 45},     {460, 45, overlap, 450, 45},
        {190, 150, overTop, 190, 149}, // over the top: the correction of elevation 30, mirrored
        {190, 150, overlap, 190, 31},  // El_High 90: flown as 180 - el, as always
        {-170, 30, southStop, -170, 31}, {-350, 5, southStop, -180, 5},
    };
    for (const auto& c : cases) {
        std::optional<AzEl> got = prepareMechanical(c.az, c.el, rs, c.limits);
        ASSERT_TRUE(got) << c.az;
        EXPECT_DOUBLE_EQ(got->az, c.wantAz) << c.az << " " << c.el;
        EXPECT_DOUBLE_EQ(got->el, c.wantEl) << c.az << " " << c.el;
    }
}

TEST(RotorAngles, AzimuthOnlyHasNoHorizonAndKeepsLimits) {
    Tables rs;
    rs.Az_correction[360] = "4";
    EXPECT_EQ(prepareAz(360, rs), 360.0);
    EXPECT_EQ(prepareAz(0, rs), 0.0);
    EXPECT_EQ(prepareAz(-1, rs), std::nullopt); // no table entry
}

TEST(RotorAngles, DecimalAngles) {
    Tables rs;
    rs.Az_correction[180] = "0.1";
    rs.El_correction[85] = "7";
    struct Case {
        const char *azText, *elText;
        double azInt, elInt;
        bool sent;
        const char *az, *el;
    };
    const Case cases[] = {
        {"180.25", "12", 180, 12, true, "180.35", "12.0"},
        {"123.4", "45", 123, 45, true, "123.4", "45.0"},
        {"10", "95.0", 10, 95, true, "10.0", "78"}, // 95 + 7 = 102, over the top: 78
        {"10", "-0.5", 10, 0, false, "", ""},
        {"10", "89.5", 10, 89, true, "10.0", "89.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.azText + std::string(" ") + c.elText);
        std::optional<AzElText> got = decimalAngles(c.azText, c.elText, c.azInt, c.elInt, rs);
        ASSERT_EQ(got.has_value(), c.sent);
        if (got) {
            EXPECT_EQ(got->az, c.az);
            EXPECT_EQ(got->el, c.el);
        }
    }
}

} // namespace
} // namespace kelvora::rotor
