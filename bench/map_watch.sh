# shellcheck shell=bash disable=SC2034  # watch_pid, map_time and map_id are read by the scripts that source this
# Sourced by the start-up benchmarks: watches an X display for windows being
# mapped, through x11_map_watch (bench/x11_map_watch.cpp), and times them.

# Starts the watcher `$1` on the current display, reading its lines on fd 3
# through a pipe made in `$2`; sets watch_pid.
start_map_watch() {
    mkfifo "$2/maps"
    "$1" >"$2/maps" &
    watch_pid=$!
    exec 3<"$2/maps"
    read -r -t 10 ready <&3
    [[ $ready == ready ]]
}

# Reads mapped windows until one named $1 appears; sets map_time and map_id.
await_window() {
    local time id name
    while read -r -t 20 time id name <&3; do
        if [[ $name == "$1" ]]; then
            map_time=$time
            map_id=$id
            return 0
        fi
    done
    echo "${0##*/}: no window \"$1\" appeared" >&2
    return 1
}

milliseconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) * 1000 }'; }

# Ends each process named (empty names are skipped) and waits for it.
stop_pids() {
    local pid
    for pid in "$@"; do
        if [[ -n $pid ]]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
}
