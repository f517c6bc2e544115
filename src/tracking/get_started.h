// The settings dialog's "Get started" page, shown after the first Start wrote the defaults: the
// station's place, the tracking source, the rotor and the radio, then "Start tracking".
#pragma once

#include <string>

namespace kelvora {
struct Kelv;

// Which line a device chosen on the page is for.
enum class DeviceRole { Rotor, Radio };

// A device chosen by its path (/dev/ttyUSB0, a by-id link) gets a COM name: the one [Ports]
// already gives it, else the first COM name no line uses and [Ports] does not give another
// device. The name goes into the role's port field; [Ports] is written at once (as Assign does).
// Returns the COM name, or empty when the settings file could not be written.
std::string choosePortDevice(Kelv& k, DeviceRole role, const std::string& device);

// When the page opens: WSJT-X's tracking file, where it is found, becomes the file to read;
// without it (and without the file the settings name) the source proposed is the built-in Moon.
// Only the record changes, so Skip and Close leave the file as the first Start wrote it.
void proposeGetStarted(Kelv& k);

// The rotor type chosen on the page; a type that reports its position is asked every 2 s, so
// that the position read-outs show the rotor following.
void chooseRotorType(Kelv& k, const std::string& type);

// "Test": opens the rotor line as Start would (unless it is open), asks the position once and
// tells what came back, then closes the line again.
std::string testRotor(Kelv& k);

// "Start tracking": the settings saved, the page and the dialog closed, tracking started.
void startFromGetStarted(Kelv& k);
// "Skip": the usual dialog instead of the page.
void skipGetStarted(Kelv& k);

} // namespace kelvora
