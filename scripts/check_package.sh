#!/usr/bin/env bash
# Builds the .deb (scripts/package.sh), unpacks it into a scratch folder and checks it: the
# unpacked program answers --version and --help without a display, lintian finds no error, the
# desktop entry and the AppStream metainfo validate. Part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
deb=$(scripts/package.sh "$dir" | tail -1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
program=$scratch/usr/bin/kelvora
version=$(grep -m1 -oP 'project\(Kelvora VERSION \K[0-9.]+' CMakeLists.txt)

fail() {
    echo "package: $*" >&2
    exit 1
}
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version) ||
    fail "kelvora --version failed"
grep -qE "^Kelvora $version \(.*commit [0-9a-f]+\)$|^Kelvora $version \(.*commit unknown\)$" <<<"$out" ||
    fail "kelvora --version printed: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help) ||
    fail "kelvora --help failed"
for option in --help --version --home --demo --ephemeris --lat --lon --locator --height --utc; do
    grep -qE "^  (-[a-z], )?$option( |$)" <<<"$out" || fail "kelvora --help does not list $option"
done
if env -u DISPLAY "$program" --no-such-option 2>/dev/null; then
    fail "an unknown option did not fail"
fi
[ -f "$scratch/usr/share/man/man1/kelvora.1.gz" ] || fail "no manual page"

# lintian: errors fail, warnings are shown.
lintian_log=$scratch/lintian.log
lintian "$deb" >"$lintian_log" 2>&1 || true
cat "$lintian_log"
if grep -q '^E: ' "$lintian_log"; then
    fail "lintian reports errors"
fi
desktop-file-validate "$scratch/usr/share/applications/kelvora.desktop" ||
    fail "the desktop entry does not validate"
appstreamcli validate --no-net "$scratch"/usr/share/metainfo/*.metainfo.xml ||
    fail "the AppStream metainfo does not validate"
echo "package: $(basename "$deb") checked"
