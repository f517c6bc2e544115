#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs every test twice:
# a plain build and one under AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
if [ "$unformatted" != "0" ]; then
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep 'warning:' | head -20
    echo "clang-format would change $unformatted places; run: git ls-files '*.cpp' '*.h' | xargs clang-format -i"
    exit 1
fi

export QT_QPA_PLATFORM=offscreen
for variant in plain sanitize; do
    dir=build-test-$variant
    sanitize=OFF
    [ "$variant" = sanitize ] && sanitize=ON
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DKELVORA_WERROR=ON -DKELVORA_SANITIZE=$sanitize >/dev/null
    cmake --build "$dir" -j2
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$dir" --output-on-failure -j2 --timeout 120
done
