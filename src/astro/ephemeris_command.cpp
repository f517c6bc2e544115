#include "astro/ephemeris_command.h"

#include "astro/ephemeris.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <strings.h>

namespace kelvora::astro {

namespace {

CommandResult usageError(const std::string& message) {
    return {2, {}, message + "\n"};
}

// The whole text must be a finite decimal number.
std::optional<double> decimal(const std::string& text) {
    double v = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

// Three decimals, with an azimuth that rounds up to 360 shown as 0.
std::string azEl(double azimuthDeg, double elevationDeg) {
    double az = std::round(azimuthDeg * 1000) / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%.3f %.3f\n", az >= 360 ? 0.0 : az, elevationDeg);
    return text;
}

template <class T> Parsed<T> failed(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

Parsed<Body> requestedBody(const EphemerisRequest& request, std::string_view option) {
    if (!request.body) {
        return failed<Body>(
            std::string(option) +
            " needs a body: Moon, Sun, \"Cas A\", \"Cyg A\", \"Tau A\" or \"Vir A\"");
    }
    if (std::optional<Body> body = bodyNamed(*request.body)) {
        return {*body, {}};
    }
    return failed<Body>(std::string(option) + ": unknown body '" + *request.body +
                        "', use Moon, Sun, \"Cas A\", \"Cyg A\", \"Tau A\" or \"Vir A\"");
}

namespace {

// --lat and --lon, both given.
Parsed<GeoPoint> readLatLon(const EphemerisRequest& request) {
    if (!request.latitude || !request.longitude) {
        return failed<GeoPoint>(std::string("--lat and --lon go together: ") +
                                (request.latitude ? "--lon" : "--lat") + " is missing");
    }
    GeoPoint point;
    const std::pair<const char*, const std::string*> fields[] = {{"--lat", &*request.latitude},
                                                                 {"--lon", &*request.longitude}};
    double* targets[] = {&point.latitudeDeg, &point.longitudeDeg};
    for (int i = 0; i < 2; ++i) {
        std::optional<double> v = decimal(*fields[i].second);
        if (!v) {
            return failed<GeoPoint>(std::string(fields[i].first) + ": '" + *fields[i].second +
                                    "' is not a number of degrees");
        }
        *targets[i] = *v;
    }
    return {point, {}};
}

} // namespace

Parsed<Observer> requestedPlace(const EphemerisRequest& request) {
    const bool latLon = request.latitude || request.longitude;
    if (latLon && request.locator) {
        return failed<Observer>("give either --locator or --lat and --lon, not both");
    }
    if (!latLon && !request.locator) {
        return failed<Observer>(
            "give the station's place: --locator LOC, or --lat LAT and --lon LON");
    }
    Parsed<GeoPoint> place =
        request.locator ? locatorToGeoPoint(*request.locator) : readLatLon(request);
    if (!place) {
        return failed<Observer>(request.locator ? "--locator: " + place.error : place.error);
    }
    double height = 0;
    if (request.height) {
        std::optional<double> v = decimal(*request.height);
        if (!v) {
            return failed<Observer>("--height: '" + *request.height +
                                    "' is not a number of metres");
        }
        height = *v;
    }
    return makeObserver(place.value->latitudeDeg, place.value->longitudeDeg, height);
}

CommandResult runEphemerisCommand(const EphemerisRequest& request) {
    Parsed<Body> body = requestedBody(request, "--ephemeris");
    if (!body) {
        return usageError(body.error);
    }
    Parsed<Observer> observer = requestedPlace(request);
    if (!observer) {
        return usageError(observer.error);
    }
    if (!request.utc) {
        return usageError("--utc is missing: give the time as YYYY-MM-DDTHH:MM:SS (UTC)");
    }
    Parsed<UtcTime> time = UtcTime::parse(*request.utc);
    if (!time) {
        return usageError("--utc: " + time.error);
    }
    TopocentricPosition p = topocentricPosition(*body.value, *time.value, *observer.value);
    return {0, azEl(p.azimuthDeg, p.elevationDeg), {}};
}

} // namespace kelvora::astro
