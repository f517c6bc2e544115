# Sourced, from the top of the tree, by the scripts that drive the program under a virtual X
# server and take screenshots: sets `root`, `build` (KELVORA_BUILD_DIR or build/) and `out`
# (screenshots/), and stops with what to run when a tool is missing. `in_virtual_screen
# SIZE SCRIPT`: runs the script under Xvfb at SIZE (like 1366x768), given up after two minutes,
# so that a window that never appears cannot hold the script (xdotool --sync waits for ever).
root=$(pwd)
build=${KELVORA_BUILD_DIR:-$root/build}
out=$root/screenshots

require_screen_tools() {
    local tool
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || {
            echo "missing $tool: run scripts/install-deps.sh" >&2
            exit 1
        }
    done
}

in_virtual_screen() {
    timeout --kill-after=10 120 xvfb-run -a -s "-screen 0 ${1}x24" bash -c "$2"
}

require_screen_tools
