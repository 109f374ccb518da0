#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest and GoogleTest's test discovery.
# The program's CR LF line ends become LF, so that the names it lists read
# as they do on Linux; its exit status is kept.
#
# A wineserver exits a few seconds after its last program; a program started
# just as it goes cannot reach it and ends at once with "wine client error",
# never having run. Such a start, and only such a start, is made once more.
set -o pipefail
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2; do
    wine "$@" 2>"$errors" | tr -d '\r'
    status=$?
    cat "$errors" >&2
    if ((status == 0)) || ! grep -q '^wine client error' "$errors"; then
        break
    fi
    echo "wine-run.sh: Wine could not start the program (attempt $attempt)" >&2
done
exit "$status"
