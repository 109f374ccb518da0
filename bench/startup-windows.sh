#!/usr/bin/env bash
# Start-up latency of quorvel.exe under Wine, side by side with the least
# Win32 program that shows the same folder prompt (bench/windows/), in the
# same Wine, on the same virtual X display, in turns:
#
#   bare       bare_prompt.exe: the prompt and nothing else
#   manifest   bare_prompt_manifest.exe: the same, with quorvel.exe's manifest
#   quorvel    quorvel.exe
#
# Each run starts each program in turn (in another order each run, so that none
# always follows the same one) and times from launching `wine` until the
# prompt's window ("MOHAA Path") is mapped; for quorvel.exe also from
# answering it (xdotool key Return, 0.3 s after it showed) until the main
# window is mapped. Prints median, min and max of each, and the ratio of
# quorvel.exe's median to each baseline's. KEEP_TIMES names a file to keep
# every run's figures in.
#
#   bench/startup-windows.sh [windows-build] [runs]   (defaults: build-windows, 20)
#
# On a machine busy with other work the times depend mostly on how soon the
# programs get a core; run it as `chrt -f 5 bench/startup-windows.sh` (as
# root) to give them one at once, in turns with each other.
#
# The build must hold ui/win32/quorvel.exe and bench/windows/bare_prompt*.exe
# (any Windows build: `cmake --preset windows`); QUORVEL_EXE times another
# quorvel.exe in its place, and QUORVEL_BEFORE_EXE one more beside it, in the
# same turns (as "before"), such as one built before a change. Wine runs in
# a throwaway prefix, told that no window manager runs; x11_map_watch
# (bench/x11_map_watch.cpp) is compiled into the scratch folder. Needs Xvfb, xdotool, Wine and the X11 headers
# (`scripts/setup-deps.sh windows bench`).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
runs=${2:-20}
declare -A exe=(
    [bare]=$build/bench/windows/bare_prompt.exe
    [manifest]=$build/bench/windows/bare_prompt_manifest.exe
    [quorvel]=${QUORVEL_EXE:-$build/ui/win32/quorvel.exe}
)
names=(bare manifest quorvel)
if [[ -n ${QUORVEL_BEFORE_EXE:-} ]]; then
    exe[before]=$QUORVEL_BEFORE_EXE
    names+=(before)
fi
for name in "${names[@]}"; do
    if [[ ! -f ${exe[$name]} ]]; then
        echo "startup-windows.sh: ${exe[$name]} is missing; build it first" >&2
        exit 1
    fi
done

work=$(mktemp -d)
export WINEPREFIX=$work/wineprefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
xvfb_pid=
session_pid=
watch_pid=
program_pid=
# shellcheck source=bench/map_watch.sh
source "$(dirname "${BASH_SOURCE[0]}")/map_watch.sh"
cleanup() {
    stop_pids "$program_pid" "$watch_pid" "$session_pid"
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    [[ -n ${KEEP_TIMES:-} ]] && cp "$work/times" "$KEEP_TIMES"
    rm -rf "$work"
}
trap cleanup EXIT

c++ -O2 -o "$work/x11_map_watch" "$root/bench/x11_map_watch.cpp" -lX11

Xvfb -screen 0 1280x1024x24 -nolisten tcp -displayfd 5 5>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.05
done
DISPLAY=:$(<"$work/display")
export DISPLAY

wineboot --init >/dev/null 2>&1
wineserver -w
# No window manager runs: Wine is told so, and does not wait for one to
# take a window it hides (two seconds each time otherwise).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\2015\MOHAA' /v basepath /d 'C:\Games\MOHAA' /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/Games/MOHAA/mainta"
printf 'bind MOUSE1 "+attack"\r\n  setu cheats 0\r\nsetu r_picmip 1\r\n' \
    >"$WINEPREFIX/drive_c/Games/MOHAA/mainta/custom.cfg"
wineserver -w
# Wine's session (the wineserver, its desktop and services) stays from here
# on, as a player's Windows session does, rather than ending after each
# program: a command prompt waits on a pipe that is never written to.
mkfifo "$work/session"
wine cmd.exe <"$work/session" >/dev/null 2>&1 &
session_pid=$!
exec 4>"$work/session"

start_map_watch "$work/x11_map_watch" "$work"

# Starts one program, times its prompt (and quorvel.exe's main window), ends it.
time_one() {
    local name=$1 launched answered
    launched=$EPOCHREALTIME
    wine "${exe[$name]}" >/dev/null 2>&1 &
    program_pid=$!
    await_window "MOHAA Path"
    echo "$name prompt $(milliseconds "$launched" "$map_time")" >>"$work/times"
    if [[ $name == quorvel || $name == before ]]; then
        # A player reads the prompt before answering it; the program uses
        # that time to make its main window.
        sleep 0.3
        answered=$EPOCHREALTIME
        xdotool key --delay 0 Return 2>/dev/null
        await_window "Quorvel Config Setup 3.2"
        echo "$name main $(milliseconds "$answered" "$map_time")" >>"$work/times"
    fi
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
    # Until Wine has let the process go.
    sleep 0.2
}

# One start of each, untimed: Wine's first start of a program loads more.
for name in "${names[@]}"; do
    time_one "$name"
done
: >"$work/times"

for run in $(seq "$runs"); do
    for i in "${!names[@]}"; do
        time_one "${names[$(((i + run) % ${#names[@]}))]}"
    done
done

# median, min and max of what is recorded as "$1 $2".
summary() {
    awk -v name="$1" -v what="$2" '$1 == name && $2 == what { print $3 }' "$work/times" |
        sort -g | awk '
        { v[NR] = $1 }
        END {
            median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "median %8.1f   min %8.1f   max %8.1f", median, v[1], v[NR]
        }'
}
median() { summary "$@" | awk '{ print $2 }'; }
ratio() { awk -v a="$(median "${2:-quorvel}" prompt)" -v b="$(median "$1" prompt)" 'BEGIN { printf "%.2fx", a / b }'; }

echo "quorvel.exe start-up under $(wine --version 2>/dev/null), Xvfb, $runs runs in turns" \
    "(load average $(cut -d' ' -f1-3 /proc/loadavg))"
echo "  launch -> prompt mapped (ms), bare prompt            $(summary bare prompt)"
echo "  launch -> prompt mapped (ms), bare prompt, manifest  $(summary manifest prompt)"
echo "  launch -> prompt mapped (ms), quorvel.exe            $(summary quorvel prompt)"
echo "  Return -> main window mapped (ms), quorvel.exe       $(summary quorvel main)"
echo "  quorvel.exe's prompt: $(ratio bare) the bare prompt's median," \
    "$(ratio manifest) the bare prompt's with the manifest; target: within 1.10x"
if [[ -n ${exe[before]:-} ]]; then
    echo "  launch -> prompt mapped (ms), before                $(summary before prompt)"
    echo "  Return -> main window mapped (ms), before           $(summary before main)"
    echo "  before's prompt: $(ratio bare before) the bare prompt's median," \
        "$(ratio manifest before) the bare prompt's with the manifest"
fi
