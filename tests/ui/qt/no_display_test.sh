#!/bin/sh
# Starts the program as a player would where there is no display: no DISPLAY,
# no WAYLAND_DISPLAY and no QT_QPA_PLATFORM. It must say that it needs one
# and exit with status 1, not abort inside Qt.
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
out=$(env -i HOME="$home" PATH=/usr/bin:/bin "$program" 2>&1)
status=$?
printf '%s\n' "$out"
if [ "$status" -ne 1 ]; then
    echo "no_display_test: exit status $status, not 1"
    exit 1
fi
if ! printf '%s\n' "$out" | grep -q "^quorvel: there is no display to show the windows on"; then
    echo "no_display_test: the program did not say that it needs a display"
    exit 1
fi
