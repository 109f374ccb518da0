#!/usr/bin/env bash
# Sets up, builds and starts quorvel.
#
# With the game installed in the Wine prefix ($WINEPREFIX, else ~/.wine) the
# program uses that prefix's settings store and files. Without it, the program
# runs against a throwaway copy of the sample prefix in examples/, so that it
# can be tried anywhere; the copy is removed when the program ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup-deps.sh" build
cmake -S "$root" -B "$root/build" -DQUORVEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "quorvel is a desktop program: start it from a graphical session." >&2
    exit 1
fi

prefix=${WINEPREFIX:-$HOME/.wine}
if grep -qiF '[Software\\2015\\MOHAA]' "$prefix/user.reg" 2>/dev/null; then
    echo "Using the game's settings in $prefix"
    exec "$root/build/ui/qt/quorvel"
fi

sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
cp -a "$root/examples/wineprefix" "$sample/prefix"
mkdir -p "$sample/prefix/dosdevices"
ln -s ../drive_c "$sample/prefix/dosdevices/c:"
echo "No MOHAA settings found in $prefix/user.reg."
echo "Running against a throwaway copy of the sample prefix: $sample/prefix"
echo "(its game folder is C:\\Games\\MOHAA; the copy is removed when quorvel ends)"
WINEPREFIX="$sample/prefix" "$root/build/ui/qt/quorvel"
