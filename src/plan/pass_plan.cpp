// The windows found on a grid of computed places, their ends and highest points refined, and the
// path of each window chosen over its whole sky track.
#include "plan/pass_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvora::plan {

namespace {

using station::AzElTarget;
using station::RotorRange;

struct Place {
    double az = 0, el = 0, dxEl = 0;
};

class Sky {
public:
    explicit Sky(const PlanRequest& r) : m_r(r) {}

    Place at(double unix) const {
        const astro::UtcTime t = astro::UtcTime::fromUnixSeconds(unix);
        Place p;
        astro::TopocentricPosition own = astro::topocentricPosition(m_r.body, t, m_r.observer);
        p.az = own.azimuthDeg;
        p.el = lifted(own.elevationDeg);
        if (m_r.dx) {
            p.dxEl = lifted(astro::topocentricPosition(m_r.body, t, *m_r.dx).elevationDeg);
        }
        return p;
    }

    // Above the mask and inside the limits the station rules apply to the tracking target.
    bool up(const Place& p) const {
        const station::StationSettings& s = m_r.settings;
        if (p.el < m_r.mask.elevationAt(p.az)) {
            return false;
        }
        if (s.elLimited && (p.el < s.elMin || p.el > s.elMax)) {
            return false;
        }
        return !s.azLimited || (p.az >= s.azMin && p.az <= s.azMax);
    }
    bool common(const Place& p) const { return up(p) && p.dxEl >= m_r.settings.dxElMin; }

private:
    double lifted(double el) const {
        const station::StationSettings& s = m_r.settings;
        return s.refraction ? el + astro::refractionDeg(el, s.pressureHpa, s.temperatureC) : el;
    }
    const PlanRequest& m_r;
};

// The instant between `a` (state `upAtA`) and `b` where the state changes, to half a second.
template <class Test> double crossing(const Sky& sky, double a, double b, bool upAtA, Test test) {
    while (b - a > 0.5) {
        double mid = (a + b) / 2;
        (test(sky.at(mid)) == upAtA ? a : b) = mid;
    }
    return (a + b) / 2;
}

// The highest elevation near the grid point `t` (one grid step either side), golden section.
void refineHighest(const Sky& sky, double t, double step, double low, double high, PassWindow& w) {
    double a = std::max(low, t - step), b = std::min(high, t + step);
    const double g = (std::sqrt(5.0) - 1) / 2;
    double c = b - g * (b - a), d = a + g * (b - a);
    double fc = sky.at(c).el, fd = sky.at(d).el;
    while (b - a > 1) {
        if (fc > fd) {
            b = d, d = c, fd = fc, c = b - g * (b - a), fc = sky.at(c).el;
        } else {
            a = c, c = d, fc = fd, d = a + g * (b - a), fd = sky.at(d).el;
        }
    }
    if (std::max(fc, fd) > w.highestEl) {
        w.highestEl = std::max(fc, fd);
        w.highestAt = fc > fd ? c : d;
    }
}

// The windows of `test` on the samples, each end refined between its grid points.
template <class Test>
std::vector<PassWindow> windowsOf(const Sky& sky, const std::vector<PlanSample>& samples,
                                  double step, Test test, bool PlanSample::*flag) {
    std::vector<PassWindow> windows;
    std::optional<PassWindow> open;
    std::size_t best = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const PlanSample& s = samples[i];
        const bool on = s.*flag;
        bool prev = i > 0 && samples[i - 1].*flag;
        if (on && !open) {
            open = PassWindow{};
            open->rise = i == 0 ? s.unix : crossing(sky, samples[i - 1].unix, s.unix, false, test);
            open->highestEl = -90;
            best = i;
        }
        if (open && on && s.el > samples[best].el) {
            best = i;
        }
        bool last = i + 1 == samples.size();
        if (open && ((!on && prev) || (on && last))) {
            open->set = on ? s.unix : crossing(sky, samples[i - 1].unix, s.unix, true, test);
            open->highestEl = samples[best].el;
            open->highestAt = samples[best].unix;
            refineHighest(sky, samples[best].unix, step, open->rise, open->set, *open);
            windows.push_back(*open);
            open.reset();
        }
    }
    return windows;
}

// The azimuths of a track made continuous (no jump at 0/360), starting in 0..360.
std::vector<double> unwrapped(std::span<const AzElTarget> track, bool flipped) {
    std::vector<double> u;
    u.reserve(track.size());
    for (const AzElTarget& p : track) {
        double a = station::skyAzimuth(flipped ? p.az + 180 : p.az);
        if (u.empty()) {
            u.push_back(a);
            continue;
        }
        double step = std::remainder(a - u.back(), 360.0);
        u.push_back(u.back() + step);
    }
    return u;
}

// The offset (a multiple of 360) putting all of `u` inside the range, least travel from `from`.
std::optional<double> wholeTrackOffset(const std::vector<double>& u, const RotorRange& range,
                                       double from) {
    const auto [lo, hi] = std::minmax_element(u.begin(), u.end());
    std::optional<double> best;
    for (int k = -2; k <= 2; ++k) {
        double off = 360.0 * k;
        bool fits = *lo + off >= range.azLow && *hi + off <= range.azHigh;
        if (fits &&
            (!best || std::abs(u.front() + off - from) < std::abs(u.front() + *best - from))) {
            best = off;
        }
    }
    return best;
}

// How many points from `i` on stay inside the range with the offset.
std::size_t runLength(const std::vector<double>& u, std::size_t i, double off,
                      const RotorRange& range) {
    std::size_t j = i;
    while (j < u.size() && u[j] + off >= range.azLow && u[j] + off <= range.azHigh) {
        ++j;
    }
    return j - i;
}

// The offset that stays inside the range longest from point `i`.
double longestOffset(const std::vector<double>& u, std::size_t i, const RotorRange& range) {
    double best = 0;
    std::size_t bestRun = 0;
    for (int k = -2; k <= 2; ++k) {
        std::size_t run = runLength(u, i, 360.0 * k, range);
        if (run > bestRun) {
            best = 360.0 * k;
            bestRun = run;
        }
    }
    return best;
}

WindowPath flownWhole(const std::vector<double>& u, double off, bool flipped) {
    WindowPath w;
    w.path = {u.front() + off, flipped};
    const auto [lo, hi] = std::minmax_element(u.begin(), u.end());
    w.mechLow = *lo + off;
    w.mechHigh = *hi + off;
    w.endMechAz = u.back() + off;
    return w;
}

} // namespace

WindowPath choosePath(std::span<const AzElTarget> track, std::span<const double> times,
                      const RotorRange& range, std::optional<double> fromMechAz) {
    if (track.empty()) {
        return {};
    }
    std::vector<double> u = unwrapped(track, false);
    if (std::optional<double> off = wholeTrackOffset(u, range, fromMechAz.value_or(u.front()))) {
        return flownWhole(u, *off, false);
    }
    if (range.canFlip()) {
        std::vector<double> f = unwrapped(track, true);
        if (std::optional<double> off =
                wholeTrackOffset(f, range, fromMechAz.value_or(f.front()))) {
            return flownWhole(f, *off, true);
        }
    }
    // No sweep fits: as few unwinds as the range allows, each where the track meets a stop.
    double off = longestOffset(u, 0, range);
    WindowPath w = flownWhole(u, off, false);
    w.mechLow = std::numeric_limits<double>::infinity();
    w.mechHigh = -w.mechLow;
    for (std::size_t i = 0; i < u.size();) {
        std::size_t run = std::max<std::size_t>(runLength(u, i, off, range), 1);
        for (std::size_t j = i; j < i + run && j < u.size(); ++j) {
            w.mechLow = std::min(w.mechLow, u[j] + off);
            w.mechHigh = std::max(w.mechHigh, u[j] + off);
        }
        i += run;
        if (i < u.size()) {
            off = longestOffset(u, i, range);
            w.unwinds.push_back(times[i]);
        }
    }
    w.endMechAz = u.back() + off;
    return w;
}

PassPlan planPasses(const PlanRequest& request, std::optional<double> fromMechAz) {
    PassPlan plan;
    const Sky sky(request);
    const double step = request.stepSeconds;
    const double end = request.startUnix + request.hours * 3600;
    for (double t = request.startUnix; t <= end + 1e-6; t += step) {
        Place p = sky.at(t);
        PlanSample s{t, p.az, p.el, request.mask.elevationAt(p.az), p.dxEl, sky.up(p), false};
        s.common = request.dx && sky.common(p);
        plan.samples.push_back(s);
    }
    plan.windows = windowsOf(
        sky, plan.samples, step, [&](const Place& p) { return sky.up(p); }, &PlanSample::up);
    if (request.dx) {
        plan.common = windowsOf(
            sky, plan.samples, step, [&](const Place& p) { return sky.common(p); },
            &PlanSample::common);
    }
    std::optional<double> from = fromMechAz;
    for (PassWindow& w : plan.windows) {
        std::vector<AzElTarget> track;
        std::vector<double> times;
        auto add = [&](double t) {
            Place p = sky.at(t);
            track.push_back({p.az, p.el});
            times.push_back(t);
        };
        add(w.rise);
        for (const PlanSample& s : plan.samples) {
            if (s.unix > w.rise && s.unix < w.set) {
                track.push_back({s.az, s.el});
                times.push_back(s.unix);
            }
        }
        add(w.set);
        w.path = choosePath(track, times, request.settings.range, from);
        from = w.path.endMechAz;
    }
    return plan;
}

} // namespace kelvora::plan
