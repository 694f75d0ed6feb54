#!/usr/bin/env bash
# Starts Quillmere.exe under Wine on a virtual screen, on a scratch folder of
# XML files and a subfolder, and checks that its window comes up at 800x600 titled with that
# folder and that the window's area is painted: a window whose message loop
# has died stays one flat colour (black under Xvfb); and that it paints
# again when typed into.
#
# Usage: window-paints.sh QUILLMERE_EXE WINEPREFIX [SCREENSHOT_DIR]
# Exits 0 when the window paints, 1 when it does not, and 77 (ctest's skip)
# when Wine, Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail

if [[ $# -lt 2 ]]; then
    echo "usage: $0 QUILLMERE_EXE WINEPREFIX [SCREENSHOT_DIR]" >&2
    exit 2
fi
exe=$1
shots=${3:-.}
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source "$(dirname "${BASH_SOURCE[0]}")/virtual-screen.sh"
skip_unless_installed wine winepath Xvfb xdotool import convert

scratch=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    local status=$?
    set +e
    if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$scratch"
    exit "$status"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -n "${DISPLAY:-}" ]] && import -window root "$shots/window-paints-failure.png" 2>/dev/null || true
    exit 1
}

# A screen of our own.
start_virtual_screen "$scratch" || fail "no virtual screen"

# A subfolder, so that the folder list draws its folder icon too.
mkdir -p "$scratch/folder/sub"
printf '<?xml version="1.0"?>\n<mix gain="0.25"><ch>Blah</ch></mix>\n' >"$scratch/folder/one.xml"
printf '<song title="Blah"/>\n' >"$scratch/folder/two.xml"
folder=$(winepath -w "$scratch/folder")

# Wine's desktop belongs to its server: one started by a console program
# without a screen (another test's) would leave this window nowhere to go.
# Wait for any server of this prefix to end, so that this one opens on Xvfb.
wineserver -w 2>/dev/null || true
wine "$exe" "$folder" >"$scratch/app.log" 2>&1 &
app_pid=$!

window=
find_window() {
    window=$(xdotool search --onlyvisible --name '^Quillmere - ' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]]
}
wait_for find_window || fail "no window titled Quillmere appeared"

# The window opens on its start folder and turns to the one given.
title=
titled() {
    title=$(xdotool getwindowname "$window" 2>/dev/null || true)
    [[ "$title" == "Quillmere - $folder" ]]
}
wait_for titled || fail "the title is '$title', not 'Quillmere - $folder'"

# The window's rectangle on the screen.
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "${WIDTH}x${HEIGHT}" == "800x600" ]] || fail "the window is ${WIDTH}x${HEIGHT}, not 800x600"

# Painted: the window's area holds more than one colour.
colours=0
painted() {
    import -window root "$scratch/screen.png" 2>/dev/null || return 1
    colours=$(convert "$scratch/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -format '%k' info:)
    ((colours > 1))
}
wait_for painted || fail "the window's area is one flat colour: nothing was painted"

cp "$scratch/screen.png" "$shots/window-paints.png" 2>/dev/null || true
echo "the window painted (${colours} colours in ${WIDTH}x${HEIGHT}); screenshot: $shots/window-paints.png"

# And paints again when what it shows changes: text typed into the first
# field (and the description it changes) appears. The window hands its
# repaints to Windows only as the display's vertical blank comes, which
# some displays (Wine's among them) never report.
convert "$scratch/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$scratch/before.png"
xdotool mousemove --window "$window" 500 98 click 1
sleep 0.5
xdotool type --delay 20 "Blah"
repainted() {
    import -window root "$scratch/screen.png" 2>/dev/null || return 1
    convert "$scratch/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$scratch/after.png"
    ! compare -metric AE "$scratch/before.png" "$scratch/after.png" null: 2>/dev/null
}
wait_for repainted || fail "the window did not repaint after typing into it"
echo "the window repainted after typing"
