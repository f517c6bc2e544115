// Kenwood-style "FA"/"FB" commands by text length, the TS-590 range, K3, Flex and the unit relay.
#include "radio/kenwood.h"

#include "radio/unit_relay.h"
#include "radio/vfo_buttons.h"
#include "radio_test_support.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using radiotest::RadioFixture;

TEST(KenwoodCommands, PrefixByLength) {
    struct Case {
        const char* type;
        void (*send)(Kelv&);
        const char* freq;
        const char* command; // "" = nothing sent
    } cases[] = {
        {"TS-2000", TS2000SetTXFreq, "144125000", "FA00144125000;"},
        {"TS-2000", TS2000SetTXFreq, "50313000", "FA00050313000;"},
        {"TS-2000", TS2000SetTXFreq, "1296100000", "FA01296100000;"},
        {"TS-2000", TS2000SetTXFreq, "7074000", ""},
        {"TS-2000", TS2000SetTXFreq, "14074000.5", "FA00014074000;"}, // whole hertz, to even
        {"TS-2000", TS2000SetTXFreq, "12345678901", ""},
        {"TS-590", TS590SetTXFreq, "7074000", "FA00007074000;"},
        {"TS-590", TS590SetTXFreq, "54000000", "FA00054000000;"},
        {"TS-590", TS590SetTXFreq, "1800000", "FA00001800000;"},
        {"TS-590", TS590SetTXFreq, "7074000.5", "FA00007074000;"},
        {"TS-590", TS590SetTXFreq, "53999999.5", "FA00054000000;"},
        {"Elecraft-K3", ElecraftSetTXFreq, "144125000", "FA00144125000;"},
        {"Elecraft-K3", ElecraftSetTXFreq, "7074000", ""},
        {"Fdm-Duo", FdmDuoSetTXFreq, "14074000", "FA00014074000;"},
        {"Fdm-Duo", FdmDuoSetTXFreq, "144125000", ""},
        {"Flex-SDR", FlexSetTXFreq, "144125000", "FA00144125000;"},
        {"Flex-SDR", FlexSetTXFreq, "50313000", "FA00050313000;"},
        {"Flex-SDR", FlexSetTXFreq, "1296100000", "FA01296100000;"},
    };
    for (const Case& c : cases) {
        RadioFixture f(c.type);
        f.k.rs.Freq_TX = c.freq;
        c.send(f.k);
        EXPECT_EQ(f.radio.written(), c.command) << c.type << " " << c.freq;
        EXPECT_LE(f.radio.writes.size(), 1u);
        // Shown as sent; a frequency the command cannot carry is named.
        EXPECT_EQ(f.k.ui.RotorAZ.caption,
                  *c.command ? c.command : std::string(c.type) + " cannot take " + c.freq + " Hz");
        EXPECT_EQ(f.k.rs.Freq_TX, c.freq);
    }
}

TEST(KenwoodCommands, Ts590RangeCheck) {
    for (const char* freq : {"1799999", "54000001", "144125000", "0"}) {
        RadioFixture f("TS-590");
        f.k.rs.Freq_TX = freq;
        TS590SetTXFreq(f.k);
        EXPECT_TRUE(f.radio.writes.empty()) << freq;
        EXPECT_EQ(f.k.ui.RotorAZ.caption, "Freq. out of range") << freq;
    }
}

TEST(KenwoodCommands, ElecraftFollowsTheVfoButtons) {
    RadioFixture f("Elecraft-K3");
    f.k.rs.Tracking_on = 0;
    Normal_Click(f.k); // stopped: the K3's VFO stays
    f.k.rs.Freq_TX = "144125000";
    ElecraftSetTXFreq(f.k);
    EXPECT_EQ(f.radio.written(), "FA00144125000;");

    f.k.rs.Tracking_on = 1;
    f.radio.writes.clear();
    Normal_Click(f.k);
    EXPECT_TRUE(f.radio.writes.empty()) << "the button itself sends nothing";
    ElecraftSetTXFreq(f.k);
    EXPECT_EQ(f.radio.written(), "FB00144125000;");

    f.radio.writes.clear();
    Host_Click(f.k);
    ElecraftSetTXFreq(f.k);
    EXPECT_EQ(f.radio.written(), "FA00144125000;");

    f.radio.writes.clear();
    f.k.rs.Elecraft_state = 2;
    ElecraftSetTXFreq(f.k);
    EXPECT_TRUE(f.radio.writes.empty());
}

TEST(KenwoodCommands, FlexSecondCommandNeedsSecondPortAndDoppler) {
    struct Case {
        const char* port2;
        int doppler;
        const char* rx;
        const char* second; // "" = nothing on the second port
    } cases[] = {
        {"COM5", 1, "144126000", "FA00144126000;"},
        {"None", 1, "144126000", ""},
        {"COM5", 0, "144126000", ""},
        {"COM5", 1, "1296100000", "FA01296100000;"}, // padded by its own length
        {"COM5", 1, "144126001.5", "FA00144126002;"},
        {"COM5", 1, "7074000", ""},
    };
    for (const Case& c : cases) {
        RadioFixture f("Flex-SDR");
        std::string error;
        f.radio2.open("/dev/radio2", {}, false, error);
        f.k.settings().RtxPort2 = c.port2;
        f.k.settings().Doppler_Check = c.doppler;
        f.k.rs.Freq_TX = "144125000";
        f.k.rs.Freq_RX = c.rx;
        FlexSetTXFreq(f.k);
        EXPECT_EQ(f.radio.written(), "FA00144125000;");
        EXPECT_EQ(f.radio2.written(), c.second) << c.port2 << " " << c.doppler << " " << c.rx;
        std::string refused = std::string("Flex-SDR cannot take ") + c.rx + " Hz";
        bool tried = c.port2 == std::string("COM5") && c.doppler == 1;
        EXPECT_EQ(f.k.ui.RotorAZ.caption,
                  *c.second ? c.second : (tried ? refused : "FA00144125000;"));
    }
}

TEST(UnitRelay, OneCharacterPerWriteEachWithItsPause) {
    RadioFixture f("IC-9700");
    std::string error;
    f.rotor.open("/dev/rotor", {}, false, error);
    f.k.rs.Rotor_pace_delay = 0.1f;
    f.k.rs.Fqso_kHz = "5";
    f.k.rs.Band_MHz = " 144";
    std::vector<double> writeTimes;
    f.rotor.onWrite = [&](std::string_view) { writeTimes.push_back(f.clock.monotonic); };
    KVRadioSetTXFreq(f.k);
    ASSERT_EQ(f.rotor.writes.size(), 11u);
    EXPECT_EQ(f.rotor.written(), "FU14400500\r");
    for (std::size_t i = 1; i < writeTimes.size(); ++i) {
        EXPECT_GT(writeTimes[i] - writeTimes[i - 1], 0.1) << "no pause before character " << i;
    }
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "FU14400500\r");
    EXPECT_EQ(f.k.ui.Label_freq.caption, " 144.005.000");
    EXPECT_TRUE(f.radio.writes.empty());
}

} // namespace
} // namespace kelvora
