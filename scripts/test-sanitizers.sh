#!/usr/bin/env bash
# Builds everything, the user interface included, with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of its own, and runs the whole
# CTest suite there. Any report, a leak included, fails the test it came from
# and so the run.
#
# Usage: scripts/test-sanitizers.sh
#   QUORVEL_SANITIZE_BUILD_DIR   build folder (default: build-sanitize)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_SANITIZE_BUILD_DIR:-$root/build-sanitize}

"$root/scripts/setup-deps.sh" build test

# The flags are the preset's (CMakePresets.json): the program at -O1, which
# keeps the build about twice as fast as -O2 and the checks as thorough; the
# tests' own code unoptimised, the sanitizers checking it all the same (the
# CTest build compiles it at -O1 for GCC's flow warnings); line tables only,
# all the reports' backtraces need.
cmake -S "$root" --preset sanitizers -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Every report ends its test with a failure: abort_on_error and halt_on_error
# for ASan and UBSan, LeakSanitizer's own exit code for leaks. No report is
# suppressed; the Qt tests run on the offscreen platform without any leak.
export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
