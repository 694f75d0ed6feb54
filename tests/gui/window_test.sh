#!/usr/bin/env bash
# Drives the real window under a virtual screen, as a user would: starts the
# built app from a scratch folder holding a copy of the binary and a few XML
# files, checks the window, runs "replace string" and then "convert value"
# through the controls, and checks the files on disk.
# Usage: window_test.sh APP_BINARY SCREENSHOT_DIR
set -euo pipefail
app=$1 shots=$2

if [[ -z "${QUILLMERE_UNDER_XVFB:-}" ]]; then
    export QUILLMERE_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

scratch=$(mktemp -d)
app_pid=
cleanup() { [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null; rm -rf "$scratch"; }
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; import -window root "$shots/window-test-failure.png" 2>/dev/null || true; exit 1; }

cp "$app" "$scratch/Quillmere"
printf '<?xml version="1.0"?>\n<mix gain="0.25"><ch gain="2">Blah</ch></mix>\n' > "$scratch/one.xml"
printf '<song title="Blah" gain="1.5"/>\n' > "$scratch/two.xml"
printf 'Blah\n' > "$scratch/notes.txt"
mkdir -p "$scratch/sub/deeper"
printf '<inner gain="5"/>\n' > "$scratch/sub/deeper/three.xml"

cd "$scratch"
./Quillmere >"$scratch/app.log" 2>&1 &
app_pid=$!

window=
for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --name '^Quillmere$' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || fail "no window titled Quillmere appeared"
sleep 1

geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[[ "$geometry" == "800x600" ]] || fail "window is $geometry, not 800x600"
import -window root "$shots/window-start.png"

# Panel position (x, y) is window position (x, y + 24): the title bar is 24 pixels.
click() { xdotool mousemove --window "$window" "$1" "$(( $2 + 24 ))" click 1; sleep 0.4; }
press() { xdotool key "$@"; sleep 0.4; }
type_into_label() { click "$1" "$2"; press ctrl+a; xdotool type --delay 20 "$3"; press Return; }
# Waits up to ten seconds for a condition, so a slow machine is not a failure.
wait_for() { for _ in $(seq 1 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }

# "replace string" with the defaults Blah -> Blub; confirm the final alert.
click 752 344
press Return
wait_for '[[ -f QuillmereBackup.zip ]]' || fail "no backup after the replace run"
unzip -tq QuillmereBackup.zip >/dev/null || fail "the backup does not pass unzip -t"
wait_for "grep -q 'title=\"Blub\"' two.xml" || fail "two.xml was not rewritten"
[[ "$(cat notes.txt)" == "Blah" ]] || fail "notes.txt was touched"
printf '<song title="Blub" gain="1.5"/>\n' | cmp -s - two.xml || fail "two.xml is not exactly the replaced text"

# "convert value": choose the operation in the first combo box, then the fields.
click 390 42
press Down Return
type_into_label 500 74 "gain"
type_into_label 500 98 "y = x * 4;"
import -window root "$shots/window-convert.png"
click 752 344
press Return
wait_for '[[ -f "QuillmereBackup(2).zip" ]]' || fail "no second backup after the convert run"
wait_for "grep -q 'gain=\"1\"' one.xml" || fail "one.xml gain was not converted: $(cat one.xml)"
grep -q 'gain="8"' one.xml || fail "one.xml inner gain was not converted"
wait_for "grep -q 'gain=\"6\"' two.xml" || fail "two.xml gain was not converted: $(cat two.xml)"

# "Save Log" writes the log beside the backups.
click 748 556
press Return
wait_for '[[ -f QuillmereLog.txt ]]' || fail "no log file"
wait_for 'grep -q "Batch processing finished" QuillmereLog.txt' || fail "the log file lacks the log"

# Into "sub" with a double click, choose "deeper" there with one click, then
# back up with the browser's button: the run must work on the folder the
# browser shows, not on the one chosen before going up.
xdotool mousemove --window "$window" 80 70 click --repeat 2 --delay 80 1; sleep 1
click 80 46
click 222 15
sleep 1
click 752 344
press Return
wait_for '[[ -f "QuillmereBackup(3).zip" ]]' || fail "the run after going up did not work on the folder shown"
[[ ! -e sub/deeper/QuillmereBackup.zip && ! -e sub/QuillmereBackup.zip ]] || fail "the run after going up worked on a folder left behind"
grep -q 'gain="5"' sub/deeper/three.xml || fail "sub/deeper/three.xml was converted although the browser had left it"

# The close button at the right end of the title bar quits at once, without a question.
xdotool mousemove --window "$window" 784 12 click 1
for _ in $(seq 1 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the app did not quit after closing its window"
app_pid=
echo "window test passed"
