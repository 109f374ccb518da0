#!/usr/bin/env bash
# Cross-builds quorvel for 64-bit Windows with MinGW-w64 (the program
# quorvel.exe, and the tests of its core, platform layer and Win32 front end),
# then runs the tests under Wine: headless, in a throwaway Wine
# prefix that is removed afterwards, with Wine shut down at the end.
#
# Installs the Debian packages it needs (through sudo when not root), and exits
# non-zero when the build or any test fails. The build goes to build-windows/
# unless QUORVEL_WINDOWS_BUILD_DIR names another folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_WINDOWS_BUILD_DIR:-$root/build-windows}

"$root/scripts/setup-deps.sh" windows googletest

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wineprefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: the tests need neither, and nothing may ask to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
finish() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT

# The prefix is made while the build compiles: wineboot mostly waits. With no
# display, Wine's null graphics driver: the program's windows, their
# messages, clicks and message boxes all work, and nothing is drawn. Wine
# reads the setting when it next starts, hence the second wait.
echo "Creating the Wine prefix $WINEPREFIX"
(
    wineboot --init >/dev/null 2>&1
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
) &
prefix=$!

cmake -S "$root" --preset windows -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"
wait "$prefix"

# A test that hangs under Wine fails after five minutes instead of holding up
# the run; Wine is shut down at the end either way.
ctest --test-dir "$build" --output-on-failure --timeout 300 -j"$(nproc)"
