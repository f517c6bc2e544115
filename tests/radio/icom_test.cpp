// The byte streams of every Icom sequence, as the procedures send them.
#include "radio/icom.h"

#include "radio/vfo_buttons.h"
#include "radio_test_support.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using radiotest::hex;
using radiotest::RadioFixture;

TEST(IcomRadioSetTXFreq, TracedTickFrameAndFreqTxConsumed) {
    RadioFixture f("IC-9700");
    f.k.rs.Freq_TX = "144125000";
    IcomRadioSetTXFreq(f.k);
    EXPECT_EQ(f.sent(), "FE FE 10 E0 05 00 50 12 44 01 FD");
    EXPECT_EQ(f.k.rs.Freq_TX, "0");
}

TEST(IcomRadioSetTXFreq, Ic7100SendsToBothAddressesInOrder) {
    RadioFixture f("IC-7100");
    f.k.rs.Icom_addr = 0x88;
    f.k.rs.Icom_addr2 = 0x8A;
    f.k.rs.Freq_TX = "144125000";
    IcomRadioSetTXFreq(f.k);
    EXPECT_EQ(f.sent(), "FE FE 88 E0 05 00 50 12 44 01 FD FE FE 8A E0 05 00 50 12 44 01 FD");
}

TEST(IcomRadioSetTXFreq, Ic275SelectsTheRememberedVfoFirst) {
    RadioFixture f("IC-275");
    f.k.rs.Tracking_on = 0;
    Normal_Click(f.k); // while stopped: only remembered
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "SET VFO B ");
    EXPECT_TRUE(f.radio.writes.empty());
    f.k.rs.Tracking_on = 1;
    f.k.rs.Freq_TX = "144125000";
    IcomRadioSetTXFreq(f.k);
    EXPECT_EQ(f.sent(), "FE FE 10 E0 07 01 FD FE FE 10 E0 05 00 50 12 44 01 FD");

    f.radio.writes.clear();
    Host_Click(f.k); // sends at once while tracking, and before every frequency
    f.k.rs.Freq_TX = "144125000";
    IcomRadioSetTXFreq(f.k);
    EXPECT_EQ(f.sent(), "FE FE 10 E0 07 00 FD FE FE 10 E0 07 00 FD "
                        "FE FE 10 E0 05 00 50 12 44 01 FD");
}

TEST(IcomRadioSetTXFreq, OtherTypesNeverSelectAVfo) {
    RadioFixture f("IC-7300");
    f.k.rs.Vfo_selected = 1;
    f.k.rs.Vfo_b_on = 1;
    f.k.rs.Freq_TX = "14074000";
    IcomRadioSetTXFreq(f.k);
    EXPECT_EQ(f.sent(), "FE FE 10 E0 05 00 40 07 14 00 FD");
}

TEST(IcomRadioSetTXFreq, UnsendableAddressOrFrequencySendsNothing) {
    struct Case {
        const char* type;
        int addr, addr2;
        const char* freq;
        const char* status;
    } cases[] = {
        {"IC-9700", 0x100, 0x10, "144125000", icom::kAddressOutOfRange},
        {"IC-7100", 0x88, 0x1A2, "144125000", icom::kAddressOutOfRange}, // neither radio
        {"IC-9700", 0x10, 0x10, "10000000000", icom::kFreqOutOfRange},
        {"IC-9700", 0x10, 0x10, "-5", icom::kFreqOutOfRange},
    };
    for (const Case& c : cases) {
        RadioFixture f(c.type);
        f.k.rs.Icom_addr = c.addr;
        f.k.rs.Icom_addr2 = c.addr2;
        f.k.rs.Freq_TX = c.freq;
        IcomRadioSetTXFreq(f.k);
        EXPECT_TRUE(f.radio.writes.empty()) << c.type << " " << f.sent();
        EXPECT_EQ(f.k.ui.RotorAZ.caption, c.status);
    }
}

TEST(IcomSplit, FrequencyLandsInVfoBWithPausesBetween) {
    struct Case {
        const char* type;
        const char* bytes;
    } cases[] = {
        {"IC-275",
         "FE FE 10 E0 07 01 FD | FE FE 10 E0 05 00 50 12 44 01 FD | FE FE 10 E0 07 00 FD"},
        {"IC-756pro3",
         "FE FE 10 E0 07 D1 FD | FE FE 10 E0 05 00 50 12 44 01 FD | FE FE 10 E0 07 D0 FD"},
    };
    for (const Case& c : cases) {
        RadioFixture f(c.type);
        f.k.rs.Rotor_pace_delay = 0.25f;
        f.k.rs.Freq_TX = "144125000";
        double start = f.clock.monotonic;
        IcomRadioSetTXFreq_Split(f.k);
        std::string joined;
        for (const std::string& w : f.radio.writes) {
            joined += (joined.empty() ? "" : " | ") + hex(w);
        }
        EXPECT_EQ(joined, c.bytes) << c.type;
        EXPECT_GT(f.clock.monotonic - start, 0.5) << "two pauses of the pace delay";
        EXPECT_EQ(f.k.ui.RotorAZ.caption, "SET VFO A");
    }
}

TEST(IcomCrossBand, SubBandFollowsTheMainBand) {
    struct Case {
        int doppler;
        const char* myDoppler;
        const char* freq;
        const char* sub;
    } cases[] = {
        {0, "-1200", "1296050000", "00 00 05 44 01"},   // 144050000
        {1, "-1200", "1296050000", "00 12 05 44 01"},   // 144051200
        {1, "  850", "1296050000.5", "50 91 04 44 01"}, // 144049150.5
    };
    for (const Case& c : cases) {
        RadioFixture f("IC-9700-X");
        f.k.settings().Doppler_Check = c.doppler;
        f.k.rs.My_doppler_Hz = c.myDoppler;
        f.k.rs.Freq_TX = c.freq;
        IcomRadioSetTXFreq_X(f.k);
        std::string expected = "FE FE 10 E0 07 D0 FD " +
                               hex(*icom::frequencyFrame(0x10, std::stod(c.freq))) +
                               " FE FE 10 E0 07 D1 FD FE FE 10 E0 05 " + c.sub + " FD";
        EXPECT_EQ(f.sent(), expected) << c.freq;
        EXPECT_EQ(f.k.ui.RotorAZ.caption, "");
    }
}

TEST(IcomCrossBand, MainBelowTheShiftSendsNothing) {
    RadioFixture f("IC-9700-X");
    f.k.rs.Freq_TX = "144125000";
    IcomRadioSetTXFreq_X(f.k);
    EXPECT_TRUE(f.radio.writes.empty()) << f.sent();
    EXPECT_EQ(f.k.ui.RotorAZ.caption, icom::kFreqOutOfRange);
}

TEST(IcomVfoAB, RemembersTheLastSubCommand) {
    RadioFixture f("Icom-rtx");
    IcomVFO_AB(f.k); // first use with an unlisted Icom type: the command is still 0
    EXPECT_EQ(f.sent(), "FE FE 10 E0 07 00 FD");
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "SET VFO A = VFO B");

    struct Step {
        const char* type;
        const char* bytes; // what this call adds
        int command;
    } steps[] = {
        {"IC-275", "", 0xFF},
        {"Icom-rtx", "", 0xFF}, // the IC-275's "none" is remembered
        {"IC-7300", "FE FE 10 E0 07 A0 FD", 0xA0},
        {"IC-7100", "FE FE 10 E0 07 A0 FD", 0xA0},
        {"IC-7800", "FE FE 10 E0 07 B1 FD", 0xB1},
        {"IC-756pro3", "FE FE 10 E0 07 B1 FD", 0xB1},
        {"IC-9700-X", "FE FE 10 E0 07 A0 FD", 0xA0},
        {"TS-2000", "", 0xA0}, // no CI-V bytes to a Kenwood-style radio
        {"None", "", 0xA0},
    };
    for (const Step& s : steps) {
        f.radio.writes.clear();
        f.k.settings().RtxType = s.type;
        IcomVFO_AB(f.k);
        EXPECT_EQ(f.sent(), s.bytes) << s.type;
        EXPECT_EQ(f.k.rs.Icom_vfo_cmd, s.command) << s.type;
    }
}

TEST(IcomVfoAB, NothingWhileStopped) {
    RadioFixture f("IC-7300");
    f.k.rs.Tracking_on = 0;
    IcomVFO_AB(f.k);
    EXPECT_TRUE(f.radio.writes.empty());
    EXPECT_EQ(f.k.rs.Icom_vfo_cmd, 0);
}

TEST(IcomPower, WakeUpRunsThenPowerFrame) {
    RadioFixture f("IC-7100");
    f.k.rs.Icom_addr = 0x88;
    f.k.rs.Icom_addr2 = 0x8A;
    const std::string eight = "FE FE FE FE FE FE FE FE";

    ON_Icom_Click(f.k);
    ASSERT_EQ(f.radio.writes.size(), 4u);
    EXPECT_EQ(hex(f.radio.writes[0]), eight);
    EXPECT_EQ(hex(f.radio.writes[3]), "FE FE FE 88 E0 18 01 FD");
    EXPECT_EQ(f.radio.written().find_first_not_of('\xFE'), 24u + 3u);
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "Power ON IC-7100/1");
    EXPECT_EQ(f.k.ui.ON_Icom.caption, "On");

    f.radio.writes.clear();
    ON_Icom_Click(f.k);
    EXPECT_EQ(f.sent(), eight + " FE FE FE 88 E0 18 00 FD");
    EXPECT_EQ(f.radio.written().find_first_not_of('\xFE'), 8u + 3u);
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "Power OFF IC-7100/1");
    EXPECT_EQ(f.k.ui.ON_Icom.caption, "Off");

    f.radio.writes.clear();
    ON_Icom1_Click(f.k);
    EXPECT_EQ(hex(f.radio.writes.back()), "FE FE FE 8A E0 18 01 FD");
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "Power ON IC-7100/2");
    EXPECT_EQ(f.k.ui.ON_Icom1.caption, "On");
    EXPECT_EQ(f.k.ui.ON_Icom.caption, "Off");
}

TEST(IcomPower, IgnoredUnlessTrackingAnIc7100OnAnOpenPort) {
    auto clicked = [](RadioFixture& f) {
        ON_Icom_Click(f.k);
        return f.radio.writes.size() + (f.k.ui.ON_Icom.caption == "On" ? 100 : 0);
    };
    RadioFixture stopped("IC-7100");
    stopped.k.rs.Tracking_on = 0;
    EXPECT_EQ(clicked(stopped), 0u);
    RadioFixture otherType("IC-9700");
    EXPECT_EQ(clicked(otherType), 0u);
    RadioFixture closed("IC-7100");
    closed.radio.close();
    EXPECT_EQ(clicked(closed), 0u);
    RadioFixture badAddress("IC-7100");
    badAddress.k.rs.Icom_addr = 0x123;
    EXPECT_EQ(clicked(badAddress), 0u);
    EXPECT_EQ(badAddress.k.ui.RotorAZ.caption, icom::kAddressOutOfRange);
}

} // namespace
} // namespace kelvora
