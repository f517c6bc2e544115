#include "calibration/calibration_demo.h"
#include "calibration/calibration_files.h"
#include "calibration/scan.h"
#include "station/station_control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace kelvora::calibration {
namespace {

// A scan's points around a beam of width `beam` whose peak lies at (x0, y0): the source `snr`
// times a reading's noise (standard deviation) above the floor, 10 dB of signal to noise being
// 10; each point the power average of `readings` readings, as a dwell gives it.
std::vector<ScanPoint> syntheticScan(Pattern pattern, double beam, double x0, double y0, double snr,
                                     unsigned seed, int readings = 1) {
    ScanSettings s;
    s.beamDeg = beam;
    s.pattern = pattern;
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, 1);
    std::vector<ScanPoint> points;
    const double floor = 10, height = 5, sigma = height / snr;
    for (const ScanOffset& o : planScan(s)) {
        if (!o.coldSky) {
            double r2 = std::pow(o.crossElDeg - x0, 2) + std::pow(o.elDeg - y0, 2);
            double p = floor + height * std::exp(-4 * std::log(2.0) * r2 / (beam * beam));
            double sum = 0;
            for (int i = 0; i < readings; ++i) {
                sum += p + sigma * noise(random);
            }
            points.push_back({o.crossElDeg, o.elDeg, 10 * std::log10(sum / readings)});
        }
    }
    return points;
}

TEST(BeamFit, FindsKnownOffsetsAtTenDecibelsOfSignalToNoise) {
    // The cross's 13 points need the five readings of the default dwell; the raster's 49 do
    // with one.
    struct Case {
        Pattern pattern;
        double beam, x0, y0;
        int readings;
    };
    const Case cases[] = {
        {Pattern::Cross, 3, 0.4, -0.2, 5}, {Pattern::Cross, 10, -2.5, 1.5, 5},
        {Pattern::Cross, 0.7, 0, 0.2, 5},  {Pattern::Raster, 3, 0.9, 0.6, 1},
        {Pattern::Raster, 10, -3, -2, 1},
    };
    for (const Case& c : cases) {
        for (unsigned seed = 1; seed <= 20; ++seed) {
            BeamFit fit =
                fitBeam(syntheticScan(c.pattern, c.beam, c.x0, c.y0, 10, seed, c.readings), c.beam,
                        1.5 * c.beam, 10.0);
            SCOPED_TRACE(::testing::Message() << c.beam << " " << c.x0 << " " << c.y0 << " seed "
                                              << seed << ": " << fit.verdict);
            EXPECT_TRUE(fit.trustworthy);
            EXPECT_NEAR(fit.crossElDeg, c.x0, c.beam / 10);
            EXPECT_NEAR(fit.elDeg, c.y0, c.beam / 10);
            EXPECT_NEAR(fit.beamDeg, c.beam, c.beam / 5);
            EXPECT_NEAR(*fit.sourceNoiseDb, 10 * std::log10(1.5), 0.5);
        }
    }
}

TEST(BeamFit, RefusesScansThatCannotBeTrusted) {
    struct Case {
        const char* what;
        std::vector<ScanPoint> points;
        const char* verdict;
    };
    const Case cases[] = {
        {"source three beams off", syntheticScan(Pattern::Cross, 3, 9, 0, 10, 1), ""},
        {"source far off in both axes", syntheticScan(Pattern::Raster, 3, 8, -8, 10, 2), ""},
        {"peak past the span", syntheticScan(Pattern::Raster, 3, 5.2, 0, 30, 3), ""},
        {"drowned in noise", syntheticScan(Pattern::Cross, 3, 0.5, 0, 0.7, 4), ""},
        {"too few points", {{0, 0, 3}, {1, 0, 2}, {0, 1, 2}}, "too few points"},
    };
    for (const Case& c : cases) {
        BeamFit fit = fitBeam(c.points, 3, 4.5, std::nullopt);
        EXPECT_FALSE(fit.trustworthy) << c.what;
        EXPECT_NE(fit.verdict.find(c.verdict), std::string::npos) << c.what << ": " << fit.verdict;
    }
}

// The devices of a scan on a station with a horizon mask, recording every command that went out.
class RecordingStation : public ScanDevices {
public:
    explicit RecordingStation(const std::filesystem::path& folder) {
        station::StationSettings s;
        s.holdTx = true;
        s.horizonFile = "mask.txt";
        rules.configure(s, folder.string());
    }
    double utcSeconds() override { return utc; }
    void sleepFor(double seconds) override { utc += seconds; }
    MoveOutcome point(const station::AzElTarget& target) override {
        station::MoveDecision d =
            rules.move({station::Origin::Calibration, target}, {0, transmitting, utc});
        if (d.verdict == station::Verdict::Send) {
            sent.push_back(d.target);
        }
        return {d.verdict, d.reason};
    }
    std::optional<station::AzElTarget> reported() override { return sent.back(); }
    std::optional<double> powerDb() override { return 0.0; }

    station::StationRules rules;
    double utc = 1782000000 + 9 * 3600; // 2026-06-21T09:00Z, the Sun in the south-east
    bool transmitting = false;
    std::vector<station::AzElTarget> sent;
};

TEST(Scan, KeepsItsShapeFollowsTheSourceAndObeysTheSeam) {
    const auto folder = std::filesystem::temp_directory_path() / "kelvora_scan_test";
    std::filesystem::create_directories(folder);
    const astro::Observer place = astro::makeObserver(45.5, 9.2).value.value();
    const auto sun = [&](double utc) {
        return astro::topocentricPosition(astro::Body::Sun, astro::UtcTime::fromUnixSeconds(utc),
                                          place);
    };
    RecordingStation station(folder);
    const double el = sun(station.utc).elevationDeg;
    // A mask that cuts the scan's lower points off: they are skipped, never commanded.
    std::ofstream(folder / "mask.txt") << "0," << el - 2 << "\n180," << el - 2 << "\n";
    ScanSettings s;
    s.beamDeg = 3;
    s.dwellSeconds = 10;
    Scan scan(s, astro::Body::Sun, place);

    station.transmitting = true;
    EXPECT_EQ(scan.step(station), StepResult::Paused);
    EXPECT_TRUE(station.sent.empty());
    station.transmitting = false;
    int skipped = 0;
    for (StepResult r = scan.step(station); r != StepResult::Done; r = scan.step(station)) {
        skipped += r == StepResult::Skipped;
    }
    EXPECT_EQ(skipped, 2); // -4.5 and -3 degrees in elevation under the mask's el - 2
    for (const station::AzElTarget& t : station.sent) {
        EXPECT_GE(t.el, el - 2 - 0.1);
    }
    // The azimuth line: ±4.5° on the sky, in azimuth / cos(el), around the moving Sun.
    const MeasuredPoint& first = scan.points().front();
    const MeasuredPoint& last = scan.points()[6];
    const double cosEl = std::cos(first.source.el * M_PI / 180);
    EXPECT_NEAR((station.sent[6].az - station.sent[0].az) * cosEl,
                9 + (last.source.az - first.source.az) * cosEl, 0.05);
    EXPECT_NEAR(first.measured.crossElDeg, -4.5, 0.03); // the Sun moves on through the dwell
    EXPECT_GT(last.source.az, first.source.az + 0.2);   // a minute of scan: the Sun moved on
    EXPECT_TRUE(scan.coldSkyDb().has_value());
    std::filesystem::remove_all(folder);
}

// The whole demo: the correction is minus the rotor's hidden error, whatever the source.
TEST(CalibrationDemo, RecoversTheHiddenPointingError) {
    struct Case {
        const char* source;
        const char* az;
        const char* el;
        const char* beam;
    };
    const Case cases[] = {
        {"Sun", "0.4", "-0.2", "3"},
        {"cas a", "-0.3", "0.5", "3"},
        {"Sun", "-1.2", "0.8", "10"},
        {"Tau A", "0.1", "0.1", "2"},
    };
    for (const Case& c : cases) {
        for (const char* seed : {"1", "2", "3"}) {
            astro::CommandResult r = runCalibrationDemo({c.source, c.az, c.el, c.beam, seed});
            double az = 0, el = 0, beam = 0, noise = 0;
            ASSERT_EQ(std::sscanf(r.output.c_str(), "%lf %lf %lf %lf", &az, &el, &beam, &noise), 4)
                << r.error;
            SCOPED_TRACE(std::string(c.source) + " seed " + seed + ": " + r.output + r.error);
            EXPECT_EQ(r.exitCode, 0);
            EXPECT_NEAR(az, -std::stod(c.az), 0.1);
            EXPECT_NEAR(el, -std::stod(c.el), 0.1);
            EXPECT_NEAR(beam, std::stod(c.beam), 0.1 * std::stod(c.beam));
        }
    }
    EXPECT_EQ(runCalibrationDemo({"Mars", {}, {}, {}, {}}).exitCode, 2);
    EXPECT_EQ(runCalibrationDemo({"Sun", "x", {}, {}, {}}).exitCode, 2);
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// rotor.dat moves by exactly the correction, in decimal, and the old file is kept byte for byte.
TEST(RotorDatApply, ShiftsEveryEntryAndKeepsTheBackup) {
    const auto folder = std::filesystem::temp_directory_path() / "kelvora_rotor_dat_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string old;
    for (int i = 0; i <= 360; ++i) {
        old += std::to_string(i) + (i == 10 ? ",0.125" : i == 11 ? ",-2" : ",0") + "\r\n";
    }
    for (int i = 0; i <= 90; ++i) {
        old += std::to_string(i) + (i == 45 ? ",-1.5" : ",0") + "\r\n";
    }
    std::ofstream(folder / "rotor.dat", std::ios::binary) << old;

    EXPECT_EQ(applyToRotorDat(folder.string(), {-0.4, 0.2}, "20261209-053000"), "");
    EXPECT_EQ(readAll(folder / "rotor.dat.bak-20261209-053000"), old);
    std::istringstream lines(readAll(folder / "rotor.dat"));
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) {
        got.push_back(line);
    }
    ASSERT_EQ(got.size(), 452u);
    const std::pair<std::size_t, const char*> expected[] = {
        {0, "0,-0.40\r"},  {10, "10,-0.275\r"}, {11, "11,-2.40\r"}, {360, "360,-0.40\r"},
        {361, "0,0.20\r"}, {406, "45,-1.30\r"}, {451, "90,0.20\r"},
    };
    for (const auto& [index, text] : expected) {
        EXPECT_EQ(got[index], text) << index;
    }

    // Blank lines after the records, which the program reads past, stay as they are.
    std::ofstream(folder / "rotor.dat", std::ios::binary | std::ios::trunc) << old << "\r\n";
    EXPECT_EQ(applyToRotorDat(folder.string(), {0, 0.2}, "20261209-053030"), "");
    EXPECT_TRUE(readAll(folder / "rotor.dat").ends_with("90,0.20\r\n\r\n"));

    // A damaged file is left alone, without a backup.
    std::ofstream(folder / "rotor.dat", std::ios::binary | std::ios::trunc) << "0,0\r\nbad\r\n";
    EXPECT_NE(applyToRotorDat(folder.string(), {1, 1}, "20261209-053100").find("line 2"),
              std::string::npos);
    EXPECT_EQ(readAll(folder / "rotor.dat"), "0,0\r\nbad\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "rotor.dat.bak-20261209-053100"));
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace kelvora::calibration
