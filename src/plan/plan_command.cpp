#include "plan/plan_command.h"

#include "config/ini_file.h"
#include "plan/pass_plan.h"
#include "state/numbers.h"
#include "station/horizon_file.h"
#include "station/rotor_range.h"

#include <cmath>
#include <cstdio>

namespace kelvora::plan {

namespace {

using astro::CommandResult;

CommandResult usageError(const std::string& message) {
    return {2, {}, message + "\n"};
}

std::string utcText(double unix) {
    return astro::UtcTime::fromUnixSeconds(std::round(unix)).toString();
}

// POSIX seconds of a checked UTC time (whole seconds).
double unixOf(const astro::UtcTime& t) {
    using namespace std::chrono;
    sys_days day = year_month_day{year{t.year()}, month{static_cast<unsigned>(t.month())},
                                  std::chrono::day{static_cast<unsigned>(t.day())}};
    return static_cast<double>(day.time_since_epoch().count()) * 86400 + t.hour() * 3600 +
           t.minute() * 60 + std::floor(t.second());
}

struct FolderSettings {
    station::StationSettings settings;
    station::HorizonMask mask;
    std::string error;
};

// The mask, limits and range of a program folder's Kelvora.ini; no folder: the defaults.
FolderSettings folderSettings(const std::optional<std::string>& home) {
    FolderSettings f;
    if (!home) {
        return f;
    }
    const config::IniDocument ini = config::loadIniFile(*home + "/Kelvora.ini");
    auto lookup = [&ini](std::string section) {
        return [&ini, section](std::string_view key) -> std::optional<std::string> {
            return ini.has(section, key) ? std::optional<std::string>(ini.get(section, key))
                                         : std::nullopt;
        };
    };
    std::string rotor = ini.has("COM_Rotor", "Rotor_type") ? ini.get("COM_Rotor", "Rotor_type")
                                                           : std::string("None");
    f.settings = station::parseStationWithRange(lookup("Station"), lookup("Rotor_Range"), rotor);
    if (!f.settings.errors.empty()) {
        f.error = f.settings.errors.front();
        return f;
    }
    station::HorizonFile file;
    file.configure(f.settings.horizonFile, *home);
    f.mask = file.mask();
    f.error = file.error();
    return f;
}

std::optional<double> number(const std::optional<std::string>& text, double fallback) {
    return text ? numbers::finiteNumber(*text) : std::optional<double>(fallback);
}

} // namespace

CommandResult runPlanCommand(const PlanCommandRequest& request) {
    Parsed<astro::Body> body = astro::requestedBody(request.place, "--plan");
    if (!body) {
        return usageError(body.error);
    }
    Parsed<astro::Observer> observer = astro::requestedPlace(request.place);
    if (!observer) {
        return usageError(observer.error);
    }
    if (!request.place.utc) {
        return usageError("--utc is missing: give the start as YYYY-MM-DDTHH:MM:SS (UTC)");
    }
    Parsed<astro::UtcTime> start = astro::UtcTime::parse(*request.place.utc);
    if (!start) {
        return usageError("--utc: " + start.error);
    }
    std::optional<double> hours = number(request.hours, 24);
    if (!hours || *hours <= 0 || *hours > 24 * 31) {
        return usageError("--hours: '" + request.hours.value_or("") +
                          "' is not a number of hours from 0 to 744");
    }
    FolderSettings folder = folderSettings(request.home);
    if (!folder.error.empty()) {
        return usageError("--home: " + folder.error);
    }
    PlanRequest plan{.body = *body.value,
                     .observer = *observer.value,
                     .startUnix = unixOf(*start.value),
                     .hours = *hours,
                     .settings = folder.settings,
                     .mask = folder.mask,
                     .dx = std::nullopt};
    if (request.dxElMin && !request.dxLocator) {
        return usageError("--dx-el-min goes with --dx-locator");
    }
    if (request.dxLocator) {
        Parsed<astro::GeoPoint> dx = astro::locatorToGeoPoint(*request.dxLocator);
        if (!dx) {
            return usageError("--dx-locator: " + dx.error);
        }
        plan.dx = astro::makeObserver(dx.value->latitudeDeg, dx.value->longitudeDeg).value;
        std::optional<double> elMin = number(request.dxElMin, 0);
        if (!elMin || *elMin < -90 || *elMin > 90) {
            return usageError("--dx-el-min: '" + request.dxElMin.value_or("") +
                              "' is not an elevation from -90 to 90");
        }
        plan.settings.dxElMin = *elMin;
    }
    const PassPlan result = planPasses(plan);
    std::string out;
    for (const PassWindow& w : plan.dx ? result.common : result.windows) {
        char highest[32];
        std::snprintf(highest, sizeof highest, "%.1f", w.highestEl);
        out += utcText(w.rise) + " " + utcText(w.set) + " " + highest + "\n";
    }
    return {0, out, {}};
}

} // namespace kelvora::plan
