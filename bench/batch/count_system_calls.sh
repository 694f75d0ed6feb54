#!/usr/bin/env bash
# System calls a file of a whole quillmere-batch run, counted with strace -c -f
# over the run (threads included), less those of a run over a folder of one
# file, divided by the number of files: replace, convert, then a restore of
# the replaced files from the replace run's backup.
#
# Usage: count_system_calls.sh QUILLMERE_BATCH
# Environment: BENCH_FILES (500), BENCH_FILE_SIZE (25000 bytes)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
tool=${1:?usage: count_system_calls.sh QUILLMERE_BATCH}
files=${BENCH_FILES:-500}
file_size=${BENCH_FILE_SIZE:-25000}
command -v strace >/dev/null || { echo "count_system_calls: strace is missing (make bench installs it)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-calls.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 "$here/make_xml_folder.py" "$work/source" --files "$files" --size "$file_size" >/dev/null 2>&1
mkdir "$work/one"
cp "$(find "$work/source" -name '*.xml' | head -1)" "$work/one/"

calls() { # SUMMARY: the total number of calls strace counted (its fourth column)
    awk '$NF == "total" { print $4 }' "$1"
}
counted() { # NAME FOLDER ARGUMENTS...: runs the tool under strace
    local name=$1; shift
    strace -f -c -o "$work/$name.txt" "$tool" "$@" >/dev/null 2>&1 || true
}

cp -r "$work/source" "$work/replace"
cp -r "$work/source" "$work/convert"
counted base --replace 'no such text' x "$work/one"
counted replace --replace Blah Blub "$work/replace"
counted convert --convert gain 'y = x * 2;' "$work/convert"
counted restore --restore "$work/replace/QuillmereBackup.zip"

base=$(calls "$work/base.txt")
echo "System calls a file ($files files of $file_size bytes; strace -c -f, less a one-file run's $base)"
for name in replace convert restore; do
    total=$(calls "$work/$name.txt")
    awk -v name="$name" -v total="$total" -v base="$base" -v files="$files" \
        'BEGIN { printf "  --%-8s %6.1f calls a file (%d in all)\n", name, (total - base) / files, total }'
done
