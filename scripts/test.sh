#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the layering, builds the core without Qt,
# runs its unit tests and clang-tidy on it, then builds and runs every test under AddressSanitizer
# and UndefinedBehaviorSanitizer, warnings as errors; then runs every fuzz target for a short
# bounded time; then builds and checks the Debian package. Ends with one summary line of the test
# counts. With ccache (installed here) and the clang-tidy cache, a run again, from this clone or
# a fresh one, compiles and checks only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# How long each step took, so that a slow step shows where it is.
step_start=$SECONDS
step_done() {
    echo "time: $1 $((SECONDS - step_start)) s"
    step_start=$SECONDS
}

unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
if [ "$unformatted" != "0" ]; then
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep 'warning:' | head -20
    echo "clang-format would change $unformatted places; run: git ls-files '*.cpp' '*.h' | xargs clang-format -i"
    exit 1
fi

python3 scripts/check_layers.py
step_done "format and layers"

# The core and its unit tests build and pass without Qt. With the sanitizers' flags, the same as
# the build with Qt below, so that there the compiler cache has the core and its tests already.
sanitized=(env ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1)
core_dir=build-test-core
cmake -S . -B "$core_dir" -DCMAKE_BUILD_TYPE=Debug -DKELVORA_WERROR=ON -DKELVORA_SANITIZE=ON \
    -DKELVORA_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
cmake --build "$core_dir" -j2
"${sanitized[@]}" ctest --test-dir "$core_dir" -j2 --timeout 120 >/dev/null || {
    "${sanitized[@]}" ctest --test-dir "$core_dir" --output-on-failure --rerun-failed
    exit 1
}
step_done "core without Qt"

export QT_QPA_PLATFORM=offscreen
# Every test once, in the build under AddressSanitizer and UndefinedBehaviorSanitizer (a plain
# build would run the same tests again and find nothing more). The benchmarks are built here too
# (not run), so that they keep compiling.
dir=build-test-sanitize
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DKELVORA_WERROR=ON -DKELVORA_SANITIZE=ON \
    -DKELVORA_BENCH=ON >/dev/null
# clang-tidy on the core, and its function-complexity rule on the Qt files of this Qt build.
scripts/tidy.sh "$core_dir" "$dir"
step_done clang-tidy
cmake --build "$dir" -j2
step_done "sanitizer build"
log=$(mktemp)
status=0
"${sanitized[@]}" ctest --test-dir "$dir" --output-on-failure -j2 --timeout 120 | tee "$log" || status=$?
summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
rm -f "$log"
total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
failed=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
failed=${failed:-0}
passed=$((${total:-0} - failed))
if [ "$status" -ne 0 ]; then
    echo "tests: $passed passed, $failed failed"
    exit "$status"
fi
step_done "sanitizer tests"

# Fuzzing: every libFuzzer target for a short bounded time on a copy of its seed corpus
# (scripts/fuzz.sh is the longer run). Any crash or broken property fails the test command.
fuzz_dir=build-test-fuzz
cmake -S . -B "$fuzz_dir" -DCMAKE_CXX_COMPILER=clang++ -DKELVORA_FUZZ=ON -DKELVORA_TESTS=OFF -DKELVORA_GUI=OFF \
    -DKELVORA_WERROR=ON >/dev/null
cmake --build "$fuzz_dir" --target fuzz_all -j2
fuzz_seconds=${KELVORA_FUZZ_SECONDS:-20}
fuzz_work=$(mktemp -d)
trap 'rm -rf "$fuzz_work"' EXIT
# One target for its time on a copy of its corpus; what became of it in $fuzz_work/TARGET/result.
fuzz_one() {
    local fuzzer=$1 target work runs
    target=$(basename "$fuzzer")
    work=$fuzz_work/$target
    mkdir -p "$work/corpus" "$work/crashes"
    cp fuzz/corpus/"$target"/* "$work/corpus/"
    if "$fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$work/crashes/" "$work/corpus" >"$work/log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
        echo "fuzz $target: ${runs:-?} runs, no crash" >"$work/result"
    else
        echo crash >"$work/result"
    fi
}
# Two targets at a time, one a core: each has its whole time.
running=0
for fuzzer in "$fuzz_dir"/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    fuzz_one "$fuzzer" &
    running=$((running + 1))
    if [ "$running" -ge 2 ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait
for fuzzer in "$fuzz_dir"/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    target=$(basename "$fuzzer")
    result=$(cat "$fuzz_work/$target/result" 2>/dev/null || echo "did not finish")
    if [ "${result#fuzz }" = "$result" ]; then
        tail -60 "$fuzz_work/$target/log" 2>/dev/null || true
        for crash in "$fuzz_work/$target/crashes"/*; do
            [ -f "$crash" ] && echo "fuzz $target: crash input (base64): $(base64 -w0 "$crash")"
        done
        echo "fuzz $target: CRASH ($result)"
        exit 1
    fi
    echo "$result"
done
step_done fuzzing

# The Debian package: built, unpacked, its program run, lintian and the desktop validators.
scripts/check_package.sh
step_done package

echo "tests: $passed passed, $failed failed"
