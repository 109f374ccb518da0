#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest and GoogleTest's test discovery.
# The program's CR LF line ends become LF, so that the names it lists read
# as they do on Linux; its exit status is kept.
set -o pipefail
wine "$@" | tr -d '\r'
