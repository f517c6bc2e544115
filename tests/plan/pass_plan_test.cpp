// The pass plan: the path chosen over a window's sky track, and the windows against a brute-force
// scan of the computed Moon, second by second.
#include "plan/pass_plan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvora::plan {
namespace {

using station::AzElTarget;
using station::RotorRange;

// A track from `fromAz` turning by `sweep` degrees (either way), rising to `topEl` halfway.
std::vector<AzElTarget> track(double fromAz, double sweep, double topEl) {
    std::vector<AzElTarget> t;
    for (int i = 0; i <= 100; ++i) {
        double f = i / 100.0;
        t.push_back({std::fmod(fromAz + sweep * f + 720, 360), topEl * std::sin(M_PI * f)});
    }
    return t;
}

TEST(PassPlan, PathForTheWholeWindow) {
    struct Case {
        const char* name;
        std::vector<AzElTarget> sky;
        RotorRange range;
        std::optional<double> from;
        double startMech;
        bool flipped;
        std::size_t unwinds;
    };
    const RotorRange plain{}, overlap{0, 450, 90, false}, southStop{-180, 180, 90, false};
    const RotorRange overTop{0, 360, 180, true}, flipNoAxis{0, 360, 90, true};
    const Case cases[] = {
        {"south pass, plain", track(100, 160, 40), plain, std::nullopt, 100, false, 0},
        {"through north, 450: the upper branch", track(300, 120, 40), overlap, std::nullopt, 300,
         false, 0},
        {"through north, 450, from 10: still the sweep", track(300, 120, 40), overlap, 10.0, 300,
         false, 0},
        {"east only, 450, from 400: the upper branch is nearer", track(20, 60, 30), overlap, 400.0,
         380, false, 0},
        {"through north, stop at south", track(60, -120, 70), southStop, std::nullopt, 60, false,
         0},
        {"west, stop at south: the negative branch", track(200, 100, 30), southStop, std::nullopt,
         -160, false, 0},
        {"through north, plain: one unwind", track(60, -120, 70), plain, std::nullopt, 60, false,
         1},
        {"through north, over the top", track(60, -120, 89), overTop, std::nullopt, 240, true, 0},
        {"Flip without El_High 180 is no flip", track(60, -120, 89), flipNoAxis, std::nullopt, 60,
         false, 1},
    };
    for (const Case& c : cases) {
        std::vector<double> times;
        for (std::size_t i = 0; i < c.sky.size(); ++i) {
            times.push_back(60.0 * i);
        }
        WindowPath w = choosePath(c.sky, times, c.range, c.from);
        EXPECT_NEAR(w.path.startMechAz, c.startMech, 1e-6) << c.name;
        EXPECT_EQ(w.path.flipped, c.flipped) << c.name;
        EXPECT_EQ(w.unwinds.size(), c.unwinds) << c.name;
        if (c.unwinds == 0) {
            EXPECT_GE(w.mechLow, c.range.azLow) << c.name;
            EXPECT_LE(w.mechHigh, c.range.azHigh) << c.name;
        }
    }
}

// The windows' ends where the Moon's centre crosses the horizon, and the highest point, as a
// scan of every second finds them; and the common windows lie inside the station's own.
TEST(PassPlan, WindowsAgreeWithASecondBySecondScan) {
    PlanRequest request;
    request.observer = astro::makeObserver(55.5, 13.0).value.value(); // JO65
    request.startUnix = 1796688000;                                   // 2026-12-08T00:00:00
    request.dx = astro::makeObserver(40.5, -73.0).value;              // FN30
    request.settings.dxElMin = 5;
    PassPlan plan = planPasses(request);
    ASSERT_EQ(plan.windows.size(), 1u);
    std::vector<double> rises, sets;
    double highest = -90;
    double previous = 0;
    for (int s = 0; s <= 86400; ++s) {
        double t = request.startUnix + s;
        double el = astro::topocentricPosition(astro::Body::Moon,
                                               astro::UtcTime::fromUnixSeconds(t), request.observer)
                        .elevationDeg;
        if (s > 0 && (previous < 0) != (el < 0)) {
            (el >= 0 ? rises : sets).push_back(t);
        }
        highest = std::max(highest, el);
        previous = el;
    }
    ASSERT_EQ(rises.size(), 1u);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_NEAR(plan.windows[0].rise, rises[0], 2);
    EXPECT_NEAR(plan.windows[0].set, sets[0], 2);
    EXPECT_NEAR(plan.windows[0].highestEl, highest, 0.01);
    for (const PassWindow& c : plan.common) {
        EXPECT_GE(c.rise, plan.windows[0].rise - 1);
        EXPECT_LE(c.set, plan.windows[0].set + 1);
    }
}

// Refraction: about the textbook arcminute at 45 degrees, none at the zenith; near the horizon
// enough that at 55 N in December the Moon rises and sets minutes earlier and later.
TEST(PassPlan, RefractionWidensTheWindowByMinutes) {
    EXPECT_NEAR(astro::refractionDeg(45, 1013, 10), 1.1 / 60, 0.3 / 60);
    EXPECT_NEAR(astro::refractionDeg(90, 1013, 10), 0, 1e-6);
    PlanRequest request;
    request.observer = astro::makeObserver(55.5, 13.0).value.value(); // JO65
    request.startUnix = 1796688000;                                   // 2026-12-08T00:00:00
    const PassWindow plain = planPasses(request).windows.at(0);
    request.settings.refraction = true;
    const PassWindow lifted = planPasses(request).windows.at(0);
    for (double minutes : {(plain.rise - lifted.rise) / 60, (lifted.set - plain.set) / 60}) {
        EXPECT_TRUE(minutes > 1 && minutes < 5) << minutes;
    }
}

} // namespace
} // namespace kelvora::plan
