// The facts of this build, fixed when the build folder is configured.
#pragma once

#include <string_view>

namespace kelvora {

std::string_view projectVersion(); // "1.0.0"
std::string_view releaseDate();    // "2026-12-08"
std::string_view buildCommit();    // the short git commit, "unknown" when built without git

} // namespace kelvora
