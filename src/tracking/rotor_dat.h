// rotor.dat, the pointing corrections by whole degree: 361 "azimuth,correction" lines for 0..360,
// then 91 "elevation,correction" lines for 0..90. Pure: the file is read by Load_Rotor_dat.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvora {

inline constexpr std::size_t kRotorDatLines = 361 + 91;

struct RotorDat {
    // The correction texts by degree; empty where the file holds none.
    std::array<std::string, 361> az{};
    std::array<std::string, 91> el{};
    // The first fault, named by its line ("line 7 is blank"); empty when the file is sound.
    std::string fault;
};

// Reads the text of rotor.dat. A damaged file still yields the corrections it holds, read as
// the program always has: fields split at commas and line ends, the second field of each
// record kept; a file holding more than one set is read over again from its start.
RotorDat parseRotorDat(std::string_view text);

// The file written when there is none: every correction 0.
std::string defaultRotorDat();

} // namespace kelvora
