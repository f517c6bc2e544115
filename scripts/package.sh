#!/usr/bin/env bash
# Builds the Debian package of Kelvora with CPack: a release build with Debian's hardening flags
# in build-package/ (or the folder given), stripped, its dependencies read from the shared
# libraries the program links. Prints the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=${1:-build-package}
# Debian's full hardening: bind now and position-independent, besides the defaults.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DKELVORA_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir" -j2 --target kelvora kelvora_desktop_files
rm -f "$dir"/kelvora_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/kelvora_*.deb
