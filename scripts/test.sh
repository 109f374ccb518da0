#!/usr/bin/env bash
# Sets up, builds and runs every test of quorvel through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_TEST_BUILD_DIR:-$root/build-test}

"$root/scripts/setup-deps.sh" build test
cmake -S "$root" -B "$build" -DQUORVEL_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
