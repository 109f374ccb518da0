#!/usr/bin/env bash
# Sets up, builds and runs every test of quorvel:
#   1. the CTest suite (core, platform and the Qt windows, offscreen), with
#      every benchmark built and run once over small files as a smoke test
#      (label bench-smoke; no figure is checked), then the house rules
#      (scripts/check-house-rules.sh: formatting, layers, function length,
#      clang-tidy);
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the Windows build, quorvel.exe included, with its tests under Wine, the
#      real program driven end to end through its windows;
#   4. each fuzz target for a short, fixed time.
# QUORVEL_QUICK=1 runs the first only. Each step installs what it needs and
# stops whatever it starts; the first failure ends the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_TEST_BUILD_DIR:-$root/build-test}

step() { printf '\n=== %s\n' "$*"; }

step "CTest suite"
"$root/scripts/setup-deps.sh" build test bench
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

step "Windows build under Wine"
"$root/scripts/test-windows.sh"

step "Fuzzing"
QUORVEL_FUZZ_SECONDS=${QUORVEL_FUZZ_SECONDS:-30} "$root/scripts/fuzz.sh"

step "Summary"
echo "suites: 4 passed, 0 failed"
