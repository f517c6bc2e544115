#include "tracking/path_planning.h"

#include "sources/tracking_source.h"
#include "station/station_control.h"

#include <algorithm>

namespace kelvora {

namespace {

struct PathPlanning : KelvPart {
    explicit PathPlanning(Kelv&) {}
    std::optional<plan::PassPlan> plan;
    double plannedAt = 0;
};

constexpr double kReplanSeconds = 60;

} // namespace

std::optional<plan::PassPlan> planFromNow(Kelv& k, double hours) {
    std::optional<astro::Observer> place = configuredPlace(k);
    if (!place) {
        return std::nullopt;
    }
    station::StationRules& rules = k.part<station::StationPart>().rules;
    plan::PlanRequest request{.body = trackedBody(k),
                              .observer = *place,
                              .startUnix = k.clock.utcSeconds(),
                              .hours = hours,
                              .settings = rules.settings(),
                              .mask = rules.horizon().mask(),
                              .dx = std::nullopt};
    if (!rules.settings().dxLocator.empty()) {
        astro::Parsed<astro::GeoPoint> dx = astro::locatorToGeoPoint(rules.settings().dxLocator);
        if (dx) {
            request.dx = astro::makeObserver(dx.value->latitudeDeg, dx.value->longitudeDeg).value;
        }
    }
    return plan::planPasses(request, k.part<station::StationPart>().lastMechAz);
}

void startPathPlanning(Kelv& k) {
    k.part<PathPlanning>() = PathPlanning(k);
    station::StationPart& station = k.part<station::StationPart>();
    station::setPlannedPath(k, std::nullopt);
    station.lastMechAz.reset();
    if (!station.rules.settings().range.extended() || configuredPlace(k)) {
        return;
    }
    station.pathText = std::string(station::kPlanningOff);
    k.ui.RotorAZ.caption = "Without the station's place " + std::string(station::kPlanningOff) +
                           ": the nearest azimuth of the range is commanded";
}

void keepPlannedPath(Kelv& k) {
    station::StationPart& station = k.part<station::StationPart>();
    if (!station.rules.settings().range.extended()) {
        return;
    }
    const double now = k.clock.utcSeconds();
    if (station.planned && now <= station.planned->untilUnix) {
        return; // kept until the window ends
    }
    PathPlanning& planning = k.part<PathPlanning>();
    // A plan that still has a window ahead is kept (until its window begins); one without is
    // made again, once a minute at most.
    const bool ahead =
        planning.plan && std::any_of(planning.plan->windows.begin(), planning.plan->windows.end(),
                                     [now](const plan::PassWindow& w) { return w.set > now; });
    const bool due = now - planning.plannedAt >= kReplanSeconds || now < planning.plannedAt;
    if (!planning.plan || (!ahead && due)) {
        planning.plan = planFromNow(k);
        planning.plannedAt = now;
    }
    if (!planning.plan) {
        station.pathText = std::string(station::kPlanningOff);
        return;
    }
    for (const plan::PassWindow& w : planning.plan->windows) {
        // A minute early: the target's one-decimal text can clear the horizon a little before
        // the window's computed start, and its first command must already be on the path.
        if (w.rise <= now + 60 && now < w.set) {
            station::PlannedPath path{
                w.path.path, w.set, w.path.mechLow, w.path.mechHigh, !w.path.unwinds.empty(), {}};
            for (const plan::PlanSample& s : planning.plan->samples) {
                if (s.unix >= w.rise - 60 && s.unix <= w.set + 60) {
                    path.track.push_back({s.az, s.el});
                }
            }
            station::setPlannedPath(k, std::move(path));
            // A later window is planned again from where this one ends.
            planning.plan.reset();
            return;
        }
    }
    station::setPlannedPath(k, std::nullopt);
}

} // namespace kelvora
