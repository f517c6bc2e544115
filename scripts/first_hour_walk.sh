#!/usr/bin/env bash
# The first hour as a newcomer meets it, under a virtual X server: from an empty program folder
# to a simulated GS-232 rotor following the computed Moon, in eight window actions, then the Moon
# below the horizon. Saves screenshots/first_window.png, get_started.png, tracking.png and
# below_horizon.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screen_tools.sh
# rotor_sim comes with the tests.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target kelvora rotor_sim >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/folder" "$out"

# A place where the Moon is up now, and one where it is down, from the program's own ephemeris.
now=$(date -u +%Y-%m-%dT%H:%M:%S)
up="" down="" best=-91 worst=91
for loc in JO65 FN20 QF56 PM95 JN45 GG66 KG33 DM79 OL72 LK28 IO91 BH56 RE78 CM87; do
    el=$("$build/kelvora" --ephemeris Moon --locator "$loc" --utc "$now" | awk '{print $2}')
    if awk "BEGIN{exit !($el > $best)}"; then best=$el up=$loc; fi
    if awk "BEGIN{exit !($el < $worst)}"; then worst=$el down=$loc; fi
done
echo "Moon up at $up ($best°), down at $down ($worst°)"

export HOME=$home KELVORA_HOME=$home/folder KELVORA=$build/kelvora SIM=$build/tests/rotor_sim
export OUT=$out UP=$up DOWN=$down
in_virtual_screen 1366x768 '
    set -euo pipefail
    coproc ROTOR { exec "$SIM" --type GS232 2>/dev/null; }
    sim=$ROTOR_PID
    read -r pty <&"${ROTOR[0]}"
    "$KELVORA" &
    pid=$!
    # Under set -e a failed kill (the program already ended) would end the trap early.
    trap '\''kill "$pid" 2>/dev/null || true; kill -9 "$sim" 2>/dev/null || true'\'' EXIT
    main=$(xdotool search --sync --onlyvisible --name "Kelvora - RTX  / Linrad" | head -1)
    sleep 1
    import -window root "$OUT/first_window.png"

    actions=0
    act() { actions=$((actions + 1)); "$@"; sleep 0.7; }
    # 1: Start, in the menu bar. 2: the message that the default settings were written.
    act xdotool mousemove --window "$main" 22 12 click 1
    sleep 1.5 # the message box
    act xdotool key Return
    settings=$(xdotool search --sync --onlyvisible --name "Rotor / RTX - Settings" | head -1)
    # Without a window manager nothing gives the new dialog the keyboard; a desktop does that.
    xdotool windowfocus --sync "$settings"
    sleep 0.5
    # 3: the locator (the page opens on it). 4-5: the rotor type, GS232 (its first letter).
    # 6-7: the rotor port, typed: a simulator is no device the system lists. 8: Start tracking.
    act xdotool type --delay 60 "$UP"
    act xdotool key alt+r
    act xdotool type G
    act xdotool key alt+p
    act xdotool type --delay 30 "$pty"
    import -window root "$OUT/get_started.png"
    act xdotool key alt+s
    echo "window actions: $actions"
    sleep 6 # position replies from the simulated rotor
    import -window root "$OUT/tracking.png"

    # The Moon below the horizon: the program ended, the place changed to one where the Moon is
    # down (outside the walk, in the settings file), the program again and Start.
    kill "$pid"; wait "$pid" || true
    sed -i "s/^Locator=.*/Locator=$DOWN/" "$KELVORA_HOME/Kelvora.ini"
    "$KELVORA" &
    pid=$!
    main=$(xdotool search --sync --onlyvisible --name "Kelvora - RTX  / Linrad" | head -1)
    sleep 1
    xdotool mousemove --window "$main" 22 12 click 1
    sleep 4
    import -window root "$OUT/below_horizon.png"
    kill "$pid"; wait "$pid" || true
'
echo "saved $out/first_window.png, get_started.png, tracking.png, below_horizon.png"
