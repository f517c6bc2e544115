#include "station/transmit_interlock.h"

#include <gtest/gtest.h>

namespace kelvora::station {
namespace {

// A polled rotor with feedback, on target, its reply fresh: nothing stops transmitting.
InterlockInput onTarget() {
    InterlockInput in;
    in.rotor = true;
    in.feedback = true;
    in.target = AzElTarget{120, 30};
    in.measured = AzElTarget{121, 30.5};
    in.positionAgeSeconds = 2;
    return in;
}

TEST(TransmitInterlock, TripsOnEveryCauseTheRotorCanKnow) {
    InterlockSettings on;
    on.enabled = true;
    struct Case {
        const char* what;
        void (*change)(InterlockInput&);
        const char* withFeedback;    // the cause said; "" for none
        const char* withoutFeedback; // the same station, the rotor without feedback
    };
    const Case cases[] = {
        {"on target", [](InterlockInput&) {}, "", ""},
        // 2.2 degrees of azimuth and 0.5 of elevation at elevation 30 are 1.97 on the sky.
        {"azimuth error within on the sky", [](InterlockInput& in) { in.measured->az = 122.2; }, "",
         ""},
        {"off target",
         [](InterlockInput& in) {
             in.measured = AzElTarget{120, 27.5};
         },
         "antenna 2.5 deg off target", ""},
        {"off target across north",
         [](InterlockInput& in) {
             in.target = AzElTarget{359.5, 10};
             in.measured = AzElTarget{0.5, 10};
         },
         "", ""},
        {"stale position", [](InterlockInput& in) { in.positionAgeSeconds = 10.5; },
         "no rotor position for over 10.0 s", ""},
        {"line lost", [](InterlockInput& in) { in.lost = "rotor line"; }, "rotor line lost",
         "rotor line lost"},
        {"parked", [](InterlockInput& in) { in.pause = StationState::Pause::Parked; },
         "antenna parked", "antenna parked"},
        {"stopped", [](InterlockInput& in) { in.pause = StationState::Pause::Stopped; },
         "antenna stopped", "antenna stopped"},
        {"held by the mask", [](InterlockInput& in) { in.targetHeld = "Below horizon mask"; },
         "target held: Below horizon mask", "target held: Below horizon mask"},
        {"no rotor at all",
         [](InterlockInput& in) {
             in.rotor = false;
             in.lost = "rotor line";
         },
         "", ""},
    };
    for (const Case& c : cases) {
        InterlockInput in = onTarget();
        c.change(in);
        EXPECT_EQ(interlockCause(in, on), c.withFeedback) << c.what;
        in.feedback = false;
        in.measured.reset();
        EXPECT_EQ(interlockCause(in, on), c.withoutFeedback) << c.what;
        EXPECT_EQ(interlockCause(in, InterlockSettings{}), "") << c.what << " while disabled";
    }
}

TEST(TransmitInterlock, ClearsOnlyAfterTheCauseIsGoneThreeSeconds) {
    InterlockHold hold;
    EXPECT_FALSE(hold.update("", 0));
    EXPECT_TRUE(hold.update("rotor line lost", 1));
    EXPECT_TRUE(hold.update("", 2));
    EXPECT_TRUE(hold.update("antenna parked", 3)); // a cause again restarts the wait
    EXPECT_EQ(hold.reason(), "antenna parked");
    EXPECT_TRUE(hold.update("", 5.9));
    EXPECT_FALSE(hold.update("", 6));
    EXPECT_EQ(hold.reason(), "");
}

TEST(TransmitInterlock, SettingsAndSkyAngle) {
    InterlockSettings s =
        parseInterlockSettings([](std::string_view key) -> std::optional<std::string> {
            if (key == "Enabled") {
                return "1";
            }
            return key == "Max_Error_Deg" ? std::optional<std::string>("abc") : std::nullopt;
        });
    EXPECT_TRUE(s.enabled);
    ASSERT_EQ(s.errors.size(), 1u);
    EXPECT_EQ(s.errors[0], "[Interlock] Max_Error_Deg: \"abc\" is not a number");
    EXPECT_EQ(s.stalePositionSeconds, 10);
    // At the zenith every azimuth is the same direction.
    EXPECT_NEAR(skyAngleDeg({0, 90}, {180, 90}), 0, 1e-9);
    EXPECT_NEAR(skyAngleDeg({10, 0}, {190, 0}), 180, 1e-9);
}

} // namespace
} // namespace kelvora::station
