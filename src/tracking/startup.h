// Start-up, Start/Stop, "Options", shutdown and the two small services every part uses.
#pragma once

#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

// Screen size in twips, for the geometry checks at start-up and shutdown.
struct ScreenSize {
    double width = 0;
    double height = 0;
};

// Once at program start: restores the window, starts tracking when Autostart is set, and turns
// the trace log on when `commandLine` is exactly "T".
void Form_Load(Kelv& k, std::string_view commandLine, ScreenSize screen);
// The Start/Stop command; its caption decides the direction.
void mnuStart_Click(Kelv& k);
// The "Options" button: stops tracking (not the Linrad link) and shows the settings dialog.
void Option_Click(Kelv& k);

void Load_INI(Kelv& k);
void Load_Rotor_dat(Kelv& k);
void Restore_Window(Kelv& k);

// Closes the ports and saves the window geometry; the caller then ends the program.
void Form_Unload(Kelv& k, ScreenSize screen);

// The settings dialog's buttons that reach into the main window.
void Finish_Click(Kelv& k);         // "Close"
void Form_Unload_Settings(Kelv& k); // the dialog's close box
void Save_Click(Kelv& k);
void Default_Click(Kelv& k);
void FileAZEL_Click(Kelv& k);

} // namespace kelvora
