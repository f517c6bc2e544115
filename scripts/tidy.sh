#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy on the Qt-free core. Arguments: a build folder
# configured with CMAKE_EXPORT_COMPILE_COMMANDS (every build of this project is), and optionally
# a build folder with Qt, in which the Qt files (ui/qt, platform/qt, app) are held to the
# function-complexity rule alone (the other checks were chosen for the core). A file that passed
# before with the same preprocessed text is not checked again (scripts/tidy_cached.py).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/tidy.sh BUILD_FOLDER [QT_BUILD_FOLDER]}
qt_build=${2:-}
mapfile -t sources < <(git ls-files 'src/platform/*.cpp' 'src/state/*.cpp' 'src/config/*.cpp' \
    'src/ports/*.cpp' 'src/rotor/*.cpp' 'src/radio/*.cpp' 'src/hamlib/*.cpp' 'src/astro/*.cpp' \
    'src/station/*.cpp' 'src/sources/*.cpp' 'src/devices/*.cpp' 'src/sky/*.cpp' \
    'src/calibration/*.cpp' 'src/tracking/*.cpp' 'src/demo/*.cpp' 'src/sim/*.cpp' | grep -v '/qt/')
python3 scripts/tidy_cached.py "$build" "${sources[@]}"
echo "clang-tidy: ${#sources[@]} files clean"
if [ -n "$qt_build" ]; then
    mapfile -t qt_sources < <(git ls-files 'src/ui/qt/*.cpp' 'src/platform/qt/*.cpp' 'src/app/*.cpp')
    python3 scripts/tidy_cached.py "$qt_build" --checks='-*,readability-function-cognitive-complexity' \
        "${qt_sources[@]}"
    echo "clang-tidy: ${#qt_sources[@]} Qt files within the complexity rule"
fi
