#!/usr/bin/env bash
# Builds Kelvora if needed, runs it under a virtual X server on a sample tracking file and saves
# screenshots of the main window (screenshots/main.png) and the settings dialog (settings.png).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screen_tools.sh
if [ ! -x "$build/kelvora" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVORA_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target kelvora >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# A tracking file as WSJT-X writes it: Moon and Sun lines, the QSO frequencies, band and Doppler.
printf '%s\r\n' "01:02:03,123.4, 45.6,Moon" "01:02:03,200.1, 10.2,Sun" "125,  fQSO" "130,  fQSO2" \
    "     144,  -600,  1000,Doppler" >"$home/azel.dat"
for ((i = 0; i <= 360; i++)); do printf '%d,0\r\n' "$i"; done >"$home/rotor.dat"
for ((i = 0; i <= 90; i++)); do printf '%d,0\r\n' "$i"; done >>"$home/rotor.dat"
cat >"$home/Kelvora.ini" <<INI
[COM_RTX]
Com_Port=None
Com_Port2=None
Rtx_type=IC-9700
Rtx_baud=19200
Com_Parity=N
Com_Bits=8
Com_StopBit=1
Icom_Addr=A2
Icom_Addr1=10
Trv_Offset=144000
[COM_Rotor]
Rotor_com=None
Rotor_type=Kelvora
Rotor_baud=9600
Rotor_Com_Parity=N
Rotor_Com_Bits=8
Rotor_Com_StopBit=1
Rotor_TimeOutDelay=0
Rotor_PaceDelay=0
Refresh_Rotore=None
[Linrad]
Linrad_IP=127.0.0.1
Linrad_Port=49812
Linrad_Center=144125000
Linrad_offset=0
[General]
Fname=$home/azel.dat
fqso2=0
Autostart=1
Autoupdate=1
Flusso=None
Doppler=0
Tracking_Object=Moon
Virtual_PTT=None
Real_PTT=COM2
[Ports]
COM2=/dev/ttyUSB1
[Window]
WindowPositionLeft=600
WindowPositionTop=600
WindowHeight=4470
WindowWidth=9585
INI

mkdir -p "$out"
export KELVORA_HOME=$home KELVORA=$build/kelvora OUT=$out
in_virtual_screen 1280x800 '
    set -euo pipefail
    "$KELVORA" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    main=$(xdotool search --sync --onlyvisible --name "Kelvora - RTX  / Linrad" | head -1)
    sleep 3 # a few tracking ticks: time, target and frequencies filled in
    import -window "$main" "$OUT/main.png"
    # "Options" opens the settings dialog; Alt+O is its keyboard shortcut.
    xdotool windowfocus --sync "$main" key alt+o
    settings=$(xdotool search --sync --onlyvisible --name "Rotor / RTX - Settings" | head -1)
    sleep 1
    import -window "$settings" "$OUT/settings.png"
'
# The Calibrate window after a simulated scan, from its window test.
if [ -x "$build/tests/integration_tests" ]; then
    KELVORA_CALIBRATE_SCREENSHOT=$out/calibrate_window.png xvfb-run -a -s "-screen 0 1280x800x24" \
        env -u QT_QPA_PLATFORM "$build/tests/integration_tests" \
        --gtest_filter='CalibrateWindowTest.*' >/dev/null
fi
echo "saved $out/main.png and $out/settings.png"
