// Where the Moon and the Sun stand for a station: topocentric azimuth and elevation, distance and
// range rate, and the Doppler shift of the station's own echo. The astronomy is ERFA's; this file
// adds the station's place, the UTC time type and the input checks with texts a user can act on.
#pragma once

#include "state/parsed.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::astro {

using kelvora::Parsed;

// The station: geodetic latitude and longitude on WGS84, longitude east positive, height above
// the ellipsoid. Make one with makeObserver() so that the values are checked.
struct Observer {
    double latitudeDeg = 0;
    double longitudeDeg = 0;
    double heightM = 0;
};

// Latitude -90..90; longitude -180..360 (east positive; 180..360 is taken as 360 east of
// Greenwich and stored as -180..0); height -1000..10000 m.
Parsed<Observer> makeObserver(double latitudeDeg, double longitudeDeg, double heightM = 0);

struct GeoPoint {
    double latitudeDeg = 0;
    double longitudeDeg = 0;
};

// The centre of a Maidenhead square ("JN45") or subsquare ("JN45ab"), any letter case.
Parsed<GeoPoint> locatorToGeoPoint(std::string_view locator);

// A UTC instant as a calendar date and time of day. Seconds may reach 60 on a leap-second day.
class UtcTime {
public:
    // Strict "YYYY-MM-DDTHH:MM:SS", years 1960 (the start of UTC) to 2100.
    static Parsed<UtcTime> parse(std::string_view text);
    // Seconds since 1970-01-01T00:00:00 UTC, leap seconds not counted (as POSIX time).
    static UtcTime fromUnixSeconds(double seconds);
    static UtcTime fromSystemClock(std::chrono::system_clock::time_point t);

    int year() const { return m_year; }
    int month() const { return m_month; }
    int day() const { return m_day; }
    int hour() const { return m_hour; }
    int minute() const { return m_minute; }
    double second() const { return m_second; }
    // "YYYY-MM-DDTHH:MM:SS", the fraction of the second cut off.
    std::string toString() const;

private:
    UtcTime(int y, int mo, int d, int h, int mi, double s)
        : m_year(y), m_month(mo), m_day(d), m_hour(h), m_minute(mi), m_second(s) {}

    int m_year, m_month, m_day, m_hour, m_minute;
    double m_second;
};

// The Moon, the Sun and the radio stars the pointing calibration scans.
enum class Body { Moon, Sun, CasA, CygA, TauA, VirA };

// "Moon", "Sun", "Cas A", "Cyg A", "Tau A", "Vir A": the names the settings and the command line
// use.
std::string_view bodyName(Body body);
// The body of a name, any letter case; std::nullopt for a text no body has.
std::optional<Body> bodyNamed(std::string_view name);
// A star far outside the solar system: no distance, no Doppler shift.
bool isRadioStar(Body body);

struct TopocentricPosition {
    double azimuthDeg = 0;   // 0..360, from north through east
    double elevationDeg = 0; // above the horizon, no refraction
    double distanceKm = 0;   // station to the body's centre; 0 for a radio star
    double rangeRateKmS = 0; // positive when the body recedes; 0 for a radio star
};

// The apparent place seen from the station (light time and aberration included, parallax from the
// station's place on the Earth, not from its centre), without refraction.
TopocentricPosition topocentricPosition(Body body, const UtcTime& time, const Observer& observer);

// Frequency shift of the station's own echo off the body: -2 * rangeRate / c * f, negative when
// the body recedes.
double ownEchoDopplerHz(Body body, const UtcTime& time, const Observer& observer,
                        double frequencyHz);

// How much atmospheric refraction lifts a body seen at `elevationDeg` without it: ERFA's
// refraction constants (eraRefco) for the air's pressure and temperature, at radio wavelengths
// with half-saturated air, applied as ERFA applies them to an observed place, which stays finite
// down to and below the horizon. 0 above the zenith side of 90.
double refractionDeg(double elevationDeg, double pressureHpa, double temperatureC);

// Frequency shift of a signal the DX station sends and this station receives off the body (the
// convention of the DX Doppler in the tracking file): -(rangeRate(dx) + rangeRate(home)) / c * f.
double dxDopplerHz(Body body, const UtcTime& time, const Observer& home, const Observer& dx,
                   double frequencyHz);

// The first moment after `fromUnixSeconds` (POSIX seconds) at which the body's centre rises above
// the horizon (elevation 0, no refraction), to about a second; std::nullopt when it stays below
// for the next 48 hours (a polar station). The Moon rises once a day at most, so a 10-minute step
// cannot step over a whole pass.
std::optional<double> nextRiseUnixSeconds(Body body, double fromUnixSeconds,
                                          const Observer& observer);

} // namespace kelvora::astro
