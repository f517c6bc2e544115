#!/usr/bin/env bash
# Installs what is missing, builds Kelvora and starts it. Arguments go to the program ("T" traces).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVORA_TESTS=OFF >/dev/null
cmake --build build -j2 --target kelvora
exec build/kelvora "$@"
