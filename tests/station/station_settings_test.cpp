// The [Station] settings: the second ranges and a park position outside the limits.
#include "station/station_settings.h"

#include <gtest/gtest.h>

namespace kelvora::station {
namespace {

TEST(StationSettings, SecondRanges) {
    const struct {
        const char* text;
        std::size_t count;
        int in, out; // a second inside and one outside (-1: none)
        const char* error;
    } cases[] = {{"", 60, 0, -1, ""},
                 {"50-59", 10, 59, 49, ""},
                 {" 0-4, 30-34 ", 10, 30, 5, ""},
                 {"7", 1, 7, 8, ""},
                 {"59-50", 0, 0, 0, "reversed"},
                 {"a-b", 0, 0, 0, "not a second"},
                 {"10-60", 0, 0, 0, "outside"},
                 {"1,,2", 0, 0, 0, "empty"},
                 {"-3", 0, 0, 0, "outside"},
                 {"1.5", 0, 0, 0, "not a second"}};
    for (const auto& c : cases) {
        Parsed<std::bitset<60>> parsed = parseSecondRanges(c.text);
        const std::optional<std::bitset<60>>& s = parsed.value;
        const std::string& error = parsed.error;
        ASSERT_EQ(s.has_value(), *c.error == '\0') << c.text << ": " << error;
        if (s) {
            EXPECT_EQ(s->count(), c.count) << c.text;
            EXPECT_TRUE(s->test(static_cast<std::size_t>(c.in))) << c.text;
            EXPECT_TRUE(c.out < 0 || !s->test(static_cast<std::size_t>(c.out))) << c.text;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        }
    }
}

TEST(StationSettings, AParkPositionOutsideTheLimitsIsNamedButHoldsNothing) {
    using Keys = std::map<std::string, std::string>;
    const struct {
        Keys keys;
        const char* parkError;
    } cases[] = {
        {{}, ""},
        {{{"Park_El", "-5"}}, ""}, // no limit set: as before
        {{{"Az_Min", "100"}, {"Park_Az", "50"}},
         "[Station] Park_Az: 50.0 0.0 is outside the limits 100.0..360.0 0.0..90.0"},
        {{{"El_Min", "5"}}, "[Station] Park_El: 180.0 0.0 is outside the limits"},
        {{{"Az_Max", "90"}, {"El_Min", "5"}}, "[Station] Park_Az, Park_El: 180.0 0.0"},
    };
    for (const auto& c : cases) {
        StationSettings s = parseStationSettings(c.keys);
        EXPECT_EQ(s.parkError.rfind(c.parkError, 0), 0u) << s.parkError;
        EXPECT_EQ(s.parkError.empty(), *c.parkError == '\0') << s.parkError;
        EXPECT_TRUE(s.errors.empty());
    }
}

// The rules before Start hold a StationSettings as constructed: it must be the schema's defaults.
TEST(StationSettings, TheUnreadSettingsAreTheSchemaDefaults) {
    StationSettings unread, read = parseStationSettings(std::map<std::string, std::string>{});
    for (auto field :
         {&StationSettings::azMin, &StationSettings::azMax, &StationSettings::elMin,
          &StationSettings::elMax, &StationSettings::moveThreshold, &StationSettings::parkAz,
          &StationSettings::parkEl, &StationSettings::staleSeconds}) {
        EXPECT_EQ(unread.*field, read.*field);
    }
    EXPECT_EQ(unread.holdTx, read.holdTx);
    EXPECT_EQ(unread.moveSeconds, read.moveSeconds);
    EXPECT_TRUE(read.errors.empty());
}

} // namespace
} // namespace kelvora::station
