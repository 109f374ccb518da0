#!/usr/bin/env bash
# Drives quorvel.exe from outside, as a player would, under Wine on a virtual
# X display: confirms the folder prompt, clicks "Install Quorvel Config",
# "Medium" and "Highest" at their places in the layout, confirms the message,
# and checks that custom.cfg and newconfig.cfg hold exactly the expected
# bytes. On the way it clicks "Exit" while a dialog and the message box are
# open, which must do nothing, and at the end it clicks "Exit" for real.
#
# Usage: scripts/check-windows-clicks.sh [quorvel.exe]
# Without an argument it cross-builds build-windows-release/ui/win32/quorvel.exe
# first (scripts/package-windows.sh builds the same). Wine runs in a throwaway
# prefix that is removed afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup-deps.sh" windows xvfb xdotool

exe=${1:-}
if [[ -z $exe ]]; then
    build=$root/build-windows-release
    cmake -S "$root" --preset windows-release -B "$build" >/dev/null
    cmake --build "$build" -j2 --target quorvel
    exe=$build/ui/win32/quorvel.exe
fi
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wineprefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
display=:$((90 + RANDOM % 400))
xvfb_pid=
finish() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap finish EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
sleep 1

wineboot --init >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\2015\MOHAA' /v basepath /d 'C:\Games\MOHAA' /f >/dev/null 2>&1
game=$WINEPREFIX/drive_c/Games/MOHAA/mainta
mkdir -p "$game"
printf 'bind MOUSE1 "+attack"\r\n  setu cheats 0\r\nsetu r_picmip 1\r\n' >"$game/custom.cfg"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The X window of the Wine window whose title matches, once it is there. The
# X window is the client area, so layout positions are relative to it.
wait_for() {
    local title=$1 id
    for _ in $(seq 1 100); do
        id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1 || true)
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    fail "no window \"$title\""
}

# Whether the X window is still there.
exists() {
    xdotool getwindowname "$1" >/dev/null 2>&1
}

# Clicks the middle of a control, given as left top width height at 96 dpi.
click() {
    local window=$1 left=$2 top=$3 width=$4 height=$5
    exists "$window" || fail "window $window is gone"
    xdotool mousemove --window "$window" $((left + width / 2)) $((top + height / 2)) click 1 \
        2>/dev/null
    sleep 0.5
}

wine "$exe" &
program=$!

prompt=$(wait_for '^MOHAA Path$')
xdotool key --window "$prompt" Return 2>/dev/null

form1=$(wait_for '^Quorvel Config Setup 3\.2$')
click "$form1" 280 320 137 25 # Install Quorvel Config

form2=$(wait_for '^Texture Detail$')
click "$form1" 432 320 81 25 # Exit, while the dialog is open: nothing
sleep 1
exists "$form1" || fail "Exit worked behind Form2"
click "$form2" 112 88 81 25 # Medium

form3=$(wait_for '^Model Detail$')
click "$form3" 8 80 81 25 # Highest

message=$(wait_for '^quorvel$')
click "$form1" 432 320 81 25 # Exit, while the message is open: nothing
exists "$form1" || fail "Exit worked behind the message box"
xdotool key --window "$message" Return 2>/dev/null
sleep 1

cmp "$game/custom.cfg" "$root/tests/data/custom_medium_highest.cfg" ||
    fail "custom.cfg differs from tests/data/custom_medium_highest.cfg"
expected_new=$(printf '\r\nbind MOUSE1 "+attack"\r\n\r\n' | od -An -tx1)
[[ $(od -An -tx1 <"$game/newconfig.cfg") == "$expected_new" ]] || fail "newconfig.cfg differs"

click "$form1" 432 320 81 25 # Exit
for _ in $(seq 1 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$program" 2>/dev/null && fail "Exit did not end the program"
wait "$program" || fail "quorvel.exe exited with status $?"
echo "quorvel.exe installed byte-exact files through clicks at the layout's places."
