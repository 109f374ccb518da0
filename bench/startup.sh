#!/usr/bin/env bash
# Start-up latency of the real program, under Xvfb, over repeated runs:
#
#   prompt   from launching build/ui/qt/quorvel until the prompt window
#            ("MOHAA Path") is mapped;
#   main     from answering the prompt (xdotool key Return) until the main
#            window ("Quorvel Config Setup 3.2") is mapped;
#   peak     the program's peak resident memory (VmHWM), read with the main
#            window shown, just before the program is ended.
#
# Prints median, min and max of each.
#
#   bench/startup.sh [build-folder] [runs]      (defaults: build, 20)
#
# Each run gets a throwaway copy of examples/wineprefix as its WINEPREFIX,
# made as scripts/run.sh makes it, so every run reads the same small
# custom.cfg. The build must hold ui/qt/quorvel and bench/x11_map_watch
# (QUORVEL_BUILD_BENCH=ON); Xvfb and xdotool come with
# `scripts/setup-deps.sh bench`.
#
# No window manager runs: Qt names its windows (WM_NAME and _NET_WM_NAME)
# itself before mapping them, which is what x11_map_watch reports and what
# `xdotool search --name` matches. The prompt takes the key press without a
# window manager as well, since Qt gives it the input focus. The times come
# from x11_map_watch, which receives every MapNotify of the display as it
# happens; `xdotool search --sync` only looks twice a second.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-20}
program=$build/ui/qt/quorvel
watch=$build/bench/x11_map_watch
for tool in "$program" "$watch"; do
    if [[ ! -x $tool ]]; then
        echo "startup.sh: $tool is missing; build with -DQUORVEL_BUILD_BENCH=ON" >&2
        exit 1
    fi
done

work=$(mktemp -d)
xvfb_pid=
watch_pid=
quorvel_pid=
# shellcheck source=bench/map_watch.sh
source "$(dirname "${BASH_SOURCE[0]}")/map_watch.sh"
cleanup() {
    stop_pids "$quorvel_pid" "$watch_pid" "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own, on the first free number.
Xvfb -screen 0 1280x1024x24 -nolisten tcp -displayfd 5 5>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.05
done
DISPLAY=:$(<"$work/display")
export DISPLAY
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

start_map_watch "$watch" "$work"

prompt_ms=()
main_ms=()
peak_kb=()
for run in $(seq "$runs"); do
    prefix=$work/prefix$run
    cp -a "$root/examples/wineprefix" "$prefix"
    mkdir -p "$prefix/dosdevices"
    ln -s ../drive_c "$prefix/dosdevices/c:"

    launched=$EPOCHREALTIME
    WINEPREFIX=$prefix "$program" >"$work/quorvel.log" 2>&1 &
    quorvel_pid=$!
    await_window "MOHAA Path"
    prompt_ms+=("$(milliseconds "$launched" "$map_time")")

    answered=$EPOCHREALTIME
    xdotool key --delay 0 Return
    await_window "Quorvel Config Setup 3.2"
    main_ms+=("$(milliseconds "$answered" "$map_time")")

    peak_kb+=("$(awk '/^VmHWM:/ { print $2 }' "/proc/$quorvel_pid/status")")
    kill "$quorvel_pid"
    wait "$quorvel_pid" 2>/dev/null || true
    quorvel_pid=
    rm -rf "$prefix"
done

# median, min and max of the numbers given.
summary() {
    printf '%s\n' "$@" | sort -g | awk '
        { v[NR] = $1 }
        END {
            median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "median %8.1f   min %8.1f   max %8.1f", median, v[1], v[NR]
        }'
}

mb=()
for kb in "${peak_kb[@]}"; do
    mb+=("$(awk -v kb="$kb" 'BEGIN { printf "%.1f", kb / 1024 }')")
done

echo "quorvel start-up under Xvfb, $runs runs (display $DISPLAY, no window manager)"
echo "  launch -> prompt mapped (ms)        $(summary "${prompt_ms[@]}")   target: median under 200"
echo "  Return -> main window mapped (ms)   $(summary "${main_ms[@]}")"
echo "  peak resident memory (MiB)          $(summary "${mb[@]}")   target: under 60"
