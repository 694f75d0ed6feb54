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
    window=$(xdotool search --onlyvisible --name '^Quillmere - ' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || fail "no window titled Quillmere appeared"
sleep 1
# The title names the folder the window works on: here, the one it started in.
title=$(xdotool getwindowname "$window")
[[ "$title" == "Quillmere - $(pwd -P)" || "$title" == "Quillmere - $scratch" ]] || fail "the title is '$title'"

geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[[ "$geometry" == "800x600" ]] || fail "window is $geometry, not 800x600"
import -window root "$shots/window-start.png"

# Panel position (x, y) is window position (x, y + 24): the title bar is 24 pixels.
click() { xdotool mousemove --window "$window" "$1" "$(( $2 + 24 ))" click 1; sleep 0.4; }
press() { xdotool key "$@"; sleep 0.4; }
type_into_label() { click "$1" "$2"; sleep 0.5; press ctrl+a; xdotool type --delay 20 "$3"; press Return; }
# Waits up to ten seconds for a condition, so a slow machine is not a failure.
wait_for() { for _ in $(seq 1 "${2:-100}"); do eval "$1" && return 0; sleep 0.1; done; return 1; }
# The run works on its own thread: wait for its final alert, then confirm it.
confirm_alert() {
    wait_for "xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1" || fail "no alert \"$1\""
    sleep 0.3
    press Return
    wait_for "! xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1" || fail "the alert \"$1\" stayed"
}
do_it() { click 752 344; confirm_alert "$1"; }

# "Preview" (88 pixels left of "Do it!") shows what would change and writes nothing.
click 664 344
wait_for '[[ -z "$(ls QuillmereBackup*.zip 2>/dev/null)" ]] && sleep 0.5' || true
import -window root "$shots/window-preview.png"
grep -q 'title="Blah"' two.xml || fail "the preview changed two.xml"
[[ -z "$(ls QuillmereBackup*.zip 2>/dev/null)" ]] || fail "the preview wrote a backup"

# "replace string" with the defaults Blah -> Blub; confirm the final alert.
do_it "Batch processing finished"
wait_for '[[ -f QuillmereBackup.zip ]]' || fail "no backup after the replace run"
# Enter closed the alert; more Enters must not run the task again.
press Return
press Return
sleep 1
[[ ! -e "QuillmereBackup(2).zip" ]] || fail "Enter after the alert ran the task a second time"
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
do_it "Batch processing finished"
wait_for '[[ -f "QuillmereBackup(2).zip" ]]' || fail "no second backup after the convert run"
wait_for "grep -q 'gain=\"1\"' one.xml" || fail "one.xml gain was not converted: $(cat one.xml)"
grep -q 'gain="8"' one.xml || fail "one.xml inner gain was not converted"
wait_for "grep -q 'gain=\"6\"' two.xml" || fail "two.xml gain was not converted: $(cat two.xml)"

# "Save Log" writes the log beside the backups.
click 748 556
confirm_alert "Log File saved"
wait_for '[[ -f QuillmereLog.txt ]]' || fail "no log file"
wait_for 'grep -q "Batch processing finished" QuillmereLog.txt' || fail "the log file lacks the log"

# After an alert the first click into a field takes the typing, and Enter
# there changes nothing: the next run converts by the formula typed.
click 500 98
press ctrl+a
xdotool type --delay 20 "y = x * 5;"
press Return

# "Add as step" (left of "Preview") takes the operation on screen into the
# recipe's steps, shown in place of the fields; choosing an operation shows
# its fields again, and the steps wait under "apply recipe".
click 564 344
sleep 0.5
import -window root "$shots/window-steps.png"
click 390 42
press Up Up Up Up Up Up Up Return   # from "apply recipe", the last, up to "convert value"
sleep 0.5

# Into "sub" with a double click, choose "deeper" there with one click, then
# back up with the browser's button: the run must work on the folder the
# browser shows, not on the one chosen before going up.
xdotool mousemove --window "$window" 80 70 click --repeat 2 --delay 80 1; sleep 1
click 80 46
click 222 15
sleep 1
do_it "Batch processing finished"
wait_for '[[ -f "QuillmereBackup(3).zip" ]]' || fail "the run after going up did not work on the folder shown"
grep -q 'gain="5"' one.xml || fail "the formula typed after an alert was not taken: $(cat one.xml)"
[[ ! -e sub/deeper/QuillmereBackup.zip && ! -e sub/QuillmereBackup.zip ]] || fail "the run after going up worked on a folder left behind"
grep -q 'gain="5"' sub/deeper/three.xml || fail "sub/deeper/three.xml was converted although the browser had left it"

# "restore backup" (the third operation) puts back what the last run changed.
# A preview of a convert shows the numbers, and warns of whole numbers given decimals.
type_into_label 500 98 "y = x * 1.1;"
click 664 344
sleep 2
import -window root "$shots/window-preview-numbers.png"

click 390 42
press Down Return
import -window root "$shots/window-restore.png"
do_it "Restore finished"
wait_for '[[ -f "QuillmereBackup(4).zip" ]]' || fail "the restore made no backup of what it replaced"
wait_for "grep -q 'gain=\"1\"' one.xml" || fail "one.xml was not restored: $(cat one.xml)"

# A long run on 20,000 files: the window repaints while it works, and Cancel stops it.
python3 - "$scratch" <<'PY'
import os, sys
elements = "<i v='2'/>" * 500   # many values a file: a convert run of several seconds
for i in range(20000):
    with open(os.path.join(sys.argv[1], "bulk%05d.xml" % i), "w") as f:
        f.write("<bulk>" + elements + "</bulk>\n")
PY
click 390 42
press Up Return
sleep 0.5   # until the menu has gone: a click meanwhile would only close it
# The first click after the menu sometimes only gives the window back its
# focus; typing twice (the text replaces itself) makes the field hold "v".
type_into_label 500 74 "v"
type_into_label 500 98 "y = x + 1;"
type_into_label 500 74 "v"
import -window root "$shots/window-bulk-convert.png"
sleep 2   # the idle window notices the new files
click 752 344
# Once the backup is written and the first files are converted (slow builds
# take longer), two screenshots a second apart.
for _ in $(seq 1 600); do compgen -G 'QuillmereBackup(5).zip' >/dev/null && grep -qs "v='3'" bulk00000.xml && break; sleep 0.1; done
grep -qs "v='3'" bulk00000.xml || fail "the long run did not start converting"
import -window root -crop 800x260+0+330 "$shots/window-running-1.png"
sleep 1
import -window root -crop 800x260+0+330 "$shots/window-running-2.png"
import -window root "$shots/window-running.png"
difference=$(compare -metric AE "$shots/window-running-1.png" "$shots/window-running-2.png" null: 2>&1 || true)
[[ "$difference" != "0" ]] || fail "the progress and log area did not change during the run"
click 752 344   # the same button now reads "Cancel"
wait_for 'xdotool search --onlyvisible --name "^Batch processing cancelled$" >/dev/null 2>&1' || fail "no alert after Cancel"
import -window root "$shots/window-cancelled.png"
confirm_alert "Batch processing cancelled"
mixed=$( (grep -l "v='2'" bulk*.xml || true) | xargs -r grep -l "v='3'" | head -3 || true)
[[ -z "$mixed" ]] || fail "files neither old nor new after Cancel: $mixed"
changed=$( (grep -l "v='3'" bulk*.xml || true) | wc -l)
(( changed > 0 && changed < 20000 )) || fail "Cancel did not stop the run part way ($changed files changed)"
! grep -q '^\.quillmere-' <<< "$(ls -A)" || fail "temporary files left after Cancel"
[[ "$(xdotool search --onlyvisible --name '^Quillmere - ' | head -1)" == "$window" ]] || fail "the window is gone"
import -window root "$shots/window-after-cancel.png"

# Closing during a run asks first. "Go on with the run" keeps it going;
# "Cancel the run and close" finishes the file at hand, saves the log beside
# the backup and quits.
click 752 344
for _ in $(seq 1 600); do compgen -G 'QuillmereBackup(6).zip' >/dev/null && grep -qs "v='4'" bulk00000.xml && break; sleep 0.1; done
grep -qs "v='4'" bulk00000.xml || fail "the run to close during did not start converting"
close_and_ask() {
    xdotool mousemove --window "$window" 784 12 click 1
    wait_for "xdotool search --onlyvisible --name '^Quillmere\$' >/dev/null 2>&1" || fail "closing during a run asked nothing"
    sleep 0.3
}
close_and_ask
import -window root "$shots/window-close-during-run.png"
press Escape
sleep 0.5
kill -0 "$app_pid" 2>/dev/null || fail "the app quit although the run was to go on"

# A run that ends while the question stands answers it itself: the question
# goes, the run's alert comes, and never two boxes stand at once.
close_and_ask
wait_for "xdotool search --onlyvisible --name '^Batch processing finished\$' >/dev/null 2>&1" 1200 \
    || fail "the run did not end while the question stood"
import -window root "$shots/window-question-withdrawn.png"
! xdotool search --onlyvisible --name '^Quillmere$' >/dev/null 2>&1 || fail "the question still stands beside the run's alert"
confirm_alert "Batch processing finished"
kill -0 "$app_pid" 2>/dev/null || fail "the app quit when the run ended during the question"

# "Cancel the run and close" finishes the file at hand, saves the log and quits.
click 752 344
for _ in $(seq 1 600); do compgen -G 'QuillmereBackup(7).zip' >/dev/null && grep -qs "v='5'" bulk00000.xml && break; sleep 0.1; done
grep -qs "v='5'" bulk00000.xml || fail "the run to close during did not start converting"
close_and_ask
press Return
for _ in $(seq 1 300); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the app did not quit after the close was confirmed"
app_pid=
log=$(ls -t QuillmereLog*.txt | head -1)
grep -q "QuillmereBackup(7).zip" "$log" || fail "the log saved on close ($log) does not name the run's backup"
mixed=$( (grep -l "v='4'" bulk*.xml || true) | xargs -r grep -l "v='5'" | head -3 || true)
[[ -z "$mixed" ]] || fail "files neither old nor new after closing during a run: $mixed"

# Idle, the close button at the right end of the title bar quits at once, without a question.
./Quillmere >>"$scratch/app.log" 2>&1 &
app_pid=$!
window=
wait_for 'window=$(xdotool search --onlyvisible --name "^Quillmere - " 2>/dev/null | head -n 1) && [[ -n "$window" ]]' || fail "the window did not come back"
sleep 2 # it lists 20,000 files first: slow in a sanitizer build
xdotool mousemove --window "$window" 784 12 click 1
for _ in $(seq 1 300); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the app did not quit after closing its window"
app_pid=
echo "window test passed"
