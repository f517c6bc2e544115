#include "astro/ephemeris.h"
#include "astro/ephemeris_command.h"

#include <erfa.h>
#include <erfam.h>
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

// A second path to a star's place: the equinox-based precession-nutation matrix and apparent
// sidereal time, annual aberration from the Earth's barycentric velocity, then the hour angle
// turned into azimuth and elevation by spherical trigonometry.
std::pair<double, double> equinoxBasedAzEl(double raDeg, double decDeg, const UtcTime& t,
                                           const Observer& o) {
    double u1, u2, a1, a2, tt1, tt2, ut1, ut2;
    eraDtf2d("UTC", t.year(), t.month(), t.day(), t.hour(), t.minute(), t.second(), &u1, &u2);
    eraUtctai(u1, u2, &a1, &a2);
    eraTaitt(a1, a2, &tt1, &tt2);
    eraUtcut1(u1, u2, 0, &ut1, &ut2);
    double helio[2][3], bary[2][3], p[3], aberrated[3], rnpb[3][3], apparent[3], v[3];
    eraEpv00(tt1, tt2, helio, bary);
    for (int i = 0; i < 3; ++i) {
        v[i] = bary[1][i] * ERFA_DAU / ERFA_DAYSEC / ERFA_CMPS;
    }
    eraS2c(raDeg * ERFA_DD2R, decDeg * ERFA_DD2R, p);
    eraAb(p, v, eraPm(helio[0]), std::sqrt(1 - eraPdp(v, v)), aberrated);
    eraPnm06a(tt1, tt2, rnpb);
    eraRxp(rnpb, aberrated, apparent);
    double ra, dec;
    eraC2s(apparent, &ra, &dec);
    const double ha = eraGst06a(ut1, ut2, tt1, tt2) + o.longitudeDeg * ERFA_DD2R - ra;
    const double lat = o.latitudeDeg * ERFA_DD2R;
    const double el =
        std::asin(std::sin(lat) * std::sin(dec) + std::cos(lat) * std::cos(dec) * std::cos(ha));
    const double az =
        std::atan2(-std::cos(dec) * std::sin(ha),
                   std::sin(dec) * std::cos(lat) - std::cos(dec) * std::sin(lat) * std::cos(ha));
    return {eraAnp(az) * ERFA_DR2D, el * ERFA_DR2D};
}

// Both paths agree to a few arcseconds (diurnal aberration and light deflection are left out of
// the second); a wrong catalogue entry, a lost aberration or a J2000 place not precessed to the
// date would each be far outside.
TEST(Ephemeris, RadioStarsAgreeWithAnEquinoxBasedComputation) {
    struct Star {
        Body body;
        double raDeg, decDeg;
    };
    const Star stars[] = {
        {Body::CasA, (23 + 23 / 60.0 + 24.0 / 3600) * 15, 58 + 48 / 60.0 + 54 / 3600.0},
        {Body::CygA, (19 + 59 / 60.0 + 28.36 / 3600) * 15, 40 + 44 / 60.0 + 2.1 / 3600},
        {Body::TauA, (5 + 34 / 60.0 + 31.94 / 3600) * 15, 22 + 0 / 60.0 + 52.2 / 3600},
        {Body::VirA, (12 + 30 / 60.0 + 49.42 / 3600) * 15, 12 + 23 / 60.0 + 28.0 / 3600},
    };
    const std::pair<const char*, Observer> cases[] = {
        {"2026-12-09T05:00:00", place(45.5, 9.2, 120)},
        {"2031-06-21T22:30:00", place(-33.9, 151.2, 40)},
        {"2024-03-01T12:00:00", place(60.2, -150.0, 500)},
    };
    for (const Star& star : stars) {
        for (const auto& [utc, observer] : cases) {
            TopocentricPosition p = topocentricPosition(star.body, at(utc), observer);
            auto [az, el] = equinoxBasedAzEl(star.raDeg, star.decDeg, at(utc), observer);
            double a[3], b[3];
            eraS2c(p.azimuthDeg * ERFA_DD2R, p.elevationDeg * ERFA_DD2R, a);
            eraS2c(az * ERFA_DD2R, el * ERFA_DD2R, b);
            EXPECT_LT(eraSepp(a, b) * ERFA_DR2D, 0.002)
                << bodyName(star.body) << " " << utc << ": " << p.azimuthDeg << " "
                << p.elevationDeg << " against " << az << " " << el;
            EXPECT_EQ(p.rangeRateKmS, 0);
        }
        EXPECT_EQ(bodyNamed(std::string(bodyName(star.body))), star.body);
    }
    EXPECT_EQ(bodyNamed("cas a"), Body::CasA);
    EXPECT_EQ(bodyNamed("CasA"), std::nullopt);
}

TEST(Ephemeris, OwnEchoDopplerIsNegativeWhileTheMoonRecedes) {
    // The table's first row: the Moon recedes at 0.358782 km/s, so -2 * v / c * f = -3102.0 Hz.
    EXPECT_NEAR(ownEchoDopplerHz(Body::Moon, at("1997-03-13T20:14:59"), place(45, 10, 100), 1296e6),
                -3102.0, 3);
}

// The DX Doppler against the range rates taken as central differences of the topocentric
// distances of both stations, over a day and pairs of stations across the Earth: within 1 Hz at
// 144 MHz. A sign or a station mixed up is off by hundreds of hertz.
TEST(Ephemeris, DxDopplerMatchesDifferencedDistances) {
    const Observer home = place(48.1, 11.5, 500);
    const Observer dxPlaces[] = {place(42.4, -71.1, 30), place(-33.9, 151.2, 0), home};
    constexpr double kHz = 144.1e6, kStep = 1.0, kC = 299792.458;
    const double start = 1786492800.0; // 2026-08-12T00:00:00 UTC
    for (const Observer& dx : dxPlaces) {
        for (int hour = 0; hour < 24; hour += 3) {
            double t = start + hour * 3600.0;
            auto distances = [&](double seconds) {
                UtcTime when = UtcTime::fromUnixSeconds(seconds);
                return topocentricPosition(Body::Moon, when, home).distanceKm +
                       topocentricPosition(Body::Moon, when, dx).distanceKm;
            };
            double rate = (distances(t + kStep) - distances(t - kStep)) / (2 * kStep);
            double expected = -rate / kC * kHz;
            double hz = dxDopplerHz(Body::Moon, UtcTime::fromUnixSeconds(t), home, dx, kHz);
            EXPECT_NEAR(hz, expected, 1.0) << hour;
        }
    }
    // The DX at home is the own echo.
    UtcTime now = UtcTime::fromUnixSeconds(start);
    EXPECT_DOUBLE_EQ(dxDopplerHz(Body::Moon, now, home, home, kHz),
                     ownEchoDopplerHz(Body::Moon, now, home, kHz));
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
