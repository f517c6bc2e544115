// The station rules at the antenna command: what reaches the rotor line, and Park and Stop rotor.
#include "rotor/antenna_command.h"
#include "rotor/rotor_test_support.h"
#include "rotor/rotor_types.h"
#include "station/station_control.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kelvora::station {
namespace {

using testkit::hex;
using Keys = std::map<std::string, std::string>;

enum Tx { No, File, Line }; // transmitting: not, by the file's ", T", by the virtual PTT's DSR

struct Station : testkit::RotorFixture {
    Station(const Keys& keys, const std::string& mask = "", const std::string& type = "GS232")
        : RotorFixture(type) {
        folder.write("mask.txt", mask);
        for (const auto& [key, text] : keys) {
            k.settings().setValue("Station", key, text);
        }
        std::string error;
        virtualPtt.open("/dev/ptt", {}, false, error);
        startStation(k);
    }
    // One processed second through the seam; the bytes it wrote.
    std::string second(const std::string& az, const std::string& el, int sec = 10, Tx tx = No) {
        target(az, el);
        k.rs.Az_int = az.substr(0, az.find('.')); // whole degrees, as the file reader cuts them
        k.rs.El_int = el.substr(0, el.find('.'));
        k.rs.Time_text = "12:00:" + std::to_string(++ticks);
        k.rs.Sec_now = sec;
        k.rs.trackingFileTransmitting = tx == File;
        virtualPtt.dsrLevel = tx == Line;
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
        Tx tx;
        const char* sent;
    };
    struct Case {
        Keys keys;
        std::vector<Step> steps;
        const char* mask = "";
        bool damaged = false; // named in a message at Start
    };
    const Case cases[] = {
        {{{"Hold_Tx", "1"}},
         {{"100.0", "20", 10, File, ""},
          {"101.0", "20", 11, Line, ""},
          {"101.0", "20", 12, No, "W101 020\r"}}},
        {{{"Move_Threshold", "2"}},
         {{"100.0", "20", 10, No, "W100 020\r"},
          {"101.0", "20", 11, No, ""},
          {"102.6", "20", 12, No, "W102 020\r"},
          {"102.6", "21.5", 13, No, ""}}},
        {{{"Move_Seconds", "50-52"}},
         {{"100.0", "20", 49, No, ""},
          {"100.0", "20", 50, No, "W100 020\r"},
          {"102.0", "20", 53, No, ""}}},
        {{{"Horizon_File", "mask.txt"}},
         {{"90.0", "15", 10, No, ""}, {"90.0", "25", 11, No, "W090 025\r"}},
         "# roof\n0,10\n180,30\n"},
        {{{"Horizon_File", "mask.txt"}}, {{"90.0", "45", 10, No, ""}}, "0,10\n0,12\n", true},
    };
    for (const Case& c : cases) {
        Station s(c.keys, c.mask);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(c.keys.begin()->first + " " + step.az + " " + step.el);
            std::string sent = s.second(step.az, step.el, step.second, step.tx);
            EXPECT_EQ(hex(sent), hex(step.sent));
            EXPECT_EQ(s.k.rs.Target_moved, sent.empty() ? 0 : 1) << "polls go on while held";
        }
        EXPECT_EQ(s.dialogs.messages.size(), c.damaged ? 1u : 0u);
    }
}

TEST(StationControl, ParkAndStopForEveryRotorType) {
    for (const rotor::RotorType& type : rotor::rotorTypes()) {
        if (type.set.send == nullptr || type.network != nullptr) {
            continue; // no rotor, or a daemon's (tested with its link)
        }
        SCOPED_TRACE(type.name);
        // What the type sends for a tracked target at the park position, correction included.
        testkit::RotorFixture tracked{std::string(type.name)};
        tracked.k.rs.Az_correction[200] = "2";
        tracked.target("200", "10");
        commandNewTarget(tracked.k);
        Station s({{"Park_Az", "200"}, {"Park_El", "10"}}, "", std::string(type.name));
        s.k.rs.Az_correction[200] = "2";
        s.second("100.0", "20");
        std::size_t before = s.rotor.written().size();
        Park_Click(s.k);
        EXPECT_EQ(hex(s.rotor.written().substr(before)), hex(tracked.rotor.written()));
        EXPECT_EQ(s.second("101.0", "20"), "") << "parked: tracking paused";
        Track_Click(s.k);
        EXPECT_NE(s.second("101.0", "20"), "") << "the unchanged target goes out after Track";

        before = s.rotor.written().size();
        StopRotor_Click(s.k);
        std::string stop = std::accumulate(type.stopSequence.writes.begin(),
                                           type.stopSequence.writes.end(), std::string());
        EXPECT_EQ(hex(s.rotor.written().substr(before)), hex(type.stop ? stop : ""));
        EXPECT_EQ(s.second("102.0", "20"), "") << "stopped: tracking paused";
    }
}

TEST(StationControl, ParkIsTheWindButtonAndTheManualDirectionObeysLimitsAndMask) {
    // Park goes out while transmitting, and says so.
    Station tx(Keys{{"Hold_Tx", "1"}});
    tx.second("100.0", "20", 10, File);
    std::size_t before = tx.rotor.written().size();
    Park_Click(tx.k);
    EXPECT_EQ(tx.rotor.written().substr(before), "W180 000\r");
    EXPECT_EQ(tx.k.ui.RotorAZ.caption, "Parked while transmitting");

    // A park position outside the limits is named at Start, and Park is refused.
    Station outside(Keys{{"Az_Min", "200"}});
    ASSERT_EQ(outside.dialogs.messages.size(), 1u);
    EXPECT_NE(outside.dialogs.messages[0].find("Park_Az"), std::string::npos);
    before = outside.rotor.written().size();
    Park_Click(outside.k);
    EXPECT_EQ(outside.rotor.written().substr(before), "");
    EXPECT_EQ(outside.k.ui.RotorAZ.caption.rfind("Park refused: [Station] Park_Az", 0), 0u);

    // The manual direction: refused under the mask, sent above it, whatever Hold_Tx says.
    Station manual({{"Horizon_File", "mask.txt"}, {"Hold_Tx", "1"}}, "0,10\n360,10\n");
    manual.k.rs.trackingFileTransmitting = true;
    manual.k.ui.Rotorman.value = 1;
    for (auto [el, sent] : {std::pair{"5", ""}, std::pair{"20", "W090 020\r"}}) {
        manual.k.ui.Text1.caption = "90";
        manual.k.ui.Text2.caption = el;
        before = manual.rotor.written().size();
        Command5_Click(manual.k);
        EXPECT_EQ(manual.rotor.written().substr(before), sent) << el;
    }
}

TEST(StationControl, OneOffMovesOnAnExtendedRangeKeepTheBranchTheRotorIsOn) {
    // GS-232 on 0..450 at 370: Park at 20 and a scan point at 30 go on to 380 and 390, not back
    // through the stop; a line that comes back parks a parked rotor again, not a stopped one.
    Station s(Keys{{"Park_Az", "20"}, {"Park_El", "0"}});
    s.k.settings().setValue("Rotor_Range", "Az_High", "450");
    startStation(s.k);
    EXPECT_EQ(s.second("350.0", "20"), "W350 020\r");
    EXPECT_EQ(s.second("10.0", "20"), "W370 020\r");
    auto sent = [&s](auto action) {
        std::size_t before = s.rotor.written().size();
        action();
        return s.rotor.written().substr(before);
    };
    EXPECT_EQ(sent([&] { Park_Click(s.k); }), "W380 000\r");
    Track_Click(s.k);
    s.second("15.0", "20");
    EXPECT_EQ(sent([&] {
                  EXPECT_EQ(calibrationMove(s.k, {30, 10}).verdict, Verdict::Send);
              }),
              "W390 010\r");
    EXPECT_EQ(calibrationMove(s.k, {30, -5}).verdict, Verdict::Refuse);
    StopRotor_Click(s.k);
    EXPECT_EQ(sent([&] { resendToRotor(s.k); }), "");
    Park_Click(s.k);
    EXPECT_EQ(sent([&] { resendToRotor(s.k); }), "W380 000\r");
}

} // namespace
} // namespace kelvora::station
