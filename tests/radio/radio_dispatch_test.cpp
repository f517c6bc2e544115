// The model table and Invio_frequenza: what each radio type receives, and in which order.
#include "radio/radio_dispatch.h"
#include "radio/radio_models.h"

#include "config/settings.h"
#include "radio_test_support.h"
#include "tracking/device_lists.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using radiotest::hex;
using radiotest::RadioFixture;

struct DispatchFixture : RadioFixture {
    explicit DispatchFixture(const std::string& type) : RadioFixture(type) {
        k.settings().Offset = "144000";
        k.rs.Fqso_kHz = "125";
        k.rs.Fqso2_kHz = "130";
        k.rs.Band_MHz = " 144";
        k.ui.Autoupdate.value = 1;
    }
};

TEST(RadioModels, OneRowPerListedTypeExactText) {
    EXPECT_EQ(radio::findRadioModel("None"), nullptr);
    for (const radio::RadioModel& listed : radio::radioModels()) {
        const radio::RadioModel* model = radio::findRadioModel(listed.name);
        ASSERT_EQ(model, &listed) << listed.name;
        EXPECT_NE(model->setFrequency, nullptr) << listed.name;
    }
    for (const char* unknown : {"ic-9700", "IC-9700 ", "FT817", "", "Kelvora"}) {
        EXPECT_EQ(radio::findRadioModel(unknown), nullptr) << unknown;
    }
}

// 144125000 Hz to every type, through the whole send.
TEST(InvioFrequenza, BytesOfEveryRadioType) {
    struct Case {
        const char* type;
        const char* bytes;
        const char* freqTxAfter;
    } cases[] = {
        {"None", "", "144125000"},
        {"Icom-rtx", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-275", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-706MK2G", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-756pro3", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-781", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-7100", "FE FE 10 E0 05 00 50 12 44 01 FD FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-7300", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-7400", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-7800", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-9700", "FE FE 10 E0 05 00 50 12 44 01 FD", "0"},
        {"IC-9700-X", "", "0"}, // 144 MHz has no sub band 1152 MHz below
        {"Elecraft-K3", "46 41 30 30 31 34 34 31 32 35 30 30 30 3B", "144125000"},
        {"Flex-SDR", "46 41 30 30 31 34 34 31 32 35 30 30 30 3B", "144125000"},
        {"FT-736R", "00 00 00 00 00 14 41 25 00 01 80 80 80 80 80", "0"},
        {"FT-817", "14 41 25 00 01", "0"},
        {"FT-847", "00 00 00 00 00 14 41 25 00 01 80 80 80 80 80", "0"},
        {"FT-857", "14 41 25 00 01", "0"},
        {"FT-897", "14 41 25 00 01", "0"},
        {"FT-950", "", "144125000"},
        {"FT-991", "46 41 31 34 34 31 32 35 30 30 30 3B", "144125000"},
        {"FT-1000mp", "00 25 41 14 0A", "0"},
        {"FT-5000", "", "144125000"},
        {"TS-590", "", "144125000"},
        {"TS-2000", "46 41 30 30 31 34 34 31 32 35 30 30 30 3B", "144125000"},
        {"Fdm-Duo", "", "144125000"},
    };
    for (const Case& c : cases) {
        DispatchFixture f(c.type);
        Invio_frequenza(f.k);
        EXPECT_EQ(f.sent(), c.bytes) << c.type;
        EXPECT_EQ(f.k.rs.Freq_TX, c.freqTxAfter) << c.type;
        EXPECT_EQ(f.k.rs.Freq_last, "144125000") << c.type;
        EXPECT_EQ(f.k.ui.Label_TX.caption, "144,125,000") << c.type;
    }
}

// Constant on the Moon with an odd own-echo shift gives a half hertz; the typed-text models get
// the whole hertz, halves to the even neighbour.
TEST(InvioFrequenza, HalfHertzToTheEvenWholeHertz) {
    struct Case {
        const char* type;
        const char* offsetKHz;
        const char* fqsoKHz;
        const char* myDoppler;
        const char* command;
    } cases[] = {
        {"TS-2000", "144000", "125", "1001", "FA00144124500;"},     // 144124499.5
        {"Elecraft-K3", "144000", "125", "1003", "FA00144124498;"}, // 144124498.5
        {"Flex-SDR", "144000", "125", "1001", "FA00144124500;"},
        {"FT-991", "144000", "125", "1003", "FA144124498;"},
        {"TS-590", "50000", "313", "1001", "FA00050312500;"}, // 50312499.5
        {"Fdm-Duo", "50000", "313", "1003", "FA00050312498;"},
        {"FT-950", "50000", "313", "1001", "FA50312500;"},
        {"FT-5000", "50000", "313", "1003", "FA50312498;"},
    };
    for (const Case& c : cases) {
        DispatchFixture f(c.type);
        f.k.settings().Offset = c.offsetKHz;
        f.k.rs.Fqso_kHz = c.fqsoKHz;
        f.k.settings().Doppler_Check = 1;
        f.k.rs.Doppler_form_shown = -1;
        f.k.frmDoppler.select(3);
        f.k.rs.My_doppler_Hz = c.myDoppler;
        f.k.rs.DX_doppler_Hz = "0";
        Invio_frequenza(f.k);
        EXPECT_EQ(f.radio.written(), c.command) << c.type;
        EXPECT_EQ(f.k.ui.RotorAZ.caption, c.command) << c.type;
    }
}

TEST(InvioFrequenza, SplitOnlyForIc275AndIc756pro3) {
    struct Case {
        const char* type;
        int split;
        const char* bytes;
    } cases[] = {
        {"IC-275", 1, "FE FE 10 E0 07 01 FD FE FE 10 E0 05 00 50 12 44 01 FD FE FE 10 E0 07 00 FD"},
        {"IC-756pro3", 1,
         "FE FE 10 E0 07 D1 FD FE FE 10 E0 05 00 50 12 44 01 FD FE FE 10 E0 07 D0 FD"},
        {"IC-756pro3", 0, "FE FE 10 E0 05 00 50 12 44 01 FD"},
        {"IC-7300", 1, "FE FE 10 E0 05 00 50 12 44 01 FD"},
    };
    for (const Case& c : cases) {
        DispatchFixture f(c.type);
        f.k.rs.Split_on = c.split;
        Invio_frequenza(f.k);
        EXPECT_EQ(f.sent(), c.bytes) << c.type << " split " << c.split;
    }
}

TEST(InvioFrequenza, Ic7800DualWatchCopiesMainToSub) {
    for (bool dual : {true, false}) {
        DispatchFixture f("IC-7800");
        f.k.rs.Dual_on = dual;
        Invio_frequenza(f.k);
        EXPECT_EQ(f.sent(), dual ? "FE FE 10 E0 05 00 50 12 44 01 FD FE FE 10 E0 07 B1 FD"
                                 : "FE FE 10 E0 05 00 50 12 44 01 FD");
    }
}

TEST(InvioFrequenza, UnitRelayFirstAndOnlyWithTheCatPortOpen) {
    DispatchFixture f("TS-2000");
    std::string error;
    f.rotor.open("/dev/rotor", {}, false, error);
    f.k.settings().RotorType = "Kelvora";
    learnDeviceFacts(f.k);
    std::vector<std::string> order;
    f.rotor.onWrite = [&](std::string_view) { order.push_back("unit"); };
    f.radio.onWrite = [&](std::string_view) { order.push_back("radio"); };
    Invio_frequenza(f.k);
    EXPECT_EQ(f.rotor.written(), "FU14412500\r");
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), "unit");
    EXPECT_EQ(order.back(), "radio");
    EXPECT_EQ(f.radio.written(), "FA00144125000;");

    f.rotor.writes.clear();
    f.radio.close();
    Invio_frequenza(f.k);
    EXPECT_TRUE(f.rotor.writes.empty());
}

TEST(InvioFrequenza, ClosedCatPortStillFeedsLinrad) {
    DispatchFixture f("IC-9700");
    f.radio.close();
    f.socket.currentState = platform::TcpState::Connected;
    f.k.ui.Label_TX.caption = "old";
    Invio_frequenza(f.k);
    EXPECT_EQ(f.k.ui.Label_TX.caption, "old");
    EXPECT_EQ(f.socket.sends.size(), 1u);

    f.k.ui.Autoupdate.value = 0;
    Invio_frequenza(f.k);
    EXPECT_EQ(f.socket.sends.size(), 1u) << "automatic update off: Linrad is left alone";
}

TEST(InvioFrequenza, LabelTxWhileMap65Receives) {
    DispatchFixture f("IC-9700");
    std::string error;
    f.virtualPtt.open("/dev/ptt", {}, false, error);
    f.k.rs.Fqso2_kHz = "5";
    Invio_frequenza(f.k);
    EXPECT_EQ(f.k.ui.Label_TX.caption, " 144.005.000");
    EXPECT_EQ(f.sent(), "FE FE 10 E0 05 00 50 00 44 01 FD"); // 144005000

    f.k.ui.Ptt.caption = "PTT On";
    f.k.locale = {".", ","};
    Invio_frequenza(f.k);
    EXPECT_EQ(f.k.ui.Label_TX.caption, "144.125.000");
}

TEST(InvioFrequenza, NothingSentBeforeTheFirstGoodReading) {
    DispatchFixture f("IC-9700");
    f.k.rs.Fqso_kHz = "";
    f.k.ui.Label_TX.caption = "-------------";
    Invio_frequenza(f.k);
    EXPECT_TRUE(f.radio.writes.empty()) << f.sent();
    EXPECT_EQ(f.k.ui.Label_TX.caption, "-------------");

    f.k.rs.Fqso_kHz = "125";
    Invio_frequenza(f.k);
    f.radio.writes.clear();
    f.k.rs.Fqso_kHz = "??"; // a half-written file: the radio stays where it is
    Invio_frequenza(f.k);
    EXPECT_TRUE(f.radio.writes.empty()) << f.sent();
    EXPECT_EQ(f.k.ui.Label_TX.caption, "144,125,000");
}

TEST(InvioFrequenza, RadioInputIsDiscarded) {
    DispatchFixture f("IC-9700");
    std::string error;
    f.radio2.open("/dev/radio2", {}, false, error);
    f.radio.arrive(std::string("\xFE\xFE\xE0\x10\xFB\xFD", 6)); // the radio's acknowledgement
    f.radio2.arrive("FA00144125000;");
    Invio_frequenza(f.k);
    EXPECT_EQ(f.radio.bytesWaiting(), 0u);
    EXPECT_EQ(f.radio2.bytesWaiting(), 0u);

    f.radio.arrive("echo");
    f.radio.unplug();
    discardRadioInput(f.k); // a closed port is left alone
}

// Setters that consume Freq_TX make every processed tick send again; the others wait for a change.
TEST(InvioFrequenza, ResendOnEveryTickOnlyWhereFreqTxIsConsumed) {
    struct Case {
        const char* type;
        std::size_t sends; // after three processed ticks with nothing changed
    } cases[] = {{"IC-9700", 3}, {"FT-817", 3}, {"FT-1000mp", 3}, {"TS-2000", 1}, {"FT-991", 1}};
    for (const Case& c : cases) {
        DispatchFixture f(c.type);
        std::size_t sends = 0;
        f.radio.onWrite = [&](std::string_view bytes) {
            // count frames by their last byte: 0xFD, the opcode 0x01/0x0A, or ';'
            char last = bytes.back();
            sends +=
                last == '\xFD' || last == ';' || (bytes.size() == 1 && (last == 1 || last == 10));
        };
        for (int second = 1; second <= 3; ++second) {
            f.clock.wallSeconds = second;
            tmrRead_Timer(f.k);
        }
        EXPECT_EQ(sends, c.sends) << c.type;
    }
}

} // namespace
} // namespace kelvora
