#!/bin/sh
# Renders the detail dialogs and the main window, before and after an
# installation, into docs/images/ without a display.
#
#   scripts/screenshots.sh [build-folder]    (default: build)
#
# Installs what it needs and builds the screenshot tool, which lives with the
# tests, into the build folder (turning the tests on there; scripts/run.sh
# shares the folder and turns them off again). The main window runs on a
# throwaway copy of the sample prefix in examples/, removed afterwards. The
# texts are drawn in Liberation Serif (fonts-liberation) wherever Times New
# Roman is missing.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
tool="$build/tests/quorvel_screenshots"
"$root/scripts/setup-deps.sh" build test
cmake -S "$root" -B "$build" -DQUORVEL_BUILD_UI=ON -DQUORVEL_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target quorvel_screenshots

sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
cp -a "$root/examples/wineprefix" "$sample/prefix"
mkdir -p "$sample/prefix/dosdevices"
ln -s ../drive_c "$sample/prefix/dosdevices/c:"
QT_QPA_PLATFORM=offscreen "$tool" "$root/docs/images" "$sample/prefix"
