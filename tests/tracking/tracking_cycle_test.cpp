// The tracking tick: the once-per-second gate, the read-outs, colours and the heartbeat.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

class TrackingCycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        k().rs.Tracking_file = fx.folder.file("azel.dat");
        k().settings().Sun_combo = "Moon";
        k().settings().Refresh_Rotore = "None";
        writeTarget("123.4", " 45.6");
    }
    Kelv& k() { return fx.k; }
    void writeTarget(const std::string& az, const std::string& el) {
        fx.folder.write("azel.dat", "01:02:03," + az + "," + el + ",Moon\r\n");
    }
    // A tick at `second` (plus a fraction) of the minute.
    void tickAt(double second) {
        fx.clock.wallSeconds = 3600 + second;
        tmrRead_Timer(k());
    }
    fakes::KelvFixture fx;
};

TEST_F(TrackingCycleTest, ProcessesOncePerSecondUpToSecondFortyNine) {
    struct Step {
        double second;
        bool processes;
    };
    const Step steps[] = {{10.2, true}, {10.7, false}, {11.2, true}, {11.7, false},
                          {49.2, true}, {49.7, false}, {50.2, true}, {50.7, true},
                          {59.7, true}, {0.2, false},  {0.7, false}, {1.2, true}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.second);
        k().ui.lblTI.caption = "";
        tickAt(step.second);
        EXPECT_EQ(k().ui.lblTI.caption.empty(), !step.processes);
    }
}

TEST_F(TrackingCycleTest, ShowsTheTargetWithDecimals) {
    tickAt(5);
    EXPECT_EQ(k().ui.lblTI.caption, "01:02:03");
    EXPECT_EQ(k().ui.lblAZ.caption, "123.4");
    EXPECT_EQ(k().ui.lblEL.caption, " 45.6");
    EXPECT_EQ(k().ui.Tracklb.caption, "Moon");
}

TEST_F(TrackingCycleTest, TargetChangeIsDetectedOnceAndFollowsEveryRewrite) {
    tickAt(5);
    EXPECT_EQ(k().rs.Target_moved, 1);
    EXPECT_EQ(k().rs.Az_sent, "123.4");
    tickAt(6);
    EXPECT_EQ(k().rs.Target_moved, 0) << "an unchanged target is not commanded again";
    writeTarget("123.5", " 45.6");
    tickAt(7);
    EXPECT_EQ(k().rs.Target_moved, 1);
    EXPECT_EQ(k().ui.lblAZ.caption, "123.5");
    writeTarget("123.5", " 45.7");
    tickAt(8);
    EXPECT_EQ(k().rs.Target_moved, 1);
    EXPECT_EQ(k().rs.El_sent, " 45.7");
}

TEST_F(TrackingCycleTest, FrequencyLabelColourShowsTheChange) {
    k().rs.Fqso_kHz = "125";
    k().rs.Fqso_last = "120";
    tickAt(5);
    EXPECT_EQ(k().ui.Label_TX.fore, ui::kRed);
    k().rs.Fqso_last = "125";
    tickAt(6);
    EXPECT_EQ(k().ui.Label_TX.fore, ui::kGreen);
}

TEST_F(TrackingCycleTest, HeartbeatAlternatesOnEveryTickProcessedOrNot) {
    tickAt(10.2);
    EXPECT_EQ(k().ui.lblFL.back, ui::kGreen);
    tickAt(10.7);
    EXPECT_EQ(k().ui.lblFL.back, ui::kOrange);
    tickAt(0.2);
    EXPECT_EQ(k().ui.lblFL.back, ui::kGreen);
}

TEST_F(TrackingCycleTest, LinradStateFollowsTheSocket) {
    fx.socket.currentState = platform::TcpState::Connected;
    tickAt(5);
    EXPECT_EQ(k().ui.Linrad_stato.caption, "Linrad ON");
    fx.socket.currentState = platform::TcpState::Closed;
    tickAt(6);
    EXPECT_EQ(k().ui.Linrad_stato.caption, "Linrad off");
}

TEST_F(TrackingCycleTest, MissingTrackingFileNeverStopsTheTick) {
    k().rs.Tracking_file = fx.folder.file("gone.dat");
    for (int s = 1; s < 5; ++s) {
        tickAt(s);
    }
    EXPECT_EQ(k().ui.lblTI.caption, "");
    EXPECT_EQ(k().rs.Sec_last, 4);
}

TEST_F(TrackingCycleTest, RadioInputIsDiscardedSoItNeverPilesUp) {
    std::string error;
    fx.radio.open("radio", {}, false, error);
    fx.radio.arrive(std::string("\xFE\xFE\xE0\x10\xFB\xFD", 6));
    tickAt(5);
    EXPECT_EQ(fx.radio.bytesWaiting(), 0u);
}

} // namespace
} // namespace kelvora
