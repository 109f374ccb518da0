#!/usr/bin/env bash
# An installation by the Windows file service under Wine, with the wineserver
# killed at each step that changes a name on the disk: Wine's file calls are
# carried out by the wineserver, so killing it at its n-th rename or unlink
# stops the installation right between two steps, for n = 1, 2, ... until one
# run goes through. After every stop, custom.cfg must hold its old bytes or
# its new ones, never be missing or torn, and newconfig.cfg must be missing or
# whole; the player's lines must be in one of the two.
#
# Usage: replace_under_wineserver_kill.sh <install_child.exe>
# Runs in a copy of $WINEPREFIX (hard links) with a wineserver of its own.
# Exits 77 (skipped) without strace, ptrace or an initialised prefix.
set -uo pipefail
child=$1

skip() {
    echo "SKIPPED: $*"
    exit 77
}
command -v strace >/dev/null || skip "strace is not installed"
strace -o /dev/null true 2>/dev/null || skip "ptrace is not allowed here"
[[ -n ${WINEPREFIX:-} && -f $WINEPREFIX/system.reg ]] || skip "WINEPREFIX names no initialised prefix"

scratch=$(mktemp -d "${WINEPREFIX%/}-kill.XXXXXX")
server=
finish() {
    [[ -n $server ]] && kill -KILL "$server" 2>/dev/null
    WINEPREFIX=$scratch/prefix wineserver -k 2>/dev/null
    rm -rf "$scratch"
}
trap finish EXIT
cp -al "$WINEPREFIX" "$scratch/prefix" 2>/dev/null || cp -a "$WINEPREFIX" "$scratch/prefix"
# The wineserver writes a registry file that has other links in place, and
# a kill would tear the original's: these files are copies of their own.
for reg in "$scratch"/prefix/*.reg; do
    cp --remove-destination "$WINEPREFIX/${reg##*/}" "$reg"
done
export WINEPREFIX=$scratch/prefix

game=$scratch/Games/MOHAA
mainta=$game/mainta
windows_game="Z:${game//\//\\}"
before=$'bind MOUSE1 "+attack"\r\nseta name Player\r\nsetu r_picmip 1\r\n'
player_lines=('bind MOUSE1 "+attack"' 'seta name Player')
calls=rename,renameat,renameat2,unlink,unlinkat

# Starts a wineserver of the copied prefix, waits for its socket, and has
# strace kill it at its n-th call that renames or removes a file.
start_server() {
    local n=$1
    wineserver -f -p &
    server=$!
    local dir
    dir=$(printf '/tmp/.wine-%d/server-%x-%x' "$(id -u)" "$(stat -c %d "$WINEPREFIX")" \
        "$(stat -c %i "$WINEPREFIX")")
    for _ in $(seq 100); do
        [[ -S $dir/socket ]] && break
        sleep 0.1
    done
    strace -q -o "$scratch/trace" -e trace=$calls -e inject=$calls:signal=KILL:when="$n" \
        -p "$server" 2>/dev/null &
    for _ in $(seq 100); do
        grep -q '^TracerPid:[[:space:]]*[1-9]' "/proc/$server/status" 2>/dev/null && break
        sleep 0.1
    done
}

failures=0
stops_in_folder=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

mkdir -p "$scratch/states"
for ((n = 1; n < 200; n++)); do
    rm -rf "$game"
    mkdir -p "$mainta"
    printf '%s' "$before" >"$mainta/custom.cfg"
    start_server "$n"
    timeout 60 wine "$child" "$windows_game" >"$scratch/out" 2>/dev/null
    status=$?
    # The server ends here if it was not killed (and may be, while it saves
    # the registry); strace ends with it.
    wineserver -k 2>/dev/null
    wait
    server=
    killed=$(grep -B1 -e '+++ killed by SIGKILL' "$scratch/trace" | head -1)
    mkdir -p "$scratch/states/$n"
    cp -a "$mainta/." "$scratch/states/$n/"
    # A client whose server is gone can exit 0 too: the child's last line
    # tells that it finished.
    if [[ $status -eq 0 ]] && grep -q '^installed' "$scratch/out"; then
        break
    fi
    if [[ -z $killed ]]; then
        fail "run $n was not stopped, yet did not install: $(cat "$scratch/out")"
        break
    fi
    [[ $killed == *"/mainta/"* ]] && stops_in_folder=$((stops_in_folder + 1))
    echo "stop $n (exit $status): ${killed:-no call}"
done
last=$n
[[ $status -eq 0 ]] || fail "no run went through (last exit $status)"
printf '%s' "$before" >"$scratch/before"
after=$scratch/states/$last
cmp -s "$after/custom.cfg" "$scratch/before" && fail "the installation changed nothing"
for ((n = 1; n < last; n++)); do
    state=$scratch/states/$n
    if [[ ! -f $state/custom.cfg ]]; then
        fail "stop $n: custom.cfg is missing"
        continue
    fi
    cmp -s "$state/custom.cfg" "$scratch/before" || cmp -s "$state/custom.cfg" "$after/custom.cfg" ||
        fail "stop $n: custom.cfg torn"
    touch "$state/newconfig.cfg"
    [[ ! -s $state/newconfig.cfg ]] || cmp -s "$state/newconfig.cfg" "$after/newconfig.cfg" ||
        fail "stop $n: newconfig.cfg torn"
    for line in "${player_lines[@]}"; do
        cat "$state/custom.cfg" "$state/newconfig.cfg" | grep -qxF -- "$line"$'\r' ||
            fail "stop $n: lost $line"
    done
done
echo "$((last - 1)) stops, $stops_in_folder of them in the game folder; $failures failures"
# A stop inside the replacements themselves, not only around them.
[[ $stops_in_folder -ge 2 ]] || fail "no stop fell inside the replacements"
[[ $failures -eq 0 ]]
