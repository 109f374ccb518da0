#!/usr/bin/env bash
# Builds the Debian package of quorvel, quorvel_<version>_<arch>.deb, in the
# build folder (default: build-package), after checking the desktop entry and
# the AppStream metainfo exactly as they are installed.
#
#   scripts/package.sh [build-folder]
#
# Install the result with: sudo apt-get install ./quorvel_1.00_amd64.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}

"$root/scripts/setup-deps.sh" build package
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage/usr" >/dev/null
desktop-file-validate "$stage"/usr/share/applications/*.desktop
appstreamcli validate --pedantic --no-net "$stage"/usr/share/metainfo/*.metainfo.xml

rm -f "$build"/quorvel_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/quorvel_*.deb
