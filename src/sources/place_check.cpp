// The place and source check of the settings dialog.
#include "sources/place_check.h"

#include "sources/tracking_source.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kelvora {

PlaceCheck checkPlace(const config::KeyLookup& station, const config::KeyLookup& general,
                      astro::Body body, double utcSeconds) {
    config::SectionReader source("General", general);
    source.choice("Tracking_Source");
    if (!source.errors.empty()) {
        return {false, source.errors.front()};
    }
    // Every place key on its own row's rule first, so that a bad height is named even while the
    // locator alone decides the place.
    config::SectionReader reader("Station", station);
    for (const char* key : {"Latitude", "Longitude", "Height"}) {
        reader.number(key);
    }
    if (!reader.errors.empty()) {
        return {false, reader.errors.front()};
    }
    astro::Parsed<astro::Observer> place = stationPlace(station);
    if (!place) {
        return {false, place.error};
    }
    astro::TopocentricPosition p =
        astro::topocentricPosition(body, astro::UtcTime::fromUnixSeconds(utcSeconds), *place.value);
    char text[96];
    std::snprintf(text, sizeof text, "%s now: azimuth %.1f°, elevation %.1f°",
                  body == astro::Body::Sun ? "Sun" : "Moon", p.azimuthDeg, p.elevationDeg);
    return {true, text};
}

std::string wsjtxTrackingFile() {
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/WSJT-X/azel.dat";
}

bool wsjtxTrackingFileFound() {
    std::error_code ec;
    return std::filesystem::is_regular_file(wsjtxTrackingFile(), ec);
}

} // namespace kelvora
