#include "astro/ephemeris.h"
#include "astro/ephemeris_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>

namespace kelvora::astro {
namespace {

Observer place(double lat, double lon, double height) {
    return makeObserver(lat, lon, height).value.value();
}

UtcTime at(const char* text) {
    return UtcTime::parse(text).value.value();
}

// Each row of the astropy table within 0.05 degrees. The azimuth difference is taken on the sky,
// wrapped and scaled by cos(elevation): near the zenith a raw azimuth difference is large for a
// tiny pointing difference, and pointing is what the tolerance is about.
TEST(Ephemeris, MatchesTheAstropyTable) {
    std::ifstream in(KELVORA_REFERENCE_CSV);
    std::string line;
    ASSERT_TRUE(std::getline(in, line)) << KELVORA_REFERENCE_CSV;
    double worstEl = 0, worstAz = 0, worstKm = 0, worstRate = 0;
    int rows = 0;
    for (; std::getline(in, line); ++rows) {
        char body[8], utc[24];
        double lat, lon, h, az, el, km, rate;
        ASSERT_EQ(std::sscanf(line.c_str(), "%7[^,],%23[^,],%lf,%lf,%lf,%lf,%lf,%lf,%lf", body, utc,
                              &lat, &lon, &h, &az, &el, &km, &rate),
                  9)
            << line;
        TopocentricPosition p = topocentricPosition(
            std::string(body) == "Moon" ? Body::Moon : Body::Sun, at(utc), place(lat, lon, h));
        double dAz = std::remainder(p.azimuthDeg - az, 360.0) * std::cos(el * M_PI / 180);
        worstEl = std::max(worstEl, std::abs(p.elevationDeg - el));
        worstAz = std::max(worstAz, std::abs(dAz));
        // astropy's distance is astrometric (the body one light time back, in the barycentric
        // frame): for the Moon it is off by the Earth's 30 km/s over 1.3 s, up to 40 km.
        worstKm = std::max(worstKm, std::abs(p.distanceKm - km));
        worstRate = std::max(worstRate, std::abs(p.rangeRateKmS - rate));
        EXPECT_NEAR(p.elevationDeg, el, 0.05) << line;
        EXPECT_LT(std::abs(dAz), 0.05) << line;
    }
    EXPECT_GE(rows, 40);
    std::printf("worst of %d rows: elevation %.5f deg, azimuth on the sky %.5f deg, distance %.3f "
                "km, range rate %.5f km/s\n",
                rows, worstEl, worstAz, worstKm, worstRate);
    EXPECT_LT(worstKm, 45);
    EXPECT_LT(worstRate, 0.002); // 13 Hz of echo Doppler at 10 GHz
}

TEST(Ephemeris, OwnEchoDopplerIsNegativeWhileTheMoonRecedes) {
    // The table's first row: the Moon recedes at 0.358782 km/s, so -2 * v / c * f = -3102.0 Hz.
    EXPECT_NEAR(ownEchoDopplerHz(Body::Moon, at("1997-03-13T20:14:59"), place(45, 10, 100), 1296e6),
                -3102.0, 3);
}

// The rise found is the first moment the body is up: below a second before, up at it and not
// up at any ten-minute mark in between. A body already up has no rise to wait for.
TEST(Ephemeris, NextRiseIsTheFirstCrossingOfTheHorizon) {
    const Observer places[] = {place(65.5, 15.0, 0), place(-33.9, 151.2, 50), place(0, -75, 0)};
    int rises = 0;
    for (const Observer& o : places) {
        for (Body body : {Body::Moon, Body::Sun}) {
            for (double from = 1786492800; from < 1786492800 + 86400; from += 4 * 3600) {
                std::optional<double> rise = nextRiseUnixSeconds(body, from, o);
                auto el = [&](double t) {
                    return topocentricPosition(body, UtcTime::fromUnixSeconds(t), o).elevationDeg;
                };
                if (el(from) >= 0) {
                    EXPECT_FALSE(rise);
                    continue;
                }
                ASSERT_TRUE(rise);
                ++rises;
                EXPECT_GE(el(*rise), 0);
                EXPECT_LT(el(*rise - 1.5), 0);
                for (double t = from; t < *rise; t += 600) {
                    EXPECT_LT(el(t), 0) << t;
                }
            }
        }
    }
    EXPECT_GT(rises, 10);
}

TEST(Locator, CentresAndErrors) {
    struct Case {
        const char* text;
        double lat, lon;
        const char* error; // part of the error text, or nullptr when valid
    } cases[] = {
        {"JN45", 45.5, 9.0, nullptr},
        {"jn45AB", 45.0625, 8.0 + 1.0 / 24, nullptr},
        {"AA00aa", -90 + 1.0 / 48, -180 + 1.0 / 24, nullptr},
        {"RR99xx", 90 - 1.0 / 48, 180 - 1.0 / 24, nullptr},
        {"JN4", 0, 0, "4 or 6 characters"},
        {"JN45a", 0, 0, "4 or 6 characters"},
        {"SN45", 0, 0, "letters A to R"},
        {"J545", 0, 0, "letters A to R"},
        {"JNA5", 0, 0, "digits"},
        {"JN45ay", 0, 0, "letters A to X"},
    };
    for (const Case& c : cases) {
        Parsed<GeoPoint> p = locatorToGeoPoint(c.text);
        if (c.error) {
            EXPECT_FALSE(p) << c.text;
            EXPECT_NE(p.error.find(c.error), std::string::npos) << p.error;
        } else {
            ASSERT_TRUE(p) << c.text << ": " << p.error;
            EXPECT_NEAR(p.value->latitudeDeg, c.lat, 1e-9) << c.text;
            EXPECT_NEAR(p.value->longitudeDeg, c.lon, 1e-9) << c.text;
        }
    }
}

TEST(Input, ObserverAndTimeChecks) {
    EXPECT_EQ(makeObserver(10, 200).value->longitudeDeg, -160);
    EXPECT_EQ(makeObserver(-90, 360, -400).value->longitudeDeg, 0);
    for (auto [lat, lon, h, error] : {std::tuple{90.5, 0.0, 0.0, "latitude 90.5"},
                                      {NAN, 0.0, 0.0, "latitude"},
                                      {0.0, -180.5, 0.0, "longitude -180.5"},
                                      {0.0, 0.0, 20000.0, "height 20000 m"}}) {
        EXPECT_NE(makeObserver(lat, lon, h).error.find(error), std::string::npos) << error;
    }
    for (auto [text, error] : {std::pair{"2016-12-31T23:59:60", ""},
                               {"2024-02-29T00:00:00", ""},
                               {"2017-12-31T23:59:60", "60 only at the end of a leap-second day"},
                               {"2023-02-29T00:00:00", "no day 29"},
                               {"2024-13-01T00:00:00", "month"},
                               {"2024-06-01T24:00:00", "hour"},
                               {"1959-12-31T00:00:00", "year"},
                               {"2024-06-01 12:00:00", "YYYY-MM-DDTHH:MM:SS"},
                               {"2024-6-01T12:00:00", "YYYY-MM-DDTHH:MM:SS"},
                               {"2024-06-01T12:00:00Z", "YYYY-MM-DDTHH:MM:SS"}}) {
        EXPECT_NE(UtcTime::parse(text).error.find(error), std::string::npos) << text;
        EXPECT_EQ(UtcTime::parse(text).error.empty(), *error == 0) << text;
    }
    EXPECT_EQ(UtcTime::fromUnixSeconds(-1).toString(), "1969-12-31T23:59:59");
    UtcTime t = UtcTime::fromUnixSeconds(1717243200.5);
    EXPECT_EQ(t.toString(), "2024-06-01T12:00:00");
    EXPECT_DOUBLE_EQ(t.second(), 0.5);
}

TEST(EphemerisCommand, OutputAndErrors) {
    using R = EphemerisRequest;
    CommandResult ok = runEphemerisCommand(R{"moon", "45", "10", {}, "100", "1997-03-13T20:14:59"});
    EXPECT_EQ(ok.exitCode, 0);
    double az = 0, el = 0; // the astropy table's first row
    ASSERT_TRUE(std::regex_match(ok.output, std::regex("\\d+\\.\\d{3} -?\\d+\\.\\d{3}\n")));
    ASSERT_EQ(std::sscanf(ok.output.c_str(), "%lf %lf", &az, &el), 2);
    EXPECT_NEAR(az, 266.218846, 0.003);
    EXPECT_NEAR(el, 24.584260, 0.003);
    EXPECT_EQ(ok.error, "");
    EXPECT_EQ(runEphemerisCommand(R{"Sun", {}, {}, "JN45", {}, "2024-06-01T12:00:00"}).exitCode, 0);
    struct Case {
        R request;
        const char* error;
    } cases[] = {
        {R{{}, "45", "10", {}, {}, "2024-06-01T12:00:00"}, "needs a body"},
        {R{"Mars", "45", "10", {}, {}, "2024-06-01T12:00:00"}, "unknown body 'Mars'"},
        {R{"Moon", "45", "10", "JN45", {}, "2024-06-01T12:00:00"}, "not both"},
        {R{"Moon", {}, {}, {}, {}, "2024-06-01T12:00:00"}, "give the station's place"},
        {R{"Moon", "45", {}, {}, {}, "2024-06-01T12:00:00"}, "--lon is missing"},
        {R{"Moon", "45N", "10", {}, {}, "2024-06-01T12:00:00"}, "--lat: '45N' is not a number"},
        {R{"Moon", "95", "10", {}, {}, "2024-06-01T12:00:00"}, "latitude 95 is outside"},
        {R{"Moon", {}, {}, "XX99", {}, "2024-06-01T12:00:00"}, "--locator: locator 'XX99'"},
        {R{"Moon", "45", "10", {}, "high", "2024-06-01T12:00:00"}, "--height: 'high'"},
        {R{"Moon", "45", "10", {}, {}, {}}, "--utc is missing"},
        {R{"Moon", "45", "10", {}, {}, "2024-06-01"}, "--utc: time '2024-06-01'"},
    };
    for (const Case& c : cases) {
        CommandResult r = runEphemerisCommand(c.request);
        EXPECT_EQ(r.exitCode, 2) << c.error;
        EXPECT_EQ(r.output, "") << c.error;
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
        EXPECT_EQ(r.error.back(), '\n') << r.error;
    }
}

} // namespace
} // namespace kelvora::astro
