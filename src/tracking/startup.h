// Start-up, Start/Stop, "Options", the settings and rotor.dat read at Start, and shutdown.
#pragma once

#include "tracking/window_geometry.h"

#include <string_view>

namespace kelvora {
struct Kelv;

// Once at program start: restores the window, starts tracking when Autostart is set, and turns
// the trace log on when `commandLine` is exactly "T".
void Form_Load(Kelv& k, std::string_view commandLine, ScreenSize screen);
// The Start/Stop command; its caption decides the direction.
void mnuStart_Click(Kelv& k);
// The "Options" button: stops tracking (not the Linrad link) and shows the settings dialog.
void Option_Click(Kelv& k);

void Load_INI(Kelv& k);
// rotor.dat from the program folder into the run state, written with zero corrections when
// missing; a damaged file is named in a message and tracking goes on with what it holds.
void Load_Rotor_dat(Kelv& k);

// Closes the ports and saves the window geometry; the caller then ends the program.
void Form_Unload(Kelv& k, ScreenSize screen);

} // namespace kelvora
