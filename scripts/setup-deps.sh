#!/usr/bin/env bash
# Installs the Debian packages that building and testing quorvel need.
# Usage: scripts/setup-deps.sh GROUP...   (groups: build, test, package, fuzz, bench, rules, windows,
# icons; or package names)
# Only missing packages are installed; sudo is used only when not root.
set -euo pipefail

declare -A groups=(
    [build]="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev fonts-liberation nlohmann-json3-dev libyaml-cpp-dev"
    [test]="libgtest-dev libgmock-dev"
    [package]="dpkg-dev file appstream desktop-file-utils lintian"
    [fuzz]="clang libclang-rt-14-dev"
    [bench]="libbenchmark-dev libx11-dev xvfb xdotool"
    # The house rules (scripts/check-house-rules.sh): Debian's clang-format
    # and clang-tidy, version 14 on Debian 12.
    [rules]="clang-format clang-tidy python3 git"
    # Cross-building quorvel.exe, running it under Wine (strace stops the
    # wineserver mid-installation in a test), and its zip.
    [windows]="cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 zip strace"
    # packaging/make_icon.sh: the icons drawn from quorvel.svg.
    [icons]="imagemagick librsvg2-bin fonts-liberation python3"
)

wanted=()
for group in "$@"; do
    if [[ -z "${groups[$group]+x}" ]]; then
        wanted+=("$group") # a package named directly
    else
        read -r -a names <<<"${groups[$group]}"
        wanted+=("${names[@]}")
    fi
done

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
