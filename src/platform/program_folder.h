// Where Kelvora.ini, rotor.dat and Trace.txt live.
#pragma once

#include <string>

namespace kelvora::platform {

// KELVORA_HOME when set; else the executable's folder when writable and not a system folder
// (under /usr, /bin or /sbin, where an installed program lives); else the per-user
// configuration folder ($XDG_CONFIG_HOME/Kelvora, ~/.config/Kelvora), created when missing.
std::string programFolder();

// The same rule with its inputs given, for tests.
std::string chooseProgramFolder(const char* kelvoraHome, const std::string& executableFolder,
                                bool executableFolderWritable, const char* xdgConfigHome,
                                const char* home);

} // namespace kelvora::platform
