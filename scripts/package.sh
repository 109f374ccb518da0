#!/usr/bin/env bash
# Builds the Debian package of quorvel, quorvel_<version>_<arch>.deb, in the
# build folder (default: build-package), after checking the desktop entry and
# the AppStream metainfo exactly as they are installed, and checks the package
# with lintian.
#
#   scripts/package.sh [build-folder]
#
# Install the result with: sudo apt-get install ./quorvel_1.00_amd64.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}

"$root/scripts/setup-deps.sh" build package
# Debian's hardening: fortified C library calls, stack protector, relocations
# read-only and bound at start.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" --preset release -B "$build" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage/usr" >/dev/null
desktop-file-validate "$stage"/usr/share/applications/*.desktop
appstreamcli validate --pedantic --no-net "$stage"/usr/share/metainfo/*.metainfo.xml

rm -f "$build"/quorvel_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/quorvel_*.deb)
lintian --fail-on error,warning "$deb"
echo "$deb"
