// Yaesu blocks in both byte orders, CAT on/off, the ASCII length rules and the FT-991 range.
#include "radio/yaesu.h"

#include "radio_test_support.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using radiotest::hex;
using radiotest::RadioFixture;

TEST(YaesuBlocks, BytesPerTypeOneWritePerByte) {
    struct Case {
        const char* type;
        const char* freq;
        void (*send)(Kelv&);
        const char* bytes;
    } cases[] = {
        {"FT-817", "144125000", FT817SetTXFreq, "14 41 25 00 01"},
        {"FT-857", "144125007", FT817SetTXFreq, "14 41 25 01 01"},
        {"FT-897", "50313000", FT817SetTXFreq, "05 03 13 00 01"},
        {"FT-847", "144125000", FT817SetTXFreq, "00 00 00 00 00 14 41 25 00 01 80 80 80 80 80"},
        {"FT-736R", "432065000", FT736RSetTXFreq, "00 00 00 00 00 43 20 65 00 01 80 80 80 80 80"},
        {"FT-1000mp", "144125007", FT1000SetTXFreq, "00 25 41 14 0A"},
        {"FT-1000mp", "14074000", FT1000SetTXFreq, "00 74 40 01 0A"},
    };
    for (const Case& c : cases) {
        RadioFixture f(c.type);
        f.k.rs.Freq_TX = c.freq;
        c.send(f.k);
        EXPECT_EQ(f.sent(), c.bytes) << c.type << " " << c.freq;
        for (const std::string& w : f.radio.writes) {
            EXPECT_EQ(w.size(), 1u) << c.type;
        }
        EXPECT_EQ(f.k.rs.Freq_TX, "0") << c.type;
    }
}

TEST(YaesuBlocks, Ft736rPausesBeforeTheBlock) {
    RadioFixture f("FT-736R");
    f.k.rs.Rotor_pace_delay = 0.5f;
    double before = f.clock.monotonic;
    f.radio.onWrite = [&](std::string_view) {
        EXPECT_GT(f.clock.monotonic - before, 0.5) << "written before the pause";
    };
    f.k.rs.Freq_TX = "144125000";
    FT736RSetTXFreq(f.k);
    EXPECT_EQ(f.radio.writes.size(), 15u);
}

TEST(YaesuBlocks, OneGigahertzAndAboveIsRefused) {
    for (const char* type : {"FT-736R", "FT-817", "FT-847", "FT-1000mp"}) {
        RadioFixture f(type);
        f.k.rs.Freq_TX = "1296000000";
        if (std::string(type) == "FT-736R") {
            FT736RSetTXFreq(f.k);
        } else if (std::string(type) == "FT-1000mp") {
            FT1000SetTXFreq(f.k);
        } else {
            FT817SetTXFreq(f.k);
        }
        EXPECT_TRUE(f.radio.writes.empty()) << type << ": " << f.sent();
        EXPECT_EQ(f.k.ui.RotorAZ.caption, yaesu::kFreqOutOfRange) << type;
    }
}

TEST(YaesuAscii, LengthRulesPerModel) {
    struct Case {
        const char* type;
        void (*send)(Kelv&);
        const char* freq;
        const char* command; // "" = nothing sent
        const char* status;
    } cases[] = {
        {"FT-950", FT950SetTXFreq, "50313000", "FA50313000;", "FA50313000;"},
        {"FT-950", FT950SetTXFreq, "144125000", "", "FT-950 cannot take 144125000 Hz"},
        {"FT-950", FT950SetTXFreq, "5031300.5", "", "FT-950 cannot take 5031300.5 Hz"},
        {"FT-5000", FT5000SetTXFreq, "7074000", "", "FT-5000 cannot take 7074000 Hz"},
        {"FT-5000", FT5000SetTXFreq, "14074000", "FA14074000;", "FA14074000;"},
        {"FT-991", FT991SetTXFreq, "50313000", "FA050313000;", "FA050313000;"},
        {"FT-991", FT991SetTXFreq, "144125000", "FA144125000;", "FA144125000;"},
        {"FT-991", FT991SetTXFreq, "1296000000", "", "Error frequency"},
        {"FT-991", FT991SetTXFreq, "7074000", "", "FT-991 cannot take 7074000 Hz"},
        {"FT-991", FT991SetTXFreq, "7074000.5", "", "FT-991 cannot take 7074000.5 Hz"},
        // sent, then reported: the radio's range ends at 470 MHz
        {"FT-991", FT991SetTXFreq, "900000000", "FA900000000;", "Error frequency"},
    };
    for (const Case& c : cases) {
        RadioFixture f(c.type);
        f.k.rs.Freq_TX = c.freq;
        c.send(f.k);
        EXPECT_EQ(f.radio.written(), c.command) << c.type << " " << c.freq;
        EXPECT_LE(f.radio.writes.size(), 1u);
        EXPECT_EQ(f.k.ui.RotorAZ.caption, c.status) << c.type << " " << c.freq;
        EXPECT_EQ(f.k.rs.Freq_TX, c.freq) << "the ASCII models leave the frequency in place";
    }
}

TEST(YaesuVfo, Ft1000mpBlocksAsOneWrite) {
    struct Case {
        void (*click)(Kelv&);
        const char* bytes;
        const char* status;
    } cases[] = {
        {FT1000mpVFO_A, "00 00 00 00 05", "SET VFO A"},
        {FT1000mpVFO_B, "00 00 00 02 05", "SET VFO B"},
        {FT1000mpVFO_AB, "00 00 00 00 85", "SET VFO A = VFO B"},
    };
    for (const Case& c : cases) {
        RadioFixture f("FT-1000mp");
        c.click(f.k);
        ASSERT_EQ(f.radio.writes.size(), 1u);
        EXPECT_EQ(f.sent(), c.bytes);
        EXPECT_EQ(f.k.ui.RotorAZ.caption, c.status);
    }
}

} // namespace
} // namespace kelvora
