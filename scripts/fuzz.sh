#!/usr/bin/env bash
# The longer fuzzing run: every libFuzzer target (or the ones named) for a set time each, on a
# work corpus that keeps growing from one run to the next. Crashes are kept beside it.
#
#   scripts/fuzz.sh [-t SECONDS] [-w WORKDIR] [target...]
#
# Defaults: 600 seconds per target, work directory build-fuzz-work/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=600
work=build-fuzz-work
while getopts "t:w:" option; do
    case $option in
    t) seconds=$OPTARG ;;
    w) work=$OPTARG ;;
    *) sed -n 's/^#   //p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DKELVORA_FUZZ=ON -DKELVORA_TESTS=OFF \
    -DKELVORA_WERROR=ON >/dev/null
cmake --build "$build" --target fuzz_all -j2

targets=("$@")
if ((${#targets[@]} == 0)); then
    for fuzzer in "$build"/fuzz/fuzz_*; do
        [ -x "$fuzzer" ] && targets+=("$(basename "$fuzzer")")
    done
fi

failed=0
for target in "${targets[@]}"; do
    corpus="$work/$target/corpus"
    crashes="$work/$target/crashes"
    mkdir -p "$corpus" "$crashes"
    # The seeds join the work corpus; what the fuzzer adds stays there for the next run.
    cp -n fuzz/corpus/"$target"/* "$corpus/"
    echo "fuzz $target: ${seconds}s, corpus $corpus ($(ls "$corpus" | wc -l) inputs)"
    if "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" >"$work/$target/log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target/log")
        echo "fuzz $target: ${runs:-?} runs, no crash, corpus now $(ls "$corpus" | wc -l) inputs"
    else
        failed=1
        echo "fuzz $target: CRASH, see $work/$target/log and $crashes/"
    fi
done
exit $failed
