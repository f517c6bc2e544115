// The settings dialog's buttons that reach into the main window and the tracking file.
#pragma once

namespace kelvora {
struct Kelv;

void Finish_Click(Kelv& k);         // "Close"
void Form_Unload_Settings(Kelv& k); // the dialog's close box
void Save_Click(Kelv& k);
void Default_Click(Kelv& k);
void FileAZEL_Click(Kelv& k);

} // namespace kelvora
