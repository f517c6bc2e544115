// The station rules at the antenna command: what reaches the rotor line, and Park and Stop rotor.
#include "config/settings.h"
#include "rotor/antenna_command.h"
#include "rotor/rotor_commands.h"
#include "rotor/rotor_types.h"
#include "rotor/station_control.h"
#include "rotor_test_support.h"

#include <gtest/gtest.h>

namespace kelvora::rotor {
namespace {

using testkit::hex;
using testkit::RotorFixture;
using Keys = std::map<std::string, std::string>;

struct Station : RotorFixture {
    explicit Station(const Keys& keys, const std::string& type = "GS232") : RotorFixture(type) {
        for (const auto& [key, text] : keys) {
            k.settings().setValue("Station", key, text);
        }
        startStation(k);
    }
    // One processed second: the target (Az_int cut at the point, as the file reader does), the
    // file's transmit flag, then the seam. Returns the bytes it wrote.
    std::string second(const std::string& az, const std::string& el, int sec = 10,
                       bool fileTx = false) {
        k.rs.Az_text = az;
        k.rs.El_text = el;
        k.rs.Az_int = az.substr(0, az.find('.'));
        k.rs.El_int = el.substr(0, el.find('.'));
        k.rs.Time_text = "12:00:" + std::to_string(++ticks);
        k.rs.Sec_now = sec;
        k.rs.trackingFileTransmitting = fileTx;
        clock.monotonic += 1;
        std::size_t before = rotor.written().size();
        commandNewTarget(k);
        return rotor.written().substr(before);
    }
    int ticks = 0;
};

TEST(StationControl, RulesDecideWhatReachesTheRotor) {
    struct Step {
        const char *az, *el;
        int second;
        bool fileTx;
        const char* sent;
    };
    struct Case {
        const char* what;
        Keys keys;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"defaults: every change, once",
         {},
         {{"100.0", "20.0", 10, true, "W100 020\r"},
          {"100.0", "20.0", 11, false, ""},
          {"100.1", "20.0", 12, false, "W100 020\r"}}},
        {"held while the file says T, the newest sent once it says R",
         {{"Hold_Tx", "1"}},
         {{"100.0", "20.0", 10, true, ""},
          {"101.0", "20.0", 11, true, ""},
          {"101.0", "20.0", 12, false, "W101 020\r"},
          {"101.0", "20.0", 13, false, ""}}},
        {"threshold 2: 1 degree nothing, 2.6 sent, measured from the last sent",
         {{"Move_Threshold", "2"}},
         {{"100.0", "20.0", 10, false, "W100 020\r"},
          {"101.0", "20.0", 11, false, ""},
          {"101.9", "20.0", 12, false, ""},
          {"102.6", "20.0", 13, false, "W102 020\r"},
          {"102.6", "21.0", 14, false, ""},
          {"102.6", "22.6", 15, false, "W102 022\r"}}},
        {"a change outside the window waits for its next second",
         {{"Move_Seconds", "50-52"}},
         {{"100.0", "20.0", 10, false, ""},
          {"101.0", "20.0", 49, false, ""},
          {"101.0", "20.0", 50, false, "W101 020\r"},
          {"102.0", "20.0", 53, false, ""},
          {"102.0", "20.0", 51, false, "W102 020\r"}}},
        {"elevation limits hold, the azimuth-only rule is not involved",
         {{"El_Min", "5"}, {"El_Max", "80"}},
         {{"100.0", "3.0", 10, false, ""},
          {"100.0", "85.0", 11, false, ""},
          {"100.0", "45.0", 12, false, "W100 045\r"}}},
        {"bad settings hold everything",
         {{"Move_Seconds", "59-50"}},
         {{"100.0", "20.0", 10, false, ""}, {"101.0", "20.0", 50, false, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Station s(c.keys);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(std::string(step.az) + " " + step.el);
            std::string sent = s.second(step.az, step.el, step.second, step.fileTx);
            EXPECT_EQ(hex(sent), hex(step.sent));
            EXPECT_EQ(s.k.rs.Target_moved, sent.empty() ? 0 : 1) << "polls go on while held";
        }
    }
}

TEST(StationControl, HoldsAreToldOnceAndTheVirtualPttLineCountsAsTransmitting) {
    Station s(Keys{{"Hold_Tx", "1"}});
    std::string error;
    s.virtualPtt.open("/dev/ptt", {}, false, error);
    s.virtualPtt.dsrLevel = true;
    EXPECT_EQ(s.second("123.4", "45.6"), "");
    EXPECT_EQ(s.k.ui.RotorAZ.caption, "Held while transmitting: 123.4 45.6");
    s.k.ui.RotorAZ.caption = "something else";
    EXPECT_EQ(s.second("123.4", "45.6"), "");
    EXPECT_EQ(s.k.ui.RotorAZ.caption, "something else") << "not repeated every tick";
    EXPECT_EQ(s.k.rs.antenna.holdText, "Held while transmitting: 123.4 45.6");
    s.virtualPtt.dsrLevel = false;
    EXPECT_EQ(s.second("123.4", "45.6"), "W123 045\r");
    EXPECT_EQ(s.k.rs.antenna.holdText, "");
    EXPECT_EQ(s.k.rs.antenna.commandedAz, 123.4);
}

TEST(StationControl, ATargetUnderTheMaskIsNeverCommandedAndADamagedMaskIsNamedAtStart) {
    RotorFixture probe("GS232");
    probe.folder.write("mask.txt", "# roof to the north\n0,10\n180,30\n");
    Station s(Keys{{"Horizon_File", probe.folder.file("mask.txt")}});
    EXPECT_EQ(s.second("90.0", "15.0"), "");
    EXPECT_EQ(s.k.ui.RotorAZ.caption, "Below horizon mask: 90.0 15.0 under 20.0");
    EXPECT_EQ(s.second("90.0", "25.0"), "W090 025\r");

    probe.folder.write("bad.txt", "0,10\n0,12\n");
    Station bad(Keys{{"Horizon_File", probe.folder.file("bad.txt")}});
    ASSERT_EQ(bad.dialogs.messages.size(), 1u);
    EXPECT_NE(bad.dialogs.messages[0].find("line 2: azimuth 0 is repeated"), std::string::npos);
    EXPECT_EQ(bad.second("90.0", "45.0"), "");
}

TEST(StationControl, AStaleFileIsShownAndHeldOnlyOnceItsTimeHadMoved) {
    Station s(Keys{{"Stale_Seconds", "3"}});
    EXPECT_EQ(s.second("100.0", "20.0"), "W100 020\r");
    s.k.rs.Time_text = "12:00:01"; // moved once, frozen from here on
    commandNewTarget(s.k);
    s.clock.monotonic += 3;
    s.k.rs.Az_text = "101.0";
    s.k.rs.Az_int = "101";
    s.k.ui.lblTI.caption = s.k.rs.Time_text; // as the tick shows it
    std::size_t before = s.rotor.written().size();
    commandNewTarget(s.k);
    EXPECT_EQ(s.rotor.written().size(), before);
    EXPECT_EQ(s.k.ui.lblTI.caption, "12:00:01 stale");
    EXPECT_EQ(s.k.ui.lblTI.fore, ui::kRed);
    EXPECT_EQ(s.k.ui.RotorAZ.caption, "Tracking file stale: 12:00:01 unchanged for 3 s");
    EXPECT_EQ(s.second("101.0", "20.0"), "W101 020\r") << "goes on when the time moves";
    EXPECT_EQ(s.k.ui.lblTI.fore, std::nullopt);
}

std::string joined(const std::vector<std::string>& writes) {
    std::string all;
    for (const std::string& w : writes) {
        all += w;
    }
    return all;
}

TEST(StationControl, ParkAndStopForEveryRotorType) {
    for (const RotorType& type : rotorTypes()) {
        if (type.set.send == nullptr) {
            continue;
        }
        SCOPED_TRACE(type.name);
        // What the type sends for a tracked target at the park position, with its correction.
        RotorFixture tracked{std::string(type.name)};
        tracked.k.rs.Az_correction[200] = "2";
        tracked.target("200", "10");
        Invia_Rotori(tracked.k);

        Station s(Keys{{"Park_Az", "200"}, {"Park_El", "10"}}, std::string(type.name));
        s.k.rs.Az_correction[200] = "2";
        EXPECT_TRUE(s.k.ui.Park.enabled);
        s.second("100.0", "20.0");
        std::size_t before = s.rotor.written().size();
        Park_Click(s.k);
        EXPECT_EQ(hex(s.rotor.written().substr(before)), hex(tracked.rotor.written()));
        EXPECT_TRUE(s.k.rs.antenna.paused);
        EXPECT_EQ(s.k.ui.Park.back, ui::kHighlight);
        EXPECT_EQ(s.second("101.0", "20.0"), "") << "parked: tracking paused";
        EXPECT_EQ(s.k.ui.RotorAZ.caption, "Rotor parked");

        Track_Click(s.k);
        EXPECT_FALSE(s.k.rs.antenna.paused);
        EXPECT_NE(s.second("101.0", "20.0"), "") << "the unchanged target after Track";

        before = s.rotor.written().size();
        StopRotor_Click(s.k);
        EXPECT_EQ(hex(s.rotor.written().substr(before)),
                  hex(type.stop ? joined(type.stopSequence.writes) : ""));
        EXPECT_EQ(s.second("102.0", "20.0"), "") << "stopped: tracking paused";
        EXPECT_EQ(s.k.ui.StopRotor.back, ui::kHighlight);
    }
}

} // namespace
} // namespace kelvora::rotor
