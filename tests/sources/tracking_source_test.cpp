// The tracking source: the mode texts, the station place, the file's freshness, the built-in
// Moon filling the run state, and the fall-back when the file goes stale.
#include "astro/ephemeris.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "fakes/kelv_fixture.h"
#include "rotor/antenna_command.h"
#include "sources/tracking_source.h"
#include "state/numbers.h"
#include "station/station_control.h"
#include "tracking/startup.h"

#include "radio/frequency.h"

#include <gtest/gtest.h>

#include <cmath>

#include <map>

namespace kelvora {
namespace {

using Mode = TrackingSourceMode;

TEST(TrackingSourceTest, ModeTexts) {
    const std::pair<const char*, std::optional<Mode>> cases[] = {
        {"File", Mode::File},
        {"built-in", Mode::BuiltIn},
        {" File, else built-in ", Mode::FileElseBuiltIn},
        {"File,else built-in", std::nullopt},
        {"Builtin", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, mode] : cases) {
        EXPECT_EQ(parseTrackingSource(text), mode) << text;
    }
}

TEST(TrackingSourceTest, StationPlace) {
    struct Case {
        std::map<std::string, std::string> keys;
        double lat, lon; // expected, when no error
        const char* error;
    };
    const Case cases[] = {
        {{{"Locator", "JN45ab"}}, 45.0625, 8.0417, nullptr},
        {{{"Locator", "jn45"}}, 45.5, 9, nullptr},
        {{{"Latitude", "-33.9"}, {"Longitude", "151.2"}, {"Locator", "JN45"}},
         -33.9,
         151.2,
         nullptr},
        {{{"Latitude", "10"}, {"Longitude", "200"}}, 10, -160, nullptr},
        {{{"Locator", "JN4"}}, 0, 0, "[Station] Locator"},
        {{{"Locator", "ZZ99"}}, 0, 0, "[Station] Locator"},
        {{{"Latitude", "91"}, {"Longitude", "0"}}, 0, 0, "[Station] "},
        {{{"Latitude", "45,5"}, {"Longitude", "9"}},
         0,
         0,
         "[Station] Latitude: \"45,5\" is not a number"},
        {{{"Latitude", "45"}}, 0, 0, "[Station] Longitude: \"\" is not a number"},
        {{{"Locator", "JN45"}, {"Height", "high"}}, 0, 0, "[Station] Height: \"high\""},
        {{}, 0, 0, "No station place"},
    };
    for (const Case& c : cases) {
        auto lookup = [&c](std::string_view key) -> std::optional<std::string> {
            auto found = c.keys.find(std::string(key));
            return found == c.keys.end() ? std::nullopt : std::optional(found->second);
        };
        astro::Parsed<astro::Observer> place = stationPlace(lookup);
        std::string name = c.keys.empty() ? "none" : c.keys.begin()->second;
        if (c.error == nullptr) {
            ASSERT_TRUE(place) << name << ": " << place.error;
            EXPECT_NEAR(place.value->latitudeDeg, c.lat, 0.001) << name;
            EXPECT_NEAR(place.value->longitudeDeg, c.lon, 0.001) << name;
        } else {
            EXPECT_FALSE(place) << name;
            EXPECT_NE(place.error.find(c.error), std::string::npos) << name << ": " << place.error;
        }
    }
}

// Each step: the file's time text at a moment, and which source the mode then uses.
TEST(TrackingSourceTest, FreshnessDecidesTheSource) {
    struct Step {
        const char* time;
        double at;
        SourceUsed fileElseBuiltIn;
    };
    const Step steps[] = {
        {"10:00:00", 0, SourceUsed::BuiltIn},  // a time seen once may be a left-over file
        {"10:00:01", 1, SourceUsed::File},     // it moved: fresh
        {"10:00:01", 15.9, SourceUsed::File},  // still within 15 s of the change
        {"10:00:01", 16, SourceUsed::BuiltIn}, // stale
        {"10:00:30", 40, SourceUsed::File},    // moving again
        {"", 41, SourceUsed::File},            // emptied: a change, but no position anyway
    };
    FileFreshness freshness;
    for (const Step& s : steps) {
        bool fresh = freshness.update(s.time, s.at, 15);
        EXPECT_EQ(chooseSource(Mode::FileElseBuiltIn, fresh), s.fileElseBuiltIn) << s.at;
        EXPECT_EQ(chooseSource(Mode::File, fresh), SourceUsed::File);
        EXPECT_EQ(chooseSource(Mode::BuiltIn, fresh), SourceUsed::BuiltIn);
    }
}

struct SourceFixture : ::testing::Test, fakes::KelvFixture {
    void configure(const char* mode, const std::map<std::string, std::string>& station) {
        config::Settings& s = k.settings();
        s.setValue("General", "Tracking_Source", mode);
        for (const auto& [key, value] : station) {
            s.setValue("Station", key, value);
        }
        s.Offset = "144000";
        s.Sun_combo = "Moon";
    }
    // The Moon for the fixture's place at the fake clock's time.
    astro::TopocentricPosition moon() {
        astro::Observer place = *astro::makeObserver(45.0625, 8.0417).value;
        return astro::topocentricPosition(
            astro::Body::Moon, astro::UtcTime::fromUnixSeconds(clock.utcSeconds()), place);
    }
};

TEST_F(SourceFixture, BuiltInFillsTheFieldsTheFileReaderFills) {
    configure("Built-in", {{"Locator", "JN45ab"}});
    clock.wallSeconds = 3 * 3600 + 25 * 60 + 7;
    ASSERT_TRUE(prepareTrackingSource(k));
    readTrackingSource(k);
    astro::TopocentricPosition expected = moon();
    EXPECT_EQ(k.rs.Time_text, "03:25:07");
    EXPECT_NEAR(*numbers::strictNumber(k.rs.Az_text), expected.azimuthDeg, 0.051);
    EXPECT_NEAR(*numbers::strictNumber(k.rs.El_text), expected.elevationDeg, 0.051);
    EXPECT_EQ(k.rs.Az_int, k.rs.Az_text.substr(0, k.rs.Az_text.find('.')));
    EXPECT_EQ(k.rs.El_int, k.rs.El_text.substr(0, k.rs.El_text.find('.')));
    EXPECT_EQ(k.rs.Object_name, "Moon");
    EXPECT_EQ(k.rs.Fqso_kHz, "0");
    // At 144 MHz the Moon's own echo moves by up to about 450 Hz, never by nothing for long.
    std::optional<double> doppler = numbers::strictNumber(k.rs.My_doppler_Hz);
    ASSERT_TRUE(doppler);
    EXPECT_LT(std::abs(*doppler), 500);
    EXPECT_EQ(k.ui.Label_freq.caption, "144.000.000");
    EXPECT_NE(k.ui.RotorAZ.caption.find("built-in Moon"), std::string::npos);
}

// The DX place: WSJT-X's DX grid while it has one, else DX_Locator; its Doppler reaches the
// modes that need it.
TEST_F(SourceFixture, BuiltInComputesTheDxDopplerForTheDxPlace) {
    configure("Built-in", {{"Locator", "JN45ab"}, {"DX_Locator", "QF56"}});
    ASSERT_TRUE(prepareTrackingSource(k));
    astro::UtcTime now = astro::UtcTime::fromUnixSeconds(clock.utcSeconds());
    astro::Observer home = *astro::makeObserver(45.0625, 8.0417).value;
    auto expected = [&](const char* grid) {
        astro::GeoPoint p = *astro::locatorToGeoPoint(grid).value;
        astro::Observer dx{p.latitudeDeg, p.longitudeDeg, 0};
        return std::to_string(
            std::lround(astro::dxDopplerHz(astro::Body::Moon, now, home, dx, 144e6)));
    };
    for (const char* grid : {"", "FN42"}) {
        k.rs.wsjtx.dxGrid = grid;
        readTrackingSource(k);
        EXPECT_EQ(k.rs.DX_doppler_Hz, expected(*grid ? grid : "QF56")) << grid;
        EXPECT_TRUE(k.ui.DxMoon.visible);
        EXPECT_EQ(k.ui.DxMoon.caption.rfind("DX Moon ", 0), 0u) << k.ui.DxMoon.caption;
    }
    k.frmDoppler.select(static_cast<int>(DopplerMode::FullToDxGrid));
    k.rs.Doppler_form_shown = -1;
    EXPECT_TRUE(Calcolo_doppler(k));
    k.rs.wsjtx.dxGrid.clear();
    k.settings().setValue("Station", "DX_Locator", "ZZ99");
    readTrackingSource(k);
    EXPECT_EQ(k.rs.DX_doppler_Hz, "");
    EXPECT_EQ(k.ui.DxMoon.caption.rfind("[Station] DX_Locator: ", 0), 0u) << k.ui.DxMoon.caption;
}

// A radio star is tracked like the Moon and the Sun, with no Doppler shift of its own.
TEST_F(SourceFixture, BuiltInTracksARadioStar) {
    configure("Built-in", {{"Locator", "JN45ab"}});
    k.settings().Sun_combo = "Cas A";
    ASSERT_TRUE(prepareTrackingSource(k));
    readTrackingSource(k);
    astro::TopocentricPosition expected = astro::topocentricPosition(
        astro::Body::CasA, astro::UtcTime::fromUnixSeconds(clock.utcSeconds()),
        *astro::makeObserver(45.0625, 8.0417).value);
    EXPECT_NEAR(*numbers::strictNumber(k.rs.Az_text), expected.azimuthDeg, 0.051);
    EXPECT_NEAR(*numbers::strictNumber(k.rs.El_text), expected.elevationDeg, 0.051);
    EXPECT_EQ(k.rs.Object_name, "Cas A");
    EXPECT_EQ(k.rs.My_doppler_Hz, "0");
    EXPECT_NE(k.ui.RotorAZ.caption.find("built-in Cas A"), std::string::npos);
}

TEST_F(SourceFixture, BuiltInStartsWithoutATrackingFile) {
    std::string ini = k.iniPath();
    config::Create_Config_file(ini);
    config::WriteStringIni("General", "Fname", "", ini);
    config::WriteStringIni("General", "Tracking_Source", "Built-in", ini);
    config::WriteStringIni("Station", "Locator", "JN45ab", ini);
    mnuStart_Click(k);
    EXPECT_EQ(k.rs.Tracking_on, 1);
    for (const std::string& m : dialogs.messages) {
        EXPECT_EQ(m.find("File not config"), std::string::npos) << "no file is needed";
    }
}

TEST_F(SourceFixture, BadPlaceOrModeStopsStartWithAMessage) {
    const std::pair<const char*, const char*> cases[] = {
        {"Built-in", "Locator"},
        {"File, else built-in", "Locator"},
        {"Moon please", "Tracking_Source"},
    };
    for (const auto& [mode, named] : cases) {
        configure(mode, {{"Locator", "JN4"}});
        dialogs.messages.clear();
        EXPECT_FALSE(prepareTrackingSource(k)) << mode;
        ASSERT_EQ(dialogs.messages.size(), 1u) << mode;
        EXPECT_NE(dialogs.messages[0].find(named), std::string::npos) << dialogs.messages[0];
    }
    configure("File", {{"Locator", "JN4"}});
    EXPECT_TRUE(prepareTrackingSource(k)) << "the file alone needs no place";
}

TEST_F(SourceFixture, FileElseBuiltInFallsBackWhenTheFileStops) {
    configure("File, else built-in", {{"Locator", "JN45ab"}, {"Stale_Seconds", "5"}});
    std::string file = folder.file("azel.dat");
    k.rs.Tracking_file = file;
    ASSERT_TRUE(prepareTrackingSource(k));
    auto tickWith = [&](const std::string& time) { // WSJT-X transmitting all along
        folder.write("azel.dat", time + ",123.4, 45.6,Moon\r\n" + time +
                                     ",200.1, 10.2,Sun\r\n  144,  -600,  1000,Doppler, T\r\n");
        clock.advance(1);
        readTrackingSource(k);
    };
    tickWith("01:02:03");
    tickWith("01:02:04");
    EXPECT_EQ(k.rs.Az_text, "123.4");
    EXPECT_EQ(k.rs.Time_text, "01:02:04");
    EXPECT_TRUE(k.rs.trackingFileTransmitting);
    for (int i = 0; i < 5; ++i) {
        tickWith("01:02:04"); // WSJT-X's astronomy window closed: the time stands
    }
    EXPECT_NEAR(*numbers::strictNumber(k.rs.Az_text), moon().azimuthDeg, 0.051);
    EXPECT_NE(k.ui.RotorAZ.caption.find("stale"), std::string::npos);
    EXPECT_FALSE(k.rs.trackingFileTransmitting) << "a stale file's \", T\" holds nothing";
    tickWith("01:02:15"); // back
    EXPECT_EQ(k.rs.Az_text, "123.4");
    std::filesystem::remove(file);
    for (int i = 0; i < 6; ++i) {
        clock.advance(1);
        readTrackingSource(k);
    }
    EXPECT_NEAR(*numbers::strictNumber(k.rs.Az_text), moon().azimuthDeg, 0.051)
        << "a missing file is stale too, though the computed time keeps moving";
}

TEST_F(SourceFixture, FileElseBuiltInKeepsTheRotorTrackingThroughTheStationRules) {
    configure("File, else built-in", {{"Locator", "JN45ab"}, {"Stale_Seconds", "5"}});
    k.settings().RotorType = "GS232";
    std::string error;
    ASSERT_TRUE(rotor.open("/dev/ttyUSB0", {}, false, error));
    k.rs.Tracking_file = folder.file("azel.dat");
    while (moon().elevationDeg < 10) { // a time of the fake day with the Moon up
        clock.advance(1800);
    }
    ASSERT_TRUE(prepareTrackingSource(k));
    auto second = [&](const std::string& time) {
        folder.write("azel.dat", time + ",123.4, 45.6,Moon\r\n" + time + ",200.1, 10.2,Sun\r\n");
        clock.advance(1);
        readTrackingSource(k);
        station::commandNewTarget(k);
    };
    second("01:02:03");
    second("01:02:04");
    // A file seen for the first time is not yet known to be fresh; once its time moves it is used.
    EXPECT_TRUE(rotor.written().ends_with("W123 045\r")) << rotor.written();
    rotor.writes.clear();
    for (int i = 0; i < 8; ++i) {
        second("01:02:04"); // the file stands still
    }
    std::string expected = "W" + numbers::padLeft(std::to_string(int(moon().azimuthDeg)), 3);
    EXPECT_NE(rotor.written().find(expected), std::string::npos)
        << rotor.written() << " / " << k.ui.RotorAZ.caption;
    EXPECT_EQ(k.rs.antenna.holdText, "") << "the computed positions are fresh";
}

// At Start the first reading decides: a file telling the present time is used at once, one left
// over from an earlier session is not (the computed Moon is).
TEST_F(SourceFixture, FileElseBuiltInAtStartUsesAFileWrittenNowAtOnce) {
    struct Case {
        const char* time;
        double clockSecond; // of the UTC day
        bool fileWins;
    };
    const Case cases[] = {
        {"01:02:01", 3723, true},  // two seconds behind the clock
        {"23:59:58", 1, true},     // across midnight
        {"00:30:00", 3723, false}, // a left-over file
        {"1:02:03", 3723, false},  // not a time of day
    };
    configure("File, else built-in", {{"Locator", "JN45ab"}});
    k.settings().RotorType = "GS232";
    std::string error;
    ASSERT_TRUE(rotor.open("/dev/ttyUSB0", {}, false, error));
    k.rs.Tracking_file = folder.file("azel.dat");
    int azimuth = 120;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        std::string az = std::to_string(++azimuth); // a new target each Start
        folder.write("azel.dat", std::string(c.time) + "," + az + ".4, 45.6,Moon\r\n" + c.time +
                                     ",200.1, 10.2,Sun\r\n");
        clock.wallSeconds = c.clockSecond;
        rotor.writes.clear();
        ASSERT_TRUE(prepareTrackingSource(k));
        readTrackingSource(k);
        station::commandNewTarget(k);
        EXPECT_EQ(rotor.written().find("W" + az + " 045") != std::string::npos, c.fileWins)
            << rotor.written() << " / " << k.ui.RotorAZ.caption;
    }
}

} // namespace
} // namespace kelvora
