// The main window's place and size in [Window], read at start-up and saved at shutdown.
#pragma once

namespace kelvora {
struct Kelv;

// Screen size in twips, for the geometry checks at start-up and shutdown.
struct ScreenSize {
    double width = 0;
    double height = 0;
};

// The geometry from Kelvora.ini into the main-window model; nothing without the file.
void Restore_Window(Kelv& k);
// The model's geometry into Kelvora.ini, unless the window's corner lies on or beyond the edge
// of `screen` (a window there would come back out of sight).
void saveWindowGeometry(Kelv& k, ScreenSize screen);

} // namespace kelvora
