// The tracking source: the file reader, the built-in Moon and Sun, and the choice between them.
#include "sources/tracking_source.h"

#include "config/settings.h"
#include "config/settings_schema.h"
#include "sources/tracking_file.h"
#include "state/numbers.h"
#include "station/station_control.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace kelvora {

namespace {

std::string trimmedLower(std::string_view text) {
    std::string out(numbers::trimmed(text));
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string withOneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%5.1f", value);
    return text;
}

std::string beforePoint(const std::string& text) {
    return text.substr(0, text.find('.'));
}

// The frequency the Doppler shift is given for: the band offset plus the QSO frequency, Hz.
std::optional<double> trackedFrequencyHz(Kelv& k) {
    double kHz = numbers::leadingNumber(k.settings().Offset) +
                 numbers::strictNumber(k.rs.Fqso_kHz, k.locale).value_or(0);
    return kHz > 0 ? std::optional<double>(kHz * 1000) : std::nullopt;
}

void showSource(Kelv& k, TrackingSource& source, SourceUsed used) {
    if (source.used == used) {
        return;
    }
    source.used = used;
    std::string body(astro::bodyName(trackedBody(k)));
    if (used == SourceUsed::File) {
        k.ui.RotorAZ.caption = "Tracking source: the tracking file";
    } else if (!source.observer) {
        k.ui.RotorAZ.caption =
            "Tracking source: none (no station place for the built-in " + body + ")";
    } else if (source.mode == TrackingSourceMode::BuiltIn) {
        k.ui.RotorAZ.caption = "Tracking source: built-in " + body;
    } else {
        k.ui.RotorAZ.caption =
            "Tracking source: built-in " + body + " (the tracking file is stale or missing)";
    }
}

// The DX Doppler and the DX station's view of the body, from the DX place if there is one.
void fillDx(Kelv& k, astro::Body body, const astro::UtcTime& now, const astro::Observer& home,
            const astro::TopocentricPosition& position, std::optional<double> hz) {
    ui::Control& line = k.ui.DxMoon;
    astro::Parsed<astro::GeoPoint> place = dxPlace(k);
    line.visible = place || !place.error.empty();
    if (!place) {
        line.caption = place.error;
        return;
    }
    astro::Observer dx{place.value->latitudeDeg, place.value->longitudeDeg, 0};
    line.caption = dxBodyText(body, position, astro::topocentricPosition(body, now, dx));
    if (hz) {
        k.rs.DX_doppler_Hz =
            std::to_string(std::lround(astro::dxDopplerHz(body, now, home, dx, *hz)));
    }
}

} // namespace

astro::Parsed<astro::GeoPoint> dxPlace(Kelv& k) {
    if (!k.rs.wsjtx.dxGrid.empty()) {
        astro::Parsed<astro::GeoPoint> grid = astro::locatorToGeoPoint(k.rs.wsjtx.dxGrid);
        if (grid) {
            return grid;
        }
    }
    config::SectionReader reader("Station", stationKeys(k));
    std::string locator = reader.text("DX_Locator");
    if (locator.empty()) {
        return {};
    }
    astro::Parsed<astro::GeoPoint> point = astro::locatorToGeoPoint(locator);
    if (!point) {
        point.error = config::settingError("Station", "DX_Locator", point.error);
    }
    return point;
}

std::string dxBodyText(astro::Body body, const astro::TopocentricPosition& home,
                       const astro::TopocentricPosition& dx) {
    bool both = home.elevationDeg > 0 && dx.elevationDeg > 0;
    return "DX " + std::string(bodyName(body)) + " " + numbers::oneDecimal(dx.azimuthDeg) + " " +
           numbers::oneDecimal(dx.elevationDeg) + (both ? ", up for both" : ", not up for both");
}

std::optional<TrackingSourceMode> parseTrackingSource(std::string_view text) {
    std::string t = trimmedLower(text);
    if (t == "file") {
        return TrackingSourceMode::File;
    }
    if (t == "built-in") {
        return TrackingSourceMode::BuiltIn;
    }
    if (t == "file, else built-in") {
        return TrackingSourceMode::FileElseBuiltIn;
    }
    return std::nullopt;
}

astro::Parsed<astro::Observer> stationPlace(const station::KeyLookup& lookup) {
    config::SectionReader reader("Station", lookup);
    astro::Parsed<astro::Observer> result;
    std::optional<double> height = reader.number("Height");
    std::string lat = reader.text("Latitude"), lon = reader.text("Longitude");
    std::string locator = reader.text("Locator");
    if (!lat.empty() || !lon.empty()) {
        std::optional<double> la = reader.number("Latitude");
        std::optional<double> lo = reader.number("Longitude");
        for (const char* key : {"Latitude", "Longitude"}) {
            if (reader.text(key).empty()) {
                reader.fail(key, "\"\" is not a number"); // one of the two is not enough
            }
        }
        if (reader.errors.empty()) {
            result = astro::makeObserver(*la, *lo, height.value_or(0));
        }
    } else if (!locator.empty() && reader.errors.empty()) {
        astro::Parsed<astro::GeoPoint> point = astro::locatorToGeoPoint(locator);
        if (!point) {
            reader.fail("Locator", point.error);
        } else {
            result = astro::makeObserver(point.value->latitudeDeg, point.value->longitudeDeg,
                                         height.value_or(0));
        }
    } else if (reader.errors.empty()) {
        result.error = "No station place: set [Station] Locator (such as JN45ab), or Latitude "
                       "and Longitude (degrees, east positive)";
        return result;
    }
    if (!reader.errors.empty()) {
        result.error = reader.errors.front();
    } else if (!result) {
        result.error = "[Station] " + result.error;
    }
    return result;
}

bool FileFreshness::update(std::string_view timeText, double nowSeconds, double staleSeconds,
                           bool currentAtFirstSight) {
    if (!m_seen || timeText != m_time) {
        m_changed = m_seen || currentAtFirstSight;
        m_seen = true;
        m_time = std::string(timeText);
        m_changedAt = nowSeconds;
    }
    return m_changed && nowSeconds - m_changedAt < staleSeconds;
}

bool timeOfDayIsCurrent(std::string_view timeText, double utcSeconds, double staleSeconds) {
    if (timeText.size() != 8 || timeText[2] != ':' || timeText[5] != ':') {
        return false;
    }
    int fields[3] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        char tens = timeText[i * 3];
        char ones = timeText[i * 3 + 1];
        if (!std::isdigit(static_cast<unsigned char>(tens)) ||
            !std::isdigit(static_cast<unsigned char>(ones))) {
            return false;
        }
        fields[i] = (tens - '0') * 10 + (ones - '0');
    }
    if (fields[0] > 23 || fields[1] > 59 || fields[2] > 60) {
        return false;
    }
    constexpr double kDay = 86400;
    double fileSecond = fields[0] * 3600.0 + fields[1] * 60.0 + fields[2];
    double apart = std::fabs(std::fmod(utcSeconds, kDay) - fileSecond);
    return std::min(apart, kDay - apart) < staleSeconds;
}

SourceUsed chooseSource(TrackingSourceMode mode, bool fileFresh) {
    switch (mode) {
    case TrackingSourceMode::File:
        return SourceUsed::File;
    case TrackingSourceMode::BuiltIn:
        return SourceUsed::BuiltIn;
    case TrackingSourceMode::FileElseBuiltIn:
        break;
    }
    return fileFresh ? SourceUsed::File : SourceUsed::BuiltIn;
}

void fillFromEphemeris(RunState& rs, astro::Body body, const astro::UtcTime& time,
                       const astro::TopocentricPosition& position,
                       std::optional<double> ownEchoDopplerHz) {
    rs.Time_text = time.toString().substr(11, 8);
    rs.Az_text = withOneDecimal(position.azimuthDeg);
    rs.Az_int = beforePoint(rs.Az_text);
    rs.El_text = withOneDecimal(position.elevationDeg);
    rs.El_int = beforePoint(rs.El_text);
    rs.Object_name = astro::bodyName(body);
    rs.My_doppler_Hz =
        ownEchoDopplerHz ? std::to_string(std::lround(*ownEchoDopplerHz)) : std::string();
    rs.DX_doppler_Hz.clear();
    if (!numbers::strictNumber(rs.Fqso_kHz)) {
        rs.Fqso_kHz = "0";
    }
}

station::KeyLookup stationKeys(Kelv& k) {
    return k.settings().lookup("Station");
}

astro::Body trackedBody(Kelv& k) {
    return astro::bodyNamed(k.settings().Sun_combo).value_or(astro::Body::Moon);
}

std::optional<astro::Observer> configuredPlace(Kelv& k) {
    return stationPlace(stationKeys(k)).value;
}

bool prepareTrackingSource(Kelv& k) {
    TrackingSource& source = k.part<TrackingSource>();
    source.mode = TrackingSourceMode::File;
    source.observer.reset();
    source.freshness.reset();
    source.fileTime.clear();
    source.used.reset();
    std::string text = k.settings().value("General", "Tracking_Source");
    std::optional<TrackingSourceMode> mode = parseTrackingSource(text);
    if (!mode) {
        k.dialogs.messageBox("[General] Tracking_Source \"" + text +
                             "\" is not one of File, Built-in, \"File, else built-in\". "
                             "Tracking does not start.");
        return false;
    }
    source.mode = *mode;
    if (*mode == TrackingSourceMode::File) {
        return true;
    }
    astro::Parsed<astro::Observer> place = stationPlace(stationKeys(k));
    if (!place) {
        k.dialogs.messageBox(place.error + ". The built-in Moon and Sun need the station's "
                                           "place. Tracking does not start.");
        return false;
    }
    source.observer = place.value;
    return true;
}

void readTrackingSource(Kelv& k) {
    TrackingSource& source = k.part<TrackingSource>();
    if (source.mode == TrackingSourceMode::File) {
        Read_File(k);
        return;
    }
    bool fresh = false;
    if (source.mode == TrackingSourceMode::FileElseBuiltIn) {
        // The reader keeps a field it cannot read: start from the file's own last time, so that
        // a file that went away does not look as if its time moved with the computed one.
        k.rs.Time_text = source.fileTime;
        Read_File(k);
        source.fileTime = k.rs.Time_text;
        double stale = k.part<station::StationPart>().rules.settings().staleSeconds;
        // A file that tells the present time is being written now: at Start it wins at once,
        // rather than a second after the computed position went out.
        bool current = timeOfDayIsCurrent(k.rs.Time_text, k.clock.utcSeconds(), stale);
        fresh = source.freshness.update(k.rs.Time_text, k.clock.monotonicSeconds(), stale, current);
    }
    SourceUsed used = chooseSource(source.mode, fresh);
    showSource(k, source, used);
    if (used == SourceUsed::File) {
        return;
    }
    // The file's ", T" speaks for the station only while the file is the source: a program that
    // stopped with it written would otherwise hold the rotor for good.
    k.rs.trackingFileTransmitting = false;
    if (!source.observer) {
        return;
    }
    astro::Body body = trackedBody(k);
    astro::UtcTime now = astro::UtcTime::fromUnixSeconds(k.clock.utcSeconds());
    astro::TopocentricPosition position = astro::topocentricPosition(body, now, *source.observer);
    const station::StationSettings& air = k.part<station::StationPart>().rules.settings();
    if (air.refraction) {
        position.elevationDeg +=
            astro::refractionDeg(position.elevationDeg, air.pressureHpa, air.temperatureC);
    }
    std::optional<double> hz = trackedFrequencyHz(k);
    std::optional<double> doppler;
    if (hz) {
        doppler = astro::ownEchoDopplerHz(body, now, *source.observer, *hz);
    }
    fillFromEphemeris(k.rs, body, now, position, doppler);
    fillDx(k, body, now, *source.observer, position, hz);
    if (hz) {
        long long kHz = std::llround(*hz / 1000);
        k.rs.Band_MHz = std::to_string(kHz / 1000);
        k.ui.Label_freq.caption =
            k.rs.Band_MHz + "." + numbers::padLeft(std::to_string(kHz % 1000), 3) + ".000";
    }
}

} // namespace kelvora
