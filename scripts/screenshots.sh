#!/usr/bin/env bash
# Pictures of both front ends for the documentation, written to docs/images/:
# the main window before and after an installation answered Medium and
# Highest, and the two detail dialogs.
#
#   scripts/screenshots.sh [qt|windows]...   (default: both)
#
# qt       the Qt windows, drawn without a display (QT_QPA_PLATFORM=offscreen)
#          by the screenshot tool that lives with the tests, built in
#          build-shots/: main-before.png, main-after.png, form2.png, form3.png.
# windows  quorvel.exe, cross-built with MinGW-w64 in build-windows-shots/,
#          as Wine draws it on a virtual X display (Xvfb), answered from the
#          keyboard with xdotool and taken with ImageMagick's import:
#          win32-main-before.png, win32-main-after.png, win32-form2.png,
#          win32-form3.png.
#
# Both run on a throwaway copy of the sample game of examples/wineprefix,
# removed afterwards with the display and Wine. The Qt texts are drawn in
# Liberation Serif (fonts-liberation) wherever Times New Roman is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
images=$root/docs/images

qt_shots() {
    local build=$root/build-shots
    "$root/scripts/setup-deps.sh" build test
    cmake -S "$root" --preset screenshots -B "$build" >/dev/null
    cmake --build "$build" -j"$(nproc)" --target quorvel_screenshots
    local sample
    sample=$(mktemp -d)
    cp -a "$root/examples/wineprefix" "$sample/prefix"
    mkdir -p "$sample/prefix/dosdevices"
    ln -s ../drive_c "$sample/prefix/dosdevices/c:"
    local status=0
    QT_QPA_PLATFORM=offscreen "$build/tests/quorvel_screenshots" "$images" "$sample/prefix" ||
        status=$?
    rm -rf "$sample"
    return "$status"
}

# The shown X window of the program named $1, waited for up to 30 seconds.
window() {
    timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}
# Takes window $1 into docs/images/$2 once it has drawn itself.
shot() {
    sleep 1
    import -window "$1" "$images/$2"
    echo "Wrote $images/$2"
}
# Types keys into window $1, which gets the focus first.
keys() {
    local id=$1
    shift
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    xdotool key --delay 100 "$@"
}

# A throwaway prefix on a display of its own (numbered by Xvfb itself),
# holding the sample game folder and the registry value that points at it.
start_wine() {
    export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    unset WAYLAND_DISPLAY
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 100); do
        [[ -s $scratch/display ]] && break
        sleep 0.1
    done
    DISPLAY=:$(cat "$scratch/display")
    export DISPLAY
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Wine's own fonts, Tahoma for the dialogs and Marlett for the title bar
    # buttons, where this Wine does not find them itself.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # No window manager runs, so Wine draws the title bars and frames itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    cp -a "$root/examples/wineprefix/drive_c/Games" "$WINEPREFIX/drive_c/"
    wine reg add 'HKCU\Software\2015\MOHAA' /v basepath /d 'C:\Games\MOHAA' /f >/dev/null 2>&1
    wineserver -w
}

stop_wine() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
    rm -rf "$scratch"
}

windows_shots() {
    local build=$root/build-windows-shots
    "$root/scripts/setup-deps.sh" windows fonts-wine xvfb xdotool imagemagick
    cmake -S "$root" --preset windows-release -B "$build" >/dev/null
    cmake --build "$build" --target quorvel -j"$(nproc)"
    scratch=$(mktemp -d)
    xvfb=
    trap stop_wine EXIT
    start_wine

    wine "$build/ui/win32/quorvel.exe" >/dev/null 2>&1 &
    # The prompt offers C:\Games\MOHAA; Enter takes it.
    keys "$(window 'MOHAA Path')" Return
    local main form2 form3 box
    main=$(window 'Quorvel Config Setup 3.2')
    shot "$main" win32-main-before.png
    # The focus starts on "Install Quorvel Config".
    keys "$main" Return
    form2=$(window 'Texture Detail')
    shot "$form2" win32-form2.png
    # From "High" to "Medium".
    keys "$form2" Tab Return
    form3=$(window 'Model Detail')
    shot "$form3" win32-form3.png
    # "Highest".
    keys "$form3" Return
    box=$(window quorvel)
    keys "$box" Return
    # The main window shows the new custom.cfg once the message box has gone.
    for _ in $(seq 100); do
        xdotool getwindowname "$box" >/dev/null 2>&1 || break
        xdotool search --onlyvisible --name '^quorvel$' >/dev/null 2>&1 || break
        sleep 0.1
    done
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    shot "$main" win32-main-after.png
}

fronts=("$@")
[[ ${#fronts[@]} -eq 0 ]] && fronts=(qt windows)
for front in "${fronts[@]}"; do
    case $front in
    qt) qt_shots ;;
    windows) windows_shots ;;
    *)
        echo "usage: scripts/screenshots.sh [qt|windows]..." >&2
        exit 2
        ;;
    esac
done
