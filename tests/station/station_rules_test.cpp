// Station rules: settings and their errors, the mask, the transmit flag and tick decisions.
#include "station/station_control.h"
#include "station/station_rules.h"

#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

namespace kelvora::station {
namespace {

using Action = Decision::Action;
using Keys = std::map<std::string, std::string>;

// Feeds ticks to the rules as the tracking cycle would, one second apart.
struct Ticker {
    explicit Ticker(const Keys& keys = {}, std::string maskText = "") {
        settings = parseStationSettings(keys);
        if (!maskText.empty()) {
            mask = *HorizonMask::parse(maskText, "mask").value;
        }
    }
    Decision tick(double az, double el, int second = 10, bool tx = false, bool timeMoves = true) {
        now += 1;
        std::string time = std::to_string(timeMoves ? static_cast<int>(now) : 0);
        azText = std::to_string(az), elText = std::to_string(el);
        Decision d = decide({az, el, azText, elText, time, second, now, tx}, settings, mask,
                            maskError, state);
        state = d.next;
        return d;
    }
    StationSettings settings;
    HorizonMask mask;
    std::string maskError, azText, elText;
    StationState state;
    double now = 0;
};

TEST(StationRules, WithDefaultsEveryTargetChangeIsCommandedAtOnceAndNothingElse) {
    Ticker t; // no key at all
    Keys asWritten;
    for (const config::SchemaRow& row : config::settingsSchema()) {
        if (row.section == "Station") {
            asWritten[std::string(row.key)] = std::string(row.defaultText);
        }
    }
    Ticker written(asWritten);
    // Below the horizon, at every second, transmitting: all commanded as before.
    const struct {
        double az, el;
        int second;
        bool tx;
        Action expected;
    } ticks[] = {
        {123.4, 45.6, 0, false, Action::Command}, {123.4, 45.6, 1, false, Action::None},
        {123.5, 45.6, 2, true, Action::Command},  {123.5, -5.0, 59, false, Action::Command},
        {123.5, -5.0, 30, true, Action::None},    {359.9, 0.1, 7, true, Action::Command}};
    for (const auto& c : ticks) {
        for (Ticker* r : {&t, &written}) {
            Decision d = r->tick(c.az, c.el, c.second, c.tx);
            EXPECT_EQ(d.action, c.expected) << c.az << " " << c.el;
            EXPECT_EQ(d.target.az, c.expected == Action::Command ? c.az : 0);
        }
    }
    EXPECT_TRUE(written.settings.errors.empty());
}

TEST(StationRules, BadSettingsNameTheirKeyAndHoldEveryTarget) {
    const struct {
        Keys keys;
        const char* message;
    } cases[] = {
        {{{"Hold_Tx", "yes"}}, "[Station] Hold_Tx: \"yes\" is neither 0 nor 1"},
        {{{"Az_Min", "abc"}}, "[Station] Az_Min: \"abc\" is not a number"},
        {{{"El_Max", "12,5"}}, "[Station] El_Max: \"12,5\" is not a number"},
        {{{"Az_Max", "361"}}, "[Station] Az_Max: 361 is outside 0..360"},
        {{{"El_Min", "-91"}}, "[Station] El_Min: -91 is outside -90..180"},
        {{{"Az_Min", "300"}, {"Az_Max", "60"}}, "[Station] Az_Min, Az_Max: 300 is above 60"},
        {{{"Move_Seconds", "59-50"}}, "[Station] Move_Seconds: \"59-50\" is a reversed range"},
        {{{"Stale_Seconds", "-1"}}, "[Station] Stale_Seconds: -1 is outside 0..86400"},
    };
    for (const auto& c : cases) {
        Ticker t(c.keys);
        ASSERT_EQ(t.settings.errors.size(), 1u) << c.message;
        EXPECT_EQ(t.settings.errors[0], c.message);
        Decision d = t.tick(123.4, 45.6);
        EXPECT_EQ(d.action, Action::Hold);
        EXPECT_EQ(d.reason, std::string("Rotor held: ") + c.message);
        EXPECT_EQ(park(t.settings, t.state).action, Action::Hold);
    }
}

TEST(StationRules, OneDecisionForEveryOriginOfAMove) {
    using O = Origin;
    using V = Verdict;
    const HorizonMask mask = *HorizonMask::parse("0,15\n360,15\n", "m").value;
    const HorizonMask none;
    const Keys limits{{"Az_Min", "100"}, {"El_Min", "0"}, {"El_Max", "80"}};
    const Keys parkOutside{{"Az_Min", "100"}, {"Park_Az", "50"}};
    const Keys tx{{"Hold_Tx", "1"}};
    const Keys window{{"Move_Seconds", "50-59"}};
    const Keys threshold{{"Move_Threshold", "5"}};
    const Keys bad{{"Az_Min", "north"}};
    StationState paused;
    paused.pause = StationState::Pause::Stopped;
    StationState near;
    near.lastCommanded = AzElTarget{150, 20};
    const struct {
        O origin;
        Keys keys;
        const HorizonMask* mask;
        double az, el;
        bool transmitting;
        const StationState* state;
        V verdict;
        const char* reason; // its start
    } cases[] = {
        // The limits: a tracking target waits, a client's P and the manual direction are refused.
        {O::Tracking, limits, &none, 10, 20, false, nullptr, V::Hold, "Outside the azimuth limits"},
        {O::ClientSet, limits, &none, 10, 20, false, nullptr, V::Refuse, "Outside the azimuth"},
        {O::Manual, limits, &none, 150, 85, false, nullptr, V::Refuse, "Outside the elevation"},
        {O::ClientSet, limits, &none, 150, -0.4, false, nullptr, V::Refuse, "Outside the elev"},
        {O::ClientSet, {}, &none, 361, 0, false, nullptr, V::Refuse, "Outside the azimuth"},
        {O::Tracking, {}, &none, 150, -0.4, false, nullptr, V::Send, ""}, // the type judges it
        {O::ParkButton, parkOutside, &none, 0, 0, false, nullptr, V::Refuse, "[Station] Park_Az"},
        {O::ClientPark, parkOutside, &none, 0, 0, false, nullptr, V::Refuse, "[Station] Park_Az"},
        // The mask: the same, but a park position under it is allowed.
        {O::Tracking, {}, &mask, 150, 5, false, nullptr, V::Hold, "Below horizon mask"},
        {O::ClientSet, {}, &mask, 150, 5, false, nullptr, V::Refuse, "Below horizon mask"},
        {O::Manual, {}, &mask, 150, 5, false, nullptr, V::Refuse, "Below horizon mask"},
        {O::ParkButton, {}, &mask, 0, 0, false, nullptr, V::Send, ""},
        // Hold_Tx: the target and a client's P and K wait; Park, Stop and the manual go out.
        {O::Tracking, tx, &none, 160, 40, true, nullptr, V::Hold, "Held while transmitting"},
        {O::ClientSet, tx, &none, 160, 40, true, nullptr, V::Hold, "Held while transmitting"},
        {O::ClientPark, tx, &none, 0, 0, true, nullptr, V::Hold, "Held while transmitting"},
        {O::ParkButton, tx, &none, 0, 0, true, nullptr, V::Send, ""},
        {O::StopButton, tx, &none, 0, 0, true, nullptr, V::Send, ""},
        {O::ClientStop, tx, &none, 0, 0, true, nullptr, V::Send, ""},
        {O::Manual, tx, &none, 160, 40, true, nullptr, V::Send, ""},
        {O::ClientSet, tx, &none, 160, 40, false, nullptr, V::Send, ""},
        // Move_Seconds (this second is 10).
        {O::Tracking, window, &none, 160, 40, false, nullptr, V::Hold, "Waiting for the move"},
        {O::ClientSet, window, &none, 160, 40, false, nullptr, V::Hold, "Waiting for the move"},
        {O::Manual, window, &none, 160, 40, false, nullptr, V::Send, ""},
        // A refusal outweighs a hold.
        {O::ClientSet,
         {{"Az_Min", "100"}, {"Hold_Tx", "1"}},
         &none,
         10,
         20,
         true,
         nullptr,
         V::Refuse,
         "Outside the azimuth"},
        // The threshold and the pause are the tracking target's alone.
        {O::Tracking, threshold, &none, 152, 20, false, &near, V::Hold,
         "Within the move threshold"},
        {O::ClientSet, threshold, &none, 152, 20, false, &near, V::Send, ""},
        {O::Tracking, {}, &none, 152, 20, false, &paused, V::Hold, "Rotor stopped"},
        {O::ClientSet, {}, &none, 152, 20, false, &paused, V::Send, ""},
        // Bad settings stop every move that obeys a rule; Stop still goes out.
        {O::Tracking, bad, &none, 152, 20, false, nullptr, V::Hold, "Rotor held: [Station]"},
        {O::ClientSet, bad, &none, 152, 20, false, nullptr, V::Refuse, "Rotor held: [Station]"},
        {O::ClientStop, bad, &none, 0, 0, false, nullptr, V::Send, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(policyOf(c.origin).name) + " " +
                     (c.keys.empty() ? "mask" : c.keys.begin()->first));
        StationState state = c.state ? *c.state : StationState{};
        MoveDecision d = decideMove({c.origin, {c.az, c.el}}, {10, c.transmitting, 0}, state,
                                    parseStationSettings(c.keys), *c.mask, "");
        EXPECT_EQ(d.verdict, c.verdict);
        EXPECT_EQ(d.reason.rfind(c.reason, 0), 0u) << d.reason;
    }
}

TEST(StationRules, ATargetBelowTheMaskIsHeld) {
    Ticker t({}, "0,15\n360,15\n");
    EXPECT_EQ(t.tick(90, 12).reason, "Below horizon mask: 90.0 12.0 under 15.0");
    EXPECT_EQ(t.tick(90, 15).action, Action::Command);
}

TEST(StationRules, ThresholdMeasuresAzimuthAcrossNorth) {
    const struct {
        double az, el;
        Action expected;
    } ticks[] = {{359.5, 10, Action::Command}, {0.5, 10, Action::Hold},
                 {1.4, 11.9, Action::Hold},    {1.5, 10, Action::Command},
                 {1.5, 11.9, Action::Hold},    {358.0, 12.5, Action::Command}};
    Ticker t(Keys{{"Move_Threshold", "2"}});
    for (const auto& c : ticks) {
        EXPECT_EQ(t.tick(c.az, c.el).action, c.expected) << c.az << " " << c.el;
    }
}

TEST(StationRules, HoldsReportOnceAndTheNewestTargetGoesOutWhenReleased) {
    Ticker t({{"Hold_Tx", "1"}, {"Move_Seconds", "50-59"}, {"Az_Min", "10"}, {"El_Min", "5"}});
    const struct {
        double az, el;
        int second;
        bool tx;
        Action expected;
        const char* reason;
        bool isNew;
    } ticks[] = {
        {123.4, 45.6, 50, true, Action::Hold, "Held while transmitting: 123.4 45.6", true},
        {123.4, 45.6, 51, true, Action::Hold, "Held while transmitting: 123.4 45.6", false},
        {123.5, 45.7, 52, false, Action::Command, "", false},
        {123.6, 45.7, 10, false, Action::Hold,
         "Waiting for the move window: 123.6 45.7 (seconds 50-59)", true},
        {123.7, 45.7, 50, false, Action::Command, "", false},
        {5.0, 45.7, 50, false, Action::Hold,
         "Outside the azimuth limits: 5.0 45.7 beyond 10.0..360.0", true},
        {20.0, 4.0, 50, false, Action::Hold,
         "Outside the elevation limits: 20.0 4.0 beyond 5.0..90.0", true},
        {20.0, 4.0, 50, true, Action::Hold, "Held while transmitting: 20.0 4.0", true},
    };
    for (const auto& c : ticks) {
        Decision d = t.tick(c.az, c.el, c.second, c.tx);
        EXPECT_EQ(d.action, c.expected) << c.az;
        EXPECT_EQ(d.reason, c.reason);
        EXPECT_EQ(d.reasonIsNew, c.isNew) << c.reason;
        EXPECT_EQ(d.target.az, c.expected == Action::Command ? c.az : 0);
    }
}

TEST(StationRules, StaleFileParkStopAndTrack) {
    Ticker t({{"Stale_Seconds", "3"}, {"Park_Az", "200"}, {"Park_El", "10"}});
    EXPECT_EQ(t.tick(100, 20).action, Action::Command);
    for (double az : {101, 102, 103}) {
        EXPECT_EQ(t.tick(az, 20, 10, false, false).action, Action::Command); // the time froze
    }
    Decision d = t.tick(103, 20, 10, false, false);
    EXPECT_EQ(d.reason, "Tracking file stale: 0 unchanged for 3 s");
    EXPECT_EQ(t.tick(104, 20).action, Action::Command) << "resumes when the time moves";

    d = park(t.settings, t.state);
    ASSERT_EQ(d.action, Action::Command);
    EXPECT_EQ(d.target.az, 200);
    EXPECT_EQ(d.target.el, 10);
    t.state = d.next;
    EXPECT_EQ(t.tick(105, 20).reason, "Rotor parked");
    t.state = track(t.state);
    EXPECT_EQ(t.tick(105, 20).action, Action::Command) << "the unchanged target after Track";
    t.state = stopRotor(t.state);
    EXPECT_EQ(t.tick(106, 20).reason, "Rotor stopped");
}

TEST(StationRules, ADamagedMaskFileHoldsEveryTargetUntilMended) {
    fakes::TempFolder folder;
    folder.write("mask.txt", "0,5\n90,x\n");
    StationRules rules;
    rules.configure(parseStationSettings(Keys{{"Horizon_File", "mask.txt"}}), folder.path());
    TickInput in{100, 20, "100.0", "20.0", "01:02:03", 10, 0, false};
    EXPECT_EQ(rules.tick(in).reason, "Rotor held: Horizon file " + folder.file("mask.txt") +
                                         ", line 2: \"90,x\" is not two numbers");
    folder.write("mask.txt", "0,5\n90,25\n");
    EXPECT_EQ(rules.tick(in).reason, "Below horizon mask: 100.0 20.0 under 24.3");
    folder.write("mask.txt", "0,5\n");
    EXPECT_EQ(rules.tick(in).action, Action::Command);
}

TEST(StationRules, TransmitStateFromTheDopplerLine) {
    const std::string head = "01:02:03,123.4, 45.6,Moon\r\n01:02:03,200.1, 10.2,Sun\r\n";
    const struct {
        std::string tail;
        TransmitState expected;
    } cases[] = {
        {"  144,  -600.0,  0.12,  -580.0,  0.11,Doppler, T\r\n", TransmitState::Transmitting},
        {"  144,  -600.0,  0.12,  -580.0,  0.11,Doppler, R", TransmitState::Receiving},
        {"  144,  -600.0,  0.12,  -580.0,  0.11,Doppler,T  \nnext line, R\n",
         TransmitState::Transmitting},
        {" 144,  -600,  1000,Doppler\r\nTx, T\r\n", TransmitState::Unknown},
        {" 144,  -600,  1000,Doppler, X\r\n", TransmitState::Unknown},
        {"125,  fQSO\r\n", TransmitState::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transmitStateOf(head + c.tail), c.expected) << c.tail;
    }
}

} // namespace
} // namespace kelvora::station
