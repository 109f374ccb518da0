#!/bin/sh
# Renders the detail dialogs into docs/images/ without a display.
#
#   scripts/screenshots.sh [build-folder]    (default: build)
#
# The build must have the UI and tests enabled. The texts are drawn in
# Liberation Serif (fonts-liberation) wherever Times New Roman is missing.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
tool="$build/tests/quorvel_screenshots"
if [ ! -x "$tool" ]; then
    cmake --build "$build" --target quorvel_screenshots
fi
QT_QPA_PLATFORM=offscreen "$tool" "$root/docs/images"
