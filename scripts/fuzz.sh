#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang, ASan and UBSan, and runs
# each for a fixed time, starting from its seed corpus in fuzz/corpus/<target>
# (every seed is run first) and the inputs earlier runs found. Any crash,
# failed check, sanitizer report, slow input or memory blow-up fails the run;
# the input that caused it is kept in the build folder.
#
# Usage: scripts/fuzz.sh [TARGET...]   (targets: user_reg line_buffer game_paths installation vdf)
#   QUORVEL_FUZZ_SECONDS     seconds per target (default 60)
#   QUORVEL_FUZZ_JOBS        targets run at a time (default: the number of cores)
#   QUORVEL_FUZZ_BUILD_DIR   build folder (default build-fuzz)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${QUORVEL_FUZZ_SECONDS:-60}
jobs=${QUORVEL_FUZZ_JOBS:-$(nproc)}

"$root/scripts/setup-deps.sh" build fuzz

cmake -S "$root" --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"

# The longest input each target is given: a user.reg of 64 KiB reaches every
# notation many times over; lines, paths, the two files and a Steam
# libraryfolders.vdf need less.
declare -A max_len=([user_reg]=65536 [line_buffer]=16384 [game_paths]=4096 [installation]=16384 [vdf]=16384)

targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(user_reg line_buffer game_paths installation vdf)

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# One target's run, its output in $build/<target>.log.
fuzz() {
    local target=$1
    # New inputs go to a corpus in the build folder; the seeds stay as they are.
    local corpus=$build/corpus/$target artifacts=$build/artifacts/$target
    mkdir -p "$corpus" "$artifacts"
    "$build/fuzz/${target}_fuzzer" "$corpus" "$root/fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len="${max_len[$target]}" \
        -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 2>"$build/$target.log"
}

for target in "${targets[@]}"; do
    [[ -n "${max_len[$target]+x}" ]] || { echo "unknown fuzz target: $target" >&2; exit 2; }
done
# The targets run side by side, $jobs at a time; each reports when it ends.
declare -A running=()
passed=0
failed=0
finish_one() {
    local pid target status
    wait -n -p pid "${!running[@]}" && status=0 || status=$?
    target=${running[$pid]}
    unset "running[$pid]"
    if ((status == 0)); then
        passed=$((passed + 1))
        echo "== $target: passed"
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/$target.log" || true
    else
        failed=$((failed + 1))
        tail -n 60 "$build/$target.log"
        echo "== $target FAILED; inputs kept in $build/artifacts/$target"
    fi
}
for target in "${targets[@]}"; do
    ((${#running[@]} < jobs)) || finish_one
    echo "== $target: ${seconds}s"
    fuzz "$target" &
    running[$!]=$target
done
while ((${#running[@]})); do
    finish_one
done
echo "fuzz: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
