// The two services every part uses: the error report and the file-existence test.
#pragma once

#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

// Shows "Error: " + text (with "Fatal " in front when fatal) in the timed message box and waits,
// running window events, until it is closed. With `fatal` the program then ends.
void ErrorHandler(Kelv& k, std::string_view text, bool fatal);

// True when the path names an existing file or folder.
bool EsisteFile(const std::string& NomeFile);

} // namespace kelvora
