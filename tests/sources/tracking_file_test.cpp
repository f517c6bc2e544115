// The tracking file reader: layouts, branches, line ends and damaged files.
#include "fakes/kelv_fixture.h"
#include "sources/tracking_file.h"
#include "state/numbers.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvora {
namespace {

const std::string kMoon = "01:02:03,123.4, 45.6,Moon\r\n";
const std::string kSun = "01:02:04,200.1, 10.2,Sun\r\n";
const std::string kFreq = "125,  fQSO\r\n130,  fQSO2\r\n";

// Doppler fields in front of the keyword, as the two layouts with Doppler values place them.
const std::string kDoppler93 = " 144,  -600,  1000,Doppler";
const std::string kDoppler116 = " 432, -1234.5,         987654.2,         Doppler";

// A file whose "Doppler" lands at `target` in the working text of the given branch.
std::string fileWithDopplerAt(long target, bool moonBranch, const std::string& tail,
                              bool withFrequencies = true) {
    // The Sun branch needs no Moon line; leaving it out makes room for the short layouts.
    std::string head = (moonBranch ? kMoon + kSun : kSun) + (withFrequencies ? kFreq : "");
    long shift = moonBranch ? 9 : 0; // the Moon branch drops "hh:mm:ss,"
    long keywordInTail = static_cast<long>(tail.find("Doppler"));
    long fill = target - 1 + shift - static_cast<long>(head.size()) - keywordInTail;
    EXPECT_GE(fill, 0) << "layout does not fit";
    return head + std::string(static_cast<std::size_t>(std::max(fill, 0L)), ' ') + tail + "\r\n";
}

std::string withLfOnly(std::string text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

struct Parsed {
    RunState rs;
    TrackingInputs inputs;
    bool read;
};

Parsed parse(const std::string& file, TrackingInputs inputs) {
    Parsed p{RunState{}, inputs, false};
    p.read = parseTrackingText(workingText(file), p.inputs, p.rs);
    return p;
}

TEST(TrackingFileTest, MoonLineGivesTimeTargetAndObject) {
    Parsed p = parse(kMoon + kSun, {});
    ASSERT_TRUE(p.read);
    EXPECT_EQ(p.rs.Time_text, "01:02:03");
    EXPECT_EQ(p.rs.Az_text, "123.4");
    EXPECT_EQ(p.rs.Az_int, "123");
    EXPECT_EQ(p.rs.El_text, " 45.6");
    EXPECT_EQ(p.rs.El_int, " 45");
    EXPECT_EQ(p.rs.Object_name, "Moon");
}

TEST(TrackingFileTest, SunLineFoundByItsFixedOffsets) {
    TrackingInputs in;
    in.Sun_combo = "Sun";
    in.Doppler_Check = 1;
    Parsed p = parse(kMoon + kSun, in);
    EXPECT_EQ(p.rs.Time_text, "01:02:04");
    EXPECT_EQ(p.rs.Az_text, "200.1");
    EXPECT_EQ(p.rs.Az_int, "200");
    EXPECT_EQ(p.rs.El_text, " 10.2");
    EXPECT_EQ(p.rs.El_int, " 10");
    EXPECT_EQ(p.rs.Object_name, "Sun");
    EXPECT_EQ(p.inputs.Doppler_Check, 0) << "the DX Doppler is never applied to the Sun";
}

TEST(TrackingFileTest, UnknownObjectLeavesPositionButReadsFrequencies) {
    TrackingInputs in;
    in.Sun_combo = "moon";
    Parsed p = parse(fileWithDopplerAt(93, false, kDoppler93), in);
    EXPECT_EQ(p.rs.Az_text, "");
    EXPECT_EQ(p.rs.Time_text, "");
    EXPECT_EQ(p.rs.Fqso_kHz, "125");
    EXPECT_EQ(p.rs.DX_doppler_Hz, "  -600");
}

struct LayoutCase {
    long q;
    bool moon;
    std::string tail;
    bool frequencies;
    std::string band, dx, my;
    bool dopplerSwitchedOff;
    std::string fqso;
};

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, FieldsOfTheLayout) {
    const LayoutCase& c = GetParam();
    std::string file = fileWithDopplerAt(c.q, c.moon, c.tail, c.frequencies);
    TrackingInputs in;
    in.Sun_combo = c.moon ? "Moon" : "Sun";
    in.Doppler_Check = 1;
    for (bool lfOnly : {false, true}) {
        SCOPED_TRACE(lfOnly ? "LF line ends" : "CR LF line ends");
        std::string text = lfOnly ? withLfOnly(file) : file;
        std::string working = workingText(text);
        std::string afterTime = c.moon ? working.substr(working.find(',') + 1) : working;
        ASSERT_EQ(numbers::findFrom1(afterTime, "Doppler"), static_cast<std::size_t>(c.q));
        Parsed p = parse(text, in);
        EXPECT_EQ(p.rs.Fqso_kHz, c.fqso);
        EXPECT_EQ(p.rs.Fqso2_kHz, c.frequencies ? "130" : "");
        EXPECT_EQ(p.rs.Band_MHz, c.band);
        EXPECT_EQ(p.rs.DX_doppler_Hz, c.dx);
        EXPECT_EQ(p.rs.My_doppler_Hz, c.my);
        EXPECT_EQ(p.inputs.Doppler_Check, (c.dopplerSwitchedOff || !c.moon) ? 0 : 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryLayoutInBothBranches, LayoutTest,
    ::testing::Values(
        LayoutCase{86, true, "x,Doppler", true, "", "", "", true, "125"},
        LayoutCase{95, true, "x,Doppler", true, "", "", "", true, "125"},
        LayoutCase{93, true, kDoppler93, true, " 144", "  -600", "  1000", false, "125"},
        LayoutCase{116, true, kDoppler116, false, " 432", " -1234.5", "987654.2", false, "0"},
        LayoutCase{86, false, "x,Doppler", true, "", "", "", true, "125"},
        LayoutCase{95, false, "x,Doppler", true, "", "", "", true, "125"},
        LayoutCase{93, false, kDoppler93, true, " 144", "  -600", "  1000", false, "125"},
        LayoutCase{116, false, kDoppler116, false, " 432", " -1234.5", "987654.2", false, "0"},
        LayoutCase{100, true, kDoppler93, false, "", "", "", false, ""}));

TEST(TrackingFileTest, SameFileSelectsDifferentLayoutsPerBranch) {
    // Doppler at 93 of the Sun branch's text is at 84 of the Moon branch's.
    std::string file = fileWithDopplerAt(93, false, kDoppler93);
    Parsed moon = parse(file, {});
    EXPECT_EQ(moon.rs.DX_doppler_Hz, "");
    EXPECT_EQ(moon.rs.Fqso_kHz, "");
}

TEST(TrackingFileTest, SecondFrequencyFollowsMap65WhenAsked) {
    TrackingInputs in;
    in.map65_fqso2 = 1;
    Parsed p = parse(fileWithDopplerAt(93, true, kDoppler93), in);
    EXPECT_EQ(p.rs.Fqso_kHz, "130");
    EXPECT_EQ(p.rs.Fqso2_kHz, "130");
}

TEST(TrackingFileTest, FinalLineEndInAnyFormLosesNothing) {
    EXPECT_EQ(workingText("a\r\nb\r\n"), "a\r\nb");
    EXPECT_EQ(workingText("a\nb\n"), "a\r\nb");
    EXPECT_EQ(workingText("a\nb"), "a\r\nb");
    EXPECT_EQ(workingText("a\r\nb\r"), "a\r\nb");
    EXPECT_EQ(workingText("\n"), "");
    EXPECT_EQ(workingText(""), "");
}

TEST(TrackingFileTest, DamagedTextsChangeOnlyWhatTheyReach) {
    RunState before;
    before.Time_text = "00:00:00";
    before.Az_text = "1.0";
    before.Fqso_kHz = "111";
    const char* texts[] = {"", ",", ",,,", "Doppler", "fQSO", "no commas at all", "\x01\x02\x03"};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        RunState rs = before;
        TrackingInputs in;
        parseTrackingText(workingText(t), in, rs);
        EXPECT_EQ(rs.Fqso_kHz, "111");
    }
}

TEST(TrackingFileTest, RandomBytesNeverCrash) {
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 300, '\0');
        for (char& c : text) {
            c = static_cast<char>(random() % 256);
        }
        if (round % 3 == 0) { // keep the keywords in play
            text += ",fQSO,fQSO2,Doppler,Moon,Sun";
        }
        RunState rs;
        TrackingInputs in;
        in.Sun_combo = round % 2 ? "Moon" : "Sun";
        parseTrackingText(workingText(text), in, rs);
    }
}

class ReadFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        k().rs.Tracking_file = fx.folder.file("azel.dat");
        k().settings().Sun_combo = "Moon";
    }
    Kelv& k() { return fx.k; }
    fakes::KelvFixture fx;
};

TEST_F(ReadFileTest, ShowsTheFrequencyReadout) {
    fx.folder.write("azel.dat", fileWithDopplerAt(93, true, kDoppler93));
    Read_File(k());
    EXPECT_EQ(k().ui.Label_freq.caption, " 144.125.000");
    EXPECT_EQ(k().ui.Label_TX.fore, ui::kGreen);
}

TEST_F(ReadFileTest, SmallQsoFrequencyGetsLeadingZeros) {
    std::string file = fileWithDopplerAt(93, true, kDoppler93);
    file.replace(file.find("125,  fQSO"), 3, "  5");
    fx.folder.write("azel.dat", file);
    Read_File(k());
    EXPECT_EQ(k().ui.Label_freq.caption, " 144.005.000");
}

TEST_F(ReadFileTest, UnreadableFilesChangeNothing) {
    k().rs.Az_text = "old";
    k().ui.Label_freq.caption = "keep";
    // Missing, empty, too long, a folder.
    Read_File(k());
    fx.folder.write("azel.dat", "");
    Read_File(k());
    fx.folder.write("azel.dat", std::string(kMaxTrackingFileSize + 1, 'x') + kMoon);
    Read_File(k());
    k().rs.Tracking_file = fx.folder.path();
    Read_File(k());
    EXPECT_EQ(k().rs.Az_text, "old");
    EXPECT_EQ(k().ui.Label_freq.caption, "keep");
}

TEST_F(ReadFileTest, HalfWrittenFileKeepsTheFieldsItDoesNotReach) {
    fx.folder.write("azel.dat", fileWithDopplerAt(93, true, kDoppler93));
    Read_File(k());
    fx.folder.write("azel.dat", kMoon.substr(0, 14));
    Read_File(k());
    EXPECT_EQ(k().rs.Time_text, "01:02:03");
    EXPECT_EQ(k().rs.Fqso_kHz, "125");
    EXPECT_EQ(k().rs.DX_doppler_Hz, "  -600");
}

TEST_F(ReadFileTest, SwitchingDopplerOffClearsTheSettingsBox) {
    k().settings().Doppler_Check = 1;
    fx.folder.write("azel.dat", fileWithDopplerAt(86, true, "x,Doppler"));
    Read_File(k());
    EXPECT_EQ(k().settings().Doppler_Check, 0);
}

} // namespace
} // namespace kelvora
