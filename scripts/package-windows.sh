#!/usr/bin/env bash
# Cross-builds quorvel.exe for 64-bit Windows in Release and packs it, with a
# short README.txt and the LICENSE, into
# build-windows-release/quorvel-<version>-windows-x64.zip, with its SHA-256
# checksum beside it in quorvel-<version>-windows-x64.zip.sha256.
#
#   scripts/package-windows.sh [build-folder]
#
# The program is linked statically: it must import nothing but DLLs that
# every Windows has. The script fails when it imports anything else.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows-release}
mingw=x86_64-w64-mingw32

"$root/scripts/setup-deps.sh" windows

license=$root/LICENSE
[[ -f $license ]] || {
    echo "LICENSE is missing at the root of the source tree" >&2
    exit 1
}

cmake -S "$root" --preset windows-release -B "$build" >/dev/null
cmake --build "$build" -j2 --target quorvel
# The version is project(VERSION), as the build wrote it into core/version.h.
version=$(sed -n 's/^#define QUORVEL_VERSION "\(.*\)"$/\1/p' "$build/include/core/version.h")
[[ -n $version ]] || {
    echo "no QUORVEL_VERSION in $build/include/core/version.h" >&2
    exit 1
}
exe=$build/ui/win32/quorvel.exe

# The DLLs every 64-bit Windows has; the C runtime may come as the old
# msvcrt.dll or as the Universal CRT.
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$'
mapfile -t imports < <("$mingw-objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[[ ${#imports[@]} -gt 0 ]] || {
    echo "no import table in $exe" >&2
    exit 1
}
for dll in "${imports[@]}"; do
    if ! [[ ${dll,,} =~ $allowed ]]; then
        echo "quorvel.exe imports $dll, which is not a system DLL" >&2
        exit 1
    fi
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
"$mingw-strip" -o "$stage/quorvel.exe" "$exe"
# Text files with CR LF, as Notepad and every Windows tool expect them.
sed "s/@VERSION@/$version/g; s/\$/\r/" "$root/packaging/windows/README.txt" >"$stage/README.txt"
sed 's/$/\r/' "$license" >"$stage/LICENSE.txt"
# The same sources give the same archive: file times from the last commit.
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
touch -d "@$stamp" "$stage"/*

zip=$build/quorvel-$version-windows-x64.zip
rm -f "$zip"
(cd "$stage" && TZ=UTC zip -q -X -9 "$zip" quorvel.exe README.txt LICENSE.txt)
# The checksum as sha256sum writes it ("<hash>  <name>"): sha256sum -c checks
# it, and certutil -hashfile <zip> SHA256 on Windows prints the same hash.
(cd "$build" && sha256sum "$(basename "$zip")" >"$(basename "$zip").sha256")

echo "$zip"
echo "$zip.sha256: $(cut -d' ' -f1 "$zip.sha256")"
echo "quorvel.exe: $(stat -c %s "$stage/quorvel.exe") bytes, imports: ${imports[*]}"
