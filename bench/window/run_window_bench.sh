#!/usr/bin/env bash
# Window benchmark: "Do it!" in the real window under a virtual screen,
# timed from the click to the final alert, against quillmere-batch on a fresh
# copy of the same folder. Both replace 'Blah' by 'Blub' (backup included).
# Usage: run_window_bench.sh QUILLMERE_APP QUILLMERE_BATCH
# Environment: BENCH_FILES (2000), BENCH_REPEATS (3)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
tool=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
files=${BENCH_FILES:-2000}
repeats=${BENCH_REPEATS:-3}

if [[ -z "${QUILLMERE_UNDER_XVFB:-}" ]]; then
    export QUILLMERE_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-window-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 "$here/../batch/make_xml_folder.py" "$work/source" --files "$files" --size 25000 >/dev/null

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

fresh_copy() { rm -rf "$work/run"; mkdir "$work/run"; cp -r "$work/source"/. "$work/run"; cat "$work/run"/*.xml >/dev/null; sync; }

window_run() { # prints the milliseconds from the click to the alert
    fresh_copy
    cp "$app" "$work/run/Quillmere"
    ( cd "$work/run" && ./Quillmere >/dev/null 2>&1 & echo $! > "$work/pid" )
    local window= start end pid
    pid=$(cat "$work/pid")
    for _ in $(seq 1 200); do
        window=$(xdotool search --onlyvisible --name '^Quillmere - ' 2>/dev/null | head -n 1 || true)
        [[ -n "$window" ]] && break
        sleep 0.05
    done
    sleep 1.5   # the folder listing settles
    start=$(now_ms)
    xdotool mousemove --window "$window" 752 368 click 1
    for _ in $(seq 1 60000); do
        xdotool search --onlyvisible --name '^Batch processing finished$' >/dev/null 2>&1 && break
        sleep 0.01
    done
    end=$(now_ms)
    [[ $(unzip -Z1 "$work/run/QuillmereBackup.zip" | wc -l) -eq $files ]] || { import -window root /tmp/window-bench-failure.png; ls "$work/run" | head -3 >&2; echo "the window run did not back up every file" >&2; exit 1; }
    kill "$pid" 2>/dev/null || true
    while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
    echo $(( end - start ))
}

tool_run() {
    fresh_copy
    local start end
    start=$(now_ms)
    "$tool" --replace Blah Blub "$work/run" >/dev/null
    end=$(now_ms)
    echo $(( end - start ))
}

window_times=() tool_times=()
for (( r = 1; r <= repeats; r++ )); do
    window_times+=("$(window_run)")
    tool_times+=("$(tool_run)")
done
best() { printf '%s\n' "$@" | sort -n | head -n 1; }
w=$(best "${window_times[@]}") t=$(best "${tool_times[@]}")
echo "Window run against quillmere-batch ($files files, replace, best of $repeats)"
echo "  window (click to final alert)  $w ms [${window_times[*]}]"
echo "  quillmere-batch                $t ms [${tool_times[*]}]"
awk -v w="$w" -v t="$t" 'BEGIN { printf "  ratio window / command line: %.2f  (target: at most 1.2, %s)\n", w / t, w / t <= 1.2 ? "met" : "MISSED" }'
