// What the sky view shows, gathered once per processed second: the Moon, the Sun, the target,
// the antenna and its trail, the horizon mask and the limits, the held state. Qt-free; the window
// (ui/qt/sky_view.*) draws the scene and redraws only when its revision changed.
#pragma once

#include "state/kelv.h"
#include "station/station_rules.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvora {

struct SkyPoint {
    double az = 0;
    double el = 0;
    friend bool operator==(const SkyPoint&, const SkyPoint&) = default;
};

struct SkyScene {
    std::optional<SkyPoint> moon, sun, target, commanded, measured;
    std::string targetName;            // "Moon", "Sun", a radio star ("Cas A") or empty
    std::optional<SkyPoint> star;      // the target when it is a radio star, drawn with its name
    std::vector<SkyPoint> trail;       // oldest first, the last 30 minutes of the antenna
    std::vector<SkyPoint> plannedPath; // the sky track of the window under way, when planned
    // The mask's elevation every kMaskStepDeg of azimuth from 0 (360 included); empty for none.
    std::vector<double> mask;
    bool azLimited = false, elLimited = false;
    double azMin = 0, azMax = 360, elMin = 0, elMax = 90;
    std::string holdText; // a station rule holding the target, or "Paused" after Park/Stop
    std::string source;   // where the target comes from, for the legend
    std::string time;     // the target's time text
    friend bool operator==(const SkyScene&, const SkyScene&) = default;
};

inline constexpr int kMaskStepDeg = 2;
inline constexpr double kTrailSeconds = 30 * 60;

// The sky view's state: the scene, the trail, whether the window is shown and where.
struct SkyView : KelvPart {
    explicit SkyView(Kelv& k);

    bool visible = false;
    // The window's place in pixels, as the settings file keeps it; 0 size until one is known.
    int left = 0, top = 0, width = 0, height = 0;
    // True once the window was shown or the file had its place: only then is it written back.
    bool remembered = false;

    const SkyScene& scene() const { return m_scene; }
    // Changes whenever the scene does.
    unsigned revision() const { return m_revision; }

    // Adds the antenna's position to the trail and rebuilds the scene.
    void update(Kelv& k);

private:
    struct TrailPoint {
        double time;
        SkyPoint at;
    };
    void updateTrail(const AntennaState& antenna, double now);

    std::deque<TrailPoint> m_trail;
    bool m_trailMeasured = false; // the trail holds measured positions, not commanded ones
    SkyScene m_scene;
    unsigned m_revision = 0;
};

// The View menu's "Sky view": shows the window, or hides it.
void toggleSkyView(Kelv& k);

// Once per processed second, from the tracking tick.
void updateSkyView(Kelv& k);

// The window's place and whether it was open, written to [Sky_View] when the program ends.
void saveSkyViewPlace(Kelv& k);

} // namespace kelvora
