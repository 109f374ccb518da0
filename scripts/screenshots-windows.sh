#!/usr/bin/env bash
# Pictures of the Windows program, quorvel.exe, as Wine draws it on a virtual
# X display: the main window before and after an installation and the two
# detail dialogs, written to docs/images/win32-*.png.
#
#   scripts/screenshots-windows.sh [build-folder]   (default: build-windows-shots)
#
# Cross-builds the program with MinGW-w64, runs it in a throwaway Wine prefix
# that holds the sample game folder of examples/wineprefix, answers it from
# the keyboard with xdotool and takes each window with ImageMagick's import.
# The prefix, the display and Wine are gone afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows-shots}
images=$root/docs/images

"$root/scripts/setup-deps.sh" cmake make g++-mingw-w64-x86-64-posix \
    binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xdotool imagemagick

cmake -S "$root" --preset windows-release -B "$build" >/dev/null
cmake --build "$build" --target quorvel -j2
exe=$(find "$build" -name quorvel.exe -print -quit)

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
xvfb=
finish() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
    rm -rf "$scratch"
}
trap finish EXIT

# A display of its own, numbered by Xvfb itself.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [[ -s $scratch/display ]] && break
    sleep 0.1
done
export DISPLAY=:$(cat "$scratch/display")

wineboot --init >/dev/null 2>&1
wineserver -w
# Wine's own fonts, Tahoma for the dialogs and Marlett for the title bar
# buttons, where this Wine does not find them itself.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# No window manager runs, so Wine draws the title bars and frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# The sample game folder, and the registry value that points at it.
cp -a "$root/examples/wineprefix/drive_c/Games" "$WINEPREFIX/drive_c/"
wine reg add 'HKCU\Software\2015\MOHAA' /v basepath /d 'C:\Games\MOHAA' /f >/dev/null 2>&1
wineserver -w

# The shown X window of the program named $1, waited for up to 30 seconds.
window() {
    timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}
# Takes window $1 into docs/images/$2 once it has drawn itself.
shot() {
    sleep 1
    import -window "$1" "$images/$2"
    echo "Wrote $images/$2"
}
# Types keys into window $1, which gets the focus first.
keys() {
    local id=$1
    shift
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    xdotool key --delay 100 "$@"
}

wine "$exe" >/dev/null 2>&1 &
# The prompt offers C:\Games\MOHAA; Enter takes it.
keys "$(window 'MOHAA Path')" Return
main=$(window 'Quorvel Config Setup 3.2')
shot "$main" win32-main-before.png
# The focus starts on "Install Quorvel Config".
keys "$main" Return
form2=$(window 'Texture Detail')
shot "$form2" win32-form2.png
# From "High" to "Medium".
keys "$form2" Tab Return
form3=$(window 'Model Detail')
shot "$form3" win32-form3.png
# "Highest".
keys "$form3" Return
box=$(window quorvel)
keys "$box" Return
# The main window shows the new custom.cfg once the message box has gone.
for _ in $(seq 100); do
    xdotool getwindowname "$box" >/dev/null 2>&1 || break
    xdotool search --onlyvisible --name '^quorvel$' >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool windowactivate --sync "$main" 2>/dev/null || true
shot "$main" win32-main-after.png
