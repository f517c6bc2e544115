#!/usr/bin/env bash
# Runs every benchmark: in-process (pace-down, costs, tick-to-byte, long tick run) and against the
# running program (CPU, latency, memory). Figures and their reading are in docs/PERFORMANCE.md.
# MINUTES sets the length of the memory run (default 60); MINUTES=0 leaves it out.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-bench
minutes=${MINUTES:-60}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVORA_BENCH=ON -DKELVORA_TESTS=ON \
    -DKELVORA_WERROR=ON >/dev/null
cmake --build "$dir" -j2 --target kelvora kelvora_bench rotor_sim

echo "== machine"
echo "nproc: $(nproc)"
grep -m1 'model name' /proc/cpuinfo
grep MemTotal /proc/meminfo
uptime

export QT_QPA_PLATFORM=offscreen
echo "== pace-down";           "$dir/bench/kelvora_bench" pacedown
echo "== costs";               "$dir/bench/kelvora_bench" costs
echo "== tick to first byte";  "$dir/bench/kelvora_bench" latency 50
echo "== 7200 ticks";          "$dir/bench/kelvora_bench" ticks 7200
echo "== Moon and Sun";        "$dir/bench/kelvora_bench" astro
echo "== horizon mask";        "$dir/bench/kelvora_bench" horizon
echo "== PTT sequencer";       "$dir/bench/kelvora_bench" ptt 40
echo "== reopen attempt";      "$dir/bench/kelvora_bench" reopen 200

run=(python3 bench/program_bench.py --exe "$dir/kelvora")
echo "== program CPU, 60 s";   "${run[@]}" cpu --seconds 60
echo "== program latency";     "${run[@]}" latency --count 50
echo "== WSJT-X UDP flood";    "${run[@]}" wsjtx --seconds 20
if [ "$minutes" != 0 ]; then
    log=/tmp/kelvora-memory.log
    echo "== program memory, $minutes min (log: $log)"
    "${run[@]}" memory --rotor-sim "$dir/tests/rotor_sim" --minutes "$minutes" --log "$log"
    cat "$log"
fi
