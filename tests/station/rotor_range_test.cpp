// [Rotor_Range]: the checks that hold the rotor, and the mechanical azimuth without a plan.
#include "station/rotor_range.h"

#include <gtest/gtest.h>

#include <map>

namespace kelvora::station {
namespace {

TEST(RotorRange, ChecksNameTheKeyAndTheType) {
    const struct {
        std::map<std::string, std::string> keys;
        const char* type;
        double low, high; // read, when no error
        const char* error;
    } cases[] = {
        {{}, "GS232", 0, 360, ""},
        {{{"Az_High", "450"}}, "GS232", 0, 450, ""},
        {{{"Az_Low", "-180"}, {"Az_High", "540"}}, "SpidRas(az/el) 1 deg", -180, 540, ""},
        {{{"Az_Low", "-180"}, {"Az_High", "180"}}, "Hamlib rotctld", -180, 180, ""},
        {{{"Az_High", "350"}}, "GS232", 0, 360, "[Rotor_Range] Az_Low, Az_High: 0..350 spans 350"},
        {{{"Az_Low", "-180"}, {"Az_High", "600"}}, "SpidRak(az)", 0, 360, "spans 780"},
        {{{"Az_Low", "-180"}, {"Az_High", "180"}}, "GS232", 0, 360, "more than GS232"},
        {{{"Az_High", "450"}}, "EasyComm", 0, 360, "(0..360)"},
        {{{"El_High", "120"}}, "GS232", 0, 360, "[Rotor_Range] El_High: 120 is neither 90"},
        {{{"Flip", "yes"}}, "GS232", 0, 360, "[Rotor_Range] Flip"},
        {{{"Az_High", "450"}}, "None", 0, 450, ""},
    };
    for (const auto& c : cases) {
        auto lookup = [&c](std::string_view key) -> std::optional<std::string> {
            auto it = c.keys.find(std::string(key));
            return it == c.keys.end() ? std::nullopt : std::optional(it->second);
        };
        StationSettings s =
            parseStationWithRange([](std::string_view) { return std::nullopt; }, lookup, c.type);
        std::string errors;
        for (const std::string& e : s.errors) {
            errors += e + "\n";
        }
        if (*c.error == '\0') {
            EXPECT_TRUE(s.errors.empty()) << c.type << ": " << errors;
            EXPECT_EQ(s.range.azLow, c.low) << c.type;
            EXPECT_EQ(s.range.azHigh, c.high) << c.type;
        } else {
            EXPECT_NE(errors.find(c.error), std::string::npos) << c.type << ": " << errors;
        }
    }
}

// Without a plan the rotor takes the branch nearest the last command, with some hysteresis.
TEST(RotorRange, NearestBranchWithoutAPlan) {
    const RotorRange overlap{0, 450, 90, false}, wide{-180, 540, 90, false};
    const struct {
        double sky;
        std::optional<double> last;
        const RotorRange& range;
        double mech;
    } cases[] = {
        {10, std::nullopt, overlap, 10},
        {10, 355.0, overlap, 370},
        {80, 440.0, overlap, 440},
        {359, 5.0, overlap, 359}, // the only branch: the unwind a plan avoids
        {200, std::nullopt, wide, 200},
        {175, -170.0, wide, 175},
        {190, -175.0, wide, -170},
        // 377 is nearer than 17 by less than the hysteresis: the branch last used is kept.
        {17, 200.0, wide, 17},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nearestMechanicalAz(c.sky, c.last, c.range), c.mech)
            << c.sky << " from " << c.last.value_or(-999);
    }
}

} // namespace
} // namespace kelvora::station
