// The tracking file reader: fields taken by fixed positions around keywords.
#pragma once

#include "state/run_state.h"

#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

// Files longer than this are not read.
inline constexpr std::size_t kMaxTrackingFileSize = 32767;

// What the reader needs besides the text, and what it may change in the settings.
struct TrackingInputs {
    std::string Sun_combo = "Moon";
    int map65_fqso2 = 0;
    int Doppler_Check = 0; // may be switched off by the reading
};

// The file's text with every LF that has no CR before it read as CR LF, and the final line end
// taken off in whatever form it has.
std::string workingText(std::string_view fileContents);

// Takes the fields out of the working text into the run state. Returns false when the text is
// empty (nothing was changed).
bool parseTrackingText(std::string_view working, TrackingInputs& inputs, RunState& rs);

// Reads the file named by Tracking_file, updates the run state, Label_TX and Label_freq.
void Read_File(Kelv& k);

} // namespace kelvora
