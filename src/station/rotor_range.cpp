// [Rotor_Range] checked against the span and the rotor type, and the mechanical angles of a path.
#include "station/rotor_range.h"

#include "state/numbers.h"
#include "station/station_text.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace kelvora::station {

namespace {

using text::plain;

// The offsets k * 360 that put `skyAz` inside the range.
std::vector<double> offsetsInRange(double skyAz, const RotorRange& range) {
    std::vector<double> offsets;
    for (int k = -2; k <= 2; ++k) {
        double m = skyAz + 360.0 * k;
        if (m >= range.azLow && m <= range.azHigh) {
            offsets.push_back(360.0 * k);
        }
    }
    return offsets;
}

} // namespace

RotorRange parseRotorRange(const config::KeyLookup& lookup, const rotor::AzimuthReach& type,
                           std::string_view typeName, std::vector<std::string>& errors) {
    config::SectionReader reader("Rotor_Range", lookup);
    RotorRange r;
    std::optional<double> low = reader.number("Az_Low");
    std::optional<double> high = reader.number("Az_High");
    std::optional<double> elHigh = reader.number("El_High");
    r.flip = reader.flag("Flip");
    if (low && high) {
        double span = *high - *low;
        if (span < 360 || span > 720) {
            reader.fail("Az_Low, Az_High", plain(*low) + ".." + plain(*high) + " spans " +
                                               plain(span) + " degrees, not 360 to 720");
        } else if (!type.fromDaemon && (*low < type.low || *high > type.high)) {
            reader.fail("Az_Low, Az_High", plain(*low) + ".." + plain(*high) + " is more than " +
                                               std::string(typeName) + " can be commanded over (" +
                                               plain(type.low) + ".." + plain(type.high) + ")");
        } else {
            r.azLow = *low;
            r.azHigh = *high;
        }
    }
    if (elHigh && *elHigh != 90 && *elHigh != 180) {
        reader.fail("El_High", plain(*elHigh) + " is neither 90 nor 180");
    } else if (elHigh) {
        r.elHigh = *elHigh;
    }
    for (std::string& e : reader.errors) {
        errors.push_back(std::move(e));
    }
    return r;
}

StationSettings parseStationWithRange(const config::KeyLookup& station,
                                      const config::KeyLookup& range, std::string_view rotorType) {
    StationSettings s = parseStationSettings(station);
    const rotor::RotorType* type = rotor::findRotorType(rotorType);
    // Without a rotor nothing is commanded, so no range is more than the type carries.
    rotor::AzimuthReach reach =
        type != nullptr && !type->noRotor ? type->azReach : rotor::AzimuthReach{.fromDaemon = true};
    s.range = parseRotorRange(range, reach, rotorType, s.errors);
    return s;
}

std::string describePath(const PlannedPath& path) {
    long long t = std::llround(path.untilUnix);
    long long day = ((t % 86400) + 86400) % 86400;
    char until[16];
    std::snprintf(until, sizeof until, "%02lld:%02lld:%02lld", day / 3600, day / 60 % 60, day % 60);
    return "path " + numbers::oneDecimal(path.mechLow) + ".." + numbers::oneDecimal(path.mechHigh) +
           (path.choice.flipped ? ", flipped" : "") + (path.unwinds ? ", with an unwind" : "") +
           ", until " + until + " UTC";
}

double skyAzimuth(double az) {
    double a = std::fmod(az, 360.0);
    return a < 0 ? a + 360 : a;
}

AzElTarget mechanicalTarget(AzElTarget sky, const PathChoice& path,
                            std::optional<double> lastMechAz, const RotorRange& range) {
    const double az = path.flipped ? sky.az + 180 : sky.az;
    const double el = path.flipped ? 180 - sky.el : sky.el;
    return {nearestMechanicalAz(az, lastMechAz.value_or(path.startMechAz), range, 0), el};
}

double nearestMechanicalAz(double skyAz, std::optional<double> lastMechanical,
                           const RotorRange& range, double hysteresisDeg) {
    const double az = skyAzimuth(skyAz);
    std::vector<double> offsets = offsetsInRange(az, range);
    if (offsets.empty()) {
        return az; // a range under 360 degrees is refused when it is read
    }
    const double from = lastMechanical.value_or(az);
    double best = az + offsets.front();
    double bestDistance = std::numeric_limits<double>::infinity();
    for (double offset : offsets) {
        double distance = std::abs(az + offset - from);
        if (distance < bestDistance) {
            best = az + offset;
            bestDistance = distance;
        }
    }
    if (!lastMechanical) {
        return best;
    }
    // Stay on the branch last commanded while it is nearly as near as the nearest one.
    const double kept = az + (*lastMechanical - skyAzimuth(*lastMechanical));
    if (kept >= range.azLow && kept <= range.azHigh &&
        std::abs(kept - from) <= bestDistance + hysteresisDeg) {
        return kept;
    }
    return best;
}

} // namespace kelvora::station
