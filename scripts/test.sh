#!/usr/bin/env bash
# Sets up, builds and runs every test of quorvel:
#   1. the CTest suite (core, platform and the Qt windows, offscreen), with
#      every benchmark built and run once over small files as a smoke test
#      (label bench-smoke; no figure is checked), then the house rules
#      (scripts/check-house-rules.sh: formatting, layers, function length,
#      clang-tidy over this build's compile commands);
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the Windows build, quorvel.exe included, with its tests under Wine, the
#      real program driven end to end through its windows;
#   4. each fuzz target over its seed corpus and for a short, fixed time
#      (QUORVEL_FUZZ_SECONDS, default 10), built and run beside step 3.
# QUORVEL_QUICK=1 runs the first only. Each step installs what it needs and
# stops whatever it starts; the first failure ends the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_TEST_BUILD_DIR:-$root/build-test}

step() { printf '\n=== %s (%s)\n' "$*" "$(date -u +%T)"; }

# Every package at once: the steps below run side by side and must not run
# apt-get each.
step "Packages"
if [[ "${QUORVEL_QUICK:-0}" == 1 ]]; then
    "$root/scripts/setup-deps.sh" build test bench rules
else
    "$root/scripts/setup-deps.sh" build test bench rules windows googletest fuzz
fi

step "CTest suite"
cmake -S "$root" --preset tests -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

step "House rules"
"$root/scripts/check-house-rules.sh" "$build"

if [[ "${QUORVEL_QUICK:-0}" == 1 ]]; then
    exit 0
fi

step "CTest suite under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/test-sanitizers.sh"

# The fuzz targets build and run beside the Windows build, and are done
# before its tests start; their output follows the Windows tests'. Both
# builds take both cores, which they share without waiting for each other.
step "Windows build under Wine, and the fuzz targets beside it"
fuzz_log=$(mktemp)
fuzz=
stop_fuzz() {
    [[ -n $fuzz ]] && kill -- -"$fuzz" 2>/dev/null
    rm -f "$fuzz_log"
}
trap stop_fuzz EXIT
# A process group of its own, so that a failure of the Windows step stops
# all of it.
QUORVEL_FUZZ_SECONDS=${QUORVEL_FUZZ_SECONDS:-10} setsid -w "$root/scripts/fuzz.sh" >"$fuzz_log" 2>&1 &
fuzz=$!
"$root/scripts/test-windows.sh"

step "Fuzzing"
fuzz_status=0
wait "$fuzz" || fuzz_status=$?
fuzz=
cat "$fuzz_log"
((fuzz_status == 0))

step "Summary"
echo "suites: 4 passed, 0 failed"
