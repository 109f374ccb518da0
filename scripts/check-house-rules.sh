#!/usr/bin/env bash
# Checks the house rules of CODING.md that a machine can check, each one
# failing the run:
#   1. formatting: clang-format --dry-run --Werror on every C++ file;
#   2. layers: core/ and platform/ include nothing from app/ or ui/, Qt is
#      included only in ui/qt/, <windows.h> only in the Windows folders
#      (tests too), and no _WIN32 branches in the tests;
#   3. function length: no function of the program longer than 60 lines
#      (scripts/function-lengths.py);
#   4. clang-tidy, with the checks of .clang-tidy, over the program's sources
#      in the CTest build's compile_commands.json.
# Every rule runs, and each failure is listed, before the script exits.
#
# Usage: scripts/check-house-rules.sh [build folder]
#   The build folder (default build-test, as scripts/test.sh makes it) must
#   be configured; it need not be built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${QUORVEL_TEST_BUILD_DIR:-$root/build-test}}
cd "$root"

"$root/scripts/setup-deps.sh" rules

failed=()
rule() { printf -- '--- %s\n' "$*"; }

rule "formatting"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    failed+=("formatting (clang-format -i the files above)")
fi

rule "layers"
# Lines that break a layer, as "file:line:text".
breaks=$(
    git grep -nE '#include "(app|ui)/' -- core platform || true
    git grep -nE '#include <Q' -- core platform app ui ':!ui/qt' || true
    git grep -niE '#include <windows\.h>' -- core platform app ui bench fuzz tests |
        grep -vE '^(tests/)?(platform/windows|app/windows|ui/win32|support/windows)/|^bench/windows/' ||
        true
    # Shared files choose no system by #if: CMake picks a system's file.
    git grep -nE '^\s*#\s*if(n?def)?\b.*_WIN32' -- tests || true
)
if [[ -n $breaks ]]; then
    echo "$breaks"
    failed+=("layers (see docs/architecture.md)")
fi

rule "function length"
if ! python3 "$root/scripts/function-lengths.py" --limit 60 --top 3; then
    failed+=("function length (over 60 lines)")
fi

rule "clang-tidy"
if [[ ! -f $build/compile_commands.json ]]; then
    echo "no $build/compile_commands.json: configure the build first (cmake --preset tests)"
    failed+=("clang-tidy (no compile commands)")
# The program's own sources only: the Qt front end's files take about as long
# as all the others together (Qt's headers) and are checked by the compiler's
# warnings; the tests and benchmarks, and files the build generates, are not
# the program.
elif ! run-clang-tidy -p "$build" -j"$(nproc)" -quiet \
    "^$root/(core|platform|app|ui/forms)/.*\.cpp$" >"$build/clang-tidy.log" 2>&1; then
    sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E ': (warning|error):' | sort -u ||
        true
    failed+=("clang-tidy (full output in $build/clang-tidy.log)")
fi

if ((${#failed[@]})); then
    printf 'house rules broken: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "house rules kept"
