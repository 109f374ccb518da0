#!/usr/bin/env bash
# Sets up, builds (Release, with the benchmarks) and runs every benchmark:
# reading and writing config files, duplicate removal, whole installations,
# the main window with large files, and the program's start-up under Xvfb.
#
#   scripts/bench.sh                  line counts up to 1,000,000
#   BENCH_QUICK=1 scripts/bench.sh    up to 100,000 lines, shorter runs, 5
#                                     start-ups instead of 20: a few minutes
#
# BENCH_ARGS is passed to every benchmark program, e.g.
#   BENCH_ARGS="--benchmark_repetitions=3 --benchmark_enable_random_interleaving=true"
# The build goes to $QUORVEL_BENCH_BUILD_DIR (default build-bench). The
# benchmark files go to the temporary folder ($TMPDIR, else /tmp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BENCH_BUILD_DIR:-$root/build-bench}

"$root/scripts/setup-deps.sh" build test bench
cmake -S "$root" --preset bench -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"

read -r -a args <<<"${BENCH_ARGS:-}"
runs=20
if [[ -n ${BENCH_QUICK:-} && ${BENCH_QUICK} != 0 ]]; then
    export BENCH_QUICK
    args=(--benchmark_min_time=0.1 "${args[@]}")
    runs=5
fi

echo "Machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)," \
    "temporary folder on $(df -T "${TMPDIR:-/tmp}" | awk 'NR == 2 { print $2 }')"
for program in bench_read bench_write bench_duplicates bench_install bench_window; do
    echo
    echo "== $program"
    "$build/bench/$program" "${args[@]}"
done
echo
echo "== startup.sh"
"$root/bench/startup.sh" "$build" "$runs"
