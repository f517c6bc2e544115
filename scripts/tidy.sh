#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy on the Qt-free core. Argument: a build folder
# configured with CMAKE_EXPORT_COMPILE_COMMANDS (every build of this project is).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/tidy.sh BUILD_FOLDER}
mapfile -t sources < <(git ls-files 'src/platform/*.cpp' 'src/state/*.cpp' 'src/config/*.cpp' \
    'src/ports/*.cpp' 'src/rotor/*.cpp' 'src/radio/*.cpp' 'src/hamlib/*.cpp' 'src/astro/*.cpp' \
    'src/station/*.cpp' 'src/sources/*.cpp' 'src/devices/*.cpp' 'src/sky/*.cpp' \
    'src/tracking/*.cpp' 'src/demo/*.cpp' | grep -v '/qt/')
printf '%s\n' "${sources[@]}" | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "clang-tidy: ${#sources[@]} files clean"
