// The state line: the cause that wins when several hold, and the history's one entry per cause.
#include "tracking/state_line.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

StateFacts tracking() {
    StateFacts f;
    f.tracking = true;
    f.elevationDeg = 20;
    return f;
}

TEST(StateLine, TheHighestCauseThatHoldsIsShownInItsOwnWords) {
    struct Case {
        const char* what;
        void (*change)(StateFacts&);
        const char* text;
    };
    const Case cases[] = {
        {"computed", [](StateFacts&) {}, "Tracking the Moon (computed)"},
        {"file", [](StateFacts& f) { f.fromFile = true; }, "Tracking the Moon (WSJT-X file)"},
        {"sun", [](StateFacts& f) { f.body = "Sun"; }, "Tracking the Sun (computed)"},
        {"below, rise known",
         [](StateFacts& f) {
             f.elevationDeg = -61.5;
             f.riseMinuteUtc = 4 * 60 + 12;
         },
         "Moon below the horizon: \u221261.5°, rises 04:12 UTC"},
        {"below, no place", [](StateFacts& f) { f.elevationDeg = -0.04; },
         "Moon below the horizon: 0.0°"},
        {"below outranks a hold",
         [](StateFacts& f) {
             f.elevationDeg = -3;
             f.holdReason = "Held by the threshold";
         },
         "Moon below the horizon: \u22123.0°"},
        {"transmitting outranks below",
         [](StateFacts& f) {
             f.elevationDeg = -3;
             f.heldWhileTransmitting = true;
         },
         "Held while transmitting"},
        {"parked outranks transmitting",
         [](StateFacts& f) {
             f.heldWhileTransmitting = true;
             f.parked = true;
         },
         "Parked"},
        {"a lost port outranks parked",
         [](StateFacts& f) {
             f.parked = true;
             f.rotorPortLost = true;
         },
         "Rotor port lost, retrying"},
        {"parked after Stop", [](StateFacts& f) { f.tracking = false, f.parked = true; }, "Parked"},
        {"the planned path with tracking",
         [](StateFacts& f) { f.pathText = "overlap planning is off"; },
         "Tracking the Moon (computed); overlap planning is off"},
        {"WSJT-X gone while tracking", [](StateFacts& f) { f.wsjtxGone = true; },
         "Tracking the Moon (computed); WSJT-X gone"},
        {"a tripped interlock outranks parked",
         [](StateFacts& f) {
             f.parked = true;
             f.interlockReason = "rotor parked";
         },
         "Transmit interlock: rotor parked"},
        {"a lost port after Stop is no news",
         [](StateFacts& f) { f.tracking = false, f.rotorPortLost = true; },
         "Not tracking: Start in the menu bar begins"},
        {"another hold", [](StateFacts& f) { f.holdReason = "Held: outside Move_Seconds"; },
         "Held: outside Move_Seconds"},
    };
    for (const Case& c : cases) {
        StateFacts f = tracking();
        c.change(f);
        EXPECT_EQ(describeState(f).text, c.text) << c.what;
    }
}

TEST(StateLine, HistoryTakesOneEntryPerCauseAndKeepsTheNewestTwenty) {
    StateHistory history;
    StateFacts f = tracking();
    EXPECT_TRUE(history.note(describeState(f), "00:00:01"));
    f.elevationDeg = -1;
    EXPECT_TRUE(history.note(describeState(f), "00:00:02"));
    f.elevationDeg = -1.1; // the same cause in other words: no new entry
    EXPECT_FALSE(history.note(describeState(f), "00:00:03"));
    ASSERT_EQ(history.entries().size(), 2u);
    EXPECT_EQ(history.entries().back(), "00:00:02  Moon below the horizon: \u22121.0°");
    for (int i = 0; i < 30; ++i) {
        f.parked = i % 2 == 0;
        history.note(describeState(f), std::to_string(i));
    }
    ASSERT_EQ(history.entries().size(), kStateHistorySize);
    EXPECT_EQ(history.entries().back(), "29  Moon below the horizon: \u22121.1°");
}

} // namespace
} // namespace kelvora
