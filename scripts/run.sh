#!/usr/bin/env bash
# Sets up, builds (in build-run/) and starts quorvel.
#
# With the game in a Wine prefix that quorvel finds ($WINEPREFIX, or Wine's and
# the launchers' usual places; see the README) the program uses that prefix's
# settings store and files. Without it, the program runs against a throwaway
# copy of the sample prefix in examples/, so that it can be tried anywhere;
# the copy is removed when the program ends. Arguments are passed on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup-deps.sh" build
build=$root/build-run
cmake -S "$root" --preset run -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target quorvel

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "quorvel is a desktop program: start it from a graphical session." >&2
    exit 1
fi

# The usual places, roughly: the program itself looks more closely and says
# on the terminal which prefix it took.
if [[ -n "${WINEPREFIX:-}" || $# -gt 0 ]]; then
    exec "$build/ui/qt/quorvel" "$@"
fi
shopt -s nullglob
data=${XDG_DATA_HOME:-$HOME/.local/share}
for reg in "$HOME"/.wine/user.reg "$HOME"/Games/*/user.reg \
    "$HOME"/Games/Heroic/Prefixes/default/*/user.reg "$data"/bottles/bottles/*/user.reg \
    "$data"/wineprefixes/*/user.reg "$HOME"/.PlayOnLinux/wineprefix/*/user.reg \
    "$HOME"/.steam/steam/steamapps/compatdata/*/pfx/user.reg \
    "$data"/Steam/steamapps/compatdata/*/pfx/user.reg "$HOME"/.var/app/*/data/*/*/*/user.reg; do
    if grep -qiF '[Software\\2015\\MOHAA]' "$reg" 2>/dev/null; then
        exec "$build/ui/qt/quorvel"
    fi
done

sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
cp -a "$root/examples/wineprefix" "$sample/prefix"
mkdir -p "$sample/prefix/dosdevices"
ln -s ../drive_c "$sample/prefix/dosdevices/c:"
echo "No MOHAA settings found in the usual Wine prefixes."
echo "Running against a throwaway copy of the sample prefix: $sample/prefix"
echo "(its game folder is C:\\Games\\MOHAA; the copy is removed when quorvel ends)"
WINEPREFIX="$sample/prefix" "$build/ui/qt/quorvel"
