// The timed message box and the About box.
#pragma once

#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

// Shows `text` without blocking and beeps; the box hides itself ten seconds later. While a
// message is up (the box's timer runs) further messages are dropped. `timeout` is not used:
// the box's timer has a fixed interval.
void ShowMessage(Kelv& k, std::string_view text, int timeout);
void MessageTimer_Timer(Kelv& k);
void OKButton_Click(Kelv& k);

void mnuHelp_Click(Kelv& k);
void cmdOK_Click(Kelv& k);

// "Version 1.0.0 08-12-2026, commit 1a2b3c4": the version, its release date, the build's commit
std::string versionText();

} // namespace kelvora
