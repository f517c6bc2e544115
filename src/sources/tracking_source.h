// Where the target comes from: the tracking file, the Moon and Sun computed in the program, or the
// file while it is fresh and the computed positions while it is stale or missing.
#pragma once

#include "astro/ephemeris.h"
#include "state/kelv.h"
#include "state/run_state.h"
#include "station/station_rules.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {

enum class TrackingSourceMode { File, BuiltIn, FileElseBuiltIn };

// "File", "Built-in", "File, else built-in" as [General] Tracking_Source stores them; blanks
// around the text and letter case do not matter. std::nullopt for any other text.
std::optional<TrackingSourceMode> parseTrackingSource(std::string_view text);

// The station's place from [Station]: Latitude and Longitude (degrees, east positive) when both
// are given, else Locator; Height in metres, 0 when absent. The error names the key at fault.
astro::Parsed<astro::Observer> stationPlace(const station::KeyLookup& lookup);

// Whether the tracking file is fresh: its time text changed less than `staleSeconds` ago. The
// first time seen is not a change, so a file left over from an earlier session never counts,
// unless `currentAtFirstSight` says that time is the present one (a file written right now).
class FileFreshness {
public:
    bool update(std::string_view timeText, double nowSeconds, double staleSeconds,
                bool currentAtFirstSight = false);
    void reset() { *this = {}; }

private:
    std::string m_time;
    double m_changedAt = 0;
    bool m_seen = false;
    bool m_changed = false;
};

// The file's UTC time of day ("HH:MM:SS") lies less than `staleSeconds` from `utcSeconds`'s,
// either way and across midnight; false for a text that is not such a time.
bool timeOfDayIsCurrent(std::string_view timeText, double utcSeconds, double staleSeconds);

enum class SourceUsed { File, BuiltIn };
SourceUsed chooseSource(TrackingSourceMode mode, bool fileFresh);

// Fills the fields the tracking file reader fills, from a computed position: the UTC time,
// azimuth and elevation as the file writes them, the object, the own-echo Doppler shift when a
// frequency is known. The DX Doppler is cleared (the caller fills it for a DX place), and a missing
// QSO frequency becomes 0 so that the frequency is the band offset alone.
void fillFromEphemeris(RunState& rs, astro::Body body, const astro::UtcTime& time,
                       const astro::TopocentricPosition& position,
                       std::optional<double> ownEchoDopplerHz);

// The source's state between ticks.
struct TrackingSource : KelvPart {
    explicit TrackingSource(Kelv&) {}
    TrackingSourceMode mode = TrackingSourceMode::File;
    std::optional<astro::Observer> observer; // set at Start when the mode needs it
    FileFreshness freshness;
    std::string fileTime;           // the tracking file's time as last read
    std::optional<SourceUsed> used; // the source of the last tick, for the status line
};

// The [Station] keys of the settings; std::nullopt for a key the file lacks.
station::KeyLookup stationKeys(Kelv& k);

// The station's place from the [Station] keys of the settings, for the sky view as well.
std::optional<astro::Observer> configuredPlace(Kelv& k);

// The DX station's place: the DX grid WSJT-X reports while it has one, else [Station]
// DX_Locator. The error says why there is none ("" when neither is set).
astro::Parsed<astro::GeoPoint> dxPlace(Kelv& k);

// "DX Moon 123.4 12.3, up for both": the body seen from the DX place, and whether it stands above
// the horizon for both stations.
std::string dxBodyText(astro::Body body, const astro::TopocentricPosition& home,
                       const astro::TopocentricPosition& dx);

// At Start: reads Tracking_Source and, when it needs it, the station's place. On a text it
// cannot use, tells the operator and returns false (tracking does not start).
bool prepareTrackingSource(Kelv& k);

// Once per processed second and at Start, in place of reading the tracking file.
void readTrackingSource(Kelv& k);

// The body the settings track: the one Sun_combo names, else the Moon.
astro::Body trackedBody(Kelv& k);

} // namespace kelvora
