#!/usr/bin/env bash
# quillmere-batch.exe under Wine does byte for byte what the Linux
# quillmere-batch does on the same folder: replace, regular expressions,
# convert by name and by path, file patterns, gzip, UTF-16 and Latin-1 files,
# and the restore of its own backup; and its backups pass unzip -t.
# Usage: batch-agreement.sh WINDOWS_EXE LINUX_TOOL EXAMPLES_DIR
# Exits 77 (skipped) without a Linux build, wine or unzip.
set -uo pipefail
windows=${1:?usage: batch-agreement.sh WINDOWS_EXE LINUX_TOOL EXAMPLES_DIR}
linux=${2:?}
examples=${3:?}
[[ -x $linux ]] && command -v wine > /dev/null && command -v unzip > /dev/null || { echo "skipped: needs $linux, wine and unzip"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
seed=$scratch/seed
mkdir -p "$seed/sub"
cp -r "$examples"/. "$seed/"
printf '<?xml version="1.0" encoding="ISO-8859-1"?>\r\n<bank name="caf\xe9" gain="0.25"><par name="volume" value="64"/></bank>\r\n' > "$seed/latin1.xml"
printf '\xff\xfe<\0a\0 \0g\0a\0i\0n\0=\0"\0\x33\0"\0/\0>\0' > "$seed/utf16.xml"
printf '<bank><par name="volume" value="100"/><par name="pan" value="3"/></bank>\n' | gzip -n > "$seed/sub/bank.xml"
printf '<keep gain="1"/>' > "$seed/old-keep.xml"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# run NAME ARGS...: the same call on a copy for each, then the trees compared.
run() {
    local name=$1; shift
    local statusLinux statusWindows
    "$linux" "$@" "$scratch/linux" > "$scratch/$name.linux.out" 2>&1; statusLinux=$?
    wine "$windows" "$@" "$(winepath -w "$scratch/windows" 2> /dev/null)" > "$scratch/$name.windows.out" 2>&1; statusWindows=$?
    [[ $statusLinux == "$statusWindows" ]] || fail "$name: exit status $statusLinux on Linux, $statusWindows on Windows"
    diff -r -x 'Quillmere*' "$scratch/linux" "$scratch/windows" > "$scratch/$name.diff" || fail "$name: the folders differ: $(head -c 400 "$scratch/$name.diff")"
}

rm -rf "$scratch/linux" "$scratch/windows"
cp -r "$seed" "$scratch/linux"
cp -r "$seed" "$scratch/windows"
run replace --recursive --replace volume loudness
run regex --recursive --regex --replace 'gain="([-.0-9]+)"' 'gain="${= _1 + 1 }"'
run convert --recursive --convert gain 'y = x * 2;'
run path --recursive --convert "//par[@name='loudness']/@value" 'y = min(x * 1.1, 127);'
run patterns --recursive --exclude 'old*' --convert gain 'y = x / 2;'

# The runs changed something at all: gzip, UTF-16 and Latin-1 files among them.
for changed in sub/bank.xml utf16.xml latin1.xml mixer.xml; do
    cmp -s "$seed/$changed" "$scratch/linux/$changed" && fail "$changed: no run changed it"
done

for backup in "$scratch"/windows/QuillmereBackup*.zip; do
    unzip -tq "$backup" > /dev/null || fail "unzip -t refuses $(basename "$backup")"
done

# Every listed file is in each backup: restoring the first brings the seed back.
wine "$windows" --restore "$(winepath -w "$scratch/windows/QuillmereBackup.zip" 2> /dev/null)" > "$scratch/restore.out" 2>&1 \
    || fail "restore: $(tail -3 "$scratch/restore.out")"
diff -r -x 'Quillmere*' "$seed" "$scratch/windows" > "$scratch/restore.diff" || fail "restore: not every byte came back: $(head -c 400 "$scratch/restore.diff")"

echo "compared 5 runs and the backups; $failures failed"
[[ $failures == 0 ]]
