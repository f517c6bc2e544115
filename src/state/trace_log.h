// The trace log Trace.txt, written when the program was started with the argument "T".
#pragma once

#include <string_view>

namespace kelvora {
struct Kelv;

// Appends one entry: local date and time, a blank, the text. Callers test Trace_on first.
// A missing file is created empty and this entry is not written; a file that cannot be written
// is skipped silently.
void Tracciatura_file(Kelv& k, std::string_view text);

} // namespace kelvora
