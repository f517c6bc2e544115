// The sky view's scene, its antenna trail and its remembered place.
#include "sky/sky_view.h"

#include "astro/ephemeris.h"
#include "config/ini_file.h"
#include "config/settings_schema.h"
#include "sources/tracking_source.h"
#include "state/error_handler.h"
#include "state/numbers.h"
#include "station/station_control.h"

#include <cmath>

namespace kelvora {

namespace {

constexpr const char* kSection = "Sky_View";

std::optional<SkyPoint> point(std::optional<double> az, std::optional<double> el) {
    if (!az) {
        return std::nullopt;
    }
    return SkyPoint{*az, el.value_or(0)}; // an azimuth-only rotor stands on the horizon
}

std::optional<SkyPoint> targetOf(const RunState& rs) {
    std::optional<double> az = numbers::strictNumber(rs.Az_text);
    std::optional<double> el = numbers::strictNumber(rs.El_text);
    if (!az || !el || rs.Object_name.empty()) {
        return std::nullopt;
    }
    return SkyPoint{*az, *el};
}

// The position shown for the antenna: the rotor's report, else where it was sent.
std::optional<SkyPoint> antennaOf(const AntennaState& a) {
    std::optional<SkyPoint> measured = point(a.measuredAz, a.measuredEl);
    return measured ? measured : point(a.commandedAz, a.commandedEl);
}

bool moved(const SkyPoint& from, const SkyPoint& to) {
    return std::abs(from.az - to.az) >= 0.05 || std::abs(from.el - to.el) >= 0.05;
}

std::string sourceText(Kelv& k) {
    const TrackingSource& source = k.part<TrackingSource>();
    if (source.mode == TrackingSourceMode::File || source.used == SourceUsed::File) {
        return "tracking file";
    }
    return source.mode == TrackingSourceMode::BuiltIn ? "built-in" : "built-in (file stale)";
}

} // namespace

SkyView::SkyView(Kelv& k) {
    std::string path = k.iniPath();
    if (!EsisteFile(path)) {
        return;
    }
    config::IniDocument document = config::loadIniFile(path);
    if (!document.has(kSection, "Width")) {
        return;
    }
    config::SectionReader reader(kSection, [&document](std::string_view key) {
        return document.has(kSection, key) ? std::optional(document.get(kSection, key))
                                           : std::nullopt;
    });
    auto number = [&reader](const char* key) {
        return static_cast<int>(reader.whole(key).value_or(0));
    };
    left = number("Left");
    top = number("Top");
    width = number("Width");
    height = number("Height");
    visible = reader.flag("Visible");
    remembered = true;
}

namespace {

void placeTarget(SkyScene& scene) {
    if (scene.targetName == "Moon") {
        scene.moon = scene.target;
    } else if (scene.targetName == "Sun") {
        scene.sun = scene.target;
    } else if (std::optional<astro::Body> body = astro::bodyNamed(scene.targetName);
               body && astro::isRadioStar(*body)) {
        scene.star = scene.target;
    }
}

// The body the target is not, from the built-in ephemeris.
void addOtherBody(Kelv& k, SkyScene& scene) {
    if (scene.moon && scene.sun) {
        return;
    }
    std::optional<astro::Observer> place = configuredPlace(k);
    if (!place) {
        return;
    }
    astro::UtcTime time = astro::UtcTime::fromUnixSeconds(k.clock.utcSeconds());
    for (auto [body, slot] :
         {std::pair{astro::Body::Moon, &scene.moon}, std::pair{astro::Body::Sun, &scene.sun}}) {
        if (!*slot) {
            astro::TopocentricPosition p = astro::topocentricPosition(body, time, *place);
            // To the tenth of a degree the target has, so that a still view stays unchanged
            // between the slow steps of the bodies.
            auto tenth = [](double deg) { return std::round(deg * 10) / 10; };
            *slot = SkyPoint{tenth(p.azimuthDeg), tenth(p.elevationDeg)};
        }
    }
}

// The rules as Start (or the Station dialog) read them, and their one horizon file reader.
void addStationRules(station::StationRules& station, SkyScene& scene) {
    const station::StationSettings& rules = station.settings();
    scene.azLimited = rules.azLimited;
    scene.elLimited = rules.elLimited;
    scene.azMin = rules.azMin;
    scene.azMax = rules.azMax;
    scene.elMin = rules.elMin;
    scene.elMax = rules.elMax;
    station.refreshHorizon();
    if (!station.horizon().mask().empty()) {
        for (int az = 0; az <= 360; az += kMaskStepDeg) {
            scene.mask.push_back(station.horizon().mask().elevationAt(az));
        }
    }
}

} // namespace

void SkyView::updateTrail(const AntennaState& antenna, double now) {
    // Commanded positions stand in only until the rotor reports one: the two would draw a jump.
    bool measured = antenna.measuredAz && antenna.measuredEl;
    if (measured && !m_trailMeasured) {
        m_trail.clear();
        m_trailMeasured = true;
    }
    if (std::optional<SkyPoint> at = antennaOf(antenna)) {
        if (m_trail.empty() || moved(m_trail.back().at, *at)) {
            m_trail.push_back({now, *at});
        }
    }
    while (m_trail.size() > 1 && now - m_trail.front().time > kTrailSeconds) {
        m_trail.pop_front();
    }
}

void SkyView::update(Kelv& k) {
    RunState& rs = k.rs;
    updateTrail(rs.antenna, k.clock.monotonicSeconds());

    SkyScene scene;
    scene.target = targetOf(rs);
    scene.targetName = scene.target ? rs.Object_name : std::string();
    scene.time = rs.Time_text;
    scene.measured = point(rs.antenna.measuredAz, rs.antenna.measuredEl);
    scene.commanded = point(rs.antenna.commandedAz, rs.antenna.commandedEl);
    for (const TrailPoint& p : m_trail) {
        scene.trail.push_back(p.at);
    }
    placeTarget(scene);
    if (visible) { // the ephemeris only while anyone looks
        addOtherBody(k, scene);
    }
    addStationRules(k.part<station::StationPart>().rules, scene);
    if (const auto& planned = k.part<station::StationPart>().planned) {
        for (const station::AzElTarget& p : planned->track) {
            scene.plannedPath.push_back({p.az, p.el});
        }
    }
    scene.holdText = rs.antenna.paused ? std::string("Paused: tracking resumes with Track")
                                       : rs.antenna.holdText;
    scene.source = sourceText(k);

    if (!(scene == m_scene)) {
        m_scene = std::move(scene);
        ++m_revision;
    }
}

void toggleSkyView(Kelv& k) {
    SkyView& view = k.part<SkyView>();
    view.visible = !view.visible;
    view.update(k);
}

void updateSkyView(Kelv& k) {
    k.part<SkyView>().update(k);
}

void saveSkyViewPlace(Kelv& k) {
    SkyView& view = k.part<SkyView>();
    std::string path = k.iniPath();
    if (!view.remembered || view.width <= 0 || !EsisteFile(path)) {
        return;
    }
    std::optional<config::IniDocument> document = config::loadIniFileForUpdate(path);
    if (!document) {
        return;
    }
    for (auto [key, value] :
         {std::pair{"Left", view.left}, std::pair{"Top", view.top}, std::pair{"Width", view.width},
          std::pair{"Height", view.height}, std::pair{"Visible", view.visible ? 1 : 0}}) {
        document->set(kSection, key, std::to_string(value));
    }
    config::saveIniFile(path, *document);
}

} // namespace kelvora
