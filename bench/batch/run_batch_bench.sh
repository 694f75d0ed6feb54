#!/usr/bin/env bash
# Batch benchmark: a whole quillmere-batch run over a folder of XML files
# against the plain tools doing the same job.
#
#   replace: quillmere-batch --replace Blah Blub FOLDER
#       vs   zip -0 -q backup.zip -- *.xml, then one sed -i 's/Blah/Blub/g' over all files
#   regex:   quillmere-batch --regex --replace 'B(l)ah' 'B${1}ub' FOLDER
#       vs   zip -0 -q backup.zip -- *.xml, then one sed -E -i 's/B(l)ah/B\1ub/g' over all files
#   convert: quillmere-batch --convert gain 'y = x * 2;' FOLDER
#       vs   one xmlstarlet ed -L -u '//@gain' -x '. * 2' over all files (no backup)
#   path:    quillmere-batch --convert "//*[not(@name = 'none')]/@gain" 'y = x * 2;' FOLDER
#       vs   the convert run above (a condition checked at every element; the
#            path takes only the lower-case 'gain', the name every spelling)
#   preview: quillmere-batch --dry-run (replace, then convert)
#       vs   the run of the same operation on the same folder
#
# Every timed run gets a fresh copy of the generated folder, made, flushed to
# disk and left in the page cache before the clock starts, for both sides alike.
# Used copies stay until the end: deleting thousands of files just before a
# run would slow down the file creation in it on some file systems (ext4
# without a journal holds back recently freed inodes), which no user's run sees.
# The sides take turns; each figure is the best of the repeats, the one least
# disturbed by other work on the machine (all runs are printed). Wall time is
# the figure the targets are about; CPU time (user + system, the process and
# all its children) is printed beside it because it hardly moves when other
# work shares the machine.
#
# Then the peak resident memory of quillmere-batch for the full folder and for
# a tenth of it: with memory bounded by the largest file, the two stay close.
#
# Usage: run_batch_bench.sh QUILLMERE_BATCH
# With the defaults the copies take about 2.5 GB in the work folder.
# Environment: BENCH_FILES (2000), BENCH_FILE_SIZE (25000 bytes),
#              BENCH_REPEATS (5), BENCH_WORK_DIR (a new folder under $TMPDIR)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
tool=${1:?usage: run_batch_bench.sh QUILLMERE_BATCH}
tool=$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")
files=${BENCH_FILES:-2000}
file_size=${BENCH_FILE_SIZE:-25000}
repeats=${BENCH_REPEATS:-5}
small_files=$(( files / 10 ))

replace_target=0.5
regex_target=1.0
convert_target=0.3
convert_to_replace_target=1.5
preview_to_run_target=0.5
path_to_name_target=1.2

fail() { echo "run_batch_bench: $*" >&2; exit 1; }

[[ -x "$tool" ]] || fail "no quillmere-batch at $tool"
for command in python3 zip unzip sed xargs xmlstarlet; do
    command -v "$command" >/dev/null || fail "$command is missing (make bench installs it)"
done
[[ -x /usr/bin/time ]] || fail "/usr/bin/time is missing (Debian package time; make bench installs it)"

if [[ -n "${BENCH_WORK_DIR:-}" ]]; then
    work=$BENCH_WORK_DIR
    mkdir -p "$work"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-batch-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi

source_folder=$work/source
small_folder=$work/source-small

# ---------------------------------------------------------------- the commands

run_quillmere_replace() { "$tool" --replace Blah Blub "$1" >/dev/null; }
run_quillmere_regex() { "$tool" --regex --replace 'B(l)ah' 'B${1}ub' "$1" >/dev/null; }
run_quillmere_convert() { "$tool" --convert gain 'y = x * 2;' "$1" >/dev/null; }
run_quillmere_convert_path() { "$tool" --convert "//*[not(@name = 'none')]/@gain" 'y = x * 2;' "$1" >/dev/null; }
run_preview_replace() { "$tool" --dry-run --replace Blah Blub "$1" >/dev/null; }
run_preview_convert() { "$tool" --dry-run --convert gain 'y = x * 2;' "$1" >/dev/null; }

run_zip_and_sed() {
    cd "$1" && zip -0 -q backup.zip -- *.xml \
        && printf '%s\0' *.xml | xargs -0 sed -i 's/Blah/Blub/g'
}

run_zip_and_sed_regex() {
    cd "$1" && zip -0 -q backup.zip -- *.xml \
        && printf '%s\0' *.xml | xargs -0 sed -E -i 's/B(l)ah/B\1ub/g'
}

run_xmlstarlet() {
    cd "$1" && printf '%s\0' *.xml | xargs -0 xmlstarlet ed -L -u '//@gain' -x '. * 2'
}

# ------------------------------------------------------------------ the harness

fresh_copy() { # SOURCE: sets run_folder to a new copy, flushed and cached
    run_folder=$(mktemp -d "$work/run.XXXXXX")
    cp -r "$1"/. "$run_folder"
    cat "$run_folder"/*.xml >/dev/null
    sync
}

# Runs a command on a fresh copy and prints "WALL_MS CPU_MS MAX_RSS_KB".
# CPU time and memory come from GNU time, which waits for the whole process
# tree; the wall clock is read around it alone.
timed_run() { # SOURCE FUNCTION
    fresh_copy "$1"
    local stats=$work/stats start end
    export -f "${2?}"
    export tool
    start=$(date +%s%N)
    /usr/bin/time -o "$stats" -f '%U %S %M' bash -c "$2 \"\$1\"" _ "$run_folder" \
        || fail "$2 failed (exit status $?)"
    end=$(date +%s%N)
    awk -v wall=$(( (end - start) / 1000000 )) '{ printf "%d %d %d\n", wall, ($1 + $2) * 1000, $3 }' "$stats"
}

best() { printf '%s\n' "$@" | awk 'NR == 1 || $1 < min { min = $1 } END { print min }'; }

# Runs both sides REPEATS times in turns and prints one result table row pair.
compare() { # TITLE SIDE_A_FUNCTION SIDE_A_LABEL SIDE_B_FUNCTION SIDE_B_LABEL TARGET
    local title=$1 a=$2 a_label=$3 b=$4 b_label=$5 target=$6
    local a_wall=() a_cpu=() b_wall=() b_cpu=() wall cpu rss
    for (( r = 1; r <= repeats; r++ )); do
        read -r wall cpu rss < <(timed_run "$source_folder" "$a"); a_wall+=("$wall"); a_cpu+=("$cpu")
        read -r wall cpu rss < <(timed_run "$source_folder" "$b"); b_wall+=("$wall"); b_cpu+=("$cpu")
    done

    local aw ac bw bc
    aw=$(best "${a_wall[@]}"); ac=$(best "${a_cpu[@]}")
    last_best_wall=$aw
    bw=$(best "${b_wall[@]}"); bc=$(best "${b_cpu[@]}")
    echo
    echo "$title ($files files, best of $repeats; all runs in brackets)"
    printf '  %-44s wall %6d ms [%s]   cpu %6d ms [%s]\n' "$a_label" "$aw" "${a_wall[*]}" "$ac" "${a_cpu[*]}"
    printf '  %-44s wall %6d ms [%s]   cpu %6d ms [%s]\n' "$b_label" "$bw" "${b_wall[*]}" "$bc" "${b_cpu[*]}"
    awk -v aw="$aw" -v bw="$bw" -v ac="$ac" -v bc="$bc" -v target="$target" 'BEGIN {
        # CPU time comes in steps of 10 ms: a tiny folder can show none at all.
        wall = aw / bw; cpu = bc > 0 ? sprintf("%.2f", ac / bc) : "n/a"
        printf "  ratio quillmere / baseline: wall %.2f, cpu %s  (target: at most %.1f, %s)\n",
               wall, cpu, target, wall <= target ? "met" : "MISSED"
    }'
}

# ------------------------------------------------ checks that both do the same

# The warm-up round, untimed: both sides once each, and their results compared.
check_replace() {
    local expected
    fresh_copy "$source_folder"; ( run_zip_and_sed "$run_folder" )
    expected=$run_folder
    fresh_copy "$source_folder"; run_quillmere_replace "$run_folder" || fail "quillmere-batch --replace failed"
    diff -rq -x '*.zip' "$expected" "$run_folder" >/dev/null \
        || fail "quillmere-batch and sed give different files"
    fresh_copy "$source_folder"; run_quillmere_regex "$run_folder" || fail "quillmere-batch --regex --replace failed"
    diff -rq -x '*.zip' "$expected" "$run_folder" >/dev/null \
        || fail "quillmere-batch --regex and sed give different files"
    unzip -tq "$run_folder/QuillmereBackup.zip" >/dev/null || fail "the backup of the replace run is broken"
    [[ $(unzip -Z1 "$run_folder/QuillmereBackup.zip" | wc -l) -eq $files ]] || fail "the backup lacks files"
    echo "checked: the replace runs (literal and regex) give the same bytes as sed, and a complete backup"
}

# xmlstarlet re-serialises (quotes, empty elements), quillmere-batch changes
# only the values, so the converted values are compared, as numbers, in a few files.
check_convert() {
    local expected sample names
    fresh_copy "$source_folder"; ( run_xmlstarlet "$run_folder" )
    expected=$run_folder
    fresh_copy "$source_folder"; run_quillmere_convert "$run_folder" || fail "quillmere-batch --convert failed"
    names=("$source_folder"/*.xml)
    for sample in "${names[0]##*/}" "${names[${#names[@]} / 2]##*/}" "${names[-1]##*/}"; do
        python3 - "$source_folder/$sample" "$expected/$sample" "$run_folder/$sample" <<'EOF' || fail "convert results differ in $sample"
import sys, xml.etree.ElementTree as tree
def values(path, exact):
    return [float(v) for e in tree.parse(path).iter() for k, v in e.attrib.items()
            if (k == "gain" if exact else k.lower() == "gain")]
original_all, original_lower = values(sys.argv[1], False), values(sys.argv[1], True)
xmlstarlet, quillmere = values(sys.argv[2], True), values(sys.argv[3], False)
assert xmlstarlet == [2 * v for v in original_lower], "xmlstarlet"
assert quillmere == [2 * v for v in original_all], "quillmere-batch"
EOF
    done
    unzip -tq "$run_folder/QuillmereBackup.zip" >/dev/null || fail "the backup of the convert run is broken"
    echo "checked: both sides double the gain values as expected (xmlstarlet only the lower-case 'gain')"
}

peak_memory() { # SOURCE FUNCTION: prints the max RSS in KB
    local wall cpu rss
    read -r wall cpu rss < <(timed_run "$1" "$2")
    echo "$rss"
}

# ----------------------------------------------------------------------- main

echo "Batch benchmark: $tool"
echo "work folder: $work ($(stat -f -c %T "$work") file system)"
rm -rf "$source_folder" "$small_folder"
python3 "$here/make_xml_folder.py" "$source_folder" --files "$files" --size "$file_size"
mkdir -p "$small_folder"
generated=("$source_folder"/*.xml)
cp -t "$small_folder" "${generated[@]:0:small_files}"

check_replace
check_convert

compare "Replace 'Blah' by 'Blub'" \
    run_quillmere_replace "quillmere-batch --replace (backup included)" \
    run_zip_and_sed "zip -0 -q + sed -i" "$replace_target"
replace_wall=$last_best_wall
compare "Replace the regular expression 'B(l)ah' by 'B\${1}ub'" \
    run_quillmere_regex "quillmere-batch --regex --replace (backup)" \
    run_zip_and_sed_regex "zip -0 -q + sed -E -i" "$regex_target"
compare "Convert gain with 'y = x * 2;'" \
    run_quillmere_convert "quillmere-batch --convert (backup included)" \
    run_xmlstarlet "xmlstarlet ed -L (no backup)" "$convert_target"
convert_wall=$last_best_wall
awk -v c="$convert_wall" -v r="$replace_wall" -v target="$convert_to_replace_target" 'BEGIN {
    printf "\nconvert / replace, both quillmere-batch: %.2f  (target: at most %.1f, %s)\n", c / r, target, c / r <= target ? "met" : "MISSED" }'

compare "Convert by a path with a condition at every element" \
    run_quillmere_convert_path "quillmere-batch --convert PATH" \
    run_quillmere_convert "quillmere-batch --convert gain" "$path_to_name_target"

# The preview reads and works out every file as the run does, but writes
# neither the backup nor the files.
compare "Preview of the replace run" \
    run_preview_replace "quillmere-batch --dry-run --replace" \
    run_quillmere_replace "quillmere-batch --replace (the run)" "$preview_to_run_target"
compare "Preview of the convert run" \
    run_preview_convert "quillmere-batch --dry-run --convert" \
    run_quillmere_convert "quillmere-batch --convert (the run)" "$preview_to_run_target"

echo
echo "Peak resident memory of quillmere-batch (GNU time %M)"
for operation in replace convert; do
    large=$(peak_memory "$source_folder" "run_quillmere_$operation")
    small=$(peak_memory "$small_folder" "run_quillmere_$operation")
    printf '  --%-8s %5d files: %7d KB   %5d files: %7d KB\n' "$operation" "$small_files" "$small" "$files" "$large"
done

rm -rf "$work"/run.*
