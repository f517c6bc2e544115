// The check the settings dialog shows beside the station's place and the tracking source while
// they are typed: the first bad value named, else where the computed Moon (or Sun) stands now.
#pragma once

#include "astro/ephemeris.h"
#include "config/settings_schema.h"

#include <string>

namespace kelvora {

struct PlaceCheck {
    bool ok = false;
    std::string text; // the bad value in the settings' message shape, or the position now
};

// `station` and `general` give the [Station] and [General] texts as typed.
PlaceCheck checkPlace(const config::KeyLookup& station, const config::KeyLookup& general,
                      astro::Body body, double utcSeconds);

// Where WSJT-X writes its tracking file for this user ($HOME/.local/share/WSJT-X/azel.dat),
// and whether it is there.
std::string wsjtxTrackingFile();
bool wsjtxTrackingFileFound();

} // namespace kelvora
