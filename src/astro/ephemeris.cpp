#include "astro/ephemeris.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace kelvora::astro {

namespace {

constexpr double kAuKm = ERFA_DAU / 1000.0;
constexpr double kLightKmS = ERFA_CMPS / 1000.0;

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

template <class T> Parsed<T> failure(std::string error) {
    return parseFailure<T>(std::move(error));
}

struct Dates {
    double tt1, tt2;   // TT, two-part Julian date
    double ut11, ut12; // UT1
};

Dates dates(const UtcTime& t) {
    Dates d{};
    double utc1 = 0, utc2 = 0, tai1 = 0, tai2 = 0;
    // The time was checked when it was made; pre-1960 or far-future years only warn (status 1).
    eraDtf2d("UTC", t.year(), t.month(), t.day(), t.hour(), t.minute(), t.second(), &utc1, &utc2);
    // TAI-UTC from ERFA's leap-second table (eraDat), then TT = TAI + 32.184 s.
    eraUtctai(utc1, utc2, &tai1, &tai2);
    eraTaitt(tai1, tai2, &d.tt1, &d.tt2);
    // UT1-UTC taken as 0: it stays within 0.9 s, which turns the sky by less than 0.004 degrees.
    eraUtcut1(utc1, utc2, 0.0, &d.ut11, &d.ut12);
    return d;
}

struct Catalogue {
    Body body;
    std::string_view name;
    double raHours, raMinutes, raSeconds;
    double decDegrees, decMinutes, decSeconds; // all three carry the sign
};

// J2000 (ICRS) places of the radio stars.
constexpr Catalogue kBodies[] = {
    {Body::Moon, "Moon", 0, 0, 0, 0, 0, 0},
    {Body::Sun, "Sun", 0, 0, 0, 0, 0, 0},
    {Body::CasA, "Cas A", 23, 23, 24.0, 58, 48, 54},
    {Body::CygA, "Cyg A", 19, 59, 28.36, 40, 44, 2.1},
    {Body::TauA, "Tau A", 5, 34, 31.94, 22, 0, 52.2},
    {Body::VirA, "Vir A", 12, 30, 49.42, 12, 23, 28.0},
};

const Catalogue& entryOf(Body body) {
    for (const Catalogue& entry : kBodies) {
        if (entry.body == body) {
            return entry;
        }
    }
    return kBodies[0];
}

// A star's apparent place through ERFA's ICRS-to-observed chain (precession, nutation, annual
// aberration, light deflection, Earth rotation), without refraction (pressure 0).
TopocentricPosition starPosition(const Catalogue& star, const UtcTime& t, const Observer& o) {
    const double ra = (star.raHours + star.raMinutes / 60 + star.raSeconds / 3600) * 15 * ERFA_DD2R;
    const double dec =
        (star.decDegrees + star.decMinutes / 60 + star.decSeconds / 3600) * ERFA_DD2R;
    double utc1 = 0, utc2 = 0;
    eraDtf2d("UTC", t.year(), t.month(), t.day(), t.hour(), t.minute(), t.second(), &utc1, &utc2);
    double aob = 0, zob = 0, hob = 0, dob = 0, rob = 0, eo = 0;
    // UT1-UTC and polar motion as 0, as for the Moon and the Sun.
    eraAtco13(ra, dec, 0, 0, 0, 0, utc1, utc2, 0, o.longitudeDeg * ERFA_DD2R,
              o.latitudeDeg * ERFA_DD2R, o.heightM, 0, 0, 0, 0, 0, 0, &aob, &zob, &hob, &dob, &rob,
              &eo);
    TopocentricPosition p;
    p.azimuthDeg = eraAnp(aob) * ERFA_DR2D;
    p.elevationDeg = 90 - zob * ERFA_DR2D;
    return p;
}

} // namespace

std::string_view bodyName(Body body) {
    return entryOf(body).name;
}

std::optional<Body> bodyNamed(std::string_view name) {
    for (const Catalogue& entry : kBodies) {
        if (entry.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), entry.name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return entry.body;
        }
    }
    return std::nullopt;
}

bool isRadioStar(Body body) {
    return body != Body::Moon && body != Body::Sun;
}

Parsed<Observer> makeObserver(double latitudeDeg, double longitudeDeg, double heightM) {
    if (!(latitudeDeg >= -90 && latitudeDeg <= 90)) {
        return failure<Observer>("latitude " + number(latitudeDeg) +
                                 " is outside -90 to 90 degrees (north positive)");
    }
    if (!(longitudeDeg >= -180 && longitudeDeg <= 360)) {
        return failure<Observer>("longitude " + number(longitudeDeg) +
                                 " is outside -180 to 360 degrees (east positive)");
    }
    if (!(heightM >= -1000 && heightM <= 10000)) {
        return failure<Observer>("height " + number(heightM) + " m is outside -1000 to 10000 m");
    }
    return {Observer{latitudeDeg, longitudeDeg > 180 ? longitudeDeg - 360 : longitudeDeg, heightM},
            {}};
}

Parsed<GeoPoint> locatorToGeoPoint(std::string_view locator) {
    std::string up;
    for (char c : locator) {
        up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const std::string quoted = "locator '" + std::string(locator) + "'";
    auto within = [&](std::size_t i, char first, char last) {
        return up[i] >= first && up[i] <= last && up[i + 1] >= first && up[i + 1] <= last;
    };
    if (up.size() != 4 && up.size() != 6) {
        return failure<GeoPoint>(quoted + " must have 4 or 6 characters, e.g. JN45 or JN45ab");
    }
    if (!within(0, 'A', 'R')) {
        return failure<GeoPoint>(quoted + ": the first two characters must be letters A to R");
    }
    if (!within(2, '0', '9')) {
        return failure<GeoPoint>(quoted + ": the third and fourth characters must be digits");
    }
    if (up.size() == 6 && !within(4, 'A', 'X')) {
        return failure<GeoPoint>(quoted +
                                 ": the fifth and sixth characters must be letters A to X");
    }
    // Field 20 x 10 degrees, square 2 x 1 degrees, subsquare 5 x 2.5 minutes; the centre.
    double lon = (up[0] - 'A') * 20.0 - 180 + (up[2] - '0') * 2.0;
    double lat = (up[1] - 'A') * 10.0 - 90 + (up[3] - '0') * 1.0;
    if (up.size() == 4) {
        return {GeoPoint{lat + 0.5, lon + 1.0}, {}};
    }
    lon += (up[4] - 'A') / 12.0 + 1.0 / 24;
    lat += (up[5] - 'A') / 24.0 + 1.0 / 48;
    return {GeoPoint{lat, lon}, {}};
}

Parsed<UtcTime> UtcTime::parse(std::string_view text) {
    const std::string quoted = "time '" + std::string(text) + "'";
    const std::string_view shape = "dddd-dd-ddTdd:dd:dd";
    bool shaped = text.size() == shape.size();
    for (std::size_t i = 0; shaped && i < shape.size(); ++i) {
        shaped = shape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(text[i])) != 0
                                 : text[i] == shape[i];
    }
    if (!shaped) {
        return failure<UtcTime>(quoted + " is not UTC as YYYY-MM-DDTHH:MM:SS, e.g. " +
                                "2024-06-01T12:00:00");
    }
    auto field = [&](std::size_t at, std::size_t n) {
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            v = v * 10 + (text[i] - '0');
        }
        return v;
    };
    int y = field(0, 4), mo = field(5, 2), d = field(8, 2);
    int h = field(11, 2), mi = field(14, 2), s = field(17, 2);
    if (y < 1960 || y > 2100) {
        return failure<UtcTime>(quoted + ": the year must be 1960 to 2100");
    }
    if (mo < 1 || mo > 12) {
        return failure<UtcTime>(quoted + ": the month must be 01 to 12");
    }
    if (h > 23 || mi > 59) {
        return failure<UtcTime>(quoted + ": the hour must be 00 to 23 and the minute 00 to 59");
    }
    double jd1 = 0, jd2 = 0;
    int status = eraDtf2d("UTC", y, mo, d, h, mi, s, &jd1, &jd2);
    if (status == -3) {
        return failure<UtcTime>(quoted + ": that month has no day " + std::to_string(d));
    }
    // Status bit 2: the second lies past the end of the day (60 on a day without a leap second).
    if (status < 0 || (status & 2) || s > 60) {
        return failure<UtcTime>(quoted + ": the second must be 00 to 59 (60 only at the end of " +
                                "a leap-second day)");
    }
    return {UtcTime(y, mo, d, h, mi, s), {}};
}

UtcTime UtcTime::fromUnixSeconds(double seconds) {
    double days = std::floor(seconds / 86400);
    double rest = seconds - days * 86400;
    std::chrono::year_month_day ymd{
        std::chrono::sys_days{std::chrono::days{static_cast<std::chrono::days::rep>(days)}}};
    int h = static_cast<int>(rest / 3600);
    int mi = static_cast<int>((rest - h * 3600) / 60);
    return UtcTime(static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                   static_cast<int>(unsigned(ymd.day())), h, mi, rest - h * 3600 - mi * 60);
}

UtcTime UtcTime::fromSystemClock(std::chrono::system_clock::time_point t) {
    return fromUnixSeconds(std::chrono::duration<double>(t.time_since_epoch()).count());
}

std::string UtcTime::toString() const {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", m_year, m_month, m_day,
                  m_hour, m_minute, static_cast<int>(m_second));
    return text;
}

TopocentricPosition topocentricPosition(Body body, const UtcTime& time, const Observer& observer) {
    if (isRadioStar(body)) {
        return starPosition(entryOf(body), time, observer);
    }
    const Dates d = dates(time);
    // Celestial (GCRS) to terrestrial: IAU 2000B precession-nutation (within 1 mas of 2000A at
    // a tenth of its cost), Earth rotation angle; polar motion (under half an arcsecond) is not
    // known here and taken as 0.
    double rbpn[3][3], rc2i[3][3], rpom[3][3], rc2t[3][3];
    eraPnm00b(d.tt1, d.tt2, rbpn);
    eraC2ibpn(d.tt1, d.tt2, rbpn, rc2i);
    const double era = eraEra00(d.ut11, d.ut12);
    const double sp = eraSp00(d.tt1, d.tt2);
    eraPom00(0, 0, sp, rpom);
    eraC2tcio(rc2i, era, rpom, rc2t);

    const double lon = observer.longitudeDeg * ERFA_DD2R;
    const double lat = observer.latitudeDeg * ERFA_DD2R;
    double stationCirs[2][3], station[2][3]; // m, m/s
    eraPvtob(lon, lat, observer.heightM, 0, 0, sp, era, stationCirs);
    eraTrxpv(rc2i, stationCirs, station);

    double geocentric[2][3]; // au, au/day, GCRS axes
    if (body == Body::Moon) {
        eraMoon98(d.tt1, d.tt2, geocentric);
    } else {
        double earthHelio[2][3], earthBary[2][3];
        eraEpv00(d.tt1, d.tt2, earthHelio, earthBary);
        eraSxpv(-1.0, earthHelio, geocentric);
    }

    double r[3], v[3]; // station to body, km and km/s
    for (int i = 0; i < 3; ++i) {
        r[i] = geocentric[0][i] * kAuKm - station[0][i] / 1000;
        v[i] = geocentric[1][i] * kAuKm / ERFA_DAYSEC - station[1][i] / 1000;
    }
    const double distance = eraPm(r);
    // Light time and aberration together, to first order in v/c: the body where it was one light
    // time ago, relative to the station now.
    const double lightTime = distance / kLightKmS;
    double apparent[3], terrestrial[3];
    for (int i = 0; i < 3; ++i) {
        apparent[i] = r[i] - v[i] * lightTime;
    }
    eraRxp(rc2t, apparent, terrestrial);

    const double x = terrestrial[0], y = terrestrial[1], z = terrestrial[2];
    const double east = -std::sin(lon) * x + std::cos(lon) * y;
    const double north =
        -std::sin(lat) * std::cos(lon) * x - std::sin(lat) * std::sin(lon) * y + std::cos(lat) * z;
    const double up =
        std::cos(lat) * std::cos(lon) * x + std::cos(lat) * std::sin(lon) * y + std::sin(lat) * z;

    TopocentricPosition p;
    p.azimuthDeg = eraAnp(std::atan2(east, north)) * ERFA_DR2D;
    p.elevationDeg = std::atan2(up, std::hypot(east, north)) * ERFA_DR2D;
    p.distanceKm = distance;
    p.rangeRateKmS = eraPdp(r, v) / distance;
    return p;
}

double ownEchoDopplerHz(Body body, const UtcTime& time, const Observer& observer,
                        double frequencyHz) {
    return -2 * topocentricPosition(body, time, observer).rangeRateKmS / kLightKmS * frequencyHz;
}

double refractionDeg(double elevationDeg, double pressureHpa, double temperatureC) {
    double refa = 0, refb = 0;
    // A wavelength over 100 micrometres selects ERFA's radio formula.
    eraRefco(pressureHpa, temperatureC, 0.5, 1e6, &refa, &refb);
    // As in eraAtioq: the sine of the elevation kept off zero, so the lift stays finite.
    const double e = elevationDeg * ERFA_DD2R;
    const double sinEl = std::max(std::sin(e), 0.05);
    const double cosEl = std::max(std::cos(e), 1e-6);
    const double tz = cosEl / sinEl;
    const double w = refb * tz * tz;
    const double lift = (refa + w) * tz / (1 + (refa + 3 * w) / (sinEl * sinEl));
    return lift * ERFA_DR2D;
}

double dxDopplerHz(Body body, const UtcTime& time, const Observer& home, const Observer& dx,
                   double frequencyHz) {
    double rangeRates = topocentricPosition(body, time, home).rangeRateKmS +
                        topocentricPosition(body, time, dx).rangeRateKmS;
    return -rangeRates / kLightKmS * frequencyHz;
}

std::optional<double> nextRiseUnixSeconds(Body body, double fromUnixSeconds,
                                          const Observer& observer) {
    auto elevation = [&](double t) {
        return topocentricPosition(body, UtcTime::fromUnixSeconds(t), observer).elevationDeg;
    };
    constexpr double kStep = 600, kSearch = 48 * 3600;
    double below = fromUnixSeconds;
    if (elevation(below) >= 0) {
        return std::nullopt; // up already: no rise to wait for
    }
    for (double t = below + kStep; t <= fromUnixSeconds + kSearch; t += kStep) {
        if (elevation(t) < 0) {
            below = t;
            continue;
        }
        double above = t;
        while (above - below > 1) {
            double middle = (below + above) / 2;
            (elevation(middle) < 0 ? below : above) = middle;
        }
        return above;
    }
    return std::nullopt;
}

} // namespace kelvora::astro
